// The program's temporary files.
#include "engine/temp_files.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/files.h"
#include "platform/unique_fd.h"

TempFile::TempFile(TempFile&& other) noexcept : fd_(std::move(other.fd_)), path_(std::move(other.path_)) {
    other.path_.clear();
}

TempFile& TempFile::operator=(TempFile&& other) noexcept {
    if (this != &other) {
        Remove();
        fd_ = std::move(other.fd_);
        path_ = std::move(other.path_);
        other.path_.clear();
    }
    return *this;
}

bool TempFile::Create(const std::string& prefix, const std::string& extension) {
    Remove();
    // The name is only free when it was made; another process may take it before the
    // open, so a name that exists by then is skipped rather than reused.
    constexpr int kAttempts = 100;
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        std::string name = UniqueTempName(prefix, extension);
        const int fd = ::open(name.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd >= 0) {
            fd_ = UniqueFd(fd);
            path_ = std::move(name);
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

void TempFile::Remove() {
    fd_.Close();
    if (!path_.empty()) ::unlink(path_.c_str());
    path_.clear();
}
