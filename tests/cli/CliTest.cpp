#include "TestSupport.h"
#include "cli/IniProfile.h"
#include "document/SkinOperations.h"
#include "formats/Md2Writer.h"
#include "formats/NativeFormat.h"
#include "formats/Pcx.h"
#include "formats/Pictures.h"
#include "model/Version.h"
#include "views/ViewState.h"

#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSettings>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <sys/wait.h>
#include <tuple>

using namespace faceto;
using namespace faceto::test;

namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

// Runs faceto-cli with the given arguments from `folder`, with a settings file of its own.
CliRun cli(const TempDir& dir, const std::string& arguments) {
    const std::string errFile = dir.path("stderr.txt");
    const std::string command = "cd '" + dir.dir().string() + "' && '" FACETO_CLI "' --settings '" +
                                dir.path("settings.ini") + "' " + arguments + " 2>'" + errFile + "'";
    CliRun run;
    FILE* pipe = popen(command.c_str(), "r");
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        run.out.append(buffer, n);
    }
    const int raw = pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    const std::vector<uint8_t> err = readBytes(errFile);
    run.err.assign(err.begin(), err.end());
    return run;
}

void writeSample(const std::string& path) {
    ModelData data = makeModel(4, {tri(0, 1, 2), tri(2, 1, 3)}, 3);
    data.model.name = "sample";
    data.frames[0].name = "run1";
    data.frames[1].name = "run2";
    data.frames[2].name = "stand1";
    ASSERT_TRUE(writeNative(path, data.model, data.frames, data.source));
}

} // namespace

TEST(FacetoCli, InfoDescribesAModel) {
    TempDir dir;
    writeSample(dir.path("a.fm"));
    const CliRun run = cli(dir, "info a.fm");
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("format: fm"));
    EXPECT_NE(std::string::npos, run.out.find("vertices: 4"));
    EXPECT_NE(std::string::npos, run.out.find("triangles: 2"));
    EXPECT_NE(std::string::npos, run.out.find("frames: 3"));
    EXPECT_NE(std::string::npos, run.out.find("run: 2 frames"));
    EXPECT_NE(std::string::npos, run.out.find("stand1: (0, 2, 2) to (3, 2, 32)"));

    const CliRun json = cli(dir, "info --json a.fm a.fm missing.fm");
    EXPECT_EQ(1, json.status);
    const nlohmann::json doc = nlohmann::json::parse(json.out);
    EXPECT_EQ(VERSION, doc["faceto-cli"]);
    ASSERT_EQ(3u, doc["files"].size());
    const nlohmann::json& a = doc["files"][0];
    EXPECT_EQ("fm", a["format"]);
    const auto named = [](const nlohmann::json& list, const std::string& name) {
        const auto it = std::find_if(list.begin(), list.end(),
                                     [&](const nlohmann::json& e) { return e["name"] == name; });
        return it == list.end() ? nlohmann::json() : *it;
    };
    EXPECT_EQ(2, named(a["animations"], "run")["frames"]);
    EXPECT_EQ(nlohmann::json({0, 2, 2}), named(a["frames"], "stand1")["min"]);
    EXPECT_EQ(nlohmann::json({3, 2, 32}), named(a["frames"], "stand1")["max"]);
    EXPECT_EQ(a, doc["files"][1]);
    EXPECT_EQ("missing.fm", doc["files"][2]["file"]);
    EXPECT_EQ("No such file or directory", doc["files"][2]["error"]);
}

TEST(FacetoCli, ConvertUsesTheSaveAsDispatch) {
    TempDir dir;
    writeSample(dir.path("a.fm"));
    CliRun run = cli(dir, "convert a.fm b.md2");
    ASSERT_EQ(0, run.status) << run.err;
    run = cli(dir, "info b.md2");
    EXPECT_NE(std::string::npos, run.out.find("format: md2"));
    EXPECT_NE(std::string::npos, run.out.find("frames: 3"));
    run = cli(dir, "convert b.md2 c.asc");
    EXPECT_EQ(0, run.status);
    EXPECT_EQ("Ambient", std::string(reinterpret_cast<const char*>(readBytes(dir.path("c.asc")).data()), 7));

    std::filesystem::create_directory(dir.path("out"));
    writeSample(dir.path("d.fm"));
    run = cli(dir, "convert --to md2 a.fm d.fm -d out");
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("a.fm -> out/a.md2"));
    EXPECT_NE(std::string::npos, run.out.find("d.fm -> out/d.md2"));
    EXPECT_TRUE(std::filesystem::exists(dir.path("out/d.md2")));
}

TEST(FacetoCli, ErrorsGoToStandardErrorWithTheMessages) {
    TempDir dir;
    writeText(dir.path("notes.txt"), "hello");
    writeBytes(dir.path("bad.md2"), {'I', 'D', 'P', '2', 0});
    writeSample(dir.path("a.fm"));
    CliRun run = cli(dir, "info notes.txt");
    EXPECT_EQ(1, run.status);
    EXPECT_EQ("faceto-cli: notes.txt: not a model file (starts with \"hell\")\n", run.err);
    run = cli(dir, "convert bad.md2 x.fm");
    EXPECT_EQ(1, run.status);
    EXPECT_EQ("faceto-cli: bad.md2: the file is shorter than a Quake 2 model header\n", run.err);
    EXPECT_FALSE(std::filesystem::exists(dir.path("x.fm")));
    run = cli(dir, "convert a.fm x.dxf");
    EXPECT_EQ(1, run.status);
    EXPECT_NE(std::string::npos,
              run.err.find("can only write .fm, .mdl, .md2, .md3, .asc, .gltf, .glb and .obj"));
    run = cli(dir, "convert --to fm notes.txt a.fm");
    EXPECT_EQ(1, run.status);
    EXPECT_NE(std::string::npos, run.out.find("notes.txt: failed"));
    EXPECT_NE(std::string::npos, run.out.find("a.fm -> a.fm"));
    // A usage error says what is wrong in one line, the usage in another, and where the help is.
    run = cli(dir, "");
    EXPECT_EQ(2, run.status);
    EXPECT_EQ("faceto-cli: no command\nusage: faceto-cli info|convert|render FILE... [OPTION...]\n"
              "Try 'faceto-cli --help'.\n",
              run.err);
    EXPECT_EQ(2, cli(dir, "frobnicate a.fm").status);
    run = cli(dir, "--help");
    EXPECT_EQ(0, run.status);
    EXPECT_NE(std::string::npos, run.out.find("  info FILE... [--json]"));
    // The options as command-line tools take them: --opt=value, anywhere, and -- before a file whose
    // name begins with a dash.
    run = cli(dir, "--version");
    EXPECT_EQ(0, run.status);
    EXPECT_EQ(std::string("faceto-cli ") + VERSION + "\n", run.out);
    run = cli(dir, "--size");
    EXPECT_EQ(2, run.status);
    EXPECT_EQ(0u, run.err.find("faceto-cli: --size needs WIDTHxHEIGHT\n"));
    EXPECT_EQ(0u, cli(dir, "info --frobnicate a.fm").err.find("faceto-cli: unknown option --frobnicate\n"));
    EXPECT_EQ(0u, cli(dir, "info -q a.fm").err.find("faceto-cli: unknown option -q\n"));
    std::filesystem::copy_file(dir.path("a.fm"), dir.path("-x.fm"));
    run = cli(dir, "info --json -- -x.fm");
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_NE(std::string::npos, run.out.find("-x.fm"));
    EXPECT_EQ(0, cli(dir, "convert --to=obj a.fm -d out").status);
    EXPECT_TRUE(std::filesystem::exists(dir.path("out/a.obj")));
}

