#include "plugin_manager.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/files.h"

namespace {

// Regular files named "*.so" in the folder, sorted; none when the folder cannot be read.
std::vector<std::string> LibraryFilesIn(const std::string& folder) {
    namespace fs = std::filesystem;
    std::vector<std::string> paths;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const fs::path& path = it->path();
        std::error_code typeError;
        if (path.extension() == ".so" && it->is_regular_file(typeError)) paths.push_back(path.string());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

}  // namespace

int CPluginManager::Initialize() {
    std::lock_guard guard(m_lock);
    m_libraries.clear();
    for (const std::string& path : LibraryFilesIn(FolderLocked()))
        if (auto library = CPluginLibrary::Load(path)) m_libraries.push_back(std::move(library));
    return static_cast<int>(m_libraries.size());
}

int CPluginManager::PluginCount() const {
    std::lock_guard guard(m_lock);
    return static_cast<int>(m_libraries.size());
}

std::vector<std::string> CPluginManager::LoadedPlugins() const {
    std::lock_guard guard(m_lock);
    std::vector<std::string> names;
    for (const auto& library : m_libraries) names.push_back(library->FileName());
    return names;
}

void CPluginManager::SetPluginFolder(const std::string& folder) {
    std::lock_guard guard(m_lock);
    m_folder = folder;
}

std::string CPluginManager::PluginFolder() const {
    std::lock_guard guard(m_lock);
    return FolderLocked();
}

std::string CPluginManager::FolderLocked() const {
    if (!m_folder.empty()) return m_folder;
    if (const char* variable = std::getenv("MORVANE_PLUGIN_DIR"); variable && *variable) return variable;
    // The build tree puts the plug-ins in a folder beside the program; an installed program
    // finds them below the prefix, beside its private libraries.
    return ProgramPlace(ProgramFolder(), "plugins", kInstalledPluginFolder);
}

std::shared_ptr<const CPluginLibrary> CPluginManager::Find(const std::string& fileName) const {
    std::lock_guard guard(m_lock);
    for (const auto& library : m_libraries)
        if (library->FileName() == fileName) return library;
    return nullptr;
}

CPluginManager& PluginManager() {
    static CPluginManager manager;
    return manager;
}

extern "C" CEffectManager* GetEffectManager() { return &PluginManager(); }
