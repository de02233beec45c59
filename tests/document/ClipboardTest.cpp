#include "TestSupport.h"
#include "document/DocumentEdit.h"
#include "document/EditOperations.h"
#include "document/FrameClipboard.h"
#include "formats/NativeFormat.h"

using namespace faceto;
using namespace faceto::test;

namespace {

void selectVertices(CFacetoDoc& doc, std::initializer_list<int> vertices) {
    for (int v : vertices) {
        DocumentEdit::model(doc).vertexInfos[size_t(v)].flags |= VERTEX_SELECTED;
    }
}

} // namespace

TEST(Clipboard, StartsEmptyWithItsNames) {
    FrameClipboard clipboard;
    EXPECT_EQ(FrameClipboard::EMPTY, clipboard.kind());
    EXPECT_EQ("BaseClipBoard", clipboard.model().name);
    EXPECT_EQ("ClipBoard", clipboard.frame().name);
    DocFixture f;
    loadInto(*f.doc, makeModel(3, {tri(0, 1, 2)}, 2));
    clipboard.pasteInto(*f.doc); // nothing to paste
    EXPECT_EQ(3, f.doc->model().vertexCount());
}

TEST(Clipboard, CopySharesVerticesOfAdjacentTriangles) {
    DocFixture f;
    loadInto(*f.doc, makeModel(6, {tri(0, 1, 2), tri(5, 4, 3), tri(2, 1, 3)}, 2));
    f.doc->setCurrentFrame(1);
    selectVertices(*f.doc, {1, 2, 3, 0});
    FrameClipboard clipboard;
    clipboard.copySelection(*f.doc);
    EXPECT_EQ(FrameClipboard::GEOMETRY, clipboard.kind());
    ASSERT_EQ(4, clipboard.model().vertexCount());
    ASSERT_EQ(2, clipboard.model().triangleCount());
    EXPECT_EQ((std::array<int32_t, 3>{0, 1, 2}), clipboard.model().triangles[0].v);
    EXPECT_EQ((std::array<int32_t, 3>{2, 1, 3}), clipboard.model().triangles[1].v);
    ASSERT_EQ(4u, clipboard.frame().positions.size());
    EXPECT_EQ(1.0f, clipboard.frame().positions[3].y); // positions of the current frame
    EXPECT_EQ(31.0f, clipboard.frame().positions[3].z);
}

TEST(Clipboard, CopyOfNoWholeTriangleKeepsTheClipboard) {
    DocFixture f;
    loadInto(*f.doc, makeModel(4, {tri(0, 1, 2), tri(1, 2, 3)}));
    FrameClipboard clipboard;
    clipboard.storeFrame(*f.doc, f.doc->frames()[0]);
    selectVertices(*f.doc, {0, 1}); // no triangle has all three selected
    clipboard.copySelection(*f.doc);
    EXPECT_EQ(FrameClipboard::FRAME, clipboard.kind());
    EXPECT_EQ(4, clipboard.model().vertexCount());
    EXPECT_EQ(4u, clipboard.frame().positions.size());
}

TEST(Clipboard, PasteAddsAGroupAndTheVerticesToEveryFrame) {
    DocFixture source;
    loadInto(*source.doc, makeModel(3, {tri(0, 1, 2)}));
    selectVertices(*source.doc, {0, 1, 2});
    FrameClipboard clipboard;
    clipboard.copySelection(*source.doc);

    DocFixture target;
    ModelData data = makeModel(4, {tri(0, 1, 2), tri(1, 2, 3)}, 5);
    loadInto(*target.doc, std::move(data));
    DocumentEdit::model(*target.doc).groups.resize(1);
    clipboard.pasteInto(*target.doc);
    clipboard.pasteInto(*target.doc);
    Model& model = DocumentEdit::model(*target.doc);
    EXPECT_EQ(10, model.vertexCount());
    ASSERT_EQ(3u, model.groups.size());
    EXPECT_EQ("group 2", model.groups[1].name);
    EXPECT_EQ("group 3", model.groups[2].name);
    EXPECT_EQ(212, model.groups[1].color);
    EXPECT_EQ(25, model.groups[2].color);
    EXPECT_EQ(2, model.groups[1].flags);
    EXPECT_EQ((std::array<int32_t, 3>{4, 5, 6}), model.triangles[2].v);
    EXPECT_EQ((std::array<int32_t, 3>{7, 8, 9}), model.triangles[3].v);
    EXPECT_EQ(2, model.triangles[3].group);
    EXPECT_EQ(25, model.triangles[3].color);
    for (const Frame& frame : target.doc->frames()) {
        EXPECT_EQ(20.0f, frame.positions[6].z); // the clipboard frame's position, in all five frames
    }
    EXPECT_TRUE(modelIsConsistent(*target.doc));
    EXPECT_EQ(literalEdges(model).size(), model.edges.size());
    EXPECT_TRUE(target.doc->isModified());
}

