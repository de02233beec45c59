#include "document/FrameOperations.h"

#include "TestSupport.h"
#include "document/DocumentEdit.h"
#include "document/FrameClipboard.h"

using namespace faceto;
using namespace faceto::test;

namespace {

// A document with animations run (run1..run3), stand (stand1, stand2) and pose (pose1).
void loadRunStandPose(CFacetoDoc& doc) {
    ModelData data = makeModel(4, {tri(0, 1, 2), tri(1, 2, 3)}, 6);
    const char* names[] = {"run1", "run2", "run3", "stand1", "stand2", "pose1"};
    for (size_t i = 0; i < 6; ++i) {
        data.frames[i].name = names[i];
    }
    loadInto(doc, std::move(data));
}

std::vector<std::string> frameNames(const CFacetoDoc& doc, int animation) {
    std::vector<std::string> out;
    for (int32_t f : doc.animations()[size_t(animation)].frameIndices) {
        out.push_back(doc.frames()[size_t(f)].name);
    }
    return out;
}

} // namespace

TEST(FrameOperations, SelectAnimationAndFrameByName) {
    DocFixture f;
    loadRunStandPose(*f.doc);
    ASSERT_TRUE(selectAnimationByName(*f.doc, "STAND"));
    EXPECT_EQ(1, f.doc->currentAnimationIndex());
    EXPECT_EQ(3, f.doc->currentFrameIndex());
    EXPECT_EQ("stand1", f.doc->currentFrame()->name);
    ASSERT_TRUE(selectFrameByName(*f.doc, "Run2"));
    EXPECT_EQ(1, f.doc->currentFrameIndex());
    EXPECT_FALSE(selectFrameByName(*f.doc, "nothing"));

    addAnimation(*f.doc, "empty");
    EXPECT_EQ(3, f.doc->currentAnimationIndex());
    ASSERT_TRUE(selectAnimationByName(*f.doc, "empty"));
    EXPECT_EQ(nullptr, f.doc->currentFrame()); // an animation without frames shows no frame
    EXPECT_EQ(-1, f.doc->currentFrameIndex());
}

TEST(FrameOperations, InsertAfterRenumbersTheAnimation) {
    DocFixture f;
    loadRunStandPose(*f.doc);
    FrameClipboard clipboard;
    selectFrameByName(*f.doc, "stand2");
    ASSERT_TRUE(copyFrame(*f.doc, clipboard));
    EXPECT_EQ(FrameClipboard::FRAME, clipboard.kind());
    selectAnimationByName(*f.doc, "run");

    ASSERT_TRUE(insertFrame(*f.doc, clipboard, InsertPlace::After, "run2"));
    EXPECT_EQ((std::vector<std::string>{"run1", "run2", "run3", "run4"}), frameNames(*f.doc, 0));
    EXPECT_EQ(2, f.doc->currentFrameIndex());
    EXPECT_EQ(&f.doc->frames()[2], f.doc->currentFrame());
    EXPECT_EQ(4.0f, f.doc->frames()[2].positions[0].y); // the copy of stand2 is the third run frame
    EXPECT_EQ((std::vector<int32_t>{4, 5}), f.doc->animations()[1].frameIndices);
    EXPECT_EQ((std::vector<std::string>{"stand1", "stand2"}), frameNames(*f.doc, 1));
    EXPECT_TRUE(modelIsConsistent(*f.doc));

    ASSERT_TRUE(insertFrame(*f.doc, clipboard, InsertPlace::Before, "run1"));
    EXPECT_EQ(0, f.doc->currentFrameIndex());
    EXPECT_EQ((std::vector<std::string>{"run1", "run2", "run3", "run4", "run5"}), frameNames(*f.doc, 0));
    EXPECT_EQ(4.0f, f.doc->frames()[0].positions[0].y);
    EXPECT_EQ((std::vector<std::string>{"pose1"}), frameNames(*f.doc, 2));
    EXPECT_TRUE(modelIsConsistent(*f.doc));
    EXPECT_FALSE(insertFrame(*f.doc, clipboard, InsertPlace::After, "stand1")); // not in this animation

    // Numbers written with leading zeros stay that wide.
    DocFixture padded;
    ModelData data = makeModel(3, {tri(0, 1, 2)}, 2);
    data.frames[0].name = "walk001";
    data.frames[1].name = "walk002";
    loadInto(*padded.doc, std::move(data));
    ASSERT_TRUE(copyFrameAt(*padded.doc, clipboard, 1));
    ASSERT_TRUE(insertFrame(*padded.doc, clipboard, InsertPlace::After, "walk001"));
    EXPECT_EQ((std::vector<std::string>{"walk001", "walk002", "walk003"}), frameNames(*padded.doc, 0));
}

