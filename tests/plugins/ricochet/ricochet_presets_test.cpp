// Ricochet's parameter list: defaults, stored-value conversions and limits, and round trips
// through the three stores (XML element, INI file, key store).
#include <gtest/gtest.h>

#include <string>

#include "platform/ini_file.h"
#include "platform/key_store.h"
#include "plugins/ricochet/ricochet.h"
#include "tests/plugins/frame/delay_pair_test_support.h"
#include "tests/plugins/frame/plugin_test_support.h"
#include "tests/plugins/frame/preset_test_support.h"
#include "xml/xml.h"

namespace {

void ExpectSameParameters(const RicochetParameters& a, const RicochetParameters& b) {
    ExpectSameDelayPair(a, b);
    EXPECT_DOUBLE_EQ(a.leftFeedback.get(), b.leftFeedback.get());
    EXPECT_DOUBLE_EQ(a.rightFeedback.get(), b.rightFeedback.get());
}

// Every parameter away from its default.
void SetUnusual(RicochetParameters& p) {
    p.dryGain = 0.305;
    p.leftEchoGain = 0.125;
    p.rightEchoGain = 1.005;
    p.leftDelayMs = 2999;
    p.rightDelayMs = 0;
    p.leftFeedback = 0.99;
    p.rightFeedback = 0.07;
    p.muteDry = 1;
    p.lockChannels = 1;
    p.invertLeft = 1;
    p.invertRight = 1;
}

TEST(RicochetPresets, DefaultsWithoutAStore) {
    for (PresetDefaults purpose : {PresetDefaults::Initialize, PresetDefaults::LoadPreset}) {
        CRicochetSettings settings;
        SetUnusual(settings.parameters);
        settings.LoadParameters(PresetStore{}, purpose);
        const RicochetParameters& p = settings.parameters;
        ExpectSameDelayPair(
            p, {.dryGain = 0.805, .leftEchoGain = 0.505, .rightEchoGain = 0.605, .leftDelayMs = 15, .rightDelayMs = 5});
        EXPECT_DOUBLE_EQ(p.leftFeedback.get(), 0.40);
        EXPECT_DOUBLE_EQ(p.rightFeedback.get(), 0.60);
    }
}

TEST(RicochetPresets, SavesTheStoredFormUnderItsKeys) {
    CRicochetSettings settings;
    settings.LoadParameters(PresetStore{}, PresetDefaults::Initialize);
    enXml element("Settings");
    ASSERT_TRUE(settings.SaveParameters(PresetStore{.element = &element}));
    EXPECT_EQ(StoredInt(element, "DryOut"), 80);  // 0.805 × 100 cut toward zero
    EXPECT_EQ(StoredInt(element, "LVol"), 50);
    EXPECT_EQ(StoredInt(element, "RVol"), 60);
    EXPECT_EQ(StoredInt(element, "LDel"), 15);
    EXPECT_EQ(StoredInt(element, "RDel"), 5);
    EXPECT_EQ(StoredInt(element, "LFacFading"), 40);
    EXPECT_EQ(StoredInt(element, "RFacFading"), 60);
    for (const char* flag : {"DisMain", "LockCh", "InvertL", "InvertR"}) EXPECT_EQ(StoredInt(element, flag), 0);
}

TEST(RicochetPresets, LoadsStoredValuesWithTheirConversions) {
    enXml element("Settings");
    element.SetValue("DryOut", 10);
    element.SetValue("RFacFading", 25);
    element.SetValue("InvertR", 1);
    CRicochetSettings settings;
    settings.LoadParameters(PresetStore{.element = &element}, PresetDefaults::Initialize);
    const RicochetParameters& p = settings.parameters;
    EXPECT_DOUBLE_EQ(p.dryGain.get(), 0.105);
    EXPECT_DOUBLE_EQ(p.rightFeedback.get(), 0.25);
    EXPECT_EQ(p.invertRight.get(), 1);
    EXPECT_DOUBLE_EQ(p.leftEchoGain.get(), 0.505);  // absent: default
    EXPECT_EQ(p.leftDelayMs.get(), 15);
}

TEST(RicochetPresets, StoredValuesOutOfRangeAreHeldToTheirLimits) {
    enXml element("Settings");
    element.SetValue("LDel", 100000);
    element.SetValue("RDel", -1);
    element.SetValue("LVol", 1000);
    element.SetValue("LFacFading", 150);
    element.SetValue("RFacFading", -3);
    CRicochetSettings settings;
    settings.LoadParameters(PresetStore{.element = &element}, PresetDefaults::Initialize);
    const RicochetParameters& p = settings.parameters;
    EXPECT_EQ(p.leftDelayMs.get(), 3000);
    EXPECT_EQ(p.rightDelayMs.get(), 3000);  // read as unsigned: huge
    EXPECT_DOUBLE_EQ(p.leftEchoGain.get(), 1.005);
    EXPECT_DOUBLE_EQ(p.leftFeedback.get(), 0.99);
    EXPECT_DOUBLE_EQ(p.rightFeedback.get(), 0.99);
}

TEST(RicochetPresets, EverySliderValueSurvivesSaveAndLoad) {
    for (int stored = 0; stored <= 100; ++stored) {
        enXml element("Settings");
        element.SetValue("LVol", stored);
        element.SetValue("LFacFading", std::min(stored, 99));
        element.SetValue("RDel", stored * 30);
        CRicochetSettings settings;
        settings.LoadParameters(PresetStore{.element = &element}, PresetDefaults::Initialize);
        enXml saved("Settings");
        ASSERT_TRUE(settings.SaveParameters(PresetStore{.element = &saved}));
        EXPECT_EQ(StoredInt(saved, "LVol"), stored);
        EXPECT_EQ(StoredInt(saved, "LFacFading"), std::min(stored, 99));
        EXPECT_EQ(StoredInt(saved, "RDel"), stored * 30);
    }
}

TEST(RicochetPresets, RoundTripThroughXmlElement) {
    CRicochetSettings original;
    SetUnusual(original.parameters);
    enXml element("Settings");
    ASSERT_TRUE(original.SaveParameters(PresetStore{.element = &element}));
    CRicochetSettings loaded;
    loaded.LoadParameters(PresetStore{.element = &element}, PresetDefaults::Initialize);
    ExpectSameParameters(original.parameters, loaded.parameters);
}

TEST(RicochetPresets, RoundTripThroughIniFile) {
    ScratchFolder folder;
    const std::string ini = folder.Path() + "/presets.ini";
    CRicochetSettings original;
    SetUnusual(original.parameters);
    ASSERT_TRUE(original.SaveParameters(PresetStore{.ini = ini.c_str(), .section = "Echo one"}));
    EXPECT_EQ(GetPrivateProfileInt("Echo one", "LDel", -1, ini), 2999);
    EXPECT_EQ(GetPrivateProfileInt("Echo one", "DryOut", -1, ini), 30);

    CRicochetSettings loaded;
    loaded.LoadParameters(PresetStore{.ini = ini.c_str(), .section = "Echo one"}, PresetDefaults::LoadPreset);
    ExpectSameParameters(original.parameters, loaded.parameters);

    CRicochetSettings otherSection;
    otherSection.LoadParameters(PresetStore{.ini = ini.c_str(), .section = "Echo two"}, PresetDefaults::Initialize);
    EXPECT_EQ(otherSection.parameters.leftDelayMs.get(), 15);
}

TEST(RicochetPresets, RoundTripThroughKeyStore) {
    ScopedConfigHome configHome;
    const char* key = "SOFTWARE\\Morvane Tests\\Ricochet";
    CRicochetSettings original;
    SetUnusual(original.parameters);
    EXPECT_TRUE(original.SaveParameters(PresetStore{.section = key, .root = HKEY_CURRENT_USER}));
    CRicochetSettings loaded;
    loaded.LoadParameters(PresetStore{.section = key, .root = HKEY_CURRENT_USER}, PresetDefaults::Initialize);
    ExpectSameParameters(original.parameters, loaded.parameters);
    // The key store wins over an INI path given with it.
    CRicochetSettings preferred;
    preferred.LoadParameters(PresetStore{.ini = "/nonexistent/presets.ini", .section = key, .root = HKEY_CURRENT_USER},
                             PresetDefaults::Initialize);
    ExpectSameParameters(original.parameters, preferred.parameters);
}

TEST(RicochetPresets, CopyTakesTheParametersOnly) {
    CRicochetSettings original;
    SetUnusual(original.parameters);
    SignalSource source({Click(10, 0), Click(10, 0)});
    original.SetStreamCallBack(SignalSource::Callback, &source);
    ASSERT_EQ(original.OpenStream(FloatFormat(2, 44100)), PLUGIN_OPEN_OK);

    const std::unique_ptr<CPluginSettings> copy = original.CopyParameters();
    auto& ricochet = dynamic_cast<CRicochetSettings&>(*copy);
    ExpectSameParameters(original.parameters, ricochet.parameters);
    EXPECT_EQ(ricochet.LeftLine().Length(), 0u);
    EXPECT_EQ(ricochet.RightLine().Length(), 0u);
}

}  // namespace
