#include "formats/FileIO.h"

#include "formats/Limits.h"
#include "formats/Temporaries.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace faceto {

namespace {

constexpr int MAX_LINKS = 40; // as many links as the kernel follows in one path

std::string reasonOf(const std::string& path, int error) {
    return path + ": " + std::strerror(error);
}

// Closes a descriptor when it goes out of scope.
class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    // Closes now; false when the close reported an error (a delayed write failure).
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_;
};

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

std::string parentOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool readOnly(const std::string& path, const struct stat& st) {
    // Without any write bit a file is read-only even for the superuser, whom access() lets through.
    return (st.st_mode & 0222) == 0 ||
           (::access(path.c_str(), W_OK) != 0 && (errno == EACCES || errno == EROFS));
}

} // namespace

Result<ByteBuffer> readFilePrefix(const std::string& path, size_t maxBytes) {
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) {
        return Failure{reasonOf(path, errno)};
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        return Failure{reasonOf(path, errno)};
    }
    if (S_ISDIR(st.st_mode)) {
        return Failure{reasonOf(path, EISDIR)};
    }
    // Read straight into a buffer of the file's size; keep reading in case the file grew meanwhile.
    ByteBuffer data;
    try {
        data.resize(S_ISREG(st.st_mode) && st.st_size > 0 ? std::min<size_t>(size_t(st.st_size), maxBytes)
                                                          : 0);
        size_t filled = 0;
        for (;;) {
            if (filled == data.size()) {
                if (data.size() >= maxBytes) {
                    break;
                }
                // As long as the file was: a small read tells whether there is more (a file that grew,
                // a pipe), without making the buffer larger when there is not.
                uint8_t more[65536];
                const ssize_t n = ::read(fd.get(), more, std::min(sizeof more, maxBytes - data.size()));
                if (n < 0) {
                    if (errno == EINTR) {
                        continue;
                    }
                    return Failure{reasonOf(path, errno)};
                }
                if (n == 0) {
                    break;
                }
                data.insert(data.end(), more, more + n);
                filled += size_t(n);
                continue;
            }
            const ssize_t n = ::read(fd.get(), data.data() + filled, data.size() - filled);
            if (n < 0) {
                if (errno == EINTR) {
                    continue;
                }
                return Failure{reasonOf(path, errno)};
            }
            if (n == 0) {
                break;
            }
            filled += size_t(n);
        }
        data.resize(filled);
    } catch (const std::bad_alloc&) {
        return Failure{path + ": not enough memory to read the file"};
    }
    return data;
}

Result<ByteBuffer> readFile(const std::string& path) {
    return readFilePrefix(path, SIZE_MAX);
}

FileStream::~FileStream() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

Status FileStream::open(const std::string& path) {
    path_ = path;
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        return Failure{reasonOf(path, errno)};
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        return Failure{reasonOf(path, errno)};
    }
    if (!S_ISREG(st.st_mode)) {
        return Failure{reasonOf(path, S_ISDIR(st.st_mode) ? EISDIR : EINVAL)};
    }
    size_ = size_t(std::max<off_t>(st.st_size, 0));
    buffer_.resize(std::min<size_t>(size_t(1) << 16, std::max<size_t>(size_, 1)));
    return {};
}

// Reads what is there of `count` bytes; false on an error, which is kept for ioError().
bool FileStream::readSome(uint8_t* out, size_t count, size_t& got) {
    got = 0;
    while (got < count) {
        const ssize_t n = ::read(fd_, out + got, count - got);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            ioError_ = reasonOf(path_, errno);
            return false;
        }
        if (n == 0) {
            break;
        }
        got += size_t(n);
    }
    return true;
}

void FileStream::copySlowly(uint8_t* out, size_t count) {
    if (!ok_ || !require(count)) {
        std::memset(out, 0, count);
        return;
    }
    const size_t held = buffered_ - taken_;
    std::memcpy(out, buffer_.data() + taken_, held);
    taken_ = buffered_ = 0;
    const size_t wanted = count - held;
    size_t got = 0;
    bool read = false;
    if (wanted >= buffer_.size()) {
        read = readSome(out + held, wanted, got) && got == wanted;
    } else if (readSome(buffer_.data(), std::min(buffer_.size(), remaining() - held), buffered_) &&
               buffered_ >= wanted) {
        std::memcpy(out + held, buffer_.data(), wanted);
        taken_ = wanted;
        read = true;
    }
    if (!read) {
        ok_ = false; // the file shrank, or a read failed
        std::memset(out, 0, count);
        return;
    }
    position_ += count;
}

