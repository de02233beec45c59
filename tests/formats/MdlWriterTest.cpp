// The Quake model writer: its bytes, its round trips through the reader, the seam, skins and groups.
#include "formats/MdlWriter.h"

#include "TestSupport.h"
#include "document/DocumentEdit.h"
#include "formats/FormatTable.h"
#include "formats/Md2Reader.h"
#include "formats/Md2Writer.h"
#include "formats/MdlReader.h"
#include "formats/NativeFormat.h"
#include "formats/SkinLoader.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>

using namespace faceto;
using namespace faceto::test;

namespace {

int32_t word(const std::vector<uint8_t>& file, size_t offset) {
    int32_t v;
    std::memcpy(&v, &file[offset], 4);
    return v;
}
float real(const std::vector<uint8_t>& file, size_t offset) {
    float v;
    std::memcpy(&v, &file[offset], 4);
    return v;
}

// A palette whose 256 colours all differ (red = index), so that every colour names one index.
RgbPalette distinctPalette() {
    RgbPalette p{};
    for (size_t i = 0; i < 256; ++i) {
        p[i * 3] = uint8_t(i);
        p[i * 3 + 1] = uint8_t(255 - i);
        p[i * 3 + 2] = uint8_t((i * 7) % 256);
    }
    return p;
}

std::vector<uint8_t> encoded(const ModelData& data, const RgbPalette& palette = distinctPalette()) {
    Result<MdlOutput> out = encodeMdl(data.model, data.frames, data.source, palette);
    EXPECT_TRUE(out) << (out ? "" : out.error());
    return out ? toVector(out->bytes) : std::vector<uint8_t>{};
}

ModelData reread(const std::vector<uint8_t>& bytes) {
    ModelData back;
    EXPECT_TRUE(into(parseMdl(bytes), back));
    return back;
}

// Every corner of every triangle has the skin coordinates and (per frame) the position it had, within
// half a quantisation step of the written file.
void expectSameCorners(const ModelData& before, const ModelData& after, const std::vector<uint8_t>& file) {
    ASSERT_EQ(before.model.triangles.size(), after.model.triangles.size());
    ASSERT_EQ(before.frames.size(), after.frames.size());
    const float step[3] = {real(file, 8), real(file, 12), real(file, 16)};
    for (size_t t = 0; t < before.model.triangles.size(); ++t) {
        const Triangle& a = before.model.triangles[t];
        const Triangle& b = after.model.triangles[t];
        for (size_t c = 0; c < 3; ++c) {
            EXPECT_EQ(std::round(a.st[c][0]), b.st[c][0]) << "triangle " << t << " corner " << c;
            EXPECT_EQ(std::round(a.st[c][1]), b.st[c][1]) << "triangle " << t << " corner " << c;
            for (size_t f = 0; f < before.frames.size(); ++f) {
                const FrameVertex& p = before.frames[f].positions[size_t(a.v[c])];
                const FrameVertex& q = after.frames[f].positions[size_t(b.v[c])];
                for (int k = 0; k < 3; ++k) {
                    EXPECT_LE(std::abs(p[k] - q[k]), step[k] * 0.5f + 1e-4f * std::max(1.0f, std::abs(p[k])));
                }
            }
        }
    }
}

Skin skin8(int width, int height, const RgbPalette& palette, uint8_t first) {
    Skin s;
    s.imageWidth = width;
    s.imageHeight = height;
    s.bitsPerPixel = 8;
    s.pixels.assign(size_t(s.stride()) * size_t(height), 0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            s.pixels[size_t(y * s.stride() + x)] = uint8_t(first + y * width + x);
        }
    }
    for (size_t i = 0; i < 256; ++i) {
        s.palette.push_back({palette[i * 3 + 2], palette[i * 3 + 1], palette[i * 3], 0});
    }
    return s;
}

} // namespace

