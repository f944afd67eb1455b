// Where the program's own files are: beside it in the build tree, below the prefix when
// installed.
#include <sys/stat.h>

#include "platform/files.h"

namespace {

bool Exists(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

}  // namespace

std::string ProgramPlace(const std::string& programFolder, const std::string& beside, const std::string& installed) {
    std::string besideProgram = programFolder + "/" + beside;
    if (Exists(besideProgram)) return besideProgram;
    std::string installedPlace = programFolder + "/" + installed;
    return Exists(installedPlace) ? installedPlace : besideProgram;
}

std::string ProgramDataPath(const std::string& relative) {
    return ProgramPlace(ProgramFolder(), relative, std::string(kInstalledDataFolder) + "/" + relative);
}
