#include "TestSupport.h"
#include "document/DocumentEdit.h"
#include "formats/FileIO.h"
#include "formats/Md2Writer.h"
#include "formats/NativeFormat.h"
#include "formats/Pcx.h"
#include "formats/SkinLoader.h"

#include <csignal>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace faceto;
using namespace faceto::test;

namespace {

constexpr uid_t SOMEBODY_ELSE = 54321;

std::vector<uint8_t> bytes(const std::string& text) {
    return {text.begin(), text.end()};
}

size_t filesIn(const std::filesystem::path& dir) {
    return size_t(std::distance(std::filesystem::directory_iterator(dir), {}));
}

Skin picture(int bits, uint8_t value) {
    Skin skin;
    skin.imageWidth = 4;
    skin.imageHeight = 2;
    skin.bitsPerPixel = bits;
    skin.pixels.assign(size_t(skin.stride()) * 2, value);
    if (bits == 8) {
        skin.palette.assign(256, PaletteEntry{1, 2, 3, 0});
    }
    return skin;
}

// A one-triangle model with the given skins, saved with its skins.
ModelData skinnedModel(std::vector<Skin> skins) {
    ModelData data = makeModel(3, {tri(0, 1, 2)}, 1);
    data.model.skins = std::move(skins);
    data.source.hasSkins = 1;
    return data;
}

} // namespace

TEST(FileSafety, LinksOfAnotherUserAreNotFollowed) {
    TempDir dir;
    const std::string notes = dir.path("notes.txt");
    writeText(notes, "my notes");
    // Somebody else plants a link where a save will write.
    const std::string planted = dir.path("skin0.PCX");
    std::filesystem::create_symlink(notes, planted);
    ASSERT_EQ(0, ::lchown(planted.c_str(), SOMEBODY_ELSE, SOMEBODY_ELSE));

    const Status written = writeFileReplacing(planted, bytes("overwritten"));
    EXPECT_FALSE(written);
    EXPECT_EQ(planted + ": a symbolic link of another user; it is not followed", written.error());
    EXPECT_EQ(bytes("my notes"), readBytes(notes));
    EXPECT_TRUE(std::filesystem::is_symlink(planted));
    EXPECT_EQ(2u, filesIn(dir.dir())); // no temporary file left behind

    // A chain of links is checked link by link: one's own link to somebody else's is refused too.
    const std::string mine = dir.path("mine.fm");
    std::filesystem::create_symlink(planted, mine);
    EXPECT_FALSE(writeFileReplacing(mine, bytes("x")));
    EXPECT_EQ(bytes("my notes"), readBytes(notes));

    // The user's own link is followed and stays a link.
    const std::string own = dir.path("own.txt");
    std::filesystem::create_symlink(notes, own);
    ASSERT_TRUE(writeFileReplacing(own, bytes("new notes")));
    EXPECT_EQ(bytes("new notes"), readBytes(notes));
    EXPECT_TRUE(std::filesystem::is_symlink(own));
}

TEST(FileSafety, ReadOnlyFilesAndFoldersAreNotReplaced) {
    TempDir dir;
    const std::string locked = dir.path("locked.fm");
    writeText(locked, "keep me");
    ASSERT_EQ(0, ::chmod(locked.c_str(), 0444));
    const Status written = writeFileReplacing(locked, bytes("new"));
    EXPECT_EQ(locked + ": the file is read-only", written.error());
    EXPECT_EQ(bytes("keep me"), readBytes(locked));
    struct stat st {};
    ASSERT_EQ(0, ::stat(locked.c_str(), &st));
    EXPECT_EQ(0444u, st.st_mode & 0777); // still the same file

    std::filesystem::create_directory(dir.path("folder.fm"));
    EXPECT_EQ(dir.path("folder.fm") + ": Is a directory",
              writeFileReplacing(dir.path("folder.fm"), bytes("x")).error());
    EXPECT_EQ(dir.path("none/x.fm") + ": No such file or directory",
              writeFileReplacing(dir.path("none/x.fm"), bytes("x")).error());

    // Reading: a missing file and a folder each say so.
    EXPECT_EQ(dir.path("absent") + ": No such file or directory", readFile(dir.path("absent")).error());
    EXPECT_EQ(dir.path("folder.fm") + ": Is a directory", readFile(dir.path("folder.fm")).error());
}

