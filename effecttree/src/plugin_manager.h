// The library's one manager: the folder it scans and the plug-in libraries it loaded.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "contracts/effect_tree_api.h"
#include "plugin_library.h"

class CPluginManager final : public CEffectManager {
public:
    int Initialize() override;
    int PluginCount() const override;
    std::vector<std::string> LoadedPlugins() const override;
    void SetPluginFolder(const std::string& folder) override;
    std::string PluginFolder() const override;

    // The loaded library with that file name, or null.
    std::shared_ptr<const CPluginLibrary> Find(const std::string& fileName) const;

private:
    std::string FolderLocked() const;

    mutable std::mutex m_lock;  // guards both members
    std::string m_folder;
    std::vector<std::shared_ptr<const CPluginLibrary>> m_libraries;  // in file name order
};

CPluginManager& PluginManager();