void FileStream::skip(size_t count) {
    uint8_t scratch[256];
    while (count > 0 && ok_) {
        const size_t piece = std::min(count, sizeof scratch);
        copyTo(scratch, piece);
        count -= piece;
    }
}

float FileStream::f32() {
    return std::bit_cast<float>(u32());
}

std::string FileStream::fixedString(size_t length) {
    std::string field(length, '\0');
    copyTo(field.data(), length);
    field.resize(std::strlen(field.c_str()));
    return field;
}

Result<ByteBuffer> FileStream::rest() {
    ByteBuffer data(buffer_.begin() + ptrdiff_t(taken_), buffer_.begin() + ptrdiff_t(buffered_));
    position_ += buffered_ - taken_;
    taken_ = buffered_ = 0;
    try {
        data.resize(data.size() + remaining());
        size_t filled = data.size() - remaining();
        size_t got = 0;
        if (!readSome(data.data() + filled, data.size() - filled, got)) {
            return Failure{*ioError_};
        }
        data.resize(filled + got);
        position_ = size_;
        // A file that grew meanwhile is read to its end, as a whole-file read would.
        uint8_t more[65536];
        while (readSome(more, sizeof more, got) && got > 0) {
            data.insert(data.end(), more, more + got);
        }
        if (ioError_) {
            return Failure{*ioError_};
        }
    } catch (const std::bad_alloc&) {
        return Failure{path_ + ": not enough memory to read the file"};
    }
    return data;
}

std::optional<FileStamp> fileStamp(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return std::nullopt;
    }
    return FileStamp{int64_t(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec, uint64_t(st.st_size)};
}

bool fileIsReadable(const std::string& path) {
    if (path.empty()) {
        return false;
    }
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode) && ::access(path.c_str(), R_OK) == 0;
}

Result<std::string> resolveWriteTarget(const std::string& requested) {
    if (requested.empty()) {
        return Failure{"no file name given"};
    }
    std::string path = requested;
    for (int links = 0;; ++links) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0) {
            if (errno == ENOENT) {
                return path; // a new file
            }
            return Failure{reasonOf(path, errno)};
        }
        if (S_ISLNK(st.st_mode)) {
            if (st.st_uid != ::geteuid()) {
                return Failure{path + ": a symbolic link of another user; it is not followed"};
            }
            if (links >= MAX_LINKS) {
                return Failure{reasonOf(requested, ELOOP)};
            }
            std::string target(size_t(st.st_size > 0 ? st.st_size : 4096) + 1, '\0');
            const ssize_t n = ::readlink(path.c_str(), target.data(), target.size());
            if (n < 0) {
                return Failure{reasonOf(path, errno)};
            }
            target.resize(size_t(n));
            if (target.empty() || target.front() != '/') {
                target = parentOf(path).append("/").append(target);
            }
            path = std::move(target);
            continue;
        }
        if (S_ISDIR(st.st_mode)) {
            return Failure{reasonOf(path, EISDIR)};
        }
        if (readOnly(path, st)) {
            return Failure{path + (errno == EROFS && (st.st_mode & 0222) != 0
                                       ? ": the file system is mounted read-only"
                                       : ": the file is read-only")};
        }
        return path;
    }
}

bool existingFileDiffers(const std::string& path, std::span<const uint8_t> data) {
    Result<std::string> target = resolveWriteTarget(path);
    if (!target) {
        return false; // the write itself will say what is wrong
    }
    struct stat st {};
    if (::stat(target->c_str(), &st) != 0) {
        return false;
    }
    if (!S_ISREG(st.st_mode) || uint64_t(st.st_size) != data.size()) {
        return true;
    }
    Result<ByteBuffer> old = readFile(*target);
    return !old || !std::equal(old->begin(), old->end(), data.begin(), data.end());
}

FileReplacer::~FileReplacer() {
    for (const Staged& s : staged_) {
        ::unlink(s.temporary.c_str());
    }
}

Status FileReplacer::stage(const std::string& path, std::span<const uint8_t> data) {
    return stage(path, std::vector<std::span<const uint8_t>>{data});
}

