#include "TestSupport.h"
#include "formats/FramePacking.h"
#include "formats/Md2Reader.h"
#include "formats/Md2Writer.h"
#include "formats/NativeFormat.h"
#include "formats/NormalTable.h"
#include "formats/Pcx.h"
#include "formats/SkinLoader.h"

#include <cmath>
#include <cstring>
#include <random>
#include <set>

using namespace faceto;
using namespace faceto::test;

namespace {

void put32(std::vector<uint8_t>& b, uint32_t v) {
    for (int k = 0; k < 4; ++k) {
        b.push_back(uint8_t(v >> (8 * k)));
    }
}
void putF(std::vector<uint8_t>& b, float f) {
    uint32_t v;
    std::memcpy(&v, &f, 4);
    put32(b, v);
}
void put16(std::vector<uint8_t>& b, int v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void putName(std::vector<uint8_t>& b, const std::string& s, size_t n) {
    for (size_t i = 0; i < n; ++i) {
        b.push_back(i < s.size() ? uint8_t(s[i]) : 0);
    }
}

struct Md2Frame {
    float scale[3];
    float translate[3];
    std::string name;
    std::vector<std::array<uint8_t, 4>> vertices;
};

struct Md2Spec {
    int skinWidth = 256;
    int skinHeight = 128;
    std::vector<std::string> skins;
    std::vector<std::array<int, 2>> st;
    std::vector<std::array<int, 6>> triangles; // vertex x3, st x3
    int vertexCount = 3;
    std::vector<Md2Frame> frames;
};

// An .md2 file laid out by hand; the GL command section holds only the closing 0.
std::vector<uint8_t> md2File(const Md2Spec& s) {
    const int frameSize = 40 + 4 * s.vertexCount;
    const int skins = 68;
    const int st = skins + 64 * int(s.skins.size());
    const int tris = st + 4 * int(s.st.size());
    const int frames = tris + 12 * int(s.triangles.size());
    const int gl = frames + frameSize * int(s.frames.size());
    std::vector<uint8_t> b;
    b.insert(b.end(), {'I', 'D', 'P', '2'});
    for (int v :
         {8, s.skinWidth, s.skinHeight, frameSize, int(s.skins.size()), s.vertexCount, int(s.st.size()),
          int(s.triangles.size()), 1, int(s.frames.size()), skins, st, tris, frames, gl, gl + 4}) {
        put32(b, uint32_t(v));
    }
    for (const auto& name : s.skins) {
        putName(b, name, 64);
    }
    for (const auto& p : s.st) {
        put16(b, p[0]);
        put16(b, p[1]);
    }
    for (const auto& t : s.triangles) {
        for (int v : t) {
            put16(b, v);
        }
    }
    for (const auto& f : s.frames) {
        for (float v : f.scale) {
            putF(b, v);
        }
        for (float v : f.translate) {
            putF(b, v);
        }
        putName(b, f.name, 16);
        for (const auto& v : f.vertices) {
            b.insert(b.end(), v.begin(), v.end());
        }
    }
    put32(b, 0);
    return b;
}

Md2Spec oneTriangle() {
    Md2Spec s;
    s.st = {{128, 64}, {0, 0}, {10, 20}};
    s.triangles = {{0, 1, 2, 0, 1, 2}};
    s.frames = {
        {{0.5f, 1.0f, 2.0f}, {-10.0f, 0.0f, 3.0f}, "stand01", {{255, 0, 128, 7}, {0, 0, 0, 0}, {2, 4, 6, 0}}},
        {{1, 1, 1}, {0, 0, 0}, "a_frame_name_16c", {{1, 1, 1, 0}, {2, 2, 2, 0}, {3, 3, 3, 0}}}};
    return s;
}

SkinLoader& nowhere() {
    static MemorySkinLoader none;
    return none;
}

float decode(const std::vector<uint8_t>& file, size_t offset) {
    float f;
    std::memcpy(&f, &file[offset], 4);
    return f;
}
int32_t word(const std::vector<uint8_t>& file, size_t offset) {
    int32_t v;
    std::memcpy(&v, &file[offset], 4);
    return v;
}

} // namespace

TEST(Md2Reader, ReadsMeshFramesAndSourceFields) {
    ModelData data;
    ASSERT_TRUE(into(parseMd2(md2File(oneTriangle()), nowhere()), data));
    EXPECT_EQ(2, data.source.sourceFormat);
    EXPECT_EQ(1, data.source.sourceFlag);
    EXPECT_EQ(256, data.source.skinWidth);
    EXPECT_EQ(128, data.source.skinHeight);
    EXPECT_EQ(0, data.source.hasSkins);
    ASSERT_EQ(3, data.model.vertexCount());
    EXPECT_EQ(VERTEX_VISIBLE, data.model.vertexInfos[2].flags);
    ASSERT_EQ(1, data.model.triangleCount());
    const Triangle& t = data.model.triangles[0];
    EXPECT_EQ((std::array<int32_t, 3>{0, 1, 2}), t.v);
    EXPECT_EQ(128.0f, t.st[0][0]); // pixels, not divided by the skin size
    EXPECT_EQ(64.0f, t.st[0][1]);
    EXPECT_EQ(20.0f, t.st[2][1]);
    ASSERT_EQ(2u, data.frames.size());
    EXPECT_EQ("stand01", data.frames[0].name);
    EXPECT_EQ("a_frame_name_16c", data.frames[1].name); // a full field without a zero byte
    const FrameVertex& p = data.frames[0].positions[0];
    EXPECT_EQ(117.5f, p.x);
    EXPECT_EQ(0.0f, p.y);
    EXPECT_EQ(259.0f, p.z);
}

TEST(Md2Reader, NormalsGlCommandsAndVersionDoNotMatter) {
    std::vector<uint8_t> a = md2File(oneTriangle());
    std::vector<uint8_t> b = a;
    b[4] = 99;           // version
    b[b.size() - 4] = 5; // GL commands
    const size_t firstVertex = 68 + 3 * 4 + 12 + 40;
    b[firstVertex + 3] = 100; // normal index
    ModelData da;
    ModelData db;
    ASSERT_TRUE(into(parseMd2(a, nowhere()), da));
    ASSERT_TRUE(into(parseMd2(b, nowhere()), db));
    // The model is the same; only the bytes kept for a save back (normals, GL commands) differ.
    for (ModelData* d : {&da, &db}) {
        d->source.keptMesh.reset();
        for (Frame& f : d->frames) {
            f.packing.reset();
        }
    }
    EXPECT_EQ(toVector(encodeNative(da.model, da.frames, da.source)),
              toVector(encodeNative(db.model, db.frames, db.source)));
}

// Vertices are decoded four at a time with the rest one by one: every count around those steps,
// none included, gives byte x scale + translate for each vertex.
TEST(Md2Reader, EveryVertexCountDecodesEachVertex) {
    for (int count : {0, 1, 3, 4, 5, 8, 9, 12, 13}) {
        Md2Spec s;
        s.vertexCount = count;
        Md2Frame f{{0.25f, 3.0f, -1.5f}, {7.0f, -2.0f, 0.125f}, "f", {}};
        for (int v = 0; v < count; ++v) {
            f.vertices.push_back({uint8_t(v * 19), uint8_t(255 - v), uint8_t(v * 7 + 1), uint8_t(v)});
        }
        s.frames = {f, f};
        ModelData data;
        ASSERT_TRUE(into(parseMd2(md2File(s), nowhere()), data)) << count;
        ASSERT_EQ(2u, data.frames.size());
        for (const Frame& frame : data.frames) {
            ASSERT_EQ(size_t(count), frame.positions.size());
            for (int v = 0; v < count; ++v) {
                const FrameVertex& p = frame.positions[size_t(v)];
                EXPECT_EQ(float(v * 19) * 0.25f + 7.0f, p.x) << count << " " << v;
                EXPECT_EQ(float(255 - v) * 3.0f - 2.0f, p.y) << count << " " << v;
                EXPECT_EQ(float(v * 7 + 1) * -1.5f + 0.125f, p.z) << count << " " << v;
            }
        }
    }
}

TEST(Md2Reader, SkinsAreLookedForUnderTheBaseFolderThenBesideTheModel) {
    TempDir dir;
    std::filesystem::create_directories(dir.dir() / "base" / "models" / "a");
    Skin picture;
    picture.imageWidth = 4;
    picture.imageHeight = 2;
    picture.bitsPerPixel = 8;
    picture.pixels.assign(8, 3);
    picture.palette.assign(256, PaletteEntry{1, 2, 3, 0});
    ASSERT_TRUE(writeSkinPcx((dir.dir() / "base" / "models" / "a" / "skin.pcx").string(), picture));
    ASSERT_TRUE(writeSkinPcx(dir.path("beside.pcx"), picture));

    Md2Spec s = oneTriangle();
    s.skins = {"models/a/skin.pcx", "missing.pcx", "models\\b\\beside.pcx", "tex.bmp"};
    MemoryProfile profile;
    profile.writeString("games\\quake2", "base", "  " + (dir.dir() / "base").string() + "  ");
    EXPECT_EQ((dir.dir() / "base").string() + "/", md2SkinFolder(profile));
    const std::string path = dir.path("model.md2");
    writeBytes(path, md2File(s));
    ModelData data;
    ASSERT_TRUE(into(readMd2File(path, profile), data));
    EXPECT_EQ(1, data.source.hasSkins);
    ASSERT_EQ(2u, data.model.skins.size()); // the missing one and the bitmap are left out
    EXPECT_EQ("models/a/skin.pcx", data.model.skins[0].name);
    EXPECT_EQ("models\\b\\beside.pcx", data.model.skins[1].name); // found by its last component
    EXPECT_EQ(256, data.model.skins[0].width);
    EXPECT_EQ(128, data.model.skins[0].height);
    EXPECT_EQ(4, data.model.skins[0].imageWidth);

    // A folder setting ending in a backslash gets no extra separator.
    profile.writeString("games\\quake2", "base", "D:\\games\\q2\\");
    EXPECT_EQ("D:\\games\\q2\\", md2SkinFolder(profile));
    // Without a setting: the first usual place of a Quake 2 installation that exists, here none.
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
    ::setenv("HOME", dir.dir().c_str(), 1);
    MemoryProfile empty;
    if (!std::filesystem::exists("/usr/share/games/quake2/baseq2")) {
        EXPECT_EQ("", md2SkinFolder(empty));
    }
    std::filesystem::create_directories(dir.dir() / ".yq2" / "baseq2");
    EXPECT_EQ((dir.dir() / ".yq2" / "baseq2").string() + "/", md2SkinFolder(empty));
    ::setenv("HOME", home.c_str(), 1);
}

TEST(Md2Reader, RejectsFilesItsHeaderDoesNotDescribe) {
    const std::vector<uint8_t> good = md2File(oneTriangle());
    ModelData out;
    out.model.name = "untouched";
    for (size_t n = 0; n < good.size() - 4; ++n) { // the GL commands at the end are not read
        ASSERT_FALSE(into(parseMd2(std::span(good.data(), n), nowhere()), out)) << n;
    }
    auto patched = [&](size_t offset, int32_t value) {
        std::vector<uint8_t> b = good;
        std::memcpy(&b[offset], &value, 4);
        return b;
    };
    EXPECT_FALSE(into(parseMd2(patched(20, -1), nowhere()), out));                   // skin count
    EXPECT_FALSE(into(parseMd2(patched(24, 100000), nowhere()), out));               // vertices
    EXPECT_FALSE(into(parseMd2(patched(28, 1 << 30), nowhere()), out));              // texture pairs
    EXPECT_FALSE(into(parseMd2(patched(32, -5), nowhere()), out));                   // triangles
    EXPECT_FALSE(into(parseMd2(patched(40, 0), nowhere()), out));                    // no frame
    EXPECT_FALSE(into(parseMd2(patched(48, int32_t(good.size())), nowhere()), out)); // pairs past the end
    EXPECT_FALSE(into(parseMd2(patched(56, -4), nowhere()), out)); // frames before the start
    std::vector<uint8_t> badCorner = good;
    badCorner[68 + 12 + 2] = 3; // second corner: vertex 3 of 3
    EXPECT_FALSE(into(parseMd2(badCorner, nowhere()), out));
    std::vector<uint8_t> badPair = good;
    badPair[68 + 12 + 10] = 0xFF; // third pair index: -1
    badPair[68 + 12 + 11] = 0xFF;
    EXPECT_FALSE(into(parseMd2(badPair, nowhere()), out));
    EXPECT_EQ("untouched", out.model.name);
}

TEST(Md2Writer, WritesTheExactLayoutOfASmallModel) {
    ModelData data = makeModel(3, {tri(0, 1, 2)}, 1);
    data.frames[0].name = "pose1";
    data.frames[0].positions = {{0, 0, 0}, {2, 0, 0}, {0, 4, 0}};
    data.model.triangles[0].st = {{{10.4f, 20.0f}, {9.6f, 20.2f}, {30.0f, 40.0f}}};
    data.source.skinWidth = 64;
    data.source.skinHeight = 32;
    const std::vector<uint8_t> file = toVector(*encodeMd2(data.model, data.frames, data.source, {}));

    const std::vector<int32_t> header{8, 64, 32, 52, 0, 3, 2, 1, 11, 1, 68, 68, 76, 88, 140, 184};
    for (size_t i = 0; i < header.size(); ++i) {
        EXPECT_EQ(header[i], word(file, 4 + 4 * i)) << "header word " << i + 1;
    }
    ASSERT_EQ(184u, file.size());
    // 10.4 and 9.6 both round to 10: one pair for two corners.
    EXPECT_EQ((std::vector<uint8_t>{10, 0, 20, 0, 30, 0, 40, 0}),
              std::vector<uint8_t>(file.begin() + 68, file.begin() + 76));
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 1, 0, 2, 0, 0, 0, 0, 0, 1, 0}),
              std::vector<uint8_t>(file.begin() + 76, file.begin() + 88));
    EXPECT_EQ(2.0f * 0.003921569f, decode(file, 88));
    EXPECT_EQ(4.0f * 0.003921569f, decode(file, 92));
    EXPECT_EQ(0.0f, decode(file, 96)); // a flat axis
    EXPECT_EQ(0.0f, decode(file, 100));
    EXPECT_EQ("pose1", std::string(reinterpret_cast<const char*>(&file[112])));
    // Packed vertices: the largest coordinate on the top step.
    const int top = 255;
    const uint8_t down =
        uint8_t(std::find(MD2_NORMALS.begin(), MD2_NORMALS.end(), std::array<float, 3>{0, 0, -1}) -
                MD2_NORMALS.begin()); // the face looks down the z axis
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 0, down, uint8_t(top), 0, 0, down, 0, uint8_t(top), 0, down}),
              std::vector<uint8_t>(file.begin() + 128, file.begin() + 140));
    // One isolated triangle: a fan of three from corner 0.
    EXPECT_EQ(-3, word(file, 140));
    EXPECT_EQ(float((10 + 0.5) / 64), decode(file, 144));
    EXPECT_EQ(float((20 + 0.5) / 32), decode(file, 148));
    EXPECT_EQ(0, word(file, 152));
    EXPECT_EQ(2, word(file, 176));
    EXPECT_EQ(0, word(file, 180));
}

