#include "TestSupport.h"
#include "formats/ThreeDoReader.h"

using namespace faceto;
using namespace faceto::test;

namespace {

std::vector<uint8_t> text(const std::string& s) {
    return {s.begin(), s.end()};
}

// Two meshes in geometry set 0 (a quad and a triangle), a second set that must be ignored, and a
// two-node hierarchy.
const char* const TWO_MESHES = R"(# MODEL test.3do
SECTION: HEADER
3DO 2.1
SECTION: GEOMETRYDEF
GEOSETS 2
GEOSET 0
MESHES 2 # a comment after the value
MESH 0
NAME base
VERTICES 4
# num: x: y: z: i:
0: 0.001 0 0 0
1: 0.002 0 0 0
2: 0.002 0.001 0 0
3: 0 0.001 0 0
TEXTURE VERTICES 1
0: 0 0
FACES 1
0: 0 0x0 4 3 1 0 4 0, 0 1, 0 2, 0 3, 0
mesh 1
name Top
vertices 3
0: 0 0 0.001 0
1: 0.001 0 0.001 0
2: 0 0.001 0.001 0
faces 1
0: 0 0x0 4 3 1 0.5 3 0, 0 1, 0 2, 0
GEOSET 1
MESHES 1
MESH 0
VERTICES 1
0: 9 9 9 0
FACES 0
SECTION: HIERARCHYDEF
HIERARCHY NODES 2
# num: flags: type: mesh: parent: child: sibling: numChildren: x: y: z: pitch: yaw: roll: pivotx: pivoty: pivotz: hnodename:
0: 0x0 0x1 0 -1 1 -1 1 0.01 0 0 0 0 0 0 0 0.002 root
1: 0x0 0x1 1 0 -1 -1 0 0 0.02 0 90 0 0 0.001 0 0 child
)";

} // namespace

TEST(ThreeDoReader, MeshesBecomeGroupsAndPolygonsFans) {
    ModelData data;
    ASSERT_TRUE(into(parse3do(text(TWO_MESHES)), data));
    ASSERT_EQ(1u, data.frames.size());
    EXPECT_EQ("frame0", data.frames[0].name);
    ASSERT_EQ(2u, data.model.groups.size());
    EXPECT_EQ("base", data.model.groups[0].name);
    EXPECT_EQ("Top", data.model.groups[1].name); // keywords in any case
    EXPECT_EQ(128, data.model.groups[0].color);
    EXPECT_EQ(0, data.model.groups[0].flags);
    ASSERT_EQ(7, data.model.vertexCount()); // the second geometry set's vertex is not read
    ASSERT_EQ(3, data.model.triangleCount());
    EXPECT_EQ((std::array<int32_t, 3>{0, 2, 1}), data.model.triangles[0].v);
    EXPECT_EQ((std::array<int32_t, 3>{0, 3, 2}), data.model.triangles[1].v);
    EXPECT_EQ((std::array<int32_t, 3>{4, 6, 5}), data.model.triangles[2].v); // after mesh 0's vertices
    EXPECT_EQ(1, data.model.triangles[2].group);
    EXPECT_EQ(212, data.model.triangles[2].color);
    EXPECT_EQ(8, data.model.triangles[0].color);
    EXPECT_EQ(1, data.model.vertexInfos[5].reserved[0]); // the mesh of the vertex
    EXPECT_EQ(1, data.model.vertexInfos[5].reserved[1]); // and its node
}