Status FileReplacer::stage(const std::string& path, const std::vector<std::span<const uint8_t>>& parts) {
    Result<std::string> target = resolveWriteTarget(path);
    if (!target) {
        return Failure{target.error()};
    }
    // The temporary file sits beside the target so that the final rename stays on one file system.
    const std::string folder = parentOf(*target);
    const std::string name = fileNameOf(*target);
    removeStaleTemporaries(folder);
    std::random_device random;
    std::string temporary;
    int fd = -1;
    std::optional<PendingTemporary> pending;
    for (int attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temporary = temporaryName(folder, name, random());
        pending.reset();
        pending.emplace(temporary); // before the file exists: a signal from here on removes it
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            return Failure{reasonOf(*target, errno)};
        }
    }
    if (fd < 0) {
        return Failure{reasonOf(*target, EEXIST)};
    }
    Descriptor file(fd);
    struct stat old {};
    if (::stat(target->c_str(), &old) == 0) {
        ::fchmod(fd, old.st_mode & 07777); // keep the replaced file's permissions
    }
    int error = 0;
    const bool written = std::all_of(parts.begin(), parts.end(),
                                     [&](std::span<const uint8_t> part) { return writeAll(fd, part); });
    if (!written || ::fsync(fd) != 0) {
        error = errno;
    }
    if (!file.close() && error == 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        return Failure{reasonOf(*target, error)};
    }
    staged_.push_back({temporary, *target, std::move(*pending)});
    return Status::success();
}

Status FileReplacer::commit() {
    while (!staged_.empty()) {
        const Staged& s = staged_.front();
        if (::rename(s.temporary.c_str(), s.target.c_str()) != 0) {
            return Failure{reasonOf(s.target, errno)};
        }
        staged_.erase(staged_.begin());
    }
    return Status::success();
}

Status writeFileReplacing(const std::string& path, std::span<const uint8_t> data) {
    FileReplacer replacer;
    if (Status staged = replacer.stage(path, data); !staged) {
        return staged;
    }
    return replacer.commit();
}

std::string extensionAfterLastDot(const std::string& path) {
    const size_t dot = path.rfind('.');
    return dot == std::string::npos ? std::string() : path.substr(dot + 1);
}

std::string folderOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string fileNameOf(const std::string& path) {
    const size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

Result<ByteBuffer> readCompanionFile(const std::string& folder, const std::string& name, uint64_t maxBytes) {
    const std::string shown = folder + name;
    if (name.empty() || name.find('\0') != std::string::npos) {
        return Failure{shown + ": not a file beside the model"};
    }
    char root[PATH_MAX];
    char real[PATH_MAX];
    if (::realpath(folder.empty() ? "." : folder.c_str(), root) == nullptr) {
        return Failure{reasonOf(folder, errno)};
    }
    if (::realpath(shown.c_str(), real) == nullptr) {
        return Failure{reasonOf(shown, errno)};
    }
    // Links resolved, the file must still lie inside the folder.
    const std::string inside = std::string(root) == "/" ? "/" : std::string(root) + "/";
    if (std::string(real).compare(0, inside.size(), inside) != 0) {
        return Failure{shown + ": lies outside the model's folder (" + real + "); it is not read"};
    }
    // Opened without waiting (a pipe would block the open), then taken only as a regular file.
    Descriptor fd(::open(real, O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOFOLLOW));
    if (fd.get() < 0) {
        return Failure{reasonOf(shown, errno)};
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        return Failure{reasonOf(shown, errno)};
    }
    if (!S_ISREG(st.st_mode)) {
        return Failure{shown + ": not a regular file"};
    }
    if (uint64_t(st.st_size) > maxBytes) {
        return Failure{shown + ": " + std::to_string(st.st_size) + " bytes, more than the " +
                       std::to_string(maxBytes) + " a model's file may take"};
    }
    ByteBuffer data;
    try {
        data.resize(size_t(st.st_size));
    } catch (const std::bad_alloc&) {
        return Failure{shown + ": not enough memory to read the file"};
    }
    size_t filled = 0;
    while (filled < data.size()) {
        const ssize_t n = ::read(fd.get(), data.data() + filled, data.size() - filled);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return Failure{reasonOf(shown, errno)};
        }
        if (n == 0) {
            break; // the file shrank meanwhile
        }
        filled += size_t(n);
    }
    data.resize(filled);
    return data;
}

Result<ByteBuffer> readBesideModel(const std::string& folder, const std::string& name) {
    if (name.empty() || name[0] == '/' || name.find('\0') != std::string::npos) {
        return Failure{name + ": not a file beside the model"};
    }
    size_t at = 0;
    while (at <= name.size()) {
        const size_t end = std::min(name.find_first_of("/\\", at), name.size());
        if (name.compare(at, end - at, "..") == 0 && end - at == 2) {
            return Failure{name + ": not a file beside the model"};
        }
        at = end + 1;
    }
    return readCompanionFile(folder, name, limits::MAX_DECODED_BYTES);
}

} // namespace faceto
