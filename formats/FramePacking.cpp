#include "formats/FramePacking.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace faceto {

namespace {

constexpr uint64_t SEED = 1469598103934665603ULL;

// One word into the digest: a multiply-xor step per word keeps reading fast.
uint64_t mix(uint64_t h, uint64_t word) {
    h ^= word;
    h *= 0x100000001B3ULL;
    return h ^ (h >> 29);
}

// The byte of `value` on one axis of a grid, when one decodes to it exactly.
bool exactByte(float value, float scale, float translate, float inverse, uint8_t& out) {
    if (scale == 0.0f) {
        out = 0;
        return value == translate;
    }
    const float steps = (value - translate) * inverse;
    if (!(steps > -1.5f && steps < 256.5f)) {
        return false; // NaN, or off the grid's range
    }
    const int nearest = int(std::lround(steps));
    for (int b : {nearest, nearest - 1, nearest + 1}) {
        if (b >= 0 && b <= 255 && float(b) * scale + translate == value) {
            out = uint8_t(b);
            return true;
        }
    }
    return false;
}

} // namespace

uint64_t meshDigest(const Model& model, bool skinCoordinates) {
    uint64_t h = mix(SEED, uint64_t(model.vertexInfos.size()));
    h = mix(h, uint64_t(model.triangles.size()));
    for (const Triangle& t : model.triangles) {
        h = mix(h, uint64_t(uint32_t(t.v[0])) | uint64_t(uint32_t(t.v[1])) << 32);
        h = mix(h, uint64_t(uint32_t(t.v[2])));
        if (skinCoordinates) {
            for (const auto& st : t.st) {
                uint32_t s;
                uint32_t u;
                std::memcpy(&s, &st[0], 4);
                std::memcpy(&u, &st[1], 4);
                h = mix(h, uint64_t(s) | uint64_t(u) << 32);
            }
        }
    }
    return h;
}

uint64_t packedDigest(std::span<const uint8_t> packed, size_t stride, uint8_t kind) {
    auto word = [&](size_t at) {
        return uint64_t(packed[at]) | uint64_t(packed[at + 1]) << 8 | uint64_t(packed[at + 2]) << 16;
    };
    if (kind == 1) {
        uint64_t h = SEED;
        for (size_t at = 0; at + 3 <= packed.size(); at += stride) {
            h = mix(h, word(at));
        }
        return h;
    }
    uint64_t lanes[4] = {SEED, SEED ^ 1, SEED ^ 2, SEED ^ 3};
    size_t at = 0;
    size_t count = 0;
    for (; at + 3 * stride + 3 <= packed.size(); at += 4 * stride, count += 4) {
        lanes[0] = mix(lanes[0], word(at));
        lanes[1] = mix(lanes[1], word(at + stride));
        lanes[2] = mix(lanes[2], word(at + 2 * stride));
        lanes[3] = mix(lanes[3], word(at + 3 * stride));
    }
    for (; at + 3 <= packed.size(); at += stride, ++count) {
        lanes[count % 4] = mix(lanes[count % 4], word(at));
    }
    uint64_t h = mix(SEED, count);
    for (uint64_t lane : lanes) {
        h = mix(h, lane);
    }
    return h;
}

