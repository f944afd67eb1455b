// Ricochet through its library's exports: presets in every store, LoadPreset on an open
// stream, the settings window not built yet.
#include <gtest/gtest.h>

#include <string>

#include "platform/platform.h"
#include "tests/plugins/frame/plugin_test_support.h"
#include "tests/plugins/frame/preset_test_support.h"
#include "xml/xml.h"

namespace {

class RicochetExports : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(plugin.Loaded()); }

    LoadedPlugin plugin{"Ricochet"};  // declared first: trees it filled are gone before it unloads
    ScratchFolder folder;
};

TEST_F(RicochetExports, PresetFromIniReachesTheXmlElement) {
    const std::string ini = folder.Path() + "/ricochet.ini";
    ASSERT_TRUE(WritePrivateProfileString("Preset", std::string("LDel"), std::string("1200"), ini));
    ASSERT_TRUE(WritePrivateProfileString("Preset", std::string("InvertL"), std::string("1"), ini));
    void* created = nullptr;
    ASSERT_EQ(plugin.Initialize(ini.c_str(), "Preset", 0, &created), 1);
    PluginSettingsHandle settings(plugin, created);

    enXml element("Ricochet");
    ASSERT_EQ(plugin.SavePresetXml(&element, settings.get()), 1);
    EXPECT_EQ(StoredInt(element, "LDel"), 1200);
    EXPECT_EQ(StoredInt(element, "InvertL"), 1);
    EXPECT_EQ(StoredInt(element, "DryOut"), 80);

    const PluginSettingsHandle again = FromElement(plugin, element);
    const std::string copyIni = folder.Path() + "/copy.ini";
    ASSERT_EQ(plugin.SavePreset(copyIni.c_str(), "Copy", 0, again.get()), 1);
    EXPECT_EQ(GetPrivateProfileInt("Copy", "LDel", -1, copyIni), 1200);
    EXPECT_EQ(GetPrivateProfileInt("Copy", "RFacFading", -1, copyIni), 60);
}

TEST_F(RicochetExports, LoadPresetChangesAnOpenStreamInPlace) {
    void* created = nullptr;
    ASSERT_EQ(plugin.Initialize(nullptr, nullptr, 0, &created), 1);
    PluginSettingsHandle settings(plugin, created);
    SignalSource source({Click(2000, 0), std::vector<float>(2000, 0.0f)});
    ASSERT_EQ(plugin.SetStreamCallBack(SignalSource::Callback, &source, settings.get()), 1);
    const WAVEFORMATEX format = FloatFormat(2, 44100);
    ASSERT_EQ(plugin.OpenStream(settings.get(), &format), PLUGIN_OPEN_OK);
    SoundBlock block(2, 500);
    block->capacity = 500;
    ASSERT_EQ(plugin.ProcessStream(block.get(), settings.get()), 500u);

    // Louder left echo, no dry part: the click already in the left line comes out at 661.
    const std::string ini = folder.Path() + "/loud.ini";
    ASSERT_TRUE(WritePrivateProfileString("Loud", std::string("LVol"), std::string("100"), ini));
    ASSERT_TRUE(WritePrivateProfileString("Loud", std::string("DisMain"), std::string("1"), ini));
    ASSERT_EQ(plugin.LoadPreset(ini.c_str(), "Loud", 0, settings.get()), 1);

    block->capacity = 500;
    ASSERT_EQ(plugin.ProcessStream(block.get(), settings.get()), 500u);
    EXPECT_NEAR(block->channels[1][161], 1.005, 1e-6);
    EXPECT_EQ(source.requests.size(), 2u);
}

TEST_F(RicochetExports, MakesNoSettingsWindowWithoutAParent) {
    void* created = nullptr;
    ASSERT_EQ(plugin.Initialize(nullptr, nullptr, 0, &created), 1);
    PluginSettingsHandle settings(plugin, created);
    EXPECT_EQ(plugin.CreateSettingsWindow(nullptr, settings.get()), nullptr);
}

}  // namespace
