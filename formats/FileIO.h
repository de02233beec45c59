#pragma once

#include "formats/BulkAllocator.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace faceto {

// The bytes of a whole file, read or to be written.
using ByteBuffer = std::vector<uint8_t, BulkAllocator<uint8_t>>;

// The whole file, or nothing when it cannot be opened or read.
std::optional<ByteBuffer> readWholeFile(const std::string& path);

// Up to `maxBytes` from the start of the file (fewer when it is shorter); nothing when it cannot be opened.
std::optional<ByteBuffer> readFilePrefix(const std::string& path, size_t maxBytes);

bool fileIsReadable(const std::string& path);

// Writes `data` to `path` through a temporary file in the same folder that is renamed over the
// target once everything is on disk, so a failed save never destroys the file it was replacing.
// A symbolic link is followed: its target is replaced, the link stays.
bool writeFileReplacing(const std::string& path, std::span<const uint8_t> data);

// The text after the last "." of the path (empty when there is none).
std::string extensionAfterLastDot(const std::string& path);

// The folder part of a path ("" when it has none), with its trailing separator.
std::string folderOf(const std::string& path);

} // namespace faceto
