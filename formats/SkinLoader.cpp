#include "formats/SkinLoader.h"

#include "formats/FileIO.h"
#include "formats/Limits.h"
#include "formats/Pcx.h"
#include "model/DerivedData.h"

namespace faceto {

namespace {

bool hasPcxExtension(const std::string& path) {
    const size_t dot = path.rfind('.');
    return dot != std::string::npos && dot != 0 &&
           equalsIgnoreCase(std::string_view(path).substr(dot + 1), "pcx");
}

// A PCX picture from its bytes: refused when it is larger than a skin may be, nothing when it is not
// a picture that can be read.
Result<std::optional<Skin>> decode(std::span<const uint8_t> bytes) {
    if (const auto size = pcxSize(bytes);
        size && ((*size)[0] > limits::MAX_SKIN_SIDE || (*size)[1] > limits::MAX_SKIN_SIDE)) {
        return Failure{limits::skinTooLarge((*size)[0], (*size)[1])};
    }
    Skin skin;
    if (!decodePcx(bytes, skin)) {
        return std::optional<Skin>();
    }
    return std::optional<Skin>(std::move(skin));
}

} // namespace

Result<std::optional<Skin>> FolderSkinLoader::loadPath(const std::string& folder, const std::string& name) {
    const std::string path = folder + name;
    if (auto it = decoded_.find(path); it != decoded_.end()) {
        return it->second;
    }
    std::optional<Skin> skin;
    if (hasPcxExtension(path)) {
        // Only a regular file inside the folder: a stored name cannot reach elsewhere.
        Result<ByteBuffer> bytes = readCompanionFile(folder, name, limits::MAX_DECODED_BYTES);
        if (bytes) {
            Result<std::optional<Skin>> picture = decode(*bytes);
            if (!picture) {
                return Failure{fileNameOf(path) + ": " + picture.error()};
            }
            skin = std::move(*picture);
        }
    }
    decoded_.emplace(path, skin);
    return skin;
}

Result<std::optional<Skin>> FolderSkinLoader::load(const std::string& name) {
    const std::string lastComponent = fileNameOf(name);
    if (lastComponent.empty()) {
        return std::optional<Skin>();
    }
    std::vector<std::pair<std::string, std::string>> places{{modelFolder_, name},
                                                            {modelFolder_, lastComponent}};
    if (!baseFolder_.empty()) {
        places.insert(places.begin(), {baseFolder_, name}); // without a game folder, only beside the model
    }
    for (const auto& [folder, relative] : places) {
        Result<std::optional<Skin>> skin = loadPath(folder, relative);
        if (!skin || skin->has_value()) {
            return skin;
        }
    }
    return std::optional<Skin>();
}

Result<std::optional<Skin>> MemorySkinLoader::load(const std::string& name) {
    auto it = files.find(name);
    if (it == files.end() || !hasPcxExtension(name)) {
        return std::optional<Skin>();
    }
    return decode(it->second);
}

} // namespace faceto
