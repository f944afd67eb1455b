// Every output format of morvane-cli make, probed with ffprobe and decoded with ffmpeg: the
// container and codec, the channels, the length of the range and the tags.
#include <algorithm>
#include <cctype>
#include <cstdio>

#include "make_fixture.h"

namespace {

// ffprobe's format name, the audio stream's codec and channels, and every tag, as
// key=value lines in lower case.
std::string ProbeFile(const std::string& path) {
    const std::string command =
        "ffprobe -v error -select_streams a:0 -show_entries "
        "format=format_name:format_tags:stream=codec_name,channels:stream_tags -of default=noprint_wrappers=1 '" +
        path + "'";
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char line[512];
        while (std::fgets(line, sizeof line, pipe)) output += line;
        ::pclose(pipe);
    }
    std::transform(output.begin(), output.end(), output.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return output;
}

bool Has(const std::string& probe, const std::string& line) { return probe.find(line + "\n") != std::string::npos; }

class CliFormats : public CliMake {
protected:
    // The frames ffmpeg decodes from the file, at 44100 Hz.
    size_t DecodedFrames(const std::string& path) { return DecodeWithFfmpeg(path, 1).size(); }
};

TEST_F(CliFormats, EachFormatHasItsContainerCodecChannelsLengthAndTags) {
    struct Expected {
        const char* format;
        const char* container;  // ffprobe's format_name
        const char* codec;
        bool tags;
    };
    const Expected formats[] = {
        {"mp3", "mp3", "mp3", true},
        {"aac", "aac", "aac", false},  // ADTS has no tags
        {"m4r", "mov,mp4,m4a,3gp,3g2,mj2", "aac", true},
        {"m4a", "mov,mp4,m4a,3gp,3g2,mj2", "aac", true},
        {"ogg", "ogg", "vorbis", true},
        {"flac", "flac", "flac", true},
        {"wav", "wav", "pcm_s16le", true},
    };
    Tone("song.wav", 6, "");
    int channels = 1;
    for (const Expected& expected : formats) {
        SCOPED_TRACE(expected.format);
        channels = 3 - channels;
        const std::string out = std::string("ring.") + expected.format;
        MakeOk({"song.wav", "--start", "1.5", "--length", "3", "--format", expected.format, "--channels",
                std::to_string(channels), "--title", "Bell " + std::string(expected.format), "--artist", "Someone Else",
                "-o", out});
        const std::string path = inputs_ + "/" + out;
        const std::string probe = ProbeFile(path);
        EXPECT_TRUE(Has(probe, std::string("format_name=") + expected.container)) << probe;
        EXPECT_TRUE(Has(probe, std::string("codec_name=") + expected.codec)) << probe;
        EXPECT_TRUE(Has(probe, "channels=" + std::to_string(channels))) << probe;
        EXPECT_EQ(Has(probe, std::string("tag:title=bell ") + expected.format), expected.tags) << probe;
        EXPECT_EQ(Has(probe, "tag:artist=someone else"), expected.tags) << probe;
        EXPECT_NEAR(static_cast<double>(DecodedFrames(path)) / 44100, 3.0, 0.05);
    }
    EXPECT_TRUE(Has(ProbeFile(inputs_ + "/ring.m4r"), "tag:major_brand=m4a ")) << "the iPhone's ringtone brand";
}

TEST_F(CliFormats, TagsComeFromTheBasicTrackUnlessGiven) {
    ASSERT_TRUE(
        Ffmpeg("-f lavfi -i sine=f=440:d=2 -ac 2 -ar 44100 -metadata title='Morning Bell' "
               "-metadata artist='Some Band' tagged.flac"));
    Tone("Plain Song.wav", 2, "");
    MakeOk({"tagged.flac", "--format", "m4a", "-o", "a.m4a"});
    std::string probe = ProbeFile(inputs_ + "/a.m4a");
    EXPECT_TRUE(Has(probe, "tag:title=morning bell")) << probe;
    EXPECT_TRUE(Has(probe, "tag:artist=some band")) << probe;

    MakeOk({"Plain Song.wav", "tagged.flac", "--format", "ogg", "-o", "b.ogg"});
    probe = ProbeFile(inputs_ + "/b.ogg");
    EXPECT_TRUE(Has(probe, "tag:title=plain song")) << "the basic track's file name: " << probe;
    EXPECT_EQ(probe.find("tag:artist="), std::string::npos) << probe;

    MakeOk({"tagged.flac", "--title", "Own", "--format", "flac", "-o", "c.flac"});
    probe = ProbeFile(inputs_ + "/c.flac");
    EXPECT_TRUE(Has(probe, "tag:title=own")) << probe;
    EXPECT_TRUE(Has(probe, "tag:artist=some band")) << "the artist still the track's: " << probe;
}

TEST_F(CliFormats, TheLoopCommentOnlyWithLoopTag) {
    Tone("song.wav", 2, "");
    MakeOk({"song.wav", "--format", "ogg", "--loop-tag", "-o", "loop.ogg"});
    MakeOk({"song.wav", "--format", "ogg", "-o", "plain.ogg"});
    MakeOk({"song.wav", "--preset", "android-notification", "--loop-tag", "-o", "preset.ogg"});
    EXPECT_TRUE(Has(ProbeFile(inputs_ + "/loop.ogg"), "tag:android_loop=true")) << ProbeFile(inputs_ + "/loop.ogg");
    EXPECT_TRUE(Has(ProbeFile(inputs_ + "/preset.ogg"), "tag:android_loop=true"));
    EXPECT_EQ(ProbeFile(inputs_ + "/plain.ogg").find("android_loop"), std::string::npos);

    const CliResult refused = Make({"song.wav", "--loop-tag", "-o", "loop.mp3"});
    EXPECT_EQ(refused.code, 2);
    EXPECT_NE(refused.err.find("--loop-tag needs the ogg format"), std::string::npos) << refused.err;
}

}  // namespace