TEST(MdlWriter, WritesTheExactLayoutOfASmallModel) {
    ModelData data = makeModel(3, {tri(0, 1, 2)}, 1);
    data.frames[0].name = "pose1";
    data.frames[0].positions = {{0, 0, 0}, {1, 0, 10}, {2, 0, 20}};
    data.model.triangles[0].st = {{{0, 0}, {2.2f, 0}, {0, 1.6f}}};
    data.source.skinWidth = 6;
    data.source.skinHeight = 2;
    const std::vector<uint8_t> file = encoded(data);

    EXPECT_EQ(0, std::memcmp(file.data(), "IDPO", 4));
    EXPECT_EQ(6, word(file, 4));
    EXPECT_EQ(2.0f / 255.0f, real(file, 8));
    EXPECT_EQ(1.0f / 255.0f, real(file, 12)); // a flat axis still has a step
    EXPECT_EQ(20.0f / 255.0f, real(file, 16));
    for (size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(0.0f, real(file, 20 + 4 * k)); // the origin: the lowest corner
    }
    EXPECT_FLOAT_EQ(std::sqrt(404.0f), real(file, 32)); // bounding radius
    EXPECT_EQ(0.0f, real(file, 36));
    EXPECT_EQ(24.0f, real(file, 44));                          // the eye, without a Quake source
    const std::vector<int32_t> counts{1, 8, 2, 3, 1, 1, 0, 0}; // skins, 6 padded to 8 x 2, ..., sync, flags
    for (size_t i = 0; i < counts.size(); ++i) {
        EXPECT_EQ(counts[i], word(file, 48 + 4 * i)) << "header word " << i;
    }
    EXPECT_EQ(0.0f, real(file, 80)); // the triangle has no area
    size_t at = 84;
    EXPECT_EQ(0, word(file, at)); // a single skin of plain grey
    EXPECT_EQ(std::vector<uint8_t>(16, 7),
              std::vector<uint8_t>(file.begin() + long(at + 4), file.begin() + long(at + 20)));
    at += 20;
    const std::vector<int32_t> st{0, 0, 0, 0, 2, 0, 0, 0, 2}; // coordinates round to whole texels
    for (size_t i = 0; i < st.size(); ++i) {
        EXPECT_EQ(st[i], word(file, at + 4 * i)) << "skin vertex word " << i;
    }
    at += 36;
    EXPECT_EQ(
        (std::vector<int32_t>{1, 0, 1, 2}),
        (std::vector<int32_t>{word(file, at), word(file, at + 4), word(file, at + 8), word(file, at + 12)}));
    at += 16;
    EXPECT_EQ(0, word(file, at));
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 0, 0, 255, 0, 255, 0}),
              std::vector<uint8_t>(file.begin() + long(at + 4), file.begin() + long(at + 12)));
    EXPECT_EQ("pose1", std::string(reinterpret_cast<const char*>(&file[at + 12])));
    // Rounded to the nearest step: 1 is 127.5 steps of 2/255 and 10 of 20/255, exact halves that the
    // float steps tip one way and the other.
    EXPECT_EQ((std::vector<uint8_t>{0, 0, 0, 0, 127, 0, 128, 0, 255, 0, 255, 0}),
              std::vector<uint8_t>(file.begin() + long(at + 28), file.end()));
    EXPECT_EQ(at + 28 + 12, file.size());
}

TEST(MdlWriter, VersionSixRoundTripKeepsSkinsGroupsHeaderAndSeam) {
    ModelData original;
    ASSERT_TRUE(
        into(parseMdl(readBytes(std::string(FACETO_SOURCE_DIR) + "/fuzz/corpus/mdl/v6.mdl")), original));
    applyPalette(original.model, distinctPalette());
    original.source.quake->eye = {1, 2, 3};
    original.source.quake->flags = 8;
    original.source.quake->syncType = 1;
    const std::vector<uint8_t> file = encoded(original);
    ModelData back = reread(file);
    expectSameCorners(original, back, file);
    ASSERT_TRUE(back.source.quake);
    EXPECT_EQ((std::array<float, 3>{1, 2, 3}), back.source.quake->eye);
    EXPECT_EQ(8, back.source.quake->flags);
    EXPECT_EQ(1, back.source.quake->syncType);
    ASSERT_EQ(original.model.skins.size(), back.model.skins.size());
    for (size_t s = 0; s < back.model.skins.size(); ++s) {
        EXPECT_EQ(original.model.skins[s].pixels, back.model.skins[s].pixels) << s;
    }
    const auto& groups = back.source.quake->frameGroups;
    ASSERT_EQ(original.source.quake->frameGroups.size(), groups.size());
    for (size_t g = 0; g < groups.size(); ++g) {
        EXPECT_EQ(original.source.quake->frameGroups[g].grouped, groups[g].grouped);
        EXPECT_EQ(original.source.quake->frameGroups[g].intervals, groups[g].intervals);
    }
    EXPECT_EQ(original.source.quake->skinGroups.size(), back.source.quake->skinGroups.size());
    EXPECT_EQ(original.model.vertexCount(), back.model.vertexCount()); // the seam needs no split
    // The same file again, byte for byte: writing is stable.
    applyPalette(back.model, distinctPalette());
    const std::vector<uint8_t> again = encoded(back);
    ASSERT_EQ(file.size(), again.size());
    for (size_t i = 0; i < file.size(); ++i) {
        ASSERT_EQ(file[i], again[i]) << "byte " << i;
    }

    // Once the frames are no longer the ones read, every frame is written on its own.
    back.frames.erase(back.frames.begin() + 1);
    ModelData single = reread(encoded(back));
    for (const auto& g : single.source.quake->frameGroups) {
        EXPECT_FALSE(g.grouped);
    }
    EXPECT_EQ(back.frames.size(), single.frames.size());
}

