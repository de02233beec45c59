#include "TestSupport.h"
#include "formats/AscWriter.h"

using namespace faceto;
using namespace faceto::test;

TEST(AscWriter, WritesTheFirstFrameExactly) {
    ModelData data = makeModel(7, {tri(4, 5, 6), tri(0, 1, 2)}, 2);
    data.frames[0].positions[0] = {1, 2, 3};
    data.frames[1].positions[0] = {9, 9, 9}; // only the first frame is written
    const std::string text = *encodeAsc(data.model, data.frames);
    const std::string expectedStart = "Ambient light color: Red=0.039216 Green=0.039216 Blue=0.039216\r\n\r\n"
                                      "Named object: \"Object1\"\r\n"
                                      "Tri-mesh, Vertices: 7    Faces: 2\r\n"
                                      "Vertex list:\r\n"
                                      "Vertex 0:  X: 2.000000  Y: -1.000000  Z: 3.000000\r\n"
                                      "Vertex 1:  X: 0.000000  Y: -1.000000  Z: 10.000000\r\n";
    EXPECT_EQ(expectedStart, text.substr(0, expectedStart.size()));
    const std::string expectedEnd = "Vertex 6:  X: 0.000000  Y: -6.000000  Z: 60.000000\r\n"
                                    "Face list:\r\n"
                                    "Face 0:  A:4 B:6 C:5 AB:1 BC:1 CA:1\r\n"
                                    "Face 1:  A:0 B:2 C:1 AB:1 BC:1 CA:1\r\n";
    EXPECT_EQ(expectedEnd, text.substr(text.size() - expectedEnd.size()));
}

TEST(AscWriter, NoTrianglesAndNoFrames) {
    ModelData data = makeModel(0, {}, 1);
    EXPECT_EQ("Ambient light color: Red=0.039216 Green=0.039216 Blue=0.039216\r\n\r\n"
              "Named object: \"Object1\"\r\n"
              "Tri-mesh, Vertices: 0    Faces: 0\r\nVertex list:\r\nFace list:\r\n",
              *encodeAsc(data.model, data.frames));
    TempDir dir;
    data.frames.clear();
    EXPECT_FALSE(writeAsc(dir.path("x.asc"), data.model, data.frames));
    EXPECT_FALSE(std::filesystem::exists(dir.path("x.asc")));
}
