// Parameter lists in the three stores: what is written, what loading keeps, and the
// failure cases of each store.
#include <filesystem>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/ini_file.h"
#include "platform/key_store.h"
#include "tests/platform/scratch.h"
#include "xml/xml.h"

namespace {

const char* const kKeys[] = {"Count", "Gain", "Ratio", "Title", "Blob"};
constexpr const char* kTypes = "DWORD FLOAT DOUBLE STRING LSS";

// One value of every kind, as a plug-in keeps its stored settings.
struct Values {
    int32_t count = 11;
    float gain = 0.5f;
    double ratio = 2.0;
    std::string title = "default";
    ParameterLss blob;

    bool Save(const char* ini, const char* section, HKEY root, enXml* element, const char* types = kTypes) {
        return SaveParameterList(ini, section, root, element, kKeys, types, &count, &gain, &ratio, &title, &blob);
    }
    void Load(const char* ini, const char* section, HKEY root, enXml* element, const char* types = kTypes) {
        LoadParameterList(ini, section, root, element, kKeys, types, &count, &gain, &ratio, &title, &blob);
    }
};

class OwnedLss {
public:
    explicit OwnedLss(ParameterLss& lss) : m_lss(lss) {}
    ~OwnedLss() { FreeParameterLss(m_lss); }
    OwnedLss(const OwnedLss&) = delete;
    OwnedLss& operator=(const OwnedLss&) = delete;

private:
    ParameterLss& m_lss;
};

std::string ValueOf(const enXml& element, const std::string& child) {
    std::string text;
    const enXml* found = element.FindChild(child);
    if (found) found->GetAttribute("Value", text);
    return text;
}

uint8_t g_bytes[] = {0x01, 0xFE, 0x00};

Values Changed() {
    Values values;
    values.count = -42;
    values.gain = 1.2345678f;
    values.ratio = 1.0 / 3.0;
    values.title = "Ringtone \"one\"";
    values.blob = {3, g_bytes};
    return values;
}

void ExpectLoadedAsChanged(Values& loaded) {
    const OwnedLss owned(loaded.blob);
    EXPECT_EQ(loaded.count, -42);
    EXPECT_FLOAT_EQ(loaded.gain, 1.23457f);
    EXPECT_DOUBLE_EQ(loaded.ratio, 0.333333);
    EXPECT_EQ(loaded.title, "Ringtone \"one\"");
    ASSERT_EQ(loaded.blob.size, 3u);
    ASSERT_NE(loaded.blob.data, nullptr);
    EXPECT_NE(loaded.blob.data, g_bytes);
    EXPECT_THAT(std::vector<uint8_t>(loaded.blob.data, loaded.blob.data + 3), ::testing::ElementsAre(0x01, 0xFE, 0x00));
}

TEST(ParameterListXml, SavesEveryKindInTheSettingsForm) {
    enXml settings("Settings");
    Values values = Changed();
    ASSERT_TRUE(values.Save(nullptr, nullptr, 0, &settings));
    EXPECT_EQ(ValueOf(settings, "Count"), "-42");
    EXPECT_EQ(ValueOf(settings, "Gain"), "1.23457");
    EXPECT_EQ(ValueOf(settings, "Ratio"), "0.333333");
    EXPECT_EQ(ValueOf(settings, "Title"), "Ringtone \"one\"");
    EXPECT_EQ(ValueOf(settings, "SIZE_LSS_Blob"), "3");
    EXPECT_EQ(ValueOf(settings, "DATA_LSS_Blob"), "01FE00");

    Values loaded;
    loaded.Load(nullptr, nullptr, 0, &settings);
    ExpectLoadedAsChanged(loaded);
}

TEST(ParameterListXml, SecondSaveUpdatesInsteadOfDuplicating) {
    enXml settings("Settings");
    Values values = Changed();
    values.Save(nullptr, nullptr, 0, &settings);
    values.count = 7;
    values.Save(nullptr, nullptr, 0, &settings);
    int children = 0;
    for (const coTree* child = settings.FirstChild(); child; child = child->NextSibling()) ++children;
    EXPECT_EQ(children, 6);
    EXPECT_EQ(ValueOf(settings, "Count"), "7");
}

TEST(ParameterListXml, MissingKeysKeepDefaults) {
    enXml settings("Settings");
    Values none;
    none.Load(nullptr, nullptr, 0, &settings);
    EXPECT_EQ(none.count, 11);
    EXPECT_EQ(none.gain, 0.5f);
    EXPECT_EQ(none.ratio, 2.0);
    EXPECT_EQ(none.title, "default");
    EXPECT_EQ(none.blob.data, nullptr);

    settings.SetValue("gain", std::string("0.25"));
    settings.SetValue("TITLE", std::string("set"));
    Values some;
    some.Load(nullptr, nullptr, 0, &settings);
    EXPECT_EQ(some.count, 11);
    EXPECT_EQ(some.gain, 0.25f);
    EXPECT_EQ(some.ratio, 2.0);
    EXPECT_EQ(some.title, "set");
}

TEST(ParameterListXml, LowerCaseTagsWorkLikeUpperCase) {
    enXml settings("Settings");
    const char* const keys[] = {"DryOut", "Volume2", "ProcKind"};
    double dry = 8191, wet = 65534;
    int32_t kind = 1;
    SaveParameterList(nullptr, nullptr, 0, &settings, keys, "double double int", &dry, &wet, &kind);
    EXPECT_EQ(ValueOf(settings, "DryOut"), "8191");
    EXPECT_EQ(ValueOf(settings, "ProcKind"), "1");
    settings.SetValue("Volume2", 1000.5);
    settings.SetValue("ProcKind", 3);
    LoadParameterList(nullptr, nullptr, 0, &settings, keys, "Double DOUBLE Int", &dry, &wet, &kind);
    EXPECT_EQ(wet, 1000.5);
    EXPECT_EQ(kind, 3);
}

TEST(ParameterListXml, LssBlocksOfBadSizeLoadAsEmpty) {
    for (const char* size : {"-5", "0", "99999999999"}) {
        enXml settings("Settings");
        settings.SetValue("SIZE_LSS_Blob", std::string(size));
        settings.SetValue("DATA_LSS_Blob", std::string("01FE00"));
        uint8_t marker = 0;
        Values values;
        values.blob = {1, &marker};
        values.Load(nullptr, nullptr, 0, &settings);
        EXPECT_EQ(values.blob.size, 0u) << size;
        EXPECT_EQ(values.blob.data, nullptr) << size;
    }
    enXml shortData("Settings");
    shortData.SetValue("SIZE_LSS_Blob", 4);
    shortData.SetValue("DATA_LSS_Blob", std::string("0102"));
    Values values;
    values.Load(nullptr, nullptr, 0, &shortData);
    const OwnedLss owned(values.blob);
    ASSERT_EQ(values.blob.size, 4u);
    EXPECT_THAT(std::vector<uint8_t>(values.blob.data, values.blob.data + 4), ::testing::ElementsAre(1, 2, 0, 0));
}

TEST(ParameterList, TypeListStopsAtItsLimitsAndSkipsUnknownTags) {
    enXml settings("Settings");
    const char* const keys[] = {"A", "B", "C"};
    int32_t a = 1, b = 2, c = 3;
    SaveParameterList(nullptr, nullptr, 0, &settings, keys, "INT QWORD INT", &a, &b, &c);
    EXPECT_THAT(settings.FindChild("B"), nullptr);
    EXPECT_EQ(ValueOf(settings, "C"), "3");

    // 1023 characters count: the tag that straddles the limit is cut and not recognised.
    std::string types;
    while (types.size() < 1016) types += "INT ";
    types += "DWORD ";                           // ends at character 1022
    const size_t tagsBefore = types.size() / 4;  // 255 tags, then "INT" of which only "I" counts
    types += "INT";
    enXml limited("Settings");
    std::vector<int32_t> numbers(tagsBefore + 1, 5);
    std::vector<std::string> names;
    for (size_t i = 0; i <= tagsBefore; ++i) names.push_back("K" + std::to_string(i));
    std::vector<const char*> keyList;
    std::vector<void*> pointers;
    for (size_t i = 0; i <= tagsBefore; ++i) {
        keyList.push_back(names[i].c_str());
        pointers.push_back(&numbers[i]);
    }
    SaveParameterListV(nullptr, nullptr, 0, &limited, keyList.data(), types.c_str(), pointers.data(), pointers.size());
    EXPECT_NE(limited.FindChild("K" + std::to_string(tagsBefore - 1)), nullptr);
    EXPECT_EQ(limited.FindChild("K" + std::to_string(tagsBefore)), nullptr);

    // More tags than values: the extra tags are ignored.
    enXml few("Settings");
    SaveParameterListV(nullptr, nullptr, 0, &few, keys, "INT INT INT", pointers.data(), 1);
    EXPECT_NE(few.FindChild("A"), nullptr);
    EXPECT_EQ(few.FindChild("B"), nullptr);
}

TEST(ParameterList, NoStoreWritesNothingAndSucceeds) {
    ScratchFolder folder;
    ScopedEnv home("XDG_CONFIG_HOME", folder / "config");
    Values values = Changed();
    EXPECT_TRUE(values.Save(nullptr, "Section", 0, nullptr));
    Values loaded;
    loaded.Load(nullptr, "Section", 0, nullptr);
    EXPECT_EQ(loaded.count, 11);
    EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
}

TEST(ParameterListIni, RoundTripsEveryKind) {
    ScratchFolder folder;
    const std::string ini = folder / "presets.ini";
    Values values = Changed();
    ASSERT_TRUE(values.Save(ini.c_str(), "Ricochet", 0, nullptr));
    EXPECT_EQ(GetPrivateProfileString("Ricochet", "Ratio", "", ini), "0.333333");
    EXPECT_EQ(GetPrivateProfileString("Ricochet", "Gain", "", ini), "1.23457");
    EXPECT_EQ(GetPrivateProfileString("Ricochet", "Count", "", ini), "-42");
    EXPECT_EQ(GetPrivateProfileString("Ricochet", "SIZE_LSS_Blob", "", ini), "3");
    EXPECT_EQ(GetPrivateProfileString("Ricochet", "DATA_LSS_Blob", "", ini), "01FE00FF");

    Values loaded;
    loaded.Load(ini.c_str(), "ricochet", 0, nullptr);
    ExpectLoadedAsChanged(loaded);
}

TEST(ParameterListIni, MissingKeysKeepDefaultsAndBadBlocksReadAsZeros) {
    ScratchFolder folder;
    const std::string ini = folder / "presets.ini";
    Values absent;
    absent.ratio = 0.25;
    absent.Load(ini.c_str(), "S", 0, nullptr);
    EXPECT_EQ(absent.count, 11);
    EXPECT_EQ(absent.gain, 0.5f);
    EXPECT_EQ(absent.ratio, 0.25);
    EXPECT_EQ(absent.title, "default");
    EXPECT_EQ(absent.blob.data, nullptr);

    WritePrivateProfileString("S", std::string("Count"), std::string("12abc"), ini);
    WritePrivateProfileString("S", std::string("Ratio"), std::string("junk"), ini);
    WritePrivateProfileString("S", std::string("SIZE_LSS_Blob"), std::string("2"), ini);
    WritePrivateProfileString("S", std::string("DATA_LSS_Blob"), std::string("0102FF"), ini);  // bad checksum
    Values partial;
    partial.Load(ini.c_str(), "S", 0, nullptr);
    const OwnedLss owned(partial.blob);
    EXPECT_EQ(partial.count, 12);
    EXPECT_EQ(partial.ratio, 0.0);
    EXPECT_EQ(partial.title, "default");
    ASSERT_EQ(partial.blob.size, 2u);
    EXPECT_THAT(std::vector<uint8_t>(partial.blob.data, partial.blob.data + 2), ::testing::ElementsAre(0, 0));
}

class ParameterListKeyStore : public ::testing::Test {
protected:
    ScratchFolder folder;
    ScopedEnv configHome{"XDG_CONFIG_HOME", folder / "config"};
    ScopedEnv configDirs{"XDG_CONFIG_DIRS", folder / "machine"};
};

TEST_F(ParameterListKeyStore, RoundTripsRawValuesOfTheirOwnWidth) {
    Values values = Changed();
    ASSERT_TRUE(values.Save(nullptr, "Software\\Plugins\\Test", HKEY_CURRENT_USER, nullptr));
    const auto stored = [](const char* name) {
        return keystore::QueryValue(HKEY_CURRENT_USER, "Software\\Plugins\\Test", name);
    };
    ASSERT_TRUE(stored("Count"));
    EXPECT_EQ(stored("Count")->type, RegType::None);
    EXPECT_EQ(stored("Count")->bytes.size(), 4u);
    EXPECT_EQ(stored("Gain")->bytes.size(), 4u);
    EXPECT_EQ(stored("Ratio")->bytes.size(), 8u);
    EXPECT_EQ(stored("Title")->bytes.size(), values.title.size());
    EXPECT_EQ(stored("DATA_LSS_Blob")->bytes, (std::vector<uint8_t>{0x01, 0xFE, 0x00}));

    Values loaded;
    loaded.Load(nullptr, "software\\plugins\\test", HKEY_CURRENT_USER, nullptr);
    const OwnedLss owned(loaded.blob);
    EXPECT_EQ(loaded.count, -42);
    EXPECT_EQ(loaded.gain, 1.2345678f);  // raw bytes: no rounding
    EXPECT_EQ(loaded.ratio, 1.0 / 3.0);
    EXPECT_EQ(loaded.title, "Ringtone \"one\"");
    ASSERT_EQ(loaded.blob.size, 3u);
    EXPECT_THAT(std::vector<uint8_t>(loaded.blob.data, loaded.blob.data + 3), ::testing::ElementsAre(1, 0xFE, 0));
}

TEST_F(ParameterListKeyStore, MissingKeyOrValuesOfWrongWidthKeepDefaults) {
    Values absent;
    absent.Load(nullptr, "Nothing\\Here", HKEY_CURRENT_USER, nullptr);
    EXPECT_EQ(absent.count, 11);
    EXPECT_EQ(absent.title, "default");

    keystore::SetValue(HKEY_CURRENT_USER, "K", "Count", {RegType::None, {1, 2}});
    keystore::SetValue(HKEY_CURRENT_USER, "K", "Ratio", {RegType::None, std::vector<uint8_t>(8, 0)});
    Values partial;
    partial.Load(nullptr, "K", HKEY_CURRENT_USER, nullptr);
    EXPECT_EQ(partial.count, 11);
    EXPECT_EQ(partial.ratio, 0.0);
    EXPECT_EQ(partial.gain, 0.5f);
}

TEST_F(ParameterListKeyStore, SavingFailsOnlyWhenTheKeyCannotBeCreated) {
    Values values = Changed();
    EXPECT_FALSE(values.Save(nullptr, "K", HKEY_LOCAL_MACHINE, nullptr));
    WriteFileText(folder / "file", "x");
    {
        ScopedEnv blocked("XDG_CONFIG_HOME", folder / "file/config");
        EXPECT_FALSE(values.Save(nullptr, "K", HKEY_CURRENT_USER, nullptr));
    }
    EXPECT_FALSE(std::filesystem::exists(folder / "config"));
    EXPECT_TRUE(values.Save(nullptr, "K", HKEY_CURRENT_USER, nullptr));
}

}  // namespace
