#include "formats/GltfScene.h"

#include <algorithm>
#include <cstring>

namespace faceto::gltf {

namespace {

constexpr size_t MAX_ELEMENTS_WITHOUT_DATA = 65536;

float component(const uint8_t* element, int c, int type, bool normalized) {
    switch (type) {
    case TINYGLTF_COMPONENT_TYPE_FLOAT: {
        float v;
        std::memcpy(&v, element + c * 4, 4);
        return v;
    }
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
        return normalized ? float(element[c]) / 255.0f : float(element[c]);
    case TINYGLTF_COMPONENT_TYPE_BYTE:
        return normalized ? std::max(float(int8_t(element[c])) / 127.0f, -1.0f) : float(int8_t(element[c]));
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: {
        uint16_t v;
        std::memcpy(&v, element + c * 2, 2);
        return normalized ? float(v) / 65535.0f : float(v);
    }
    case TINYGLTF_COMPONENT_TYPE_SHORT: {
        int16_t v;
        std::memcpy(&v, element + c * 2, 2);
        return normalized ? std::max(float(v) / 32767.0f, -1.0f) : float(v);
    }
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT: {
        uint32_t v;
        std::memcpy(&v, element + c * 4, 4);
        return float(v);
    }
    default:
        return 0.0f;
    }
}

// Stores a picture's bytes as they are: the one a skin needs is decoded later, with the limits of a
// skin. A picture in a buffer view is handed over without the view being checked against its buffer
// (`user` is the model being read): one that reaches past the buffer is refused here.
bool keepPictureBytes(tinygltf::Image* image, const int, std::string* error, std::string*, int, int,
                      const unsigned char* bytes, int size, void* user) {
    if (image->bufferView >= 0) {
        const auto* gltf = static_cast<const tinygltf::Model*>(user);
        const tinygltf::BufferView& view = gltf->bufferViews.at(size_t(image->bufferView));
        const tinygltf::Buffer& buffer = gltf->buffers.at(size_t(view.buffer));
        if (size < 0 || view.byteOffset > buffer.data.size() ||
            view.byteLength > buffer.data.size() - view.byteOffset || size_t(size) != view.byteLength) {
            *error += "a picture's buffer view reaches past the end of its buffer\n";
            return false;
        }
    }
    image->image.assign(bytes, bytes + size);
    image->width = image->height = 0;
    return true;
}

// The JSON of a glTF file: all of a .gltf, the first chunk of a .glb (as far as the file holds it).
std::span<const uint8_t> jsonPart(std::span<const uint8_t> bytes) {
    if (bytes.size() < 20 || std::memcmp(bytes.data(), "glTF", 4) != 0) {
        return bytes;
    }
    uint32_t length = 0;
    std::memcpy(&length, bytes.data() + 12, 4);
    return bytes.subspan(20, std::min<size_t>(length, bytes.size() - 20));
}

// Arrays and objects nested no deeper than `limit` (strings passed over): the JSON parser recurses for
// each level, and a file of a few kilobytes could otherwise exhaust the stack.
bool nestedWithin(std::span<const uint8_t> json, int limit) {
    int depth = 0;
    bool inString = false;
    for (size_t i = 0; i < json.size(); ++i) {
        const uint8_t c = json[i];
        if (inString) {
            if (c == '\\') {
                ++i;
            } else if (c == '"') {
                inString = false;
            }
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            if (++depth > limit) {
                return false;
            }
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return true;
}

} // namespace

Result<tinygltf::Model> parseDocument(std::span<const uint8_t> bytes, const ReadContext& context) {
    if (!nestedWithin(jsonPart(bytes), limits::MAX_JSON_DEPTH)) {
        return Failure{"the file's JSON nests deeper than " + std::to_string(limits::MAX_JSON_DEPTH) +
                       " levels"};
    }
    tinygltf::Model gltf;
    tinygltf::TinyGLTF loader;
    loader.SetImageLoader(keepPictureBytes, &gltf);
    // Files beside the model are read only through the context (inside the model's folder).
    tinygltf::FsCallbacks fs{};
    fs.user_data = const_cast<ReadContext*>(&context);
    // Whether a file is there is left to the read, which says why when it is not (and reads it once).
    fs.FileExists = [](const std::string&, void* user) {
        return bool(static_cast<const ReadContext*>(user)->readBeside);
    };
    fs.ExpandFilePath = [](const std::string& name, void*) { return name; };
    fs.ReadWholeFile = [](std::vector<unsigned char>* out, std::string* err, const std::string& name,
                          void* user) {
        const auto* c = static_cast<const ReadContext*>(user);
        if (!c->readBeside) {
            *err = "a file beside the model cannot be read here: " + name;
            return false;
        }
        Result<ByteBuffer> file = c->readBeside(name);
        if (!file) {
            *err = name + ": " + file.error();
            return false;
        }
        out->assign(file->begin(), file->end());
        return true;
    };
    fs.WriteWholeFile = [](std::string* err, const std::string&, const std::vector<unsigned char>&, void*) {
        *err = "nothing is written while reading";
        return false;
    };
    loader.SetFsCallbacks(fs);

    std::string error;
    std::string warning;
    bool parsed = false;
    try {
        if (bytes.size() >= 4 && std::memcmp(bytes.data(), "glTF", 4) == 0) {
            parsed = loader.LoadBinaryFromMemory(&gltf, &error, &warning, bytes.data(),
                                                 unsigned(bytes.size()), "");
        } else {
            parsed = loader.LoadASCIIFromString(&gltf, &error, &warning,
                                                reinterpret_cast<const char*>(bytes.data()),
                                                unsigned(bytes.size()), "");
        }
    } catch (const std::exception& e) {
        error = e.what();
    }
    if (!parsed) {
        const std::string line = error.substr(0, error.find('\n'));
        return Failure{"not a glTF 2.0 file that can be read" + (line.empty() ? std::string() : ": " + line)};
    }
    return gltf;
}

Floats Accessors::floats(int index, int components) {
    if (auto it = decoded_.find({index, components}); it != decoded_.end()) {
        return it->second;
    }
    const tinygltf::Accessor* a = find(index, components);
    if (a == nullptr) {
        return nullptr;
    }
    auto out = std::make_shared<std::vector<float>>(a->count * size_t(components), 0.0f);
    if (a->bufferView >= 0) {
        const uint8_t* data = nullptr;
        size_t stride = 0;
        if (!locate(*a, components, data, stride)) {
            return nullptr;
        }
        for (size_t e = 0; e < a->count; ++e) {
            for (int c = 0; c < components; ++c) {
                (*out)[e * size_t(components) + size_t(c)] =
                    component(data + e * stride, c, a->componentType, a->normalized);
            }
        }
    }
    if (a->sparse.isSparse) {
        std::vector<uint32_t> at;
        std::vector<float> values;
        if (!readSparse(*a, components, at, values)) {
            return nullptr;
        }
        for (size_t i = 0; i < at.size(); ++i) {
            std::copy_n(values.begin() + std::ptrdiff_t(i * size_t(components)), components,
                        out->begin() + std::ptrdiff_t(at[i] * size_t(components)));
        }
    }
    decoded_.emplace(std::pair{index, components}, out);
    return out;
}

std::optional<std::vector<std::pair<size_t, float>>> Accessors::nonZero(int index) {
    if (index >= 0 && size_t(index) < model_.accessors.size()) {
        const tinygltf::Accessor& a = model_.accessors[size_t(index)];
        if (a.sparse.isSparse && a.bufferView < 0 &&
            tinygltf::GetNumComponentsInType(uint32_t(a.type)) == 1) {
            std::vector<uint32_t> at;
            std::vector<float> values;
            if (!readSparse(a, 1, at, values)) {
                return std::nullopt;
            }
            std::vector<std::pair<size_t, float>> out;
            for (size_t i = 0; i < at.size(); ++i) {
                if (values[i] != 0.0f) {
                    out.emplace_back(at[i], values[i]);
                }
            }
            // Indices rise, as glTF asks; a later value for one element wins, as it would in the base.
            std::stable_sort(out.begin(), out.end(),
                             [](const auto& x, const auto& y) { return x.first < y.first; });
            return out;
        }
    }
    const Floats dense = floats(index, 1);
    if (dense == nullptr) {
        return std::nullopt;
    }
    std::vector<std::pair<size_t, float>> out;
    for (size_t e = 0; e < dense->size(); ++e) {
        if ((*dense)[e] != 0.0f) {
            out.emplace_back(e, (*dense)[e]);
        }
    }
    return out;
}

std::optional<size_t> Accessors::count(int index) const {
    if (index < 0 || size_t(index) >= model_.accessors.size()) {
        return std::nullopt;
    }
    return model_.accessors[size_t(index)].count;
}

bool Accessors::readSparse(const tinygltf::Accessor& a, int components, std::vector<uint32_t>& at,
                           std::vector<float>& values) {
    const auto& sparse = a.sparse;
    if (sparse.count < 0 || size_t(sparse.count) > a.count) {
        error_ = "a sparse accessor gives more values than it has elements";
        return false;
    }
    const size_t n = size_t(sparse.count);
    // The indices and the values as accessors of their own, over the sparse part's buffer views.
    tinygltf::Accessor indexView;
    indexView.bufferView = sparse.indices.bufferView;
    indexView.byteOffset = size_t(std::max(sparse.indices.byteOffset, 0));
    indexView.componentType = sparse.indices.componentType;
    indexView.count = n;
    tinygltf::Accessor valueView = indexView;
    valueView.bufferView = sparse.values.bufferView;
    valueView.byteOffset = size_t(std::max(sparse.values.byteOffset, 0));
    valueView.componentType = a.componentType;
    valueView.normalized = a.normalized;
    if (sparse.indices.byteOffset < 0 || sparse.values.byteOffset < 0 ||
        !budget_.take(n * (4 + 4 * uint64_t(components)))) {
        error_ = sparse.indices.byteOffset < 0 ? "a sparse accessor reaches past its buffer"
                                               : limits::tooMuchToDecode();
        return false;
    }
    const uint8_t* indexData = nullptr;
    const uint8_t* valueData = nullptr;
    size_t indexStride = 0;
    size_t valueStride = 0;
    if (n > 0 && (!locate(indexView, 1, indexData, indexStride) ||
                  !locate(valueView, components, valueData, valueStride))) {
        return false;
    }
    at.resize(n);
    values.resize(n * size_t(components));
    for (size_t i = 0; i < n; ++i) {
        const uint8_t* p = indexData + i * indexStride;
        uint32_t e = 0;
        switch (indexView.componentType) {
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
            e = p[0];
            break;
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT: {
            uint16_t v;
            std::memcpy(&v, p, 2);
            e = v;
            break;
        }
        case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT:
            std::memcpy(&e, p, 4);
            break;
        default:
            error_ = "a sparse accessor's indices are not unsigned integers";
            return false;
        }
        if (e >= a.count) {
            error_ = "a sparse accessor names an element it does not have";
            return false;
        }
        at[i] = e;
        for (int c = 0; c < components; ++c) {
            values[i * size_t(components) + size_t(c)] =
                component(valueData + i * valueStride, c, a.componentType, a.normalized);
        }
    }
    return true;
}

std::optional<std::vector<uint32_t>> Accessors::indices(int index) {
    const tinygltf::Accessor* a = find(index, 1);
    if (a == nullptr) {
        return std::nullopt;
    }
    if (a->componentType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE &&
        a->componentType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT &&
        a->componentType != TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT) {
        error_ = "indices are not unsigned integers";
        return std::nullopt;
    }
    if (a->sparse.isSparse) {
        error_ = "sparse indices are not read";
        return std::nullopt;
    }
    std::vector<uint32_t> out(a->count, 0);
    if (a->bufferView < 0) {
        return out;
    }
    const uint8_t* data = nullptr;
    size_t stride = 0;
    if (!locate(*a, 1, data, stride)) {
        return std::nullopt;
    }
    for (size_t e = 0; e < a->count; ++e) {
        const uint8_t* p = data + e * stride;
        if (a->componentType == TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE) {
            out[e] = p[0];
        } else if (a->componentType == TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT) {
            uint16_t v;
            std::memcpy(&v, p, 2);
            out[e] = v;
        } else {
            std::memcpy(&out[e], p, 4);
        }
    }
    return out;
}

const tinygltf::Accessor* Accessors::find(int index, int components) {
    if (index < 0 || size_t(index) >= model_.accessors.size()) {
        error_ = "an accessor the file does not have";
        return nullptr;
    }
    const tinygltf::Accessor& a = model_.accessors[size_t(index)];
    if (tinygltf::GetNumComponentsInType(uint32_t(a.type)) != components) {
        error_ = "an accessor of another shape than its use needs";
        return nullptr;
    }
    // Without data (zeros, or a sparse accessor's few values over them) a count backs nothing in the
    // file: no real file has many such elements.
    if (a.bufferView < 0 && a.count > MAX_ELEMENTS_WITHOUT_DATA) {
        error_ = "an accessor of " + std::to_string(a.count) + " elements holds no data for them";
        return nullptr;
    }
    if (!budget_.take(uint64_t(a.count) * uint64_t(components) * 4)) {
        error_ = limits::tooMuchToDecode();
        return nullptr;
    }
    return &a;
}

bool Accessors::locate(const tinygltf::Accessor& a, int components, const uint8_t*& data, size_t& stride) {
    if (size_t(a.bufferView) >= model_.bufferViews.size()) {
        error_ = "a buffer view the file does not have";
        return false;
    }
    const tinygltf::BufferView& v = model_.bufferViews[size_t(a.bufferView)];
    if (v.buffer < 0 || size_t(v.buffer) >= model_.buffers.size()) {
        error_ = "a buffer the file does not have";
        return false;
    }
    const std::vector<unsigned char>& buffer = model_.buffers[size_t(v.buffer)].data;
    const int size = tinygltf::GetComponentSizeInBytes(uint32_t(a.componentType));
    if (size <= 0) {
        error_ = "an accessor of an unknown component type";
        return false;
    }
    const uint64_t element = uint64_t(size) * uint64_t(components);
    stride = v.byteStride != 0 ? v.byteStride : size_t(element);
    const uint64_t span = a.count == 0 ? 0 : uint64_t(stride) * (a.count - 1) + element;
    if (stride < element || uint64_t(a.byteOffset) + span > v.byteLength ||
        uint64_t(v.byteOffset) + v.byteLength > buffer.size()) {
        error_ = "an accessor reaches past its buffer";
        return false;
    }
    data = buffer.data() + v.byteOffset + a.byteOffset;
    return true;
}

} // namespace faceto::gltf
