// Figures for the model core on large meshes: derived data, cut and paste, native files.
#include "BenchMeshes.h"
#include "document/CFacetoDoc.h"
#include "document/DocumentEdit.h"
#include "document/EditCommands.h"
#include "document/EditOperations.h"
#include "document/FrameClipboard.h"
#include "document/FrameOperations.h"
#include "formats/FileIO.h"
#include "formats/NativeFormat.h"
#include "model/DerivedData.h"
#include "model/FrameMemory.h"
#include "model/HugePages.h"
#include "model/Palette.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <filesystem>
#include <malloc.h>
#include <memory>
#include <unistd.h>

using namespace faceto;
using namespace faceto::bench;

namespace {

struct Environment {
    MemoryProfile profile;
    NullHost host;
    PaletteTables palette = PaletteTables::builtIn();
};

std::string benchFile(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

void BM_BuildEdges100kTriangles(benchmark::State& state) {
    ModelData data = makeGridModel(317, 317, 1, 100000);
    for (auto _ : state) {
        buildEdges(data.model);
        benchmark::DoNotOptimize(data.model.edges.data());
    }
    state.counters["triangles"] = double(data.model.triangles.size());
}
BENCHMARK(BM_BuildEdges100kTriangles)->Unit(benchmark::kMillisecond);

void BM_BuildGroups100kTriangles(benchmark::State& state) {
    ModelData data = makeGridModel(317, 317, 1, 100000);
    for (auto _ : state) {
        buildGroupsByConnectivity(data.model);
        benchmark::DoNotOptimize(data.model.groups.data());
    }
    state.counters["triangles"] = double(data.model.triangles.size());
}
BENCHMARK(BM_BuildGroups100kTriangles)->Unit(benchmark::kMillisecond);

// A file of 100,000 frames with distinct names: every frame starts an animation of its own.
void BM_BuildAnimations100kDistinctNames(benchmark::State& state) {
    std::vector<Frame> frames;
    for (int i = 0; i < 100000; ++i) {
        std::string name = "f";
        for (int n = i; n > 0; n /= 26) {
            name += char('a' + n % 26);
        }
        frames.emplace_back(name + "1");
    }
    for (auto _ : state) {
        std::vector<Animation> animations = buildAnimations(frames);
        benchmark::DoNotOptimize(animations.data());
    }
}
BENCHMARK(BM_BuildAnimations100kDistinctNames)->Unit(benchmark::kMillisecond);

// Cut of the left half of a 250 x 200 grid (50,000 vertices) with 100 frames.
void BM_CutHalf50kVertices100Frames(benchmark::State& state) {
    Environment env;
    const ModelData source = makeGridModel(250, 200, 100);
    FrameClipboard clipboard;
    for (auto _ : state) {
        state.PauseTiming();
        CFacetoDoc doc(env.profile, env.host, env.palette);
        DocumentEdit::model(doc) = source.model;
        DocumentEdit::frames(doc) = source.frames;
        doc.setCurrentFrame(0);
        for (size_t v = 0; v < doc.model().vertexInfos.size(); ++v) {
            if (v % 250 < 125) {
                DocumentEdit::model(doc).vertexInfos[v].flags |= VERTEX_SELECTED;
            }
        }
        state.ResumeTiming();
        clipboard.cutSelection(doc);
        benchmark::DoNotOptimize(doc.model().vertexInfos.data());
    }
}
BENCHMARK(BM_CutHalf50kVertices100Frames)->Unit(benchmark::kMillisecond);

// Paste of a 25,000-vertex clipboard into a document with 100 frames. Warm: the memory the last paste
// freed is there to be used again; cold: it was given back to the kernel first, as in a program that
// has just started.
void paste25kVerticesInto100Frames(benchmark::State& state, bool cold) {
    Environment env;
    const ModelData piece = makeGridModel(250, 100, 1);
    const ModelData target = makeGridModel(100, 100, 100);
    CFacetoDoc sourceDoc(env.profile, env.host, env.palette);
    DocumentEdit::model(sourceDoc) = piece.model;
    DocumentEdit::frames(sourceDoc) = piece.frames;
    sourceDoc.setCurrentFrame(0);
    sourceDoc.selectAll();
    FrameClipboard clipboard;
    clipboard.copySelection(sourceDoc);
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = std::make_unique<CFacetoDoc>(env.profile, env.host, env.palette);
        DocumentEdit::model(*doc) = target.model;
        DocumentEdit::frames(*doc) = target.frames;
        if (cold) {
            frame_memory::giveBackKept();
            ::malloc_trim(0);
        }
        state.ResumeTiming();
        clipboard.pasteInto(*doc);
        benchmark::DoNotOptimize(doc->model().vertexInfos.data());
        state.PauseTiming();
        doc.reset();
        state.ResumeTiming();
    }
    state.counters["pasted_vertices"] = double(clipboard.model().vertexCount());
}
void BM_Paste25kVerticesInto100Frames(benchmark::State& state) {
    paste25kVerticesInto100Frames(state, false);
}
void BM_Paste25kVerticesInto100FramesCold(benchmark::State& state) {
    paste25kVerticesInto100Frames(state, true);
}
BENCHMARK(BM_Paste25kVerticesInto100FramesCold)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Paste25kVerticesInto100Frames)->Unit(benchmark::kMillisecond);

