#include "model/DerivedData.h"

#include "TestSupport.h"

#include <algorithm>

using namespace faceto;
using namespace faceto::test;

namespace {

Model modelWith(int32_t vertexCount, const std::vector<Triangle>& triangles) {
    return makeModel(vertexCount, triangles).model;
}

std::vector<int32_t> groupsOf(const Model& model) {
    std::vector<int32_t> out;
    for (const Triangle& t : model.triangles) {
        out.push_back(t.group);
    }
    return out;
}

void expectSameEdges(const std::vector<Edge>& expected, const std::vector<Edge>& actual) {
    ASSERT_EQ(expected.size(), actual.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(expected[i].first, actual[i].first) << "edge " << i;
        EXPECT_EQ(expected[i].second, actual[i].second) << "edge " << i;
        EXPECT_EQ(expected[i].color, actual[i].color) << "edge " << i;
        EXPECT_EQ(0, actual[i].flags);
    }
}

void expectSameGroups(const Model& expected, const Model& actual) {
    ASSERT_EQ(expected.groups.size(), actual.groups.size());
    for (size_t g = 0; g < expected.groups.size(); ++g) {
        EXPECT_EQ(expected.groups[g].name, actual.groups[g].name);
        EXPECT_EQ(expected.groups[g].color, actual.groups[g].color);
        EXPECT_EQ(2, actual.groups[g].flags);
        EXPECT_EQ(0, actual.groups[g].tag);
    }
    for (size_t t = 0; t < expected.triangles.size(); ++t) {
        ASSERT_EQ(expected.triangles[t].group, actual.triangles[t].group) << "triangle " << t;
        ASSERT_EQ(expected.triangles[t].color, actual.triangles[t].color) << "triangle " << t;
    }
}

} // namespace

TEST(BuildEdges, FollowsFirstTriangleOrderOrientationAndColour) {
    std::vector<Triangle> triangles{tri(0, 1, 2), tri(2, 1, 3), tri(3, 4, 3)};
    triangles[0].color = 7;
    triangles[1].color = 9;
    triangles[2].color = 11;
    Model model = modelWith(5, triangles);
    buildEdges(model);
    // (2,1) and (4,3) repeat earlier edges in the other order and are skipped; the degenerate (3,3) is an
    // edge.
    const std::vector<Edge> expected{{0, 1, 0, 7}, {1, 2, 0, 7},  {2, 0, 0, 7}, {1, 3, 0, 9},
                                     {3, 2, 0, 9}, {3, 4, 0, 11}, {3, 3, 0, 11}};
    expectSameEdges(expected, model.edges);
}

TEST(BuildEdges, MatchesLiteralBuilderOnRandomMeshes) {
    std::mt19937 rng(1234);
    for (int round = 0; round < 60; ++round) {
        const int32_t vertexCount = 3 + int32_t(rng() % 60);
        Model model =
            modelWith(vertexCount, randomTriangles(rng, vertexCount, int32_t(rng() % 120), round % 2 == 0));
        buildEdges(model);
        expectSameEdges(literalEdges(model), model.edges);
    }
}

TEST(BuildGroups, EmptyModelHasNoGroupsAndNoEdges) {
    Model model;
    buildGroupsByConnectivity(model);
    buildEdges(model);
    EXPECT_TRUE(model.groups.empty());
    EXPECT_TRUE(model.edges.empty());
}

TEST(BuildGroups, SharedVertexJoinsSeparatePiecesDoNot) {
    Model joined = modelWith(5, {tri(0, 1, 2), tri(2, 3, 4)});
    buildGroupsByConnectivity(joined);
    EXPECT_EQ(1u, joined.groups.size());
    EXPECT_EQ((std::vector<int32_t>{0, 0}), groupsOf(joined));
    EXPECT_EQ("group 1", joined.groups[0].name);
    EXPECT_EQ(8, joined.triangles[1].color);

    Model apart = modelWith(6, {tri(0, 1, 2), tri(3, 4, 5)});
    buildGroupsByConnectivity(apart);
    EXPECT_EQ(2u, apart.groups.size());
    EXPECT_EQ("group 2", apart.groups[1].name);
    EXPECT_EQ(212, apart.triangles[1].color);
}

