#include "formats/FileIO.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <memory>
#include <cstdio>
#include <filesystem>
#include <random>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace faceto {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

bool writeAll(int fd, std::span<const uint8_t> data) {
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += size_t(n);
    }
    return true;
}

} // namespace

std::optional<ByteBuffer> readWholeFile(const std::string& path) { return readFilePrefix(path, SIZE_MAX); }

std::optional<ByteBuffer> readFilePrefix(const std::string& path, size_t maxBytes) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        return std::nullopt;
    }
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return std::nullopt;
    }
    // Read straight into a buffer of the file's size; keep reading in case the file grew meanwhile.
    struct stat st{};
    size_t expected = 0;
    if (::fstat(::fileno(file.get()), &st) == 0 && st.st_size > 0) {
        expected = std::min<size_t>(size_t(st.st_size), maxBytes);
    }
    ByteBuffer data(expected);
    size_t filled = std::fread(data.data(), 1, data.size(), file.get());
    data.resize(filled);
    while (filled == data.size() && data.size() < maxBytes && !std::ferror(file.get())) {
        uint8_t chunk[65536];
        const size_t n = std::fread(chunk, 1, std::min(sizeof chunk, maxBytes - data.size()), file.get());
        if (n == 0) {
            break;
        }
        data.insert(data.end(), chunk, chunk + n);
        filled = data.size();
    }
    if (std::ferror(file.get())) {
        return std::nullopt;
    }
    return data;
}

bool fileIsReadable(const std::string& path) {
    std::error_code ec;
    if (path.empty() || std::filesystem::is_directory(path, ec)) {
        return false;
    }
    FilePtr file(std::fopen(path.c_str(), "rb"));
    return file != nullptr;
}

bool writeFileReplacing(const std::string& requestedPath, std::span<const uint8_t> data) {
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::path target(requestedPath);
    if (target.empty()) {
        return false;
    }
    if (fs::is_symlink(target, ec)) {
        fs::path resolved = fs::canonical(target, ec);
        if (ec) {
            return false;
        }
        target = resolved;
    }
    if (fs::is_directory(target, ec)) {
        return false;
    }

    // The temporary file sits beside the target so that the final rename stays on one file system.
    std::random_device random;
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    fs::path temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temporary = folder / (".#" + target.filename().string() + "." + std::to_string(random() % 1000000));
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            return false;
        }
    }
    if (fd < 0) {
        return false;
    }

    struct stat old{};
    if (::stat(target.c_str(), &old) == 0) {
        ::fchmod(fd, old.st_mode & 07777); // keep the replaced file's permissions
    }
    bool ok = writeAll(fd, data) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (ok && ::rename(temporary.c_str(), target.c_str()) == 0) {
        return true;
    }
    ::unlink(temporary.c_str());
    return false;
}

std::string extensionAfterLastDot(const std::string& path) {
    const size_t dot = path.rfind('.');
    return dot == std::string::npos ? std::string() : path.substr(dot + 1);
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

} // namespace faceto
