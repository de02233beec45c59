#pragma once

#include "formats/BulkAllocator.h"
#include "formats/Result.h"
#include "formats/Temporaries.h"

#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace faceto {

// The bytes of a whole file, read or to be written.
using ByteBuffer = std::vector<uint8_t, BulkAllocator<uint8_t>>;
// The bytes of a text, as a file holds them.
inline ByteBuffer bytesOf(std::string_view text) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(text.data());
    return ByteBuffer(bytes, bytes + text.size());
}

// The whole file. On failure the reason names the path and what went wrong ("x.md2: No such file or
// directory", "... Is a directory", "... Permission denied").
Result<ByteBuffer> readFile(const std::string& path);

// Up to `maxBytes` from the start of the file (fewer when it is shorter).
Result<ByteBuffer> readFilePrefix(const std::string& path, size_t maxBytes);

bool fileIsReadable(const std::string& path);

// Reads a file front to back through a small buffer, with the same checked little-endian reads as a
// ByteReader over the whole file: what a reader takes in large pieces (a frame's positions) goes straight
// from the file into its place, so a large file is never held twice. `remaining()` counts from the size
// the file had when it was opened; a read past its end, or one that fails, yields zeros and sets a
// sticky failure flag, and `ioError()` then tells a failed read from a short file.
class FileStream {
public:
    FileStream() = default;
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;
    ~FileStream();

    // Opens a regular file; the reason names the path otherwise ("... Is a directory").
    Status open(const std::string& path);

    size_t remaining() const { return size_ - position_; }
    bool ok() const { return ok_; }
    const std::optional<std::string>& ioError() const { return ioError_; }
    bool require(uint64_t count) {
        if (count > remaining()) {
            ok_ = false;
        }
        return ok_;
    }

    void skip(size_t count);
    uint8_t u8() {
        uint8_t v = 0;
        copyTo(&v, 1);
        return v;
    }
    uint32_t u32() {
        uint8_t b[4] = {0, 0, 0, 0};
        copyTo(b, 4);
        return uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
    }
    int32_t i32() { return int32_t(u32()); }
    float f32();
    std::string fixedString(size_t length);

    // The next `count` bytes into `out` (zeros and failure when they are not there).
    void copyTo(void* out, size_t count) {
        if (count == 0) {
            return; // also for the null start of an empty frame
        }
        if (count <= buffered_ - taken_ && ok_) {
            std::memcpy(out, buffer_.data() + taken_, count);
            taken_ += count;
            position_ += count;
            return;
        }
        copySlowly(static_cast<uint8_t*>(out), count);
    }
    // Everything from here to the end of the file, including what it grew by since it was opened.
    Result<ByteBuffer> rest();

private:
    void copySlowly(uint8_t* out, size_t count);
    bool readSome(uint8_t* out, size_t count, size_t& got);

    int fd_ = -1;
    std::string path_;
    size_t size_ = 0;
    size_t position_ = 0;
    std::vector<uint8_t> buffer_;
    size_t buffered_ = 0;
    size_t taken_ = 0;
    bool ok_ = true;
    std::optional<std::string> ioError_;
};

// When a file was last changed, and its size: what tells that another program wrote it meanwhile.
struct FileStamp {
    int64_t modified = 0; // nanoseconds
    uint64_t size = 0;
    bool operator==(const FileStamp&) const = default;
};
// Nothing when there is no such file (links followed).
std::optional<FileStamp> fileStamp(const std::string& path);

// The file a write to `path` would replace: symbolic links are followed only while they belong to the
// user running the program (the rule the kernel applies in shared sticky folders such as /tmp), so
// nobody can plant a link that makes a save overwrite one of the user's files. Fails for a link of
// another user, a folder, or a file the user may not write ("read-only").
Result<std::string> resolveWriteTarget(const std::string& path);

// True when a file exists at `path` (links followed as for a write) whose bytes differ from `data`.
bool existingFileDiffers(const std::string& path, std::span<const uint8_t> data);

// Writes several files so that they replace their targets together or not at all: each is written to a
// temporary file beside its target and flushed to disk; the temporaries are renamed over the targets
// only when every one of them was written. Whatever is not committed is removed again, so a failed save
// leaves every existing file as it was.
class FileReplacer {
public:
    FileReplacer() = default;
    FileReplacer(const FileReplacer&) = delete;
    FileReplacer& operator=(const FileReplacer&) = delete;
    ~FileReplacer();

    // Writes `data` for `path`. On failure the reason names the file and what went wrong.
    Status stage(const std::string& path, std::span<const uint8_t> data);
    // The same for a file of several parts, written one after the other.
    Status stage(const std::string& path, const std::vector<std::span<const uint8_t>>& parts);
    // Renames every staged file over its target.
    Status commit();

private:
    struct Staged {
        std::string temporary;
        std::string target;
        PendingTemporary pending;
    };
    std::vector<Staged> staged_;
};

// One file written through a FileReplacer.
Status writeFileReplacing(const std::string& path, std::span<const uint8_t> data);

// The text after the last "." of the path (empty when there is none).
std::string extensionAfterLastDot(const std::string& path);

// A file that a model names (a skin, a glTF buffer or picture, an OBJ material), `name` relative to
// `folder` (empty: the current folder; else ending in a separator). Read only when, links resolved, it
// lies inside that folder and is a regular file of at most `maxBytes`: a model never makes the program
// read a device, wait on a pipe or reach outside the folders it was given.
Result<ByteBuffer> readCompanionFile(const std::string& folder, const std::string& name, uint64_t maxBytes);

// A file a model names beside it, by a name relative to the model's folder: refused when the name
// leaves that folder (an absolute path, or a ".." part, or a link that leads out).
Result<ByteBuffer> readBesideModel(const std::string& folder, const std::string& name);

// The folder part of a path ("" when it has none), with its trailing separator.
std::string folderOf(const std::string& path);

// The last component of a path.
std::string fileNameOf(const std::string& path);

} // namespace faceto
