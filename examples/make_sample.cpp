// Makes the sample model that the editor opens on a first run: a small robot of boxes with a skin,
// standing, walking and waving. Writes sample.md2 and its skin sample.pcx into the given folder.
//   faceto_make_sample FOLDER
#include "formats/Md2Writer.h"
#include "formats/Pcx.h"
#include "model/Palette.h"

#include <cmath>
#include <cstdio>
#include <string>

using namespace faceto;

namespace {

constexpr int SKIN = 64;
constexpr float PI = 3.14159265f;

struct Box {
    float lo[3];
    float hi[3];
    float pivot[3];   // limbs turn about this point
    int skinX, skinY; // the part's 16 x 16 corner of the skin
};

// Body, head, arms and legs; the robot looks along +x.
const Box PARTS[] = {
    {{-5, -8, 20}, {5, 8, 38}, {0, 0, 20}, 0, 0},             // body
    {{-5, -5, 39}, {5, 5, 49}, {0, 0, 39}, 16, 0},            // head
    {{-2, 9, 22}, {2, 13, 38}, {0, 11, 37}, 32, 0},           // left arm
    {{-2, -13, 22}, {2, -9, 38}, {0, -11, 37}, 32, 16},       // right arm
    {{-2.5f, 1, 0}, {2.5f, 6, 19}, {0, 3.5f, 19}, 0, 16},     // left leg
    {{-2.5f, -6, 0}, {2.5f, -1, 19}, {0, -3.5f, 19}, 16, 16}, // right leg
};

// The eight corners of a box (bit 0: x, bit 1: y, bit 2: z high) and its faces, wound outwards.
const int FACES[6][4] = {{0, 2, 6, 4}, {1, 5, 7, 3}, {0, 4, 5, 1}, {2, 3, 7, 6}, {0, 1, 3, 2}, {4, 6, 7, 5}};

struct Pose {
    float angle[6]; // about the y axis, per part
    float lift;     // the whole robot up and down
    float wave;     // the right arm out sideways, about the x axis
};

FrameVertex place(const Box& box, int corner, float angle, float roll, float lift) {
    float p[3];
    for (int a = 0; a < 3; ++a) {
        p[a] = ((corner >> a) & 1 ? box.hi[a] : box.lo[a]) - box.pivot[a];
    }
    // Swing forwards and backwards (about y), then out sideways (about x).
    const float x = p[0] * std::cos(angle) + p[2] * std::sin(angle);
    const float z = -p[0] * std::sin(angle) + p[2] * std::cos(angle);
    const float y = p[1] * std::cos(roll) - z * std::sin(roll);
    const float z2 = p[1] * std::sin(roll) + z * std::cos(roll);
    // The robot stands about its middle, so that a fresh view shows all of it.
    return {x + box.pivot[0], y + box.pivot[1], z2 + box.pivot[2] + lift - 25.0f};
}

Frame frameFor(const std::string& name, const Pose& pose) {
    Frame frame(name);
    for (int part = 0; part < 6; ++part) {
        for (int corner = 0; corner < 8; ++corner) {
            frame.positions.push_back(
                place(PARTS[part], corner, pose.angle[part], part == 3 ? pose.wave : 0.0f, pose.lift));
        }
    }
    return frame;
}

Skin makeSkin() {
    Skin skin;
    skin.name = "sample.pcx";
    skin.imageWidth = SKIN;
    skin.imageHeight = SKIN;
    skin.bitsPerPixel = 8;
    skin.imageSize = SKIN * SKIN;
    skin.colorsUsed = 256;
    const auto& rgb = builtInPalette();
    for (int i = 0; i < 256; ++i) {
        skin.palette.push_back({rgb[size_t(i) * 3 + 2], rgb[size_t(i) * 3 + 1], rgb[size_t(i) * 3], 0});
    }
    skin.pixels.assign(SKIN * SKIN, 0);
    // Each part a ramp of the palette, with panel lines; the head has two eyes.
    const int ramps[6] = {32, 96, 80, 80, 16, 16};
    for (int y = 0; y < SKIN; ++y) {
        for (int x = 0; x < SKIN; ++x) {
            const int part = y < 16   ? (x < 16   ? 0
                                         : x < 32 ? 1
                                                  : 2)
                             : y < 32 ? (x < 16   ? 4
                                         : x < 32 ? 5
                                                  : 3)
                                      : 0;
            int shade = 6 + (x + y) % 5;
            if (x % 16 == 0 || y % 16 == 0) {
                shade = 3; // seams
            }
            if (part == 1 && y >= 5 && y <= 7 && ((x >= 19 && x <= 21) || (x >= 26 && x <= 28))) {
                skin.pixels[size_t(y * SKIN + x)] = 251; // eyes
                continue;
            }
            skin.pixels[size_t(y * SKIN + x)] = uint8_t(ramps[part] + shade);
        }
    }
    return skin;
}

} // namespace

int main(int argc, char** argv) {
    const std::string folder = argc > 1 ? std::string(argv[1]) + "/" : std::string();
    Model model;
    model.name = "sample";
    for (int part = 0; part < 6; ++part) {
        const Box& box = PARTS[part];
        const int32_t first = model.vertexCount();
        model.vertexInfos.resize(model.vertexInfos.size() + 8);
        for (const auto& face : FACES) {
            const float s0 = float(box.skinX + 1), s1 = float(box.skinX + 15);
            const float t0 = float(box.skinY + 1), t1 = float(box.skinY + 15);
            const std::array<std::array<float, 2>, 4> st{{{s0, t1}, {s0, t0}, {s1, t0}, {s1, t1}}};
            for (const auto& [a, b, c] : {std::array<int, 3>{0, 1, 2}, std::array<int, 3>{0, 2, 3}}) {
                Triangle t;
                t.v = {first + face[a], first + face[b], first + face[c]};
                t.st = {st[size_t(a)], st[size_t(b)], st[size_t(c)]};
                model.triangles.push_back(t);
            }
        }
    }
    model.skins.push_back(makeSkin());

    std::vector<Frame> frames;
    for (int i = 0; i < 4; ++i) {
        frames.push_back(frameFor("stand" + std::to_string(i + 1),
                                  {{0, 0, 0.05f, -0.05f, 0, 0}, 0.4f * std::sin(i * PI / 2), 0}));
    }
    for (int i = 0; i < 6; ++i) {
        const float swing = 0.5f * std::sin(i * PI / 3);
        frames.push_back(
            frameFor("walk" + std::to_string(i + 1),
                     {{0, 0, -swing, swing, swing, -swing}, 0.6f * std::fabs(std::cos(i * PI / 3)), 0}));
    }
    for (int i = 0; i < 4; ++i) {
        frames.push_back(frameFor("wave" + std::to_string(i + 1),
                                  {{0, 0, 0, 0, 0, 0}, 0, 2.2f + 0.35f * std::sin(i * PI / 2)}));
    }

    SourceFields source;
    source.hasSkins = 1;
    auto bytes = encodeMd2(model, frames, source, {"sample.pcx"});
    if (!bytes || !writeFileReplacing(folder + "sample.md2", *bytes) ||
        !writeSkinPcx(folder + "sample.pcx", model.skins[0])) {
        std::fprintf(stderr, "cannot write the sample into %s\n", folder.c_str());
        return 1;
    }
    return 0;
}
