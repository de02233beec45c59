#include "document/GroupOperations.h"

#include "TestSupport.h"
#include "document/CFacetoDoc.h"
#include "document/FrameClipboard.h"
#include "document/FrameOperations.h"
#include "document/SkinOperations.h"
#include "formats/MdlWriter.h"
#include "model/QuakeGroups.h"

using namespace faceto;
using namespace faceto::test;

namespace {

using QGroup = QuakeFields::Group;

QGroup single() {
    return QGroup{};
}
QGroup group(int32_t count, std::vector<float> intervals) {
    return QGroup{true, count, std::move(intervals), std::nullopt};
}

// A Quake model of four frames and four skins of one size (the last one another size when asked).
ModelData quakeModel(const PaletteTables& palette, bool lastSkinOtherSize = false) {
    ModelData data = makeModel(3, {tri(0, 1, 2)}, 4);
    data.model.triangles[0].st = {{{0, 0}, {8, 0}, {8, 8}}};
    for (int s = 0; s < 4; ++s) {
        const int side = lastSkinOtherSize && s == 3 ? 16 : 8;
        data.model.skins.push_back(blankSkin(side, side, palette.palette));
        data.model.skins.back().pixels[0] = uint8_t(10 + s);
        data.model.skins.back().name = "skin" + std::to_string(s);
    }
    for (size_t f = 0; f < data.frames.size(); ++f) {
        data.frames[f].name = "stand" + std::to_string(f + 1);
        data.frames[f].positions[0].x = float(f);
    }
    data.source.sourceFormat = SOURCE_MDL;
    data.source.skinWidth = data.source.skinHeight = 8;
    data.source.quake = QuakeFields{};
    return data;
}

std::vector<int32_t> members(const QuakeGroups& groups) {
    std::vector<int32_t> out;
    for (const QGroup& g : groups) {
        out.push_back(g.grouped ? g.count : 0);
    }
    return out;
}

} // namespace

// The engines pick a member by the time taken round the group's length; the durations are the steps
// between the intervals.
TEST(QuakeGroups, MemberShownAtATimeAndHowLong) {
    const QGroup g = group(3, {0.1f, 0.3f, 0.6f});
    EXPECT_EQ(0, memberAt(g, 0.0));
    EXPECT_EQ(0, memberAt(g, 0.05));
    EXPECT_EQ(1, memberAt(g, 0.2));
    EXPECT_EQ(2, memberAt(g, 0.45));
    EXPECT_EQ(0, memberAt(g, 0.65)); // round again
    EXPECT_EQ(2, memberAt(g, 6.0 - 0.01));
    EXPECT_EQ(0, memberAt(g, std::nan("")));
    EXPECT_EQ(0, memberAt(single(), 3.0));
    EXPECT_NEAR(0.1, memberDuration(g, 0), 1e-6);
    EXPECT_NEAR(0.2, memberDuration(g, 1), 1e-6);
    EXPECT_NEAR(0.3, memberDuration(g, 2), 1e-6);

    EXPECT_TRUE(validIntervals({0.1f, 0.2f}));
    EXPECT_FALSE(validIntervals({}));
    EXPECT_FALSE(validIntervals({0.0f, 0.2f}));
    EXPECT_FALSE(validIntervals({0.2f, 0.2f}));
    EXPECT_FALSE(validIntervals({0.3f, 0.2f}));
    EXPECT_FALSE(validIntervals({0.1f, float(std::nan(""))}));
}

// Items removed, added and moved: a group keeps the members that still follow each other, with the
// time of a member left out taken from the ones after it; a group split by a move or an insertion falls
// apart.
TEST(QuakeGroups, GroupsFollowTheItemsThroughAnEdit) {
    const QuakeGroups before = {single(), group(3, {0.1f, 0.3f, 0.6f}), single()};
    // Nothing changes.
    EXPECT_EQ((std::vector<int32_t>{0, 3, 0}), members(groupsAfterEdit(before, {0, 1, 2, 3, 4})));
    // The first item removed, one added at the end.
    EXPECT_EQ((std::vector<int32_t>{3, 0, 0}), members(groupsAfterEdit(before, {1, 2, 3, 4, -1})));
    // The middle member removed: the last one's end comes 0.2 s earlier.
    const QuakeGroups less = groupsAfterEdit(before, {0, 1, 3, 4});
    ASSERT_EQ((std::vector<int32_t>{0, 2, 0}), members(less));
    EXPECT_NEAR(0.1f, less[1].intervals[0], 1e-6);
    EXPECT_NEAR(0.4f, less[1].intervals[1], 1e-6);
    // A new item between two members, and two members swapped: singles.
    EXPECT_EQ((std::vector<int32_t>{0, 0, 0, 0, 0, 0}),
              members(groupsAfterEdit(before, {0, 1, -1, 2, 3, 4})));
    EXPECT_EQ((std::vector<int32_t>{0, 0, 0, 0, 0}), members(groupsAfterEdit(before, {0, 2, 1, 3, 4})));
    // The whole group moved to the end keeps together.
    EXPECT_EQ((std::vector<int32_t>{0, 0, 3}), members(groupsAfterEdit(before, {0, 4, 1, 2, 3})));

    // Grouping takes a group wholly inside the run and refuses one it cuts.
    EXPECT_EQ((std::vector<int32_t>{5}), members(grouped(before, 5, 0, 5, evenIntervals(5)).value()));
    EXPECT_FALSE(grouped(before, 5, 0, 2, evenIntervals(2)));
    EXPECT_FALSE(grouped(before, 5, 3, 3, evenIntervals(3))); // past the end
    EXPECT_FALSE(grouped({}, 5, 0, 1, evenIntervals(1)));     // one is no group
    EXPECT_EQ((std::vector<int32_t>{3, 0, 0}), members(grouped({}, 5, 0, 3, evenIntervals(3)).value()));
    EXPECT_EQ((std::vector<int32_t>{0, 0, 0, 0, 0}), members(ungrouped(before, 5, 2).value()));
    EXPECT_FALSE(ungrouped(before, 5, 0));
}