TEST(MdlWriter, VerticesAreSplitOnlyWhereTheSeamCannotSayIt) {
    // Skin 8 wide: a seam shifts s by 4. Vertex 2 is asked for (0, 2) and (4, 2): on the seam, with its
    // second triangle facing back. Vertex 5 and vertex 6 would need triangle 2 both front and back: 6 is
    // split. Vertex 7 is asked for three coordinates: two copies.
    ModelData data =
        makeModel(8, {tri(0, 1, 2), tri(1, 3, 2), tri(4, 5, 6), tri(5, 4, 7), tri(6, 7, 4), tri(7, 6, 5)}, 2);
    auto& t = data.model.triangles;
    t[0].st = {{{0, 0}, {2, 0}, {0, 2}}};
    t[1].st = {{{2, 0}, {6, 0}, {4, 2}}};
    t[2].st = {{{1, 5}, {1, 1}, {7, 7}}}; // vertex 5 at (1, 1): front; vertex 6 at (7, 7)
    t[3].st = {{{5, 1}, {1, 5}, {2, 2}}}; // vertex 5 at (5, 1): this one faces back
    t[4].st = {{{3, 7}, {3, 3}, {1, 5}}}; // vertex 6 at (3, 7): would make triangle 2 face back
    t[5].st = {{{6, 6}, {3, 7}, {1, 1}}};
    data.source.skinWidth = 8;
    data.source.skinHeight = 8;
    const MdlTexCoords tex = mdlTexCoords(data.model, 8);
    EXPECT_EQ(32, tex.vertices[2].onSeam);
    EXPECT_EQ(0, tex.facesFront[1]);
    EXPECT_EQ(1, tex.facesFront[0]);
    EXPECT_EQ(32, tex.vertices[5].onSeam);
    EXPECT_EQ(0, tex.vertices[6].onSeam);
    EXPECT_EQ(3, tex.split()); // one copy of vertex 6, two of vertex 7
    EXPECT_EQ(6, tex.vertexOf[8]);

    Result<MdlOutput> out = encodeMdl(data.model, data.frames, data.source, distinctPalette());
    ASSERT_TRUE(out);
    ASSERT_EQ(1u, out->notices.size());
    EXPECT_EQ("3 vertices were split where the skin coordinates need more than the format's seam",
              out->notices[0]);
    const std::vector<uint8_t> file = toVector(out->bytes);
    const ModelData back = reread(file);
    EXPECT_EQ(11, back.model.vertexCount());
    expectSameCorners(data, back, file);
}

