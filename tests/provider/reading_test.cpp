// Channel and rate conversion, and the reading rules of QoGetFileData: sequence, rewind,
// jumps, buffer limits, handles, and several readers at once.
#include <gtest/gtest.h>

#include <algorithm>

#include "provider_support.h"

using namespace provider_test;

namespace {

constexpr uint32_t kFrames = 132300;  // 3 s at 44100 Hz

TEST(Channels, MonoFileStaysMonoAndSaysSo) {
    ScratchFolder dir;
    const std::string path = dir / "mono.wav";
    const std::string raw = dir / "mono.raw";
    ASSERT_TRUE(Ffmpeg(SineSource({1000}, 44100, 3) + " -c:a pcm_s16le " + path));
    ASSERT_TRUE(Ffmpeg(SineSource({1000}, 44100, 3) + " -f s16le " + raw));
    const Decoded d = DecodeAll(path, 2);
    ASSERT_NE(d.handle, 0u);
    EXPECT_EQ(d.format.Format.nChannels, 1);
    EXPECT_EQ(d.format.Format.nBlockAlign, 2);
    EXPECT_EQ(d.format.Format.nAvgBytesPerSec, 88200u);
    EXPECT_EQ(d.format.dwChannelMask, 4u);
    EXPECT_EQ(d.length, kFrames);
    EXPECT_TRUE(d.samples == ReadS16(raw));
}

TEST(Channels, StereoAskedForOneChannelIsMixedDown) {
    ScratchFolder dir;
    const std::string path = dir / "stereo.flac";
    ASSERT_TRUE(Ffmpeg(SineSource({1000, 1000}, 44100, 3) + " " + path));
    const Decoded d = DecodeAll(path, 1);
    ASSERT_NE(d.handle, 0u);
    EXPECT_EQ(d.format.Format.nChannels, 1);
    EXPECT_EQ(d.format.Format.nBlockAlign, 2);
    ASSERT_EQ(d.frames(), kFrames);
    // Two equal channels mix to the same level.
    EXPECT_NEAR(SineLevelDb(d.samples, 1, 0), -6.02, 0.1);
    EXPECT_NEAR(ZeroCrossingHz(d.samples, 1, 0, 44100), 1000, 2);
}

TEST(Channels, SurroundFileIsProbedAsSixChannelsAndMixedWhenDecoded) {
    ScratchFolder dir;
    const std::string path = dir / "surround.flac";
    ASSERT_TRUE(
        Ffmpeg("-f lavfi -i \"aevalsrc=0.1*sin(2*PI*1000*t)|0.1*sin(2*PI*1000*t)|0.1*sin(2*PI*1000*t)|"
               "0.1*sin(2*PI*1000*t)|0.1*sin(2*PI*1000*t)|0.1*sin(2*PI*1000*t):s=44100:d=3:c=5.1\" -sample_fmt s16 " +
               path));
    const auto probed = ProbeFile(path);
    ASSERT_TRUE(probed);
    EXPECT_EQ(probed->format.Format.nChannels, 6);
    EXPECT_EQ(probed->format.dwChannelMask, 0x3Fu);
    EXPECT_EQ(probed->format.Format.nBlockAlign, 12);

    const Decoded stereo = DecodeAll(path, 2);
    ASSERT_NE(stereo.handle, 0u);
    EXPECT_EQ(stereo.channels(), 2);
    EXPECT_EQ(stereo.frames(), kFrames);
    EXPECT_NEAR(ZeroCrossingHz(stereo.samples, 2, 0, 44100), 1000, 2);

    const Decoded all = DecodeAll(path, 6);
    ASSERT_NE(all.handle, 0u);
    EXPECT_EQ(all.channels(), 6);
    EXPECT_EQ(all.frames(), kFrames);
}

TEST(Rates, SourceAt48kHzIsDeliveredAt44100) {
    ScratchFolder dir;
    const std::string path = dir / "tone48.wav";
    ASSERT_TRUE(Ffmpeg(SineSource({1000, 1000}, 48000, 3) + " -c:a pcm_s16le " + path));
    const auto probed = ProbeFile(path);
    ASSERT_TRUE(probed);
    EXPECT_EQ(probed->format.Format.nSamplesPerSec, 48000u);
    EXPECT_EQ(probed->length, 144000u);

    const Decoded d = DecodeAll(path);
    ASSERT_NE(d.handle, 0u);
    EXPECT_EQ(d.format.Format.nSamplesPerSec, 44100u);
    EXPECT_EQ(d.length, kFrames);  // the estimate is in frames at the output rate
    EXPECT_NEAR(static_cast<double>(d.frames()), kFrames, 2);
    EXPECT_NEAR(ZeroCrossingHz(d.samples, 2, 0, 44100, 4410, 120000), 1000, 1);
    EXPECT_NEAR(SineLevelDb(d.samples, 2, 0, 4410, 120000), -6.02, 0.1);
}

TEST(Rates, OtherOutputRatesAreDelivered) {
    ScratchFolder dir;
    const std::string path = dir / "tone.flac";
    ASSERT_TRUE(Ffmpeg(SineSource({1000}, 44100, 3) + " " + path));
    const Decoded d = DecodeAll(path, 1, 22050);
    ASSERT_NE(d.handle, 0u);
    EXPECT_EQ(d.format.Format.nSamplesPerSec, 22050u);
    EXPECT_EQ(d.format.Format.nAvgBytesPerSec, 44100u);
    EXPECT_NEAR(static_cast<double>(d.frames()), 66150, 2);
    EXPECT_NEAR(ZeroCrossingHz(d.samples, 1, 0, 22050, 2205, 60000), 1000, 1);
}

class Reading : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = dir_ / "tone.mp3";
        ASSERT_TRUE(Ffmpeg(SineSource({1000, 700}, 44100, 3) + " -b:a 192k " + path_));
        whole_ = DecodeAll(path_);
        ASSERT_GT(whole_.frames(), 100000u);
    }
    uint32_t Open() {
        WAVEFORMATEXTENSIBLE f = kWorkingFormat;
        uint32_t length = 0;
        return QoOpenFile(path_.c_str(), &f, &length, QoModeDecode);
    }
    // Frames [first, first + n) of the whole decoding.
    std::vector<int16_t> Slice(size_t first, size_t n) const {
        return {whole_.samples.begin() + static_cast<ptrdiff_t>(first * 2),
                whole_.samples.begin() + static_cast<ptrdiff_t>((first + n) * 2)};
    }
    ScratchFolder dir_;
    std::string path_;
    Decoded whole_;
};

