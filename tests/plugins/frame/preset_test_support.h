// Test support for presets: a temporary XDG_CONFIG_HOME (where the key store keeps the
// current user's keys), stored values read back from an element or through a loaded
// plug-in's exports, and a key-store round trip.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "tests/platform/scratch.h"
#include "tests/plugins/frame/plugin_test_support.h"
#include "xml/xml.h"

// XDG_CONFIG_HOME pointed at a fresh folder for the object's lifetime.
class ScopedConfigHome {
public:
    const std::string& Path() const { return m_folder.Path(); }

private:
    ScratchFolder m_folder;
    ScopedEnv m_configHome{"XDG_CONFIG_HOME", m_folder.Path()};
};

// The integer stored under key in the element; a failure when there is none.
inline int StoredInt(const enXml& element, const char* key) {
    int value = -12345;
    EXPECT_TRUE(element.GetValue(key, value)) << key;
    return value;
}

// The integer a loaded plug-in's settings object saves under key (SavePresetXml).
inline int SavedInt(const LoadedPlugin& plugin, void* settings, const char* key) {
    enXml element("Settings");
    EXPECT_EQ(plugin.SavePresetXml(&element, settings), 1);
    return StoredInt(element, key);
}

// The settings object a loaded plug-in makes from what it saved under key in the current
// user's key store (SavePreset, then Initialize).
inline PluginSettingsHandle ReloadedFromKeyStore(const LoadedPlugin& plugin, void* settings, const char* key) {
    EXPECT_EQ(plugin.SavePreset(nullptr, key, HKEY_CURRENT_USER, settings), 1);
    void* loaded = nullptr;
    EXPECT_EQ(plugin.Initialize(nullptr, key, HKEY_CURRENT_USER, &loaded), 1);
    return PluginSettingsHandle(plugin, loaded);
}
