// Reads and atomic, locked rewrites of small text files.
#include "platform/src/file_rewrite.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>

#include "platform/file_placement.h"
#include "platform/files.h"
#include "platform/unique_fd.h"

namespace {

bool ReadAll(int fd, std::string& out) {
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0) return true;
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        if (out.size() + static_cast<size_t>(got) > kMaxTextFileBytes) return false;
        out.append(buffer, static_cast<size_t>(got));
    }
}

bool SameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Exclusive flock on the file now at lockPath. Nothing when it cannot be opened or locked
// (or is missing and may not be created).
std::optional<UniqueFd> LockFile(const std::string& lockPath, bool create) {
    for (;;) {
        UniqueFd fd(::open(lockPath.c_str(), O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0666));
        if (!fd) return std::nullopt;
        int locked;
        while ((locked = ::flock(fd.get(), LOCK_EX)) != 0 && errno == EINTR) {}
        if (locked != 0) return std::nullopt;
        struct stat held {
        }, current{};
        if (::fstat(fd.get(), &held) != 0) return std::nullopt;
        if (::stat(lockPath.c_str(), &current) == 0 && SameFile(held, current)) return fd;
        // Another writer renamed a new file over the one we locked: lock that one instead.
    }
}

// Writes text to a new file beside path and puts it in place of path. mode is applied when
// given (the replaced file's mode); a new file gets 0666 less the umask.
bool ReplaceFile(const std::string& path, const std::string& text, std::optional<mode_t> mode) {
    PlaceOptions options;
    options.replace = true;
    options.mode = mode;
    return static_cast<bool>(PlaceFile(
        path, options, [&text](int fd, const std::string&) { return WriteAll(fd, text.data(), text.size()); }));
}

// The file a symbolic link points at, so that a rewrite replaces the target, not the link.
std::string ResolvedPath(const std::string& path) {
    std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : path;
}

}  // namespace

std::optional<std::string> ReadTextFile(const std::string& path) {
    if (path.empty()) return std::nullopt;
    // Non-blocking open so that a FIFO or device cannot stall the caller.
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info {};
    if (!fd || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
    if (static_cast<uint64_t>(info.st_size) > kMaxTextFileBytes) return std::nullopt;
    std::string text;
    text.reserve(static_cast<size_t>(info.st_size));
    if (!ReadAll(fd.get(), text)) return std::nullopt;
    return text;
}

bool RewriteFile(const std::string& path, const std::string& lockPath, bool createIfMissing,
                 const std::function<bool(std::string& text)>& edit) {
    if (path.empty()) return false;
    const std::string target = ResolvedPath(path);
    const bool lockOnTarget = lockPath == path;
    const auto missing = [&target] {
        struct stat info {};
        return ::stat(target.c_str(), &info) != 0 && errno == ENOENT;
    };
    if (!createIfMissing && missing()) return true;

    const std::optional<UniqueFd> lock = LockFile(lockOnTarget ? target : lockPath, createIfMissing || !lockOnTarget);
    if (!lock) return !createIfMissing && missing();

    std::string text;
    std::optional<mode_t> mode;
    if (!missing()) {
        struct stat info {};
        std::optional<std::string> current = ReadTextFile(target);
        if (!current || ::stat(target.c_str(), &info) != 0) return false;
        text = std::move(*current);
        mode = info.st_mode & 07777;
    } else if (!createIfMissing) {
        return true;
    }

    return !edit(text) || ReplaceFile(target, text, mode);
}

bool MakeFolders(const std::string& folder) {
    if (folder.empty()) return false;
    if (FolderExists(folder)) return true;
    const size_t slash = folder.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(folder.substr(0, slash))) return false;
    return ::mkdir(folder.c_str(), 0700) == 0 || (errno == EEXIST && FolderExists(folder));
}