namespace {

// What a reader keeps of a frame besides its normals and its digest.
std::shared_ptr<FramePacking> packingOnGrid(const float (&scale)[3], const float (&translate)[3],
                                            uint64_t mesh, std::span<const uint8_t> nameField,
                                            std::optional<std::array<uint8_t, 8>> bounds) {
    auto kept = std::make_shared<FramePacking>();
    for (size_t a = 0; a < 3; ++a) {
        kept->scale[a] = scale[a];
        kept->translate[a] = translate[a];
    }
    kept->digestKind = 2;
    kept->meshDigest = mesh;
    kept->bounds = bounds;
    if (nameField.size() == 16) {
        kept->nameField.emplace();
        std::copy(nameField.begin(), nameField.end(), kept->nameField->begin());
    }
    return kept;
}

// One vertex's x, y and z bytes as a digest word.
uint64_t packedWord(const uint8_t* q) {
    if constexpr (std::endian::native == std::endian::little) {
        uint32_t four; // the three bytes and the normal index, which is masked off
        std::memcpy(&four, q, 4);
        return uint64_t(four & 0xFFFFFFu);
    } else {
        return uint64_t(q[0]) | uint64_t(q[1]) << 8 | uint64_t(q[2]) << 16;
    }
}

// One pass over a frame's packed vertices: each decoded into `out` (byte x scale + translate per axis,
// in float, the product and the sum each rounded), its normal index into `normals`, and its x, y, z
// bytes into the digest lane of its place modulo four, as packedDigest makes them. Four vertices are
// taken at a time where the machine has the lanes for it, and written as three aligned lines of four
// floats.
void decodeAndDigest(const float (&scale)[3], const float (&translate)[3], const uint8_t* packed,
                     size_t count, FrameVertex* out, uint8_t* normals, uint64_t (&lanes)[4]) {
    size_t v = 0;
    auto one = [&](size_t at) {
        const uint8_t* p = packed + 4 * at;
        out[at] = {float(p[0]) * scale[0] + translate[0], float(p[1]) * scale[1] + translate[1],
                   float(p[2]) * scale[2] + translate[2]};
        normals[at] = p[3];
        lanes[at % 4] = mix(lanes[at % 4], packedWord(p));
    };
#ifdef __SSE2__
    static_assert(sizeof(FrameVertex) == 3 * sizeof(float));
    // Up to three vertices one by one, to where a vertex starts on a 16-byte line.
    for (; v < count && (reinterpret_cast<uintptr_t>(out + v) & 15) != 0; ++v) {
        one(v);
    }
    if ((reinterpret_cast<uintptr_t>(out + v) & 15) == 0) {
        const __m128 scales = _mm_setr_ps(scale[0], scale[1], scale[2], 0.0f);
        const __m128 offsets = _mm_setr_ps(translate[0], translate[1], translate[2], 0.0f);
        const __m128i zero = _mm_setzero_si128();
        // The lanes of the four vertices of each step, which keep their places modulo four.
        uint64_t lane0 = lanes[v % 4];
        uint64_t lane1 = lanes[(v + 1) % 4];
        uint64_t lane2 = lanes[(v + 2) % 4];
        uint64_t lane3 = lanes[(v + 3) % 4];
        const size_t first = v;
        for (; v + 4 <= count; v += 4) {
            const uint8_t* p = packed + 4 * v;
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            const __m128i low = _mm_unpacklo_epi8(bytes, zero);
            const __m128i high = _mm_unpackhi_epi8(bytes, zero);
            auto decoded = [&](__m128i words) {
                return _mm_add_ps(_mm_mul_ps(_mm_cvtepi32_ps(words), scales), offsets);
            };
            const __m128 d0 = decoded(_mm_unpacklo_epi16(low, zero)); // x0 y0 z0 -
            const __m128 d1 = decoded(_mm_unpackhi_epi16(low, zero));
            const __m128 d2 = decoded(_mm_unpacklo_epi16(high, zero));
            const __m128 d3 = decoded(_mm_unpackhi_epi16(high, zero));
            const __m128 z0x1 = _mm_shuffle_ps(d0, d1, _MM_SHUFFLE(0, 0, 2, 2));
            const __m128 z2x3 = _mm_shuffle_ps(d2, d3, _MM_SHUFFLE(0, 0, 2, 2));
            float* to = &out[v].x;
            _mm_store_ps(to, _mm_shuffle_ps(d0, z0x1, _MM_SHUFFLE(2, 0, 1, 0)));     // x0 y0 z0 x1
            _mm_store_ps(to + 4, _mm_shuffle_ps(d1, d2, _MM_SHUFFLE(1, 0, 2, 1)));   // y1 z1 x2 y2
            _mm_store_ps(to + 8, _mm_shuffle_ps(z2x3, d3, _MM_SHUFFLE(2, 1, 2, 0))); // z2 x3 y3 z3
            normals[v] = p[3];
            normals[v + 1] = p[7];
            normals[v + 2] = p[11];
            normals[v + 3] = p[15];
            lane0 = mix(lane0, packedWord(p));
            lane1 = mix(lane1, packedWord(p + 4));
            lane2 = mix(lane2, packedWord(p + 8));
            lane3 = mix(lane3, packedWord(p + 12));
        }
        lanes[first % 4] = lane0;
        lanes[(first + 1) % 4] = lane1;
        lanes[(first + 2) % 4] = lane2;
        lanes[(first + 3) % 4] = lane3;
    }
#endif
    for (; v < count; ++v) {
        one(v);
    }
}

} // namespace

std::shared_ptr<const FramePacking> decodeKeepingPacking(std::span<const uint8_t> packed,
                                                         const float (&scale)[3], const float (&translate)[3],
                                                         uint64_t mesh, std::span<const uint8_t> nameField,
                                                         std::optional<std::array<uint8_t, 8>> bounds,
                                                         Positions& positions) {
    std::shared_ptr<FramePacking> kept = packingOnGrid(scale, translate, mesh, nameField, bounds);
    const size_t count = packed.size() / 4;
    resizeUnwritten(positions, count);
    kept->normals.resize(count);
    uint64_t lanes[4] = {SEED, SEED ^ 1, SEED ^ 2, SEED ^ 3};
    decodeAndDigest(scale, translate, packed.data(), count, positions.data(), kept->normals.data(), lanes);
    uint64_t h = mix(SEED, count);
    for (uint64_t lane : lanes) {
        h = mix(h, lane);
    }
    kept->packedDigest = h;
    return kept;
}

void writeNameField(std::vector<uint8_t, BulkAllocator<uint8_t>>& out, const Frame& frame,
                    const std::string& name, size_t length) {
    const FramePacking* kept = frame.packing.get();
    if (kept != nullptr && kept->nameField && length == kept->nameField->size() && name == frame.name) {
        const auto& field = *kept->nameField;
        const auto end = std::find(field.begin(), field.end(), uint8_t(0));
        if (std::equal(field.begin(), end, name.begin(), name.end())) {
            out.insert(out.end(), field.begin(), field.end());
            return;
        }
    }
    const size_t n = std::min(name.size(), length);
    const auto* bytes = reinterpret_cast<const uint8_t*>(name.data());
    out.insert(out.end(), bytes, bytes + n);
    out.insert(out.end(), length - n, uint8_t(0));
}

bool packOnGrid(const Positions& positions, size_t vertexCount, const std::array<float, 3>& scale,
                const std::array<float, 3>& translate, std::vector<uint8_t>& xyz) {
    if (positions.size() != vertexCount) {
        return false;
    }
    float inverse[3];
    for (size_t a = 0; a < 3; ++a) {
        if (!std::isfinite(scale[a]) || !std::isfinite(translate[a])) {
            return false;
        }
        inverse[a] = scale[a] != 0.0f ? 1.0f / scale[a] : 0.0f;
    }
    xyz.resize(vertexCount * 3);
    for (size_t v = 0; v < vertexCount; ++v) {
        for (size_t a = 0; a < 3; ++a) {
            if (!exactByte(positions[v][int(a)], scale[a], translate[a], inverse[a], xyz[v * 3 + a])) {
                return false;
            }
        }
    }
    return true;
}

} // namespace faceto
