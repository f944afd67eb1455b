// Private-profile functions: value parsing, lookups, edits that keep the rest of the file,
// the struct form with its checksum, and the atomic rewrite.
#include <sys/stat.h>

#include <cstring>
#include <filesystem>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/ini_file.h"
#include "tests/platform/scratch.h"

namespace {

class IniFileTest : public ::testing::Test {
protected:
    ScratchFolder folder;
    std::string path = folder / "settings.ini";
};

TEST_F(IniFileTest, IntegersParseLikeWindows) {
    WriteFileText(path,
                  "[Numbers]\n"
                  "plain=42\n"
                  "blanks=   17   \n"
                  "negative=-17\n"
                  "plus=+5\n"
                  "hex=0x1F\n"
                  "negativeHex=-0X10\n"
                  "trailing=12abc\n"
                  "letters=abc\n"
                  "empty=\n"
                  "quoted=\"7\"\n"
                  "wraps=4294967297\n"
                  "blankAfterSign=- 3\n");
    EXPECT_EQ(GetPrivateProfileInt("Numbers", "plain", -1, path), 42);
    EXPECT_EQ(GetPrivateProfileInt("Numbers", "blanks", -1, path), 17);
    EXPECT_EQ(GetPrivateProfileInt("Numbers", "negative", -1, path), -17);
    EXPECT_EQ(GetPrivateProfileInt("Numbers", "plus", -1, path), 5);
    EXPECT_EQ(GetPrivateProfileInt("Numbers", "hex", -1, path), 31);
    EXPECT_EQ(GetPrivateProfileInt("Numbers", "negativeHex", -1, path), -16);
    EXPECT_EQ(GetPrivateProfileInt("Numbers", "trailing", -1, path), 12);
    EXPECT_EQ(GetPrivateProfileInt("Numbers", "letters", -1, path), 0);
    EXPECT_EQ(GetPrivateProfileInt("Numbers", "empty", -1, path), -1);
    EXPECT_EQ(GetPrivateProfileInt("Numbers", "quoted", -1, path), 7);
    EXPECT_EQ(GetPrivateProfileInt("Numbers", "wraps", -1, path), 1);
    EXPECT_EQ(GetPrivateProfileInt("Numbers", "blankAfterSign", -1, path), 0);
    EXPECT_EQ(GetPrivateProfileInt("Numbers", "missing", 99, path), 99);
    EXPECT_EQ(GetPrivateProfileInt("Other", "plain", 98, path), 98);
    EXPECT_EQ(GetPrivateProfileInt("Numbers", "plain", 97, folder / "absent.ini"), 97);
    EXPECT_EQ(GetPrivateProfileInt("Numbers", "plain", 96, folder.Path()), 96);
}

TEST_F(IniFileTest, StringsAreTrimmedUnquotedAndCut) {
    WriteFileText(path,
                  "[Texts]\n"
                  "padded =  some text \t\n"
                  "double=\"  quoted  \"\n"
                  "single='x'\n"
                  "nested=\"\"inner\"\"\n"
                  "unbalanced=\"open\n"
                  "utf8=h\xC3\xA9llo\n"
                  "equals=a=b\n");
    EXPECT_EQ(GetPrivateProfileString("Texts", "padded", "", path), "some text");
    EXPECT_EQ(GetPrivateProfileString("Texts", "double", "", path), "  quoted  ");
    EXPECT_EQ(GetPrivateProfileString("Texts", "single", "", path), "x");
    EXPECT_EQ(GetPrivateProfileString("Texts", "nested", "", path), "\"inner\"");
    EXPECT_EQ(GetPrivateProfileString("Texts", "unbalanced", "", path), "\"open");
    EXPECT_EQ(GetPrivateProfileString("Texts", "equals", "", path), "a=b");
    EXPECT_EQ(GetPrivateProfileString("Texts", "padded", "", path, 5), "some");
    EXPECT_EQ(GetPrivateProfileString("Texts", "padded", "", path, 0), "");
    // Never a cut UTF-8 sequence: "h" then the two bytes of 'é' do not fit in 2 bytes.
    EXPECT_EQ(GetPrivateProfileString("Texts", "utf8", "", path, 3), "h");
    EXPECT_EQ(GetPrivateProfileString("Texts", "utf8", "", path, 4), "h\xC3\xA9");
    EXPECT_EQ(GetPrivateProfileString("Texts", "missing", "fallback", path), "fallback");
    EXPECT_EQ(GetPrivateProfileString("Texts", "missing", "fallback", path, 4), "fal");
}

TEST_F(IniFileTest, NamesIgnoreCaseAndFirstMatchWins) {
    WriteFileText(path,
                  "[General]\n"
                  "Volume=1\n"
                  "volume=2\n"
                  "[Other]\n"
                  "Volume=3\n"
                  "[ general ]\n"
                  "Extra=4\n");
    EXPECT_EQ(GetPrivateProfileInt("GENERAL", "VOLUME", 0, path), 1);
    EXPECT_EQ(GetPrivateProfileInt("general", "extra", 0, path), 4);
    EXPECT_EQ(GetPrivateProfileInt("other", "volume", 0, path), 3);
    EXPECT_EQ(GetPrivateProfileInt(" General ", " Volume ", 0, path), 1);
}

TEST_F(IniFileTest, ToleratesCrlfByteOrderMarkAndOddLines) {
    WriteFileText(path,
                  "\xEF\xBB\xBF[A]\r\n"
                  "; a comment=with equals\r\n"
                  "no equals sign here\r\n"
                  "[broken header\r\n"
                  "key=value\r\n"
                  "\r\n"
                  "[B]\r\n"
                  "n=5");
    EXPECT_EQ(GetPrivateProfileString("A", "key", "", path), "value");
    EXPECT_EQ(GetPrivateProfileString("A", "; a comment", "none", path), "none");
    EXPECT_EQ(GetPrivateProfileInt("B", "n", 0, path), 5);

    ASSERT_TRUE(WritePrivateProfileString("A", std::string("added"), std::string("1"), path));
    ASSERT_TRUE(WritePrivateProfileString("B", std::string("n"), std::string("6"), path));
    EXPECT_EQ(ReadFileText(path),
              "\xEF\xBB\xBF[A]\r\n"
              "; a comment=with equals\r\n"
              "no equals sign here\r\n"
              "[broken header\r\n"
              "key=value\r\n"
              "added=1\r\n"
              "\r\n"
              "[B]\r\n"
              "n=6\n");
}

TEST_F(IniFileTest, WritesCreateUpdateAndKeepEverythingElse) {
    ASSERT_TRUE(WritePrivateProfileString("First", std::string("a"), std::string("1"), path));
    ASSERT_TRUE(WritePrivateProfileString("Second", std::string("b"), std::string("2"), path));
    ASSERT_TRUE(WritePrivateProfileString("First", std::string("c"), std::string("3"), path));
    ASSERT_TRUE(WritePrivateProfileString("FIRST", std::string("A"), std::string("10"), path));
    EXPECT_EQ(ReadFileText(path), "[First]\na=10\nc=3\n[Second]\nb=2\n");

    WriteFileText(path, "; header comment\n[S]\n  Key = old ; not a comment\n# hash line\n");
    ASSERT_TRUE(WritePrivateProfileString("s", std::string("key"), std::string("new"), path));
    EXPECT_EQ(ReadFileText(path), "; header comment\n[S]\n  Key =new\n# hash line\n");
}

TEST_F(IniFileTest, NullKeyDeletesSectionAndNullValueDeletesKey) {
    WriteFileText(path, "[Keep]\nx=1\n[Drop]\ny=2\n; comment in drop\n[Keep2]\nz=3\n[drop]\nw=4\n");
    ASSERT_TRUE(WritePrivateProfileString("DROP", std::nullopt, std::nullopt, path));
    EXPECT_EQ(ReadFileText(path), "[Keep]\nx=1\n[Keep2]\nz=3\n");

    ASSERT_TRUE(WritePrivateProfileString("keep2", std::string("Z"), std::nullopt, path));
    EXPECT_EQ(ReadFileText(path), "[Keep]\nx=1\n[Keep2]\n");
    EXPECT_EQ(GetPrivateProfileInt("Keep2", "z", -1, path), -1);

    const std::string absent = folder / "never.ini";
    EXPECT_TRUE(WritePrivateProfileString("S", std::string("k"), std::nullopt, absent));
    EXPECT_TRUE(WritePrivateProfileString("S", std::nullopt, std::nullopt, absent));
    EXPECT_FALSE(std::filesystem::exists(absent));
}

TEST_F(IniFileTest, RefusesWhatCannotBeRepresented) {
    EXPECT_FALSE(WritePrivateProfileString("S", std::string("a=b"), std::string("1"), path));
    EXPECT_FALSE(WritePrivateProfileString("S", std::string("k"), std::string("two\nlines"), path));
    EXPECT_FALSE(WritePrivateProfileString("S]x", std::string("k"), std::string("1"), path));
    EXPECT_FALSE(WritePrivateProfileString("S", std::string("[k"), std::string("1"), path));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_FALSE(WritePrivateProfileString("S", std::string("k"), std::string("1"), folder / "missing/x.ini"));
}

TEST_F(IniFileTest, StructsCarryAChecksum) {
    const uint8_t bytes[] = {0x01, 0xFE, 0x00};
    ASSERT_TRUE(WritePrivateProfileStruct("Data", "block", bytes, 3, path));
    EXPECT_EQ(GetPrivateProfileString("Data", "block", "", path), "01FE00FF");

    uint8_t read[3] = {};
    ASSERT_TRUE(GetPrivateProfileStruct("Data", "block", read, 3, path));
    EXPECT_EQ(0, std::memcmp(read, bytes, 3));

    uint8_t untouched[4] = {9, 9, 9, 9};
    EXPECT_FALSE(GetPrivateProfileStruct("Data", "block", untouched, 4, path));  // wrong length
    EXPECT_FALSE(GetPrivateProfileStruct("Data", "block", untouched, 2, path));
    EXPECT_FALSE(GetPrivateProfileStruct("Data", "missing", untouched, 3, path));
    WritePrivateProfileString("Data", std::string("badsum"), std::string("01FE00FE"), path);
    EXPECT_FALSE(GetPrivateProfileStruct("Data", "badsum", untouched, 3, path));
    WritePrivateProfileString("Data", std::string("baddigit"), std::string("01FG00FF"), path);
    EXPECT_FALSE(GetPrivateProfileStruct("Data", "baddigit", untouched, 3, path));
    EXPECT_THAT(untouched, ::testing::ElementsAre(9, 9, 9, 9));

    WritePrivateProfileString("Data", std::string("lower"), std::string("01fe00ff"), path);
    EXPECT_TRUE(GetPrivateProfileStruct("Data", "lower", untouched, 3, path));
    EXPECT_THAT(untouched, ::testing::ElementsAre(0x01, 0xFE, 0x00, 9));

    ASSERT_TRUE(WritePrivateProfileStruct("Data", "empty", bytes, 0, path));
    EXPECT_EQ(GetPrivateProfileString("Data", "empty", "", path), "00");
    EXPECT_TRUE(GetPrivateProfileStruct("Data", "empty", untouched, 0, path));

    ASSERT_TRUE(WritePrivateProfileStruct("Data", "block", nullptr, 0, path));
    EXPECT_EQ(GetPrivateProfileString("Data", "block", "gone", path), "gone");
}

TEST_F(IniFileTest, RewriteKeepsModeLeavesNoTemporaryAndFollowsLinks) {
    WriteFileText(path, "[S]\nk=1\n");
    ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(WritePrivateProfileString("S", std::string("k"), std::string("2"), path));
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);

    const std::string link = folder / "link.ini";
    std::filesystem::create_symlink(path, link);
    ASSERT_TRUE(WritePrivateProfileString("S", std::string("viaLink"), std::string("3"), link));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(GetPrivateProfileInt("S", "viaLink", 0, path), 3);

    int entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.Path())) ++entries;
    EXPECT_EQ(entries, 2);  // the file and the link, no temporary left behind
}

TEST_F(IniFileTest, UnchangedValueDoesNotRewrite) {
    ASSERT_TRUE(WritePrivateProfileString("S", std::string("k"), std::string("1"), path));
    struct stat before {};
    ASSERT_EQ(::stat(path.c_str(), &before), 0);
    ASSERT_TRUE(WritePrivateProfileString("S", std::string("K"), std::string("1"), path));
    struct stat after {};
    ASSERT_EQ(::stat(path.c_str(), &after), 0);
    EXPECT_EQ(before.st_ino, after.st_ino);
}

}  // namespace
