#pragma once

#include "formats/FileIO.h"
#include "formats/SaveOutput.h"
#include "model/Model.h"
#include "model/Palette.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace faceto {

// One corner of a GL command run: a vertex and the texture coordinate pair it uses.
struct GlVertex {
    int32_t vertex = 0;
    int32_t pair = 0;
    bool operator==(const GlVertex&) const = default;
};

// A triangle strip or fan of the GL command list; `triangles` lists the triangles it covers.
struct GlRun {
    bool strip = false;
    std::vector<GlVertex> vertices;
    std::vector<int32_t> triangles;
};

// Splits triangles (each corner a vertex and a pair index) into strips and fans: for every triangle not
// yet covered, in order, a fan and then a strip from each of its three corners are tried and the first
// longest run is kept. A run grows through the first later triangle that carries its open edge.
std::vector<GlRun> buildGlRuns(const std::vector<std::array<GlVertex, 3>>& triangles);

// The texture coordinate pairs of the triangles' corners (the nearest whole pixels), each distinct
// pair once in order of first use, and every corner's index into that list.
struct Md2TexCoords {
    std::vector<std::array<int32_t, 2>> pairs;
    std::vector<std::array<GlVertex, 3>> corners;
};
Md2TexCoords collectTexCoords(const Model& model);

// The whole .md2 file for the model; `skinNames` are written as the skin names (none when empty).
// Nothing when the format cannot hold the model: more than 32768 vertices or texture pairs, no frame.
// What the user should know (frame names shortened) goes to `notices`.
std::optional<ByteBuffer> encodeMd2(const Model& model, const std::vector<Frame>& frames,
                                    const SourceFields& source, const std::vector<std::string>& skinNames,
                                    std::vector<std::string>* notices = nullptr);

// How true-colour skins are written beside an .md2: Quake 2 reads only 8-bit skins in its palette.
struct Md2SkinOptions {
    int depth = 0;                     // 8 or 24; 0: 8 when `palette` is known, else 24 (with a notice)
    std::optional<RgbPalette> palette; // Quake 2's, from pics/colormap.pcx under the game's base folder
};

// The skin names a Quake 2 model stores whose pictures were not found (the model has no skin of that name).
std::vector<std::string> missingSkinNames(const Model& model, const SourceFields& source);

// What saving the model as a Quake 2 model at `path` writes: the .md2 and, when the document has skins
// (`hasSkins`), every skin renamed "skin<N>.PCX" and written as that PCX file beside it (8-bit skins
// with their palette, true-colour skins as `options` say). A stored skin name whose picture was not
// found is written as it was. A skin that cannot be written fails the export.
Result<SaveOutput> exportMd2(const Model& model, const std::vector<Frame>& frames, const SourceFields& source,
                             const std::string& path, const Md2SkinOptions& options);

// What saving back over the .md2 the model was read from writes: the skin names the file stores are kept
// (they are paths the game resolves, found or not) and their pictures are left alone; a skin added since
// is named and written as an export does.
Result<SaveOutput> saveMd2Back(const Model& model, const std::vector<Frame>& frames,
                               const SourceFields& source, const std::string& path,
                               const Md2SkinOptions& options);

// Writes the export: every file or none; the skins take their new names only when all were written.
Status writeMd2(const std::string& path, Model& model, const std::vector<Frame>& frames,
                const SourceFields& source);

} // namespace faceto
