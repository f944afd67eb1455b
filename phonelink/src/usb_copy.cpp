#include "phonelink/src/usb_copy.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "phonelink/src/tone_folders.h"
#include "platform/unique_fd.h"

namespace {

constexpr size_t kBlock = size_t{1} << 16;
constexpr int kHiddenNameAttempts = 100;

bool IsFull(int code) { return code == ENOSPC || code == EDQUOT; }

// The result of a step that failed with errno code: Full for a full storage, else Failed
// with "<what>: <system error>."
SendResult Failure(int code, const std::string& what, std::string& error) {
    if (IsFull(code)) return SendResult::Full;
    error = what + ": " + std::strerror(code) + ".";
    return SendResult::Failed;
}

// A file this copy creates; removed when it is not kept.
class WrittenFile {
public:
    WrittenFile() = default;
    WrittenFile(const WrittenFile&) = delete;
    WrittenFile& operator=(const WrittenFile&) = delete;
    ~WrittenFile() { Remove(); }

    // Creates path new; false with errno set when it cannot.
    bool Create(const std::string& path) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0) return false;
        fd_.Reset(fd);
        path_ = path;
        return true;
    }
    int Fd() const { return fd_.get(); }
    const std::string& Path() const { return path_; }
    // Flushes the bytes to the storage and closes; 0 or the errno of the failure. File
    // systems that cannot flush (some FUSE ones) report it at the close.
    int Finish() {
        if (::fsync(fd_.get()) != 0 && errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) {
            const int code = errno;
            fd_.Close();
            return code;
        }
        return fd_.CloseChecked() ? 0 : errno;
    }
    void Keep() { path_.clear(); }
    void Remove() {
        fd_.Close();
        if (!path_.empty()) ::unlink(path_.c_str());
        path_.clear();
    }

private:
    UniqueFd fd_;
    std::string path_;
};

enum class CopyEnd { Done, Cancelled, ReadFailed, WriteFailed };

