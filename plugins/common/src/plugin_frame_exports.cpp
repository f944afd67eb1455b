// The plug-in API exports, linked into every plug-in library and resolved against that
// plug-in's ThisPlugin(). A settings handle is a CPluginSettings* made here. A null handle or
// record makes a call fail instead of crash, and no exception leaves an export: running out
// of memory gives the call's failure result.
#include <exception>

#include "plugins/common/plugin_frame.h"

namespace {

CPluginSettings* FromHandle(void* settings) { return static_cast<CPluginSettings*>(settings); }

template <class Result, class Call>
Result OrOnFailure(Result failure, Call&& call) noexcept {
    try {
        return call();
    } catch (const std::exception&) {
        return failure;
    }
}

// A new settings object loaded from the store, stored in *out; 0 (and *out untouched) when
// out is null or the object cannot be made.
int CreateSettings(const PresetStore& store, PresetDefaults defaults, void** out) {
    if (out == nullptr) return 0;
    return OrOnFailure(0, [&] {
        std::unique_ptr<CPluginSettings> settings = ThisPlugin().create();
        settings->LoadParameters(store, defaults);
        *out = settings.release();
        return 1;
    });
}

}  // namespace

PLUGIN_EXPORT int PlugInInfo(PLUGIN_INFO* info) { return FillPluginInfo(info, ThisPlugin()); }

PLUGIN_EXPORT int Initialize(const char* ini, const char* section, uintptr_t rootKey, void** settings) {
    return CreateSettings(PresetStore{ini, section, rootKey, nullptr}, PresetDefaults::Initialize, settings);
}

PLUGIN_EXPORT int InitializeXml(enXml* element, void** settings) {
    return CreateSettings(PresetStore{nullptr, nullptr, 0, element}, PresetDefaults::Initialize, settings);
}

PLUGIN_EXPORT int LoadPreset(const char* ini, const char* section, uintptr_t rootKey, void* settingsOrOut) {
    const PresetStore store{ini, section, rootKey, nullptr};
    if (ThisPlugin().loadPresetMakesNewObject)
        return CreateSettings(store, PresetDefaults::LoadPreset, static_cast<void**>(settingsOrOut));
    if (settingsOrOut == nullptr) return 0;
    return OrOnFailure(0, [&] {
        FromHandle(settingsOrOut)->LoadParameters(store, PresetDefaults::LoadPreset);
        return 1;
    });
}

PLUGIN_EXPORT int SavePreset(const char* ini, const char* section, uintptr_t rootKey, void* settings) {
    if (settings == nullptr) return 0;
    return OrOnFailure(0, [&] {
        return FromHandle(settings)->SaveParameters(PresetStore{ini, section, rootKey, nullptr}) ? 1 : 0;
    });
}

PLUGIN_EXPORT int SavePresetXml(enXml* element, void* settings) {
    if (settings == nullptr) return 0;
    return OrOnFailure(0, [&] {
        return FromHandle(settings)->SaveParameters(PresetStore{nullptr, nullptr, 0, element}) ? 1 : 0;
    });
}

PLUGIN_EXPORT int CopySettings(void** out, void* source) {
    if (out == nullptr || source == nullptr) return 0;
    return OrOnFailure(0, [&] {
        std::unique_ptr<CPluginSettings> copy = FromHandle(source)->CopyParameters();
        if (ThisPlugin().copySettingsKeepsCallBack) copy->CopyStreamCallBack(*FromHandle(source));
        *out = copy.release();
        return 1;
    });
}

PLUGIN_EXPORT void Free(void* settings) {
    if (settings == nullptr) return;
    std::unique_ptr<CPluginSettings> owned(FromHandle(settings));
    owned->CloseStream();
}

PLUGIN_EXPORT int SetStreamCallBack(STREAMCALLBACK callback, void* user, void* settings) {
    if (settings == nullptr) return 0;
    FromHandle(settings)->SetStreamCallBack(callback, user);
    return 1;
}

PLUGIN_EXPORT int OpenStream(void* settings, const WAVEFORMATEX* format) {
    if (settings == nullptr || format == nullptr) return PLUGIN_OPEN_UNSUPPORTED;
    const int result = OrOnFailure(-1, [&] { return FromHandle(settings)->OpenStream(*format); });
    if (result >= 0) return result;
    FromHandle(settings)->CloseStream();  // nothing half-prepared stays behind
    return PLUGIN_OPEN_UNSUPPORTED;
}

PLUGIN_EXPORT uint32_t ProcessStream(_SOUNDDATAEX_* record, void* settings) {
    if (record == nullptr) return 0;
    record->frames = 0;
    if (settings == nullptr) return 0;
    return OrOnFailure(0u, [&] { return FromHandle(settings)->ProcessStream(*record); });
}

PLUGIN_EXPORT int CloseStream(void* settings) {
    if (settings == nullptr) return 0;
    FromHandle(settings)->CloseStream();
    return 1;
}

PLUGIN_EXPORT QWidget* CreateSettingsWindow(QWidget* parent, void* settings) {
    if (settings == nullptr) return nullptr;
    return OrOnFailure<QWidget*>(nullptr, [&] { return CreatePluginSettingsWindow(parent, *FromHandle(settings)); });
}