// Grouping and ungrouping skins and frames are single steps that undo; what cannot be grouped is
// refused with the reason and changes nothing.
TEST(QuakeGroups, GroupingIsOneStepAndBadInputIsRefused) {
    DocFixture f;
    loadInto(*f.doc, quakeModel(f.palette, true));
    const size_t steps = f.doc->history().size();

    EXPECT_EQ("Choose at least two skins to group.", groupSkins(*f.doc, 0, {0.1f}));
    EXPECT_EQ("The intervals must be positive, each larger than the one before.",
              groupSkins(*f.doc, 0, {0.2f, 0.1f}));
    EXPECT_EQ("The intervals must be positive, each larger than the one before.",
              groupSkins(*f.doc, 0, {0.0f, 0.1f}));
    EXPECT_EQ("Skins of different sizes cannot be grouped: skin 2 is 8 x 8, skin 3 is 16 x 16.",
              groupSkins(*f.doc, 2, {0.1f, 0.2f}));
    EXPECT_EQ(steps, f.doc->history().size());

    ASSERT_EQ("", groupSkins(*f.doc, 0, {0.1f, 0.3f, 0.6f}));
    EXPECT_EQ("Group Skins", f.doc->history().undoName());
    EXPECT_TRUE(skinInGroup(*f.doc, 2));
    EXPECT_FALSE(skinInGroup(*f.doc, 3));
    ASSERT_EQ("", groupFrames(*f.doc, 1, {0.25f, 0.5f}));
    EXPECT_EQ("Group Frames", f.doc->history().undoName());
    EXPECT_EQ("The frames chosen cut through another group; ungroup it first.",
              groupFrames(*f.doc, 0, {0.1f, 0.2f}));
    EXPECT_TRUE(frameInGroup(*f.doc, 2));
    EXPECT_NEAR(0.25, frameDuration(*f.doc, 2).value_or(0), 1e-6);
    EXPECT_EQ(std::nullopt, frameDuration(*f.doc, 0));

    // The textured views show the member of the current skin's group at the time.
    f.doc->setCurrentSkin(1);
    EXPECT_EQ(0, skinShownAt(*f.doc, 0.05));
    EXPECT_EQ(2, skinShownAt(*f.doc, 0.5));
    EXPECT_NEAR(0.6, nextSkinChange(*f.doc, 0.5), 1e-6);
    EXPECT_NEAR(0.7, nextSkinChange(*f.doc, 0.61), 1e-6);
    f.doc->setCurrentSkin(3);
    EXPECT_EQ(3, skinShownAt(*f.doc, 0.5));
    EXPECT_GT(0.0, nextSkinChange(*f.doc, 0.5));

    ASSERT_TRUE(ungroupFrames(*f.doc, 1));
    EXPECT_EQ("Ungroup Frames", f.doc->history().undoName());
    EXPECT_FALSE(frameInGroup(*f.doc, 1));
    EXPECT_FALSE(ungroupFrames(*f.doc, 1));
    ASSERT_TRUE(f.doc->undo());
    EXPECT_TRUE(frameInGroup(*f.doc, 1));
    ASSERT_TRUE(f.doc->undo());
    ASSERT_TRUE(f.doc->undo());
    EXPECT_FALSE(skinInGroup(*f.doc, 0));
    EXPECT_EQ(steps, f.doc->history().size() - 3);
}

