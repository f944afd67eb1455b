// The hidden file beside the target, and its way into place.
#include "platform/file_placement.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/unique_fd.h"

namespace {

constexpr size_t kCopyBlock = size_t{1} << 16;
constexpr int kNameAttempts = 100;

std::string SystemError(const std::string& what) { return what + ": " + std::strerror(errno); }

std::string BaseName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The extension of the file name with its dot; empty when it has none (or only a leading dot).
std::string ExtensionOf(const std::string& name) {
    const size_t dot = name.rfind('.');
    return dot == std::string::npos || dot == 0 ? std::string() : name.substr(dot);
}

bool Cancelled(const PlaceOptions& options) { return options.cancelled && options.cancelled(); }

PlaceOutcome Failure(std::string error) { return {PlaceResult::Failed, std::move(error)}; }

// The hidden file: ".<name>.part<pid>-<n><extension>" in the target's folder, created new
// (never an existing file or a link); removed unless it was renamed into place.
class HiddenFile {
public:
    ~HiddenFile() {
        fd_.Close();
        if (!path_.empty()) ::unlink(path_.c_str());
    }

    bool Create(const std::string& target) {
        static std::atomic<unsigned> counter{0};
        const std::string name = BaseName(target);
        const std::string stem = FolderOfPath(target) + "/." + name + ".part" + std::to_string(::getpid()) + "-";
        for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
            std::string path = stem + std::to_string(counter++) + ExtensionOf(name);
            const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
            if (fd >= 0) {
                fd_.Reset(fd);
                path_ = std::move(path);
                return true;
            }
            if (errno != EEXIST) return false;
        }
        errno = EEXIST;
        return false;
    }

    int fd() const { return fd_.get(); }
    const std::string& Path() const { return path_; }
    bool Close() { return fd_.CloseChecked(); }
    void Placed() { path_.clear(); }

private:
    UniqueFd fd_;
    std::string path_;
};

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

// Flushes the folder's entries, so that the rename in it survives a power loss. Best effort:
// the file is in place by then, and some file systems cannot sync a folder.
void SyncFolder(const std::string& folder) {
    const UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd) ::fsync(fd.get());
}

bool CopyBlocks(int from, int to, const PlaceOptions& options, PlaceOutcome& outcome) {
    std::vector<char> block(kCopyBlock);
    for (;;) {
        if (Cancelled(options)) {
            outcome = {PlaceResult::Cancelled, {}};
            return false;
        }
        const ssize_t got = ::read(from, block.data(), block.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            outcome = Failure(SystemError("read"));
            return false;
        }
        if (got == 0) return true;
        if (!WriteAll(to, block.data(), static_cast<size_t>(got))) {
            outcome = Failure(SystemError("write"));
            return false;
        }
    }
}

}  // namespace

std::string FolderOfPath(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

PlaceOutcome PlaceFile(const std::string& target, const PlaceOptions& options, const PlaceWriter& write) {
    if (Cancelled(options)) return {PlaceResult::Cancelled, {}};
    HiddenFile hidden;
    if (!hidden.Create(target)) return Failure(SystemError(FolderOfPath(target)));
    errno = 0;
    if (!write(hidden.fd(), hidden.Path())) {
        if (Cancelled(options)) return {PlaceResult::Cancelled, {}};
        return Failure(errno != 0 ? SystemError(target) : target + ": could not be written");
    }
    if ((options.mode && ::fchmod(hidden.fd(), *options.mode) != 0) || ::fsync(hidden.fd()) != 0 || !hidden.Close())
        return Failure(SystemError(target));
    if (Cancelled(options)) return {PlaceResult::Cancelled, {}};
    if (!Rename(hidden.Path(), target, options.replace)) {
        if (errno == EEXIST) return {PlaceResult::Exists, {}};
        return Failure(SystemError(target));
    }
    hidden.Placed();
    SyncFolder(FolderOfPath(target));
    return {PlaceResult::Placed, {}};
}

PlaceOutcome PlaceCopy(const std::string& source, const std::string& target, const PlaceOptions& options) {
    const UniqueFd input(::open(source.c_str(), O_RDONLY | O_CLOEXEC));
    if (!input) return Failure(SystemError(source));
    PlaceOutcome copyOutcome;
    const PlaceOutcome placed = PlaceFile(
        target, options, [&](int fd, const std::string&) { return CopyBlocks(input.get(), fd, options, copyOutcome); });
    // A failed copy says why itself; the placement only knows that the writer failed.
    if (placed.result == PlaceResult::Failed && !copyOutcome.error.empty()) return copyOutcome;
    return placed;
}
