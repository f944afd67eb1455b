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
    EXPECT_TRUE(options->fadeIn && options->fadeOut);
    EXPECT_EQ(options->normalize, NormalizeMode::Peak);
    EXPECT_FALSE(options->limiter || options->loopTag || options->fit || options->preset);
    EXPECT_FALSE(options->title || options->artist);
    EXPECT_EQ(options->encoderTag, QoEncoderMp3);
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
    EXPECT_FALSE(options->fadeIn || options->fadeOut);
    EXPECT_EQ(options->normalize, NormalizeMode::Off);
    EXPECT_EQ(options->effects, (std::vector<std::string>{"Delay", "Wah-Wah"}));
    EXPECT_EQ(options->encoderTag, QoEncoderAac);
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
        {"a", "-o", "o", "--format", "opus"},
        {"a", "-o", "o", "--format", "MP3"},
        {"a", "-o", "o", "--preset", "nokia"},
        {"a", "-o", "o", "--preset"},
        {"a", "-o", "o", "--fit"},
        {"a", "-o", "o", "--limit=yes"},
        {"a", "-o", "o", "--title"},
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

TEST(CliOptions, EachFormatByItsExtension) {
    const std::vector<uint32_t> tags = FormatTags();
    ASSERT_EQ(tags.size(), 7u);
    std::vector<std::string> names;
    for (const uint32_t tag : tags) {
        std::string error;
        const std::string name = FormatName(tag);
        names.push_back(name);
        const auto options = Parse({"a", "-o", "o", "--format", name}, error);
        ASSERT_TRUE(options) << name << ": " << error;
        EXPECT_EQ(options->encoderTag, tag) << name;
    }
    EXPECT_EQ(names, (std::vector<std::string>{"mp3", "aac", "m4r", "m4a", "ogg", "flac", "wav"}));
    EXPECT_EQ(FormatName(RingtoneSaver::kWaveOutput), "wav");

    std::string error;
    const auto flac = Parse({"a", "-o", "o", "--bitrate", "64", "--format", "flac"}, error);
    ASSERT_TRUE(flac) << error << ": a lossless format takes the bit rate and ignores it";
    EXPECT_FALSE(Parse({"a", "-o", "o", "--format", "ogg4"}, error));
    EXPECT_EQ(error, "invalid value for --format: 'ogg4' (mp3, aac, m4r, m4a, ogg, flac or wav)");
}

TEST(CliOptions, PresetsChooseTheOutputAndTheLevel) {
    struct Case {
        const char* name;
        uint32_t tag;
        NormalizeMode mode;
        double target;
    };
    for (const Case& c : {Case{"iphone", QoEncoderM4r, NormalizeMode::Loudness, -14.0},
                          Case{"iphone-alert", QoEncoderM4r, NormalizeMode::Loudness, -18.0},
                          Case{"android", QoEncoderOgg, NormalizeMode::Loudness, -14.0},
                          Case{"android-notification", QoEncoderOgg, NormalizeMode::Loudness, -18.0},
                          Case{"android-alarm", QoEncoderOgg, NormalizeMode::Loudness, -14.0},
                          Case{"any", QoEncoderMp3, NormalizeMode::Peak, -14.0}}) {
        std::string error;
        const auto options = Parse({"a", "--preset", c.name, "-o", "o"}, error);
        ASSERT_TRUE(options) << c.name << ": " << error;
        EXPECT_EQ(options->preset, PresetByName(c.name));
        EXPECT_EQ(options->encoderTag, c.tag) << c.name;
        EXPECT_EQ(options->channels, 2u) << c.name;
        EXPECT_EQ(options->bitrate, 128u) << c.name;
        EXPECT_EQ(options->normalize, c.mode) << c.name;
        EXPECT_DOUBLE_EQ(options->loudnessTarget, c.target) << c.name;
        EXPECT_FALSE(options->limiter) << c.name << ": the loudness mode runs the limiter itself";
    }
}