// The help comes whole (--help, help) or for one command (help CMD, CMD --help), within 80 columns,
// naming every option; "-" reads standard input and "-" or "-.EXT" writes standard output.
TEST(FacetoCli, HelpPerCommandAndStandardStreams) {
    TempDir dir;
    writeSample(dir.path("a.fm"));
    const CliRun all = cli(dir, "--help");
    EXPECT_EQ(all.out, cli(dir, "help").out);
    for (const char* option :
         {"--json",       "--fps",   "--scale", "-d DIR",         "--tree",         "--to",
          "--view",       "--mode",  "--frame", "--size",         "--skin",         "--edges",
          "--vertices",   "--fit",   "--map",   "--scale-coords", "--import-scale", "--interpolation",
          "--skin-depth", "--force", "--base",  "--settings",     "--palette",      "--version"}) {
        EXPECT_NE(std::string::npos, all.out.find(option)) << option;
    }
    for (const char* command : {"", "info", "convert", "render", "thumbnail", "skin", "help"}) {
        const std::string text = *command ? cli(dir, std::string("help ") + command).out : all.out;
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
            EXPECT_LE(line.size(), 80u) << command << ": " << line;
        }
    }
    const CliRun convert = cli(dir, "convert --help");
    EXPECT_EQ(0, convert.status);
    EXPECT_EQ(convert.out, cli(dir, "help convert").out);
    EXPECT_NE(std::string::npos, convert.out.find("--interpolation"));
    EXPECT_EQ(std::string::npos, convert.out.find("--vertices")); // render's
    EXPECT_EQ(2, cli(dir, "help frobnicate").status);

    EXPECT_EQ(0, cli(dir, "convert a.fm -.md3 > piped.md3").status);
    const CliRun piped = cli(dir, "info - < piped.md3");
    EXPECT_EQ(0, piped.status) << piped.err;
    EXPECT_NE(std::string::npos, piped.out.find("format: md3"));
    EXPECT_EQ(readBytes(dir.path("piped.md3")), [&] {
        cli(dir, "convert --to md3 - < piped.md3 > again.md3");
        return readBytes(dir.path("again.md3"));
    }());
    CliRun run = cli(dir, "convert a.fm -");
    EXPECT_EQ("faceto-cli: -: standard output needs the format: -.EXT (or --to EXT)\n", run.err);
    run = cli(dir, "info - < /dev/null");
    EXPECT_EQ("faceto-cli: standard input: not a model file (it is empty)\n", run.err);
    EXPECT_EQ(0, cli(dir, "thumbnail a.fm - 32 > t.png").status);
    const std::vector<uint8_t> png = readBytes(dir.path("t.png"));
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(0x89, png[0]);
    EXPECT_EQ('P', png[1]);
    EXPECT_FALSE(std::filesystem::exists(dir.path("-")));
}

TEST(FacetoCli, BaseFolderOptionFindsSkinsAndSettingsAreNotWritten) {
    TempDir dir;
    std::filesystem::create_directories(dir.dir() / "game" / "models");
    Skin skin;
    skin.imageWidth = 4;
    skin.imageHeight = 4;
    skin.bitsPerPixel = 8;
    skin.pixels.assign(16, 1);
    skin.palette.assign(256, PaletteEntry{0, 0, 0, 0});
    ASSERT_TRUE(writeSkinPcx((dir.dir() / "game" / "models" / "s.pcx").string(), skin));
    ModelData data = makeModel(3, {tri(0, 1, 2)}, 1);
    writeBytes(dir.path("m.md2"),
               toVector(*encodeMd2(data.model, data.frames, data.source, {"models/s.pcx"})));
    CliRun run = cli(dir, "info m.md2");
    EXPECT_NE(std::string::npos, run.out.find("skins: 0"));
    run = cli(dir, "info m.md2 --base game");
    EXPECT_NE(std::string::npos, run.out.find("skins: 1"));
    EXPECT_NE(std::string::npos, run.out.find("models/s.pcx 4x4, 8 bits"));
    // The documents closing inside the tool do not record themselves as the editor's last document.
    EXPECT_FALSE(std::filesystem::exists(dir.path("settings.ini")));
}

