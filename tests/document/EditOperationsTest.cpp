// The edits of the Edit, group and primitives commands on the document, below the editor's windows.
#include "document/EditOperations.h"

#include "TestSupport.h"
#include "document/DocumentEdit.h"

#include <map>

using namespace faceto;
using namespace faceto::test;

namespace {

FrameVertex minus(const FrameVertex& a, const FrameVertex& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
FrameVertex cross(const FrameVertex& a, const FrameVertex& b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
float dot(const FrameVertex& a, const FrameVertex& b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

} // namespace

// Each solid is closed (every edge joins two of its triangles, once in each direction) and its triangles
// run clockwise seen from outside, as the camera view draws front faces; it is added in every frame.
TEST(EditOperations, PrimitivesAreClosedAndFaceOutwardInEveryFrame) {
    for (Primitive shape : {Primitive::Cube, Primitive::Cone, Primitive::Cylinder, Primitive::Sphere}) {
        DocFixture f;
        loadInto(*f.doc, makeModel(3, {tri(0, 1, 2)}, 2));
        const size_t groupsBefore = f.doc->model().groups.size();
        const std::array<float, 3> centre{10, 20, 30};
        addPrimitive(*f.doc, shape, centre, 4.0f);
        const Model& model = f.doc->model();
        ASSERT_GT(model.triangleCount(), 1);
        std::map<std::pair<int32_t, int32_t>, int> directed;
        for (int32_t t = 1; t < model.triangleCount(); ++t) {
            const Triangle& tri = model.triangles[size_t(t)];
            EXPECT_EQ(int32_t(groupsBefore), tri.group); // a group of its own
            for (int c = 0; c < 3; ++c) {
                ++directed[{tri.v[size_t(c)], tri.v[size_t((c + 1) % 3)]}];
            }
            const auto& p = f.doc->frames()[1].positions;
            const FrameVertex a = p[size_t(tri.v[0])], b = p[size_t(tri.v[1])], c = p[size_t(tri.v[2])];
            const FrameVertex middle{(a.x + b.x + c.x) / 3, (a.y + b.y + c.y) / 3, (a.z + b.z + c.z) / 3};
            // Clockwise from outside: the right-hand normal points inwards.
            EXPECT_LT(dot(cross(minus(b, a), minus(c, a)), minus(middle, FrameVertex{10, 20, 30})), 0.0f)
                << int(shape) << " triangle " << t;
        }
        for (const auto& [edge, count] : directed) {
            EXPECT_EQ(1, count);
            EXPECT_EQ(1, directed.count({edge.second, edge.first})) << int(shape);
        }
        for (const Frame& frame : f.doc->frames()) {
            ASSERT_EQ(size_t(model.vertexCount()), frame.positions.size());
        }
        // The new shape is the selection; the old triangle is not.
        EXPECT_FALSE(model.vertexInfos[0].selected());
        EXPECT_TRUE(model.vertexInfos[3].selected());
        f.doc->undo();
        EXPECT_EQ(3, f.doc->model().vertexCount());
        EXPECT_EQ(groupsBefore, f.doc->model().groups.size());
    }
}

TEST(EditOperations, DeletingAGroupRenumbersTheLaterOnesAndKeepsSharedVertices) {
    DocFixture f;
    ModelData data = makeModel(5, {tri(0, 1, 2), tri(1, 2, 3), tri(2, 3, 4)}, 2);
    for (int t = 0; t < 3; ++t) {
        data.model.triangles[size_t(t)].group = t;
    }
    data.model.groups.resize(3);
    data.model.groups[0].name = "a";
    data.model.groups[1].name = "b";
    data.model.groups[2].name = "c";
    loadInto(*f.doc, data);
    deleteGroup(*f.doc, 1);
    const Model& model = f.doc->model();
    ASSERT_EQ(2, model.triangleCount());
    EXPECT_EQ(5, model.vertexCount()); // every vertex is still used by a or c
    EXPECT_EQ(0, model.triangles[0].group);
    EXPECT_EQ(1, model.triangles[1].group);
    ASSERT_EQ(2u, model.groups.size());
    EXPECT_EQ("c", model.groups[1].name);
    deleteGroup(*f.doc, 0); // vertices 0 and 1 are used by nothing else
    EXPECT_EQ(3, f.doc->model().vertexCount());
    EXPECT_EQ(3u, f.doc->frames()[1].positions.size());
    f.doc->undo();
    f.doc->undo();
    EXPECT_EQ(3, f.doc->model().triangleCount());
    EXPECT_EQ("b", f.doc->model().groups[1].name);
    EXPECT_EQ(1, f.doc->model().triangles[1].group);
}

TEST(EditOperations, HidingFollowsTheGroupsAndInvertLeavesHiddenVerticesAlone) {
    DocFixture f;
    ModelData data = makeModel(6, {tri(0, 1, 2), tri(3, 4, 5)}, 1);
    data.model.triangles[1].group = 1;
    data.model.groups.resize(2);
    for (Group& g : data.model.groups) {
        g.flags = GROUP_VISIBLE;
    }
    loadInto(*f.doc, data);
    auto& infos = DocumentEdit::model(*f.doc).vertexInfos;
    for (int v : {3, 4, 5}) {
        infos[size_t(v)].flags |= VERTEX_SELECTED;
    }
    hideSelected(*f.doc);
    EXPECT_EQ(0, f.doc->model().groups[1].flags & GROUP_VISIBLE);
    EXPECT_NE(0, f.doc->model().groups[0].flags & GROUP_VISIBLE);
    invertSelection(*f.doc);
    for (int v = 0; v < 6; ++v) {
        EXPECT_EQ(v < 3, f.doc->model().vertexInfos[size_t(v)].selected()) << v;
    }
    showAll(*f.doc);
    EXPECT_NE(0, f.doc->model().groups[1].flags & GROUP_VISIBLE);
    EXPECT_TRUE(f.doc->model().vertexInfos[4].visible());
    // Showing what is shown makes no step.
    const size_t steps = f.doc->history().position();
    showAll(*f.doc);
    EXPECT_EQ(steps, f.doc->history().position());
}
