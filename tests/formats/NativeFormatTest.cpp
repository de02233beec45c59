#include "formats/NativeFormat.h"

#include "TestSupport.h"
#include "document/DocumentEdit.h"

#include <cstring>

using namespace faceto;
using namespace faceto::test;

namespace {

// Builds expected file bytes by hand, independently of the writer.
struct Bytes {
    std::vector<uint8_t> b;
    Bytes& i32(int32_t v) {
        for (int k = 0; k < 4; ++k) {
            b.push_back(uint8_t(uint32_t(v) >> (8 * k)));
        }
        return *this;
    }
    Bytes& f32(float v) {
        int32_t bits;
        std::memcpy(&bits, &v, 4);
        return i32(bits);
    }
    Bytes& text(const std::string& s) {
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
    Bytes& name(const std::string& s) {
        return i32(int32_t(s.size() + 1)).text(s).text(std::string(1, '\0'));
    }
};

// A small model with a selected hidden vertex, reserved words, and every stored triangle word set.
ModelData sampleModel() {
    ModelData data = makeModel(3, {tri(0, 1, 2)}, 2);
    data.model.name = "cube";
    data.model.vertexInfos[0].flags = VERTEX_SELECTED;
    data.model.vertexInfos[0].reserved = {7, 8, 9};
    Triangle& t = data.model.triangles[0];
    t.aux = 5;
    t.group = 3;
    t.color = 44;
    t.st = {{{0.5f, 1.0f}, {2.0f, 3.0f}, {4.0f, 5.0f}}};
    t.tail = 6;
    t.cornerAux = {1, 2, 3};
    t.spare = 4;
    data.frames[0].name = "a1";
    data.frames[1].name = "a2";
    data.source = {2, 1, 256, 128, 1, std::nullopt, {}, {}, {}};
    return data;
}

Bytes sampleBytes() {
    Bytes e;
    e.text("HBFM").f32(4.0f).i32(2).i32(1).i32(256).i32(128).i32(1).name("cube");
    e.i32(2).i32(3).i32(1);
    e.i32(1).i32(7).i32(8).i32(9);
    e.i32(2).i32(0).i32(0).i32(0);
    e.i32(2).i32(0).i32(0).i32(0);
    e.i32(0).i32(1).i32(2).i32(5).i32(3).i32(44);
    e.f32(0.5f).f32(1).f32(2).f32(3).f32(4).f32(5).i32(6);
    for (int f = 0; f < 2; ++f) {
        e.name("a" + std::to_string(f + 1));
        for (int v = 0; v < 3; ++v) {
            e.f32(float(v)).f32(float(f)).f32(float(v * 10 + f));
        }
    }
    return e;
}

} // namespace

TEST(NativeFormat, WritesTheExactLayout) {
    ModelData data = sampleModel();
    const std::vector<uint8_t> expected = sampleBytes().b;
    EXPECT_EQ(expected, toVector(encodeNative(data.model, data.frames, data.source)));
    // The version is stored as the float 4.0.
    EXPECT_EQ((std::vector<uint8_t>{0x00, 0x00, 0x80, 0x40}),
              std::vector<uint8_t>(expected.begin() + 4, expected.begin() + 8));
}

TEST(NativeFormat, ReadsAHandMadeFileCompletely) {
    ModelData data;
    ASSERT_TRUE(into(parseNative(sampleBytes().b), data));
    EXPECT_EQ("cube", data.model.name);
    EXPECT_EQ(2, data.source.sourceFormat);
    EXPECT_EQ(256, data.source.skinWidth);
    EXPECT_EQ(128, data.source.skinHeight);
    EXPECT_EQ(1, data.source.hasSkins);
    ASSERT_EQ(3u, data.model.vertexInfos.size());
    EXPECT_EQ(VERTEX_SELECTED, data.model.vertexInfos[0].flags); // selected and hidden
    EXPECT_EQ(9, data.model.vertexInfos[0].reserved[2]);
    const Triangle& t = data.model.triangles.at(0);
    EXPECT_EQ(5, t.aux);
    EXPECT_EQ(3, t.group);
    EXPECT_EQ(44, t.color);
    EXPECT_EQ(4.0f, t.st[2][0]);
    EXPECT_EQ(6, t.tail);
    EXPECT_EQ((std::array<int32_t, 3>{0, 0, 0}), t.cornerAux); // not stored
    EXPECT_EQ(0, t.spare);
    ASSERT_EQ(2u, data.frames.size());
    EXPECT_EQ("a2", data.frames[1].name);
    EXPECT_EQ(21.0f, data.frames[1].positions[2].z);
    EXPECT_EQ(3u, data.model.edges.size());
    EXPECT_TRUE(data.model.groups.empty());
}

TEST(NativeFormat, LongNamesAreCutTo255Characters) {
    ModelData data = sampleModel();
    data.model.name = std::string(300, 'n');
    data.frames[0].name = std::string(256, 'f');
    ByteBuffer bytes = encodeNative(data.model, data.frames, data.source);
    EXPECT_EQ(256, bytes[28] | (bytes[29] << 8));
    ModelData back;
    ASSERT_TRUE(into(parseNative(bytes), back));
    EXPECT_EQ(std::string(255, 'n'), back.model.name);
    EXPECT_EQ(std::string(255, 'f'), back.frames[0].name);
}

TEST(NativeFormat, RejectsMalformedFiles) {
    const std::vector<uint8_t> good = sampleBytes().b;
    ModelData out;
    out.model.name = "untouched";

    // Every truncation of a valid file fails and leaves the output alone.
    for (size_t n = 0; n < good.size(); ++n) {
        ASSERT_FALSE(into(parseNative(std::span(good.data(), n)), out)) << "length " << n;
    }
    EXPECT_EQ("untouched", out.model.name);

    auto patched = [&](size_t offset, int32_t value) {
        std::vector<uint8_t> b = good;
        for (int k = 0; k < 4; ++k) {
            b[offset + size_t(k)] = uint8_t(uint32_t(value) >> (8 * k));
        }
        return b;
    };
    const size_t counts = 28 + 4 + 5;                                      // after the name "cube"
    EXPECT_FALSE(into(parseNative(patched(28, 0)), out));                  // name length 0
    EXPECT_FALSE(into(parseNative(patched(28, 257)), out));                // name length over 256
    EXPECT_FALSE(into(parseNative(patched(counts, 0)), out));              // no frame
    EXPECT_FALSE(into(parseNative(patched(counts, -1)), out));             // negative frame count
    EXPECT_FALSE(into(parseNative(patched(counts + 4, 0x7fffffff)), out)); // more vertices than bytes
    EXPECT_FALSE(into(parseNative(patched(counts + 4, -3)), out));
    EXPECT_FALSE(into(parseNative(patched(counts + 8, 0x10000000)), out)); // more triangles than bytes
    EXPECT_FALSE(into(parseNative(patched(counts, 100000)), out));         // more frames than bytes
    const size_t firstCorner = counts + 12 + 3 * 16;
    EXPECT_FALSE(into(parseNative(patched(firstCorner, 3)), out)); // corner past the last vertex
    EXPECT_FALSE(into(parseNative(patched(firstCorner + 4, -1)), out));
    const size_t firstFrameName = firstCorner + 52;
    EXPECT_FALSE(into(parseNative(patched(firstFrameName, 0)), out));
    EXPECT_FALSE(into(parseNative(patched(firstFrameName, 300)), out));
    EXPECT_EQ("untouched", out.model.name);

    // Trailing bytes after the last frame are ignored.
    std::vector<uint8_t> longer = good;
    longer.insert(longer.end(), 10, uint8_t(0xEE));
    EXPECT_TRUE(into(parseNative(longer), out));
}

TEST(NativeFormat, FileRoundTripReplacesTheOldFile) {
    TempDir dir;
    const std::string path = dir.path("model.fm");
    writeBytes(path, std::vector<uint8_t>(5000, 0xAB)); // an older, longer file
    ModelData data = sampleModel();
    ASSERT_TRUE(writeNative(path, data.model, data.frames, data.source));
    EXPECT_EQ(sampleBytes().b, readBytes(path)); // nothing of the old file is left behind it
    ModelData back;
    ASSERT_TRUE(into(readNativeFile(path), back));
    EXPECT_EQ("a1", back.frames[0].name);
    // The temporary file is gone.
    EXPECT_EQ(1, std::distance(std::filesystem::directory_iterator(dir.dir()), {}));
}

TEST(NativeFormat, FailedWritesReportFailureAndKeepTheTarget) {
    TempDir dir;
    ModelData data = sampleModel();
    EXPECT_FALSE(writeNative(dir.path("missing-folder/model.fm"), data.model, data.frames, data.source));
    std::filesystem::create_directory(dir.path("a-folder"));
    EXPECT_FALSE(writeNative(dir.path("a-folder"), data.model, data.frames, data.source));
    EXPECT_TRUE(std::filesystem::is_directory(dir.path("a-folder")));
    ModelData out;
    EXPECT_FALSE(into(readNativeFile(dir.path("nothing.fm")), out));
}

TEST(NativeFormat, SymbolicLinkKeepsPointingAtTheSavedFile) {
    TempDir dir;
    const std::string real = dir.path("real.fm");
    const std::string link = dir.path("link.fm");
    writeBytes(real, {1, 2, 3});
    std::filesystem::create_symlink(real, link);
    ModelData data = sampleModel();
    ASSERT_TRUE(writeNative(link, data.model, data.frames, data.source));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(sampleBytes().b, readBytes(real));
}

TEST(NativeFormat, SkinsAndGroupsFollowTheFrames) {
    ModelData data = sampleModel();
    Skin indexed;
    indexed.name = "models/a/skin.pcx";
    indexed.width = 256;
    indexed.height = 128;
    indexed.imageWidth = 3;
    indexed.imageHeight = 2;
    indexed.bitsPerPixel = 8;
    indexed.pixels = {1, 2, 3, 0, 4, 5, 6, 0};
    indexed.palette.assign(256, PaletteEntry{1, 2, 3, 0});
    indexed.palette[6] = {60, 61, 62, 0};
    Skin rgb;
    rgb.imageWidth = 2;
    rgb.imageHeight = 1;
    rgb.bitsPerPixel = 24;
    rgb.pixels = {10, 20, 30, 40, 50, 60, 0, 0};
    data.model.skins = {indexed, rgb};
    Group hidden;
    hidden.name = "legs";
    hidden.color = 25;
    hidden.flags = 0;
    hidden.tag = 0;
    data.model.groups = {Group{}, Group{}, Group{}, hidden};

    // The records before the section are the file as ever: a reader that stops after the frames is not
    // disturbed.
    const std::vector<uint8_t> file = toVector(encodeNative(data.model, data.frames, data.source));
    const std::vector<uint8_t> plain = sampleBytes().b;
    ASSERT_GT(file.size(), plain.size());
    EXPECT_TRUE(std::equal(plain.begin(), plain.end(), file.begin()));
    EXPECT_EQ("HBFX", std::string(file.begin() + std::ptrdiff_t(plain.size()),
                                  file.begin() + std::ptrdiff_t(plain.size()) + 4));

    ModelData back;
    ASSERT_TRUE(into(parseNative(file), back));
    ASSERT_EQ(2u, back.model.skins.size());
    EXPECT_EQ("models/a/skin.pcx", back.model.skins[0].name);
    EXPECT_EQ(256, back.model.skins[0].width);
    EXPECT_EQ(indexed.pixels, back.model.skins[0].pixels);
    EXPECT_EQ(indexed.palette, back.model.skins[0].palette);
    EXPECT_EQ(24, back.model.skins[1].bitsPerPixel);
    EXPECT_EQ(rgb.pixels, back.model.skins[1].pixels);
    ASSERT_EQ(4u, back.model.groups.size());
    EXPECT_EQ("legs", back.model.groups[3].name);
    EXPECT_EQ(0, back.model.groups[3].flags);
    EXPECT_EQ(25, back.model.groups[3].color);
    // Written again, byte for byte the same.
    EXPECT_EQ(file, toVector(encodeNative(back.model, back.frames, back.source)));
    // Written as pieces (the positions straight from the frames), the file is the same, on disk too.
    const OutputFile pieces = nativeOutputFile("m.fm", data.model, data.frames, data.source);
    EXPECT_GT(pieces.pieces.size(), 2u);
    EXPECT_EQ(file, toVector(pieces.joined()));
    TempDir dir;
    ASSERT_TRUE(writeNative(dir.path("m.fm"), data.model, data.frames, data.source));
    EXPECT_EQ(file, readBytes(dir.path("m.fm")));

    // A chunk this version does not know is passed over; a chunk cut short fails the file.
    std::vector<uint8_t> unknown = plain;
    const std::string section("HBFX\1\0\0\0NEXT\2\0\0\0\11\11", 18);
    unknown.insert(unknown.end(), section.begin(), section.end());
    EXPECT_TRUE(into(parseNative(unknown), back));
    EXPECT_TRUE(back.model.skins.empty());
    std::vector<uint8_t> cut(file.begin(), file.end() - 3);
    EXPECT_FALSE(parseNative(cut));
}

TEST(NativeFormat, AnOlderFileOpensWithGroupsFromItsTriangles) {
    // Written without the section, as before: groups come back from the triangles' words.
    TempDir dir;
    ModelData data = makeModel(6, {tri(0, 1, 2), tri(3, 4, 5)}, 1);
    data.model.triangles[1].group = 1;
    data.model.triangles[1].color = 47;
    std::vector<uint8_t> old = toVector(encodeNative(data.model, data.frames, data.source));
    old.insert(old.end(), {0xEE, 0xEE, 0xEE}); // what an older, longer file left behind
    writeBytes(dir.path("old.fm"), old);
    DocFixture f;
    ASSERT_TRUE(f.doc->onOpenDocument(dir.path("old.fm")));
    ASSERT_EQ(2u, f.doc->model().groups.size());
    EXPECT_EQ("group 2", f.doc->model().groups[1].name);
    EXPECT_EQ(47, f.doc->model().groups[1].color);

    // Saved again, its groups' names and visibility come back as they were.
    DocumentEdit::model(*f.doc).groups[1].name = "arm";
    DocumentEdit::model(*f.doc).groups[1].flags = 0;
    ASSERT_EQ(CFacetoDoc::SaveAsResult::Saved, f.doc->saveAs(dir.path("new.fm")));
    DocFixture again;
    ASSERT_TRUE(again.doc->onOpenDocument(dir.path("new.fm")));
    EXPECT_EQ("arm", again.doc->model().groups[1].name);
    EXPECT_EQ(0, again.doc->model().groups[1].flags);
}

// A Quake model's header fields and groups, the skin names of a Quake 2 model, how each frame was packed
// and the kept mesh sections come back from a native file as they went in; a section cut short is
// refused with its reason.
TEST(NativeFormat, KeepsWhatAGameFileNeedsToBeWrittenBack) {
    ModelData data = sampleModel();
    QuakeFields quake;
    quake.eye = {1.5f, -2.0f, 30.0f};
    quake.syncType = 1;
    quake.flags = 8 | 256;
    quake.skinGroups = {QuakeFields::Group{true, 2, {0.1f, 0.25f}, std::nullopt}};
    quake.frameGroups = {QuakeFields::Group{true, 1, {0.5f}, std::array<uint8_t, 8>{1, 2, 3, 4, 5, 6, 7, 8}}};
    quake.frameNames = {"stand1"};
    data.source.quake = quake;
    data.source.storedSkinNames = {"models/a/skin.pcx", "models/a/pain.pcx"};
    auto packing = std::make_shared<FramePacking>();
    packing->scale = {0.5f, 0.25f, 2.0f};
    packing->translate = {-1.0f, 2.0f, 3.0f};
    packing->normals.assign(data.model.vertexInfos.size(), 7);
    packing->packedDigest = 0x1234567890abcdefULL;
    data.frames[0].packing = packing;
    auto kept = std::make_shared<KeptMesh>();
    kept->format = SOURCE_MDL;
    kept->meshDigest = 42;
    kept->texcoords = {1, 2, 3};
    data.source.keptMesh = kept;

    const std::vector<uint8_t> file = toVector(encodeNative(data.model, data.frames, data.source));
    ModelData back;
    ASSERT_TRUE(into(parseNative(file), back));
    ASSERT_TRUE(back.source.quake);
    EXPECT_EQ(quake.eye, back.source.quake->eye);
    EXPECT_EQ(1, back.source.quake->syncType);
    EXPECT_EQ(8 | 256, back.source.quake->flags);
    ASSERT_EQ(1u, back.source.quake->skinGroups.size());
    EXPECT_EQ((std::vector<float>{0.1f, 0.25f}), back.source.quake->skinGroups[0].intervals);
    EXPECT_EQ(quake.frameGroups[0].bounds, back.source.quake->frameGroups[0].bounds);
    EXPECT_EQ(quake.frameNames, back.source.quake->frameNames);
    EXPECT_EQ(data.source.storedSkinNames, back.source.storedSkinNames);
    ASSERT_TRUE(back.frames[0].packing);
    EXPECT_EQ(packing->scale, back.frames[0].packing->scale);
    EXPECT_EQ(packing->normals, back.frames[0].packing->normals);
    EXPECT_EQ(packing->packedDigest, back.frames[0].packing->packedDigest);
    ASSERT_TRUE(back.source.keptMesh);
    EXPECT_EQ(kept->texcoords, back.source.keptMesh->texcoords);
    EXPECT_EQ(toVector(encodeNative(back.model, back.frames, back.source)), file);

    // Cut anywhere inside the sections: refused with a reason, never read past the end.
    const std::string magic = "HBFX";
    const auto sections = std::search(file.begin(), file.end(), magic.begin(), magic.end());
    ASSERT_NE(file.end(), sections);
    for (size_t size = size_t(sections - file.begin()) + 9; size < file.size(); size += 7) {
        const std::vector<uint8_t> cut(file.begin(), file.begin() + std::ptrdiff_t(size));
        ModelData damaged;
        EXPECT_FALSE(into(parseNative(cut), damaged)) << size;
    }
}

namespace {

// Reads the first `length` bytes of `file` both ways: from a file, as the editor opens one, and from
// memory. They must agree on success, on the reason of a failure, and on every byte of the model read.
void expectBothReadsAgree(const TempDir& dir, const std::vector<uint8_t>& file, size_t length) {
    SCOPED_TRACE("first " + std::to_string(length) + " of " + std::to_string(file.size()) + " bytes");
    const std::vector<uint8_t> prefix(file.begin(), file.begin() + ptrdiff_t(length));
    const std::string path = dir.path("cut.fm");
    writeBytes(path, prefix);
    Result<ModelData> streamed = readNativeFile(path);
    Result<ModelData> inMemory = parseNative(prefix);
    ASSERT_EQ(bool(inMemory), bool(streamed));
    if (!inMemory) {
        EXPECT_EQ(inMemory.error(), streamed.error());
        return;
    }
    EXPECT_EQ(toVector(encodeNative(inMemory->model, inMemory->frames, inMemory->source)),
              toVector(encodeNative(streamed->model, streamed->frames, streamed->source)));
}

} // namespace

TEST(NativeFormat, AFileReadAsItIsParsedGivesWhatItsBytesGive) {
    TempDir dir;
    // A small file with skins and groups after the frames, cut at every length.
    ModelData small = sampleModel();
    Skin skin;
    skin.imageWidth = 4;
    skin.imageHeight = 2;
    skin.bitsPerPixel = 8;
    skin.pixels = {1, 2, 3, 4, 5, 6, 7, 8};
    skin.palette.assign(256, PaletteEntry{9, 8, 7, 0});
    small.model.skins = {skin};
    small.model.groups = {Group{}, Group{}, Group{}, Group{}};
    std::vector<uint8_t> file = toVector(encodeNative(small.model, small.frames, small.source));
    for (size_t length = 0; length <= file.size(); ++length) {
        expectBothReadsAgree(dir, file, length);
    }
    file.insert(file.end(), {0xEE, 0xEE, 0xEE}); // bytes of no chunk after the section
    expectBothReadsAgree(dir, file, file.size());

    // Frames larger than the reading buffer go straight into frame memory; cut within and between them.
    std::mt19937 rng(7);
    ModelData large = makeModel(7000, randomTriangles(rng, 7000, 300, false), 3);
    large.model.skins = {skin};
    file = toVector(encodeNative(large.model, large.frames, large.source));
    for (size_t length = 0; length < file.size(); length += 4999) {
        expectBothReadsAgree(dir, file, length);
    }
    for (size_t length = file.size() - 1200; length <= file.size(); ++length) {
        expectBothReadsAgree(dir, file, length);
    }

    // What is not a file says so.
    EXPECT_EQ(dir.dir().string() + ": Is a directory", readNativeFile(dir.dir().string()).error());
}
