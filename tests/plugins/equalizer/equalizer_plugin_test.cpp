// libequalizer.so through its exports: identity, formats, presets in the three stores and
// the stream.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "platform/key_store.h"
#include "tests/plugins/equalizer/equalizer_test_signals.h"
#include "tests/plugins/frame/plugin_test_support.h"
#include "tests/plugins/frame/preset_test_support.h"
#include "xml/xml.h"

namespace {

constexpr const char* kKeys[] = {"Volume31",   "Volume62",   "Volume125",  "Volume250",  "Volume500",
                                 "Volume1000", "Volume2000", "Volume4000", "Volume8000", "Volume16000"};

class EqualizerPlugin : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(plugin.Loaded()); }

    // The stored values of a settings object, read back through SavePresetXml.
    std::vector<int> StoredValues(void* settings) {
        enXml element("Settings");
        EXPECT_EQ(plugin.SavePresetXml(&element, settings), 1);
        std::vector<int> values;
        for (const char* key : kKeys) {
            int value = -1;
            EXPECT_TRUE(element.GetValue(key, value)) << key;
            values.push_back(value);
        }
        return values;
    }

    LoadedPlugin plugin{"equalizer"};
};

std::vector<int> Values(std::initializer_list<std::pair<int, int>> changes) {
    std::vector<int> values(10, 3276700);
    for (const auto& [band, value] : changes) values[band] = value;
    return values;
}

TEST_F(EqualizerPlugin, IdentifiesItselfOnlyToTheRightRecordSize) {
    PLUGIN_INFO info{};
    info.size = sizeof(PLUGIN_INFO) - 4;
    info.reserved = 77;
    info.kind = 9;
    EXPECT_EQ(plugin.PlugInInfo(&info), 0);
    EXPECT_EQ(info.reserved, 77u);
    EXPECT_EQ(info.name, nullptr);
    EXPECT_EQ(info.kind, 9u);

    info.size = sizeof(PLUGIN_INFO);
    EXPECT_EQ(plugin.PlugInInfo(&info), 1);
    EXPECT_EQ(info.reserved, 0u);
    EXPECT_STREQ(info.name, "Linear Phase Equalizer");
    EXPECT_STREQ(info.author, "Pemaro Ltd (CY)");
    EXPECT_EQ(info.version, 0x50000u);
    EXPECT_EQ(info.kind, 3u);

    auto getDelay = plugin.Resolve<PFN_GetDelay>("GetDelay");
    ASSERT_NE(getDelay, nullptr);
    EXPECT_EQ(getDelay(), 6144);
    EXPECT_EQ(plugin.CreateSettingsWindow(nullptr, nullptr), nullptr);
}

TEST_F(EqualizerPlugin, RefusesMoreThanEightChannels) {
    void* raw = nullptr;
    ASSERT_EQ(plugin.Initialize(nullptr, nullptr, 0, &raw), 1);
    PluginSettingsHandle settings(plugin, raw);
    const WAVEFORMATEX nine = FloatFormat(9, 44100);
    EXPECT_EQ(plugin.OpenStream(settings.get(), &nine), PLUGIN_OPEN_UNSUPPORTED);
    const WAVEFORMATEX eight = FloatFormat(8, 44100);
    EXPECT_EQ(plugin.OpenStream(settings.get(), &eight), PLUGIN_OPEN_OK);
    EXPECT_EQ(plugin.CloseStream(settings.get()), 1);
    const WAVEFORMATEX working = kWorkingFormat.Format;
    EXPECT_EQ(plugin.OpenStream(settings.get(), &working), PLUGIN_OPEN_OK);
}

