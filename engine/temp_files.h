// Files of the engine: the program's temporary files and read-only mappings.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/unique_fd.h"

// A temporary file of the program: a unique name "<temp folder>/<prefix><n>.<extension>",
// created new with mode 0600 (never an existing file or a link), removed by its owner.
class TempFile {
public:
    TempFile() = default;
    ~TempFile() { Remove(); }
    TempFile(TempFile&& other) noexcept;
    TempFile& operator=(TempFile&& other) noexcept;
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    // Removes any file held before. False when no file could be created.
    bool Create(const std::string& prefix, const std::string& extension);
    // Closes the descriptor; the file stays until Remove.
    void CloseHandle() { fd_.Close(); }
    // Deletes the file and forgets its name.
    void Remove();

    int fd() const { return fd_.get(); }
    const std::string& Path() const { return path_; }

private:
    UniqueFd fd_;
    std::string path_;
};

// A read-only shared mapping of the first bytes of a file.
class MappedFile {
public:
    MappedFile() = default;
    ~MappedFile() { Unmap(); }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    // Maps exactly bytes bytes; false when bytes is 0, the file is shorter, or mmap fails.
    bool Map(int fd, uint64_t bytes);
    void Unmap();

    const uint8_t* data() const { return data_; }
    uint64_t size() const { return size_; }
    explicit operator bool() const { return data_ != nullptr; }

private:
    uint8_t* data_ = nullptr;
    uint64_t size_ = 0;
};
