// One effect instance: a plug-in library, one settings object of it, and the stream opened
// on that object. The stream's input is pulled from the effect's previous stage.
#pragma once

#include <memory>
#include <mutex>
#include <optional>

#include "contracts/effect_tree_api.h"
#include "plugin_library.h"

class CPluginEffect final : public CEffectAbstract {
public:
    // Makes the settings object from the settings element (the plug-in's parameter list).
    // Null when the plug-in refuses. Every stream operation takes streamLock, the tree's
    // morph-stream lock.
    static std::unique_ptr<CPluginEffect> Create(std::shared_ptr<const CPluginLibrary> library, enXml& settings,
                                                 std::recursive_mutex& streamLock);
    ~CPluginEffect() override;

    uint32_t GetSoundData(_SOUNDDATAEX_* block) override;
    tEffError OpenStream(const WAVEFORMATEXTENSIBLE& format) override;
    void CloseStream() override;
    void ClearState() override;

    void* Settings() const { return m_settings.get(); }
    PFN_CreateSettingsWindow CreateSettingsWindow() const { return m_library->CreateSettingsWindow; }

private:
    // The settings object, given back to the plug-in's Free.
    struct FreeSettings {
        PFN_Free free;
        void operator()(void* settings) const { free(settings); }
    };

    CPluginEffect(std::shared_ptr<const CPluginLibrary> library, void* settings, std::recursive_mutex& streamLock);
    // The plug-in's stream callback: pulls from the previous stage.
    static uint32_t PullInput(void* user, _SOUNDDATAEX_* record);

    std::shared_ptr<const CPluginLibrary> m_library;  // declared first: outlives the settings
    std::unique_ptr<void, FreeSettings> m_settings;
    std::recursive_mutex& m_streamLock;
    std::optional<WAVEFORMATEXTENSIBLE> m_format;  // set while a stream is open
};
