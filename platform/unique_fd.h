// An owned file descriptor, and complete writes to one. UniqueFd is header-only so that the
// shared libraries (the provider) can use it without linking the platform library.
#pragma once

#include <unistd.h>

#include <cstddef>

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { Close(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    // Gives the descriptor up without closing it.
    int Release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    // Closes the descriptor held (if any) and takes fd.
    void Reset(int fd = -1) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = fd;
    }
    void Close() { Reset(); }
    // Closes now and reports whether the close succeeded: a late write error shows here.
    bool CloseChecked() {
        const int fd = Release();
        return fd < 0 || ::close(fd) == 0;
    }

private:
    int fd_ = -1;
};

// Writes all bytes, resuming after interruptions and partial writes. False when the file
// took fewer bytes (a full disk, a size limit, an I/O error).
bool WriteAll(int fd, const void* data, size_t bytes);
