#include "TestSupport.h"
#include "document/DocumentEdit.h"
#include "formats/Md2Reader.h"
#include "formats/Md2Writer.h"
#include "formats/MdlReader.h"
#include "formats/NativeFormat.h"

using namespace faceto;
using namespace faceto::test;

namespace {

// A small md2 written by our own writer: two animations over a quad.
std::vector<uint8_t> sampleMd2() {
    ModelData data = makeModel(4, {tri(0, 1, 2), tri(2, 1, 3)}, 3);
    data.frames[0].name = "run1";
    data.frames[1].name = "run2";
    data.frames[2].name = "pain1";
    return toVector(*encodeMd2(data.model, data.frames, data.source, {}));
}

// The smallest version 6 mdl: one 4 x 2 skin, one triangle, one frame.
std::vector<uint8_t> sampleMdl() {
    std::vector<uint8_t> b{'I', 'D', 'P', 'O'};
    auto i32 = [&](int32_t v) {
        for (int k = 0; k < 4; ++k) {
            b.push_back(uint8_t(uint32_t(v) >> (8 * k)));
        }
    };
    i32(6);
    for (int k = 0; k < 10; ++k) {
        i32(0x3f800000); // scale, translate, radius, eye: 1.0
    }
    for (int v : {1, 4, 2, 3, 1, 1, 0, 0, 0x3f800000}) {
        i32(v);
    }
    i32(0);
    b.insert(b.end(), {1, 2, 3, 4, 5, 6, 7, 8});
    for (int k = 0; k < 9; ++k) {
        i32(0);
    }
    for (int v : {1, 0, 1, 2}) {
        i32(v);
    }
    i32(0);
    b.insert(b.end(), 8, uint8_t(0));
    const char name[16] = "frame1";
    b.insert(b.end(), name, name + 16);
    b.insert(b.end(), 12, uint8_t(1));
    return b;
}

} // namespace

TEST(OpenDispatch, GameFormatsAreRecognisedByTheirFirstBytes) {
    TempDir dir;
    writeBytes(dir.path("quake2.fm"), sampleMd2()); // the name does not decide
    DocFixture md2;
    ASSERT_TRUE(md2.doc->onOpenDocument(dir.path("quake2.fm")));
    EXPECT_EQ(2, md2.doc->source().sourceFormat);
    EXPECT_EQ(0, md2.doc->currentFrameIndex());
    EXPECT_EQ(&md2.doc->frames()[0], md2.doc->currentFrame());
    ASSERT_EQ(1u, md2.doc->model().groups.size()); // grouped by connectivity
    EXPECT_EQ(5u, md2.doc->model().edges.size());
    ASSERT_EQ(2u, md2.doc->animations().size());
    EXPECT_EQ("pain", md2.doc->animations()[1].name);
    EXPECT_EQ(std::vector<std::string>{dir.path("quake2.fm")}, md2.host.recentFiles);

    MemoryProfile profile;
    std::vector<uint8_t> palette(768);
    for (size_t i = 0; i < 768; ++i) {
        palette[i] = uint8_t(i);
    }
    writeBytes(dir.path("quake.lmp"), palette);
    writeBytes(dir.path("model.bin"), sampleMdl());
    DocFixture mdl;
    mdl.profile.writeString("games\\quake", "palette", dir.path("quake.lmp"));
    ASSERT_TRUE(mdl.doc->onOpenDocument(dir.path("model.bin")));
    ASSERT_EQ(1u, mdl.doc->model().skins.size());
    EXPECT_EQ((PaletteEntry{5, 4, 3, 0}), mdl.doc->model().skins[0].palette[1]); // the Quake palette
    EXPECT_EQ(1u, mdl.doc->model().groups.size());
    EXPECT_EQ("frame", mdl.doc->animations()[0].name);

    writeText(dir.path("model.3DO"),
              "GEOSETS 1\nGEOSET 0\nMESHES 1\nMESH 0\nVERTICES 3\n0: 0 0 0 0\n1: 1 0 0 0\n"
              "2: 0 1 0 0\nFACES 1\n0: 0 0x0 4 3 1 0 3 0, 0 1, 0 2, 0\n");
    DocFixture jk;
    ASSERT_TRUE(jk.doc->onOpenDocument(dir.path("model.3DO")));
    EXPECT_EQ(3u, jk.doc->model().edges.size());
    EXPECT_EQ("group 0", jk.doc->model().groups[0].name); // the mesh's group, not regrouped
    EXPECT_EQ(0, jk.doc->currentFrameIndex());
    EXPECT_EQ(CFacetoDoc::SaveResult::NotNative, jk.doc->save()); // no writer: Save As instead

    writeBytes(dir.path("broken.md2"), {'I', 'D', 'P', '2', 1, 2, 3});
    DocFixture broken;
    EXPECT_FALSE(broken.doc->onOpenDocument(dir.path("broken.md2")));
    EXPECT_EQ(std::vector<std::string>{"Error reading file."}, headings(broken.host.messages));
    EXPECT_TRUE(broken.doc->frames().empty());
}