TEST(BuildGroups, LabellingOrderLeavesSomeSharedVerticesInTwoGroups) {
    Model model = modelWith(7, {tri(0, 5, 6), tri(1, 2, 6)});
    buildGroupsByConnectivity(model);
    EXPECT_EQ(2u, model.groups.size());
    EXPECT_EQ((std::vector<int32_t>{0, 1}), groupsOf(model));
}

TEST(BuildGroups, NinePiecesCycleThroughTheColourTable) {
    std::vector<Triangle> triangles;
    for (int32_t p = 0; p < 9; ++p) {
        triangles.push_back(tri(p * 3, p * 3 + 1, p * 3 + 2));
    }
    Model model = modelWith(27, triangles);
    buildGroupsByConnectivity(model);
    ASSERT_EQ(9u, model.groups.size());
    const int32_t colours[9] = {8, 212, 25, 47, 55, 144, 79, 128, 8};
    for (size_t g = 0; g < 9; ++g) {
        EXPECT_EQ("group " + std::to_string(g + 1), model.groups[g].name);
        EXPECT_EQ(colours[g], model.groups[g].color);
    }
}

TEST(BuildGroups, MatchesLiteralBuilderOnRandomMeshes) {
    std::mt19937 rng(99);
    for (int round = 0; round < 300; ++round) {
        const int32_t vertexCount = 3 + int32_t(rng() % 40);
        const int32_t triangleCount = int32_t(rng() % 50);
        // Clustered meshes with few vertices produce the chains of relabelling that the quirk hides in.
        Model fast = modelWith(vertexCount, randomTriangles(rng, vertexCount, triangleCount, round % 3 != 0));
        Model literal = fast;
        buildGroupsByConnectivity(fast);
        literalGroupsByConnectivity(literal);
        expectSameGroups(literal, fast);
    }
}

TEST(BuildGroups, MatchesLiteralBuilderOnQuirkPatterns) {
    // Triangles whose first corner is a high vertex and whose other corners reach back to low ones,
    // shuffled: each lets a vertex take a larger label while its earlier triangles keep theirs.
    std::mt19937 rng(7);
    for (int round = 0; round < 200; ++round) {
        const int32_t n = 8 + int32_t(rng() % 24);
        std::vector<Triangle> triangles;
        for (int32_t i = 0; i < n; ++i) {
            const int32_t high = n - 1 - int32_t(rng() % 4);
            triangles.push_back(tri(int32_t(rng() % n), int32_t(rng() % n), high));
            triangles.push_back(tri(int32_t(rng() % 3), high, int32_t(rng() % n)));
        }
        std::shuffle(triangles.begin(), triangles.end(), rng);
        Model fast = modelWith(n, triangles);
        Model literal = fast;
        buildGroupsByConnectivity(fast);
        literalGroupsByConnectivity(literal);
        expectSameGroups(literal, fast);
    }
}

TEST(BuildAnimations, BaseNamesFromFrameNames) {
    EXPECT_EQ("stand", animationBaseName("stand05"));
    EXPECT_EQ("walk1", animationBaseName("walk101"));
    EXPECT_EQ("", animationBaseName("base"));
    EXPECT_EQ("", animationBaseName(""));
    EXPECT_EQ("frame", animationBaseName("frame1"));
    EXPECT_EQ("pain", animationBaseName("pain99b"));
    EXPECT_EQ("x9", animationBaseName("x99999999999999999999")); // a huge number still counts as >= 100
}

TEST(BuildAnimations, GroupsFramesByBaseNameIgnoringCase) {
    std::vector<Frame> frames{Frame("run1"),    Frame("RUN2"),    Frame("stand01"), Frame("run3"),
                              Frame("walk101"), Frame("walk102"), Frame("pose")};
    std::vector<Animation> animations = buildAnimations(frames);
    ASSERT_EQ(4u, animations.size());
    EXPECT_EQ("run", animations[0].name);
    EXPECT_EQ((std::vector<int32_t>{0, 1, 3}), animations[0].frameIndices);
    EXPECT_EQ("stand", animations[1].name);
    EXPECT_EQ("walk1", animations[2].name);
    EXPECT_EQ((std::vector<int32_t>{4, 5}), animations[2].frameIndices);
    EXPECT_EQ("", animations[3].name);
    EXPECT_TRUE(animations[0].reserved.empty());
}

