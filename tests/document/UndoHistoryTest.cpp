#include "TestSupport.h"
#include "document/DocumentEdit.h"
#include "document/EditCommands.h"
#include "document/FrameClipboard.h"
#include "document/FrameOperations.h"
#include "document/Selection.h"
#include "formats/NativeFormat.h"

#include <numeric>
#include <random>

using namespace faceto;
using namespace faceto::test;

namespace {

// Everything of a document that an edit may touch, field by field (the native file leaves some out).
struct Snapshot {
    ByteBuffer file;
    std::vector<std::array<int32_t, 5>> triangleWords; // cornerAux and spare, which the file does not keep
    std::vector<std::tuple<std::string, int32_t, int32_t, int32_t>> groups;
    std::vector<std::pair<int32_t, int32_t>> edges;
    std::vector<std::pair<std::string, std::vector<int32_t>>> animations;

    explicit Snapshot(const CFacetoDoc& doc) : file(encodeNative(doc.model(), doc.frames(), doc.source())) {
        for (const Triangle& t : doc.model().triangles) {
            triangleWords.push_back({t.cornerAux[0], t.cornerAux[1], t.cornerAux[2], t.spare, t.color});
        }
        for (const Group& g : doc.model().groups) {
            groups.emplace_back(g.name, g.color, g.flags, g.tag);
        }
        for (const Edge& e : doc.model().edges) {
            edges.emplace_back(e.first, e.second);
        }
        for (const Animation& a : doc.animations()) {
            animations.emplace_back(a.name, a.frameIndices);
        }
    }
    bool operator==(const Snapshot&) const = default;
};

// A sheet of `columns` x `rows` vertices in `frames` frames named run1.., walk1.., with groups.
ModelData sheet(int columns, int rows, int frameCount) {
    std::vector<Triangle> triangles;
    for (int y = 0; y + 1 < rows; ++y) {
        for (int x = 0; x + 1 < columns; ++x) {
            const int32_t a = y * columns + x;
            triangles.push_back(tri(a, a + 1, a + columns));
            triangles.push_back(tri(a + 1, a + columns + 1, a + columns));
        }
    }
    for (size_t t = 0; t < triangles.size(); ++t) {
        triangles[t].group = int32_t(t % 3);
        triangles[t].cornerAux = {int32_t(t), 1, 2};
        triangles[t].st = {{{float(t), 1}, {2, 3}, {4, 5}}};
    }
    ModelData data = makeModel(columns * rows, triangles, frameCount);
    for (int f = 0; f < frameCount; ++f) {
        data.frames[size_t(f)].name = (f < frameCount / 2 ? "run" : "walk") + std::to_string(f + 1);
    }
    for (int g = 0; g < 3; ++g) {
        Group group;
        group.name = "group " + std::to_string(g + 1);
        group.flags = GROUP_VISIBLE;
        group.color = GROUP_COLORS[size_t(g)];
        data.model.groups.push_back(group);
    }
    return data;
}

void selectRandomly(CFacetoDoc& doc, std::mt19937& rng) {
    for (VertexInfo& info : DocumentEdit::model(doc).vertexInfos) {
        info.flags = (info.flags & ~VERTEX_SELECTED) | (rng() % 3 == 0 ? VERTEX_SELECTED : 0);
    }
}

// One random edit of the kinds the editor makes, through the document as the editor does.
void randomEdit(CFacetoDoc& doc, FrameClipboard& clipboard, std::mt19937& rng) {
    if (doc.currentFrame() == nullptr) {
        selectFrameByName(doc,
                          doc.frames()[rng() % doc.frames().size()].name); // as a click in the frame list
    }
    switch (rng() % 7) {
    case 0: { // a drag of the selection: several moves that join into one step
        selectRandomly(doc, rng);
        const uint64_t gesture = doc.newGesture();
        for (int move = 0; move < 3; ++move) {
            const Frame& frame = *doc.currentFrame();
            std::vector<int32_t> vertices;
            std::vector<FrameVertex> after;
            for (size_t v = 0; v < frame.positions.size(); ++v) {
                if (doc.model().vertexInfos[v].selected() && doc.model().vertexInfos[v].visible()) {
                    vertices.push_back(int32_t(v));
                    FrameVertex p = frame.positions[v];
                    p.x += 1.5f;
                    p.z -= 0.25f;
                    after.push_back(p);
                }
            }
            doc.run(std::make_unique<ChangePositions>(doc, "Move Vertices", doc.currentFramePosition(),
                                                      std::move(vertices), std::move(after), gesture));
        }
        break;
    }
    case 1: {
        selectRandomly(doc, rng);
        VertexPositions scaled = scaledSelection(doc.model(), *doc.currentFrame(), {1.1f, 0.9f, 1.0f});
        doc.run(std::make_unique<ChangePositions>(doc, "Scale Vertices", doc.currentFramePosition(),
                                                  std::move(scaled.vertices), std::move(scaled.positions)));
        break;
    }
    case 2: { // cut a frame of the current animation
        const Animation* animation = doc.currentAnimation();
        if (animation != nullptr && animation->frameIndices.size() > 1) {
            const int32_t f = animation->frameIndices[rng() % animation->frameIndices.size()];
            cutFrameAt(doc, clipboard, f);
        }
        break;
    }
    case 3: { // copy a frame and insert it somewhere in the current animation
        copyFrame(doc, clipboard);
        const Animation* animation = doc.currentAnimation();
        if (animation != nullptr && !animation->frameIndices.empty()) {
            const std::string name =
                doc.frames()[size_t(animation->frameIndices[rng() % animation->frameIndices.size()])].name;
            insertFrame(doc, clipboard, rng() % 2 ? InsertPlace::Before : InsertPlace::After, name);
        }
        break;
    }
    case 4: // copy some triangles and paste them back
        selectRandomly(doc, rng);
        clipboard.copySelection(doc);
        clipboard.pasteInto(doc);
        break;
    case 5:
        selectRandomly(doc, rng);
        clipboard.cutSelection(doc);
        break;
    default:
        toggleGroupVisibility(doc, int(rng() % std::max<size_t>(1, doc.model().groups.size())));
        break;
    }
}

} // namespace

