#include "TestSupport.h"

#include "document/DocumentEdit.h"
#include "document/EditCommands.h"
#include "formats/FileIO.h"
#include "formats/Md2Reader.h"
#include "formats/NativeFormat.h"
#include "formats/SkinLoader.h"
#include "model/DerivedData.h"

#include <fstream>
#include <gtest/gtest.h>

namespace faceto::test {

TempDir::TempDir() {
    std::random_device rd;
    dir_ = std::filesystem::temp_directory_path() /
           ("faceto-test-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(dir_);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
}

Result<ModelData> readMd2File(const std::string& path, const Profile& profile) {
    Result<ByteBuffer> bytes = readFile(path);
    if (!bytes) {
        return Failure{bytes.error()};
    }
    FolderSkinLoader skins(md2SkinFolder(profile), folderOf(path));
    return parseMd2(*bytes, skins);
}

std::vector<std::string> headings(const std::vector<std::string>& messages) {
    std::vector<std::string> out;
    for (const std::string& m : messages) {
        out.push_back(m.substr(0, m.find('\n')));
    }
    return out;
}

void moveVertex(CFacetoDoc& doc, int32_t vertex, const FrameVertex& to) {
    doc.run(std::make_unique<ChangePositions>(doc, "Move Vertices", doc.currentFramePosition(),
                                              std::vector<int32_t>{vertex}, std::vector<FrameVertex>{to}));
}

std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

Triangle tri(int32_t a, int32_t b, int32_t c) {
    Triangle t;
    t.v = {a, b, c};
    return t;
}

ModelData makeModel(int32_t vertexCount, const std::vector<Triangle>& triangles, int frameCount) {
    ModelData data;
    data.model.vertexInfos.resize(size_t(vertexCount));
    data.model.triangles = triangles;
    for (int f = 0; f < frameCount; ++f) {
        Frame frame("frame" + std::to_string(f + 1));
        for (int32_t v = 0; v < vertexCount; ++v) {
            frame.positions.push_back(FrameVertex{float(v), float(f), float(v * 10 + f)});
        }
        data.frames.push_back(std::move(frame));
    }
    buildEdges(data.model);
    return data;
}

void loadInto(CFacetoDoc& doc, ModelData data) {
    DocumentEdit::model(doc) = std::move(data.model);
    DocumentEdit::frames(doc) = std::move(data.frames);
    DocumentEdit::source(doc) = data.source;
    doc.setCurrentFrameIndex(0);
    doc.setCurrentFrame(0);
    doc.rebuildAnimations();
    doc.startHistory();
}

std::vector<Triangle> randomTriangles(std::mt19937& rng, int32_t vertexCount, int32_t triangleCount,
                                      bool clustered) {
    std::vector<Triangle> out;
    std::uniform_int_distribution<int32_t> any(0, vertexCount - 1);
    std::uniform_int_distribution<int32_t> near(-3, 3);
    for (int32_t i = 0; i < triangleCount; ++i) {
        const int32_t a = any(rng);
        auto pick = [&] { return clustered ? std::clamp(a + near(rng), 0, vertexCount - 1) : any(rng); };
        Triangle t = tri(a, pick(), pick());
        t.color = int32_t(rng() % 256);
        out.push_back(t);
    }
    return out;
}

::testing::AssertionResult modelIsConsistent(const CFacetoDoc& doc) {
    const size_t vertexCount = doc.model().vertexInfos.size();
    for (size_t f = 0; f < doc.frames().size(); ++f) {
        if (doc.frames()[f].positions.size() != vertexCount) {
            return ::testing::AssertionFailure()
                   << "frame " << f << " has " << doc.frames()[f].positions.size() << " positions for "
                   << vertexCount << " vertices";
        }
    }
    for (const Triangle& t : doc.model().triangles) {
        for (int32_t v : t.v) {
            if (v < 0 || size_t(v) >= vertexCount) {
                return ::testing::AssertionFailure() << "corner " << v << " outside the vertex list";
            }
        }
    }
    for (const Animation& a : doc.animations()) {
        for (int32_t f : a.frameIndices) {
            if (f < 0 || size_t(f) >= doc.frames().size()) {
                return ::testing::AssertionFailure() << "animation " << a.name << " refers to frame " << f;
            }
        }
    }
    return ::testing::AssertionSuccess();
}

std::vector<Edge> literalEdges(const Model& model) {
    std::vector<Edge> edges;
    for (const Triangle& t : model.triangles) {
        const int pairs[3][2] = {{0, 1}, {1, 2}, {2, 0}};
        for (const auto& p : pairs) {
            const int32_t a = t.v[size_t(p[0])];
            const int32_t b = t.v[size_t(p[1])];
            bool found = false;
            for (const Edge& e : edges) {
                if ((e.first == a && e.second == b) || (e.first == b && e.second == a)) {
                    found = true;
                    break;
                }
            }
            if (!found) {
                edges.push_back(Edge{a, b, 0, t.color});
            }
        }
    }
    return edges;
}

void literalGroupsByConnectivity(Model& model) {
    const int32_t vertexCount = model.vertexCount();
    std::vector<int32_t> vertexLabel(static_cast<size_t>(vertexCount));
    for (int32_t i = 0; i < vertexCount; ++i) {
        vertexLabel[size_t(i)] = i;
    }
    std::vector<int32_t> triangleLabel(model.triangles.size(), -1);
    for (int32_t i = 0; i < vertexCount; ++i) {
        for (size_t t = 0; t < model.triangles.size(); ++t) {
            const auto& v = model.triangles[t].v;
            if (v[0] != i && v[1] != i && v[2] != i) {
                continue;
            }
            const int32_t d = triangleLabel[t];
            if (d == -1) {
                triangleLabel[t] = vertexLabel[size_t(i)];
                continue;
            }
            const int32_t e = std::max(d, vertexLabel[size_t(i)]);
            for (int32_t& label : triangleLabel) {
                if (label == e) {
                    label = d;
                }
            }
            if (std::find(vertexLabel.begin(), vertexLabel.end(), e) != vertexLabel.end()) {
                vertexLabel[size_t(i)] = d;
            }
        }
    }
    model.groups.clear();
    std::vector<int32_t> labelsMet;
    for (size_t t = 0; t < model.triangles.size(); ++t) {
        auto it = std::find(labelsMet.begin(), labelsMet.end(), triangleLabel[t]);
        int32_t group = int32_t(it - labelsMet.begin());
        if (it == labelsMet.end()) {
            labelsMet.push_back(triangleLabel[t]);
            Group g;
            g.name = "group " + std::to_string(labelsMet.size());
            g.flags = 2;
            g.tag = 0;
            g.color = GROUP_COLORS[size_t(group) % 8];
            model.groups.push_back(g);
        }
        model.triangles[t].group = group;
        model.triangles[t].color = model.groups[size_t(group)].color;
    }
}

void literalRemoveSelected(Model& model, std::vector<Frame>& frames) {
    for (VertexInfo& info : model.vertexInfos) {
        info.flags &= ~VERTEX_MARKED;
    }
    for (int t = int(model.triangles.size()) - 1; t >= 0; --t) {
        const auto& v = model.triangles[size_t(t)].v;
        bool all = true;
        for (int32_t x : v) {
            all = all && model.vertexInfos[size_t(x)].selected();
        }
        if (all) {
            model.triangles.erase(model.triangles.begin() + t);
        } else {
            for (int32_t x : v) {
                model.vertexInfos[size_t(x)].flags |= VERTEX_MARKED;
            }
        }
    }
    for (int v = int(model.vertexInfos.size()) - 1; v >= 0; --v) {
        VertexInfo& info = model.vertexInfos[size_t(v)];
        info.flags &= ~VERTEX_SELECTED;
        if (info.marked()) {
            info.flags &= ~VERTEX_MARKED;
            continue;
        }
        for (Triangle& t : model.triangles) {
            for (int32_t& x : t.v) {
                if (x > v) {
                    --x;
                }
            }
        }
        for (Frame& f : frames) {
            f.positions.erase(f.positions.begin() + v);
        }
        model.vertexInfos.erase(model.vertexInfos.begin() + v);
    }
}

} // namespace faceto::test
