#include "document/SkinOperations.h"

#include "TestSupport.h"
#include "document/DocumentEdit.h"
#include "formats/Pcx.h"
#include "formats/Pictures.h"
#include "model/DerivedData.h"

#include <cmath>
#include <filesystem>

namespace faceto::test {
namespace {

using Vec = std::array<float, 3>;

Vec sub(const FrameVertex& a, const FrameVertex& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec cross(const Vec& a, const Vec& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// The outward normal of a triangle wound clockwise seen from outside (its right-hand normal points in).
Vec outward(const Frame& frame, const Triangle& t) {
    const Vec n = cross(sub(frame.positions[size_t(t.v[1])], frame.positions[size_t(t.v[0])]),
                        sub(frame.positions[size_t(t.v[2])], frame.positions[size_t(t.v[0])]));
    return {-n[0], -n[1], -n[2]};
}

// A cube of side 2 about the origin, twelve triangles wound as the editor's models are.
ModelData cube() {
    ModelData data = makeModel(8, {}, 1);
    for (int v = 0; v < 8; ++v) {
        data.frames[0].positions[size_t(v)] = {v & 1 ? 1.0f : -1.0f, v & 2 ? 1.0f : -1.0f,
                                               v & 4 ? 1.0f : -1.0f};
    }
    const int faces[6][4] = {{1, 3, 7, 5}, {0, 4, 6, 2}, {2, 6, 7, 3},
                             {0, 1, 5, 4}, {4, 5, 7, 6}, {0, 2, 3, 1}};
    for (const auto& f : faces) {
        for (const auto& [a, b, c] : {std::array{f[0], f[1], f[2]}, std::array{f[0], f[2], f[3]}}) {
            Triangle t = tri(a, b, c);
            // Each face's outward direction is from the cube's centre to the face's centre.
            const auto& p = data.frames[0].positions;
            const Vec centre{(p[size_t(a)].x + p[size_t(b)].x + p[size_t(c)].x),
                             (p[size_t(a)].y + p[size_t(b)].y + p[size_t(c)].y),
                             (p[size_t(a)].z + p[size_t(b)].z + p[size_t(c)].z)};
            const Vec n = outward(data.frames[0], t);
            if (n[0] * centre[0] + n[1] * centre[1] + n[2] * centre[2] < 0) {
                std::swap(t.v[1], t.v[2]);
            }
            data.model.triangles.push_back(t);
        }
    }
    buildEdges(data.model);
    return data;
}

// Every corner inside the skin; triangles facing +x on the left half, those facing -x on the right.
void expectFrontAndBackApart(const CFacetoDoc& doc, int width, int height) {
    const Frame& frame = *doc.currentFrame();
    int front = 0;
    int back = 0;
    for (const Triangle& t : doc.model().triangles) {
        const Vec n = outward(frame, t);
        for (const auto& st : t.st) {
            EXPECT_GE(st[0], 0.0f);
            EXPECT_LE(st[0], float(width));
            EXPECT_GE(st[1], 0.0f);
            EXPECT_LE(st[1], float(height));
            if (n[0] > 1e-4f) {
                EXPECT_LT(st[0], width / 2.0f);
            } else if (n[0] < -1e-4f) {
                EXPECT_GE(st[0], width / 2.0f);
            }
        }
        front += n[0] > 1e-4f;
        back += n[0] < -1e-4f;
    }
    EXPECT_GT(front, 0);
    EXPECT_GT(back, 0);
}

TEST(SkinMap, CubeGetsAPlanarMapAndASkinInOneStep) {
    DocFixture f;
    ModelData data = cube();
    data.source.skinWidth = 128;
    data.source.skinHeight = 64;
    loadInto(*f.doc, std::move(data));
    ASSERT_TRUE(generateSkinMap(*f.doc, f.palette.palette));
    ASSERT_EQ(1u, f.doc->model().skins.size());
    EXPECT_EQ(128, f.doc->model().skins[0].imageWidth);
    EXPECT_EQ(64, f.doc->model().skins[0].imageHeight);
    expectFrontAndBackApart(*f.doc, 128, 64);
    // Front and back faces are the same square seen from both sides: mirror images across the middle.
    const Frame& frame = *f.doc->currentFrame();
    for (const Triangle& t : f.doc->model().triangles) {
        for (size_t k = 0; k < 3; ++k) {
            const FrameVertex& p = frame.positions[size_t(t.v[k])];
            const Vec n = outward(frame, t);
            if (std::abs(n[0]) > 1e-4f) {
                // The same height for the same z, the same distance from the middle for the same y:
                // the front seen from the front (+y to the right), the back from behind.
                EXPECT_FLOAT_EQ(p.z > 0 ? 2.0f : 62.0f, t.st[k][1]);
                EXPECT_FLOAT_EQ(p.y > 0 ? 2.0f : 62.0f, std::abs(t.st[k][0] - 64.0f));
                EXPECT_EQ(n[0] > 0, t.st[k][0] < 64.0f);
            }
        }
    }
    EXPECT_EQ(1u, f.doc->history().size());
    ASSERT_TRUE(f.doc->undo());
    EXPECT_TRUE(f.doc->model().skins.empty());
    for (const Triangle& t : f.doc->model().triangles) {
        EXPECT_EQ(0.0f, t.st[0][0]);
    }
}

TEST(SkinMap, OnlyTheSelectedTrianglesWhenSomeAre) {
    DocFixture f;
    ModelData data = cube();
    data.model.skins.push_back(blankSkin(64, 64, f.palette.palette));
    for (Triangle& t : data.model.triangles) {
        t.st = {{{7, 7}, {7, 7}, {7, 7}}};
    }
    loadInto(*f.doc, std::move(data));
    // The +x face's two triangles: vertices 1, 3, 5, 7.
    for (int v : {1, 3, 5, 7}) {
        DocumentEdit::model(*f.doc).vertexInfos[size_t(v)].flags |= VERTEX_SELECTED;
    }
    ASSERT_TRUE(generateSkinMap(*f.doc, f.palette.palette));
    int mapped = 0;
    for (const Triangle& t : f.doc->model().triangles) {
        const bool chosen = std::all_of(t.v.begin(), t.v.end(), [](int v) { return v & 1; });
        mapped += chosen;
        EXPECT_EQ(chosen, (t.st[0] != std::array<float, 2>{7, 7}));
    }
    EXPECT_EQ(2, mapped);
    EXPECT_EQ(1u, f.doc->model().skins.size()); // the skin there is kept
}

TEST(SkinMap, RealModelsMapInsideTheSkinWithTheHalvesApart) {
    const std::filesystem::path root = FACETO_REALDATA_DIR;
    if (!std::filesystem::exists(root)) {
        GTEST_SKIP() << "no real data";
    }
    for (const char* file : {"md2/faerie.md2", "md2/horse.md2", "mdl/armor.mdl"}) {
        DocFixture f;
        ASSERT_TRUE(f.doc->onOpenDocument((root / file).string())) << file;
        ASSERT_TRUE(generateSkinMap(*f.doc, f.palette.palette));
        const Skin& skin = f.doc->model().skins.at(size_t(std::max(f.doc->currentSkin(), 0)));
        SCOPED_TRACE(file);
        expectFrontAndBackApart(*f.doc, skin.imageWidth, skin.imageHeight);
    }
}

TEST(Skins, NewDeleteResizeAndImportAreStepsThatUndo) {
    DocFixture f;
    ModelData data = makeModel(3, {tri(0, 1, 2)}, 1);
    data.model.triangles[0].st = {{{0, 0}, {32, 0}, {32, 16}}};
    data.source.skinWidth = 32;
    data.source.skinHeight = 16;
    data.model.skins.push_back(blankSkin(32, 16, f.palette.palette));
    data.model.skins[0].pixels[5] = 9;
    loadInto(*f.doc, std::move(data));

    ASSERT_TRUE(resizeSkin(*f.doc, 0, 64, 64));
    EXPECT_EQ(64, f.doc->model().skins[0].imageWidth);
    EXPECT_EQ((std::array<float, 2>{64, 64}), f.doc->model().triangles[0].st[2]);
    EXPECT_EQ(64, f.doc->source().skinWidth);
    EXPECT_EQ(9, f.doc->model().skins[0].pixels[size_t(10)]); // texel 5 stretched to 10 and 11
    EXPECT_FALSE(resizeSkin(*f.doc, 0, 64, 64));              // the same size: nothing to do

    Skin second = blankSkin(8, 8, f.palette.palette);
    second.name = "second";
    ASSERT_TRUE(addSkin(*f.doc, second));
    EXPECT_EQ(1, f.doc->currentSkin());
    ASSERT_TRUE(deleteSkin(*f.doc, 0));
    EXPECT_EQ("second", f.doc->model().skins.at(0).name);
    EXPECT_EQ(0, f.doc->currentSkin());

    // A picture of another size replaces the shown skin, the coordinates following it.
    Skin picture = blankSkin(16, 8, f.palette.palette);
    ASSERT_TRUE(replaceSkin(*f.doc, 0, picture, true));
    EXPECT_EQ("second", f.doc->model().skins[0].name); // the skin keeps its name
    EXPECT_EQ((std::array<float, 2>{128, 64}), f.doc->model().triangles[0].st[2]);

    EXPECT_EQ(4u, f.doc->history().size());
    while (f.doc->undo()) {
    }
    ASSERT_EQ(1u, f.doc->model().skins.size());
    EXPECT_EQ(32, f.doc->model().skins[0].imageWidth);
    EXPECT_EQ(9, f.doc->model().skins[0].pixels[5]);
    EXPECT_EQ((std::array<float, 2>{32, 16}), f.doc->model().triangles[0].st[2]);
    EXPECT_EQ(32, f.doc->source().skinWidth);
    EXPECT_EQ(0, f.doc->currentSkin());
    EXPECT_FALSE(deleteSkin(*f.doc, 3));
}

TEST(Skins, CoordinateDragsJoinIntoOneStepPerGesture) {
    DocFixture f;
    loadInto(*f.doc, makeModel(3, {tri(0, 1, 2)}, 1));
    const uint64_t gesture = f.doc->newGesture();
    for (float x = 1; x <= 5; ++x) {
        f.doc->run(std::make_unique<ChangeSkinCoords>("Move Skin Coordinates", std::vector<int32_t>{0},
                                                      std::vector<CornerCoords>{{{{x, 0}, {0, 0}, {0, 0}}}},
                                                      gesture));
    }
    EXPECT_EQ(1u, f.doc->history().size());
    EXPECT_EQ(5.0f, f.doc->model().triangles[0].st[0][0]);
    f.doc->undo();
    EXPECT_EQ(0.0f, f.doc->model().triangles[0].st[0][0]);
}

TEST(Skins, SeamsAreWhereNeighboursPartTheirCoordinates) {
    Model model;
    model.vertexInfos.resize(4);
    model.triangles = {tri(0, 1, 2), tri(2, 1, 3)};
    model.triangles[0].st = {{{0, 0}, {10, 0}, {0, 10}}};
    model.triangles[1].st = {{{0, 10}, {10, 0}, {10, 10}}};
    auto seams = skinSeams(model);
    EXPECT_EQ((std::array<bool, 3>{false, false, false}),
              seams[0]); // edge 1-2 is shared with the same coordinates
    model.triangles[1].st = {{{50, 10}, {60, 0}, {60, 10}}};
    seams = skinSeams(model);
    EXPECT_EQ((std::array<bool, 3>{false, true, false}), seams[0]); // corner 1 to 2
    EXPECT_EQ((std::array<bool, 3>{true, false, false}), seams[1]); // corner 0 to 1
}

// A PCX picture comes back out exactly as it went in; pictures of our own come back with their indices.
TEST(SkinFiles, PcxAndIndexedPngRoundTrips) {
    const std::filesystem::path pcx = std::filesystem::path(FACETO_REALDATA_DIR) / "pcx" / "testpcx_8bit.pcx";
    Model model;
    std::vector<uint8_t> original;
    if (std::filesystem::exists(pcx)) {
        original = readBytes(pcx.string());
    } else {
        Skin made = blankSkin(70, 63, PaletteTables::builtIn().palette);
        made.pixels[3] = 200;
        original = toVector(encodeSkinPcx(made));
    }
    Result<Skin> skin = decodeSkinPicture(original);
    ASSERT_TRUE(skin) << skin.error();
    model.skins.push_back(*skin);
    Result<ByteBuffer> out = skinFileBytes(model, 0, false, false);
    ASSERT_TRUE(out);
    EXPECT_EQ(original, toVector(*out));

    // Through an indexed PNG and back: the same indices and palette.
    Result<ByteBuffer> png = skinFileBytes(model, 0, true, false);
    ASSERT_TRUE(png);
    Result<Skin> back = decodeSkinPicture(*png);
    ASSERT_TRUE(back) << back.error();
    EXPECT_EQ(8, back->bitsPerPixel);
    EXPECT_EQ(skin->pixels, back->pixels);
    EXPECT_EQ(skin->palette, back->palette);
    // A reader of its own (stb) sees the same colours.
    Result<Skin> colours = decodePictureAsSkin(*png);
    ASSERT_TRUE(colours);
    EXPECT_EQ(skinRgb(*skin), skinRgb(*colours));

    // Our own PCX of the PNG's picture reads back to the same picture, and exports unchanged again.
    model.skins[0] = *back;
    Result<ByteBuffer> ours = skinFileBytes(model, 0, false, false);
    ASSERT_TRUE(ours);
    Result<Skin> again = decodeSkinPicture(*ours);
    ASSERT_TRUE(again);
    EXPECT_EQ(back->pixels, again->pixels);
    model.skins[0] = *again;
    EXPECT_EQ(toVector(*ours), toVector(*skinFileBytes(model, 0, false, false)));

    EXPECT_FALSE(skinFileBytes(model, 1, false, false));
}

TEST(SkinFiles, IndexedBmpKeepsItsIndicesAndTheMapIsDrawnOver) {
    // A 3 x 2 picture, rows bottom first, padded to 4 bytes, two palette entries.
    std::vector<uint8_t> bmp(14 + 40 + 8 + 8, 0);
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            bmp[at + size_t(i)] = uint8_t(v >> (8 * i));
        }
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, uint32_t(bmp.size()));
    put32(10, 14 + 40 + 8);
    put32(14, 40);
    put32(18, 3);
    put32(22, 2);
    bmp[26] = 1;
    bmp[28] = 8;
    put32(46, 2);
    bmp[54 + 4] = 255;                                // entry 1: blue
    const uint8_t rows[8] = {1, 0, 0, 0, 0, 1, 1, 0}; // bottom row, then top row
    std::copy(std::begin(rows), std::end(rows), bmp.begin() + 62);
    Result<Skin> skin = decodeSkinPicture(bmp);
    ASSERT_TRUE(skin) << skin.error();
    ASSERT_TRUE(skin->isIndexed8());
    EXPECT_EQ(0, skin->pixels[0]);
    EXPECT_EQ(1, skin->pixels[1]);
    EXPECT_EQ(1, skin->pixels[size_t(skin->stride())]);
    EXPECT_EQ((PaletteEntry{255, 0, 0, 0}), skin->palette[1]);

    // The map over a grey picture: a line along the top edge, nothing in the far corner.
    Skin grey = blankSkin(16, 16, PaletteTables::builtIn().palette);
    Triangle t = tri(0, 1, 2);
    t.st = {{{0, 0}, {8, 0}, {0, 8}}};
    const Skin drawn = skinWithMap(grey, {t});
    const uint8_t line = drawn.pixels[4];
    EXPECT_NE(grey.pixels[4], line);
    EXPECT_EQ(line, drawn.pixels[size_t(drawn.stride()) * 4]); // the left edge
    EXPECT_EQ(grey.pixels[0], drawn.pixels[size_t(drawn.stride()) * 15 + 15]);
    // Coordinates far outside the picture are cut, not walked.
    t.st = {{{-1e6f, 3}, {1e6f, 3}, {NAN, 0}}};
    const Skin far = skinWithMap(grey, {t});
    EXPECT_EQ(line, far.pixels[size_t(far.stride()) * 3 + 7]);
}

TEST(SkinFiles, DamagedPicturesAreRefused) {
    Skin made = blankSkin(4, 4, PaletteTables::builtIn().palette);
    Model model;
    model.skins.push_back(made);
    const std::vector<uint8_t> png = toVector(*skinFileBytes(model, 0, true, false));
    for (size_t cut : {size_t(8), size_t(20), size_t(40), png.size() - 13}) {
        std::vector<uint8_t> part(png.begin(), png.begin() + long(cut));
        EXPECT_FALSE(decodeSkinPicture(part)) << cut;
    }
    // A header that promises a larger picture than the data inflates to.
    std::vector<uint8_t> lying = png;
    lying[16 + 3] = 200; // width 200
    const Result<Skin> fromLie = decodeSkinPicture(lying);
    EXPECT_FALSE(fromLie && fromLie->imageWidth == 200);
    EXPECT_FALSE(decodeSkinPicture(std::vector<uint8_t>{10, 5, 1}));

    // Pictures that would make the decoder take far more memory than they hold: a true-colour PNG of
    // 4 x 4 pixels whose data inflates to four million bytes, and one whose data chunk claims 2 GB.
    Model big;
    big.skins.push_back(blankSkin(2000, 2000, PaletteTables::builtIn().palette));
    std::vector<uint8_t> bomb = toVector(*skinFileBytes(big, 0, true, false));
    bomb[16 + 3] = 4; // width 4
    bomb[20 + 2] = 0;
    bomb[20 + 3] = 4; // height 4
    bomb[16 + 9] = 2; // red, green, blue
    const Result<Skin> inflated = decodeSkinPicture(bomb);
    ASSERT_FALSE(inflated);
    EXPECT_NE(std::string::npos, inflated.error().find("does not inflate to its size")) << inflated.error();
    std::vector<uint8_t> claim = toVector(*skinFileBytes(model, 0, true, false));
    claim[16 + 9] = 2;
    const size_t data = 8 + 25 + 12 + 768; // signature, header chunk, palette chunk
    claim[data] = 0x7F;                    // a data chunk of about 2 GB
    const Result<Skin> claimed = decodeSkinPicture(claim);
    ASSERT_FALSE(claimed);
    EXPECT_NE(std::string::npos, claimed.error().find("runs past its end")) << claimed.error();
}

} // namespace
} // namespace faceto::test