TEST(Md2Writer, QuantisationRoundsToTheNearestStep) {
    // scale = range x 0.003921569f; the top vertex is on step 255 for every range (truncating put it on
    // 254 for some), a vertex a third of a step above the bottom on 0, two thirds above on 1.
    for (float range : {1.0f, 3.0f, 7.5f, 10.0f, 100.0f, 123.4f, 1000.0f}) {
        ModelData data = makeModel(4, {}, 1);
        const float step = range / 255;
        data.frames[0].positions = {
            {-5, 0, 0}, {-5 + range, 1, 1}, {-5 + step / 3, 0, 0}, {-5 + step * 2 / 3, 0, 0}};
        const std::vector<uint8_t> file = toVector(*encodeMd2(data.model, data.frames, data.source, {}));
        const float scale = decode(file, 68);
        EXPECT_EQ(range * 0.003921569f, scale);
        EXPECT_EQ(-5.0f, decode(file, 80));
        const size_t vertices = 68 + 40;
        EXPECT_EQ(0, file[vertices]);
        EXPECT_EQ(255, file[vertices + 4]);
        EXPECT_EQ(0, file[vertices + 8]);
        EXPECT_EQ(1, file[vertices + 12]);
    }
}

TEST(Md2Writer, NormalIndexFollowsTheFaceNormals) {
    EXPECT_EQ((std::array<float, 3>{-0.525731f, 0.0f, 0.850651f}), MD2_NORMALS[0]);
    EXPECT_EQ((std::array<float, 3>{-0.442863f, 0.238856f, 0.864188f}), MD2_NORMALS[1]);
    EXPECT_EQ((std::array<float, 3>{-0.688191f, -0.587785f, -0.425325f}), MD2_NORMALS[161]);
    ModelData data = makeModel(4, {tri(0, 1, 2)}, 1);
    // (p0 - p1) x (p2 - p1) points along -z for these corners.
    data.frames[0].positions = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {5, 5, 5}};
    const std::vector<uint8_t> file = toVector(*encodeMd2(data.model, data.frames, data.source, {}));
    const size_t vertices = 68 + 4 + 12 + 40; // one texture pair, one triangle, the frame header
    EXPECT_EQ((std::array<float, 3>{0, 0, -1}), MD2_NORMALS[file[vertices + 3]]);
    EXPECT_EQ(0, file[vertices + 15]); // a vertex of no triangle has a zero normal: entry 0
}

