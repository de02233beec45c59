#include "document/ModelTransform.h"

#include "TestSupport.h"
#include "formats/Gltf.h"

using namespace faceto;
using namespace faceto::test;

// The whole model, every frame alike, in one step that undoes exactly; a mirror turns the faces round.
TEST(ModelTransform, ScalesTurnsMovesAndMirrorsEveryFrameInOneStep) {
    DocFixture f;
    ModelData data = makeModel(3, {tri(0, 1, 2)}, 2);
    data.frames[0].positions = {{0, 0, 0}, {2, 0, 0}, {0, 4, 0}};
    data.frames[1].positions = {{0, 0, 2}, {2, 0, 2}, {0, 4, 2}};
    loadInto(*f.doc, std::move(data));
    const std::vector<Frame> before = f.doc->frames();

    ModelTransform t;
    t.scale = {2, 2, 2};
    t.degrees = {0, 0, 90};
    t.move = {0, 0, 10};
    ASSERT_TRUE(transformModel(*f.doc, t));
    // (2, 0, 0) doubled is (4, 0, 0), a quarter turn about z takes it to (0, 4, 0), then up 10.
    const FrameVertex p = f.doc->frames()[1].positions[1];
    EXPECT_NEAR(0.0f, p.x, 1e-5f);
    EXPECT_NEAR(4.0f, p.y, 1e-5f);
    EXPECT_NEAR(14.0f, p.z, 1e-5f);
    EXPECT_EQ("Transform", f.doc->history().undoName());
    EXPECT_TRUE(f.doc->undo());
    EXPECT_EQ(before, f.doc->frames());

    // About the centre of the bounds over all frames ((1, 2, 1)): the centre stays.
    ModelTransform half;
    half.scale = {0.5f, 0.5f, 0.5f};
    half.aboutCentre = true;
    ASSERT_TRUE(transformModel(*f.doc, half));
    EXPECT_EQ((FrameVertex{0.5f, 1, 0.5f}), f.doc->frames()[0].positions[0]);
    EXPECT_TRUE(f.doc->undo());

    // A mirror: the positions across the middle, and the corners turned round so faces still face out.
    ASSERT_TRUE(mirrorModel(*f.doc, 1));
    EXPECT_EQ((FrameVertex{2, 4, 0}), f.doc->frames()[0].positions[1]);
    EXPECT_EQ((std::array<int32_t, 3>{0, 2, 1}), f.doc->model().triangles[0].v);
    EXPECT_TRUE(f.doc->undo());
    EXPECT_EQ((std::array<int32_t, 3>{0, 1, 2}), f.doc->model().triangles[0].v);

    ASSERT_TRUE(centreModelOnOrigin(*f.doc));
    EXPECT_EQ((FrameVertex{-1, -2, -1}), f.doc->frames()[0].positions[0]);
    EXPECT_FALSE(transformModel(*f.doc, ModelTransform{})); // nothing to do, no step
    EXPECT_EQ("Centre on Origin", f.doc->history().undoName());
}

// A file of another tool in metres comes in at the scale asked for.
TEST(ModelTransform, GltfAndObjComeInAtTheirUnitScale) {
    DocFixture f;
    TempDir dir;
    writeText(dir.path("m.obj"), "v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 3\n");
    f.doc->exchange().importScale = 32;
    ASSERT_TRUE(f.doc->onOpenDocument(dir.path("m.obj")));
    float largest = 0;
    for (const FrameVertex& p : f.doc->frames()[0].positions) {
        largest = std::max({largest, std::abs(p.x), std::abs(p.y), std::abs(p.z)});
    }
    EXPECT_EQ(32.0f, largest);
}