TEST(FacetoCli, RenderDrawsTheViewsAsPictures) {
    TempDir dir;
    // A square facing the camera, filling the middle of a 640 x 480 camera view.
    ModelData data = makeModel(4, {tri(0, 2, 1), tri(1, 2, 3)}, 2);
    data.frames[0].positions = {{0, -20, -20}, {0, 20, -20}, {0, -20, 20}, {0, 20, 20}};
    data.frames[1].name = "second";
    for (Triangle& t : data.model.triangles) {
        t.color = 100;
    }
    ASSERT_TRUE(writeNative(dir.path("square.fm"), data.model, data.frames, data.source));

    CliRun run = cli(dir, "render square.fm cam.png");
    ASSERT_EQ(0, run.status) << run.err;
    QImage camera(QString::fromStdString(dir.path("cam.png")));
    ASSERT_EQ(QSize(640, 480), camera.size());
    EXPECT_EQ(qRgb(0, 0, 0), camera.pixel(5, 5));
    EXPECT_NE(qRgb(0, 0, 0), camera.pixel(320, 240));

    run = cli(dir, "render square.fm top.png --view front --size 203x101");
    ASSERT_EQ(0, run.status) << run.err;
    QImage front(QString::fromStdString(dir.path("top.png")));
    ASSERT_EQ(QSize(203, 101), front.size());             // not rounded up to a multiple of 4
    EXPECT_EQ(qRgb(219, 219, 219), front.pixel(150, 20)); // the 2D background, colour 14
    EXPECT_EQ(qRgb(0, 0, 255), front.pixel(6, 80));       // the axis indicator: z up in blue

    run = cli(dir, "render square.fm quad.png --view quad --size 400x300 --frame second");
    EXPECT_EQ(0, run.status) << run.err;
    const QImage quad(QString::fromStdString(dir.path("quad.png")));
    EXPECT_EQ(QSize(400, 300), quad.size());
    // The four panes as a window shows them: the camera's with its corner label, light on black.
    bool labelled = false;
    for (int y = 150; y < 170 && !labelled; ++y) {
        for (int x = 200; x < 300 && !labelled; ++x) {
            labelled = quad.pixel(x, y) != qRgb(0, 0, 0);
        }
    }
    EXPECT_TRUE(labelled);
    run = cli(dir, "render square.fm p.png --view preview --frame 1 --edges --vertices");
    EXPECT_EQ(0, run.status) << run.err;
    run = cli(dir, "render square.fm p.png --view preview --skin 3");
    EXPECT_EQ(1, run.status);
    EXPECT_EQ("faceto-cli: square.fm: no skin 3 (the model has 0)\n", run.err);

    // Front is the pane of y to the right and z up (Quake models face +x): the square shows whole
    // there, and as one vertical line from the side.
    auto edgePixels = [](const QImage& image) {
        int count = 0;
        for (int y = 20; y < image.height(); ++y) {
            for (int x = 30; x < image.width(); ++x) {
                count += qGray(image.pixel(x, y)) < 100 ? 1 : 0;
            }
        }
        return count;
    };
    ASSERT_EQ(0, cli(dir, "render square.fm f.png --view front --size 200x200 --fit").status);
    ASSERT_EQ(0, cli(dir, "render square.fm s.png --view side --size 200x200 --fit").status);
    const QImage frontFit(QString::fromStdString(dir.path("f.png")));
    const QImage sideFit(QString::fromStdString(dir.path("s.png")));
    EXPECT_GT(edgePixels(frontFit), 2 * edgePixels(sideFit));

    // The picture's format follows the extension.
    ASSERT_EQ(0, cli(dir, "render square.fm c.jpg").status);
    EXPECT_EQ('\xFF', char(readBytes(dir.path("c.jpg")).at(0)));
    ASSERT_EQ(0, cli(dir, "render square.fm c.BMP").status);
    EXPECT_EQ('B', char(readBytes(dir.path("c.BMP")).at(0)));
    run = cli(dir, "render square.fm c.gif");
    EXPECT_EQ(2, run.status);
    EXPECT_EQ("faceto-cli: c.gif: pictures are written as .png, .jpg or .bmp\n", run.err);

    EXPECT_EQ(1, cli(dir, "render square.fm x.png --frame nothing").status);
    EXPECT_EQ(2, cli(dir, "render square.fm x.png --view sideways").status);
    EXPECT_EQ(2, cli(dir, "render square.fm x.png --size 0x5").status);
    EXPECT_EQ(1, cli(dir, "render square.fm /nonexistent/x.png").status);
}

TEST(FacetoCli, RenderDrawsEachCameraMode) {
    TempDir dir;
    ModelData data = makeModel(4, {tri(0, 2, 1), tri(1, 2, 3)}, 1);
    data.frames[0].positions = {{0, -20, -20}, {0, 20, -20}, {0, -20, 20}, {4, 20, 20}};
    data.model.triangles[0].color = 100;
    data.model.triangles[1].color = 180;
    for (Triangle& t : data.model.triangles) {
        t.st = {{{0, 0}, {0, 15}, {15, 0}}};
    }
    Skin skin; // stripes of two colours
    skin.imageWidth = skin.imageHeight = 16;
    skin.bitsPerPixel = 8;
    for (int i = 0; i < 256; ++i) {
        skin.pixels.push_back(uint8_t((i / 2) % 2 ? 60 : 200));
        skin.palette.push_back(PaletteEntry{uint8_t(i), uint8_t(255 - i), uint8_t(i / 2), 0});
    }
    data.model.skins = {skin};
    ASSERT_TRUE(writeNative(dir.path("square.fm"), data.model, data.frames, data.source));
    // Every mode draws a picture of its own; none draws only the background.
    std::vector<QImage> pictures;
    for (const char* mode :
         {"none", "wireframe", "vertex", "flat", "gouraud", "textured", "textured-shaded"}) {
        const std::string out = std::string(mode) + ".png";
        const CliRun run = cli(dir, "render square.fm " + out + " --mode " + mode + " --size 160x120");
        ASSERT_EQ(0, run.status) << mode << ": " << run.err;
        pictures.emplace_back(QString::fromStdString(dir.path(out)));
        ASSERT_EQ(QSize(160, 120), pictures.back().size()) << mode;
    }
    QImage background(160, 120, QImage::Format_RGB32);
    background.fill(qRgb(0, 0, 0));
    EXPECT_EQ(background, pictures[0].convertToFormat(QImage::Format_RGB32));
    for (size_t a = 1; a < pictures.size(); ++a) {
        EXPECT_NE(background, pictures[a].convertToFormat(QImage::Format_RGB32)) << a;
        for (size_t b = 1; b < a; ++b) {
            EXPECT_NE(pictures[a], pictures[b]) << a << " " << b;
        }
    }
    // The default is the editor's: textured for a model with a skin until a mode is chosen, then that.
    ASSERT_EQ(0, cli(dir, "render square.fm default.png --size 160x120").status);
    EXPECT_EQ(pictures[5], QImage(QString::fromStdString(dir.path("default.png"))));
    {
        QSettings settings(QString::fromStdString(dir.path("settings.ini")), QSettings::IniFormat);
        settings.setValue("Pref/FillMode", FILL_FLAT);
    }
    ASSERT_EQ(0, cli(dir, "render square.fm default.png --size 160x120").status);
    EXPECT_EQ(pictures[3], QImage(QString::fromStdString(dir.path("default.png"))));
    const CliRun wrong = cli(dir, "render square.fm x.png --mode shiny");
    EXPECT_EQ(2, wrong.status);
    EXPECT_EQ("faceto-cli: unknown mode shiny (none, wireframe, vertex, flat, gouraud, textured or "
              "textured-shaded)\n",
              wrong.err);
}

