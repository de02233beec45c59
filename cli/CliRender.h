#pragma once

#include "cli/CliCommands.h"

#include <optional>
#include <string>

namespace faceto::cli {

struct RenderOptions {
    std::string view = "camera"; // camera, preview, top, front, side or quad
    std::optional<std::string> frame; // an index or a frame name
    int width = 640;
    int height = 480;
    int skin = -1;
    bool edges = false;
    bool vertices = false;
};

// Draws a view of the model as a window of the given client size would show it right after opening
// (a new document's view settings and camera, the preview's initial switches) and writes a PNG.
int render(Context& context, const std::string& input, const std::string& output, const RenderOptions& options);

} // namespace faceto::cli