const ModelData& largeNativeModel() {
    static const ModelData data = makeGridModel(400, 250, 100); // 100,000 vertices, 100 frames
    return data;
}

// A document of the large model, with the vertices of the left half (50,000) selected.
std::unique_ptr<CFacetoDoc> largeDocument(Environment& env) {
    auto doc = std::make_unique<CFacetoDoc>(env.profile, env.host, env.palette);
    DocumentEdit::model(*doc) = largeNativeModel().model;
    DocumentEdit::frames(*doc) = largeNativeModel().frames;
    doc->setCurrentFrame(0);
    doc->rebuildAnimations();
    doc->startHistory();
    return doc;
}

// One move of 50,000 of the vertices of the current frame, as a drag in a view makes it.
std::unique_ptr<Command> moveHalf(CFacetoDoc& doc, float by) {
    std::vector<int32_t> vertices;
    std::vector<FrameVertex> after;
    const Frame& frame = *doc.currentFrame();
    for (size_t v = 0; v < frame.positions.size(); ++v) {
        if (v % 400 < 200) {
            vertices.push_back(int32_t(v));
            FrameVertex p = frame.positions[v];
            p.x += by;
            after.push_back(p);
        }
    }
    return std::make_unique<ChangePositions>(doc, "Move Vertices", doc.currentFramePosition(),
                                             std::move(vertices), std::move(after));
}

// Undo and redo of a move of 50,000 vertices in a 100-frame, 100,000-vertex model.
void undoOrRedoMove(benchmark::State& state, bool undo) {
    Environment env;
    auto doc = largeDocument(env);
    doc->run(moveHalf(*doc, 1.0f));
    for (auto _ : state) {
        if (!undo) {
            state.PauseTiming();
            doc->undo();
            state.ResumeTiming();
            doc->redo();
        } else {
            doc->undo();
            state.PauseTiming();
            doc->redo();
            state.ResumeTiming();
        }
    }
}
void BM_UndoMove50kVertices(benchmark::State& state) {
    undoOrRedoMove(state, true);
}
void BM_RedoMove50kVertices(benchmark::State& state) {
    undoOrRedoMove(state, false);
}
BENCHMARK(BM_UndoMove50kVertices)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RedoMove50kVertices)->Unit(benchmark::kMillisecond);