// Saving an .md2 back keeps the skin names it stores, found or not, and writes no picture.
TEST(SaveAs, SavingAnMd2BackKeepsItsSkinNames) {
    TempDir dir;
    ModelData data = makeModel(3, {tri(0, 1, 2)}, 1);
    data.source.hasSkins = 1;
    const std::vector<std::string> names{"models/monsters/tank/skin.pcx", "models/monsters/tank/pain.pcx"};
    writeBytes(dir.path("tank.md2"), toVector(*encodeMd2(data.model, data.frames, data.source, names)));
    DocFixture f;
    ASSERT_TRUE(f.doc->onOpenDocument(dir.path("tank.md2")));
    EXPECT_TRUE(f.doc->model().skins.empty()); // not found here
    moveVertex(*f.doc, 2, {4, 4, 4});
    ASSERT_EQ(CFacetoDoc::SaveResult::Saved, f.doc->save());
    const std::vector<uint8_t> file = readBytes(dir.path("tank.md2"));
    EXPECT_EQ(names[0], std::string(reinterpret_cast<const char*>(&file[68])));
    EXPECT_EQ(names[1], std::string(reinterpret_cast<const char*>(&file[68 + 64])));
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.dir())) {
        ++entries;
    }
    EXPECT_EQ(1u, entries);
    // Save As still names the skins as an export does.
    ASSERT_EQ(CFacetoDoc::SaveAsResult::Saved, f.doc->saveAs(dir.path("copy.md2")));
}

TEST(SaveAs, ExportsKeepTheDocumentsPathAndSaveWritesTheGameModelBack) {
    TempDir dir;
    writeBytes(dir.path("in.md2"), sampleMd2());
    DocFixture f;
    ASSERT_TRUE(f.doc->onOpenDocument(dir.path("in.md2")));
    f.host.recentFiles.clear();
    // Save writes the .md2 back where it came from, as a save (the document is no longer modified).
    moveVertex(*f.doc, 0, {1, 2, 3});
    EXPECT_TRUE(f.doc->isModified());
    EXPECT_EQ(CFacetoDoc::SaveResult::Saved, f.doc->save());
    EXPECT_FALSE(f.doc->isModified());
    {
        ModelData saved;
        ASSERT_TRUE(into(readMd2File(dir.path("in.md2"), f.profile), saved));
        EXPECT_NEAR(1.0f, saved.frames[size_t(f.doc->currentFramePosition())].positions[0].x, 0.1f);
    }

    ASSERT_EQ(CFacetoDoc::SaveAsResult::Saved, f.doc->saveAs(dir.path("out.MD2")));
    EXPECT_EQ("in.md2", f.doc->title());
    EXPECT_TRUE(f.host.recentFiles.empty());
    ModelData back;
    ASSERT_TRUE(into(readMd2File(dir.path("out.MD2"), f.profile), back));
    EXPECT_EQ(3u, back.frames.size());

    ASSERT_EQ(CFacetoDoc::SaveAsResult::Saved, f.doc->saveAs(dir.path("out.asc")));
    EXPECT_EQ('A', readBytes(dir.path("out.asc")).at(0));

    DocumentEdit::frames(*f.doc).clear();
    EXPECT_EQ(CFacetoDoc::SaveAsResult::Failed, f.doc->saveAs(dir.path("empty.asc")));
    EXPECT_EQ(CFacetoDoc::SaveAsResult::Failed, f.doc->saveAs(dir.path("empty.md2")));
    EXPECT_EQ((std::vector<std::string>{
                  "Error writing file.\n" + dir.path("empty.asc") + ": the model has no frame",
                  "Error writing file.\n" + dir.path("empty.md2") + ": the model has no frame"}),
              f.host.messages);
    EXPECT_FALSE(std::filesystem::exists(dir.path("empty.asc")));
}