TEST(MdlWriter, SkinsAreInTheQuakePaletteWithoutFullBrightsUnlessAsked) {
    const RgbPalette quake = distinctPalette();
    auto colour = [&](int i) {
        return std::array<uint8_t, 3>{quake[size_t(i) * 3], quake[size_t(i) * 3 + 1],
                                      quake[size_t(i) * 3 + 2]};
    };
    // A true-colour skin, 3 x 1: exactly full-bright colour 230, nearly 230, exactly colour 10.
    Skin rgb;
    rgb.imageWidth = 3;
    rgb.imageHeight = 1;
    rgb.bitsPerPixel = 24;
    rgb.pixels.assign(size_t(rgb.stride()), 0);
    const std::array<std::array<uint8_t, 3>, 3> texels{colour(230), std::array<uint8_t, 3>{229, 26, 75},
                                                       colour(10)};
    for (size_t x = 0; x < 3; ++x) {
        std::copy(texels[x].begin(), texels[x].end(), rgb.pixels.begin() + long(x * 3));
    }
    const std::vector<uint8_t> mapped = quakeSkinPixels(rgb, quake, 3, 1);
    ASSERT_EQ(4u, mapped.size()); // padded to 4, the last column repeated
    EXPECT_EQ(230, mapped[0]);
    EXPECT_LT(mapped[1], 224);
    EXPECT_EQ(10, mapped[2]);
    EXPECT_EQ(10, mapped[3]);

    // An 8-bit skin in another palette: a texel of its full-bright range stays in Quake's.
    RgbPalette other = quake;
    std::swap_ranges(other.begin(), other.begin() + 3, other.begin() + 3 * 250); // colours 0 and 250 swapped
    other[3 * 240] = 1; // colour 240 no longer exactly Quake's
    Skin own = skin8(2, 1, other, 0);
    own.pixels[0] = 240;
    own.pixels[1] = 0; // exactly Quake's colour 250, a full-bright one
    const std::vector<uint8_t> fromOther = quakeSkinPixels(own, quake, 2, 1);
    EXPECT_GE(fromOther[0], 224);
    EXPECT_EQ(250, fromOther[1]);
    // In the Quake palette already: the indices as they are, full-brights included.
    Skin same = skin8(4, 2, quake, 220);
    EXPECT_EQ(same.pixels, quakeSkinPixels(same, quake, 4, 2));
    // Another size is stretched to the model's.
    const std::vector<uint8_t> stretched = quakeSkinPixels(skin8(2, 1, quake, 5), quake, 4, 2);
    EXPECT_EQ((std::vector<uint8_t>{5, 5, 6, 6, 5, 5, 6, 6}), stretched);
}

TEST(MdlWriter, Md2AndNativeModelsGoThroughAndBack) {
    std::mt19937 rng(5);
    ModelData data = makeModel(30, randomTriangles(rng, 30, 40, true), 3);
    for (Frame& f : data.frames) {
        for (FrameVertex& p : f.positions) {
            p = {float(rng() % 1000) / 7.0f, float(rng() % 1000) / 3.0f - 100.0f, float(rng() % 100)};
        }
    }
    for (Triangle& t : data.model.triangles) {
        t.st = {{{float(rng() % 64), float(rng() % 32)}, {float(rng() % 64), 1}, {3, 4}}};
    }
    data.source.skinWidth = 64;
    data.source.skinHeight = 32;
    // md2 -> mdl -> md2: the corners survive both quantisations.
    ModelData md2;
    MemorySkinLoader none;
    ASSERT_TRUE(into(parseMd2(toVector(*encodeMd2(data.model, data.frames, data.source, {})), none), md2));
    const std::vector<uint8_t> mdl = encoded(md2);
    ModelData viaMdl = reread(mdl);
    expectSameCorners(md2, viaMdl, mdl);
    ModelData again;
    ASSERT_TRUE(
        into(parseMd2(toVector(*encodeMd2(viaMdl.model, viaMdl.frames, viaMdl.source, {})), none), again));
    EXPECT_EQ(md2.model.triangleCount(), again.model.triangleCount());
    EXPECT_EQ(md2.frames.size(), again.frames.size());

    // fm -> mdl -> fm through the document, as Save As does.
    TempDir dir;
    ASSERT_TRUE(writeNative(dir.path("m.fm"), data.model, data.frames, data.source));
    DocFixture f;
    ASSERT_TRUE(f.doc->onOpenDocument(dir.path("m.fm")));
    ASSERT_EQ(CFacetoDoc::SaveAsResult::Saved, f.doc->saveAs(dir.path("m.mdl")));
    DocFixture g;
    ASSERT_TRUE(g.doc->onOpenDocument(dir.path("m.mdl")));
    ASSERT_EQ(CFacetoDoc::SaveAsResult::Saved, g.doc->saveAs(dir.path("back.fm")));
    ModelData back;
    ASSERT_TRUE(into(readNativeFile(dir.path("back.fm")), back));
    const ModelData fromMdl = reread(readBytes(dir.path("m.mdl")));
    expectSameCorners(data, fromMdl, readBytes(dir.path("m.mdl")));
    EXPECT_EQ(fromMdl.model.vertexCount(), back.model.vertexCount());
    EXPECT_EQ(data.frames.size(), back.frames.size());
    EXPECT_EQ("Faceto Model (*.fm)", std::string(formatNamed("fm")->saveFilter));
    EXPECT_EQ("Quake model (*.mdl)", std::string(formatNamed("mdl")->saveFilter));
}

