// libwahwah.so through its exports: identity, formats, presets in the three stores and
// the stream.
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "tests/plugins/frame/preset_test_support.h"
#include "tests/plugins/frame/plugin_test_support.h"
#include "tests/plugins/wahwah/wahwah_test_support.h"
#include "xml/xml.h"

namespace {

struct Stored {
    double dryOut, volume2, bandWidth, rightBorder, leftBorder, speed;
    int procKind, log, normal;
    bool operator==(const Stored&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Stored& s) {
    return out << s.dryOut << ' ' << s.volume2 << ' ' << s.bandWidth << ' ' << s.rightBorder << ' ' << s.leftBorder
               << ' ' << s.speed << ' ' << s.procKind << ' ' << s.log << ' ' << s.normal;
}

constexpr Stored kDefaults{8191, 65534, 400, 1500, 300, 3, 1, 1, 0};
constexpr Stored kCustom{16383, 0, 120, 4000, 200, 0.5, 0, 0, 1};

// The keys of the stored values.
constexpr std::pair<const char*, double Stored::*> kDoubleKeys[] = {
    {"DryOut", &Stored::dryOut},           {"Volume2", &Stored::volume2},       {"BandWidth", &Stored::bandWidth},
    {"RightBorder", &Stored::rightBorder}, {"LeftBorder", &Stored::leftBorder}, {"Speed", &Stored::speed},
};
constexpr std::pair<const char*, int Stored::*> kIntKeys[] = {
    {"ProcKind", &Stored::procKind}, {"Log", &Stored::log}, {"Normal", &Stored::normal}};

void WriteXml(enXml& element, const Stored& s) {
    for (const auto& [key, field] : kDoubleKeys) element.SetValue(key, s.*field);
    for (const auto& [key, field] : kIntKeys) element.SetValue(key, s.*field);
}

class WahWahPlugin : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(plugin.Loaded()); }

    // A settings object loaded from an element holding s.
    PluginSettingsHandle FromValues(const Stored& s) {
        enXml element("WahWah");
        WriteXml(element, s);
        return FromElement(plugin, element);
    }

    // The stored values of a settings object, read back through SavePresetXml.
    Stored StoredValues(void* settings) {
        enXml element("WahWah");
        EXPECT_EQ(plugin.SavePresetXml(&element, settings), 1);
        Stored s{-1, -1, -1, -1, -1, -1, -1, -1, -1};
        for (const auto& [key, field] : kDoubleKeys) element.GetValue(key, s.*field);
        for (const auto& [key, field] : kIntKeys) element.GetValue(key, s.*field);
        return s;
    }

    LoadedPlugin plugin{"wahwah"};
};

TEST_F(WahWahPlugin, IdentifiesItselfAndHasNoDelayExport) {
    PLUGIN_INFO info{};
    info.size = 20;
    EXPECT_EQ(plugin.PlugInInfo(&info), 0);
    EXPECT_EQ(info.name, nullptr);
    info.size = sizeof(PLUGIN_INFO);
    info.reserved = 5;
    EXPECT_EQ(plugin.PlugInInfo(&info), 1);
    EXPECT_EQ(info.reserved, 0u);
    EXPECT_STREQ(info.name, "Wah-Wah Filter");
    EXPECT_STREQ(info.author, "Pemaro Ltd (CY)");
    EXPECT_EQ(info.version, 0x50000u);
    EXPECT_EQ(info.kind, 2u);
    EXPECT_FALSE(plugin.Exports("GetDelay"));
}

TEST_F(WahWahPlugin, RefusesMoreThanTenChannels) {
    const PluginSettingsHandle settings = FromValues(kDefaults);
    const WAVEFORMATEX eleven = FloatFormat(11, 44100);
    EXPECT_EQ(plugin.OpenStream(settings.get(), &eleven), PLUGIN_OPEN_UNSUPPORTED);
    const WAVEFORMATEX ten = FloatFormat(10, 44100);
    EXPECT_EQ(plugin.OpenStream(settings.get(), &ten), PLUGIN_OPEN_OK);
    EXPECT_EQ(plugin.CloseStream(settings.get()), 1);
}

TEST_F(WahWahPlugin, XmlPresetsKeepEveryValueAndDefaultsForMissingKeys) {
    const PluginSettingsHandle custom = FromValues(kCustom);
    EXPECT_EQ(StoredValues(custom.get()), kCustom);

    enXml partial("WahWah");
    partial.SetValue("Speed", 7.5);
    const PluginSettingsHandle settings = FromElement(plugin, partial);
    Stored expected = kDefaults;
    expected.speed = 7.5;
    EXPECT_EQ(StoredValues(settings.get()), expected);
}

TEST_F(WahWahPlugin, IniPresetsRoundTripAndLoadPresetMakesANewObject) {
    ScratchFolder folder;
    const std::string ini = folder.Path() + "/wah.ini";
    const PluginSettingsHandle custom = FromValues(kCustom);
    ASSERT_EQ(plugin.SavePreset(ini.c_str(), "Slow", 0, custom.get()), 1);
    const std::string text = ReadFileText(ini);
    EXPECT_NE(text.find("DryOut=16383"), std::string::npos) << text;
    EXPECT_NE(text.find("Speed=0.5"), std::string::npos) << text;

    void* loaded = nullptr;
    ASSERT_EQ(plugin.LoadPreset(ini.c_str(), "Slow", 0, &loaded), 1);
    ASSERT_NE(loaded, custom.get());
    PluginSettingsHandle copy(plugin, loaded);
    EXPECT_EQ(StoredValues(copy.get()), kCustom);
}

TEST_F(WahWahPlugin, KeyStorePresetsRoundTrip) {
    ScopedConfigHome configHome;
    const PluginSettingsHandle custom = FromValues(kCustom);
    const PluginSettingsHandle copy = ReloadedFromKeyStore(plugin, custom.get(), "SOFTWARE\\Zo Ruvo\\Tests\\WahWah");
    EXPECT_EQ(StoredValues(copy.get()), kCustom);
}

TEST_F(WahWahPlugin, StreamsThroughTheExportsAndCopiesKeepTheCallback) {
    Stored dryOnly = kDefaults;
    dryOnly.dryOut = 32766.5;  // gain 1
    dryOnly.volume2 = -0.5;    // gain 0
    const PluginSettingsHandle settings = FromValues(dryOnly);
    const std::vector<float> input = Sine(50000, 500.0, 44100.0, 0.6);
    SignalSource source({input, input});
    const Signal output = RunCopiedStream(plugin, settings.get(), source, kWorkingFormat.Format, 20000);
    EXPECT_EQ(output[0], input);
    EXPECT_EQ(output[1], input);
}

}  // namespace
