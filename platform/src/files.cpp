// Files and folders, temporary names.
#include "platform/files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "platform/clock.h"

bool FileExists(const std::string& path) {
    struct stat info {};
    return !path.empty() && ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

static std::string WithoutTrailingSlash(std::string path) {
    if (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

bool FolderExists(const std::string& path) {
    struct stat info {};
    const std::string folder = WithoutTrailingSlash(path);
    return !folder.empty() && ::stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string ProgramFolder() {
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return ".";
    std::string path(buffer, static_cast<size_t>(length));
    const size_t slash = path.rfind('/');
    return slash == 0 ? "/" : path.substr(0, slash);
}

static bool ReadableFolder(const std::string& path) {
    return FolderExists(path) && ::access(path.c_str(), R_OK | W_OK | X_OK) == 0;
}

std::string TempFolder() {
    if (const char* tmpdir = std::getenv("TMPDIR"); tmpdir && *tmpdir && ReadableFolder(tmpdir))
        return WithoutTrailingSlash(tmpdir);
    if (ReadableFolder("/tmp")) return "/tmp";
    return ProgramFolder();
}

std::string UniqueNameIn(const std::string& folder, const std::string& prefix, const std::string& extension,
                         uint32_t firstNumber) {
    // The number is printed as a signed int, as the names have always been.
    for (uint32_t number = firstNumber;; ++number) {
        std::string name = folder + "/" + prefix + std::to_string(static_cast<int32_t>(number)) + "." + extension;
        struct stat info {};
        if (::lstat(name.c_str(), &info) != 0) return name;
    }
}

std::string UniqueTempName(const std::string& prefix, const std::string& extension) {
    return UniqueNameIn(TempFolder(), prefix, extension, TickCountMs());
}
