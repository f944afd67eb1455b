// Read-only mappings of whole files.
#include "engine/temp_files.h"

#include <sys/mman.h>
#include <sys/stat.h>

bool MappedFile::Map(int fd, uint64_t bytes) {
    Unmap();
    struct stat info {};
    // Pages past the end of a file fault when touched, so a short file is never mapped.
    if (bytes == 0 || bytes > SIZE_MAX || ::fstat(fd, &info) != 0 || static_cast<uint64_t>(info.st_size) < bytes)
        return false;
    void* address = ::mmap(nullptr, static_cast<size_t>(bytes), PROT_READ, MAP_SHARED | MAP_POPULATE, fd, 0);
    if (address == MAP_FAILED) return false;
    data_ = static_cast<uint8_t*>(address);
    size_ = bytes;
    return true;
}

void MappedFile::Unmap() {
    if (data_) ::munmap(data_, static_cast<size_t>(size_));
    data_ = nullptr;
    size_ = 0;
}