TEST(Md2Writer, NormalLookupAgreesWithTheFullSearch) {
    std::mt19937 rng(17);
    std::uniform_real_distribution<float> any(-1.0f, 1.0f);
    std::vector<std::array<float, 3>> directions;
    for (int i = 0; i < 200000; ++i) {
        directions.push_back({any(rng), any(rng), any(rng)});
    }
    // The table's own entries, the midpoints between neighbours (ties), axes and cube edges.
    for (size_t a = 0; a < 162; ++a) {
        directions.push_back(MD2_NORMALS[a]);
        for (size_t b = 0; b < 162; ++b) {
            const auto& p = MD2_NORMALS[a];
            const auto& q = MD2_NORMALS[b];
            directions.push_back({p[0] + q[0], p[1] + q[1], p[2] + q[2]});
        }
    }
    for (float x : {-1.0f, 0.0f, 1.0f, 0.5f}) {
        for (float y : {-1.0f, 0.0f, 1.0f, -0.5f}) {
            for (float z : {-1.0f, 0.0f, 1.0f}) {
                directions.push_back({x, y, z});
            }
        }
    }
    directions.push_back({std::nanf(""), 0, 0});
    for (const auto& d : directions) {
        ASSERT_EQ(closestNormalByScan(d[0], d[1], d[2]), closestNormal(d[0], d[1], d[2]))
            << d[0] << " " << d[1] << " " << d[2];
    }
}

