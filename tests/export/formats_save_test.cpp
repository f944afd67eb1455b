// Saving in every format of the list from a rendered range: container, codec, channels,
// length, bit rate, tags and the size estimate, checked with ffprobe on the saved files.
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "contracts/provider_api.h"
#include "save_fixture.h"

namespace {

namespace fs = std::filesystem;

constexpr int64_t kRangeStart = 44100;
constexpr int64_t kRangeFrames = 8 * 44100;

// "ffprobe -show_entries <entries>" (format=..., format_tags=..., stream_tags=...) values.
std::string ProbeValue(const std::string& path, const std::string& entries) {
    const std::string command = "ffprobe -v error -show_entries " + entries + " -of default=nw=1:nk=1 '" + path + "'";
    std::string output;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char line[512];
        while (std::fgets(line, sizeof line, pipe)) output += line;
        ::pclose(pipe);
    }
    while (!output.empty() && output.back() == '\n') output.pop_back();
    return output;
}

// A tag among the container's tags, else the stream's (Ogg keeps its comments there).
std::string TagOf(const std::string& path, const std::string& key) {
    const std::string format = ProbeValue(path, "format_tags=" + key);
    return format.empty() ? ProbeValue(path, "stream_tags=" + key) : format;
}

struct FormatRow {
    uint32_t tag;
    const char* formatName;
    const char* codec;
    int codecFrame;  // length tolerance in frames
    bool tagged;
};

constexpr FormatRow kRows[] = {
    // ffprobe's MP3 length counts the encoder's delay and padding too.
    {QoEncoderMp3, "mp3", "mp3", 2 * 1152, true},
    {QoEncoderAac, "aac", "aac", 1024, false},
    {QoEncoderM4r, "mov,mp4,m4a,3gp,3g2,mj2", "aac", 1024, true},
    {QoEncoderM4a, "mov,mp4,m4a,3gp,3g2,mj2", "aac", 1024, true},
    {QoEncoderOgg, "ogg", "vorbis", 2048, true},
    {QoEncoderFlac, "flac", "flac", 1, true},
    {QoEncoderWav, "wav", "pcm_s16le", 1, true},
};

class FormatsSave : public SaveFixture {
protected:
    // A song-like basic track: a chord over pink noise, with the tags given as ffmpeg options.
    void OpenSong(const std::string& name, const std::string& tagOptions) {
        const std::string chord = "0.15*sin(440*2*PI*t)+0.1*sin(660*2*PI*t)+0.05*sin(1320*2*PI*t)";
        ASSERT_TRUE(Ffmpeg("-f lavfi -i 'aevalsrc=" + chord + "|" + chord +
                           ":s=44100:d=10' -f lavfi -i 'anoisesrc=c=pink:a=0.08:d=10:r=44100' -filter_complex "
                           "'[1]aformat=channel_layouts=stereo[n];[0][n]amix=inputs=2:normalize=0' " +
                           tagOptions + " '" + name + "'"));
        OpenOk(slots_[0], inputs_ + "/" + name);
        timeline_.SetProjectLength(timeline_.TracksEnd());
    }
    void Output(uint32_t tag, uint32_t channels, uint32_t kbps) {
        const auto& encoders = RingtoneSaver::Encoders();
        const auto found = encoders.find(tag);
        ASSERT_NE(found, encoders.end()) << RingtoneSaver::EncoderName(tag) << " is not offered";
        ASSERT_TRUE(saver_.SetOutput(static_cast<size_t>(std::distance(encoders.begin(), found)), channels, kbps));
    }
};