TEST(Clipboard, CutRemovesSelectedTrianglesAndUnusedVertices) {
    DocFixture f;
    // Vertex 6 is used by no triangle before the cut; it goes as well.
    loadInto(*f.doc, makeModel(7, {tri(0, 1, 2), tri(2, 3, 4), tri(3, 4, 5)}, 3));
    selectVertices(*f.doc, {2, 3, 4});
    DocumentEdit::model(*f.doc).vertexInfos[0].flags |= VERTEX_MARKED;
    FrameClipboard clipboard;
    clipboard.cutSelection(*f.doc);
    Model& model = DocumentEdit::model(*f.doc);
    ASSERT_EQ(2, model.triangleCount());
    EXPECT_EQ((std::array<int32_t, 3>{0, 1, 2}), model.triangles[0].v);
    EXPECT_EQ((std::array<int32_t, 3>{3, 4, 5}), model.triangles[1].v);
    EXPECT_EQ(6, model.vertexCount());
    for (const VertexInfo& info : model.vertexInfos) {
        EXPECT_EQ(VERTEX_VISIBLE, info.flags);
    }
    EXPECT_EQ(50.0f, f.doc->frames()[0].positions[5].z);
    EXPECT_EQ(3, clipboard.model().vertexCount());
    EXPECT_TRUE(modelIsConsistent(*f.doc));
}

TEST(Clipboard, CutOfEverythingLeavesAnEmptyMeshAndEmptyFrames) {
    DocFixture f;
    loadInto(*f.doc, makeModel(4, {tri(0, 1, 2), tri(1, 2, 3)}, 2));
    f.doc->selectAll();
    FrameClipboard clipboard;
    clipboard.cutSelection(*f.doc);
    EXPECT_EQ(0, f.doc->model().vertexCount());
    EXPECT_EQ(0, f.doc->model().triangleCount());
    EXPECT_TRUE(f.doc->model().edges.empty());
    EXPECT_TRUE(f.doc->frames()[1].positions.empty());
}

TEST(Clipboard, CutMatchesLiteralRemovalOnRandomSelections) {
    std::mt19937 rng(5);
    for (int round = 0; round < 80; ++round) {
        const int32_t vertexCount = 4 + int32_t(rng() % 40);
        ModelData data =
            makeModel(vertexCount, randomTriangles(rng, vertexCount, int32_t(rng() % 60), true), 3);
        for (VertexInfo& info : data.model.vertexInfos) {
            info.flags = int32_t(rng() % 8);
        }
        ModelData expected = data;
        literalRemoveSelected(expected.model, expected.frames);
        DocFixture f;
        loadInto(*f.doc, data);
        const ByteBuffer before = encodeNative(f.doc->model(), f.doc->frames(), f.doc->source());
        f.doc->run(deleteSelectedTriangles(*f.doc, "Cut"));
        const ModelData& cut = ModelData{f.doc->model(), f.doc->frames(), f.doc->source(), {}};
        data = cut;
        // The step undoes to the very bytes it started from, and redoes to the same result.
        ASSERT_TRUE(f.doc->undo());
        ASSERT_EQ(before, encodeNative(f.doc->model(), f.doc->frames(), f.doc->source()));
        ASSERT_TRUE(f.doc->redo());
        ASSERT_EQ(encodeNative(data.model, data.frames, data.source),
                  encodeNative(f.doc->model(), f.doc->frames(), f.doc->source()));
        ASSERT_EQ(expected.model.vertexCount(), data.model.vertexCount());
        for (size_t v = 0; v < expected.model.vertexInfos.size(); ++v) {
            ASSERT_EQ(expected.model.vertexInfos[v].flags, data.model.vertexInfos[v].flags);
        }
        ASSERT_EQ(expected.model.triangleCount(), data.model.triangleCount());
        for (size_t t = 0; t < expected.model.triangles.size(); ++t) {
            ASSERT_EQ(expected.model.triangles[t].v, data.model.triangles[t].v);
        }
        for (size_t fr = 0; fr < 3; ++fr) {
            for (size_t v = 0; v < expected.frames[fr].positions.size(); ++v) {
                ASSERT_EQ(expected.frames[fr].positions[v].z, data.frames[fr].positions[v].z);
            }
        }
    }
}