TEST(Md2Writer, GlRunsCoverEveryTriangleOnceAndPreferLongRuns) {
    // A strip of four triangles over a ribbon: one run covers them all.
    ModelData ribbon = makeModel(6, {tri(0, 1, 2), tri(2, 1, 3), tri(2, 3, 4), tri(4, 3, 5)}, 1);
    const Md2TexCoords tex = collectTexCoords(ribbon.model);
    ASSERT_EQ(1u, tex.pairs.size()); // all corners at (0, 0)
    std::vector<GlRun> runs = buildGlRuns(tex.corners);
    ASSERT_EQ(1u, runs.size());
    EXPECT_TRUE(runs[0].strip);
    EXPECT_EQ(6u, runs[0].vertices.size());

    // A fan around vertex 0.
    ModelData fan = makeModel(6, {tri(0, 1, 2), tri(0, 2, 3), tri(0, 3, 4), tri(0, 4, 5)}, 1);
    runs = buildGlRuns(collectTexCoords(fan.model).corners);
    ASSERT_EQ(1u, runs.size());
    EXPECT_FALSE(runs[0].strip);
    EXPECT_EQ((std::vector<int32_t>{0, 1, 2, 3}), runs[0].triangles);

    std::mt19937 rng(3);
    for (int round = 0; round < 40; ++round) {
        const int32_t n = 5 + int32_t(rng() % 40);
        ModelData random = makeModel(n, randomTriangles(rng, n, 1 + int32_t(rng() % 200), true), 1);
        const Md2TexCoords t = collectTexCoords(random.model);
        std::vector<int> covered(random.model.triangles.size(), 0);
        for (const GlRun& run : buildGlRuns(t.corners)) {
            ASSERT_EQ(run.triangles.size() + 2, run.vertices.size());
            for (size_t k = 0; k < run.triangles.size(); ++k) {
                ++covered[size_t(run.triangles[k])];
                // Each triangle of the run is made of its three run vertices.
                std::array<GlVertex, 3> corners;
                if (run.strip) {
                    corners = {run.vertices[k], run.vertices[k + 1], run.vertices[k + 2]};
                } else {
                    corners = {run.vertices[0], run.vertices[k + 1], run.vertices[k + 2]};
                }
                std::multiset<int32_t> expected;
                std::multiset<int32_t> actual;
                for (int c = 0; c < 3; ++c) {
                    expected.insert(t.corners[size_t(run.triangles[k])][size_t(c)].vertex);
                    actual.insert(corners[size_t(c)].vertex);
                }
                ASSERT_EQ(expected, actual);
            }
        }
        for (int c : covered) {
            ASSERT_EQ(1, c);
        }
    }
}

