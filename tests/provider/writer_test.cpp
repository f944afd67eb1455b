// Writers: every type round-trips through the ffmpeg tools and the provider, bit rates
// follow the encoder records, and failures are reported without losing the file.
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <random>

#include "provider/src/encoder_plan.h"
#include "provider_support.h"

using namespace provider_test;

namespace {

std::vector<uint8_t> Mp3Record(int channels, uint32_t bitRate) {
    return Fields({QoEncoderMp3, 44100, 1, 3, channels == 1 ? 1u : 4u, 1, bitRate});
}

std::vector<uint8_t> AacRecord(int channels, uint32_t bitRate, uint32_t quality) {
    std::vector<uint8_t> out = Fields({QoEncoderAac});
    const WAVEFORMATEXTENSIBLE f = Pcm16(channels, 44100);
    const auto* bytes = reinterpret_cast<const uint8_t*>(&f);
    out.insert(out.end(), bytes, bytes + sizeof f);
    const std::vector<uint8_t> rest = Fields({bitRate, quality, 1, 2, 2});
    out.insert(out.end(), rest.begin(), rest.end());
    return out;
}

struct WriterCase {
    const char* name;
    const char* fileName;
    int channels;
    std::vector<uint8_t> record;  // empty: by extension
    const char* codec;            // as ffprobe names it
    int codecFrame;               // length tolerance
    bool lossless;
};

std::vector<WriterCase> WriterCases() {
    return {
        {"mp3_stereo", "out.mp3", 2, Mp3Record(2, 128000), "mp3", 1152, false},
        {"mp3_mono", "out.tmp", 1, Mp3Record(1, 64000), "mp3", 1152, false},
        {"aac_adts", "out.aac", 2, AacRecord(2, 0, 100), "aac", 1024, false},
        {"aac_temp_name", "out.tmp", 1, AacRecord(1, 0, 400), "aac", 1024, false},
        {"aac_m4a", "out.m4a", 2, AacRecord(2, 128000, 0), "aac", 1024, false},
        {"aac_m4r", "out.m4r", 1, AacRecord(1, 0, 100), "aac", 1024, false},
        {"wav_by_extension", "out.wav", 2, {}, "pcm_s16le", 0, true},
        {"mp3_by_extension", "out.mp3", 1, {}, "mp3", 1152, false},
        {"aac_by_extension", "out.aac", 2, {}, "aac", 1024, false},
        {"m4a_by_extension", "out.m4a", 2, {}, "aac", 1024, false},
        {"flac_by_extension", "out.flac", 1, {}, "flac", 0, true},
        {"ogg_by_extension", "out.ogg", 2, {}, "vorbis", 2048, false},
    };
}

class WriterTest : public ::testing::TestWithParam<WriterCase> {};

TEST_P(WriterTest, WrittenFilePlaysElsewhereAndDecodesBack) {
    const WriterCase& c = GetParam();
    ScratchFolder dir;
    const std::string path = dir / c.fileName;
    const std::vector<int16_t> signal = Signal(c.channels, 44100, 3, false);
    ASSERT_TRUE(WriteFile(path, signal, c.channels, 44100, c.record.empty() ? nullptr : c.record.data()));

    EXPECT_EQ(Probe(path, "stream=codec_name"), c.codec);
    EXPECT_EQ(Probe(path, "stream=channels"), std::to_string(c.channels));
    EXPECT_EQ(Probe(path, "stream=sample_rate"), "44100");
    // The ffmpeg tool decodes it completely without complaint.
    EXPECT_EQ(Output("ffmpeg -nostdin -v error -xerror -i '" + path + "' -f null - 2>&1"), "");

    const Decoded d = DecodeAll(path, 2);
    ASSERT_NE(d.handle, 0u);
    EXPECT_EQ(d.channels(), c.channels);
    EXPECT_LE(std::abs(static_cast<double>(d.frames()) - 132300), c.codecFrame) << d.frames();
    if (c.lossless) {
        EXPECT_TRUE(d.samples == signal);
    } else {
        EXPECT_NEAR(SineLevelDb(d.samples, c.channels, 0, 4410, 120000), -6.02, 0.5);
        EXPECT_NEAR(ZeroCrossingHz(d.samples, c.channels, 0, 44100, 4410, 120000), 1000, 10);
    }
}

INSTANTIATE_TEST_SUITE_P(Types, WriterTest, ::testing::ValuesIn(WriterCases()),
                         [](const auto& info) { return std::string(info.param.name); });

// The real bit rate of the file: its size over its length.
double KbpsOf(const std::string& path, double seconds) {
    return std::stod(Probe(path, "format=size")) * 8 / seconds / 1000;
}

TEST(WriterBitRate, AacQualitiesGiveTheirBitRates) {
    const struct {
        int channels;
        uint32_t quality;
        double kbps;
    } cases[] = {{2, 45, 64}, {2, 100, 128}, {2, 420, 256}, {1, 100, 64}, {1, 400, 128}, {1, 550, 256}};
    ScratchFolder dir;
    for (const auto& c : cases) {
        const std::string path = dir / "quality.aac";
        const std::vector<uint8_t> record = AacRecord(c.channels, 0, c.quality);
        ASSERT_TRUE(WriteFile(path, Signal(c.channels, 44100, 10, true), c.channels, 44100, record.data()));
        EXPECT_EQ(Probe(path, "stream=channels"), std::to_string(c.channels));
        EXPECT_NEAR(KbpsOf(path, 10), c.kbps, c.kbps * 0.25) << c.channels << " channels, quality " << c.quality;
    }
}

TEST(WriterBitRate, Mp3AndAacBitRatesAreKept) {
    ScratchFolder dir;
    for (const uint32_t kbps : {64u, 128u, 256u}) {
        for (const int channels : {1, 2}) {
            const std::string mp3 = dir / "rate.mp3";
            const std::vector<uint8_t> mp3Record = Mp3Record(channels, kbps * 1000);
            ASSERT_TRUE(WriteFile(mp3, Signal(channels, 44100, 10, true), channels, 44100, mp3Record.data()));
            EXPECT_EQ(Probe(mp3, "stream=bit_rate"), std::to_string(kbps * 1000));
            EXPECT_NEAR(KbpsOf(mp3, 10), kbps, kbps * 0.25);

            const std::string m4a = dir / "rate.m4a";
            const std::vector<uint8_t> aacRecord = AacRecord(channels, kbps * 1000, 0);
            ASSERT_TRUE(WriteFile(m4a, Signal(channels, 44100, 10, true), channels, 44100, aacRecord.data()));
            EXPECT_NEAR(std::stod(Probe(m4a, "stream=bit_rate")) / 1000, kbps, kbps * 0.25) << channels;
        }
    }
}

TEST(WriterBitRate, QualityTableIsFollowed) {
    EXPECT_EQ(AacBitRateForQuality(45, 2), 64000);
    EXPECT_EQ(AacBitRateForQuality(100, 2), 128000);
    EXPECT_EQ(AacBitRateForQuality(420, 2), 256000);
    EXPECT_EQ(AacBitRateForQuality(100, 1), 64000);
    EXPECT_EQ(AacBitRateForQuality(400, 1), 128000);
    EXPECT_EQ(AacBitRateForQuality(550, 1), 256000);
    EXPECT_EQ(AacBitRateForQuality(0, 2), 64000);
    EXPECT_EQ(AacBitRateForQuality(9999, 1), 256000);
    EXPECT_EQ(AacBitRateForQuality(260, 2), 192000);
}

TEST(Writer, InputAtAnotherRateIsResampled) {
    ScratchFolder dir;
    const std::string path = dir / "from22k.mp3";
    const std::vector<uint8_t> record = Mp3Record(2, 128000);
    ASSERT_TRUE(WriteFile(path, Signal(2, 22050, 3, false), 2, 22050, record.data()));
    EXPECT_EQ(Probe(path, "stream=sample_rate"), "44100");
    const Decoded d = DecodeAll(path);
    ASSERT_NE(d.handle, 0u);
    EXPECT_NEAR(static_cast<double>(d.frames()), 132300, 1152);
    EXPECT_NEAR(ZeroCrossingHz(d.samples, 2, 0, 44100, 4410, 120000), 1000, 10);

    const std::string wav = dir / "keeps48k.wav";
    ASSERT_TRUE(WriteFile(wav, Signal(1, 48000, 1, false), 1, 48000, nullptr));
    EXPECT_EQ(Probe(wav, "stream=sample_rate"), "48000");
}

TEST(Writer, BadArgumentsCreateNothing) {
    ScratchFolder dir;
    const WAVEFORMATEXTENSIBLE stereo = Pcm16(2, 44100);
    const std::vector<uint8_t> mp3 = Mp3Record(2, 128000);
    EXPECT_EQ(QoCoderCreateFile(nullptr, &stereo, mp3.data(), 0, nullptr), 0u);
    EXPECT_EQ(QoCoderCreateFile((dir / "a.mp3").c_str(), nullptr, mp3.data(), 0, nullptr), 0u);
    EXPECT_EQ(QoCoderCreateFile((dir / "a.xyz").c_str(), &stereo, nullptr, 0, nullptr), 0u);
    EXPECT_EQ(QoCoderCreateFile((dir / "a.tmp").c_str(), &stereo, nullptr, 0, nullptr), 0u);
    EXPECT_EQ(QoCoderCreateFile((dir / "no/such/folder/a.mp3").c_str(), &stereo, mp3.data(), 0, nullptr), 0u);
    const std::vector<uint8_t> unknown = Fields({0xBEEF9999, 1, 2, 3, 4, 5, 6, 7});
    EXPECT_EQ(QoCoderCreateFile((dir / "a.mp3").c_str(), &stereo, unknown.data(), 0, nullptr), 0u);
    const std::vector<uint8_t> badMode = Fields({QoEncoderMp3, 44100, 1, 3, 2, 1, 128000});
    EXPECT_EQ(QoCoderCreateFile((dir / "a.mp3").c_str(), &stereo, badMode.data(), 0, nullptr), 0u);
    const std::vector<uint8_t> noRate = Mp3Record(2, 0);
    EXPECT_EQ(QoCoderCreateFile((dir / "a.mp3").c_str(), &stereo, noRate.data(), 0, nullptr), 0u);

    WAVEFORMATEXTENSIBLE wide = stereo;
    wide.Format.wBitsPerSample = 24;
    wide.Format.nBlockAlign = 6;
    EXPECT_EQ(QoCoderCreateFile((dir / "a.wav").c_str(), &wide, nullptr, 0, nullptr), 0u);
    WAVEFORMATEXTENSIBLE surround = Pcm16(6, 44100);
    EXPECT_EQ(QoCoderCreateFile((dir / "a.wav").c_str(), &surround, nullptr, 0, nullptr), 0u);
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));

    // A refused record leaves an existing file alone.
    const std::string existing = dir / "keep.mp3";
    WriteBytes(existing, std::vector<uint8_t>(100, 7));
    EXPECT_EQ(QoCoderCreateFile(existing.c_str(), &stereo, badMode.data(), 0, nullptr), 0u);
    EXPECT_EQ(ReadBytes(existing), std::vector<uint8_t>(100, 7));
}

