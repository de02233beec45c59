#pragma once

#include "formats/FileIO.h"
#include "formats/Result.h"
#include "formats/SaveOutput.h"
#include "model/Model.h"
#include "model/Palette.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace faceto {

class SkinLoader;

// What a reader may need beyond the file's bytes.
struct ReadContext {
    SkinLoader* skins = nullptr;             // finds the pictures a model names as its skins
    std::function<RgbPalette()> gamePalette; // the colours of Quake skins, which store bare indices
    // A file a model names beside it (a glTF buffer or picture, an OBJ material), by its relative name;
    // absent when the model was not read from a folder.
    std::function<Result<ByteBuffer>(const std::string& name)> readBeside;
    int framesPerSecond = 10; // at which animations of other tools are sampled into frames
    float scale = 1.0f;       // glTF and OBJ: model units per unit of the file (a model in metres: 32)
};

// What a writer may need beyond the model.
struct WriteContext {
    std::function<RgbPalette()> gamePalette; // the colours Quake skins are written in
    int32_t skin = 0;                        // the skin shown, which formats with one picture write
    float scale = 1.0f;                      // glTF and OBJ: units per model unit
    bool linearInterpolation = false;        // glTF animations: linear between frames instead of steps
    int32_t frame = 0;                       // OBJ: the frame written
    // .md2: Quake 2's palette (pics/colormap.pcx under the game's folder), when there is one, and the
    // depth true-colour skins are written in: 8, 24, or 0 for 8 when that palette is known.
    std::function<std::optional<RgbPalette>()> quake2Palette;
    int skinDepth = 0;
};

// A model as a writer sees it.
struct ModelRef {
    const Model& model;
    const std::vector<Frame>& frames;
    const SourceFields& source;
};

// How the groups of a model come about after a read.
enum class Grouping {
    FromTriangleWords, // the file keeps each triangle's group and colour words
    ByConnectivity,    // none in the file: connected triangles form a group
    AsRead,            // the reader made them
};

// One file format: everything the editor's Open and Save, its file dialogs and faceto-cli know of it.
struct FileFormat {
    std::string_view name;                    // "md2", as faceto-cli reports it
    std::string_view openFilter;              // in the Open dialog; empty: not offered there
    std::string_view saveFilter;              // in the Save As dialog; empty: not written
    std::vector<std::string_view> extensions; // lower case, without the dot; the first is the usual one
    std::string_view magic;                   // the first bytes; empty: recognised by extension
    Grouping grouping = Grouping::AsRead;
    bool native = false; // a save in it is the document's own file (the others are exports)
    Result<ModelData> (*read)(std::span<const uint8_t> bytes, const ReadContext& context) = nullptr;
    Result<SaveOutput> (*write)(const ModelRef& model, const std::string& path,
                                const WriteContext& context) = nullptr;
    // Save writing back the file the model was read from, when that differs from a Save As to it (an
    // .md2 keeps the skin names it stores); null: as `write`.
    Result<SaveOutput> (*writeBack)(const ModelRef& model, const std::string& path,
                                    const WriteContext& context) = nullptr;
    // Reads the file at `path` as it parses it, for a large file not to be held in memory whole; null:
    // the file is read into memory and given to `read`.
    Result<ModelData> (*readPath)(const std::string& path, const ReadContext& context) = nullptr;

    bool readable() const { return read != nullptr; }
    bool writable() const { return write != nullptr; }
    std::string_view extension() const { return extensions.front(); }
};

// Every format, in the order the dialogs list them.
const std::vector<FileFormat>& fileFormats();

// The format of a file: by its first bytes, else (for formats without a magic) by its extension,
// compared without regard to case. Null when none reads it.
const FileFormat* formatOfFile(std::span<const uint8_t> head, const std::string& path);
// The format that writes a file of that name, by its extension; null when none does.
const FileFormat* formatForSaving(const std::string& path);
// The format by its name ("md2"); null when there is none.
const FileFormat* formatNamed(std::string_view name);

// ".fm, .md2 and .asc": the extensions of the formats that can be read (or written), for messages.
std::string extensionList(bool writable);

} // namespace faceto