// Frame and skin edits after grouping keep the groups where their members still follow each other, and
// undo brings the groups back with the frames.
TEST(QuakeGroups, FrameAndSkinEditsKeepTheGroups) {
    DocFixture f;
    ModelData data = quakeModel(f.palette);
    data.source.quake.reset(); // a model of no Quake file takes the fields when grouped
    loadInto(*f.doc, std::move(data));
    ASSERT_EQ("", groupFrames(*f.doc, 1, {0.1f, 0.2f, 0.4f}));
    ASSERT_TRUE(f.doc->source().quake);
    ASSERT_EQ("", groupSkins(*f.doc, 1, {0.1f, 0.2f}));

    renameFrame(*f.doc, 2, "dance");
    EXPECT_EQ((std::vector<int32_t>{0, 3}), members(frameGroupsOf(*f.doc)));
    ASSERT_TRUE(deleteFrameAt(*f.doc, 2));
    EXPECT_EQ((std::vector<int32_t>{0, 2}), members(frameGroupsOf(*f.doc)));
    EXPECT_NEAR(0.3, f.doc->source().quake->frameGroups[1].intervals[1], 1e-6);
    ASSERT_TRUE(f.doc->undo());
    EXPECT_EQ((std::vector<int32_t>{0, 3}), members(frameGroupsOf(*f.doc)));
    // A frame put between two members breaks the group up.
    f.doc->setCurrentFrame(1);
    ASSERT_TRUE(newFrameAfterCurrent(*f.doc));
    EXPECT_EQ((std::vector<int32_t>{0, 0, 0, 0, 0}), members(frameGroupsOf(*f.doc)));
    ASSERT_TRUE(f.doc->undo());
    EXPECT_EQ((std::vector<int32_t>{0, 3}), members(frameGroupsOf(*f.doc)));

    ASSERT_TRUE(addSkin(*f.doc, blankSkin(8, 8, f.palette.palette)));
    EXPECT_EQ((std::vector<int32_t>{0, 2, 0, 0}), members(skinGroupsOf(*f.doc)));
    ASSERT_TRUE(deleteSkin(*f.doc, 0));
    EXPECT_EQ((std::vector<int32_t>{2, 0, 0}), members(skinGroupsOf(*f.doc)));
    ASSERT_TRUE(f.doc->undo());
    ASSERT_TRUE(f.doc->undo());
    EXPECT_EQ((std::vector<int32_t>{0, 2, 0}), members(skinGroupsOf(*f.doc)));
}

// Groups made in the editor are written as the file's skin and frame groups: the saved model reads
// back with them, saves again to the same bytes, and keeps them through a native file. A format
// without animated skins keeps each group's first picture and says so.
TEST(QuakeGroups, MadeGroupsRoundTripThroughQuakeAndNativeFiles) {
    TempDir dir;
    DocFixture f;
    loadInto(*f.doc, quakeModel(f.palette));
    ASSERT_EQ("", groupSkins(*f.doc, 0, {0.1f, 0.25f, 0.5f}));
    ASSERT_EQ("", groupFrames(*f.doc, 1, {0.2f, 0.3f, 0.45f}));
    ASSERT_EQ(CFacetoDoc::SaveAsResult::Saved, f.doc->saveAs(dir.path("a.mdl")));
    const std::vector<uint8_t> first = readBytes(dir.path("a.mdl"));

    DocFixture g;
    ASSERT_TRUE(g.doc->onOpenDocument(dir.path("a.mdl")));
    EXPECT_EQ((std::vector<int32_t>{3, 0}), members(skinGroupsOf(*g.doc)));
    EXPECT_EQ((std::vector<int32_t>{0, 3}), members(frameGroupsOf(*g.doc)));
    EXPECT_EQ((std::vector<float>{0.2f, 0.3f, 0.45f}), g.doc->source().quake->frameGroups[1].intervals);
    EXPECT_EQ(4u, g.doc->frames().size());
    EXPECT_EQ(4u, g.doc->model().skins.size());
    ASSERT_EQ(CFacetoDoc::SaveResult::Saved, g.doc->save());
    EXPECT_EQ(first, readBytes(dir.path("a.mdl")));

    ASSERT_EQ(CFacetoDoc::SaveAsResult::Saved, g.doc->saveAs(dir.path("a.fm")));
    DocFixture h;
    ASSERT_TRUE(h.doc->onOpenDocument(dir.path("a.fm")));
    ASSERT_EQ(CFacetoDoc::SaveAsResult::Saved, h.doc->saveAs(dir.path("b.mdl")));
    EXPECT_EQ(first, readBytes(dir.path("b.mdl")));

    // Quake 2 has no animated skins: skins 1 and 2 are left out, skin 3 is written as the second.
    ASSERT_EQ(CFacetoDoc::SaveAsResult::Saved, h.doc->saveAs(dir.path("c.md2")));
    bool said = false;
    for (const std::string& note : h.host.messages) {
        said = said ||
               note.find("the skin group of skins 0 to 2 keeps only its first picture") != std::string::npos;
    }
    EXPECT_TRUE(said);
    EXPECT_TRUE(std::filesystem::exists(dir.path("skin0.PCX")));
    EXPECT_TRUE(std::filesystem::exists(dir.path("skin1.PCX")));
    EXPECT_FALSE(std::filesystem::exists(dir.path("skin2.PCX")));
    DocFixture q2;
    ASSERT_TRUE(q2.doc->onOpenDocument(dir.path("c.md2")));
    ASSERT_EQ(2u, q2.doc->model().skins.size());
    EXPECT_EQ(13, q2.doc->model().skins[1].pixels[0]);
}
