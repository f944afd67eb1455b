// Tapline's parameter list: the two sets of defaults, conversions and limits, and round
// trips through the three stores (XML element, INI file, key store).
#include <gtest/gtest.h>

#include <string>

#include "platform/ini_file.h"
#include "platform/key_store.h"
#include "plugins/tapline/tapline.h"
#include "tests/plugins/frame/delay_pair_test_support.h"
#include "tests/plugins/frame/preset_test_support.h"
#include "xml/xml.h"

namespace {

void SetUnusual(TaplineParameters& p) {
    p.dryGain = 0.29;
    p.leftEchoGain = 0.57;
    p.rightEchoGain = 1.0;
    p.leftDelayMs = 4999;
    p.rightDelayMs = 0;
    p.lockChannels = 1;
    p.invertLeft = 1;
    p.invertRight = 1;
    p.muteDry = 1;
}

TEST(TaplinePresets, InitializeAndLoadPresetStartFromDifferentDefaults) {
    CTaplineSettings initialized;
    SetUnusual(initialized.parameters);
    initialized.LoadParameters(PresetStore{}, PresetDefaults::Initialize);
    ExpectSameDelayPair(
        initialized.parameters,
        {.dryGain = 0.75, .leftEchoGain = 0.55, .rightEchoGain = 0.55, .leftDelayMs = 18, .rightDelayMs = 18});

    CTaplineSettings reloaded;
    SetUnusual(reloaded.parameters);
    reloaded.LoadParameters(PresetStore{}, PresetDefaults::LoadPreset);
    ExpectSameDelayPair(
        reloaded.parameters,
        {.dryGain = 0.80, .leftEchoGain = 0.40, .rightEchoGain = 0.40, .leftDelayMs = 50, .rightDelayMs = 50});
}

TEST(TaplinePresets, SavesTheStoredFormUnderItsKeys) {
    CTaplineSettings settings;
    SetUnusual(settings.parameters);
    enXml element("Settings");
    ASSERT_TRUE(settings.SaveParameters(PresetStore{.element = &element}));
    EXPECT_EQ(StoredInt(element, "DryOut"), 29);  // 0.29 × 100 is 28.999999999999996 in doubles
    EXPECT_EQ(StoredInt(element, "VolL"), 57);
    EXPECT_EQ(StoredInt(element, "VolR"), 100);
    EXPECT_EQ(StoredInt(element, "DelL"), 4999);
    EXPECT_EQ(StoredInt(element, "DelR"), 0);
    for (const char* flag : {"HoldChannels", "InvertL", "InvertR", "DisMain"}) EXPECT_EQ(StoredInt(element, flag), 1);
}

TEST(TaplinePresets, PartialElementChangesOnlyItsKeys) {
    enXml element("Settings");
    element.SetValue("VolR", 5);
    element.SetValue("DelL", 700);
    CTaplineSettings settings;
    settings.LoadParameters(PresetStore{.element = &element}, PresetDefaults::Initialize);
    EXPECT_DOUBLE_EQ(settings.parameters.rightEchoGain.get(), 0.05);
    EXPECT_EQ(settings.parameters.leftDelayMs.get(), 700);
    EXPECT_DOUBLE_EQ(settings.parameters.leftEchoGain.get(), 0.55);
    EXPECT_EQ(settings.parameters.rightDelayMs.get(), 18);
}

TEST(TaplinePresets, StoredValuesOutOfRangeAreHeldToTheirLimits) {
    enXml element("Settings");
    element.SetValue("DelL", 60000);
    element.SetValue("DelR", -20);
    element.SetValue("DryOut", 400);
    CTaplineSettings settings;
    settings.LoadParameters(PresetStore{.element = &element}, PresetDefaults::Initialize);
    EXPECT_EQ(settings.parameters.leftDelayMs.get(), 5000);
    EXPECT_EQ(settings.parameters.rightDelayMs.get(), 5000);
    EXPECT_DOUBLE_EQ(settings.parameters.dryGain.get(), 1.0);
}

TEST(TaplinePresets, EverySliderValueSurvivesSaveAndLoad) {
    for (int stored = 0; stored <= 100; ++stored) {
        enXml element("Settings");
        element.SetValue("DryOut", stored);
        element.SetValue("VolL", stored);
        element.SetValue("DelR", stored * 50);
        CTaplineSettings settings;
        settings.LoadParameters(PresetStore{.element = &element}, PresetDefaults::Initialize);
        enXml saved("Settings");
        ASSERT_TRUE(settings.SaveParameters(PresetStore{.element = &saved}));
        EXPECT_EQ(StoredInt(saved, "DryOut"), stored);
        EXPECT_EQ(StoredInt(saved, "VolL"), stored);
        EXPECT_EQ(StoredInt(saved, "DelR"), stored * 50);
    }
}

TEST(TaplinePresets, RoundTripThroughEveryStore) {
    ScopedConfigHome configHome;
    CTaplineSettings original;
    SetUnusual(original.parameters);
    const std::string ini = configHome.Path() + "/tapline.ini";
    enXml element("Settings");
    const PresetStore stores[] = {
        {.element = &element},
        {.ini = ini.c_str(), .section = "Tapline"},
        {.section = "SOFTWARE\\Morvane Tests\\Tapline", .root = HKEY_CURRENT_USER},
    };
    for (const PresetStore& store : stores) {
        ASSERT_TRUE(original.SaveParameters(store));
        CTaplineSettings loaded;
        loaded.LoadParameters(store, PresetDefaults::LoadPreset);
        ExpectSameDelayPair(original.parameters, loaded.parameters);
    }
    EXPECT_EQ(GetPrivateProfileInt("Tapline", "DelL", -1, ini), 4999);
}

}  // namespace
