#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

namespace faceto {

// Bounds-checked little-endian reader over a file held in memory. A read past the end yields
// zeros and sets a sticky failure flag, so parsers read a whole record and check `ok()` once.
class ByteReader {
public:
    explicit ByteReader(std::span<const uint8_t> data) : data_(data) {}

    size_t size() const { return data_.size(); }
    size_t position() const { return pos_; }
    size_t remaining() const { return pos_ <= data_.size() ? data_.size() - pos_ : 0; }
    bool ok() const { return ok_; }
    void fail() { ok_ = false; }

    // Moves to an absolute offset; an offset outside the data fails.
    bool seek(int64_t offset) {
        if (offset < 0 || uint64_t(offset) > data_.size()) {
            ok_ = false;
            return false;
        }
        pos_ = size_t(offset);
        return true;
    }
    bool skip(int64_t count) { return seek(int64_t(pos_) + count); }

    // True when `count` more bytes can be read; fails otherwise.
    bool require(uint64_t count) {
        if (count > remaining()) {
            ok_ = false;
        }
        return ok_;
    }

    uint8_t u8() {
        uint8_t v = 0;
        read(&v, 1);
        return v;
    }
    int16_t i16() { return int16_t(u16()); }
    uint16_t u16() {
        uint8_t b[2] = {0, 0};
        read(b, 2);
        return uint16_t(b[0] | (b[1] << 8));
    }
    int32_t i32() { return int32_t(u32()); }
    uint32_t u32() {
        uint8_t b[4] = {0, 0, 0, 0};
        read(b, 4);
        return uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
    }
    float f32() { return std::bit_cast<float>(u32()); }

    // A fixed-size text field, cut at its first zero byte (the whole field when it has none).
    std::string fixedString(size_t length) {
        std::span<const uint8_t> field = bytes(length);
        size_t n = 0;
        while (n < field.size() && field[n] != 0) {
            ++n;
        }
        return std::string(reinterpret_cast<const char*>(field.data()), n);
    }

    // The next `count` bytes into `out`, which they leave untouched (and fail) when they are not there.
    void copyTo(void* out, size_t count) { read(static_cast<uint8_t*>(out), count); }

    // The next `count` bytes, or an empty span (and failure) when they are not there.
    std::span<const uint8_t> bytes(size_t count) {
        if (!require(count)) {
            return {};
        }
        std::span<const uint8_t> out = data_.subspan(pos_, count);
        pos_ += count;
        return out;
    }

private:
    void read(uint8_t* out, size_t count) {
        if (!require(count) || count == 0) {
            return;
        }
        std::memcpy(out, data_.data() + pos_, count);
        pos_ += count;
    }

    std::span<const uint8_t> data_;
    size_t pos_ = 0;
    bool ok_ = true;
};

} // namespace faceto