TEST(CliOptions, GivenOptionsOverrideThePresetBeforeOrAfterIt) {
    std::string error;
    for (const auto& arguments :
         {std::vector<std::string>{"--format", "flac", "--channels", "1", "--bitrate", "256", "--normalize", "--preset",
                                   "iphone", "a", "-o", "o"},
          {"--preset=iphone", "--format=flac", "--channels=1", "--bitrate=256", "--normalize", "a", "-o", "o"}}) {
        const auto options = Parse(arguments, error);
        ASSERT_TRUE(options) << error;
        EXPECT_EQ(options->encoderTag, QoEncoderFlac);
        EXPECT_EQ(options->channels, 1u);
        EXPECT_EQ(options->bitrate, 256u);
        EXPECT_EQ(options->normalize, NormalizeMode::Peak);
    }
    auto options = Parse({"--loudness", "-20", "a", "--preset", "iphone-alert", "-o", "o"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->normalize, NormalizeMode::Loudness);
    EXPECT_DOUBLE_EQ(options->loudnessTarget, -20.0) << "the given target, not the notification one";

    options = Parse({"a", "--no-normalize", "--preset", "android", "-o", "o", "--limit"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->normalize, NormalizeMode::Off);
    EXPECT_TRUE(options->limiter);
    EXPECT_EQ(options->encoderTag, QoEncoderOgg);

    // Among the level options the last one counts, as with the fades.
    options = Parse({"a", "--loudness", "-16", "--normalize", "-o", "o"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->normalize, NormalizeMode::Peak);
    options = Parse({"a", "--no-normalize", "--loudness=-16", "-o", "o"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->normalize, NormalizeMode::Loudness);
    EXPECT_DOUBLE_EQ(options->loudnessTarget, -16.0);

    // A later preset does not undo what was given before it.
    options = Parse({"a", "--format", "wav", "--preset", "android", "--preset", "iphone", "-o", "o"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->preset, RingtonePreset::IPhoneRingtone);
    EXPECT_EQ(options->encoderTag, RingtoneSaver::kWaveOutput);
}

TEST(CliOptions, LoudnessTargets) {
    std::string error;
    for (const auto& [text, lufs] : std::vector<std::pair<std::string, double>>{
             {"-14", -14.0}, {"-23.5", -23.5}, {"0", 0.0}, {"-70", -70.0}, {"-0.5", -0.5}}) {
        const auto options = Parse({"a", "-o", "o", "--loudness", text}, error);
        ASSERT_TRUE(options) << text << ": " << error;
        EXPECT_EQ(options->normalize, NormalizeMode::Loudness);
        EXPECT_DOUBLE_EQ(options->loudnessTarget, lufs) << text;
    }
    for (const char* text : {"", "loud", "1", "0.1", "-70.1", "-100", "nan", "inf", "-inf", "-14dB", "-14 ", "--14"}) {
        EXPECT_FALSE(Parse({"a", "-o", "o", "--loudness", text}, error)) << '"' << text << '"';
        EXPECT_EQ(error, "invalid value for --loudness: '" + std::string(text) + "' (LUFS from -70 to 0)");
    }
}

TEST(CliOptions, TagsLoopTagAndFit) {
    std::string error;
    auto options =
        Parse({"a", "-o", "o", "--title", "Morning Bell", "--artist=", "--format", "ogg", "--loop-tag"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_EQ(options->title, "Morning Bell");
    EXPECT_EQ(options->artist, "") << "an empty artist is given, not left to the track";
    EXPECT_TRUE(options->loopTag);

    options = Parse({"a", "--loop-tag", "--preset", "android-alarm", "-o", "o"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_TRUE(options->loopTag);
    for (const auto& arguments : {std::vector<std::string>{"a", "-o", "o", "--loop-tag"},
                                  {"a", "-o", "o", "--loop-tag", "--preset", "iphone"},
                                  {"a", "-o", "o", "--loop-tag", "--preset", "android", "--format", "m4a"}}) {
        EXPECT_FALSE(Parse(arguments, error)) << testing::PrintToString(arguments);
        EXPECT_EQ(error, "--loop-tag needs the ogg format (--format ogg or an android preset)");
    }

    options = Parse({"--fit", "a", "-o", "o", "--preset", "iphone"}, error);
    ASSERT_TRUE(options) << error;
    EXPECT_TRUE(options->fit);
    EXPECT_FALSE(Parse({"a", "-o", "o", "--fit"}, error));
    EXPECT_EQ(error, "--fit needs a --preset");
}

}  // namespace
