// Reading a glTF file into a model, in steps: parse the document, read the scene's meshes and the
// animations, sample every animation into frames, weld the vertices that never part, build the model.
#include "formats/Gltf.h"
#include "formats/GltfScene.h"
#include "formats/Pictures.h"
#include "model/DerivedData.h"
#include "model/FrameMemory.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>
#include <map>
#include <unordered_map>
#include <unordered_set>

namespace faceto {

namespace {

using namespace gltf;

// "", "b", "c", ... "z", "ba", ...: letters that set names apart, since digits would join the numbers
// of the frames.
std::string letters(size_t k) {
    std::string out;
    for (size_t n = k; n > 0; n /= 26) {
        out.insert(out.begin(), char('a' + n % 26));
    }
    return out;
}

// How the texture's sampler reads coordinates past the picture's edges (without a sampler: repeated).
std::array<Wrap, 2> samplerWrap(const tinygltf::Model& gltf, int sampler) {
    auto wrapOf = [](int mode) {
        return mode == TINYGLTF_TEXTURE_WRAP_CLAMP_TO_EDGE     ? Wrap::Clamp
               : mode == TINYGLTF_TEXTURE_WRAP_MIRRORED_REPEAT ? Wrap::Mirror
                                                               : Wrap::Repeat;
    };
    if (sampler < 0 || size_t(sampler) >= gltf.samplers.size()) {
        return {Wrap::Repeat, Wrap::Repeat};
    }
    return {wrapOf(gltf.samplers[size_t(sampler)].wrapS), wrapOf(gltf.samplers[size_t(sampler)].wrapT)};
}

// The skin: the base colour picture of the texture the scene uses, when it can be had. The skin
// coordinates are measured in its size (256 x 256 without one).
std::optional<std::string> readSkin(const tinygltf::Model& gltf, int texture, const ReadContext& context,
                                    limits::DecodeBudget& budget, ModelData& data) {
    data.source.skinWidth = 256;
    data.source.skinHeight = 256;
    if (texture >= 0 && size_t(texture) < gltf.textures.size()) {
        const int source = gltf.textures[size_t(texture)].source;
        if (source >= 0 && size_t(source) < gltf.images.size()) {
            const tinygltf::Image& image = gltf.images[size_t(source)];
            const std::string name = !image.uri.empty()    ? image.uri
                                     : !image.name.empty() ? image.name
                                                           : "skin";
            // A picture that cannot be had costs the model its skin, not the whole model.
            Result<Skin> skin = Failure{""};
            if (image.image.empty() && !image.uri.empty() && context.readBeside) {
                const Result<ByteBuffer> file = context.readBeside(image.uri);
                skin = Failure{file ? "it cannot be read" : file.error()};
            } else {
                skin = decodePictureAsSkin(image.image);
            }
            if (skin && !budget.take(skin->pixels.size())) {
                return limits::tooMuchToDecode();
            }
            if (skin) {
                skin->name = name;
                skin->wrap = samplerWrap(gltf, gltf.textures[size_t(texture)].sampler);
                data.source.skinWidth = skin->imageWidth;
                data.source.skinHeight = skin->imageHeight;
                data.model.skins.push_back(std::move(*skin));
            } else {
                data.warnings.push_back("the skin picture " + name + " is left out: " + skin.error());
            }
        }
    }
    data.source.hasSkins = data.model.skins.empty() ? 0 : 1;
    return std::nullopt;
}

// The name of each animation's frames: the animation's name without its digits (which the frame numbers
// would run into) and apart from the other animations' names (as "<name>b", "<name>c"...).
std::vector<std::string> animationNames(const tinygltf::Model& gltf) {
    std::vector<std::string> names;
    std::unordered_set<std::string> taken;         // lower case
    std::unordered_map<std::string, size_t> tried; // the letters tried last for a name, by the name
    auto lower = [](std::string text) {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char c) { return char(std::tolower(c)); });
        return text;
    };
    for (const tinygltf::Animation& animation : gltf.animations) {
        std::string name;
        for (char c : animation.name) {
            if (!std::isdigit(static_cast<unsigned char>(c)) && c != ' ') {
                name += c;
            }
        }
        if (name.empty()) {
            name = "animation";
        }
        // Each name goes on from the letters it had last: Blender's "Action.001", "Action.002"...
        // all lose their digits, and trying from the start each time would take quadratic time.
        size_t& k = tried[lower(name)];
        std::string unique = k == 0 ? name : name + letters(k);
        while (taken.count(lower(unique)) != 0) {
            unique = name + letters(++k);
        }
        taken.insert(lower(unique));
        names.push_back(unique);
    }
    return names;
}

// Makes frames of poses, named after the morph target their weights show when they show exactly one.
class FrameMaker {
public:
    FrameMaker(const Scene& scene, limits::DecodeBudget& budget, std::vector<Frame>& frames)
        : scene_(scene), budget_(budget), frames_(frames) {}

