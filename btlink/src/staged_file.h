// The private copy of the bytes to send. Object push sends a file by its path and names it
// on the receiver by the path's file name, so the bytes are written to a folder of this
// upload's own (mode 0700, in the temporary folder) under the name the receiver gets. The
// folder and the file go with the object.
#pragma once

#include <cstddef>
#include <string>

// A name usable as one file name: not empty, not "." or "..", no '/', at most 255 bytes.
bool IsPlainFileName(const std::string& name);

class StagedFile {
public:
    // Makes the folder and creates the file (mode 0600); Ok() tells whether both worked.
    // The name must be a plain file name.
    explicit StagedFile(const std::string& fileName);
    ~StagedFile();
    StagedFile(const StagedFile&) = delete;
    StagedFile& operator=(const StagedFile&) = delete;

    bool Ok() const { return m_fd >= 0; }
    bool Write(const void* data, size_t size);
    // Flushes and closes the file; true when everything written is on disk.
    bool Close();
    const std::string& Path() const { return m_path; }

private:
    std::string m_folder;
    std::string m_path;
    int m_fd = -1;
};
