// An image file held open for the controls that read it.
#include "skin/skin_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <utility>

CSkinFile::CSkinFile(const std::string& path) {
    if (path.empty()) return;
    m_fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat info {};
    if (m_fd >= 0 && (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode))) Close();
}

CSkinFile::~CSkinFile() { Close(); }

CSkinFile::CSkinFile(CSkinFile&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}

CSkinFile& CSkinFile::operator=(CSkinFile&& other) noexcept {
    if (this != &other) {
        Close();
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

void CSkinFile::Close() {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}