TEST(ThreeDoReader, HierarchyMovesVerticesIntoModelSpace) {
    ModelData data;
    ASSERT_TRUE(into(parse3do(text(TWO_MESHES)), data));
    ASSERT_EQ(2u, data.model.skeletonNodes.size());
    const SkeletonNode& root = data.model.skeletonNodes[0];
    const SkeletonNode& child = data.model.skeletonNodes[1];
    EXPECT_EQ("root", root.name);
    EXPECT_EQ(-1, root.parent);
    EXPECT_EQ(0, child.parent);
    EXPECT_EQ((std::vector<int32_t>{1}), root.children);
    EXPECT_EQ(10.0f, root.size);
    EXPECT_EQ(1.0f, root.matrix[3][3]);
    EXPECT_EQ(90.0f, child.block[3]); // angles are kept as they are
    // Root: position (10, 0, 0), pivot (0, 0, 2). Mesh 0 vertex 1 at (2, 0, 0) moves by both.
    const auto& p = data.frames[0].positions;
    EXPECT_FLOAT_EQ(12.0f, p[1].x);
    EXPECT_FLOAT_EQ(2.0f, p[1].z);
    // Child: position (0, 20, 0), pivot (1, 0, 0), parent position (10, 0, 0).
    EXPECT_FLOAT_EQ(0.0f + 0 + 1 + 10, p[4].x);
    EXPECT_FLOAT_EQ(0.0f + 20, p[4].y);
    EXPECT_FLOAT_EQ(1.0f, p[4].z);
    // The nodes' own points move too: the joint, then the pivot.
    EXPECT_FLOAT_EQ(10.0f, child.block[0]);
    EXPECT_FLOAT_EQ(20.0f, child.block[1]);
    EXPECT_FLOAT_EQ(11.0f, child.block[6]);
    EXPECT_EQ(2, child.flags);
}

TEST(ThreeDoReader, ScalesByAThousandInDouble) {
    const std::string file =
        "GEOSETS 1\nGEOSET 0\nMESHES 1\nMESH 0\nVERTICES 1\n0: .125038 -.050212 .65 0\nFACES 0\n";
    ModelData data;
    ASSERT_TRUE(into(parse3do(text(file)), data));
    EXPECT_EQ(float(0.125038 * 1000.0), data.frames[0].positions[0].x);
    EXPECT_EQ(float(-0.050212 * 1000.0), data.frames[0].positions[0].y);
    EXPECT_EQ(650.0f, data.frames[0].positions[0].z);
    EXPECT_EQ(0, data.model.triangleCount());
}

TEST(ThreeDoReader, RejectsIncompleteBlocksAndBadIndices) {
    ModelData out;
    const std::string head =
        "GEOSETS 1\nGEOSET 0\nMESHES 1\nMESH 0\nVERTICES 3\n0: 0 0 0 0\n1: 1 0 0 0\n2: 0 1 0 0\n";
    ASSERT_TRUE(into(parse3do(text(head + "FACES 1\n0: 0 0x0 4 3 1 0 3 0, 0 1, 0 2, 0\n")), out));
    EXPECT_FALSE(
        into(parse3do(text("GEOSETS 1\nGEOSET 0\nMESHES 1\nMESH 0\nVERTICES 3\n0: 0 0 0 0\n")), out));
    EXPECT_FALSE(
        into(parse3do(text(head + "FACES 1\n0: 0 0x0 4 3 1 0 3 0, 0 1, 0 3, 0\n")), out)); // vertex 3
    EXPECT_FALSE(into(parse3do(text(head + "FACES 1\n0: 0 0x0 4 3 1 0 3 0, 0 -1, 0 2, 0\n")), out));
    EXPECT_FALSE(
        into(parse3do(text(head + "FACES 1\n0: 0 0x0 4 3 1 0 3 9223372036854775807, 0 1, 0 2, 0\n")), out));
    EXPECT_FALSE(into(parse3do(text(head + "FACES 2\n0: 0 0x0 4 3 1 0 3 0, 0 1, 0 2, 0\n")), out));
    EXPECT_FALSE(
        into(parse3do(text(head + "FACES 1\n0: 0 0x0 4 3 1 0 4 0, 0 1, 0 2, 0\n")), out)); // a corner short
    EXPECT_FALSE(into(parse3do(text(head + "MESH 5\nFACES 1\n0: 0 0x0 4 3 1 0 3 0, 0 1, 0 2, 0\n")), out));
    EXPECT_FALSE(into(parse3do(text("VERTICES 1\n0: 1 1 1 1\n")), out)); // no geometry at all
    EXPECT_FALSE(
        into(parse3do(text(head + "HIERARCHY NODES 1\n0: 0x0 0x1 0 7 -1 -1 0 0 0 0 0 0 0 0 0 0 a\n")), out));
    EXPECT_FALSE(into(parse3do(text(head + "HIERARCHY NODES 2\n0: 0x0 0x1 0 1 -1 -1 0 0 0 0 0 0 0 0 0 0 a\n"
                                           "1: 0x0 0x1 0 0 -1 -1 0 0 0 0 0 0 0 0 0 0 b\n")),
                      out)); // parents in a loop
    EXPECT_FALSE(into(parse3do(text(head + "HIERARCHY NODES 1\n0: 0x0 0x1 0 -1\n")), out));
    EXPECT_FALSE(into(parse3do(text("GEOSETS 1\nGEOSET 0\nMESHES 999999999999\n")), out));
    // A file cut short before a mesh's faces (its texture vertices, which are not read, half there).
    const Result<ModelData> cut = parse3do(text(head + "TEXTURE VERTICES 69\n0: 0.5 0.5\n1: 0.2"));
    EXPECT_EQ("the file ends before the faces of mesh 0 of 1", cut.error());
}