namespace {

// An .md2 whose one skin is a 4 x 4 picture of `value`, named so that an export writes skin0.PCX.
void writeSkinnedMd2(const TempDir& dir, const std::string& name, uint8_t value, size_t skins = 1) {
    Skin skin;
    skin.imageWidth = 4;
    skin.imageHeight = 4;
    skin.bitsPerPixel = 8;
    skin.pixels.assign(16, value);
    skin.palette.assign(256, PaletteEntry{0, 0, 0, 0});
    const std::string folder = std::filesystem::path(dir.path(name)).parent_path().string();
    std::filesystem::create_directories(folder);
    ASSERT_TRUE(writeSkinPcx(folder + "/s.pcx", skin));
    ModelData data = makeModel(3, {tri(0, 1, 2)}, 1);
    writeBytes(dir.path(name), toVector(*encodeMd2(data.model, data.frames, data.source,
                                                   std::vector<std::string>(skins, "s.pcx"))));
}

} // namespace

TEST(FacetoCli, BatchesRefuseInputsThatWouldOverwriteEachOther) {
    TempDir dir;
    writeSkinnedMd2(dir, "red/tris.md2", 1);
    writeSkinnedMd2(dir, "blue/tris.md2", 2);

    // Both would write out/tris.md2: refused, naming both, before anything is written.
    CliRun run = cli(dir, "convert --to md2 red/tris.md2 blue/tris.md2 -d out");
    EXPECT_EQ(1, run.status);
    EXPECT_NE(std::string::npos,
              run.err.find("blue/tris.md2 and red/tris.md2 would both write out/tris.md2"));
    EXPECT_FALSE(std::filesystem::exists(dir.path("out")));

    // Different names but one skin0.PCX with two pictures: refused too.
    std::filesystem::rename(dir.path("blue/tris.md2"), dir.path("blue/other.md2"));
    run = cli(dir, "convert --to md2 red/tris.md2 blue/other.md2 -d out");
    EXPECT_EQ(1, run.status);
    EXPECT_NE(std::string::npos, run.err.find("would both write out/skin0.PCX (different skins)"));
    EXPECT_FALSE(std::filesystem::exists(dir.path("out")));

    // --tree keeps each input's folder below -d, which is made as needed.
    run = cli(dir, "convert --to md2 red/tris.md2 blue/other.md2 -d out/new --tree");
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_TRUE(std::filesystem::exists(dir.path("out/new/red/tris.md2")));
    EXPECT_TRUE(std::filesystem::exists(dir.path("out/new/red/skin0.PCX")));
    EXPECT_TRUE(std::filesystem::exists(dir.path("out/new/blue/other.md2")));
    EXPECT_NE(readBytes(dir.path("out/new/red/skin0.PCX")), readBytes(dir.path("out/new/blue/skin0.PCX")));
}

TEST(FacetoCli, AnotherModelsSkinIsReplacedOnlyWithForce) {
    TempDir dir;
    writeSkinnedMd2(dir, "a.md2", 1);
    std::filesystem::create_directory(dir.path("out"));
    ASSERT_EQ(0, cli(dir, "convert a.md2 out/a.md2").status);
    const std::vector<uint8_t> first = readBytes(dir.path("out/skin0.PCX"));
    writeSkinnedMd2(dir, "b/b.md2", 9);

    CliRun run = cli(dir, "convert b/b.md2 out/b.md2");
    EXPECT_EQ(1, run.status);
    EXPECT_EQ(
        "faceto-cli: out/skin0.PCX: a different file of this name is in the way; it is not replaced (--force "
        "replaces it)\n",
        run.err);
    EXPECT_EQ(first, readBytes(dir.path("out/skin0.PCX")));
    EXPECT_FALSE(std::filesystem::exists(dir.path("out/b.md2")));

    run = cli(dir, "convert b/b.md2 out/b.md2 --force");
    EXPECT_EQ(0, run.status) << run.err;
    EXPECT_NE(first, readBytes(dir.path("out/skin0.PCX")));

    // Several skins in the way: every one named, on one line.
    writeSkinnedMd2(dir, "c/c.md2", 3, 2);
    ASSERT_EQ(0, cli(dir, "convert c/c.md2 out/c.md2 --force").status);
    writeSkinnedMd2(dir, "d/d.md2", 4, 2);
    run = cli(dir, "convert d/d.md2 out/d.md2");
    EXPECT_EQ(
        "faceto-cli: out/skin0.PCX, out/skin1.PCX: different files of these names are in the way; they are "
        "not replaced "
        "(--force replaces them)\n",
        run.err);
}

TEST(FacetoCli, AFailedWriteNamesTheFileAndTheReason) {
    TempDir dir;
    writeSkinnedMd2(dir, "a.md2", 1);
    std::filesystem::create_directories(dir.path("out/skin0.PCX"));
    const CliRun run = cli(dir, "convert a.md2 out/a.md2");
    EXPECT_EQ(1, run.status);
    EXPECT_EQ("faceto-cli: out/skin0.PCX: not written: Is a directory\n", run.err);
    EXPECT_FALSE(std::filesystem::exists(dir.path("out/a.md2")));
    EXPECT_EQ("faceto-cli: missing.md2: No such file or directory\n", cli(dir, "info missing.md2").err);
    EXPECT_EQ("faceto-cli: out: Is a directory\n", cli(dir, "info out").err);
}

TEST(FacetoCli, JsonNamesThatAreNotUtf8AndPositionsThatAreNotNumbersStillParse) {
    TempDir dir;
    ModelData data = makeModel(3, {tri(0, 1, 2)}, 2);
    data.frames[0].name = "caf\xE9"
                          "1";                // Latin-1, not UTF-8
    data.frames[1].name = "na\xC3\xAFve\x01"; // UTF-8 and a control character
    data.frames[1].positions = {{0.1f, 0, 0}, {1, std::numeric_limits<float>::quiet_NaN(), 1}, {2, 2, 2}};
    ASSERT_TRUE(writeNative(dir.path("m.fm"), data.model, data.frames, data.source));
    const CliRun run = cli(dir, "info --json m.fm");
    ASSERT_EQ(0, run.status) << run.err;
    QJsonParseError error;
    const QJsonDocument json = QJsonDocument::fromJson(QByteArray::fromStdString(run.out), &error);
    ASSERT_EQ(QJsonParseError::NoError, error.error) << run.out;
    const QJsonArray frames = json.object()["files"].toArray()[0].toObject()["frames"].toArray();
    EXPECT_EQ(QString::fromUtf8("caf\u00e91"), frames[0].toObject()["name"].toString());
    EXPECT_EQ(QString::fromUtf8("na\u00efve\u0001"), frames[1].toObject()["name"].toString());
    EXPECT_FALSE(frames[0].toObject().contains("nonFinite"));
    EXPECT_TRUE(frames[1].toObject()["nonFinite"].toBool());
    // A float comes back as the same float from the digits written.
    EXPECT_EQ(0.1f, float(frames[1].toObject()["min"].toArray()[0].toDouble()));
}