TEST(FrameOperations, InsertIntoAnEmptyAnimation) {
    DocFixture f;
    loadRunStandPose(*f.doc);
    FrameClipboard clipboard;
    copyFrame(*f.doc, clipboard);
    addAnimation(*f.doc, "jump");
    ASSERT_TRUE(insertFrame(*f.doc, clipboard, InsertPlace::After, std::nullopt));
    EXPECT_EQ(6, f.doc->currentFrameIndex());
    EXPECT_EQ((std::vector<std::string>{"jump1"}), frameNames(*f.doc, 3));
    addAnimation(*f.doc, "fall");
    ASSERT_TRUE(insertFrame(*f.doc, clipboard, InsertPlace::Before, std::nullopt));
    EXPECT_EQ(7u, f.doc->animations()[4].frameIndices[0]);
    EXPECT_TRUE(modelIsConsistent(*f.doc));
}

TEST(FrameOperations, InsertRefusesAFrameOfAnotherMesh) {
    DocFixture f;
    loadRunStandPose(*f.doc);
    FrameClipboard clipboard;
    EXPECT_FALSE(insertFrame(*f.doc, clipboard, InsertPlace::After, "run1")); // empty clipboard

    DocFixture other;
    loadInto(*other.doc, makeModel(3, {tri(0, 1, 2)}));
    copyFrame(*other.doc, clipboard);
    EXPECT_FALSE(insertFrame(*f.doc, clipboard, InsertPlace::After, "run1"));
    EXPECT_EQ(6u, f.doc->frames().size());

    f.doc->selectAll();
    clipboard.copySelection(*f.doc); // geometry, not a frame
    EXPECT_FALSE(insertFrame(*f.doc, clipboard, InsertPlace::After, "run1"));
    EXPECT_TRUE(modelIsConsistent(*f.doc));
}

// The frame cut is the one chosen, whichever is current; it leaves its animation unless it is the only
// one, and the others keep their names.
TEST(FrameOperations, CutRemovesTheChosenFrameUnlessItIsTheOnlyOne) {
    DocFixture f;
    loadRunStandPose(*f.doc);
    FrameClipboard clipboard;
    selectFrameByName(*f.doc, "run1"); // current: run1; cut: run2
    cutFrameAt(*f.doc, clipboard, 1);
    EXPECT_EQ("run2", clipboard.frame().name);
    EXPECT_EQ(1.0f, clipboard.frame().positions[0].y);
    EXPECT_EQ((std::vector<std::string>{"run1", "run3"}), frameNames(*f.doc, 0));
    EXPECT_EQ(5u, f.doc->frames().size());
    EXPECT_EQ(-1, f.doc->currentFrameIndex());
    EXPECT_EQ(&f.doc->frames()[1], f.doc->currentFrame()); // run3, in run2's place
    EXPECT_EQ(2.0f, f.doc->currentFrame()->positions[0].y);
    EXPECT_EQ((std::vector<int32_t>{2, 3}), f.doc->animations()[1].frameIndices);
    EXPECT_TRUE(copyFrameAt(*f.doc, clipboard, 2));
    EXPECT_EQ(f.doc->frames()[2].name, clipboard.frame().name);
    EXPECT_FALSE(copyFrameAt(*f.doc, clipboard, 9));

    selectAnimationByName(*f.doc, "pose");
    cutFrameAt(*f.doc, clipboard, 4);
    EXPECT_EQ(5u, f.doc->frames().size()); // only copied
    EXPECT_EQ("pose1", clipboard.frame().name);
    EXPECT_TRUE(modelIsConsistent(*f.doc));

    // Removing the last frame of an animation leaves no current frame.
    removeFrame(*f.doc, 0, "run3");
    EXPECT_EQ(nullptr, f.doc->currentFrame());
    EXPECT_TRUE(modelIsConsistent(*f.doc));
}

