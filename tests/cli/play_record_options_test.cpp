// The options of "morvane-cli play" (make's, without the output file's) and of
// "morvane-cli record".
#include <gtest/gtest.h>

#include "cli/src/make_options.h"
#include "cli/src/record_options.h"

namespace {

TEST(CliPlayOptions, TakeTheRingtonesOptionsAndRepeat) {
    std::string error;
    const auto options = ParseMakeOptions({"a.wav", "b.mp3", "--start", "2", "--length=1.5", "--offset2", "1",
                                           "--volume", "80", "--no-fade-out", "--effect", "Delay", "--repeat"},
                                          error, OptionsFor::Play);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->tracks, (std::vector<std::string>{"a.wav", "b.mp3"}));
    EXPECT_EQ(options->start, 2 * 44100);
    EXPECT_EQ(options->length, 66150);
    EXPECT_EQ(options->offset2, 44100);
    EXPECT_EQ(options->volume, 80);
    EXPECT_TRUE(options->fadeIn);
    EXPECT_FALSE(options->fadeOut);
    EXPECT_EQ(options->effects, (std::vector<std::string>{"Delay"}));
    EXPECT_TRUE(options->repeat);
    EXPECT_TRUE(options->output.empty());

    const auto once = ParseMakeOptions({"a.wav"}, error, OptionsFor::Play);
    ASSERT_TRUE(once) << error;
    EXPECT_FALSE(once->repeat);
}

TEST(CliPlayOptions, RefuseTheOutputFilesOptionsAndMakeRefusesRepeat) {
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{"a.wav", "-o", "x.mp3"},
                                                      {"a.wav", "--format", "wav"},
                                                      {"a.wav", "--channels", "1"},
                                                      {"a.wav", "--bitrate=64"},
                                                      {"a.wav", "--normalize"},
                                                      {"a.wav", "--no-normalize"},
                                                      {"a.wav", "--preset", "iphone"},
                                                      {"a.wav", "--fit"},
                                                      {"a.wav", "--loudness", "-14"},
                                                      {"a.wav", "--limit"},
                                                      {"a.wav", "--loop-tag"},
                                                      {"a.wav", "--title=x"},
                                                      {"a.wav", "--artist", "y"},
                                                      {"a.wav", "--force"}}) {
        std::string error;
        EXPECT_FALSE(ParseMakeOptions(arguments, error, OptionsFor::Play)) << testing::PrintToString(arguments);
        EXPECT_NE(error.find("is an option of make"), std::string::npos) << error;
    }
    std::string error;
    EXPECT_FALSE(ParseMakeOptions({"a.wav", "-o", "x.mp3", "--repeat"}, error));
    EXPECT_EQ(error, "unknown option '--repeat'");
    EXPECT_FALSE(ParseMakeOptions({"a.wav", "--repeat=yes"}, error, OptionsFor::Play));
    EXPECT_EQ(error, "--repeat takes no value");
    EXPECT_FALSE(ParseMakeOptions({"--repeat"}, error, OptionsFor::Play));
    EXPECT_EQ(error, "no track given");
}

TEST(CliRecordOptions, OutputLengthAndForce) {
    std::string error;
    auto options = ParseRecordOptions({"take.wav", "--seconds", "2.5"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->output, "take.wav");
    EXPECT_EQ(options->frames, 110250);
    EXPECT_FALSE(options->force);
    options = ParseRecordOptions({"--force", "--seconds=01:00", "--", "-take.mp3"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->output, "-take.mp3");
    EXPECT_EQ(options->frames, 60 * 44100);
    EXPECT_TRUE(options->force);
}

TEST(CliRecordOptions, UsageErrors) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"take.wav"}, "no length given (--seconds N)"},
        {{"--seconds", "3"}, "no output file given"},
        {{"take.wav", "--seconds"}, "--seconds needs a value"},
        {{"take.wav", "--seconds", "0"}, "invalid time for --seconds: '0' (more than 0 seconds)"},
        {{"take.wav", "--seconds", "-2"}, "invalid time for --seconds: '-2' (more than 0 seconds)"},
        {{"take.wav", "--seconds", "soon"}, "invalid time for --seconds: 'soon' (more than 0 seconds)"},
        {{"a.wav", "b.wav", "--seconds", "1"}, "record writes one file"},
        {{"take.wav", "--seconds", "1", "--force=yes"}, "--force takes no value"},
        {{"take.wav", "--seconds", "1", "--repeat"}, "unknown option '--repeat'"},
    };
    for (const auto& [arguments, message] : cases) {
        std::string error;
        EXPECT_FALSE(ParseRecordOptions(arguments, error)) << testing::PrintToString(arguments);
        EXPECT_EQ(error, message);
    }
}

}  // namespace