TEST_F(FormatsSave, EveryRowInMonoAndStereoWithItsTagsAndAnEstimateWithinFifteenPercent) {
    OpenSong("song.mp3", "-c:a libmp3lame -b:a 192k -metadata title='Morning Song' -metadata artist='The Larks'");
    saver_.SetNormalizeMode(NormalizeMode::Off);
    Export(kRangeStart, kRangeStart + kRangeFrames);
    const double seconds = static_cast<double>(kRangeFrames) / 44100;
    for (const FormatRow& row : kRows) {
        const std::string extension = RingtoneSaver::EncoderExtension(row.tag);
        for (const uint32_t channels : {1u, 2u}) {
            for (const uint32_t kbps : {64u, 128u, 256u}) {
                if (RingtoneSaver::IsLossless(row.tag) && kbps != 128) continue;
                SCOPED_TRACE(extension + " " + std::to_string(channels) + " ch " + std::to_string(kbps) + " kbps");
                Output(row.tag, channels, kbps);
                const SaveEstimate estimate = saver_.Estimate();
                const std::string path = SaveAs("ringtone" + extension);
                EXPECT_TRUE(Messages().empty());

                EXPECT_EQ(ProbeValue(path, "format=format_name"), row.formatName);
                const std::string stream = Probe(path, "codec_name,channels,sample_rate");
                EXPECT_NE(stream.find(std::string("codec_name=") + row.codec + "\n"), std::string::npos) << stream;
                EXPECT_NE(stream.find("channels=" + std::to_string(channels) + "\n"), std::string::npos) << stream;
                EXPECT_NE(stream.find("sample_rate=44100"), std::string::npos) << stream;
                // Raw ADTS has no length of its own to read.
                if (row.tag != QoEncoderAac) {
                    EXPECT_NEAR(std::stod(ProbeValue(path, "format=duration")), seconds, row.codecFrame / 44100.0);
                }

                const auto bytes = static_cast<double>(fs::file_size(path));
                EXPECT_NEAR(static_cast<double>(estimate.bytes), bytes, 0.15 * bytes) << "estimate";
                if (!RingtoneSaver::IsLossless(row.tag)) {
                    EXPECT_NEAR(bytes * 8 / seconds / 1000, kbps, 0.2 * kbps) << "bit rate";
                }
                if (row.tagged) {
                    EXPECT_EQ(TagOf(path, "title"), "Morning Song");
                    EXPECT_EQ(TagOf(path, "artist"), "The Larks");
                }
            }
        }
    }
}

TEST_F(FormatsSave, TheFlacEstimateHoldsOnALongTonalRangeWhereOnlyPartIsEncoded) {
    // 30 s of slowly swelling tones: too long to encode whole for the estimate, and so
    // predictable that every break in the sampled pieces would show in the size.
    UseTrack(1, StereoFrames(31 * 44100, [](uint32_t frame, uint32_t channel) {
        const double t = frame / 44100.0;
        const double swell = 0.55 + 0.45 * std::sin(2 * M_PI * (channel ? 0.2 : 0.3) * t);
        return static_cast<int16_t>(26000 * swell * std::sin(2 * M_PI * (channel ? 660 : 440) * t));
    }));
    Export(0, 30 * 44100);
    for (const NormalizeMode mode : {NormalizeMode::Off, NormalizeMode::Peak}) {
        SCOPED_TRACE(static_cast<int>(mode));
        saver_.SetNormalizeMode(mode);
        Output(QoEncoderFlac, 2, 128);
        const uint64_t estimate = saver_.Estimate().bytes;
        const std::string path = SaveAs("tones.flac");
        EXPECT_NEAR(static_cast<double>(estimate), static_cast<double>(fs::file_size(path)),
                    0.15 * fs::file_size(path));
    }
}