TEST(FileSafety, SeveralFilesAreReplacedTogetherOrNotAtAll) {
    TempDir dir;
    writeText(dir.path("a"), "old a");
    std::filesystem::create_directory(dir.path("b")); // in the way of the second file
    {
        FileReplacer replacer;
        ASSERT_TRUE(replacer.stage(dir.path("a"), bytes("new a")));
        EXPECT_FALSE(replacer.stage(dir.path("b"), bytes("new b")));
        // Not committed: the first file stays as it was and its temporary file goes.
    }
    EXPECT_EQ(bytes("old a"), readBytes(dir.path("a")));
    EXPECT_EQ(2u, filesIn(dir.dir()));

    FileReplacer replacer;
    ASSERT_TRUE(replacer.stage(dir.path("a"), bytes("new a")));
    ASSERT_TRUE(replacer.stage(dir.path("c"), bytes("new c")));
    EXPECT_EQ(bytes("old a"), readBytes(dir.path("a"))); // nothing replaced before the commit
    ASSERT_TRUE(replacer.commit());
    EXPECT_EQ(bytes("new a"), readBytes(dir.path("a")));
    EXPECT_EQ(bytes("new c"), readBytes(dir.path("c")));
    EXPECT_EQ(3u, filesIn(dir.dir()));
}

TEST(FileSafety, AnExportWhoseSkinCannotBeWrittenWritesNothing) {
    TempDir dir;
    const std::string model = dir.path("model.md2");
    writeText(model, "the old export");
    std::filesystem::create_directory(dir.path("skin1.PCX"));
    ModelData data = skinnedModel({picture(8, 1), picture(8, 2)});
    DocFixture f;
    loadInto(*f.doc, data);
    EXPECT_EQ(CFacetoDoc::SaveAsResult::Failed, f.doc->saveAs(model));
    ASSERT_EQ(1u, f.host.messages.size());
    EXPECT_EQ("Error writing file.\n" + dir.path("skin1.PCX") + ": Is a directory", f.host.messages[0]);
    EXPECT_EQ(bytes("the old export"), readBytes(model));
    EXPECT_FALSE(std::filesystem::exists(dir.path("skin0.PCX")));
    EXPECT_EQ(2u, filesIn(dir.dir()));           // the model and the folder: no temporary file is left
    EXPECT_EQ("", f.doc->model().skins[0].name); // the skins keep their names
}

TEST(FileSafety, TrueColourSkinsAreExportedWithoutLoss) {
    TempDir dir;
    Skin rgb = picture(24, 0);
    for (size_t i = 0; i < rgb.pixels.size(); ++i) {
        rgb.pixels[i] = uint8_t(i * 11);
    }
    ModelData data = skinnedModel({rgb});
    ASSERT_TRUE(writeMd2(dir.path("m.md2"), data.model, data.frames, data.source));
    Skin back;
    ASSERT_TRUE(readPcx(dir.path("skin0.PCX"), back));
    EXPECT_EQ(24, back.bitsPerPixel);
    EXPECT_EQ(rgb.pixels, back.pixels);
}

TEST(FileSafety, AnExportAsksBeforeReplacingAnotherModelsSkin) {
    TempDir dir;
    DocFixture first;
    loadInto(*first.doc, skinnedModel({picture(8, 1)}));
    ASSERT_EQ(CFacetoDoc::SaveAsResult::Saved, first.doc->saveAs(dir.path("first.md2")));
    const std::vector<uint8_t> firstSkin = readBytes(dir.path("skin0.PCX"));

    // The same picture again is no conflict.
    DocFixture same;
    loadInto(*same.doc, skinnedModel({picture(8, 1)}));
    ASSERT_EQ(CFacetoDoc::SaveAsResult::Saved, same.doc->saveAs(dir.path("same.md2")));
    EXPECT_TRUE(same.host.replaceQuestions.empty());

    // Another picture under the same name: asked, and a "no" writes nothing at all.
    DocFixture second;
    second.host.replaceAnswer = false;
    loadInto(*second.doc, skinnedModel({picture(8, 7)}));
    EXPECT_EQ(CFacetoDoc::SaveAsResult::Cancelled, second.doc->saveAs(dir.path("second.md2")));
    EXPECT_EQ(std::vector<std::string>{dir.path("skin0.PCX")}, second.host.replaceQuestions);
    EXPECT_EQ(firstSkin, readBytes(dir.path("skin0.PCX")));
    EXPECT_FALSE(std::filesystem::exists(dir.path("second.md2")));
    EXPECT_TRUE(second.host.messages.empty());

    second.host.replaceAnswer = true;
    EXPECT_EQ(CFacetoDoc::SaveAsResult::Saved, second.doc->saveAs(dir.path("second.md2")));
    EXPECT_NE(firstSkin, readBytes(dir.path("skin0.PCX")));
}