TEST(Md2Writer, RoundTripStaysWithinTheQuantisationStep) {
    std::mt19937 rng(11);
    ModelData data = makeModel(40, randomTriangles(rng, 40, 60, true), 3);
    for (Frame& f : data.frames) {
        for (FrameVertex& p : f.positions) {
            p = {float(rng() % 1000) / 7.0f, float(rng() % 1000) / 3.0f - 100.0f, float(rng() % 100)};
        }
    }
    data.frames[0].name = "run1";
    data.frames[1].name = "run2";
    data.frames[2].name = "jump1";
    for (Triangle& t : data.model.triangles) {
        t.st = {{{float(rng() % 64), float(rng() % 64)}, {float(rng() % 64), 1.5f}, {3.0f, 4.0f}}};
    }
    data.source.skinWidth = 64;
    data.source.skinHeight = 64;
    TempDir dir;
    ASSERT_TRUE(writeMd2(dir.path("out.md2"), data.model, data.frames, data.source));
    ModelData back;
    MemoryProfile profile;
    ASSERT_TRUE(into(readMd2File(dir.path("out.md2"), profile), back));
    ASSERT_EQ(data.frames.size(), back.frames.size());
    for (size_t f = 0; f < data.frames.size(); ++f) {
        EXPECT_EQ(data.frames[f].name, back.frames[f].name);
        for (size_t v = 0; v < 40; ++v) {
            for (int a = 0; a < 3; ++a) {
                const float range = 1000.0f; // half a step, and a little for the float arithmetic
                EXPECT_NEAR(data.frames[f].positions[v][a], back.frames[f].positions[v][a],
                            range / 255.0f * 0.501f);
            }
        }
    }
    for (size_t t = 0; t < data.model.triangles.size(); ++t) {
        EXPECT_EQ(data.model.triangles[t].v, back.model.triangles[t].v);
        for (int c = 0; c < 3; ++c) {
            EXPECT_EQ(std::round(data.model.triangles[t].st[size_t(c)][1]),
                      back.model.triangles[t].st[size_t(c)][1]);
        }
    }
}