// Copies source from its start into target, telling progress after each block. errno holds
// the failure's code.
CopyEnd CopyBlocks(int source, int target, uint64_t total, const SendProgress& progress) {
    if (::lseek(source, 0, SEEK_SET) != 0) return CopyEnd::ReadFailed;
    std::vector<char> block(kBlock);
    uint64_t done = 0;
    for (;;) {
        const ssize_t got = ::read(source, block.data(), block.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return CopyEnd::ReadFailed;
        if (got == 0) return CopyEnd::Done;
        errno = 0;
        if (!WriteAll(target, block.data(), static_cast<size_t>(got))) {
            if (errno == 0) errno = ENOSPC;  // a short write without an error: no room
            return CopyEnd::WriteFailed;
        }
        done += static_cast<uint64_t>(got);
        if (progress && !progress(done, std::max(total, done))) return CopyEnd::Cancelled;
    }
}

// Fills file from source and flushes it; Sent when all is written.
SendResult WriteFile(WrittenFile& file, int source, uint64_t size, const SendProgress& progress, std::string& error) {
    switch (CopyBlocks(source, file.Fd(), size, progress)) {
        case CopyEnd::Done: break;
        case CopyEnd::Cancelled: return SendResult::Cancelled;
        case CopyEnd::ReadFailed: return Failure(errno, "The ringtone file could not be read", error);
        case CopyEnd::WriteFailed: return Failure(errno, "The ringtone could not be written to the phone", error);
    }
    if (const int code = file.Finish(); code != 0)
        return Failure(code, "The ringtone could not be written to the phone", error);
    return SendResult::Sent;
}

bool Exists(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// Creates the hidden file ".<name>.part" (numbered when that name is taken) in folder.
bool CreateHidden(WrittenFile& hidden, const std::string& folder, const std::string& name) {
    const std::string stem = folder + "/." + name + ".part";
    for (int attempt = 0; attempt < kHiddenNameAttempts; ++attempt) {
        if (hidden.Create(attempt == 0 ? stem : stem + std::to_string(attempt))) return true;
        if (errno != EEXIST) return false;
    }
    errno = EEXIST;
    return false;
}

enum class MoveEnd { Moved, Exists, Refused };

// Renames the hidden file to target, keeping an existing target unless replace is set.
MoveEnd MoveIntoPlace(const std::string& hidden, const std::string& target, bool replace) {
    if (!replace) {
        if (::renameat2(AT_FDCWD, hidden.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
            return MoveEnd::Moved;
        if (errno == EEXIST) return MoveEnd::Exists;
        if (errno != EINVAL && errno != ENOSYS && errno != ENOTSUP) return MoveEnd::Refused;
        // No exclusive rename on this file system: look first.
        if (Exists(target)) return MoveEnd::Exists;
    }
    return ::rename(hidden.c_str(), target.c_str()) == 0 ? MoveEnd::Moved : MoveEnd::Refused;
}

// The tone folder in storage, made when missing; empty with the result when it cannot be.
std::string ToneFolderIn(const std::string& storage, ToneFolder tone, SendResult& result, std::string& error) {
    if (const auto existing = FindEntryIgnoringCase(storage, ToneFolderName(tone))) return *existing;
    const std::string folder = storage + "/" + ToneFolderName(tone);
    if (::mkdir(folder.c_str(), 0777) == 0 || errno == EEXIST) return folder;
    result =
        Failure(errno, std::string("The folder ") + ToneFolderName(tone) + " could not be made on the phone", error);
    return {};
}

}  // namespace

SendResult CopyStraight(int source, uint64_t size, const std::string& target, bool replace,
                        const SendProgress& progress, std::string& error) {
    if (Exists(target)) {
        if (!replace) return SendResult::Exists;
        if (::unlink(target.c_str()) != 0) return Failure(errno, "The file on the phone could not be replaced", error);
    }
    WrittenFile file;
    if (!file.Create(target)) {
        if (errno == EEXIST) return SendResult::Exists;
        return Failure(errno, "The ringtone could not be written to the phone", error);
    }
    const SendResult result = WriteFile(file, source, size, progress, error);
    if (result == SendResult::Sent) file.Keep();
    return result;
}

SendResult CopyToStorage(const SendRequest& request, const SendProgress& progress, std::string& error) {
    struct stat storageInfo {};
    if (::stat(request.phone.storage.c_str(), &storageInfo) != 0 || !S_ISDIR(storageInfo.st_mode)) {
        error = "The phone's storage is not mounted any more (" + request.phone.storage + ").";
        return SendResult::Failed;
    }
    const UniqueFd source(::open(request.file.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat sourceInfo {};
    if (!source || ::fstat(source.get(), &sourceInfo) != 0)
        return Failure(errno, "The ringtone file could not be read", error);
    const uint64_t size = static_cast<uint64_t>(sourceInfo.st_size);

    SendResult result = SendResult::Failed;
    const std::string folder = ToneFolderIn(request.phone.storage, request.folder, result, error);
    if (folder.empty()) return result;
    const std::string target = folder + "/" + request.fileName;
    // Said before the copy rather than after it; the rename checks again.
    if (!request.replace && Exists(target)) return SendResult::Exists;

    WrittenFile hidden;
    if (!CreateHidden(hidden, folder, request.fileName))
        return Failure(errno, "The ringtone could not be written to the phone", error);
    result = WriteFile(hidden, source.get(), size, progress, error);
    if (result != SendResult::Sent) return result;
    switch (MoveIntoPlace(hidden.Path(), target, request.replace)) {
        case MoveEnd::Moved: hidden.Keep(); return SendResult::Sent;
        case MoveEnd::Exists: return SendResult::Exists;
        case MoveEnd::Refused: break;
    }
    hidden.Remove();
    return CopyStraight(source.get(), size, target, request.replace, progress, error);
}
