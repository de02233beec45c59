#pragma once

#include "document/CFacetoDoc.h"
#include "document/DocumentHost.h"
#include "document/Profile.h"
#include "model/Model.h"
#include "model/Palette.h"

#include <cstdint>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <random>
#include <span>
#include <string>
#include <vector>

namespace faceto::test {

// A document host that records what the document asked for.
class RecordingHost : public DocumentHost {
public:
    void message(std::string_view text) override { messages.emplace_back(text); }
    void documentChanged(CFacetoDoc&, const ChangeNotice& notice) override {
        ++updates;
        notices.push_back(notice);
    }
    void addToRecentFiles(const std::string& path) override { recentFiles.push_back(path); }
    bool confirmReplace(const std::string& path) override {
        replaceQuestions.push_back(path);
        return replaceAnswer;
    }
    void note(std::string_view text) override { notes.emplace_back(text); }

    std::vector<std::string> messages;
    std::vector<std::string> notes;
    std::vector<std::string> replaceQuestions;
    bool replaceAnswer = true;
    std::vector<std::string> recentFiles;
    int updates = 0;
    std::vector<ChangeNotice> notices;
};

// The first line of each message: the fixed text, without the file and reason below it.
std::vector<std::string> headings(const std::vector<std::string>& messages);

// A document with everything it needs, kept alive together.
struct DocFixture {
    MemoryProfile profile;
    RecordingHost host;
    PaletteTables palette = PaletteTables::builtIn();
    std::unique_ptr<CFacetoDoc> doc = std::make_unique<CFacetoDoc>(profile, host, palette);
};

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string path(const std::string& name) const { return (dir_ / name).string(); }
    const std::filesystem::path& dir() const { return dir_; }

private:
    std::filesystem::path dir_;
};

std::vector<uint8_t> readBytes(const std::string& path);

// Moves a reader's result into `out`; false (and `out` untouched) when the read failed.
template <typename R> bool into(R&& result, ModelData& out) {
    if (!result) {
        return false;
    }
    out = std::move(*result);
    return true;
}
// The .md2 reader on a file, as the editor reads it (skins: under the profile's base folder, then beside
// the model).
Result<ModelData> readMd2File(const std::string& path, const Profile& profile);
inline std::vector<uint8_t> toVector(std::span<const uint8_t> bytes) {
    return {bytes.begin(), bytes.end()};
}
void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes);
void writeText(const std::string& path, const std::string& text);

// A triangle over vertices a, b, c with every other word zero.
Triangle tri(int32_t a, int32_t b, int32_t c);
// A model with `vertexCount` vertices and the given triangles, and `frameCount` frames whose
// positions are distinct per frame and vertex.
ModelData makeModel(int32_t vertexCount, const std::vector<Triangle>& triangles, int frameCount = 1);
// Loads `data` into the fixture's document as a reader would have.
void loadInto(CFacetoDoc& doc, ModelData data);
// Random triangles over `vertexCount` vertices; with `clustered` the corners stay close together so
// that the mesh falls into several connected pieces.
std::vector<Triangle> randomTriangles(std::mt19937& rng, int32_t vertexCount, int32_t triangleCount,
                                      bool clustered);

// Moves one vertex of the current frame, as an edit of the document (one step).
void moveVertex(CFacetoDoc& doc, int32_t vertex, const FrameVertex& to);

// True when every frame has one position per vertex and every corner is a valid vertex.
::testing::AssertionResult modelIsConsistent(const CFacetoDoc& doc);

// Literal transcriptions of the derived-data builders, kept as oracles for the fast versions.
std::vector<Edge> literalEdges(const Model& model);
void literalGroupsByConnectivity(Model& model);
void literalRemoveSelected(Model& model, std::vector<Frame>& frames);

} // namespace faceto::test