TEST(Md2Writer, SkinsAreRenamedAndExportedBesideTheModel) {
    TempDir dir;
    ModelData data = makeModel(3, {tri(0, 1, 2)}, 1);
    Skin skin;
    skin.name = "models/x/skin.pcx";
    skin.imageWidth = 8;
    skin.imageHeight = 4;
    skin.bitsPerPixel = 8;
    skin.pixels.assign(32, 200);
    skin.palette.assign(256, PaletteEntry{9, 8, 7, 0});
    data.model.skins = {skin, skin};
    data.model.skins[1].name = ".PCX kept";
    data.source.hasSkins = 1;
    const std::string path = dir.path("sub/model.md2");
    std::filesystem::create_directory(dir.path("sub"));
    ASSERT_TRUE(writeMd2(path, data.model, data.frames, data.source));
    EXPECT_EQ("skin0.PCX", data.model.skins[0].name);
    EXPECT_EQ(".PCX kept", data.model.skins[1].name);
    EXPECT_TRUE(std::filesystem::exists(dir.path("sub/skin0.PCX")));
    const std::vector<uint8_t> file = readBytes(path);
    EXPECT_EQ(2, word(file, 20));
    EXPECT_EQ(8, word(file, 8)); // the first skin's picture size
    EXPECT_EQ("skin0.PCX", std::string(reinterpret_cast<const char*>(&file[68])));

    // Without hasSkins no names are written and the header counts none.
    data.source.hasSkins = 0;
    data.model.skins[0].name = "other";
    ASSERT_TRUE(writeMd2(path, data.model, data.frames, data.source));
    const std::vector<uint8_t> plain = readBytes(path);
    EXPECT_EQ(0, word(plain, 20));
    EXPECT_EQ(68, word(plain, 48));
    EXPECT_EQ("other", data.model.skins[0].name);
    ModelData back;
    MemoryProfile profile;
    EXPECT_TRUE(into(readMd2File(path, profile), back));
}

TEST(Md2Writer, RefusesWhatTheFormatCannotHoldAndKeepsTheOldFile) {
    TempDir dir;
    const std::string path = dir.path("old.md2");
    writeBytes(path, {1, 2, 3});
    ModelData big = makeModel(32769, {}, 1);
    EXPECT_FALSE(writeMd2(path, big.model, big.frames, big.source));
    ModelData none = makeModel(3, {tri(0, 1, 2)}, 1);
    none.frames.clear();
    EXPECT_FALSE(writeMd2(path, none.model, none.frames, none.source));
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3}), readBytes(path));
    ModelData ok = makeModel(32768, {tri(0, 32767, 5)}, 1);
    EXPECT_TRUE(encodeMd2(ok.model, ok.frames, ok.source, {}).has_value());
    // A skin size of 0 normalises with 1 instead of dividing by zero.
    ModelData zero = makeModel(3, {tri(0, 1, 2)}, 1);
    const std::vector<uint8_t> file = toVector(*encodeMd2(zero.model, zero.frames, zero.source, {}));
    EXPECT_EQ(0.5f, decode(file, word(file, 60) + 4));
}