// What 100 such moves keep in the history, against the model's own frames (1.2 GB would be the model
// copied per step).
void BM_HistoryOf100Moves(benchmark::State& state) {
    Environment env;
    for (auto _ : state) {
        auto doc = largeDocument(env);
        for (int i = 0; i < 100; ++i) {
            doc->run(moveHalf(*doc, float(i)));
        }
        state.counters["history_MiB"] = double(doc->history().memoryBytes()) / double(1 << 20);
        state.counters["model_frames_MiB"] =
            double(doc->frames().size() * doc->frames()[0].positions.size() * 12) / double(1 << 20);
    }
}
BENCHMARK(BM_HistoryOf100Moves)->Unit(benchmark::kMillisecond)->Iterations(1);

// Undo (and redo) of a step that cut 50 frames: deleting an animation of 50 frames out of 100.
void BM_UndoCutOf50Frames(benchmark::State& state) {
    Environment env;
    auto doc = largeDocument(env);
    for (size_t f = 0; f < doc->frames().size(); ++f) {
        DocumentEdit::frames(*doc)[f].name = (f < 50 ? "run" : "walk") + std::to_string(f % 50 + 1);
    }
    doc->rebuildAnimations();
    deleteCurrentAnimation(*doc);
    for (auto _ : state) {
        doc->undo();
        state.PauseTiming();
        doc->redo();
        state.ResumeTiming();
    }
    state.counters["step_MiB"] = double(doc->history().memoryBytes()) / double(1 << 20);
}
BENCHMARK(BM_UndoCutOf50Frames)->Unit(benchmark::kMillisecond);

// Delete and Clone of every triangle of a 224 x 224 sheet (99,458 triangles, 50,176 vertices) in 10
// frames, each as the editor's command runs it (one undo step); undone between runs, untimed.
void triangleCommand(benchmark::State& state, void (*command)(CFacetoDoc&)) {
    Environment env;
    auto doc = std::make_unique<CFacetoDoc>(env.profile, env.host, env.palette);
    ModelData data = makeGridModel(224, 224, 10);
    DocumentEdit::model(*doc) = std::move(data.model);
    DocumentEdit::frames(*doc) = std::move(data.frames);
    doc->setCurrentFrame(0);
    doc->rebuildAnimations();
    doc->startHistory();
    const int32_t triangles = doc->model().triangleCount();
    for (auto _ : state) {
        doc->selectAll();
        command(*doc);
        state.PauseTiming();
        doc->undo();
        state.ResumeTiming();
    }
    state.counters["triangles"] = double(triangles);
}
void BM_DeleteSelectedTriangles100k(benchmark::State& state) {
    triangleCommand(state,
                    [](CFacetoDoc& doc) { doc.run(deleteSelectedTriangles(doc, "Delete Triangles")); });
}
void BM_CloneSelected100kTriangles(benchmark::State& state) {
    triangleCommand(state, cloneSelected);
}
BENCHMARK(BM_DeleteSelectedTriangles100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CloneSelected100kTriangles)->Unit(benchmark::kMillisecond);

