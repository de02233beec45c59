#include "TestSupport.h"
#include "document/FrameOperations.h"
#include "formats/NativeFormat.h"

using namespace faceto;
using namespace faceto::test;

TEST(Document, NewDocumentHasOneFrameAndOneAnimation) {
    DocFixture f;
    ASSERT_TRUE(f.doc->onNewDocument());
    ASSERT_EQ(1u, f.doc->frames().size());
    EXPECT_EQ("frame1", f.doc->frames()[0].name);
    EXPECT_EQ(&f.doc->frames()[0], f.doc->currentFrame());
    EXPECT_EQ(-1, f.doc->currentFrameIndex());
    ASSERT_EQ(1u, f.doc->animations().size());
    EXPECT_EQ("frame", f.doc->animations()[0].name);
    EXPECT_EQ("Untitled", f.doc->title());
    EXPECT_EQ(f.doc->currentAnimation(), &f.doc->animations()[0]);
}

TEST(Document, DestroyingWritesItsPathAsLastDoc) {
    MemoryProfile profile;
    RecordingHost host;
    PaletteTables palette = PaletteTables::builtIn();
    TempDir dir;
    {
        CFacetoDoc doc(profile, host, palette);
        doc.onNewDocument();
    }
    EXPECT_TRUE(profile.contains("Pref", "LastDoc"));
    EXPECT_EQ("", profile.getString("Pref", "LastDoc", "x"));
    {
        CFacetoDoc doc(profile, host, palette);
        doc.onNewDocument();
        ASSERT_EQ(CFacetoDoc::SaveAsResult::Saved, doc.saveAs(dir.path("kept.fm")));
    }
    EXPECT_EQ(dir.path("kept.fm"), profile.getString("Pref", "LastDoc", ""));
}

TEST(Document, OpenDispatchesOnTheFirstBytesAndReportsFailures) {
    TempDir dir;
    ModelData data = makeModel(3, {tri(0, 1, 2)}, 3);
    data.frames[0].name = "run1";
    data.frames[1].name = "run2";
    data.frames[2].name = "stand1";
    data.model.triangles[0].group = 0;
    data.model.triangles[0].color = 47;
    const std::string native = dir.path("weird-name.md2"); // the bytes decide, not the name
    ASSERT_TRUE(writeNative(native, data.model, data.frames, data.source));

    DocFixture f;
    ASSERT_TRUE(f.doc->onOpenDocument(native));
    EXPECT_TRUE(f.host.messages.empty());
    EXPECT_EQ(std::vector<std::string>{native}, f.host.recentFiles);
    EXPECT_EQ(0, f.doc->currentFrameIndex());
    EXPECT_EQ(&f.doc->frames()[0], f.doc->currentFrame());
    EXPECT_EQ(3u, f.doc->model().edges.size());
    ASSERT_EQ(2u, f.doc->animations().size()); // animations follow the frame names
    EXPECT_EQ("stand", f.doc->animations()[1].name);
    ASSERT_EQ(1u, f.doc->model().groups.size()); // groups come back from the triangles' words
    EXPECT_EQ(47, f.doc->model().groups[0].color);
    EXPECT_EQ("weird-name.md2", f.doc->title());
    EXPECT_EQ(native, f.doc->pathName());

    // A missing file, a folder and a file that may not be read each say what is wrong.
    DocFixture missing;
    EXPECT_FALSE(missing.doc->onOpenDocument(dir.path("absent.fm")));
    ASSERT_EQ(1u, missing.host.messages.size());
    EXPECT_EQ("Error reading file.\n" + dir.path("absent.fm") + ": No such file or directory",
              missing.host.messages[0]);
    DocFixture folder;
    EXPECT_FALSE(folder.doc->onOpenDocument(dir.dir().string()));
    EXPECT_EQ("Error reading file.\n" + dir.dir().string() + ": Is a directory", folder.host.messages.at(0));

    const std::string text = dir.path("notes.txt");
    writeText(text, "hello world");
    DocFixture unsupported;
    EXPECT_FALSE(unsupported.doc->onOpenDocument(text));
    EXPECT_EQ(std::vector<std::string>{"Unsupported File type."}, unsupported.host.messages);
    EXPECT_TRUE(unsupported.host.recentFiles.empty());

    const std::string broken = dir.path("broken.fm");
    writeBytes(broken, {'H', 'B', 'F', 'M', 0, 0});
    DocFixture bad;
    EXPECT_FALSE(bad.doc->onOpenDocument(broken));
    EXPECT_EQ("Error reading file.\n" + broken + ": the model's name is not stored as the format says",
              bad.host.messages.at(0));
    EXPECT_EQ("", bad.doc->pathName());
    EXPECT_TRUE(bad.doc->frames().empty()); // nothing half-loaded
}