TEST(MdlWriter, LimitsOfTheEngineAreNoticesAndFailuresLeaveTheOldFile) {
    ModelData big = makeModel(1100, {}, 1);
    for (int32_t t = 0; t < 2100; ++t) {
        big.model.triangles.push_back(tri(t % 1100, (t + 1) % 1100, (t + 2) % 1100));
    }
    Result<MdlOutput> out = encodeMdl(big.model, big.frames, big.source, distinctPalette());
    ASSERT_TRUE(out);
    ASSERT_EQ(2u, out->notices.size());
    EXPECT_EQ("1100 vertices: more than the 1024 the original Quake engine draws", out->notices[0]);
    EXPECT_EQ("2100 triangles: more than the 2048 the original Quake engine draws", out->notices[1]);

    TempDir dir;
    const std::string path = dir.path("old.mdl");
    writeBytes(path, {1, 2, 3});
    DocFixture f;
    loadInto(*f.doc, makeModel(3, {tri(0, 1, 2)}, 1));
    DocumentEdit::frames(*f.doc).clear();
    EXPECT_EQ(CFacetoDoc::SaveAsResult::Failed, f.doc->saveAs(path));
    EXPECT_EQ((std::vector<uint8_t>{1, 2, 3}), readBytes(path));
    EXPECT_EQ((std::vector<std::string>{"Error writing file.\n" + path + ": the model has no frame"}),
              f.host.messages);
    EXPECT_EQ(CFacetoDoc::SaveAsResult::Failed, f.doc->saveAs(dir.path("no/such/folder/x.mdl")));
    EXPECT_FALSE(std::filesystem::exists(dir.path("no")));
}

// Every real Quake and Quake 2 model goes to .mdl and back with its corners; the figures are printed.
TEST(MdlWriter, RealModelsConvertAndComeBack) {
    const std::filesystem::path root = FACETO_REALDATA_DIR;
    if (!std::filesystem::exists(root)) {
        GTEST_SKIP() << "no real data";
    }
    int models = 0;
    for (const char* folder : {"md2", "mdl"}) {
        for (const auto& entry : std::filesystem::directory_iterator(root / folder)) {
            DocFixture f;
            ASSERT_TRUE(f.doc->onOpenDocument(entry.path().string())) << entry.path();
            Result<SaveOutput> out = f.doc->saveOutputFor("x.mdl");
            ASSERT_TRUE(out) << entry.path();
            const std::vector<uint8_t> file = toVector(out->files[0].bytes);
            ModelData before{f.doc->model(), f.doc->frames(), f.doc->source(), {}};
            const ModelData back = reread(file);
            expectSameCorners(before, back, file);
            // The largest difference of a position, in quantisation steps.
            const float step[3] = {real(file, 8), real(file, 12), real(file, 16)};
            float worst = 0;
            for (size_t fr = 0; fr < before.frames.size(); ++fr) {
                for (size_t v = 0; v < size_t(before.model.vertexCount()); ++v) {
                    for (int k = 0; k < 3; ++k) {
                        worst = std::max(worst, std::abs(before.frames[fr].positions[v][k] -
                                                         back.frames[fr].positions[v][k]) /
                                                    step[k]);
                    }
                }
            }
            std::printf(
                "%s: %d -> %d vertices, %d triangles, %zu frames, largest difference %.3f of a step\n",
                entry.path().filename().c_str(), before.model.vertexCount(), back.model.vertexCount(),
                back.model.triangleCount(), back.frames.size(), worst);
            EXPECT_LE(worst, 0.5f + 1e-3f);
            ++models;
        }
    }
    EXPECT_GE(models, 5);
}