// An export again over an earlier one replaces the files it wrote beside it (they are its own); a file
// in the way of another model is still asked about, and a model the format cannot hold says why.
TEST(FileSafety, ExportsReplaceTheirOwnCompanionsAndSayWhyTheyCannotWrite) {
    TempDir dir;
    DocFixture f;
    loadInto(*f.doc, skinnedModel({picture(8, 1)}));
    for (const char* name : {"m.gltf", "m.obj"}) {
        ASSERT_EQ(CFacetoDoc::SaveAsResult::Saved, f.doc->saveAs(dir.path(name))) << name;
    }
    DocumentEdit::model(*f.doc).skins[0].pixels.assign(DocumentEdit::model(*f.doc).skins[0].pixels.size(),
                                                       5); // another picture now
    moveVertex(*f.doc, 0, {3, 3, 3});
    for (const char* name : {"m.gltf", "m.obj"}) {
        EXPECT_EQ(CFacetoDoc::SaveAsResult::Saved, f.doc->saveAs(dir.path(name))) << name;
    }
    EXPECT_TRUE(f.host.replaceQuestions.empty());
    // A .png of that name that no export of this name wrote is another matter.
    writeBytes(dir.path("n.png"), bytes("someone's picture"));
    f.host.replaceAnswer = false;
    EXPECT_EQ(CFacetoDoc::SaveAsResult::Cancelled, f.doc->saveAs(dir.path("n.gltf")));
    EXPECT_EQ(std::vector<std::string>{dir.path("n.png")}, f.host.replaceQuestions);

    DocFixture big;
    loadInto(*big.doc, makeModel(40000, {}, 1));
    EXPECT_EQ(CFacetoDoc::SaveAsResult::Failed, big.doc->saveAs(dir.path("big.md2")));
    EXPECT_EQ("Error writing file.\n" + dir.path("big.md2") +
                  ": the model has 40000 vertices; a Quake 2 model holds at most 32768",
              big.host.messages.back());
}

// No temporary file outlives a save: a stop signal in the middle of one removes it, and one left by a
// process killed outright is removed by the next save into its folder (others' and live ones stay).
TEST(FileSafety, TemporaryFilesAreRemovedOnSignalsAndAfterACrash) {
    TempDir dir;
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        removeTemporariesOnSignals();
        FileReplacer replacer;
        if (!replacer.stage(dir.path("m.md2"), bytes("half written"))) {
            ::_exit(3);
        }
        std::raise(SIGINT); // Ctrl+C before the rename
        ::_exit(4);
    }
    int status = 0;
    ASSERT_EQ(child, ::waitpid(child, &status, 0));
    ASSERT_TRUE(WIFSIGNALED(status)) << "exit " << WEXITSTATUS(status);
    EXPECT_EQ(SIGINT, WTERMSIG(status));
    EXPECT_EQ(0u, filesIn(dir.dir()));

    // A dead process's temporary goes with the next save there; a live one's, and a name not of our
    // making, stay.
    const pid_t gone = ::fork();
    if (gone == 0) {
        ::_exit(0);
    }
    ::waitpid(gone, nullptr, 0);
    const std::string stale = dir.path(".#m.md2." + std::to_string(gone) + "-123");
    const std::string live = dir.path(".#m.md2." + std::to_string(::getppid()) + "-456");
    const std::string other = dir.path(".#m.md2");
    for (const std::string& path : {stale, live, other}) {
        writeBytes(path, bytes("left"));
    }
    ASSERT_TRUE(writeFileReplacing(dir.path("m.md2"), bytes("whole")));
    EXPECT_FALSE(std::filesystem::exists(stale));
    EXPECT_TRUE(std::filesystem::exists(live));
    EXPECT_TRUE(std::filesystem::exists(other));
    EXPECT_EQ(3u, filesIn(dir.dir())); // and m.md2
}