TEST(UndoHistory, RandomEditsUndoToTheStartAndRedoToTheEnd) {
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        std::mt19937 rng(seed);
        DocFixture f;
        loadInto(*f.doc, sheet(40, 30, 8));
        FrameClipboard clipboard;
        const Snapshot start(*f.doc);
        for (int i = 0; i < 40; ++i) {
            randomEdit(*f.doc, clipboard, rng);
        }
        const Snapshot end(*f.doc);
        const size_t steps = f.doc->history().position();
        while (f.doc->undo()) {
        }
        ASSERT_EQ(start.file, Snapshot(*f.doc).file) << "seed " << seed;
        ASSERT_TRUE(start == Snapshot(*f.doc)) << "seed " << seed;
        EXPECT_FALSE(f.doc->isModified());
        while (f.doc->redo()) {
        }
        EXPECT_EQ(steps, f.doc->history().position());
        ASSERT_EQ(end.file, Snapshot(*f.doc).file) << "seed " << seed;
        ASSERT_TRUE(end == Snapshot(*f.doc)) << "seed " << seed;
    }
}

TEST(UndoHistory, ADragIsOneStepAndKeepsOnlyWhatItMoved) {
    DocFixture f;
    loadInto(*f.doc, sheet(100, 100, 10)); // 10,000 vertices in 10 frames
    for (int v = 0; v < 100; ++v) {
        DocumentEdit::model(*f.doc).vertexInfos[size_t(v)].flags |= VERTEX_SELECTED;
    }
    const uint64_t gesture = f.doc->newGesture();
    std::vector<int32_t> vertices(100);
    std::iota(vertices.begin(), vertices.end(), 0);
    for (int move = 1; move <= 20; ++move) {
        std::vector<FrameVertex> after(100, FrameVertex{float(move), 0, 0});
        f.doc->run(std::make_unique<ChangePositions>(*f.doc, "Move Vertices", 0, vertices, after, gesture));
    }
    EXPECT_EQ(1u, f.doc->history().size());
    EXPECT_EQ("Move Vertices", f.doc->history().undoName());
    // 100 positions before and after and their indices, not the 10,000 x 10 of the model.
    // (and the selection of the 100 vertices that was made before the drag)
    EXPECT_LT(f.doc->history().memoryBytes(), 100u * (12 + 12 + 4 + 12) + 1024);
    EXPECT_EQ(20.0f, f.doc->frames()[0].positions[5].x);
    f.doc->undo();
    EXPECT_EQ(5.0f, f.doc->frames()[0].positions[5].x);

    // Another drag is another step, and a new step after an undo drops what could be redone.
    f.doc->redo();
    f.doc->run(std::make_unique<ChangePositions>(*f.doc, "Move Vertices", 0, vertices,
                                                 std::vector<FrameVertex>(100), f.doc->newGesture()));
    EXPECT_EQ(2u, f.doc->history().size());
    f.doc->undo();
    f.doc->undo();
    moveVertex(*f.doc, 7, {1, 1, 1});
    EXPECT_EQ(1u, f.doc->history().size());
    EXPECT_FALSE(f.doc->history().canRedo());
}

TEST(UndoHistory, TheModifiedFlagFollowsTheSavedStep) {
    TempDir dir;
    DocFixture f;
    loadInto(*f.doc, sheet(4, 4, 2));
    EXPECT_FALSE(f.doc->isModified());
    moveVertex(*f.doc, 0, {9, 9, 9});
    EXPECT_TRUE(f.doc->isModified());
    f.doc->undo();
    EXPECT_FALSE(f.doc->isModified()); // back where it was opened
    f.doc->redo();
    ASSERT_EQ(CFacetoDoc::SaveAsResult::Saved, f.doc->saveAs(dir.path("m.fm")));
    EXPECT_FALSE(f.doc->isModified());
    f.doc->undo();
    EXPECT_TRUE(f.doc->isModified()); // the saved state is one step ahead
    f.doc->redo();
    EXPECT_FALSE(f.doc->isModified());
    // An export is not the document's file: it leaves the flag alone.
    moveVertex(*f.doc, 1, {8, 8, 8});
    ASSERT_EQ(CFacetoDoc::SaveAsResult::Saved, f.doc->saveAs(dir.path("m.asc")));
    EXPECT_TRUE(f.doc->isModified());
    // Once the saved state cannot come back, the document stays modified.
    f.doc->undo();
    f.doc->undo();
    moveVertex(*f.doc, 2, {7, 7, 7});
    EXPECT_TRUE(f.doc->isModified());
    f.doc->undo();
    EXPECT_TRUE(f.doc->isModified());
}

