// The key store: per-user values under $XDG_CONFIG_HOME, the read-only machine-wide store
// from $XDG_CONFIG_DIRS, the typed text form, and names that the INI form gives a meaning.
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/key_store.h"
#include "tests/platform/scratch.h"

namespace {

const std::string kKey = "SOFTWARE\\Zo Ruvo\\Qo Morvane\\Qo Morvane 1.0";

class KeyStoreTest : public ::testing::Test {
protected:
    ScratchFolder folder;
    ScopedEnv configHome{"XDG_CONFIG_HOME", folder / "config"};
    ScopedEnv configDirs{"XDG_CONFIG_DIRS", folder / "nowhere"};
    std::string storePath = folder / "config/morvane/registry.ini";
};

TEST_F(KeyStoreTest, ValuesRoundTripInTheirTextForm) {
    ASSERT_TRUE(keystore::SetInt(HKEY_CURRENT_USER, kKey, "Count", 42));
    ASSERT_TRUE(keystore::SetInt(HKEY_CURRENT_USER, kKey, "Negative", -2));
    ASSERT_TRUE(keystore::SetString(HKEY_CURRENT_USER, kKey, "Folder", "/home/a b/\"x\"\\y\n\tz"));
    ASSERT_TRUE(keystore::SetValue(HKEY_CURRENT_USER, kKey, "Blob", {RegType::Binary, {0x01, 0xFE, 0x00}}));
    ASSERT_TRUE(keystore::SetValue(HKEY_CURRENT_USER, kKey, "Raw", {RegType::None, {0xAA, 0xBB}}));

    EXPECT_EQ(keystore::GetInt(HKEY_CURRENT_USER, kKey, "Count", 0), 42);
    EXPECT_EQ(keystore::GetInt(HKEY_CURRENT_USER, kKey, "Negative", 0), -2);
    EXPECT_EQ(keystore::GetString(HKEY_CURRENT_USER, kKey, "Folder", ""), "/home/a b/\"x\"\\y\n\tz");
    const std::optional<RegValue> blob = keystore::QueryValue(HKEY_CURRENT_USER, kKey, "Blob");
    ASSERT_TRUE(blob);
    EXPECT_EQ(blob->type, RegType::Binary);
    EXPECT_EQ(blob->bytes, (std::vector<uint8_t>{0x01, 0xFE, 0x00}));
    const std::optional<RegValue> raw = keystore::QueryValue(HKEY_CURRENT_USER, kKey, "Raw");
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->type, RegType::None);
    EXPECT_EQ(raw->bytes, (std::vector<uint8_t>{0xAA, 0xBB}));

    EXPECT_EQ(ReadFileText(storePath), "[" + kKey +
                                           "]\n"
                                           "Count=dword:0000002a\n"
                                           "Negative=dword:fffffffe\n"
                                           "Folder=string:\"/home/a b/\\\"x\\\"\\\\y\\n\\tz\"\n"
                                           "Blob=hex:01FE00\n"
                                           "Raw=hex(0):AABB\n");
}

TEST_F(KeyStoreTest, NamesIgnoreCaseAndAwkwardCharactersSurvive) {
    ASSERT_TRUE(keystore::SetInt(HKEY_CURRENT_USER, kKey, "Volume", 1));
    ASSERT_TRUE(keystore::SetInt(HKEY_CURRENT_USER, "software\\ZO RUVO\\qo morvane\\QO MORVANE 1.0", "VOLUME", 2));
    EXPECT_EQ(keystore::GetInt(HKEY_CURRENT_USER, kKey, "volume", 0), 2);

    const std::vector<std::string> names = {"a=b", " padded ", ";comment", "[bracket]", "50%", "line\nbreak", ""};
    for (size_t i = 0; i < names.size(); ++i)
        ASSERT_TRUE(keystore::SetInt(HKEY_CURRENT_USER, "Odd]Key", names[i], static_cast<int32_t>(i) + 10));
    for (size_t i = 0; i < names.size(); ++i)
        EXPECT_EQ(keystore::GetInt(HKEY_CURRENT_USER, "Odd]Key", names[i], -1), static_cast<int32_t>(i) + 10) << i;
    EXPECT_EQ(keystore::GetInt(HKEY_CURRENT_USER, "Odd]Key", "a", -1), -1);
}

TEST_F(KeyStoreTest, KeysExistWithTheirParentsAndValuesCanBeDeleted) {
    EXPECT_FALSE(keystore::KeyExists(HKEY_CURRENT_USER, kKey));
    ASSERT_TRUE(keystore::CreateKey(HKEY_CURRENT_USER, kKey));
    EXPECT_TRUE(keystore::KeyExists(HKEY_CURRENT_USER, kKey));
    EXPECT_TRUE(keystore::KeyExists(HKEY_CURRENT_USER, "software\\zo ruvo"));
    EXPECT_FALSE(keystore::KeyExists(HKEY_CURRENT_USER, "SOFTWARE\\Zo"));
    EXPECT_FALSE(keystore::QueryValue(HKEY_CURRENT_USER, kKey, "Nothing"));

    ASSERT_TRUE(keystore::SetInt(HKEY_CURRENT_USER, kKey, "Gone", 5));
    EXPECT_TRUE(keystore::DeleteValue(HKEY_CURRENT_USER, kKey, "gone"));
    EXPECT_FALSE(keystore::DeleteValue(HKEY_CURRENT_USER, kKey, "gone"));
    EXPECT_EQ(keystore::GetInt(HKEY_CURRENT_USER, kKey, "Gone", 7), 7);
}

