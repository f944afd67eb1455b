// Files beside the program.
#include "app/program.h"

#include <algorithm>

#include "platform/platform.h"

std::string ProgramRelativePath(const std::string& path) {
    std::string relative = path;
    std::replace(relative.begin(), relative.end(), '\\', '/');
    if (!relative.empty() && relative.front() == '/') return relative;
    // Beside the program in the build tree, in the installed data folder when installed.
    return ProgramDataPath(relative);
}
