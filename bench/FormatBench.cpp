// Figures for the file formats at their usual maxima, with assimp's importer beside ours.
#include "BenchMeshes.h"
#include "formats/FileIO.h"
#include "formats/Gltf.h"
#include "formats/Md2Reader.h"
#include "formats/Md2Writer.h"
#include "formats/MdlReader.h"
#include "formats/MdlWriter.h"
#include "formats/NativeFormat.h"
#include "formats/SkinLoader.h"
#include "formats/ThreeDoReader.h"

#include <assimp/Importer.hpp>
#include <assimp/scene.h>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

using namespace faceto;
using namespace faceto::bench;

namespace {

std::string benchFile(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

void writeFile(const std::string& path, std::span<const uint8_t> bytes) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

// 2048 vertices (a 64 x 32 sheet), 4096 triangles (the sheet's 3906 and 190 more), 512 frames.
const ModelData& maximalModel() {
    static const ModelData data = [] {
        ModelData d = makeGridModel(64, 32, 512);
        std::mt19937 rng(1);
        while (d.model.triangles.size() < 4096) {
            Triangle t = d.model.triangles[rng() % 3906];
            std::swap(t.v[1], t.v[2]);
            d.model.triangles.push_back(t);
        }
        return d;
    }();
    return data;
}

std::string maximalMd2() {
    static const std::string path = [] {
        const ModelData& d = maximalModel();
        const std::string p = benchFile("faceto-bench.md2");
        writeFile(p, *encodeMd2(d.model, d.frames, d.source, {}));
        return p;
    }();
    return path;
}

void put32(std::vector<uint8_t>& b, uint32_t v) {
    for (int k = 0; k < 4; ++k) {
        b.push_back(uint8_t(v >> (8 * k)));
    }
}

// The same model as a version 6 Quake model with one 256 x 256 skin.
std::string maximalMdl() {
    static const std::string path = [] {
        const ModelData& d = maximalModel();
        std::vector<uint8_t> b{'I', 'D', 'P', 'O'};
        put32(b, 6);
        const float header[10] = {0.25f, 0.25f, 0.25f, -32, -16, -8, 40, 0, 0, 0};
        for (float f : header) {
            uint32_t v;
            std::memcpy(&v, &f, 4);
            put32(b, v);
        }
        for (int v :
             {1, 256, 256, d.model.vertexCount(), d.model.triangleCount(), int(d.frames.size()), 0, 0, 0}) {
            put32(b, uint32_t(v));
        }
        put32(b, 0);
        b.insert(b.end(), 256 * 256, uint8_t(7));
        for (int v = 0; v < d.model.vertexCount(); ++v) {
            put32(b, v % 64 == 0 ? 32 : 0);
            put32(b, uint32_t(v % 64 * 4));
            put32(b, uint32_t(v / 64 * 8));
        }
        for (const Triangle& t : d.model.triangles) {
            put32(b, 1);
            for (int32_t v : t.v) {
                put32(b, uint32_t(v));
            }
        }
        for (const Frame& f : d.frames) {
            put32(b, 0);
            b.insert(b.end(), 8, uint8_t(0));
            char name[16] = {};
            std::strncpy(name, f.name.c_str(), 15);
            b.insert(b.end(), name, name + 16);
            for (const FrameVertex& p : f.positions) {
                b.push_back(uint8_t(p.x * 4 + 128));
                b.push_back(uint8_t(p.y * 4 + 64));
                b.push_back(uint8_t(p.z * 4 + 32));
                b.push_back(0);
            }
        }
        const std::string p = benchFile("faceto-bench.mdl");
        writeFile(p, b);
        return p;
    }();
    return path;
}

// A Jedi Knight model of 20,000 vertices: 20 meshes of 1,000 vertices, quads between them.
std::string large3do() {
    static const std::string path = [] {
        std::string t = "# generated\nSECTION: GEOMETRYDEF\nGEOSETS 1\nGEOSET 0\nMESHES 20\n";
        char line[160];
        for (int m = 0; m < 20; ++m) {
            t += "MESH " + std::to_string(m) + "\nNAME part" + std::to_string(m) + "\nVERTICES 1000\n";
            for (int v = 0; v < 1000; ++v) {
                std::snprintf(line, sizeof line, "%d: %.6f %.6f %.6f 0\n", v, (v % 40) * 0.01,
                              (v / 40) * 0.01, m * 0.05);
                t += line;
            }
            t += "FACES 936\n";
            int face = 0;
            for (int r = 0; r < 24; ++r) {
                for (int c = 0; c < 39; ++c) {
                    const int v = r * 40 + c;
                    std::snprintf(line, sizeof line, "%d: 0 0x0 4 3 1 0 4 %d, 0 %d, 0 %d, 0 %d, 0\n", face++,
                                  v, v + 1, v + 41, v + 40);
                    t += line;
                }
            }
        }
        t += "SECTION: HIERARCHYDEF\nHIERARCHY NODES 20\n";
        for (int m = 0; m < 20; ++m) {
            std::snprintf(line, sizeof line, "%d: 0x0 0x1 %d %d -1 -1 0 0.01 0 0 0 0 0 0 0 0 node%d\n", m, m,
                          m - 1, m);
            t += line;
        }
        const std::string p = benchFile("faceto-bench.3do");
        writeFile(p, {reinterpret_cast<const uint8_t*>(t.data()), t.size()});
        return p;
    }();
    return path;
}

void readIntoMemory(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        auto bytes = readFile(path);
        benchmark::DoNotOptimize(bytes->data());
    }
    state.counters["bytes"] = double(std::filesystem::file_size(path));
}

// The memory floor of a load: the file read into memory, and 12 bytes per decoded vertex written into a
// buffer that is reused (so that it costs no page faults). A load is reported as a multiple of this.
void BM_CopyDecodedBytes(benchmark::State& state, const std::string& path) {
    const size_t decoded = size_t(maximalModel().model.vertexCount()) * maximalModel().frames.size() * 12;
    std::vector<uint8_t> target(decoded);
    for (auto _ : state) {
        auto bytes = readFile(path);
        // 12 bytes out for every 4 bytes in, as a decoder writes them (the file's packed vertices are
        // its last bytes, less the frame headers: the same count of inputs read from its end).
        const size_t inputs = std::min(decoded / 12, bytes->size() / 4);
        const uint8_t* in = bytes->data() + bytes->size() - inputs * 4;
        uint8_t* out = target.data();
        for (size_t i = 0; i < inputs; ++i) {
            uint32_t word;
            std::memcpy(&word, in + i * 4, 4);
            std::memcpy(out + i * 12, &word, 4);
            std::memcpy(out + i * 12 + 4, &word, 4);
            std::memcpy(out + i * 12 + 8, &word, 4);
        }
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    state.counters["decoded_bytes"] = double(decoded);
}
BENCHMARK_CAPTURE(BM_CopyDecodedBytes, md2, maximalMd2())->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_CopyDecodedBytes, mdl, maximalMdl())->Unit(benchmark::kMillisecond);

// The cost of a load and of a conversion grows with the model: 1k, 10k and 100k triangles, the time
// per triangle alongside.
std::string scalingMd2(int32_t triangles) {
    const ModelData data = makeScalingModel(triangles);
    const std::string path = benchFile(("faceto-scaling-" + std::to_string(triangles) + ".md2").c_str());
    writeFile(path, *encodeMd2(data.model, data.frames, data.source, {}));
    return path;
}

void perTriangle(benchmark::State& state, size_t triangles) {
    state.counters["triangles"] = double(triangles);
    state.counters["per_triangle"] = benchmark::Counter(
        double(triangles), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void BM_ScalingLoadMd2(benchmark::State& state) {
    const std::string path = scalingMd2(int32_t(state.range(0)));
    size_t triangles = 0;
    for (auto _ : state) {
        FolderSkinLoader skins("/nonexistent/", folderOf(path));
        Result<ModelData> data = parseMd2(*readFile(path), skins);
        triangles = data->model.triangles.size();
        benchmark::DoNotOptimize(data->frames.data());
    }
    perTriangle(state, triangles);
}
BENCHMARK(BM_ScalingLoadMd2)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_ScalingConvertToMd2(benchmark::State& state) {
    const ModelData data = makeScalingModel(int32_t(state.range(0)));
    for (auto _ : state) {
        std::optional<ByteBuffer> bytes = encodeMd2(data.model, data.frames, data.source, {});
        benchmark::DoNotOptimize(bytes->data());
    }
    perTriangle(state, data.model.triangles.size());
}
BENCHMARK(BM_ScalingConvertToMd2)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_Md2ReadIntoMemory(benchmark::State& state) {
    readIntoMemory(state, maximalMd2());
}
BENCHMARK(BM_Md2ReadIntoMemory)->Unit(benchmark::kMillisecond);

void BM_Md2Load(benchmark::State& state) {
    const std::string path = maximalMd2();
    for (auto _ : state) {
        FolderSkinLoader skins("/nonexistent/", folderOf(path));
        Result<ModelData> data = parseMd2(*readFile(path), skins);
        if (!data) {
            state.SkipWithError("read failed");
        }
        benchmark::DoNotOptimize(data->frames.data());
    }
}
BENCHMARK(BM_Md2Load)->Unit(benchmark::kMillisecond);

void BM_MdlReadIntoMemory(benchmark::State& state) {
    readIntoMemory(state, maximalMdl());
}
BENCHMARK(BM_MdlReadIntoMemory)->Unit(benchmark::kMillisecond);

void BM_MdlLoad(benchmark::State& state) {
    const std::string path = maximalMdl();
    for (auto _ : state) {
        Result<ModelData> data = parseMdl(*readFile(path));
        if (!data) {
            state.SkipWithError("read failed");
        }
        benchmark::DoNotOptimize(data->frames.data());
    }
}
BENCHMARK(BM_MdlLoad)->Unit(benchmark::kMillisecond);

void BM_3doReadIntoMemory(benchmark::State& state) {
    readIntoMemory(state, large3do());
}
BENCHMARK(BM_3doReadIntoMemory)->Unit(benchmark::kMillisecond);

void BM_3doLoad(benchmark::State& state) {
    const std::string path = large3do();
    for (auto _ : state) {
        Result<ModelData> data = parse3do(*readFile(path));
        if (!data) {
            state.SkipWithError("read failed");
        }
        benchmark::DoNotOptimize(data->frames.data());
    }
}
BENCHMARK(BM_3doLoad)->Unit(benchmark::kMillisecond);

void BM_WriteMd2_4096Triangles512Frames(benchmark::State& state) {
    ModelData data = maximalModel();
    const std::string path = benchFile("faceto-bench-out.md2");
    for (auto _ : state) {
        if (!writeMd2(path, data.model, data.frames, data.source)) {
            state.SkipWithError("write failed");
        }
    }
}
BENCHMARK(BM_WriteMd2_4096Triangles512Frames)->Unit(benchmark::kMillisecond);

// The model with a 256 x 256 true-colour skin, for the .mdl writer and for glTF out and in (one .glb in
// memory, and that file read back into frames).
ModelData skinnedMaximalModel() {
    ModelData data = maximalModel();
    Skin skin;
    skin.imageWidth = skin.imageHeight = 256;
    skin.bitsPerPixel = 24;
    skin.pixels.resize(size_t(skin.stride()) * 256);
    for (size_t i = 0; i < skin.pixels.size(); ++i) {
        skin.pixels[i] = uint8_t((i * 37) ^ (i >> 9));
    }
    data.model.skins.push_back(std::move(skin));
    return data;
}

// The same model as a Quake model with one 256 x 256 true-colour skin mapped to the Quake palette,
// written to disk as Save does (encoded, then the file replaced).
void BM_WriteMdl_2048Vertices4096Triangles512Frames(benchmark::State& state) {
    const ModelData data = skinnedMaximalModel();
    const std::string path = benchFile("faceto-bench-out.mdl");
    size_t bytes = 0;
    int32_t written = 0;
    for (auto _ : state) {
        Result<MdlOutput> out = encodeMdl(data.model, data.frames, data.source, builtInPalette());
        if (!out || !writeFileReplacing(path, out->bytes)) {
            state.SkipWithError("write failed");
            break;
        }
        bytes = out->bytes.size();
        written = int32_t((out->bytes[60]) | (out->bytes[61] << 8));
    }
    state.counters["file_MiB"] = double(bytes) / double(1 << 20);
    state.counters["vertices_written"] = double(written);
}
BENCHMARK(BM_WriteMdl_2048Vertices4096Triangles512Frames)->Unit(benchmark::kMillisecond);

void BM_GltfExport_2048Vertices512Frames(benchmark::State& state) {
    const ModelData data = skinnedMaximalModel();
    size_t bytes = 0;
    for (auto _ : state) {
        Result<SaveOutput> out =
            exportGltf(ModelRef{data.model, data.frames, data.source}, "bench.glb", WriteContext{});
        if (!out) {
            state.SkipWithError("export failed");
            break;
        }
        bytes = out->files[0].bytes.size();
        benchmark::DoNotOptimize(out->files[0].bytes.data());
    }
    state.counters["file_MiB"] = double(bytes) / double(1 << 20);
}
BENCHMARK(BM_GltfExport_2048Vertices512Frames)->Unit(benchmark::kMillisecond);

void BM_GltfImport_2048Vertices512Frames(benchmark::State& state) {
    const ModelData data = skinnedMaximalModel();
    const ByteBuffer file =
        std::move(exportGltf(ModelRef{data.model, data.frames, data.source}, "bench.glb", WriteContext{})
                      ->files[0]
                      .bytes);
    for (auto _ : state) {
        Result<ModelData> back = importGltf(file, ReadContext{});
        if (!back || back->frames.size() != 512) {
            state.SkipWithError(
                back ? ("import gave " + std::to_string(back->frames.size()) + " frames").c_str()
                     : back.error().c_str());
            break;
        }
        benchmark::DoNotOptimize(back->frames.data());
    }
}
BENCHMARK(BM_GltfImport_2048Vertices512Frames)->Unit(benchmark::kMillisecond);

// The peer: assimp imports one frame of the same files (its md2 and mdl loaders read a single key frame).
void assimpImport(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        Assimp::Importer importer;
        const aiScene* scene = importer.ReadFile(path, 0);
        if (scene == nullptr) {
            state.SkipWithError(importer.GetErrorString());
            break;
        }
        benchmark::DoNotOptimize(scene->mMeshes);
        state.counters["meshes"] = scene->mNumMeshes;
        state.counters["vertices"] = scene->mNumMeshes ? scene->mMeshes[0]->mNumVertices : 0;
        state.counters["anim_meshes"] = scene->mNumMeshes ? scene->mMeshes[0]->mNumAnimMeshes : 0;
    }
}
void BM_AssimpMd2Import(benchmark::State& state) {
    assimpImport(state, maximalMd2());
}
BENCHMARK(BM_AssimpMd2Import)->Unit(benchmark::kMillisecond);
void BM_AssimpMdlImport(benchmark::State& state) {
    assimpImport(state, maximalMdl());
}
BENCHMARK(BM_AssimpMdlImport)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