TEST(FrameOperations, DeleteAnimationRemovesItsFrames) {
    DocFixture f;
    loadRunStandPose(*f.doc);
    selectAnimationByName(*f.doc, "stand");
    deleteCurrentAnimation(*f.doc);
    ASSERT_EQ(2u, f.doc->animations().size());
    EXPECT_EQ(4u, f.doc->frames().size());
    EXPECT_EQ((std::vector<std::string>{"pose1"}), frameNames(*f.doc, 1));
    EXPECT_EQ(0, f.doc->currentAnimationIndex()); // the first remaining animation takes over
    EXPECT_EQ(&f.doc->frames()[0], f.doc->currentFrame());
    EXPECT_TRUE(modelIsConsistent(*f.doc));

    deleteCurrentAnimation(*f.doc);
    deleteCurrentAnimation(*f.doc);
    EXPECT_TRUE(f.doc->animations().empty());
    EXPECT_TRUE(f.doc->frames().empty());
    EXPECT_EQ(nullptr, f.doc->currentAnimation());
    EXPECT_EQ(nullptr, f.doc->currentFrame());
    deleteCurrentAnimation(*f.doc); // nothing left: no effect
}

TEST(FrameOperations, HidingAGroupHidesSharedVertices) {
    DocFixture f;
    loadInto(*f.doc, makeModel(5, {tri(0, 1, 2), tri(2, 3, 4)}));
    DocumentEdit::model(*f.doc).triangles[1].group = 1;
    DocumentEdit::model(*f.doc).groups.resize(2);
    DocumentEdit::model(*f.doc).groups[0].flags = GROUP_VISIBLE;
    DocumentEdit::model(*f.doc).groups[1].flags = GROUP_VISIBLE;
    toggleGroupVisibility(*f.doc, 1);
    EXPECT_EQ(0, f.doc->model().groups[1].flags);
    EXPECT_TRUE(f.doc->model().vertexInfos[1].visible());
    EXPECT_FALSE(f.doc->model().vertexInfos[2].visible()); // shared with group 0, hidden all the same
    EXPECT_FALSE(f.doc->model().vertexInfos[4].visible());
    toggleGroupVisibility(*f.doc, 1);
    EXPECT_TRUE(f.doc->model().vertexInfos[2].visible());
    EXPECT_EQ(GROUP_VISIBLE, f.doc->model().groups[1].flags);
    toggleGroupVisibility(*f.doc, 7); // no such group
}

namespace {

std::vector<std::string> listNames(const CFacetoDoc& doc) {
    std::vector<std::string> out;
    for (const Frame& f : doc.frames()) {
        out.push_back(f.name);
    }
    return out;
}

} // namespace

// A frame moved within its animation takes its new place in the playing order and the names follow; one
// moved past another animation's frame keeps its name; each move is one step that undo takes back.
TEST(FrameOperations, FramesMoveUpAndDownAndTheNamesFollow) {
    DocFixture f;
    loadRunStandPose(*f.doc);
    const FrameVertex firstOfRun3 = f.doc->frames()[2].positions[0];
    ASSERT_TRUE(moveFrame(*f.doc, 2, -1)); // run3 before run2
    EXPECT_EQ((std::vector<std::string>{"run1", "run2", "run3", "stand1", "stand2", "pose1"}),
              listNames(*f.doc));
    EXPECT_EQ(firstOfRun3, f.doc->frames()[1].positions[0]); // the pose moved, and is now run2
    EXPECT_EQ(1, f.doc->currentFramePosition());
    EXPECT_EQ("Move Frame", f.doc->history().undoName());
    ASSERT_TRUE(f.doc->undo());
    EXPECT_EQ(firstOfRun3, f.doc->frames()[2].positions[0]);

    ASSERT_TRUE(moveFrame(*f.doc, 5, -1)); // pose1 between the stands: a list place only
    EXPECT_EQ((std::vector<std::string>{"run1", "run2", "run3", "stand1", "pose1", "stand2"}),
              listNames(*f.doc));
    EXPECT_FALSE(moveFrame(*f.doc, 0, -1));
    EXPECT_FALSE(moveFrame(*f.doc, 5, 1));
}

