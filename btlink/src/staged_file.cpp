#include "btlink/src/staged_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/files.h"

bool IsPlainFileName(const std::string& name) {
    constexpr size_t kNameMax = 255;
    return !name.empty() && name != "." && name != ".." && name.size() <= kNameMax &&
           name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
}

StagedFile::StagedFile(const std::string& fileName) {
    if (!IsPlainFileName(fileName)) return;
    std::string pattern = TempFolder() + "/morvane-bt-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (mkdtemp(buffer.data()) == nullptr) return;  // mkdtemp makes the folder with mode 0700
    m_folder = buffer.data();
    m_path = m_folder + "/" + fileName;
    m_fd = open(m_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
}

StagedFile::~StagedFile() {
    if (m_fd >= 0) close(m_fd);
    if (!m_path.empty()) unlink(m_path.c_str());
    if (!m_folder.empty()) rmdir(m_folder.c_str());
}

bool StagedFile::Write(const void* data, size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = write(m_fd, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

bool StagedFile::Close() {
    if (m_fd < 0) return false;
    const int fd = m_fd;
    m_fd = -1;
    return close(fd) == 0;
}