namespace {

// What `assimp info` reports of a file read without post-processing: faces and vertices; -1 each when
// assimp refuses it.
std::pair<int, int> assimpCounts(const std::string& path) {
    FILE* pipe = popen(("assimp info '" + path + "' -r 2>&1").c_str(), "r");
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        text.append(buffer, n);
    }
    pclose(pipe);
    auto number = [&](const std::string& label) {
        const size_t at = text.find(label);
        return at == std::string::npos ? -1 : std::atoi(text.c_str() + at + label.size());
    };
    return {number("Faces:"), number("Vertices:")};
}

bool haveAssimp() {
    return std::system("command -v assimp >/dev/null 2>&1") == 0;
}

} // namespace

// Every real Quake and Quake 2 model converts to .mdl (one batch), reads back in Faceto with its
// triangles, and loads in assimp's own reader with as many faces (and three vertices each, unjoined).
TEST(FacetoCli, ConvertWritesQuakeModelsThatOtherReadersLoad) {
    const std::filesystem::path root = FACETO_REALDATA_DIR;
    if (!std::filesystem::exists(root)) {
        GTEST_SKIP() << "no real data";
    }
    TempDir dir;
    std::string inputs;
    std::vector<std::filesystem::path> models;
    for (const char* folder : {"md2", "mdl"}) {
        for (const auto& entry : std::filesystem::directory_iterator(root / folder)) {
            inputs += " '" + entry.path().string() + "'";
            models.push_back(entry.path());
        }
    }
    CliRun run = cli(dir, "convert --to mdl -d out" + inputs);
    ASSERT_EQ(0, run.status) << run.err;
    for (const auto& model : models) {
        const std::string written = dir.path("out/" + model.stem().string() + ".mdl");
        CliRun info = cli(dir, "info --json '" + written + "'");
        ASSERT_EQ(0, info.status) << info.err;
        CliRun original = cli(dir, "info --json '" + model.string() + "'");
        auto triangles = [](const std::string& json) {
            const size_t at = json.find("\"triangles\": ");
            return std::atoi(json.c_str() + at + 13);
        };
        EXPECT_EQ(triangles(original.out), triangles(info.out)) << model;
        if (haveAssimp()) {
            const auto [faces, vertices] = assimpCounts(written);
            EXPECT_EQ(triangles(info.out), faces) << written;
            EXPECT_EQ(3 * faces, vertices) << written;
        }
    }
    if (!haveAssimp()) {
        GTEST_SKIP() << "assimp (assimp-utils) is not installed: only Faceto's reader was checked";
    }
}

TEST(FacetoCli, ConvertToQuakeReportsWhatTheEngineCannotDraw) {
    TempDir dir;
    ModelData big = makeModel(1030, {}, 1);
    for (int32_t t = 0; t < 1030; ++t) {
        big.model.triangles.push_back(tri(t, (t + 1) % 1030, (t + 2) % 1030));
    }
    ASSERT_TRUE(writeNative(dir.path("big.fm"), big.model, big.frames, big.source));
    CliRun run = cli(dir, "convert big.fm big.mdl");
    EXPECT_EQ(0, run.status);
    EXPECT_EQ("warning: big.mdl: 1030 vertices: more than the 1024 the original Quake engine draws\n",
              run.err);
    EXPECT_TRUE(std::filesystem::exists(dir.path("big.mdl")));
}

namespace {

std::string output(const std::string& command) {
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    std::string text;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        text.append(buffer, n);
    }
    pclose(pipe);
    return text;
}

bool haveValidator() {
    return std::system(("node '" FACETO_SOURCE_DIR "/scripts/validate-gltf.js' >/dev/null 2>&1")) == 0;
}

int countOf(const std::string& text, const std::string& what) {
    int n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) {
        ++n;
    }
    return n;
}

} // namespace

// Every real model exports to glTF (both kinds) that the Khronos validator accepts without an error
// and that assimp loads with one morph target per frame.
TEST(FacetoCli, GltfExportsPassTheValidatorAndLoadInAssimp) {
    const std::filesystem::path root = FACETO_REALDATA_DIR;
    if (!std::filesystem::exists(root)) {
        GTEST_SKIP() << "no real data";
    }
    TempDir dir;
    std::vector<std::string> written;
    for (const char* folder : {"md2", "mdl"}) {
        for (const auto& entry : std::filesystem::directory_iterator(root / folder)) {
            for (const char* extension : {".gltf", ".glb"}) {
                const std::string out = entry.path().stem().string() + extension;
                const CliRun run = cli(dir, "convert '" + entry.path().string() + "' " + out);
                ASSERT_EQ(0, run.status) << run.err;
                written.push_back(out);
            }
        }
    }
    const bool validator = haveValidator();
    if (validator) {
        std::string files;
        for (const std::string& w : written) {
            files += " '" + dir.path(w) + "'";
        }
        const std::string report = output("node '" FACETO_SOURCE_DIR "/scripts/validate-gltf.js'" + files);
        EXPECT_EQ(int(written.size()), countOf(report, ": 0 errors")) << report;
    }
    if (haveAssimp()) {
        for (const std::string& w : written) {
            const CliRun info = cli(dir, "info --json " + w);
            const size_t at = info.out.find("\"frames\": [");
            const int frames = countOf(info.out.substr(at), "\"name\"");
            output("assimp export '" + dir.path(w) + "' '" + dir.path("assimp.gltf") + "' -fgltf2");
            const std::vector<uint8_t> back = readBytes(dir.path("assimp.gltf"));
            const std::string text(back.begin(), back.end());
            // assimp writes each target it read as {"POSITION": n} in the mesh's list of targets.
            const size_t targets = text.find("\"targets\"");
            ASSERT_NE(std::string::npos, targets) << w;
            const size_t end = text.find(']', targets);
            EXPECT_EQ(frames, countOf(text.substr(targets, end - targets), "POSITION")) << w;
        }
    }
    if (!validator) {
        GTEST_SKIP() << "the glTF validator is not installed (scripts/install-deps.sh installs it with npm)";
    }
}