TEST_F(EqualizerPlugin, XmlPresetsLoadWhatIsThereAndKeepDefaultsElsewhere) {
    enXml element("Equalizer");
    element.SetValue("Volume16000", 327670);
    element.SetValue("Volume62", 6553400);
    const PluginSettingsHandle settings = FromElement(plugin, element);
    EXPECT_EQ(StoredValues(settings.get()), Values({{1, 6553400}, {9, 327670}}));

    // Saving twice updates the children in place.
    ASSERT_EQ(plugin.SavePresetXml(&element, settings.get()), 1);
    ASSERT_EQ(plugin.SavePresetXml(&element, settings.get()), 1);
    int children = 0;
    for (enXml* child = element.FirstChildElement(); child != nullptr; child = child->NextSiblingElement()) ++children;
    EXPECT_EQ(children, 10);

    enXml bare("Equalizer");
    const PluginSettingsHandle defaults = FromElement(plugin, bare);
    EXPECT_EQ(StoredValues(defaults.get()), Values({}));
}

TEST_F(EqualizerPlugin, IniPresetsRoundTripAndLoadPresetMakesANewObject) {
    ScratchFolder folder;
    const std::string ini = folder.Path() + "/presets.ini";
    enXml element("Equalizer");
    element.SetValue("Volume500", 1000000);
    element.SetValue("Volume8000", 32767000);
    const PluginSettingsHandle original = FromElement(plugin, element);
    ASSERT_EQ(plugin.SavePreset(ini.c_str(), "Bright", 0, original.get()), 1);

    const std::string text = ReadFileText(ini);
    EXPECT_NE(text.find("Volume500=1000000"), std::string::npos) << text;
    EXPECT_NE(text.find("Volume8000=32767000"), std::string::npos) << text;

    void* loaded = nullptr;
    ASSERT_EQ(plugin.LoadPreset(ini.c_str(), "Bright", 0, &loaded), 1);
    ASSERT_NE(loaded, nullptr);
    ASSERT_NE(loaded, original.get());
    PluginSettingsHandle copy(plugin, loaded);
    EXPECT_EQ(StoredValues(copy.get()), Values({{4, 1000000}, {8, 32767000}}));

    void* fromInitialize = nullptr;
    ASSERT_EQ(plugin.Initialize(ini.c_str(), "Missing", 0, &fromInitialize), 1);
    PluginSettingsHandle missing(plugin, fromInitialize);
    EXPECT_EQ(StoredValues(missing.get()), Values({}));
}

TEST_F(EqualizerPlugin, KeyStorePresetsRoundTrip) {
    ScopedConfigHome configHome;
    enXml element("Equalizer");
    element.SetValue("Volume31", 400000);
    const PluginSettingsHandle original = FromElement(plugin, element);
    const PluginSettingsHandle copy =
        ReloadedFromKeyStore(plugin, original.get(), "SOFTWARE\\Zo Ruvo\\Tests\\Equalizer");
    EXPECT_EQ(StoredValues(copy.get()), Values({{0, 400000}}));
    EXPECT_TRUE(std::filesystem::exists(configHome.Path() + "/morvane/registry.ini"));
}

TEST_F(EqualizerPlugin, StreamsThroughTheExportsWithTheLoadedGains) {
    enXml element("Equalizer");
    element.SetValue("Volume16000", 327670);  // gain 0.1
    const PluginSettingsHandle settings = FromElement(plugin, element);
    constexpr size_t length = 44100;
    std::vector<float> mix = Tones(length, 44100.0, {21000.0}, 0.4);
    mix[30000] += 0.5f;
    SignalSource source({mix, mix});
    // The copy takes the callback along; the original's stream is never opened.
    const Signal output = RunCopiedStream(plugin, settings.get(), source, kWorkingFormat.Format, 4410);
    ASSERT_EQ(output[0].size(), length);
    EXPECT_EQ(output[0], output[1]);
    EXPECT_EQ(std::max_element(output[0].begin(), output[0].end()) - output[0].begin(), 30000);
    EXPECT_LT(Decibels(Rms(output[0], 8192, 28000) / Rms(mix, 8192, 28000)), -15.0);
}

}  // namespace