TEST(Md2Reader, SkinNamesThatWouldTakeTooMuchAreRefused) {
    // One small picture named over and over: at most 256 skins are read.
    Md2Spec s = oneTriangle();
    s.skins.assign(300, "skin.pcx");
    MemorySkinLoader skins;
    Result<ModelData> many = parseMd2(md2File(s), skins);
    EXPECT_EQ("the model has more than 256 skins", many.error());

    // A picture whose header makes it larger than a skin may be fails the load, before it is decoded.
    std::vector<uint8_t> huge(128, 0);
    huge[0] = 10;
    huge[1] = 5;
    huge[3] = 8;
    huge[8] = uint8_t(15999 & 0xFF);
    huge[9] = uint8_t(15999 >> 8);
    huge[10] = huge[8];
    huge[11] = huge[9];
    huge[65] = 1;
    huge[66] = huge[8];
    huge[67] = huge[9];
    huge.insert(huge.end(), 1000, uint8_t(0xFF)); // runs of 63 bytes
    skins.files["big.pcx"] = huge;
    s.skins = {"big.pcx", "big.pcx"};
    Result<ModelData> large = parseMd2(md2File(s), skins);
    EXPECT_EQ("a skin of 16000 x 16000 pixels is larger than 4096 x 4096", large.error());
}

namespace {

// The runs made the plain way: each edge looked up by going through every later triangle.
std::vector<GlRun> glRunsByScan(const std::vector<std::array<GlVertex, 3>>& triangles) {
    auto firstAfter = [&](int32_t after, GlVertex a, GlVertex b) -> std::pair<int32_t, int> {
        for (int32_t t = after + 1; t < int32_t(triangles.size()); ++t) {
            for (int m = 0; m < 3; ++m) {
                if (triangles[size_t(t)][size_t(m)] == a && triangles[size_t(t)][size_t((m + 1) % 3)] == b) {
                    return {t, m};
                }
            }
        }
        return {-1, 0};
    };
    std::vector<uint8_t> used(triangles.size(), 0);
    std::vector<GlRun> runs;
    for (int32_t i = 0; i < int32_t(triangles.size()); ++i) {
        if (used[size_t(i)]) {
            continue;
        }
        GlRun best;
        for (bool strip : {false, true}) {
            for (int corner = 0; corner < 3; ++corner) {
                auto at = [&](int c) { return triangles[size_t(i)][size_t((corner + c) % 3)]; };
                GlRun run;
                run.strip = strip;
                run.vertices = {at(0), at(1), at(2)};
                run.triangles = {i};
                std::vector<uint8_t> taken(triangles.size(), 0);
                GlVertex first = strip ? at(2) : at(0);
                GlVertex second = strip ? at(1) : at(2);
                for (;;) {
                    const auto [next, m] = firstAfter(i, first, second);
                    if (next < 0 || used[size_t(next)] || taken[size_t(next)]) {
                        break;
                    }
                    const GlVertex w = triangles[size_t(next)][size_t((m + 2) % 3)];
                    (strip && run.triangles.size() % 2 == 0 ? first : second) = w;
                    run.vertices.push_back(w);
                    run.triangles.push_back(next);
                    taken[size_t(next)] = 1;
                }
                if (run.triangles.size() > best.triangles.size()) {
                    best = run;
                }
            }
        }
        for (int32_t t : best.triangles) {
            used[size_t(t)] = 1;
        }
        runs.push_back(best);
    }
    return runs;
}

} // namespace

// The edge index finds what a search through every triangle finds, on meshes with shared and repeated
// edges, degenerate triangles and vertex numbers spread far apart (as a damaged file has them).
TEST(Md2Writer, GlRunsAreTheOnesAPlainSearchMakes) {
    std::mt19937 rng(17);
    for (int round = 0; round < 60; ++round) {
        const int32_t n = 4 + int32_t(rng() % 30);
        std::vector<std::array<GlVertex, 3>> triangles(1 + rng() % 120);
        const int32_t spread = round % 5 == 0 ? 50000000 : 1; // 33 vertices spread that far stay in range
        for (auto& t : triangles) {
            for (GlVertex& corner : t) {
                corner = {int32_t(rng() % uint32_t(n)) * spread - (round % 7 == 0 ? 50 : 0),
                          int32_t(rng() % 3)};
            }
        }
        const std::vector<GlRun> fast = buildGlRuns(triangles);
        const std::vector<GlRun> plain = glRunsByScan(triangles);
        ASSERT_EQ(plain.size(), fast.size()) << "round " << round;
        for (size_t r = 0; r < plain.size(); ++r) {
            ASSERT_EQ(plain[r].strip, fast[r].strip) << "round " << round;
            ASSERT_EQ(plain[r].triangles, fast[r].triangles) << "round " << round;
            ASSERT_EQ(plain[r].vertices, fast[r].vertices) << "round " << round;
        }
    }
}