// Every real Quake and Quake 2 model converts to .md3, reads back with its triangles and frames, and loads
// in assimp (as many faces) and Maverick Model 3D (as many faces and vertices); the real Quake III
// model describes itself, exports to glTF the validator accepts, and gives a thumbnail.
TEST(FacetoCli, QuakeThreeModelsConvertBothWaysAndLoadInOtherReaders) {
    const std::filesystem::path root = FACETO_REALDATA_DIR;
    if (!std::filesystem::exists(root / "md3")) {
        GTEST_SKIP() << "no real data";
    }
    TempDir dir;
    const std::string watercan = (root / "md3" / "watercan.md3").string();
    const CliRun info = cli(dir, "info '" + watercan + "'");
    ASSERT_EQ(0, info.status) << info.err;
    EXPECT_NE(std::string::npos,
              info.out.find("  format: md3\n  vertices: 92\n  triangles: 78\n  frames: 1\n"));
    EXPECT_NE(std::string::npos,
              info.out.find("models/mapobjects/kt_utilities/water_can.tga 256x128, 24 bits"));
    ASSERT_EQ(0, cli(dir, "convert '" + watercan + "' can.gltf").status);
    if (haveValidator()) {
        EXPECT_NE(std::string::npos, output("node '" FACETO_SOURCE_DIR "/scripts/validate-gltf.js' '" +
                                            dir.path("can.gltf") + "'")
                                         .find(": 0 errors"));
    }
    ASSERT_EQ(0, cli(dir, "thumbnail '" + watercan + "' can.png 64").status);
    EXPECT_TRUE(std::filesystem::exists(dir.path("can.png")));

    std::string inputs;
    std::vector<std::filesystem::path> models;
    for (const char* folder : {"md2", "mdl"}) {
        for (const auto& entry : std::filesystem::directory_iterator(root / folder)) {
            inputs += " '" + entry.path().string() + "'";
            models.push_back(entry.path());
        }
    }
    const CliRun run = cli(dir, "convert --to md3 -d out" + inputs);
    ASSERT_EQ(0, run.status) << run.err;
    const bool mm3d = std::system("command -v mm3d >/dev/null 2>&1") == 0;
    for (const auto& model : models) {
        const std::string written = dir.path("out/" + model.stem().string() + ".md3");
        const CliRun back = cli(dir, "info --json '" + written + "'");
        ASSERT_EQ(0, back.status) << back.err;
        const CliRun original = cli(dir, "info --json '" + model.string() + "'");
        auto count = [](const std::string& json, const std::string& key) {
            const size_t at = json.find("\"" + key + "\": ");
            return std::atoi(json.c_str() + at + key.size() + 4);
        };
        EXPECT_EQ(count(original.out, "triangles"), count(back.out, "triangles")) << model;
        EXPECT_EQ(countOf(original.out, "\"min\""), countOf(back.out, "\"min\"")) << model << ": frames";
        if (haveAssimp()) {
            EXPECT_EQ(count(back.out, "triangles"), assimpCounts(written).first) << written;
        }
        if (mm3d) {
            output("cd '" + dir.path("out") + "' && QT_QPA_PLATFORM=offscreen mm3d --convert obj '" +
                   written + "'");
            const std::vector<uint8_t> obj = readBytes(dir.path("out/" + model.stem().string() + ".obj"));
            const std::string text = "\n" + std::string(obj.begin(), obj.end());
            EXPECT_EQ(count(back.out, "triangles"), countOf(text, "\nf ")) << written;
            EXPECT_EQ(count(back.out, "vertices"), countOf(text, "\nv ")) << written;
        }
    }
}

// A rigged, animated glTF becomes a Quake 2 and a Quake model in one command each, its animation
// baked into frames that form one animation.
TEST(FacetoCli, ARiggedGltfConvertsToTheGamesFormats) {
    const std::string path = std::string(FACETO_REALDATA_DIR) + "/gltf/SimpleSkin.gltf";
    if (!std::filesystem::exists(path)) {
        GTEST_SKIP() << "no real data";
    }
    TempDir dir;
    for (const char* out : {"hero.md2", "hero.mdl"}) {
        CliRun run = cli(dir, "convert '" + path + "' " + out);
        ASSERT_EQ(0, run.status) << run.err;
        run = cli(dir, std::string("info --json ") + out);
        EXPECT_EQ(nlohmann::json::parse(R"([{"name": "animation", "frames": 56}])"),
                  nlohmann::json::parse(run.out)["files"][0]["animations"])
            << run.out;
    }
    CliRun fast = cli(dir, "convert '" + path + "' fast.md2 --fps 20");
    ASSERT_EQ(0, fast.status) << fast.err;
    // Frame numbers stop at 99: the 111 frames are "animation1" to "animation99", then "animationb1"...
    EXPECT_EQ(nlohmann::json::parse(
                  R"([{"name": "animation", "frames": 99}, {"name": "animationb", "frames": 12}])"),
              nlohmann::json::parse(cli(dir, "info --json fast.md2").out)["files"][0]["animations"]);
    EXPECT_EQ(2, cli(dir, "convert '" + path + "' x.md2 --fps 0").status);
    EXPECT_EQ(2, cli(dir, "convert a b --interpolation cubic").status);
}

// What file managers call: a square picture of the model.
TEST(FacetoCli, ThumbnailDrawsASquarePicture) {
    TempDir dir;
    ModelData data = makeModel(4, {tri(0, 2, 1), tri(1, 2, 3)}, 1);
    data.frames[0].positions = {{0, -20, -20}, {0, 20, -20}, {0, -20, 20}, {0, 20, 20}};
    for (Triangle& t : data.model.triangles) {
        t.color = 100;
    }
    ASSERT_TRUE(writeNative(dir.path("m.fm"), data.model, data.frames, data.source));
    CliRun run = cli(dir, "thumbnail m.fm t.png 128");
    ASSERT_EQ(0, run.status) << run.err;
    const QImage picture(QString::fromStdString(dir.path("t.png")));
    EXPECT_EQ(QSize(128, 128), picture.size());
    EXPECT_NE(qRgb(0, 0, 0), picture.pixel(64, 64));
    EXPECT_EQ(2, cli(dir, "thumbnail m.fm t.png 5").status);
}

