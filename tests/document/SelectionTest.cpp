#include "document/Selection.h"

#include "TestSupport.h"
#include "document/DocumentEdit.h"

using namespace faceto;
using namespace faceto::test;

TEST(Selection, SelectAllAndNoneLeaveHiddenVerticesAlone) {
    DocFixture f;
    loadInto(*f.doc, makeModel(4, {tri(0, 1, 2), tri(1, 2, 3)}));
    auto& infos = DocumentEdit::model(*f.doc).vertexInfos;
    infos[1].flags = VERTEX_SELECTED; // hidden, selected
    infos[2].flags = 0;               // hidden, not selected
    infos[3].flags = VERTEX_VISIBLE | VERTEX_MARKED;
    f.doc->selectAll();
    EXPECT_EQ(VERTEX_VISIBLE | VERTEX_SELECTED, infos[0].flags);
    EXPECT_EQ(VERTEX_SELECTED, infos[1].flags);
    EXPECT_EQ(0, infos[2].flags);
    EXPECT_EQ(VERTEX_VISIBLE | VERTEX_SELECTED, infos[3].flags);
    infos[0].flags |= VERTEX_MARKED;
    f.doc->selectNone();
    EXPECT_EQ(VERTEX_VISIBLE, infos[0].flags);
    EXPECT_EQ(VERTEX_SELECTED, infos[1].flags);
    EXPECT_EQ(VERTEX_VISIBLE, infos[3].flags);
    EXPECT_EQ(2, f.host.updates);
}

TEST(Selection, ScaleWorksAboutTheSelectionCentreInTheGivenFrame) {
    ModelData data = makeModel(3, {tri(0, 1, 2)}, 2);
    Model& model = data.model;
    Frame& frame = data.frames[0];
    frame.positions[0] = {0, 0, 0};
    frame.positions[1] = {4, 2, 10};
    frame.positions[2] = {100, 100, 100};
    model.vertexInfos[0].flags |= VERTEX_SELECTED;
    model.vertexInfos[1].flags |= VERTEX_SELECTED;
    model.vertexInfos[2].flags = VERTEX_SELECTED; // hidden: takes no part
    scaleSelection(model, frame, {1.0f, 1.0f, 2.0f});
    EXPECT_EQ(0.0f, frame.positions[0].x);
    EXPECT_EQ(-5.0f, frame.positions[0].z);
    EXPECT_EQ(15.0f, frame.positions[1].z);
    EXPECT_EQ(2.0f, frame.positions[1].y);
    EXPECT_EQ(100.0f, frame.positions[2].z);
    EXPECT_EQ(data.frames[1].positions[1].z, 11.0f); // other frames untouched

    // A single selected vertex is its own centre.
    model.vertexInfos[1].flags &= ~VERTEX_SELECTED;
    scaleSelection(model, frame, {3.0f, 3.0f, 3.0f});
    EXPECT_EQ(-5.0f, frame.positions[0].z);
    // No selection: nothing moves.
    model.vertexInfos[0].flags &= ~VERTEX_SELECTED;
    scaleSelection(model, frame, {3.0f, 3.0f, 3.0f});
    EXPECT_EQ(15.0f, frame.positions[1].z);
}
