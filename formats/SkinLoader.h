#pragma once

#include "formats/Result.h"
#include "model/Skin.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace faceto {

// Finds the pictures that a model names as its skins (Quake 2 models store PCX file names).
class SkinLoader {
public:
    virtual ~SkinLoader() = default;
    // The picture stored under `name`, decoded into a skin (its name not set); nothing when there is no
    // such picture or it cannot be read (the model is then loaded without that skin). Fails when the
    // picture passes the limits of what a load takes.
    virtual Result<std::optional<Skin>> load(const std::string& name) = 0;
};

// Pictures in folders: the stored name under the game's base folder (when there is one), then under the
// model's folder, then its last component in the model's folder. Only PCX files are read, and only
// regular files inside those folders; a picture that several names reach is read and decoded once.
class FolderSkinLoader : public SkinLoader {
public:
    // Both folders end in a separator (or are empty).
    FolderSkinLoader(std::string baseFolder, std::string modelFolder)
        : baseFolder_(std::move(baseFolder)), modelFolder_(std::move(modelFolder)) {}
    Result<std::optional<Skin>> load(const std::string& name) override;

private:
    Result<std::optional<Skin>> loadPath(const std::string& folder, const std::string& name);

    std::string baseFolder_;
    std::string modelFolder_;
    std::map<std::string, std::optional<Skin>> decoded_;
};

// Pictures held in memory under their stored names (tests and fuzzing).
class MemorySkinLoader : public SkinLoader {
public:
    std::map<std::string, std::vector<uint8_t>> files;
    Result<std::optional<Skin>> load(const std::string& name) override;
};

} // namespace faceto
