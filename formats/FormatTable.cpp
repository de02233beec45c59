#include "formats/FormatTable.h"

#include "formats/AscWriter.h"
#include "formats/Gltf.h"
#include "formats/Md2Reader.h"
#include "formats/Md2Writer.h"
#include "formats/Md3.h"
#include "formats/MdlReader.h"
#include "formats/MdlWriter.h"
#include "formats/NativeFormat.h"
#include "formats/Obj.h"
#include "formats/SkinLoader.h"
#include "formats/ThreeDoReader.h"
#include "model/DerivedData.h"
#include "model/QuakeGroups.h"
#include "model/Texts.h"

#include <algorithm>
#include <cstring>

namespace faceto {

namespace {

Result<ModelData> readNative(std::span<const uint8_t> bytes, const ReadContext&) {
    return parseNative(bytes);
}

Result<ModelData> readNativeAt(const std::string& path, const ReadContext&) {
    return readNativeFile(path);
}

Result<SaveOutput> writeNative(const ModelRef& m, const std::string& path, const WriteContext&) {
    SaveOutput output;
    output.files.push_back(nativeOutputFile(path, m.model, m.frames, m.source));
    return output;
}

Result<ModelData> readMd3(std::span<const uint8_t> bytes, const ReadContext& context) {
    return parseMd3(bytes, context.readBeside);
}

Result<SaveOutput> writeMd3(const ModelRef& m, const std::string& path, const WriteContext&) {
    return encodeMd3(m.model, m.frames, m.source, path);
}

Result<ModelData> readMdl(std::span<const uint8_t> bytes, const ReadContext& context) {
    Result<ModelData> data = parseMdl(bytes);
    if (data && context.gamePalette) {
        applyPalette(data->model, context.gamePalette());
    }
    return data;
}

Result<ModelData> readMd2(std::span<const uint8_t> bytes, const ReadContext& context) {
    if (context.skins == nullptr) {
        MemorySkinLoader none;
        return parseMd2(bytes, none);
    }
    return parseMd2(bytes, *context.skins);
}

Md2SkinOptions md2SkinOptions(const Model& model, const WriteContext& context) {
    Md2SkinOptions options;
    options.depth = context.skinDepth;
    const bool trueColour = std::any_of(model.skins.begin(), model.skins.end(),
                                        [](const Skin& s) { return s.bitsPerPixel == 24; });
    if (trueColour && context.skinDepth != 24 && context.quake2Palette) {
        options.palette = context.quake2Palette();
    }
    return options;
}

// A Quake III model's surfaces become one mesh in the formats of one skin map: it keeps the first
// surface's skin, and the notice names how many others were left out.
template <typename Write> Result<SaveOutput> withSurfacesMerged(const ModelRef& m, Write write) {
    if (!m.source.md3 || m.model.skins.size() < 2) {
        return write(m);
    }
    Model merged = m.model;
    merged.skins.resize(1);
    Result<SaveOutput> out = write(ModelRef{merged, m.frames, m.source});
    if (out) {
        const size_t others = m.model.skins.size() - 1;
        out->notices.push_back("the surfaces share the skin " + merged.skins[0].name + "; " +
                               (others == 1 ? std::string("the other skin was")
                                            : "the " + std::to_string(others) + " other skins were") +
                               " left out");
    }
    return out;
}

// A Quake skin group becomes its first picture in the formats without animated skins: the other members
// are left out (the skin shown, when it is one of them, becomes the group's first), and a notice says so.
template <typename Write>
Result<SaveOutput> withFirstPictures(const ModelRef& m, const WriteContext& context, Write write) {
    const size_t count = m.model.skins.size();
    if (!m.source.quake || !holdsGroups(m.source.quake->skinGroups, count)) {
        return write(m, context);
    }
    Model firsts = m.model;
    firsts.skins.clear();
    std::vector<int32_t> keptAs(count, -1); // each skin's index in `firsts`, -1 when left out
    std::vector<std::string> notices;
    WriteContext shown = context;
    int32_t first = 0;
    for (const QuakeFields::Group& g : m.source.quake->skinGroups) {
        const int32_t size = std::max(g.count, 0);
        if (size > 0) {
            keptAs[size_t(first)] = int32_t(firsts.skins.size());
            firsts.skins.push_back(m.model.skins[size_t(first)]);
        }
        if (context.skin >= first && context.skin < first + size) {
            shown.skin = keptAs[size_t(first)];
        }
        if (g.grouped && size > 1) {
            notices.push_back("the skin group of skins " + std::to_string(first) + " to " +
                              std::to_string(first + size - 1) + " keeps only its first picture");
        }
        first += size;
    }
    Result<SaveOutput> out = write(ModelRef{firsts, m.frames, m.source}, shown);
    if (out && !out->skinNames.empty()) {
        std::vector<std::string> names;
        for (size_t i = 0; i < count; ++i) {
            const int32_t k = keptAs[i];
            names.push_back(k >= 0 && size_t(k) < out->skinNames.size() ? out->skinNames[size_t(k)]
                                                                        : m.model.skins[i].name);
        }
        out->skinNames = std::move(names);
    }
    if (out) {
        out->notices.insert(out->notices.end(), notices.begin(), notices.end());
    }
    return out;
}

Result<SaveOutput> writeMd2(const ModelRef& m, const std::string& path, const WriteContext& context) {
    return withFirstPictures(m, context, [&](const ModelRef& firsts, const WriteContext& c) {
        return withSurfacesMerged(firsts, [&](const ModelRef& one) {
            return exportMd2(one.model, one.frames, one.source, path, md2SkinOptions(one.model, c));
        });
    });
}

Result<SaveOutput> writeMd2Back(const ModelRef& m, const std::string& path, const WriteContext& context) {
    return withFirstPictures(m, context, [&](const ModelRef& firsts, const WriteContext& c) {
        return saveMd2Back(firsts.model, firsts.frames, firsts.source, path, md2SkinOptions(firsts.model, c));
    });
}

Result<SaveOutput> writeMdl(const ModelRef& m, const std::string& path, const WriteContext& context) {
    return withSurfacesMerged(m, [&](const ModelRef& one) -> Result<SaveOutput> {
        const RgbPalette palette = context.gamePalette ? context.gamePalette() : builtInPalette();
        Result<MdlOutput> out = encodeMdl(one.model, one.frames, one.source, palette);
        if (!out) {
            return Failure{out.error()};
        }
        SaveOutput output;
        output.files.push_back({path, std::move(out->bytes)});
        output.notices = std::move(out->notices);
        return output;
    });
}

Result<ModelData> read3do(std::span<const uint8_t> bytes, const ReadContext&) {
    return parse3do(bytes, 0);
}

Result<ModelData> readGltf(std::span<const uint8_t> bytes, const ReadContext& context) {
    return importGltf(bytes, context);
}

Result<SaveOutput> writeGltf(const ModelRef& m, const std::string& path, const WriteContext& context) {
    return withFirstPictures(m, context, [&](const ModelRef& firsts, const WriteContext& c) {
        return exportGltf(firsts, path, c);
    });
}

Result<ModelData> readObj(std::span<const uint8_t> bytes, const ReadContext& context) {
    return importObj(bytes, context);
}

Result<SaveOutput> writeObj(const ModelRef& m, const std::string& path, const WriteContext& context) {
    return withFirstPictures(m, context, [&](const ModelRef& firsts, const WriteContext& c) {
        return exportObj(firsts, path, c);
    });
}

Result<SaveOutput> writeAsc(const ModelRef& m, const std::string& path, const WriteContext&) {
    std::optional<std::string> text = encodeAsc(m.model, m.frames);
    if (!text) {
        return Failure{"the model has no frame"};
    }
    return SaveOutput{{{path, bytesOf(*text)}}, {}, {}};
}

std::string extensionOf(const std::string& path) {
    const size_t dot = path.rfind('.');
    return dot == std::string::npos ? std::string() : path.substr(dot + 1);
}

} // namespace

namespace {

// The native format and the games' formats, in the order the dialogs list them.
std::vector<FileFormat> gameFormats() {
    return {{"fm",
             FACETO_TEXT("Faceto Model (*.fm)"),
             FACETO_TEXT("Faceto Model (*.fm)"),
             {"fm"},
             "HBFM",
             Grouping::FromTriangleWords,
             true,
             readNative,
             writeNative,
             nullptr,
             readNativeAt},
            {"mdl",
             FACETO_TEXT("Quake/Hexen2 Model (*.mdl)"),
             FACETO_TEXT("Quake model (*.mdl)"),
             {"mdl"},
             "IDPO",
             Grouping::ByConnectivity,
             false,
             readMdl,
             writeMdl},
            {"md2",
             FACETO_TEXT("Quake2 Model (*.md2)"),
             FACETO_TEXT("Quake2 Model (*.md2)"),
             {"md2"},
             "IDP2",
             Grouping::ByConnectivity,
             false,
             readMd2,
             writeMd2,
             writeMd2Back},
            {"md3",
             FACETO_TEXT("Quake III Model (*.md3)"),
             FACETO_TEXT("Quake III Model (*.md3)"),
             {"md3"},
             "IDP3",
             Grouping::AsRead,
             false,
             readMd3,
             writeMd3},
            {"3do",
             FACETO_TEXT("Jedi Knight Model (*.3do)"),
             "",
             {"3do"},
             "",
             Grouping::AsRead,
             false,
             read3do,
             nullptr}};
}

// The formats of other tools.
std::vector<FileFormat> exchangeFormats() {
    return {{"asc",
             "",
             FACETO_TEXT("3D Studio Ascii (*.asc)"),
             {"asc"},
             "",
             Grouping::AsRead,
             false,
             nullptr,
             writeAsc},
            {"gltf",
             FACETO_TEXT("glTF 2.0 (*.gltf *.glb)"),
             FACETO_TEXT("glTF 2.0 (*.gltf)"),
             {"gltf"},
             "",
             Grouping::ByConnectivity,
             false,
             readGltf,
             writeGltf},
            {"glb",
             "",
             FACETO_TEXT("glTF 2.0 binary (*.glb)"),
             {"glb"},
             "glTF",
             Grouping::ByConnectivity,
             false,
             readGltf,
             writeGltf},
            {"obj",
             FACETO_TEXT("Wavefront OBJ (*.obj)"),
             FACETO_TEXT("Wavefront OBJ, current frame (*.obj)"),
             {"obj"},
             "",
             Grouping::ByConnectivity,
             false,
             readObj,
             writeObj}};
}

} // namespace

const std::vector<FileFormat>& fileFormats() {
    static const std::vector<FileFormat> formats = [] {
        std::vector<FileFormat> all = gameFormats();
        for (FileFormat& f : exchangeFormats()) {
            all.push_back(std::move(f));
        }
        return all;
    }();
    return formats;
}

const FileFormat* formatOfFile(std::span<const uint8_t> head, const std::string& path) {
    for (const FileFormat& f : fileFormats()) {
        if (f.readable() && !f.magic.empty() && head.size() >= f.magic.size() &&
            std::memcmp(head.data(), f.magic.data(), f.magic.size()) == 0) {
            return &f;
        }
    }
    const std::string extension = extensionOf(path);
    for (const FileFormat& f : fileFormats()) {
        if (f.readable() && f.magic.empty()) {
            for (std::string_view e : f.extensions) {
                if (equalsIgnoreCase(extension, e)) {
                    return &f;
                }
            }
        }
    }
    return nullptr;
}

const FileFormat* formatForSaving(const std::string& path) {
    const std::string extension = extensionOf(path);
    for (const FileFormat& f : fileFormats()) {
        for (std::string_view e : f.extensions) {
            if (f.writable() && path.rfind('.') != std::string::npos && equalsIgnoreCase(extension, e)) {
                return &f;
            }
        }
    }
    return nullptr;
}

const FileFormat* formatNamed(std::string_view name) {
    for (const FileFormat& f : fileFormats()) {
        if (f.name == name) {
            return &f;
        }
    }
    return nullptr;
}

std::string extensionList(bool writable) {
    std::vector<std::string> names;
    for (const FileFormat& f : fileFormats()) {
        if (writable ? f.writable() : f.readable()) {
            names.push_back("." + std::string(f.extension()));
        }
    }
    std::string out;
    for (size_t i = 0; i < names.size(); ++i) {
        out += (i == 0 ? "" : i + 1 == names.size() ? " and " : ", ") + names[i];
    }
    return out;
}

} // namespace faceto
