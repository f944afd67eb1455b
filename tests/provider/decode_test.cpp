// Decoding and probing every listed format against generated tones: exact samples for PCM
// and lossless files, level, pitch, channel order and length for lossy ones.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "provider_support.h"

using namespace provider_test;

namespace {

constexpr int kRate = 44100;
constexpr double kSeconds = 3;
constexpr uint32_t kSourceFrames = 132300;
constexpr double kSineDb = -6.0206;  // amplitude 0.5

struct FormatCase {
    const char* name;
    const char* extension;
    const char* encode;  // ffmpeg output options
    bool lossless;       // decoded samples equal the ffmpeg tool's decoding
    int codecFrame;      // length tolerance in frames at the file's own rate
    int probedRate;      // the file's own rate
    int bits;            // probed bit depth
    bool isFloat;
};

// Test listings name a case, not its bytes.
void PrintTo(const FormatCase& format, std::ostream* out) { *out << format.name; }

const FormatCase kFormats[] = {
    {"wav16", ".wav", "-c:a pcm_s16le", true, 0, 44100, 16, false},
    {"wav8", ".wav", "-c:a pcm_u8", true, 0, 44100, 8, false},
    {"wav24", ".wav", "-c:a pcm_s24le", true, 0, 44100, 24, false},
    {"wav32", ".wav", "-c:a pcm_s32le", true, 0, 44100, 32, false},
    {"wavfloat", ".wav", "-c:a pcm_f32le", true, 0, 44100, 32, true},
    {"aiff", ".aiff", "-c:a pcm_s16be", true, 0, 44100, 16, false},
    {"flac16", ".flac", "-c:a flac -sample_fmt s16", true, 0, 44100, 16, false},
    {"flac24", ".flac", "-c:a flac -sample_fmt s32", true, 0, 44100, 24, false},
    {"mp3", ".mp3", "-c:a libmp3lame -b:a 192k", false, 1152, 44100, 16, false},
    {"vorbis", ".ogg", "-c:a libvorbis", false, 2048, 44100, 16, false},
    {"opus", ".opus", "-c:a libopus -b:a 128k", false, 960, 48000, 16, false},
    {"aac_adts", ".aac", "-c:a aac -b:a 160k -f adts", false, 1024, 44100, 16, false},
    {"aac_m4a", ".m4a", "-c:a aac -b:a 160k", false, 1024, 44100, 16, false},
    {"wma", ".wma", "-c:a wmav2 -b:a 160k", false, 2048, 44100, 16, false},
    {"video_mp4", ".mp4",
     "-f lavfi -i testsrc=size=64x48:rate=5 -map 0:a -map 1:v -c:v mpeg4 -c:a aac -b:a 160k -shortest", false, 1024,
     44100, 16, false},
};

class FormatTest : public ::testing::TestWithParam<FormatCase> {
protected:
    void SetUp() override {
        path_ = dir_ / (std::string("tone") + GetParam().extension);
        // Left 1000 Hz, right 500 Hz: the pitch of each channel shows the channel order.
        ASSERT_TRUE(Ffmpeg(SineSource({1000, 500}, kRate, kSeconds) + " " + GetParam().encode + " " + path_));
    }
    ScratchFolder dir_;
    std::string path_;
};

TEST_P(FormatTest, ProbeReportsTheFilesOwnFormatAndLength) {
    const FormatCase& c = GetParam();
    const auto probed = ProbeFile(path_);
    ASSERT_TRUE(probed);
    const WAVEFORMATEXTENSIBLE& f = probed->format;
    EXPECT_EQ(f.Format.wFormatTag, WAVE_FORMAT_EXTENSIBLE);
    EXPECT_EQ(f.Format.nChannels, 2);
    EXPECT_EQ(f.Format.nSamplesPerSec, static_cast<uint32_t>(c.probedRate));
    EXPECT_EQ(f.Samples.wValidBitsPerSample, c.bits);
    EXPECT_EQ(f.Format.wBitsPerSample, (c.bits + 7) / 8 * 8);
    EXPECT_EQ(f.Format.nBlockAlign, 2 * ((c.bits + 7) / 8));
    EXPECT_EQ(f.Format.nAvgBytesPerSec, f.Format.nBlockAlign * f.Format.nSamplesPerSec);
    EXPECT_EQ(f.Format.cbSize, 22);
    EXPECT_EQ(f.dwChannelMask, 3u);
    EXPECT_TRUE(f.SubFormat == (c.isFloat ? KSDATAFORMAT_SUBTYPE_IEEE_FLOAT : KSDATAFORMAT_SUBTYPE_PCM));
    const double trueLength = kSeconds * c.probedRate;
    EXPECT_LE(std::abs(probed->length - trueLength), c.codecFrame) << "length " << probed->length;
}

TEST_P(FormatTest, DecodesLevelPitchChannelsAndLength) {
    const FormatCase& c = GetParam();
    const Decoded d = DecodeAll(path_);
    ASSERT_NE(d.handle, 0u);
    ASSERT_EQ(d.channels(), 2);
    EXPECT_EQ(d.format.Format.nSamplesPerSec, 44100u);
    EXPECT_EQ(d.format.Format.wBitsPerSample, 16);
    const double tolerance = c.codecFrame * 44100.0 / c.probedRate;
    EXPECT_LE(std::abs(static_cast<double>(d.frames()) - kSourceFrames), tolerance) << "frames " << d.frames();
    EXPECT_LE(std::abs(static_cast<double>(d.length) - kSourceFrames), tolerance) << "estimate " << d.length;

    // Measured away from the edges, where codecs fade in and out.
    const size_t first = 8820;
    const size_t count = kSourceFrames - 2 * first;
    const double levelTolerance = c.lossless && c.bits > 8 ? 0.01 : 0.5;
    EXPECT_NEAR(SineLevelDb(d.samples, 2, 0, first, count), kSineDb, levelTolerance);
    EXPECT_NEAR(SineLevelDb(d.samples, 2, 1, first, count), kSineDb, levelTolerance);
    EXPECT_NEAR(ZeroCrossingHz(d.samples, 2, 0, 44100, first, count), 1000, 10);
    EXPECT_NEAR(ZeroCrossingHz(d.samples, 2, 1, 44100, first, count), 500, 5);
}

class LosslessTest : public FormatTest {};

TEST_P(LosslessTest, DecodesToTheExactSamples) {
    const std::string reference = dir_ / "reference.raw";
    ASSERT_TRUE(Ffmpeg("-i " + path_ + " -f s16le -ac 2 -ar 44100 " + reference));
    const Decoded d = DecodeAll(path_);
    ASSERT_NE(d.handle, 0u);
    EXPECT_TRUE(d.samples == ReadS16(reference));
}

std::vector<FormatCase> LosslessFormats() {
    std::vector<FormatCase> cases;
    for (const FormatCase& c : kFormats)
        if (c.lossless) cases.push_back(c);
    return cases;
}

std::string CaseName(const ::testing::TestParamInfo<FormatCase>& info) { return info.param.name; }

INSTANTIATE_TEST_SUITE_P(Formats, FormatTest, ::testing::ValuesIn(kFormats), CaseName);
INSTANTIATE_TEST_SUITE_P(Formats, LosslessTest, ::testing::ValuesIn(LosslessFormats()), CaseName);

// Encoder delay and padding are removed: a tone that starts after one second of silence
// starts at the same frame after decoding.
class DelayTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(DelayTest, ToneOnsetKeepsItsPosition) {
    ScratchFolder dir;
    const std::string path = dir / (std::string("onset") + GetParam().extension);
    ASSERT_TRUE(Ffmpeg("-f lavfi -i \"aevalsrc=if(gte(t\\,1)\\,0.5*sin(2*PI*1000*t)\\,0):s=44100:d=3\" " +
                       std::string(GetParam().encode) + " " + path));
    const Decoded d = DecodeAll(path, 1);
    ASSERT_NE(d.handle, 0u);
    size_t onset = 0;
    while (onset < d.frames() && std::abs(d.samples[onset]) < 8000) ++onset;
    // The tone reaches 8000 four frames after it starts at frame 44100.
    EXPECT_NEAR(static_cast<double>(onset), 44104, 48);
}

INSTANTIATE_TEST_SUITE_P(LossyFormats, DelayTest,
                         ::testing::Values(kFormats[8], kFormats[9], kFormats[10], kFormats[11], kFormats[12]),
                         CaseName);

}  // namespace
