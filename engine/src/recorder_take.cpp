// The recording's take file.
#include "engine/recording.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "engine/src/locked_access.h"
#include "platform/unique_fd.h"

bool RecorderTake::Create() {
    std::lock_guard lock(mutex_);
    size_ = 0;
    readPosition_ = 0;
    return file_.Create("qorec", "tmp");
}

void RecorderTake::Discard() {
    std::lock_guard lock(mutex_);
    file_.Remove();
    size_ = 0;
    readPosition_ = 0;
}

bool RecorderTake::Exists() const {
    std::lock_guard lock(mutex_);
    return file_.fd() >= 0;
}

std::string RecorderTake::Path() const {
    std::lock_guard lock(mutex_);
    return file_.Path();
}

uint64_t RecorderTake::Size() const { return ReadLocked(mutex_, size_); }

RecorderTake::AppendResult RecorderTake::Append(const void* data, uint32_t bytes) {
    std::lock_guard lock(mutex_);
    if (file_.fd() < 0) return AppendResult::NoTake;
    if (!WriteAll(file_.fd(), data, bytes)) {
        // Whatever part of the buffer did get written goes again.
        if (::ftruncate(file_.fd(), static_cast<off_t>(size_)) == 0)
            ::lseek(file_.fd(), static_cast<off_t>(size_), SEEK_SET);
        return AppendResult::Failed;
    }
    size_ += bytes;
    return AppendResult::Appended;
}

void RecorderTake::Rewind() {
    std::lock_guard lock(mutex_);
    readPosition_ = 0;
}

std::optional<uint32_t> RecorderTake::Read(void* buffer, uint32_t bytes) {
    std::lock_guard lock(mutex_);
    if (file_.fd() < 0) return std::nullopt;
    auto* next = static_cast<uint8_t*>(buffer);
    uint32_t total = 0;
    // Only the bytes the take holds count, even if the file were longer.
    while (total < bytes && readPosition_ < size_) {
        const uint64_t wanted = std::min<uint64_t>(bytes - total, size_ - readPosition_);
        const ssize_t got = ::pread(file_.fd(), next + total, wanted, static_cast<off_t>(readPosition_));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return std::nullopt;
        if (got == 0) break;
        total += static_cast<uint32_t>(got);
        readPosition_ += static_cast<uint64_t>(got);
    }
    return total;
}
