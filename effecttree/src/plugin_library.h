// One loaded effect plug-in library: its dlopen handle and the exports the host calls.
#pragma once

#include <memory>
#include <string>

#include "contracts/plugin_api.h"

class CPluginLibrary {
public:
    // Loads the library at path (RTLD_NOW | RTLD_LOCAL). Null when it cannot be loaded, lacks
    // one of the exports the host calls, or PlugInInfo does not answer with a name.
    static std::shared_ptr<const CPluginLibrary> Load(const std::string& path);

    const std::string& FileName() const { return m_fileName; }

    // Always present.
    PFN_InitializeXml InitializeXml = nullptr;
    PFN_Free Free = nullptr;
    PFN_SetStreamCallBack SetStreamCallBack = nullptr;
    PFN_OpenStream OpenStream = nullptr;
    PFN_ProcessStream ProcessStream = nullptr;
    PFN_CloseStream CloseStream = nullptr;
    // Null when the plug-in offers no settings window.
    PFN_CreateSettingsWindow CreateSettingsWindow = nullptr;

private:
    struct CloseHandle {
        void operator()(void* handle) const;
    };

    std::unique_ptr<void, CloseHandle> m_handle;
    std::string m_fileName;
};