void BM_NativeWrite100kVertices100Frames(benchmark::State& state) {
    const ModelData& data = largeNativeModel();
    const std::string path = benchFile("faceto-bench.fm");
    for (auto _ : state) {
        if (!writeNative(path, data.model, data.frames, data.source)) {
            state.SkipWithError("write failed");
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(std::filesystem::file_size(path)));
}
BENCHMARK(BM_NativeWrite100kVertices100Frames)->Unit(benchmark::kMillisecond);

void BM_NativeRead100kVertices100Frames(benchmark::State& state) {
    const ModelData& data = largeNativeModel();
    const std::string path = benchFile("faceto-bench.fm");
    writeNative(path, data.model, data.frames, data.source);
    for (auto _ : state) {
        Result<ModelData> out = parseNative(*readFile(path));
        if (!out) {
            state.SkipWithError("read failed");
        }
        benchmark::DoNotOptimize(out->frames.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(std::filesystem::file_size(path)));
}
BENCHMARK(BM_NativeRead100kVertices100Frames)->Unit(benchmark::kMillisecond);

// A one-shot load as opening a file does it, into fresh frame memory (the block a scope keeps for the
// next one given back first), without and with huge pages: the whole file read into a fresh buffer and
// decoded from it, or the file read as it is parsed, its frames straight into frame memory.
void BM_NativeReadOneShot(benchmark::State& state) {
    const ModelData& data = largeNativeModel();
    const std::string path = benchFile("faceto-bench.fm");
    writeNative(path, data.model, data.frames, data.source);
    const bool before = hugePagesWanted();
    const bool streamed = state.range(1) != 0;
    setHugePagesWanted(state.range(0) != 0);
    for (auto _ : state) {
        frame_memory::giveBackKept();
        ::malloc_trim(0);
        Result<ModelData> out = streamed ? readNativeFile(path) : parseNative(*readFile(path));
        if (!out) {
            state.SkipWithError("read failed");
        }
        benchmark::DoNotOptimize(out->frames.data());
    }
    setHugePagesWanted(before);
    frame_memory::giveBackKept();
    state.SetLabel(std::string(state.range(0) != 0 ? "huge pages" : "normal pages") +
                   (streamed ? ", read as parsed" : ", whole file first"));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(std::filesystem::file_size(path)));
}
BENCHMARK(BM_NativeReadOneShot)->ArgsProduct({{0, 1}, {0, 1}})->Unit(benchmark::kMillisecond);

// The yardsticks: the same number of bytes through plain buffered stdio, without and with the
// flush to disk that the editor's save does before it replaces the old file.
void plainWrite(benchmark::State& state, bool sync) {
    const ModelData& data = largeNativeModel();
    const ByteBuffer bytes = encodeNative(data.model, data.frames, data.source);
    const std::string path = benchFile("faceto-bench-plain.bin");
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fflush(f);
        if (sync) {
            ::fsync(::fileno(f));
        }
        std::fclose(f);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}
void BM_PlainWriteSameBytes(benchmark::State& state) {
    plainWrite(state, false);
}
BENCHMARK(BM_PlainWriteSameBytes)->Unit(benchmark::kMillisecond);
void BM_PlainWriteSameBytesAndSync(benchmark::State& state) {
    plainWrite(state, true);
}
BENCHMARK(BM_PlainWriteSameBytesAndSync)->Unit(benchmark::kMillisecond);

// Reading into a buffer that a program allocates for the file, as any reader must.
void BM_PlainReadSameBytesFreshBuffer(benchmark::State& state) {
    const ModelData& data = largeNativeModel();
    const ByteBuffer bytes = encodeNative(data.model, data.frames, data.source);
    const std::string path = benchFile("faceto-bench-plain.bin");
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    for (auto _ : state) {
        std::unique_ptr<uint8_t[]> buffer(new uint8_t[bytes.size()]);
        std::FILE* f = std::fopen(path.c_str(), "rb");
        benchmark::DoNotOptimize(std::fread(buffer.get(), 1, bytes.size(), f));
        std::fclose(f);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}
BENCHMARK(BM_PlainReadSameBytesFreshBuffer)->Unit(benchmark::kMillisecond);

// The same into one buffer reused by every iteration: the page cache copy alone.
void BM_PlainReadSameBytesWarmBuffer(benchmark::State& state) {
    const ModelData& data = largeNativeModel();
    const ByteBuffer bytes = encodeNative(data.model, data.frames, data.source);
    const std::string path = benchFile("faceto-bench-plain.bin");
    std::vector<uint8_t> buffer(bytes.size());
    for (auto _ : state) {
        std::FILE* f = std::fopen(path.c_str(), "rb");
        benchmark::DoNotOptimize(std::fread(buffer.data(), 1, buffer.size(), f));
        std::fclose(f);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
}
BENCHMARK(BM_PlainReadSameBytesWarmBuffer)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
