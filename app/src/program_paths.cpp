// Files beside the program.
#include <algorithm>
#include <filesystem>

#include "app/app.h"
#include "platform/platform.h"

std::string ProgramRelativePath(const std::string& path) {
    std::string relative = path;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    if (!relative.empty() && relative.front() == '/') return relative;
    const std::string besideProgram = ProgramFolder() + "/" + relative;
    const std::string installedData = ProgramFolder() + "/../share/morvane/" + relative;
    std::error_code error;
    if (!std::filesystem::exists(besideProgram, error) && std::filesystem::exists(installedData, error))
        return installedData;
    return besideProgram;
}