TEST(Writer, MismatchedByteCountIsNotTakenButTheWriterGoesOn) {
    ScratchFolder dir;
    const std::string path = dir / "out.wav";
    const WAVEFORMATEXTENSIBLE pcm = Pcm16(2, 44100);
    const uint32_t h = QoCoderCreateFile(path.c_str(), &pcm, nullptr, 0, nullptr);
    ASSERT_NE(h, 0u);
    std::vector<int16_t> block(2048, 100);
    EXPECT_EQ(QoCoderAddFileData(h, 1024, block.data(), 4095), 0);
    EXPECT_EQ(QoCoderAddFileData(h, 1024, block.data(), 2048), 0);
    EXPECT_EQ(QoCoderAddFileData(h, 1024, nullptr, 4096), 0);
    EXPECT_EQ(QoCoderAddFileData(h, 0, nullptr, 0), 1);
    EXPECT_EQ(QoCoderAddFileData(h, 1024, block.data(), 4096), 1);
    QoCoderCloseFile(h);
    EXPECT_EQ(QoCoderAddFileData(h, 1024, block.data(), 4096), 0);  // closed
    const Decoded d = DecodeAll(path);
    EXPECT_EQ(d.frames(), 1024u);
}

// Writes until a block is refused; the writer must then refuse everything and close
// cleanly. A container that writes its header at once may already fail to be created.
void ExpectFullDiskReported(const std::string& path, bool mayFailAtCreation) {
    const WAVEFORMATEXTENSIBLE pcm = Pcm16(2, 44100);
    const uint32_t h = QoCoderCreateFile(path.c_str(), &pcm, nullptr, 0, nullptr);
    if (!h && mayFailAtCreation) return;
    ASSERT_NE(h, 0u) << path;
    const std::vector<int16_t> block = Signal(2, 44100, 1024.0 / 44100, true);
    // A 64 KiB disk is full after a few seconds of any type.
    int taken = 0;
    while (taken < 20000 && QoCoderAddFileData(h, 1024, block.data(), 4096)) ++taken;
    EXPECT_LT(taken, 20000) << path;
    EXPECT_EQ(QoCoderAddFileData(h, 1024, block.data(), 4096), 0) << path;  // stays failed
    QoCoderCloseFile(h);
}

TEST(Writer, FullDeviceIsReported) {
    ScratchFolder dir;
    for (const char* name : {"full.wav", "full.mp3", "full.m4a"}) {
        const std::string path = dir / name;
        std::filesystem::create_symlink("/dev/full", path);
        ExpectFullDiskReported(path, true);
    }
}

TEST(Writer, FullFileSystemIsReportedAndTheFileIsLeft) {
    ScratchFolder dir;
    const std::string tiny = dir / "tiny";
    std::filesystem::create_directory(tiny);
    if (mount("tmpfs", tiny.c_str(), "tmpfs", 0, "size=64k") != 0) GTEST_SKIP() << "mounting is not allowed here";
    for (const char* name : {"full.wav", "full.mp3", "full.m4a"}) {
        const std::string path = tiny + "/" + name;
        ExpectFullDiskReported(path, false);
        EXPECT_TRUE(std::filesystem::exists(path)) << name;
        std::filesystem::remove(path);
    }
    umount(tiny.c_str());
}

TEST(Writer, ShowSettingsHasNoPanelYet) { EXPECT_EQ(QoCoderShowSettings(0, nullptr, 1), nullptr); }

}  // namespace
