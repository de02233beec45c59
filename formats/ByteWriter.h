#pragma once

#include "formats/FileIO.h"

#include <bit>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace faceto {

// Little-endian writer that builds a file's bytes in memory before they are written in one go.
class ByteWriter {
public:
    ByteBuffer& bytes() { return out_; }
    size_t size() const { return out_.size(); }
    void reserve(size_t n) { out_.reserve(n); }

    void u8(uint8_t v) { out_.push_back(v); }
    void i16(int16_t v) { u16(uint16_t(v)); }
    void u16(uint16_t v) {
        out_.push_back(uint8_t(v));
        out_.push_back(uint8_t(v >> 8));
    }
    void i32(int32_t v) { u32(uint32_t(v)); }
    void u32(uint32_t v) {
        const uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
        out_.insert(out_.end(), b, b + 4);
    }
    void f32(float v) { u32(std::bit_cast<uint32_t>(v)); }
    // Room for `count` more bytes, to be filled by the caller.
    uint8_t* append(size_t count) {
        const size_t at = out_.size();
        out_.resize(at + count);
        return out_.data() + at;
    }
    void raw(std::span<const uint8_t> data) { out_.insert(out_.end(), data.begin(), data.end()); }
    void text(std::string_view s) {
        const auto* bytes = reinterpret_cast<const uint8_t*>(s.data());
        out_.insert(out_.end(), bytes, bytes + s.size());
    }
    // A text field of exactly `length` bytes: cut, or padded with zero bytes.
    void fixedString(std::string_view s, size_t length) {
        const size_t n = s.size() < length ? s.size() : length;
        const auto* bytes = reinterpret_cast<const uint8_t*>(s.data());
        out_.insert(out_.end(), bytes, bytes + n);
        out_.insert(out_.end(), length - n, uint8_t(0));
    }

private:
    ByteBuffer out_;
};

} // namespace faceto
