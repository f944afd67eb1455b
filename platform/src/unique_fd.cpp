// Complete writes to a descriptor.
#include "platform/unique_fd.h"

#include <cerrno>
#include <cstdint>

bool WriteAll(int fd, const void* data, size_t bytes) {
    const auto* next = static_cast<const uint8_t*>(data);
    while (bytes > 0) {
        const ssize_t written = ::write(fd, next, bytes);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        next += written;
        bytes -= static_cast<size_t>(written);
    }
    return true;
}