TEST(ThreeDoReader, RealFiles) {
    const std::filesystem::path dir = std::filesystem::path(FACETO_REALDATA_DIR) / "3do";
    if (!std::filesystem::exists(dir)) {
        GTEST_SKIP() << "no real data";
    }
    for (const char* name : {"pillar01.3do", "pillar02.3do"}) {
        ModelData data;
        ASSERT_TRUE(into(parse3do(readBytes((dir / name).string())), data)) << name;
        EXPECT_EQ(32, data.model.vertexCount());
        EXPECT_EQ(1u, data.model.groups.size());
        EXPECT_EQ(1u, data.model.skeletonNodes.size());
        // 16 quads and two 16-sided caps: 16 x 2 + 2 x 14 triangles.
        EXPECT_EQ(60, data.model.triangleCount());
    }
}

TEST(ThreeDoReader, VertexOffsetsAddTheAncestorsOneByOne) {
    // A vertex of a grandchild node moves by (position + pivot), then by its parent's position, then by
    // its grandparent's, in float32 and in that order; summing the ancestors first rounds otherwise.
    const std::string file = "GEOSETS 1\nGEOSET 0\nMESHES 1\nMESH 0\nVERTICES 1\n0: 0 0 0 0\n"
                             "HIERARCHY NODES 3\n"
                             "0: 0x0 0x1 -1 -1 1 -1 1 -16777.216 0 0 0 0 0 0 0 0 top\n"
                             "1: 0x0 0x1 -1 0 2 -1 1 16777.216 0 0 0 0 0 0 0 0 middle\n"
                             "2: 0x0 0x1 0 1 -1 -1 0 0.001 0 0 0 0 0 0 0 0 bottom\n";
    ModelData data;
    ASSERT_TRUE(into(parse3do(text(file)), data));
    const float top = float(-16777.216 * 1000.0);
    const float middle = float(16777.216 * 1000.0);
    const float own = float(0.001 * 1000.0);
    const float stepwise = ((own + 0.0f) + middle) + top; // 2^24 + 1 rounds to 2^24: the 1 is lost
    ASSERT_NE(stepwise, own + (middle + top));            // the case tells the two orders apart
    EXPECT_EQ(stepwise, data.frames[0].positions[0].x);
}

TEST(ThreeDoReader, CountsAndChainsThatWouldTakeTooMuchFailQuickly) {
    // A mesh count with nothing behind it makes no groups.
    Result<ModelData> meshes =
        parse3do(text("GEOSETS 1\nGEOSET 0\nMESHES 12000000\n" + std::string(4096, ' ')));
    EXPECT_EQ("the file announces more meshes than it holds", meshes.error());

    // A hierarchy that is one long chain: refused past the depth no model has.
    std::string chain =
        "GEOSETS 1\nGEOSET 0\nMESHES 1\nMESH 0\nVERTICES 1\n0: 0 0 0 0\nHIERARCHY NODES 5000\n";
    for (int i = 0; i < 5000; ++i) {
        chain +=
            std::to_string(i) + ": 0x0 0x1 0 " + std::to_string(i - 1) + " -1 -1 0 0 0 0 0 0 0 0 0 0 n\n";
    }
    Result<ModelData> deep = parse3do(text(chain));
    EXPECT_EQ("the hierarchy is deeper than 4096 nodes, or its parents form a loop", deep.error());
}
