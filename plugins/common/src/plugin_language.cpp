// Finding a plug-in's language file: the shared data folder, appdatadefault.ini beside the
// host program, and Language.ini.
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/files.h"
#include "platform/ini_file.h"
#include "plugins/common/plugin_language.h"

namespace {

constexpr size_t kNameCapacity = 100;  // at most 99 characters
constexpr size_t kPathCapacity = 261;  // at most 260 characters

// Creates the folder and any missing parents; a folder that cannot be made is not an
// error here, as reading from it then simply finds nothing.
void MakeFolder(const std::string& path) {
    std::error_code ignored;
    std::filesystem::create_directories(path, ignored);
}

// A name used as one folder below the data folder: nothing that leaves it.
bool IsPlainFolderName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

std::string& LanguageFileSlot() {
    static std::string path;
    return path;
}

}  // namespace

std::string PemaroDataFolder() {
    std::string base;
    if (const char* dataHome = std::getenv("XDG_DATA_HOME"); dataHome != nullptr && dataHome[0] == '/') {
        base = dataHome;
    } else if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        base = std::string(home) + "/.local/share";
    } else {
        return {};
    }
    MakeFolder(base);
    const std::string folder = base + "/Pemaro";
    MakeFolder(folder);
    return folder;
}

std::string FindLanguageFile(const std::string& programFolder, const std::string& pemaroFolder) {
    if (pemaroFolder.empty()) return {};
    std::string name = GetPrivateProfileString("General", "Name", kDefaultDataName,
                                               programFolder + "/appdatadefault.ini", kNameCapacity);
    if (!IsPlainFolderName(name)) name = kDefaultDataName;
    const std::string dataFolder = pemaroFolder + "/" + name;
    MakeFolder(dataFolder);
    const std::string path =
        GetPrivateProfileString("Language", "Path", "", dataFolder + "/Language.ini", kPathCapacity);
    if (path.empty() || path.front() == '/') return path;
    return dataFolder + "/" + path;
}

const std::string& PluginLanguageFile() { return LanguageFileSlot(); }

void SetPluginLanguageFile(std::string path) { LanguageFileSlot() = std::move(path); }

CPluginApp::CPluginApp() {
    try {
        // appdatadefault.ini is data of the host program: beside it in the build tree, in the
        // installed data folder when installed.
        const std::string defaultsFolder = std::filesystem::path(ProgramDataPath("appdatadefault.ini")).parent_path();
        SetPluginLanguageFile(FindLanguageFile(defaultsFolder, PemaroDataFolder()));
    } catch (const std::exception&) {
        SetPluginLanguageFile({});  // out of memory at load: the built-in texts
    }
}
