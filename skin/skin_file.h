// The image files a skin names, held open while the controls read them. Free of Qt.
#pragma once

#include <cstdint>
#include <string>

// An image file named by a skin, open for reading for as long as the object lives. Controls
// receive its Handle() in their resource records and read the image through it.
class CSkinFile {
public:
    CSkinFile() = default;
    explicit CSkinFile(const std::string& path);
    ~CSkinFile();
    CSkinFile(CSkinFile&& other) noexcept;
    CSkinFile& operator=(CSkinFile&& other) noexcept;
    CSkinFile(const CSkinFile&) = delete;
    CSkinFile& operator=(const CSkinFile&) = delete;

    bool IsOpen() const { return m_fd >= 0; }
    int Handle() const { return m_fd; }
    void Close();

private:
    int m_fd = -1;
};
using SkinHandle = int32_t;  // an open file descriptor; SKIN_NO_HANDLE when none
inline constexpr SkinHandle SKIN_NO_HANDLE = -1;