TEST_F(FormatsSave, LosslessRowsAreSixteenBitAndTheEstimateFollowsTheSound) {
    // Silence packs far tighter than the song: a constant ratio could not serve both.
    UseTrack(1, StereoFrames(6 * 44100, [](uint32_t, uint32_t) { return int16_t{0}; }));
    Export(0, 5 * 44100);
    Output(QoEncoderFlac, 2, 128);
    const uint64_t silentEstimate = saver_.Estimate().bytes;
    const std::string silent = SaveAs("silent.flac");
    EXPECT_NEAR(static_cast<double>(silentEstimate), static_cast<double>(fs::file_size(silent)),
                0.15 * fs::file_size(silent));

    OpenSong("song.wav", "");
    Export(0, 5 * 44100);
    Output(QoEncoderFlac, 2, 128);
    const uint64_t songEstimate = saver_.Estimate().bytes;
    EXPECT_GT(songEstimate, 4 * silentEstimate);
    const std::string song = SaveAs("song.flac");
    EXPECT_NEAR(static_cast<double>(songEstimate), static_cast<double>(fs::file_size(song)),
                0.15 * fs::file_size(song));
    // Brought down to a quiet loudness target (through the limiter) it takes fewer bits than
    // at full-scale peaks, and the estimate follows.
    saver_.SetNormalizeMode(NormalizeMode::Loudness);
    saver_.SetLoudnessTarget(-30.0);
    const uint64_t quietEstimate = saver_.Estimate().bytes;
    const std::string quiet = SaveAs("quiet.flac");
    EXPECT_NEAR(static_cast<double>(quietEstimate), static_cast<double>(fs::file_size(quiet)),
                0.15 * fs::file_size(quiet));
    EXPECT_LT(fs::file_size(quiet), 0.85 * fs::file_size(song));
    EXPECT_EQ(ProbeValue(song, "stream=bits_per_raw_sample"), "16");
    EXPECT_EQ(ProbeValue(song, "stream=sample_fmt"), "s16");

    Output(QoEncoderWav, 1, 64);
    const std::string wav = SaveAs("song.wav");
    EXPECT_EQ(ProbeValue(wav, "stream=codec_name"), "pcm_s16le");
    EXPECT_EQ(ProbeValue(wav, "stream=bits_per_sample"), "16");
}

TEST_F(FormatsSave, TitleFallsBackToTheFileNameAndTheCallerMayOverrideBoth) {
    OpenSong("Doorbell Chime.wav", "");
    Export(0, 3 * 44100);
    EXPECT_EQ(saver_.Title(), "Doorbell Chime");
    EXPECT_EQ(saver_.Artist(), "");
    Output(QoEncoderM4r, 2, 128);
    std::string path = SaveAs("a.m4r");
    EXPECT_EQ(TagOf(path, "title"), "Doorbell Chime");
    EXPECT_EQ(TagOf(path, "artist"), "");

    const std::string encoded = saver_.EncodedPath();
    saver_.SetTitle("Front Door");
    saver_.SetArtist("Me");
    EXPECT_TRUE(saver_.EncodedPath().empty()) << "a new title makes the encoded file stale";
    path = SaveAs("b.m4r");
    EXPECT_EQ(TagOf(path, "title"), "Front Door");
    EXPECT_EQ(TagOf(path, "artist"), "Me");

    // The override outlives a new export; nullopt goes back to the track's title.
    Export(0, 2 * 44100);
    EXPECT_EQ(saver_.Title(), "Front Door");
    saver_.SetTitle(std::nullopt);
    EXPECT_EQ(saver_.Title(), "Doorbell Chime");
}

TEST_F(FormatsSave, OggLoopCommentOnlyWhenAsked) {
    OpenSong("song.wav", "");
    Export(0, 2 * 44100);
    Output(QoEncoderOgg, 2, 128);
    EXPECT_EQ(TagOf(SaveAs("plain.ogg"), "ANDROID_LOOP"), "");
    saver_.SetLoopTag(true);
    EXPECT_TRUE(saver_.EncodedPath().empty());
    EXPECT_EQ(TagOf(SaveAs("loop.ogg"), "ANDROID_LOOP"), "true");
    EXPECT_EQ(SaveRuns(), 2u);
}

TEST_F(FormatsSave, RingtoneIsBrandM4AWithTheIndexBeforeTheData) {
    OpenSong("song.wav", "");
    Export(0, 2 * 44100);
    Output(QoEncoderM4r, 1, 64);
    const std::string path = SaveAs("brand.m4r");
    std::ifstream in(path, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GE(bytes.size(), 12u);
    EXPECT_EQ(bytes.substr(4, 4), "ftyp");
    EXPECT_EQ(bytes.substr(8, 4), "M4A ");
    const size_t moov = bytes.find("moov");
    const size_t mdat = bytes.find("mdat");
    ASSERT_NE(moov, std::string::npos);
    ASSERT_NE(mdat, std::string::npos);
    EXPECT_LT(moov, mdat);
}

}  // namespace
