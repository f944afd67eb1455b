// Tapline through its library's exports: LoadPreset on an existing object with an open
// stream, presets through the stores, copies.
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "tests/plugins/frame/plugin_test_support.h"
#include "tests/plugins/frame/preset_test_support.h"
#include "xml/xml.h"

namespace {

class TaplineExports : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(plugin.Loaded()); }

    int StoredValue(void* settings, const char* key) { return SavedInt(plugin, settings, key); }

    LoadedPlugin plugin{"Tapline"};  // declared first: trees it filled are gone before it unloads
    ScratchFolder folder;
};

TEST_F(TaplineExports, LoadPresetChangesTheObjectInPlaceAndKeepsItsStream) {
    // A 10 ms echo at 1 kHz; a click at 5 is in the left line when the preset is loaded.
    const std::string ini = folder.Path() + "/tapline.ini";
    ASSERT_TRUE(WritePrivateProfileString("Start", std::string("DelL"), std::string("10"), ini));
    void* created = nullptr;
    ASSERT_EQ(plugin.Initialize(ini.c_str(), "Start", 0, &created), 1);
    PluginSettingsHandle settings(plugin, created);
    SignalSource source({Click(40, 5)});
    ASSERT_EQ(plugin.SetStreamCallBack(SignalSource::Callback, &source, settings.get()), 1);
    const WAVEFORMATEX format = FloatFormat(1, 1000);
    ASSERT_EQ(plugin.OpenStream(settings.get(), &format), PLUGIN_OPEN_OK);
    SoundBlock block(1, 10);
    block->capacity = 10;
    ASSERT_EQ(plugin.ProcessStream(block.get(), settings.get()), 10u);
    EXPECT_NEAR(block->channels[0][5], 0.75, 1e-7);

    // The preset names only the echo gain; the rest come from LoadPreset's own defaults.
    ASSERT_TRUE(WritePrivateProfileString("Loud", std::string("VolL"), std::string("100"), ini));
    ASSERT_EQ(plugin.LoadPreset(ini.c_str(), "Loud", 0, settings.get()), 1);
    EXPECT_EQ(StoredValue(settings.get(), "VolL"), 100);
    EXPECT_EQ(StoredValue(settings.get(), "DryOut"), 80);
    EXPECT_EQ(StoredValue(settings.get(), "DelL"), 50);

    // Same stream, same callback, same line: the echo of the click arrives at 15, at full level.
    block->capacity = 10;
    ASSERT_EQ(plugin.ProcessStream(block.get(), settings.get()), 10u);
    EXPECT_NEAR(block->channels[0][5], 1.0, 1e-7);
    EXPECT_EQ(source.requests.size(), 2u);
}

TEST_F(TaplineExports, KeyStorePresetRoundTrip) {
    ScopedConfigHome configHome;
    enXml element("Delay");
    element.SetValue("DelR", 1234);
    element.SetValue("InvertR", 1);
    const PluginSettingsHandle settings = FromElement(plugin, element);
    const PluginSettingsHandle again = ReloadedFromKeyStore(plugin, settings.get(), "SOFTWARE\\Morvane Tests\\Delay");
    EXPECT_EQ(StoredValue(again.get(), "DelR"), 1234);
    EXPECT_EQ(StoredValue(again.get(), "InvertR"), 1);
    EXPECT_EQ(StoredValue(again.get(), "VolL"), 55);
}

TEST_F(TaplineExports, CopyKeepsTheParameters) {
    enXml element("Delay");
    element.SetValue("DelL", 321);
    const PluginSettingsHandle settings = FromElement(plugin, element);
    void* copied = nullptr;
    ASSERT_EQ(plugin.CopySettings(&copied, settings.get()), 1);
    PluginSettingsHandle copy(plugin, copied);
    EXPECT_EQ(StoredValue(copy.get(), "DelL"), 321);
    EXPECT_EQ(plugin.CreateSettingsWindow(nullptr, copy.get()), nullptr);
}

}  // namespace