// The thumbnail of every real model fills at least 80% of its picture's width or height, a long one
// (a rifle, a horse) seen from the side that shows its length.
TEST(FacetoCli, ThumbnailsFillTheirPicture) {
    const std::filesystem::path root = FACETO_REALDATA_DIR;
    if (!std::filesystem::exists(root)) {
        GTEST_SKIP() << "no real data";
    }
    TempDir dir;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
        const std::string ext = entry.path().extension().string();
        if (ext != ".md2" && ext != ".mdl" && ext != ".md3" && ext != ".3do" && ext != ".3DO" &&
            ext != ".gltf") {
            continue;
        }
        const CliRun run = cli(dir, "thumbnail '" + entry.path().string() + "' t.png 128");
        ASSERT_EQ(0, run.status) << entry.path() << run.err;
        const QImage picture(QString::fromStdString(dir.path("t.png")));
        const QRgb background = picture.pixel(0, 0);
        int left = 128, right = -1, top = 128, bottom = -1;
        for (int y = 0; y < 128; ++y) {
            for (int x = 0; x < 128; ++x) {
                if (picture.pixel(x, y) != background) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        }
        const int covered = std::max(right - left + 1, bottom - top + 1);
        EXPECT_GE(covered, 103) << entry.path() << ": " << covered << " of 128 pixels";
    }
}

// Skins out and in from scripts: a PCX comes out exactly as it was read, a PNG keeps the indices, and a
// picture goes in as a new skin.
TEST(FacetoCli, SkinExportImportAndRender) {
    TempDir dir;
    const std::filesystem::path real =
        std::filesystem::path(FACETO_REALDATA_DIR) / "pcx" / "testpcx_8bit.pcx";
    writeSkinnedMd2(dir, "m.md2", 7);
    if (std::filesystem::exists(real)) {
        std::filesystem::copy_file(real, dir.path("s.pcx"),
                                   std::filesystem::copy_options::overwrite_existing);
    }
    const std::vector<uint8_t> pcx = readBytes(dir.path("s.pcx"));
    CliRun run = cli(dir, "skin export m.md2 0 out.pcx");
    ASSERT_EQ(0, run.status) << run.err;
    EXPECT_EQ(pcx, readBytes(dir.path("out.pcx")));

    run = cli(dir, "skin export m.md2 0 out.png --map");
    ASSERT_EQ(0, run.status) << run.err;
    const QImage png(QString::fromStdString(dir.path("out.png")));
    EXPECT_EQ(QImage::Format_Indexed8, png.format());
    const Result<Skin> source = decodeSkinPicture(pcx);
    ASSERT_TRUE(source);
    EXPECT_EQ(QSize(source->imageWidth, source->imageHeight), png.size());

    run = cli(dir, "skin import m.md2 1 out.png two.fm");
    ASSERT_EQ(0, run.status) << run.err;
    run = cli(dir, "info two.fm");
    EXPECT_NE(std::string::npos, run.out.find("skins: 2")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("1: out.png")) << run.out;

    run = cli(dir, "render m.md2 view.png --view skin");
    ASSERT_EQ(0, run.status) << run.err;
    EXPECT_EQ(png.size(), QImage(QString::fromStdString(dir.path("view.png"))).size());

    run = cli(dir, "skin import m.md2 5 out.png x.fm");
    EXPECT_EQ(1, run.status);
    EXPECT_NE(std::string::npos, run.err.find("no skin 5")) << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir.path("x.fm")));
    EXPECT_EQ(1, cli(dir, "skin export m.md2 3 y.pcx").status);
    EXPECT_EQ(2, cli(dir, "skin export m.md2 0 y.gif").status);
    EXPECT_EQ(2, cli(dir, "skin export m.md2").status);
    writeText(dir.path("bad.png"), "no picture");
    run = cli(dir, "skin import m.md2 0 bad.png x.fm");
    EXPECT_EQ(1, run.status);
    EXPECT_NE(std::string::npos, run.err.find("bad.png")) << run.err;
}

// faceto-cli reads the settings file without the toolkit: every value the editor's QSettings writes
// comes back the same.
TEST(FacetoCli, SettingsAreReadAsTheEditorWritesThem) {
    TempDir dir;
    const std::string file = dir.path("settings.ini");
    const std::vector<std::tuple<std::string, std::string, std::string>> values{
        {"games\\quake2", "base", "/home/me/quake 2, \"the\" game\\baseq2/ü"},
        {"games\\quake", "palette", "  spaced  "},
        {"Pref", "LastDoc", "C:\\models\\a;b=c.md2"},
        {"Pref", "Odd Key%", "x"},
        {"General", "name", "top level"},
        {"games\\hexen2", "empty", ""},
    };
    {
        QSettings settings(QString::fromStdString(file), QSettings::IniFormat);
        for (const auto& [section, entry, value] : values) {
            settings.setValue(QString::fromStdString(section).replace('\\', '/') + "/" +
                                  QString::fromStdString(entry),
                              QString::fromStdString(value));
        }
        settings.setValue("Pref/FillMode", 5);
        settings.setValue("Pref/Broken", "12x");
    }
    const IniProfile profile(file);
    for (const auto& [section, entry, value] : values) {
        EXPECT_EQ(value, profile.getString(section, entry, "missing")) << section << "/" << entry;
    }
    EXPECT_EQ(5, profile.getInt("Pref", "FillMode", 1));
    EXPECT_EQ(0, profile.getInt("Pref", "Broken", 1));
    EXPECT_EQ(7, profile.getInt("Pref", "Missing", 7));
    EXPECT_EQ("dflt", IniProfile(dir.path("none.ini")).getString("Pref", "LastDoc", "dflt"));
}