// A native file of several megabytes is read as it is parsed, not whole: it opens as the same model, and
// a cut one is refused for the same reason as a small one.
TEST(Document, ALargeNativeFileOpensAsItIsParsed) {
    TempDir dir;
    std::mt19937 rng(3);
    ModelData data = makeModel(40000, randomTriangles(rng, 40000, 2000, false), 4);
    data.frames[2].positions[39999] = {1.5f, -2.5f, 3.25f};
    const std::vector<uint8_t> file = toVector(encodeNative(data.model, data.frames, data.source));
    ASSERT_GT(file.size(), size_t(1) << 21);
    const std::string path = dir.path("large.fm");
    writeBytes(path, file);
    DocFixture f;
    ASSERT_TRUE(f.doc->onOpenDocument(path));
    DocFixture fromMemory;
    ASSERT_TRUE(fromMemory.doc->openBytes(path, file));
    EXPECT_EQ(
        toVector(encodeNative(fromMemory.doc->model(), fromMemory.doc->frames(), fromMemory.doc->source())),
        toVector(encodeNative(f.doc->model(), f.doc->frames(), f.doc->source())));
    EXPECT_EQ(data.frames[2].positions[39999], f.doc->frames()[2].positions[39999]);

    const std::string cut = dir.path("cut.fm");
    writeBytes(cut, std::vector<uint8_t>(file.begin(), file.end() - 5));
    DocFixture bad;
    EXPECT_FALSE(bad.doc->onOpenDocument(cut));
    EXPECT_EQ("Error reading file.\n" + cut + ": the file ends before everything its header announces",
              bad.host.messages.at(0));
    EXPECT_TRUE(bad.doc->frames().empty());
}

TEST(Document, SaveWritesOnlyNativeDocuments) {
    TempDir dir;
    DocFixture f;
    f.doc->onNewDocument();
    EXPECT_EQ(CFacetoDoc::SaveResult::NotNative, f.doc->save()); // never saved
    EXPECT_TRUE(f.host.messages.empty());

    const std::string path = dir.path("Model.FM");
    ASSERT_EQ(CFacetoDoc::SaveAsResult::Saved, f.doc->saveAs(path));
    EXPECT_EQ("Model.FM", f.doc->title());
    EXPECT_EQ(std::vector<std::string>{path}, f.host.recentFiles);
    renameFrame(*f.doc, 0, "changed1");
    EXPECT_TRUE(f.doc->isModified());
    ASSERT_EQ(CFacetoDoc::SaveResult::Saved, f.doc->save());
    EXPECT_FALSE(f.doc->isModified());
    ModelData back;
    ASSERT_TRUE(into(readNativeFile(path), back));
    EXPECT_EQ("changed1", back.frames[0].name);

    // A folder in the way of the file: the write fails with the native writer's message.
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
    EXPECT_EQ(CFacetoDoc::SaveResult::Failed, f.doc->save());
    EXPECT_EQ(std::vector<std::string>{"Couldn't write file\n" + path + ": Is a directory"}, f.host.messages);
    EXPECT_EQ(CFacetoDoc::SaveAsResult::Failed, f.doc->saveAs(path));
    EXPECT_EQ(2u, f.host.messages.size());
    EXPECT_EQ(path, f.doc->pathName());
}

TEST(Document, SaveAsIgnoresUnknownExtensions) {
    TempDir dir;
    DocFixture f;
    f.doc->onNewDocument();
    EXPECT_EQ(CFacetoDoc::SaveAsResult::UnknownExtension, f.doc->saveAs(dir.path("model.dxf")));
    EXPECT_EQ(CFacetoDoc::SaveAsResult::UnknownExtension, f.doc->saveAs(dir.path("model")));
    EXPECT_TRUE(f.host.messages.empty());
    EXPECT_EQ(0, std::distance(std::filesystem::directory_iterator(dir.dir()), {}));
    EXPECT_EQ("Untitled", f.doc->title());
}
