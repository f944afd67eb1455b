#include "cli/src/output_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "cli/src/commands.h"
#include "cli/src/interrupt.h"
#include "engine/temp_files.h"
#include "platform/platform.h"

namespace {

constexpr size_t kCopyChunk = 1 << 16;
constexpr int kNameAttempts = 100;

std::string BaseName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string SystemError(const std::string& what) { return what + ": " + std::strerror(errno); }

// The hidden copy beside the target; removed unless it was renamed into place.
class PartialFile {
public:
    ~PartialFile() {
        fd_.Close();
        if (!path_.empty()) ::unlink(path_.c_str());
    }

    // Created new, with the mode an ordinary new file gets.
    bool Create(const std::string& target) {
        const std::string stem = TargetFolder(target) + "/." + BaseName(target) + ".part";
        for (int n = 0; n < kNameAttempts; ++n) {
            std::string name = stem + std::to_string(::getpid()) + "-" + std::to_string(n);
            const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (fd >= 0) {
                fd_ = UniqueFd(fd);
                path_ = std::move(name);
                return true;
            }
            if (errno != EEXIST) return false;
        }
        errno = EEXIST;
        return false;
    }
    int fd() const { return fd_.get(); }
    const std::string& Path() const { return path_; }
    bool Close() { return ::close(fd_.Release()) == 0; }
    void Committed() { path_.clear(); }

private:
    UniqueFd fd_;
    std::string path_;
};

bool Copy(int from, int to, bool interruptible, std::string& error) {
    std::vector<char> chunk(kCopyChunk);
    for (;;) {
        if (interruptible && InterruptRequested()) {
            error = "interrupted";
            return false;
        }
        const ssize_t got = ::read(from, chunk.data(), chunk.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            error = SystemError("read");
            return false;
        }
        if (got == 0) return true;
        if (!WriteAll(to, chunk.data(), static_cast<size_t>(got))) {
            error = SystemError("write");
            return false;
        }
    }
}

// rename() that keeps an existing target unless replace is set.
bool Rename(const std::string& from, const std::string& to, bool replace) {
    if (replace) return ::rename(from.c_str(), to.c_str()) == 0;
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without the exclusive rename: a hard link fails on an existing target too.
    if (::link(from.c_str(), to.c_str()) != 0) return false;
    ::unlink(from.c_str());
    return true;
}

}  // namespace

std::string TargetFolder(const std::string& target) {
    const size_t slash = target.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : target.substr(0, slash);
}

bool CheckTarget(const std::string& target, bool replace) {
    if (FolderExists(target)) {
        PrintError(std::string(kCantSaveText) + ": " + target + " is a folder");
        return false;
    }
    if (!FolderExists(TargetFolder(target))) {
        PrintError(std::string(kCantSaveText) + ": no folder " + TargetFolder(target));
        return false;
    }
    if (!replace && ::access(target.c_str(), F_OK) == 0) {
        PrintError(target + " exists (use --force to replace it)");
        return false;
    }
    return true;
}

bool PlaceOutput(const std::string& source, const std::string& target, bool replace, std::string& error,
                 bool interruptible) {
    const UniqueFd input(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (!input) {
        error = SystemError(source);
        return false;
    }
    PartialFile partial;
    if (!partial.Create(target)) {
        error = SystemError(TargetFolder(target));
        return false;
    }
    if (!Copy(input.get(), partial.fd(), interruptible, error)) return false;
    if (::fsync(partial.fd()) != 0 || !partial.Close()) {
        error = SystemError(partial.Path());
        return false;
    }
    if (interruptible && InterruptRequested()) {
        error = "interrupted";
        return false;
    }
    if (!Rename(partial.Path(), target, replace)) {
        error = errno == EEXIST ? target + " exists (use --force to replace it)" : SystemError(target);
        return false;
    }
    partial.Committed();
    return true;
}