    bool add(Positions&& positions, const Weights& weights, const std::string& fallback) {
        if (!budget_.take(positions.size() * sizeof(FrameVertex) + sizeof(Frame))) {
            return false;
        }
        Frame frame(nameOf(weights, fallback));
        frame.positions = std::move(positions);
        frames_.push_back(std::move(frame));
        return true;
    }

private:
    // A frame that shows one morph target fully and nothing else is named after it.
    std::string nameOf(const Weights& w, const std::string& fallback) const {
        const auto& names = scene_.targetNames;
        if (w.size() != 1 || w[0].second != 1.0f || w[0].first >= names.size() || names[w[0].first].empty()) {
            return fallback;
        }
        return names[w[0].first];
    }

    const Scene& scene_;
    limits::DecodeBudget& budget_;
    std::vector<Frame>& frames_;
};

// Every animation sampled at `fps` frames a second (and at its last key) into numbered frames.
std::optional<std::string> sampleAnimations(const tinygltf::Model& gltf, const Scene& scene,
                                            const std::vector<std::vector<Track>>& animations,
                                            const Poser& poser, int fps, FrameMaker& frames) {
    const std::vector<std::string> names = animationNames(gltf);
    Weights shown;
    double sampled = 0; // frames of the animations so far: each costs its record even without vertices
    for (size_t a = 0; a < animations.size(); ++a) {
        double duration = 0;
        for (const Track& track : animations[a]) {
            if (!track.times.empty()) {
                duration = std::max(duration, double(track.times.back()));
            }
        }
        // Samples at 0, 1/fps, 2/fps... and one more at the last key when it falls between two of them,
        // so that the animation ends in its final pose.
        const double whole = std::floor(duration * fps + 1e-4);
        const bool lastBetween = duration * fps - whole > 1e-4;
        const double samples = whole + 1 + (lastBetween ? 1 : 0);
        sampled += samples;
        if (samples * double(scene.vertexCount) * 12 > double(limits::MAX_DECODED_BYTES) ||
            !(sampled <= limits::MAX_SAMPLED_FRAMES)) {
            return limits::tooMuchToDecode();
        }
        // Each sample poses every node of the scene: thousands of joints over a long animation would
        // take minutes for frames that are mostly alike.
        if (sampled * double(gltf.nodes.size() + gltf.skins.size()) > limits::MAX_SAMPLED_NODES) {
            return "the animations ask for " + std::to_string(int64_t(sampled)) + " frames of " +
                   std::to_string(gltf.nodes.size()) + " nodes, more than can be sampled in good time";
        }
        for (size_t k = 0; k < size_t(samples); ++k) {
            const double time = lastBetween && k + 1 == size_t(samples) ? duration : double(k) / fps;
            Positions positions = poser.pose(int(a), time, -1, shown);
            // Frame numbers run to 99 (from 100 on, a name's first digit belongs to its animation's name):
            // a longer animation goes on as "<name>b1", "<name>c1", ...
            const std::string numbered = names[a] + letters(k / 99) + std::to_string(k % 99 + 1);
            if (!frames.add(std::move(positions), shown, numbered)) {
                return limits::tooMuchToDecode();
            }
        }
    }
    return std::nullopt;
}

// Without animations: the rest shape, then each morph target fully applied.
std::optional<std::string> restFrames(const Scene& scene, const Poser& poser, FrameMaker& frames) {
    Weights shown;
    if (!frames.add(poser.pose(-1, 0, -1, shown), {}, "base")) {
        return limits::tooMuchToDecode();
    }
    const size_t targets = scene.instances.front().targets.size();
    for (size_t k = 0; k < targets; ++k) {
        Positions positions = poser.pose(-1, 0, int(k), shown);
        const std::string fallback = "target" + std::to_string(k + 1);
        const std::string& named = k < scene.targetNames.size() ? scene.targetNames[k] : fallback;
        if (!frames.add(std::move(positions), {}, named.empty() ? fallback : named)) {
            return limits::tooMuchToDecode();
        }
    }
    return std::nullopt;
}

