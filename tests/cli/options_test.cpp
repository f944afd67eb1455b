// Times and options of morvane-cli.
#include <gtest/gtest.h>

#include "cli/src/make_options.h"
#include "cli/src/time_value.h"

namespace {

TEST(CliTime, AcceptedForms) {
    EXPECT_EQ(ParseTime("12"), 12 * 44100);
    EXPECT_EQ(ParseTime("12.5"), 12 * 44100 + 22050);
    EXPECT_EQ(ParseTime("0.001"), 44);  // 44.1 frames, rounded
    EXPECT_EQ(ParseTime("01:30"), 90 * 44100);
    EXPECT_EQ(ParseTime("90:00"), 5400 * 44100) << "minutes may pass 59 without hours";
    EXPECT_EQ(ParseTime("1:02:03.25"), 3723 * 44100 + 11025);
    EXPECT_EQ(ParseTime("00:00:00"), 0);
}

TEST(CliTime, RefusedForms) {
    for (const char* text :
         {"", "abc", "-1", "1:75", "1:60:00", "1.", ".5", "1.2.3", "1:2:3:4", "1::2", "12s", " 12", "1234567890"})
        EXPECT_FALSE(ParseTime(text).has_value()) << '"' << text << '"';
}

TEST(CliTime, Text) {
    EXPECT_EQ(FramesText(44100 * 75 + 441), "01:15.010");
    EXPECT_EQ(FramesText(int64_t{44100} * 3725), "01:02:05.000");
}

std::optional<MakeOptions> Parse(std::vector<std::string> arguments, std::string& error) {
    error.clear();
    return ParseMakeOptions(arguments, error);
}

TEST(CliOptions, DefaultsAndEveryOption) {
    std::string error;
    auto options = Parse({"a.mp3", "-o", "out.mp3"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->tracks, (std::vector<std::string>{"a.mp3"}));
    EXPECT_EQ(options->volume, 100);
    EXPECT_TRUE(options->fadeIn && options->fadeOut && options->normalize);
    EXPECT_EQ(options->kind, OutputKind::Mp3);
    EXPECT_EQ(options->channels, 2u);
    EXPECT_EQ(options->bitrate, 128u);
    EXPECT_FALSE(options->start || options->end || options->length || options->force);

    options = Parse(
        {"--start",        "1:00",     "--length=30",  "a.mp3",         "b.wav",    "--offset2", "2.5",
         "--volume",       "150",      "--no-fade-in", "--no-fade-out", "--effect", "Delay",     "--effect=Wah-Wah",
         "--no-normalize", "--format", "aac",          "--channels",    "1",        "--bitrate", "64",
         "--force",        "-o",       "x.aac"},
        error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->tracks.size(), 2u);
    EXPECT_EQ(*options->start, 60 * 44100);
    EXPECT_EQ(*options->length, 30 * 44100);
    EXPECT_EQ(options->offset2, 2 * 44100 + 22050);
    EXPECT_EQ(options->volume, 150);
    EXPECT_FALSE(options->fadeIn || options->fadeOut || options->normalize);
    EXPECT_EQ(options->effects, (std::vector<std::string>{"Delay", "Wah-Wah"}));
    EXPECT_EQ(options->kind, OutputKind::Aac);
    EXPECT_EQ(options->channels, 1u);
    EXPECT_EQ(options->bitrate, 64u);
    EXPECT_TRUE(options->force);
    EXPECT_EQ(options->output, "x.aac");

    options = Parse({"-o", "o.wav", "--", "-odd name.wav"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->tracks, (std::vector<std::string>{"-odd name.wav"}));
}

TEST(CliOptions, UsageErrors) {
    const std::vector<std::vector<std::string>> bad = {
        {"-o", "out.mp3"},
        {"a.mp3"},
        {"a", "b", "c", "-o", "o"},
        {"a", "-o"},
        {"a", "-o", "o", "--volume", "201"},
        {"a", "-o", "o", "--volume", "-1"},
        {"a", "-o", "o", "--volume", "loud"},
        {"a", "-o", "o", "--channels", "3"},
        {"a", "-o", "o", "--bitrate", "96"},
        {"a", "-o", "o", "--format", "ogg"},
        {"a", "-o", "o", "--start", "1:99"},
        {"a", "-o", "o", "--end", "5", "--length", "2"},
        {"a", "-o", "o", "--offset2", "3"},
        {"a", "-o", "o", "--effect", "A", "--effect", "A"},
        {"a", "-o", "o", "--effect", "A", "--effect", "B", "--effect", "C", "--effect", "D"},
        {"a", "-o", "o", "--fast"},
        {"a", "-o", "o", "--force=yes"},
        {"a", "-o", "o", "--end"},
    };
    for (const auto& arguments : bad) {
        std::string error;
        EXPECT_FALSE(Parse(arguments, error).has_value()) << testing::PrintToString(arguments);
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
