#include "views/Tools.h"

#include "TestSupport.h"
#include "document/DocumentEdit.h"
#include "document/EditOperations.h"
#include "document/Selection.h"

using namespace faceto;
using namespace faceto::test;

TEST(Tools, ShiftRotationRoundsToTheNearestStepInEveryView) {
    EXPECT_EQ(23, RotateTool::degrees(23.0, false));
    EXPECT_EQ(30, RotateTool::degrees(23.0, true)); // nearest, not truncated
    EXPECT_EQ(15, RotateTool::degrees(22.0, true));
    EXPECT_EQ(-30, RotateTool::degrees(-23.0, true));
    EXPECT_EQ(0, RotateTool::degrees(7.4, true));
    EXPECT_EQ(8, RotateTool::degrees(7.6, false)); // the skin view's pointer moves in fractions
}

TEST(Tools, ScaleFollowsTheLargerMotionWithTheLeftButtonAndEachAxisWithTheRight) {
    EXPECT_EQ((std::array<float, 2>{1.1f, 1.1f}), ScaleTool::factors(5, -2, true, false));   // right wins
    EXPECT_EQ((std::array<float, 2>{0.9f, 0.9f}), ScaleTool::factors(1, -4, true, false));   // down wins
    EXPECT_EQ((std::array<float, 2>{1.02f, 0.98f}), ScaleTool::factors(3, -3, false, true)); // fine
    EXPECT_EQ((std::array<float, 2>{1.0f, 1.0f}), ScaleTool::factors(0, 0, true, false));
    EXPECT_EQ((std::array<float, 2>{1.0f, 1.1f}), ScaleTool::factors(0, 2, false, false));
}

TEST(SelectionOperations, MarksBecomeTheSelectionAndTrianglesToggle) {
    DocFixture f;
    ModelData data = makeModel(4, {tri(0, 1, 2), tri(1, 3, 2)}, 1);
    loadInto(*f.doc, data);
    auto& infos = DocumentEdit::model(*f.doc).vertexInfos;
    const auto selected = [&] {
        std::vector<int> out;
        for (size_t v = 0; v < infos.size(); ++v) {
            if (infos[v].selected()) {
                out.push_back(int(v));
            }
        }
        return out;
    };
    const size_t noticesBefore = f.host.notices.size();
    markVertices(*f.doc, {0, 2});
    EXPECT_TRUE(infos[0].marked() && infos[2].marked());
    markOnly(*f.doc, {1, 2}); // a rectangle drawn again: exactly what is inside it
    EXPECT_FALSE(infos[0].marked());
    EXPECT_TRUE(infos[1].marked());
    endMarks(*f.doc, MarksBecome::Selected);
    EXPECT_EQ((std::vector<int>{1, 2}), selected());
    EXPECT_FALSE(infos[1].marked());
    markVertices(*f.doc, {2, 3});
    endMarks(*f.doc, MarksBecome::Toggled);
    EXPECT_EQ((std::vector<int>{1, 3}), selected());
    markVertices(*f.doc, {0});
    endMarks(*f.doc, MarksBecome::Nothing);
    EXPECT_EQ((std::vector<int>{1, 3}), selected());
    EXPECT_FALSE(infos[0].marked());
    // Each tells the views: a selection notice each, and no step of the history.
    ASSERT_EQ(noticesBefore + 7, f.host.notices.size());
    EXPECT_EQ(change::SELECTION, f.host.notices.back().what);
    EXPECT_FALSE(f.doc->history().canUndo());

    // A triangle click selects the triangle, a second one unselects it; a hidden vertex is not selected.
    f.doc->selectNone();
    infos[3].flags &= ~VERTEX_VISIBLE;
    toggleTriangle(*f.doc, 1);
    EXPECT_EQ((std::vector<int>{1, 2}), selected());
    infos[3].flags |= VERTEX_VISIBLE;
    toggleTriangle(*f.doc, 1); // not whole yet: its last vertex joins
    EXPECT_EQ((std::vector<int>{1, 2, 3}), selected());
    toggleTriangle(*f.doc, 1);
    EXPECT_EQ((std::vector<int>{}), selected());
    toggleTriangle(*f.doc, -1); // nothing under the pointer
    toggleTriangle(*f.doc, 9);
    EXPECT_EQ((std::vector<int>{}), selected());
}