// Vertices at the same place in every frame are one vertex (a glTF mesh repeats a vertex for each of its
// texture coordinates): the merged vertex each glTF vertex becomes, and the first glTF vertex of each.
void weld(const Scene& scene, const std::vector<Frame>& frames, std::vector<uint32_t>& merged,
          std::vector<uint32_t>& kept) {
    const size_t total = scene.vertexCount;
    merged.assign(total, 0);
    kept.clear();
    if (scene.instances.size() == 1 && scene.instances[0].vertexNumbers != nullptr) {
        // A file this program wrote: its vertices say which model vertex they are.
        std::map<float, uint32_t> numbers;
        for (uint32_t v = 0; v < total; ++v) {
            auto [it, added] =
                numbers.try_emplace((*scene.instances[0].vertexNumbers)[v], uint32_t(kept.size()));
            if (added) {
                kept.push_back(v);
            }
            merged[v] = it->second;
        }
        return;
    }
    std::unordered_map<uint64_t, std::vector<uint32_t>> buckets;
    auto same = [&](uint32_t a, uint32_t b) {
        for (const Frame& f : frames) {
            // Bit for bit (three floats, no padding): -0 and 0 stay apart, as the file has them.
            // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison)
            if (std::memcmp(&f.positions[a], &f.positions[b], sizeof(FrameVertex)) != 0) {
                return false;
            }
        }
        return true;
    };
    for (uint32_t v = 0; v < total; ++v) {
        uint64_t h = 1469598103934665603ull;
        for (const Frame& f : frames) {
            uint32_t words[3];
            std::memcpy(words, &f.positions[v], 12);
            for (uint32_t w : words) {
                h = (h ^ w) * 1099511628211ull;
            }
        }
        auto& bucket = buckets[h];
        auto it = std::find_if(bucket.begin(), bucket.end(), [&](uint32_t k) { return same(kept[k], v); });
        if (it == bucket.end()) {
            bucket.push_back(uint32_t(kept.size()));
            merged[v] = uint32_t(kept.size());
            kept.push_back(v);
        } else {
            merged[v] = *it;
        }
    }
}

// The model's vertices and triangles from the welded scene: the frames keep one position per merged
// vertex, the triangles turn back to Quake's clockwise front faces, skin coordinates in skin pixels.
void buildModel(const tinygltf::Model& gltf, const Scene& scene, const std::vector<uint32_t>& merged,
                const std::vector<uint32_t>& kept, ModelData& data) {
    // The welded frames are cut from one block, as a reader's frames are.
    const FrameMemoryScope positionsBlock(data.frames.size(), kept.size());
    for (Frame& f : data.frames) {
        Positions compact(kept.size());
        for (size_t k = 0; k < kept.size(); ++k) {
            compact[k] = f.positions[kept[k]];
        }
        f.positions = std::move(compact);
    }
    Model& model = data.model;
    model.vertexInfos.resize(kept.size());
    model.triangles.reserve(scene.corners.size());
    const float width = float(data.source.skinWidth);
    const float height = float(data.source.skinHeight);
    for (const auto& c : scene.corners) {
        Triangle t;
        const uint32_t order3[3] = {c[0], c[2], c[1]};
        for (size_t k = 0; k < 3; ++k) {
            t.v[k] = int32_t(merged[order3[k]]);
            t.st[k] = {scene.uvs[size_t(order3[k]) * 2] * width,
                       scene.uvs[size_t(order3[k]) * 2 + 1] * height};
        }
        model.triangles.push_back(t);
    }
    if (!gltf.meshes.empty()) {
        model.name = gltf.meshes[size_t(gltf.nodes[size_t(scene.instances.front().node)].mesh)].name;
    }
}

} // namespace

void scalePositions(std::vector<Frame>& frames, float scale) {
    if (scale == 1.0f || !(scale > 0.0f)) {
        return;
    }
    for (Frame& f : frames) {
        for (FrameVertex& p : f.positions) {
            p = {p.x * scale, p.y * scale, p.z * scale};
        }
    }
}

Result<ModelData> importGltf(std::span<const uint8_t> bytes, const ReadContext& context) {
    Result<tinygltf::Model> gltf = parseDocument(bytes, context);
    if (!gltf) {
        return Failure{gltf.error()};
    }
    limits::DecodeBudget budget;
    Accessors accessors(*gltf);
    Result<Scene> scene = readScene(*gltf, accessors, budget);
    if (!scene) {
        return Failure{scene.error()};
    }
    ModelData data;
    if (auto error = readSkin(*gltf, scene->texture, context, budget, data)) {
        return Failure{*error};
    }
    Result<std::vector<std::vector<Track>>> animations = readAnimations(*gltf, accessors);
    if (!animations) {
        return Failure{animations.error()};
    }
    Result<std::vector<std::vector<Mat4d>>> inverseBind = readInverseBinds(*gltf, accessors);
    if (!inverseBind) {
        return Failure{inverseBind.error()};
    }
    const Poser poser(*gltf, *scene, *animations, std::move(*inverseBind));
    FrameMaker frames(*scene, budget, data.frames);
    if (auto error = sampleAnimations(*gltf, *scene, *animations, poser,
                                      std::clamp(context.framesPerSecond, 1, 1000), frames)) {
        return Failure{*error};
    }
    if (data.frames.empty()) {
        if (auto error = restFrames(*scene, poser, frames)) {
            return Failure{*error};
        }
    }
    std::vector<uint32_t> merged;
    std::vector<uint32_t> kept;
    weld(*scene, data.frames, merged, kept);
    buildModel(*gltf, *scene, merged, kept, data);
    scalePositions(data.frames, context.scale);
    return data;
}

} // namespace faceto