// A frame keeps the normals its file gave it while its positions are the ones read, whichever way its
// digest was made: in lanes (what the readers make now) or one vertex after the other (native files of
// earlier versions). Any vertex moved, in any lane or in the tail, changes the digest.
TEST(Md2Writer, KeptNormalsHoldForDigestsOfEitherKind) {
    ModelData read;
    ASSERT_TRUE(into(parseMd2(md2File(oneTriangle()), nowhere()), read));
    ASSERT_TRUE(read.frames[0].packing);
    EXPECT_EQ(2, read.frames[0].packing->digestKind);
    const FramePacking& p = *read.frames[0].packing;
    std::vector<uint8_t> xyz;
    ASSERT_TRUE(
        packOnGrid(read.frames[0].positions, size_t(read.model.vertexCount()), p.scale, p.translate, xyz));
    for (uint8_t kind : {uint8_t(1), uint8_t(2)}) {
        auto kept = std::make_shared<FramePacking>(p);
        kept->normals.assign(kept->normals.size(), 7); // as another tool chose them
        kept->digestKind = kind;
        kept->packedDigest = packedDigest(xyz, 3, kind);
        ModelData data = read;
        data.frames[0].packing = kept;
        // Through a native file and back, then out as .md2 again.
        ModelData native;
        ASSERT_TRUE(into(parseNative(toVector(encodeNative(data.model, data.frames, data.source))), native));
        ASSERT_TRUE(native.frames[0].packing);
        EXPECT_EQ(kind, native.frames[0].packing->digestKind);
        ModelData again;
        ASSERT_TRUE(
            into(parseMd2(toVector(*encodeMd2(native.model, native.frames, native.source, {})), nowhere()),
                 again));
        EXPECT_EQ(kept->normals, again.frames[0].packing->normals) << int(kind);
        // The other kind's digest does not match: the normals are worked out again.
        native.frames[0].packing = std::make_shared<FramePacking>(*kept);
        std::const_pointer_cast<FramePacking>(native.frames[0].packing)->digestKind = kind == 1 ? 2 : 1;
        ASSERT_TRUE(
            into(parseMd2(toVector(*encodeMd2(native.model, native.frames, native.source, {})), nowhere()),
                 again));
        EXPECT_NE(kept->normals, again.frames[0].packing->normals) << int(kind);
    }
    std::mt19937 rng(2);
    Positions decoded(200, FrameVertex{1.0f, 2.0f, 3.0f}); // what a frame held before is not kept
    for (size_t vertices : {1u, 4u, 5u, 7u, 8u, 9u, 64u, 65u}) {
        std::vector<uint8_t> bytes(vertices * 4);
        for (uint8_t& b : bytes) {
            b = uint8_t(rng());
        }
        const uint64_t before = packedDigest(bytes, 4);
        // Decoding in the same pass keeps the same digest, the normal indices, and decodes every vertex
        // to the float that the byte times the scale, plus the translation, rounds to at each step: on
        // a plain grid and on one where every product and sum rounds.
        const float grids[2][2][3] = {{{0.5f, 1.25f, 3.0f}, {-7.0f, 0.25f, 11.5f}},
                                      {{0.0123457f, 1.1e-3f, 7.77f}, {-17.3f, 1e5f, -0.001f}}};
        for (const auto& grid : grids) {
            const float(&scale)[3] = grid[0];
            const float(&translate)[3] = grid[1];
            const auto fused = decodeKeepingPacking(bytes, scale, translate, 9, {}, std::nullopt, decoded);
            EXPECT_EQ(before, fused->packedDigest);
            ASSERT_EQ(vertices, fused->normals.size());
            ASSERT_EQ(vertices, decoded.size());
            for (size_t v = 0; v < vertices; ++v) {
                EXPECT_EQ(bytes[v * 4 + 3], fused->normals[v]);
                const float got[3] = {decoded[v].x, decoded[v].y, decoded[v].z};
                for (size_t a = 0; a < 3; ++a) {
                    const float product = float(bytes[v * 4 + a]) * scale[a];
                    ASSERT_EQ(product + translate[a], got[a]) << vertices << " " << v << " " << a;
                }
            }
        }
        for (size_t v = 0; v < vertices; ++v) {
            std::vector<uint8_t> moved = bytes;
            moved[v * 4 + v % 3] ^= 1;
            EXPECT_NE(before, packedDigest(moved, 4)) << vertices << " " << v;
            moved = bytes;
            moved[v * 4 + 3] ^= 1; // the normal index is no part of it
            EXPECT_EQ(before, packedDigest(moved, 4));
        }
    }
}