// A whole animation moves past its neighbour; the animations are listed in their frames' new order.
TEST(FrameOperations, AnAnimationMovesPastItsNeighbour) {
    DocFixture f;
    loadRunStandPose(*f.doc);
    ASSERT_TRUE(moveAnimation(*f.doc, 1, -1)); // stand before run
    EXPECT_EQ((std::vector<std::string>{"stand1", "stand2", "run1", "run2", "run3", "pose1"}),
              listNames(*f.doc));
    EXPECT_EQ("stand", f.doc->animations()[0].name);
    EXPECT_EQ("run", f.doc->animations()[1].name);
    EXPECT_EQ((std::vector<std::string>{"run1", "run2", "run3"}), frameNames(*f.doc, 1));
    ASSERT_TRUE(moveAnimation(*f.doc, 1, 1)); // run after pose
    EXPECT_EQ((std::vector<std::string>{"stand1", "stand2", "pose1", "run1", "run2", "run3"}),
              listNames(*f.doc));
    EXPECT_FALSE(moveAnimation(*f.doc, 0, -1));
    ASSERT_TRUE(f.doc->undo());
    ASSERT_TRUE(f.doc->undo());
    EXPECT_EQ((std::vector<std::string>{"run1", "run2", "run3", "stand1", "stand2", "pose1"}),
              listNames(*f.doc));
}

// In-betweens: evenly spaced poses after the first frame, in its animation, named after their places, in
// one step; the halfway pose is the mean of the two frames.
TEST(FrameOperations, InterpolateMakesEvenlySpacedInBetweens) {
    DocFixture f;
    loadRunStandPose(*f.doc);
    const Frame a = f.doc->frames()[0];
    const Frame b = f.doc->frames()[1];
    EXPECT_EQ(std::optional<int32_t>(1), nextFrameOf(*f.doc, 0));
    EXPECT_EQ(std::nullopt, nextFrameOf(*f.doc, 2));                    // the last of run
    EXPECT_EQ(std::optional<int32_t>(0), nextFrameOf(*f.doc, 2, true)); // round it, as engines play
    EXPECT_FALSE(sameAnimation(*f.doc, 2, 3));
    ASSERT_TRUE(interpolateFrames(*f.doc, 0, 1, 3));
    EXPECT_EQ((std::vector<std::string>{"run1", "run2", "run3", "run4", "run5", "run6", "stand1", "stand2",
                                        "pose1"}),
              listNames(*f.doc));
    EXPECT_EQ("Interpolate Frames", f.doc->history().undoName());
    for (size_t v = 0; v < a.positions.size(); ++v) {
        const FrameVertex& mid = f.doc->frames()[2].positions[v];
        EXPECT_FLOAT_EQ((a.positions[v].x + b.positions[v].x) / 2, mid.x);
        EXPECT_FLOAT_EQ((a.positions[v].z + b.positions[v].z) / 2, mid.z);
        EXPECT_FLOAT_EQ(a.positions[v].x + (b.positions[v].x - a.positions[v].x) * 0.25f,
                        f.doc->frames()[1].positions[v].x);
    }
    EXPECT_EQ(b.positions[0], f.doc->frames()[4].positions[0]); // the old run2, now run5
    EXPECT_FALSE(interpolateFrames(*f.doc, 0, 1, 0));
    ASSERT_TRUE(f.doc->undo());
    EXPECT_EQ(6u, f.doc->frames().size());
}
