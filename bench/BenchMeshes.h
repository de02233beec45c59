#pragma once

#include "document/DocumentHost.h"
#include "model/DerivedData.h"
#include "model/Model.h"

#include <cmath>
#include <cstdint>

namespace faceto::bench {

// Documents in benchmarks show no messages and have no windows.
class NullHost : public DocumentHost {
public:
    void message(std::string_view) override {}
    void documentChanged(CFacetoDoc&, const ChangeNotice&) override {}
    void addToRecentFiles(const std::string&) override {}
    bool confirmReplace(const std::string&) override { return true; }
};

// A wavy sheet of `columns` x `rows` vertices, two triangles per grid cell, with `frameCount`
// frames that differ slightly. Skin coordinates cover a 256 x 256 skin.
inline ModelData makeGridModel(int32_t columns, int32_t rows, int frameCount,
                               int32_t maxTriangles = INT32_MAX) {
    ModelData data;
    Model& model = data.model;
    model.vertexInfos.resize(size_t(columns) * size_t(rows));
    for (int32_t r = 0; r + 1 < rows; ++r) {
        for (int32_t c = 0; c + 1 < columns; ++c) {
            const int32_t v = r * columns + c;
            auto st = [&](int32_t vertex) {
                return std::array<float, 2>{float(vertex % columns) * 255.0f / float(columns),
                                            float(vertex / columns) * 255.0f / float(rows)};
            };
            for (auto corners : {std::array<int32_t, 3>{v, v + columns, v + 1},
                                 std::array<int32_t, 3>{v + 1, v + columns, v + columns + 1}}) {
                if (int32_t(model.triangles.size()) >= maxTriangles) {
                    break;
                }
                Triangle t;
                t.v = corners;
                t.st = {st(corners[0]), st(corners[1]), st(corners[2])};
                t.color = 8 + int32_t(model.triangles.size() % 200);
                model.triangles.push_back(t);
            }
        }
    }
    for (int f = 0; f < frameCount; ++f) {
        Frame frame("frame" + std::to_string(f + 1));
        frame.positions.resize(model.vertexInfos.size());
        for (int32_t r = 0; r < rows; ++r) {
            for (int32_t c = 0; c < columns; ++c) {
                FrameVertex& p = frame.positions[size_t(r) * size_t(columns) + size_t(c)];
                p.x = float(c) - float(columns) / 2.0f;
                p.y = float(r) - float(rows) / 2.0f;
                p.z = 4.0f * std::sin(float(c + f) * 0.3f) * std::cos(float(r) * 0.2f);
            }
        }
        data.frames.push_back(std::move(frame));
    }
    buildEdges(model);
    return data;
}

// About `triangles` triangles for the scaling figures: a square sheet whose every cell is drawn from
// both sides (four triangles a cell), so that even 100,000 triangles use fewer vertices (25,281) than a
// Quake 2 model may hold; 10 frames.
inline ModelData makeScalingModel(int32_t triangles) {
    const auto side = int32_t(std::lround(std::sqrt(double(triangles) / 4.0))) + 1;
    ModelData data = makeGridModel(side, side, 10);
    const size_t oneSide = data.model.triangles.size();
    for (size_t i = 0; i < oneSide; ++i) {
        Triangle back = data.model.triangles[i];
        std::swap(back.v[1], back.v[2]);
        std::swap(back.st[1], back.st[2]);
        data.model.triangles.push_back(back);
    }
    buildEdges(data.model);
    return data;
}

} // namespace faceto::bench