TEST_F(Reading, FrameZeroAfterReadingStartsAgainWithTheSameData) {
    const uint32_t h = Open();
    ASSERT_NE(h, 0u);
    std::vector<int16_t> buf(2048);
    uint32_t position = 0;
    for (int i = 0; i < 5; ++i) position += QoGetFileData(h, position, 1024, buf.data(), 4096);
    ASSERT_EQ(position, 5120u);
    ASSERT_EQ(QoGetFileData(h, 0, 1024, buf.data(), 4096), 1024u);
    EXPECT_TRUE(buf == Slice(0, 1024));
    // And on to the end exactly as the first time.
    std::vector<int16_t> rest(buf);
    position = 1024;
    while (const uint32_t n = QoGetFileData(h, position, 1024, buf.data(), 4096)) {
        rest.insert(rest.end(), buf.begin(), buf.begin() + n * 2);
        position += n;
    }
    EXPECT_TRUE(rest == whole_.samples);
    QoCloseFile(h);
}

TEST_F(Reading, JumpsForwardAndBackLandOnTheExactFrame) {
    const uint32_t h = Open();
    ASSERT_NE(h, 0u);
    std::vector<int16_t> buf(2048);
    ASSERT_EQ(QoGetFileData(h, 50000, 1024, buf.data(), 4096), 1024u);
    EXPECT_TRUE(buf == Slice(50000, 1024));
    ASSERT_EQ(QoGetFileData(h, 777, 1024, buf.data(), 4096), 1024u);
    EXPECT_TRUE(buf == Slice(777, 1024));
    ASSERT_EQ(QoGetFileData(h, 1801, 1024, buf.data(), 4096), 1024u);
    EXPECT_TRUE(buf == Slice(1801, 1024));
    EXPECT_EQ(QoGetFileData(h, 10000000, 1024, buf.data(), 4096), 0u);  // past the end
    QoCloseFile(h);
}

TEST_F(Reading, NeverWritesPastTheBuffer) {
    const uint32_t h = Open();
    ASSERT_NE(h, 0u);
    std::vector<uint8_t> buf(4096, 0xAB);
    // Room for 100 frames and 3 bytes: 100 frames, and the 3 bytes stay untouched.
    EXPECT_EQ(QoGetFileData(h, 0, 1024, buf.data(), 403), 100u);
    EXPECT_TRUE(std::all_of(buf.begin() + 400, buf.end(), [](uint8_t b) { return b == 0xAB; }));
    EXPECT_EQ(QoGetFileData(h, 100, 1024, buf.data(), 3), 0u);
    EXPECT_EQ(QoGetFileData(h, 100, 1024, nullptr, 4096), 0u);
    EXPECT_EQ(QoGetFileData(h, 100, 0, buf.data(), 4096), 0u);
    // Still in sequence afterwards.
    EXPECT_EQ(QoGetFileData(h, 100, 10, buf.data(), 4096), 10u);
    QoCloseFile(h);
}

TEST_F(Reading, EndGivesZeroAndStaysThere) {
    const uint32_t h = Open();
    ASSERT_NE(h, 0u);
    std::vector<int16_t> buf(200000 * 2);
    const uint32_t n = QoGetFileData(h, 0, 200000, buf.data(), static_cast<uint32_t>(buf.size() * 2));
    EXPECT_EQ(n, whole_.frames());
    EXPECT_EQ(QoGetFileData(h, n, 1024, buf.data(), 4096), 0u);
    EXPECT_EQ(QoGetFileData(h, n, 1024, buf.data(), 4096), 0u);
    QoCloseFile(h);
}

TEST_F(Reading, HandlesAreCheckedAndNeverReused) {
    std::vector<int16_t> buf(2048);
    EXPECT_EQ(QoGetFileData(0, 0, 1024, buf.data(), 4096), 0u);
    EXPECT_EQ(QoGetFileData(0xDEADBEEF, 0, 1024, buf.data(), 4096), 0u);
    WAVEFORMATEXTENSIBLE f{};
    uint32_t length = 0;
    const uint32_t probe = QoOpenFile(path_.c_str(), &f, &length, QoModeProbe);
    ASSERT_NE(probe, 0u);
    EXPECT_EQ(QoGetFileData(probe, 0, 1024, buf.data(), 4096), 0u);  // a probe delivers nothing
    QoCloseFile(probe);
    const uint32_t reader = Open();
    ASSERT_NE(reader, 0u);
    EXPECT_NE(reader, probe);
    QoCloseFile(reader);
    QoCloseFile(reader);  // twice is harmless
    EXPECT_EQ(QoGetFileData(reader, 0, 1024, buf.data(), 4096), 0u);
    QoTagClose(reader);
    QoCoderCloseFile(reader);
}

}  // namespace