TEST(BuildAnimations, MatchesTheLinearSearchOnRandomNames) {
    // Each frame joins the first animation whose name equals its base name ignoring case.
    auto literal = [](const std::vector<Frame>& frames) {
        std::vector<Animation> out;
        for (size_t f = 0; f < frames.size(); ++f) {
            const std::string base = animationBaseName(frames[f].name);
            auto it = std::find_if(out.begin(), out.end(),
                                   [&](const Animation& a) { return equalsIgnoreCase(a.name, base); });
            if (it == out.end()) {
                out.push_back(Animation{base, {int32_t(f)}, {}});
            } else {
                it->frameIndices.push_back(int32_t(f));
            }
        }
        // Then each animation in the order of its frames' numbers (ties as listed).
        auto number = [&](int32_t f) {
            const std::string& name = frames[size_t(f)].name;
            const size_t p = name.find_first_of("0123456789");
            return p == std::string::npos ? 0L : std::stol(name.substr(p));
        };
        for (Animation& a : out) {
            std::stable_sort(a.frameIndices.begin(), a.frameIndices.end(),
                             [&](int32_t x, int32_t y) { return number(x) < number(y); });
        }
        return out;
    };
    std::mt19937 rng(5);
    const char* stems[] = {"run", "RUN", "Run", "walk", "wALk", "", "pain", "x"};
    for (int round = 0; round < 50; ++round) {
        std::vector<Frame> frames;
        for (int f = 0; f < 200; ++f) {
            frames.emplace_back(std::string(stems[rng() % 8]) +
                                (rng() % 3 ? std::to_string(rng() % 300) : ""));
        }
        const std::vector<Animation> fast = buildAnimations(frames);
        const std::vector<Animation> slow = literal(frames);
        ASSERT_EQ(slow.size(), fast.size());
        for (size_t a = 0; a < slow.size(); ++a) {
            EXPECT_EQ(slow[a].name, fast[a].name);
            EXPECT_EQ(slow[a].frameIndices, fast[a].frameIndices);
        }
    }
}

TEST(ModelRecords, DefaultsAndCopyRules) {
    VertexInfo info;
    EXPECT_EQ(VERTEX_VISIBLE, info.flags);
    Group group;
    EXPECT_EQ("unnamed", group.name);
    EXPECT_EQ(-1, group.tag);
    EXPECT_EQ(0, group.flags);

    Frame frame("walk1");
    frame.positions.push_back(FrameVertex{1, 2, 3});
    Frame copy = frame;
    EXPECT_EQ("walk1", copy.name);
    EXPECT_EQ(3.0f, copy.positions[0].z);

    SkeletonNode node;
    EXPECT_EQ(-1, node.parent);
    EXPECT_EQ("unnamed", node.name);
    SkeletonNode source;
    source.block.fill(5.0f);
    source.name = "torso";
    node.block.fill(1.0f);
    node = source;
    // A node assigned is a whole copy: its angles travel with it (an undo snapshot restores them).
    EXPECT_EQ(source.block, node.block);
    EXPECT_EQ("torso", node.name);
}

TEST(ModelRecords, SkinCopyIsIndependent) {
    Skin skin;
    skin.name = "a.pcx";
    skin.imageWidth = 2;
    skin.imageHeight = 1;
    skin.bitsPerPixel = 8;
    skin.palette.assign(256, PaletteEntry{1, 2, 3, 0});
    skin.pixels = {1, 2, 0, 0};
    Model model;
    model.skins.push_back(skin);
    Model copy;
    copyMesh(model, copy);
    model.skins[0].pixels[0] = 99;
    EXPECT_EQ(1, copy.skins[0].pixels[0]);
    EXPECT_EQ(4, copy.skins[0].stride());
}
