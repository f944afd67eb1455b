#include "plugin_library.h"

#include <dlfcn.h>

#include <cstring>

void CPluginLibrary::CloseHandle::operator()(void* handle) const { dlclose(handle); }

namespace {

// dlsym gives an object pointer; function pointers are copied out of it bit for bit.
template <class Function>
bool Resolve(void* handle, const char* name, Function& function) {
    void* symbol = dlsym(handle, name);
    static_assert(sizeof symbol == sizeof function);
    std::memcpy(&function, &symbol, sizeof function);
    return symbol != nullptr;
}

std::string FileNameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::shared_ptr<const CPluginLibrary> CPluginLibrary::Load(const std::string& path) {
    auto library = std::make_shared<CPluginLibrary>();
    library->m_handle.reset(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL));
    void* handle = library->m_handle.get();
    if (!handle) return nullptr;

    PFN_PlugInInfo plugInInfo = nullptr;
    const bool complete =
        Resolve(handle, "PlugInInfo", plugInInfo) && Resolve(handle, "InitializeXml", library->InitializeXml) &&
        Resolve(handle, "Free", library->Free) && Resolve(handle, "SetStreamCallBack", library->SetStreamCallBack) &&
        Resolve(handle, "OpenStream", library->OpenStream) &&
        Resolve(handle, "ProcessStream", library->ProcessStream) &&
        Resolve(handle, "CloseStream", library->CloseStream);
    if (!complete) return nullptr;
    Resolve(handle, "CreateSettingsWindow", library->CreateSettingsWindow);

    PLUGIN_INFO info{};
    info.size = sizeof(PLUGIN_INFO);
    if (plugInInfo(&info) == 0 || info.name == nullptr) return nullptr;
    library->m_fileName = FileNameOf(path);
    return library;
}
