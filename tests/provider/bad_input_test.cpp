// Bad input never crashes and never hangs: every open of something that is not playable
// audio returns 0, and damaged audio decodes as far as it goes.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <random>

#include "provider_support.h"

using namespace provider_test;

namespace {

bool OpensInEitherMode(const std::string& path) {
    WAVEFORMATEXTENSIBLE f = kWorkingFormat;
    uint32_t length = 0;
    const uint32_t probe = QoOpenFile(path.c_str(), &f, &length, QoModeProbe);
    QoCloseFile(probe);
    f = kWorkingFormat;
    const uint32_t decode = QoOpenFile(path.c_str(), &f, &length, QoModeDecode);
    QoCloseFile(decode);
    return probe != 0 || decode != 0;
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// A 16-bit PCM WAV file with the given header fields and one second of silence at 8000 Hz.
std::vector<uint8_t> Wav(uint32_t rate, uint16_t channels) {
    const uint32_t data = 8000 * 4;
    std::vector<uint8_t> out;
    for (char c : std::string("RIFF")) out.push_back(static_cast<uint8_t>(c));
    Put32(out, 36 + data);
    for (char c : std::string("WAVEfmt ")) out.push_back(static_cast<uint8_t>(c));
    Put32(out, 16);
    Put16(out, 1);
    Put16(out, channels);
    Put32(out, rate);
    Put32(out, rate * channels * 2);
    Put16(out, static_cast<uint16_t>(channels * 2));
    Put16(out, 16);
    for (char c : std::string("data")) out.push_back(static_cast<uint8_t>(c));
    Put32(out, data);
    out.resize(out.size() + data, 0);
    return out;
}

std::vector<uint8_t> RandomBytes(size_t n, unsigned seed) {
    std::mt19937 random(seed);
    std::vector<uint8_t> bytes(n);
    for (auto& b : bytes) b = static_cast<uint8_t>(random());
    return bytes;
}

TEST(BadInput, NothingThatIsNotAudioOpens) {
    ScratchFolder dir;
    EXPECT_FALSE(OpensInEitherMode(dir / "missing.mp3"));
    EXPECT_FALSE(OpensInEitherMode(dir.Path()));  // a folder

    WriteBytes(dir / "empty.wav", {});
    EXPECT_FALSE(OpensInEitherMode(dir / "empty.wav"));

    WriteBytes(dir / "text.wav", std::vector<uint8_t>(5000, 'x'));
    EXPECT_FALSE(OpensInEitherMode(dir / "text.wav"));

    for (unsigned seed = 1; seed <= 6; ++seed) {
        for (const char* ext : {".mp3", ".wav", ".m4a", ".ogg", ".flac", ".aac"}) {
            const std::string path = dir / ("random" + std::to_string(seed) + ext);
            WriteBytes(path, RandomBytes(20000, seed));
            EXPECT_FALSE(OpensInEitherMode(path)) << path;
        }
    }

    ASSERT_TRUE(Ffmpeg("-f lavfi -i testsrc=size=32x32:rate=1 -frames:v 1 " + (dir / "picture.png")));
    EXPECT_FALSE(OpensInEitherMode(dir / "picture.png"));
    ASSERT_TRUE(Ffmpeg("-f lavfi -i testsrc=size=64x48:rate=10 -t 1 -c:v mpeg4 " + (dir / "silent.mp4")));
    EXPECT_FALSE(OpensInEitherMode(dir / "silent.mp4"));  // video without an audio stream

    // A path that runs through a file as if it were a folder.
    WriteBytes(dir / "plain.wav", Wav(8000, 2));
    EXPECT_TRUE(OpensInEitherMode(dir / "plain.wav"));
    EXPECT_FALSE(OpensInEitherMode(dir / "plain.wav/inner.wav"));
}

TEST(BadInput, DevicesAndPipesAreRefusedWithoutBlocking) {
    ScratchFolder dir;
    const std::string fifo = dir / "pipe.wav";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(OpensInEitherMode(fifo));  // opening a pipe without a writer would block
    EXPECT_FALSE(OpensInEitherMode("/dev/zero"));
    EXPECT_FALSE(OpensInEitherMode("/dev/null"));
}

TEST(BadInput, FilesNamingOtherFilesDoNotReachThem) {
    ScratchFolder dir;
    const std::string fifo = dir / "segment.ts";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // A playlist and a concat list naming a pipe: following them would block forever.
    WriteBytes(dir / "list.m3u8", [] {
        const std::string text = "#EXTM3U\n#EXT-X-TARGETDURATION:10\n#EXTINF:10,\nsegment.ts\n#EXT-X-ENDLIST\n";
        return std::vector<uint8_t>(text.begin(), text.end());
    }());
    WriteBytes(dir / "list.ffconcat", [] {
        const std::string text = "ffconcat version 1.0\nfile segment.ts\n";
        return std::vector<uint8_t>(text.begin(), text.end());
    }());
    EXPECT_FALSE(OpensInEitherMode(dir / "list.m3u8"));
    EXPECT_FALSE(OpensInEitherMode(dir / "list.ffconcat"));
}

TEST(BadInput, AbsurdHeaderValuesAreRefused) {
    ScratchFolder dir;
    const struct {
        const char* name;
        uint32_t rate;
        uint16_t channels;
    } cases[] = {{"rate0.wav", 0, 2}, {"rate500k.wav", 500000, 2}, {"channels0.wav", 8000, 0}};
    for (const auto& c : cases) {
        WriteBytes(dir / c.name, Wav(c.rate, c.channels));
        EXPECT_FALSE(OpensInEitherMode(dir / c.name)) << c.name;
    }
    WriteBytes(dir / "rate384k.wav", Wav(384000, 2));
    EXPECT_TRUE(OpensInEitherMode(dir / "rate384k.wav"));
}

TEST(BadInput, TruncatedHeaderIsRefused) {
    ScratchFolder dir;
    std::vector<uint8_t> wav = Wav(8000, 2);
    wav.resize(30);
    WriteBytes(dir / "cut.wav", wav);
    EXPECT_FALSE(OpensInEitherMode(dir / "cut.wav"));
}

TEST(BadInput, TruncatedAndDamagedAudioDecodesAsFarAsItGoes) {
    ScratchFolder dir;
    const std::string whole = dir / "whole.mp3";
    ASSERT_TRUE(Ffmpeg(SineSource({1000, 1000}, 44100, 4) + " -b:a 128k " + whole));
    const std::vector<uint8_t> bytes = ReadBytes(whole);

    std::vector<uint8_t> half(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(bytes.size() / 2));
    WriteBytes(dir / "half.mp3", half);
    const Decoded cut = DecodeAll(dir / "half.mp3");
    ASSERT_NE(cut.handle, 0u);
    EXPECT_NEAR(static_cast<double>(cut.frames()), 88200, 4000);

    std::vector<uint8_t> damaged = bytes;
    const std::vector<uint8_t> noise = RandomBytes(8000, 7);
    std::copy(noise.begin(), noise.end(), damaged.begin() + 20000);
    WriteBytes(dir / "damaged.mp3", damaged);
    const Decoded hurt = DecodeAll(dir / "damaged.mp3");
    ASSERT_NE(hurt.handle, 0u);
    EXPECT_GT(hurt.frames(), 44100u * 3);

    for (const char* encode : {"-c:a flac", "-c:a aac", "-c:a libvorbis"}) {
        const std::string source = dir / "source.mka";
        ASSERT_TRUE(Ffmpeg(SineSource({1000, 1000}, 44100, 2) + " " + encode + " " + source));
        std::vector<uint8_t> data = ReadBytes(source);
        data.resize(data.size() * 2 / 3);
        WriteBytes(dir / "short.mka", data);
        const Decoded d = DecodeAll(dir / "short.mka");
        EXPECT_NE(d.handle, 0u) << encode;
        EXPECT_GT(d.frames(), 0u) << encode;
    }
}

TEST(BadInput, UnreadableFileIsRefused) {
    ScratchFolder dir;
    const std::string path = dir / "locked.wav";
    WriteBytes(path, Wav(8000, 2));
    ASSERT_EQ(chmod(path.c_str(), 0), 0);
    if (access(path.c_str(), R_OK) == 0) GTEST_SKIP() << "running as root: permissions do not stop reading";
    EXPECT_FALSE(OpensInEitherMode(path));
}

TEST(BadInput, BadArgumentsAreRefused) {
    ScratchFolder dir;
    const std::string path = dir / "ok.wav";
    WriteBytes(path, Wav(8000, 2));
    WAVEFORMATEXTENSIBLE f = kWorkingFormat;
    uint32_t length = 0;
    EXPECT_EQ(QoOpenFile(nullptr, &f, &length, QoModeDecode), 0u);
    EXPECT_EQ(QoOpenFile(path.c_str(), nullptr, &length, QoModeDecode), 0u);
    EXPECT_EQ(QoOpenFile(path.c_str(), &f, &length, 2), 0u);
    EXPECT_EQ(QoOpenFile(path.c_str(), &f, &length, -1), 0u);
    for (const auto& [channels, rate] : {std::pair{0, 44100}, {9, 44100}, {2, 0}, {2, 400000}}) {
        f = kWorkingFormat;
        f.Format.nChannels = static_cast<uint16_t>(channels);
        f.Format.nSamplesPerSec = static_cast<uint32_t>(rate);
        EXPECT_EQ(QoOpenFile(path.c_str(), &f, &length, QoModeDecode), 0u) << channels << " " << rate;
    }
    f = kWorkingFormat;
    const uint32_t h = QoOpenFile(path.c_str(), &f, nullptr, QoModeDecode);  // length is optional
    EXPECT_NE(h, 0u);
    QoCloseFile(h);
}

TEST(BadInput, MemoryInputFollowsTheSameRules) {
    WAVEFORMATEXTENSIBLE f{};
    uint32_t length = 0;
    const std::vector<uint8_t> wav = Wav(8000, 2);
    const uint32_t h = QoOpenMemory(wav.data(), wav.size(), &f, &length, QoModeProbe);
    ASSERT_NE(h, 0u);
    EXPECT_EQ(f.Format.nSamplesPerSec, 8000u);
    EXPECT_EQ(length, 8000u);
    QoCloseFile(h);
    const std::vector<uint8_t> junk = RandomBytes(4096, 3);
    EXPECT_EQ(QoOpenMemory(junk.data(), junk.size(), &f, &length, QoModeProbe), 0u);
    EXPECT_EQ(QoOpenMemory(wav.data(), 0, &f, &length, QoModeProbe), 0u);
    EXPECT_EQ(QoOpenMemory(nullptr, 100, &f, &length, QoModeProbe), 0u);
}

}  // namespace
