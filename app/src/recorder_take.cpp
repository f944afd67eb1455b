// The recorder's take file.
#include "app/src/recorder_take.h"
#include "platform/unique_fd.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

bool RecorderTake::Create() {
    std::lock_guard lock(m_lock);
    m_size = 0;
    m_readPosition = 0;
    return m_file.Create("qorec", "tmp");
}

void RecorderTake::Discard() {
    std::lock_guard lock(m_lock);
    m_file.Remove();
    m_size = 0;
    m_readPosition = 0;
}

bool RecorderTake::Exists() const {
    std::lock_guard lock(m_lock);
    return m_file.fd() >= 0;
}

std::string RecorderTake::Path() const {
    std::lock_guard lock(m_lock);
    return m_file.Path();
}

uint64_t RecorderTake::Size() const {
    std::lock_guard lock(m_lock);
    return m_size;
}

RecorderTake::AppendResult RecorderTake::Append(const void* data, uint32_t bytes) {
    std::lock_guard lock(m_lock);
    if (m_file.fd() < 0) return AppendResult::NoTake;
    if (!WriteAll(m_file.fd(), data, bytes)) {
        // Whatever part of the buffer did get written goes again.
        if (::ftruncate(m_file.fd(), static_cast<off_t>(m_size)) == 0)
            ::lseek(m_file.fd(), static_cast<off_t>(m_size), SEEK_SET);
        return AppendResult::Failed;
    }
    m_size += bytes;
    return AppendResult::Appended;
}

void RecorderTake::Rewind() {
    std::lock_guard lock(m_lock);
    m_readPosition = 0;
}

std::optional<uint32_t> RecorderTake::Read(void* buffer, uint32_t bytes) {
    std::lock_guard lock(m_lock);
    if (m_file.fd() < 0) return std::nullopt;
    auto* next = static_cast<uint8_t*>(buffer);
    uint32_t total = 0;
    // Only the bytes the take holds count, even if the file were longer.
    while (total < bytes && m_readPosition < m_size) {
        const uint64_t wanted = std::min<uint64_t>(bytes - total, m_size - m_readPosition);
        const ssize_t got = ::pread(m_file.fd(), next + total, wanted, static_cast<off_t>(m_readPosition));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return std::nullopt;
        if (got == 0) break;
        total += static_cast<uint32_t>(got);
        m_readPosition += static_cast<uint64_t>(got);
    }
    return total;
}