TEST_F(KeyStoreTest, WrongTypesAndMalformedTextGiveDefaults) {
    std::filesystem::create_directories(folder / "config/morvane");
    WriteFileText(storePath,
                  "[K]\n"
                  "Text=string:\"abc\"\n"
                  "Short=dword:2a\n"
                  "Unquoted=string:abc\n"
                  "BadHex=hex:0G\n"
                  "OddHex=hex:012\n"
                  "BadEscape=string:\"\\q\"\n"
                  "Unknown=float:1.5\n"
                  "Typed=hex(7):00\n");
    EXPECT_EQ(keystore::GetInt(HKEY_CURRENT_USER, "K", "Text", -1), -1);
    EXPECT_EQ(keystore::GetString(HKEY_CURRENT_USER, "K", "Text", ""), "abc");
    for (const char* name : {"Short", "Unquoted", "BadHex", "OddHex", "BadEscape", "Unknown"})
        EXPECT_FALSE(keystore::QueryValue(HKEY_CURRENT_USER, "K", name)) << name;
    const std::optional<RegValue> typed = keystore::QueryValue(HKEY_CURRENT_USER, "K", "Typed");
    ASSERT_TRUE(typed);
    EXPECT_EQ(static_cast<uint32_t>(typed->type), 7u);
}

TEST_F(KeyStoreTest, EnvironmentIsReadAtEveryCall) {
    ASSERT_TRUE(keystore::SetInt(HKEY_CURRENT_USER, "K", "V", 1));
    {
        ScopedEnv otherHome("XDG_CONFIG_HOME", folder / "other");
        EXPECT_EQ(keystore::GetInt(HKEY_CURRENT_USER, "K", "V", 0), 0);
        ASSERT_TRUE(keystore::SetInt(HKEY_CURRENT_USER, "K", "V", 2));
        EXPECT_TRUE(std::filesystem::exists(folder / "other/morvane/registry.ini"));
    }
    EXPECT_EQ(keystore::GetInt(HKEY_CURRENT_USER, "K", "V", 0), 1);

    // Without XDG_CONFIG_HOME (or with a relative one) the store is under $HOME/.config.
    ScopedEnv home("HOME", folder / "home");
    for (const std::optional<std::string>& value : {std::optional<std::string>(), std::optional<std::string>("rel")}) {
        ScopedEnv unset("XDG_CONFIG_HOME", value);
        ASSERT_TRUE(keystore::SetInt(HKEY_CURRENT_USER, "K", "V", 3));
        EXPECT_TRUE(std::filesystem::exists(folder / "home/.config/morvane/registry.ini"));
    }
}

TEST_F(KeyStoreTest, MachineStoreIsReadFromTheFirstConfigFolderAndNeverWritten) {
    for (const char* name : {"first", "second"}) {
        std::filesystem::create_directories(folder / (std::string(name) + "/morvane"));
        WriteFileText(folder / (std::string(name) + "/morvane/registry.ini"),
                      std::string("[Machine\\Key]\nWho=string:\"") + name + "\"\n");
    }
    ScopedEnv dirs("XDG_CONFIG_DIRS",
                   "relative:" + folder / "empty" + ":" + folder / "first" + ":" + folder / "second");

    EXPECT_EQ(keystore::GetString(HKEY_LOCAL_MACHINE, "machine\\key", "who", ""), "first");
    EXPECT_TRUE(keystore::KeyExists(HKEY_LOCAL_MACHINE, "Machine\\Key"));
    EXPECT_FALSE(keystore::KeyExists(HKEY_CURRENT_USER, "Machine\\Key"));
    EXPECT_EQ(keystore::GetString(HKEY_CURRENT_USER, "Machine\\Key", "Who", "none"), "none");

    EXPECT_FALSE(keystore::CreateKey(HKEY_LOCAL_MACHINE, "Machine\\Key"));
    EXPECT_FALSE(keystore::SetInt(HKEY_LOCAL_MACHINE, "Machine\\Key", "New", 1));
    EXPECT_FALSE(keystore::DeleteValue(HKEY_LOCAL_MACHINE, "Machine\\Key", "Who"));
    EXPECT_EQ(ReadFileText(folder / "first/morvane/registry.ini"), "[Machine\\Key]\nWho=string:\"first\"\n");
    EXPECT_FALSE(std::filesystem::exists(storePath));
}

TEST_F(KeyStoreTest, UnknownRootsAndUnusableFoldersFail) {
    EXPECT_FALSE(keystore::CreateKey(0x80000000, "K"));
    EXPECT_FALSE(keystore::SetInt(0x80000000, "K", "V", 1));
    EXPECT_FALSE(keystore::QueryValue(0x80000000, "K", "V"));

    WriteFileText(folder / "plainfile", "not a folder");
    ScopedEnv blocked("XDG_CONFIG_HOME", folder / "plainfile/config");
    EXPECT_FALSE(keystore::CreateKey(HKEY_CURRENT_USER, "K"));
    EXPECT_FALSE(keystore::SetInt(HKEY_CURRENT_USER, "K", "V", 1));
    EXPECT_EQ(keystore::GetInt(HKEY_CURRENT_USER, "K", "V", 9), 9);
}

}  // namespace