TEST(UndoHistory, UndoRestoresTheSelectionTheStepStartedFrom) {
    DocFixture f;
    loadInto(*f.doc, makeModel(4, {tri(0, 1, 2), tri(1, 2, 3)}, 1));
    DocumentEdit::model(*f.doc).vertexInfos[0].flags |= VERTEX_SELECTED;
    moveVertex(*f.doc, 0, {5, 5, 5});
    // Select another vertex and cut the selection: both changes go back with one undo.
    f.doc->selectAll();
    FrameClipboard clipboard;
    clipboard.cutSelection(*f.doc);
    EXPECT_EQ(0, f.doc->model().vertexCount());
    f.doc->undo();
    ASSERT_EQ(4, f.doc->model().vertexCount());
    EXPECT_TRUE(f.doc->model().vertexInfos[0].selected());
    EXPECT_FALSE(f.doc->model().vertexInfos[3].selected());
    f.doc->redo();
    EXPECT_EQ(0, f.doc->model().vertexCount());
}

TEST(UndoHistory, OldStepsAreDroppedPastTheCap) {
    DocFixture f;
    loadInto(*f.doc, makeModel(3, {tri(0, 1, 2)}, 1));
    for (int i = 0; i < int(UndoHistory::MAX_STEPS) + 20; ++i) {
        moveVertex(*f.doc, 0, {float(i), 0, 0});
    }
    EXPECT_EQ(UndoHistory::MAX_STEPS, f.doc->history().size());
    while (f.doc->undo()) {
    }
    EXPECT_EQ(19.0f, f.doc->frames()[0].positions[0].x); // the first 20 steps are gone
    EXPECT_TRUE(f.doc->isModified());                    // and with them the state as opened
}

TEST(UndoHistory, GoingToAStepUndoesOrRedoesToIt) {
    DocFixture f;
    loadInto(*f.doc, makeModel(3, {tri(0, 1, 2)}, 1));
    for (int i = 1; i <= 5; ++i) {
        moveVertex(*f.doc, 0, {float(i), 0, 0});
    }
    f.doc->goToStep(2);
    EXPECT_EQ(2.0f, f.doc->frames()[0].positions[0].x);
    EXPECT_EQ(2u, f.doc->history().position());
    f.doc->goToStep(4);
    EXPECT_EQ(4.0f, f.doc->frames()[0].positions[0].x);
    f.doc->goToStep(0);
    EXPECT_EQ(0.0f, f.doc->frames()[0].positions[0].x);
    EXPECT_EQ("Move Vertices", f.doc->history().redoName());
}

// Each change says what it touched: a drag's steps their frame's positions (the first one a new step
// of the history and the modified flag), an undo the history and the selection it takes back too.
TEST(ChangeNotices, SayWhatAChangeTouched) {
    DocFixture f;
    CFacetoDoc& doc = *f.doc;
    loadInto(doc, makeModel(3, {tri(0, 1, 2)}, 2));
    f.host.notices.clear();
    const uint64_t gesture = doc.newGesture();
    for (float x : {1.0f, 2.0f}) {
        doc.run(std::make_unique<ChangePositions>(doc, "Move Vertices", 1, std::vector<int32_t>{0},
                                                  std::vector<FrameVertex>{{x, 0, 0}}, gesture));
    }
    ASSERT_EQ(2u, f.host.notices.size());
    EXPECT_EQ(change::POSITIONS | change::HISTORY | change::FILE, f.host.notices[0].what);
    EXPECT_EQ(1, f.host.notices[0].frame);
    EXPECT_EQ(change::POSITIONS, f.host.notices[1].what); // joined into the step: nothing else changed
    EXPECT_TRUE(f.host.notices[1].onlyPositionsOfAnotherFrame(0));
    EXPECT_FALSE(f.host.notices[1].onlyPositionsOfAnotherFrame(1));

    doc.selectAll();
    EXPECT_EQ(change::SELECTION, f.host.notices.back().what);
    doc.undo();
    const ChangeNotice undone = f.host.notices.back();
    EXPECT_TRUE(undone.touches(change::POSITIONS));
    EXPECT_TRUE(undone.touches(change::HISTORY));
    EXPECT_TRUE(undone.touches(change::SELECTION));
    EXPECT_TRUE(undone.touches(change::FILE)); // back at the state loaded
    EXPECT_FALSE(undone.touches(change::TOPOLOGY));
    EXPECT_EQ(-1, undone.frame);
}
