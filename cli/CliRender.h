#pragma once

#include "cli/CliCommands.h"

#include <optional>
#include <string>

namespace faceto::cli {

struct RenderOptions {
    std::string view = "camera";      // camera, preview, top, front, side, quad or skin
    std::optional<std::string> frame; // an index or a frame name
    int width = 640;
    int height = 480;
    int skin = -1;
    bool edges = false;
    bool vertices = false;
    std::string
        mode; // the camera view's mode by name (none, wireframe, ..., textured-shaded); empty: the setting
    bool fit = false;         // show the whole model instead of the views a new window starts with
    bool withMap = false;     // skin export: the skin map's lines drawn over the skin
    bool scaleCoords = false; // skin import: the coordinates follow a picture of another size
};

// Draws a view of the model as a window of the given client size would show it right after opening
// (a new document's view settings and camera, the preview's initial switches; with `fit` framed on the
// model) and writes a picture in the format of the output's extension (PNG, JPEG or BMP).
int render(Context& context, const std::string& input, const std::string& output,
           const RenderOptions& options);

// A square PNG of the whole model, `size` pixels a side: the camera view fitted to the model, textured
// when it has a skin, flat shaded otherwise.
int thumbnail(Context& context, const std::string& input, const std::string& output, int size);

} // namespace faceto::cli