// `set` changes what Model Properties shows; `info` tells it, and it survives a save as .mdl, a trip
// through a native file and a second save. A key or value that is none is refused, and nothing written.
TEST(FacetoCli, SetChangesTheModelPropertiesAndInfoTellsThem) {
    TempDir dir;
    writeSample(dir.path("a.fm"));
    CliRun run = cli(dir, "set a.fm flags=rotate,rocket sync=random eye=1,-2,30.5 b.mdl");
    ASSERT_EQ(0, run.status) << run.err;
    run = cli(dir, "convert b.mdl c.fm");
    ASSERT_EQ(0, run.status) << run.err;
    run = cli(dir, "convert c.fm d.mdl");
    ASSERT_EQ(0, run.status) << run.err;
    run = cli(dir, "info d.mdl");
    EXPECT_NE(std::string::npos, run.out.find("quake flags: rocket, rotate")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("quake sync: random"));
    EXPECT_NE(std::string::npos, run.out.find("quake eye: (1, -2, 30.5)"));
    const nlohmann::json json = nlohmann::json::parse(cli(dir, "info --json c.fm").out)["files"][0];
    EXPECT_EQ(9, json["quake"]["flagBits"]);
    EXPECT_EQ(nlohmann::json({"rocket", "rotate"}), json["quake"]["flags"]);
    EXPECT_EQ(nlohmann::json::array(), json["engineLimits"]);

    run = cli(dir, "set a.fm skins=models/a/skin.pcx,models/a/pain.pcx e.md2");
    ASSERT_EQ(0, run.status) << run.err;
    EXPECT_NE(std::string::npos,
              cli(dir, "info e.md2").out.find("skin names: models/a/skin.pcx models/a/pain.pcx"));

    for (const char* wrong : {"flags=sparkle", "sync=sometimes", "eye=1,2", "colour=red", "flags"}) {
        run = cli(dir, std::string("set a.fm ") + wrong + " f.mdl");
        EXPECT_EQ(1, run.status) << wrong;
        EXPECT_NE(std::string::npos, run.err.find("not a property")) << wrong;
        EXPECT_FALSE(std::filesystem::exists(dir.path("f.mdl"))) << wrong;
    }
}

// `set` groups skins and frames of a Quake model and breaks groups up; `info` tells the groups, which a
// save as .mdl keeps. Intervals that do not increase and an item in no group are refused.
TEST(FacetoCli, SetGroupsSkinsAndFramesAndInfoTellsThem) {
    TempDir dir;
    ModelData data = makeModel(3, {tri(0, 1, 2)}, 3);
    for (int s = 0; s < 2; ++s) {
        data.model.skins.push_back(blankSkin(8, 8, PaletteTables::builtIn().palette));
    }
    data.source.skinWidth = data.source.skinHeight = 8;
    ASSERT_TRUE(writeNative(dir.path("a.fm"), data.model, data.frames, data.source));
    CliRun run = cli(dir, "set a.fm skin-group=0:0.1,0.3 frame-group=1:0.2,0.5 flags=rotate b.mdl");
    ASSERT_EQ(0, run.status) << run.err;
    run = cli(dir, "info b.mdl");
    EXPECT_NE(std::string::npos, run.out.find("skin group: 0 to 1, until 0.1 0.3 s")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("frame group: 1 to 2, until 0.2 0.5 s")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("quake flags: rotate")) << run.out;
    const nlohmann::json json = nlohmann::json::parse(cli(dir, "info --json b.mdl").out)["files"][0];
    EXPECT_EQ(1, json["quake"]["frameGroups"][0]["first"]);
    EXPECT_EQ(2, json["quake"]["frameGroups"][0]["count"]);
    EXPECT_EQ(2u, json["quake"]["skinGroups"][0]["intervals"].size());

    run = cli(dir, "set b.mdl ungroup-frames=2 c.mdl");
    ASSERT_EQ(0, run.status) << run.err;
    run = cli(dir, "info c.mdl");
    EXPECT_EQ(std::string::npos, run.out.find("frame group")) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("skin group: 0 to 1")) << run.out;

    for (const char* wrong : {"skin-group=0:0.3,0.1", "skin-group=0:0.1", "frame-group=x:0.1,0.2",
                              "ungroup-skins=5", "ungroup-frames=0"}) {
        run = cli(dir, std::string("set b.mdl ") + wrong + " f.mdl");
        EXPECT_EQ(1, run.status) << wrong;
        EXPECT_NE(std::string::npos, run.err.find(wrong)) << run.err;
        EXPECT_FALSE(std::filesystem::exists(dir.path("f.mdl"))) << wrong;
    }
}

// `render --frame 2.5` draws the pose half way from frame 2 to the next frame of its animation: the
// picture of a model whose frame is the mean of the two.
TEST(FacetoCli, RenderDrawsAnInBetweenPose) {
    TempDir dir;
    ModelData data = makeModel(4, {tri(0, 2, 1), tri(1, 2, 3)}, 2);
    data.frames[0].name = "run1";
    data.frames[1].name = "run2";
    data.frames[0].positions = {{0, 0, 0}, {10, 2, 0}, {0, 4, 10}, {10, 6, 12}};
    data.frames[1].positions = data.frames[0].positions;
    for (FrameVertex& p : data.frames[1].positions) {
        p = {p.x * 3 + 8, p.y * 4 + 1, p.z * 0.5f - 6}; // not only moved: a fitted view sees it
    }
    ASSERT_TRUE(writeNative(dir.path("two.fm"), data.model, data.frames, data.source));
    ModelData mean = data;
    for (size_t v = 0; v < mean.frames[0].positions.size(); ++v) {
        const FrameVertex& a = data.frames[0].positions[v];
        const FrameVertex& b = data.frames[1].positions[v];
        mean.frames[0].positions[v] = {a.x + (b.x - a.x) * 0.5f, a.y + (b.y - a.y) * 0.5f,
                                       a.z + (b.z - a.z) * 0.5f};
    }
    ASSERT_TRUE(writeNative(dir.path("mean.fm"), mean.model, mean.frames, mean.source));
    for (const char* view : {"front", "preview"}) {
        const std::string common = std::string(" --view ") + view + " --size 120x90 --fit";
        ASSERT_EQ(0, cli(dir, "render two.fm half.png --frame 0.5" + common).status);
        ASSERT_EQ(0, cli(dir, "render mean.fm mean.png --frame 0" + common).status);
        ASSERT_EQ(0, cli(dir, "render two.fm first.png --frame 0" + common).status);
        EXPECT_EQ(readBytes(dir.path("mean.png")), readBytes(dir.path("half.png"))) << view;
        EXPECT_NE(readBytes(dir.path("first.png")), readBytes(dir.path("half.png"))) << view;
    }
    // After the last frame of an animation comes its first, as the engines loop.
    ASSERT_EQ(0, cli(dir, "render two.fm loop.png --frame 1.5 --view front --size 120x90 --fit").status);
    ASSERT_EQ(0, cli(dir, "render mean.fm mean.png --frame 0 --view front --size 120x90 --fit").status);
    EXPECT_EQ(readBytes(dir.path("mean.png")), readBytes(dir.path("loop.png")));
    const CliRun past = cli(dir, "render two.fm none.png --frame 2.5");
    EXPECT_EQ(1, past.status);
    EXPECT_NE(std::string::npos, past.err.find("no frame 2.5"));
}