TEST(RealData, EveryFileOpensAndTheGameModelsConvert) {
    const std::filesystem::path root(FACETO_REALDATA_DIR);
    if (!std::filesystem::exists(root)) {
        GTEST_SKIP() << "no real data at " << root;
    }
    TempDir dir;
    int models = 0;
    for (const char* folder : {"md2", "mdl", "3do"}) {
        for (const auto& entry : std::filesystem::directory_iterator(root / folder)) {
            const std::string path = entry.path().string();
            DocFixture f;
            f.profile.writeString("games\\quake", "palette", (root / "lmp" / "palette.lmp").string());
            ASSERT_TRUE(f.doc->onOpenDocument(path)) << path;
            EXPECT_TRUE(f.host.messages.empty()) << path;
            EXPECT_TRUE(modelIsConsistent(*f.doc)) << path;
            ++models;
            if (std::string(folder) == "3do") {
                continue;
            }
            const std::string stem = dir.path(entry.path().stem().string());
            for (const char* ext : {".fm", ".md2", ".asc"}) {
                ASSERT_EQ(CFacetoDoc::SaveAsResult::Saved, f.doc->saveAs(stem + ext)) << path << ext;
            }
            DocFixture native;
            ASSERT_TRUE(native.doc->onOpenDocument(stem + ".fm"));
            EXPECT_EQ(f.doc->frames().size(), native.doc->frames().size());
            EXPECT_EQ(f.doc->source().skinWidth, native.doc->source().skinWidth);
            // The native file keeps the skins and the groups.
            ASSERT_EQ(f.doc->model().skins.size(), native.doc->model().skins.size()) << path;
            for (size_t i = 0; i < f.doc->model().skins.size(); ++i) {
                EXPECT_EQ(f.doc->model().skins[i].pixels, native.doc->model().skins[i].pixels);
                EXPECT_EQ(f.doc->model().skins[i].palette, native.doc->model().skins[i].palette);
            }
            ASSERT_EQ(f.doc->model().groups.size(), native.doc->model().groups.size());
            EXPECT_EQ(f.doc->model().groups.back().name, native.doc->model().groups.back().name);
            DocFixture quake2;
            ASSERT_TRUE(quake2.doc->onOpenDocument(stem + ".md2"));
            EXPECT_EQ(f.doc->model().vertexCount(), quake2.doc->model().vertexCount());
            EXPECT_EQ(f.doc->frames().size(), quake2.doc->frames().size());
            EXPECT_EQ(f.doc->frames().back().name.substr(0, 16), quake2.doc->frames().back().name);
        }
    }
    EXPECT_EQ(7, models);
    // The Quake model's skins were exported beside its md2, in the Quake palette.
    EXPECT_TRUE(std::filesystem::exists(dir.path("skin2.PCX")));
}
