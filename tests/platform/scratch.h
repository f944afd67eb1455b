// Test helpers: a private temporary folder and environment variables set for one test.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>

#include "tests/platform/scoped_env.h"

// A fresh folder under the temporary folder, private to the test process (mkdtemp), removed
// with everything in it at the end. Names made from the clock are not enough here: tests run
// in parallel processes and two of them can start in the same millisecond.
class ScratchFolder {
public:
    ScratchFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "morvane-test-XXXXXX").string();
        if (::mkdtemp(pattern.data())) m_path = pattern;
        if (m_path.empty()) throw std::runtime_error("cannot make a scratch folder in " + pattern);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        // A test may have taken the folder's permissions away to provoke a failure.
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(m_path, ignored);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }
    // Writes a file of the folder and returns its path.
    std::string Write(const std::string& name, const std::string& text) const;

private:
    std::string m_path;
};

inline std::string ReadFileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline void WriteFileText(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
}

inline std::string ScratchFolder::Write(const std::string& name, const std::string& text) const {
    const std::string path = *this / name;
    WriteFileText(path, text);
    return path;
}
