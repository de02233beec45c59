#include "formats/AscWriter.h"

#include <cinttypes>
#include <cstdio>

namespace faceto {

namespace {

template <typename... Args> void appendf(std::string& out, const char* format, Args... args) {
    char line[256];
    const int n = std::snprintf(line, sizeof line, format, args...);
    if (n >= int(sizeof line)) {
        std::string big(size_t(n) + 1, '\0');
        std::snprintf(big.data(), big.size(), format, args...);
        out.append(big.data(), size_t(n));
    } else if (n > 0) {
        out.append(line, size_t(n));
    }
}

} // namespace

std::optional<std::string> encodeAsc(const Model& model, const std::vector<Frame>& frames) {
    if (frames.empty()) {
        return std::nullopt;
    }
    const Frame& first = frames.front();
    std::string out;
    out.reserve(96 + model.vertexInfos.size() * 64 + model.triangles.size() * 48);
    out += "Ambient light color: Red=0.039216 Green=0.039216 Blue=0.039216\r\n\r\n";
    appendf(out, "Named object: \"%s\"\r\n", "Object1");
    appendf(out, "Tri-mesh, Vertices: %d    Faces: %d\r\n", model.vertexCount(), model.triangleCount());
    out += "Vertex list:\r\n";
    for (int32_t i = 0; i < model.vertexCount(); ++i) {
        const FrameVertex p = size_t(i) < first.positions.size() ? first.positions[size_t(i)] : FrameVertex{};
        appendf(out, "Vertex %d:  X: %lf  Y: %lf  Z: %lf\r\n", i, double(p.y), -double(p.x), double(p.z));
    }
    out += "Face list:\r\n";
    for (int32_t i = 0; i < model.triangleCount(); ++i) {
        const Triangle& t = model.triangles[size_t(i)];
        appendf(out, "Face %d:  A:%u B:%u C:%u AB:1 BC:1 CA:1\r\n", i, unsigned(t.v[0]), unsigned(t.v[2]),
                unsigned(t.v[1]));
    }
    return out;
}

Status writeAsc(const std::string& path, const Model& model, const std::vector<Frame>& frames) {
    const std::optional<std::string> text = encodeAsc(model, frames);
    if (!text) {
        return Failure{"the model has no frame"};
    }
    return writeFileReplacing(path, {reinterpret_cast<const uint8_t*>(text->data()), text->size()});
}

} // namespace faceto
