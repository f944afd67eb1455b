// Audio CD tracks, on a BIN/CUE image made here: listing, probing, exact decoding, CD-Text.
#include <gtest/gtest.h>

#include <cstring>

#include "provider_support.h"

using namespace provider_test;

namespace {

constexpr uint32_t kSectorFrames = 588;
constexpr uint32_t kTrack1Sectors = 150;  // 2 s
constexpr uint32_t kTrack2Sectors = 75;   // 1 s

// The sample pattern of the image: distinct in every frame and channel.
int16_t Sample(uint32_t frame, int channel) {
    return static_cast<int16_t>(channel == 0 ? (frame * 7) % 65536 - 32768 : 32767 - (frame * 3) % 65536);
}

class CdImage : public ::testing::Test {
protected:
    void SetUp() override {
        // Raw CD audio in a BIN file: 16-bit little-endian stereo frames, as drives read them.
        std::vector<uint8_t> bin;
        const uint32_t frames = (kTrack1Sectors + kTrack2Sectors) * kSectorFrames;
        for (uint32_t f = 0; f < frames; ++f)
            for (int ch = 0; ch < 2; ++ch) {
                const auto v = static_cast<uint16_t>(Sample(f, ch));
                bin.push_back(static_cast<uint8_t>(v));
                bin.push_back(static_cast<uint8_t>(v >> 8));
            }
        WriteBytes(dir_ / "disc.bin", bin);
        const std::string cue =
            "TITLE \"Album Name\"\n"
            "PERFORMER \"Disc Artist\"\n"
            "FILE \"disc.bin\" BINARY\n"
            "  TRACK 01 AUDIO\n"
            "    TITLE \"First Tone\"\n"
            "    PERFORMER \"Track Artist\"\n"
            "    INDEX 01 00:00:00\n"
            "  TRACK 02 AUDIO\n"
            "    TITLE \"Second\"\n"
            "    INDEX 01 00:02:00\n";
        WriteBytes(dir_ / "disc.cue", std::vector<uint8_t>(cue.begin(), cue.end()));
    }
    std::string Track(int n, const std::string& image = "disc.cue") const {
        char name[32];
        std::snprintf(name, sizeof name, "/Track %02d.cda", n);
        return dir_ / image + name;
    }
    ScratchFolder dir_;
};

TEST_F(CdImage, ListsItsAudioTracks) {
    char buf[256];
    EXPECT_EQ(QoCdListTracks((dir_ / "disc.cue").c_str(), buf, sizeof buf), 2);
    EXPECT_STREQ(buf, "Track 01.cda\nTrack 02.cda");
    EXPECT_EQ(QoCdListTracks((dir_ / "disc.bin").c_str(), buf, sizeof buf), 2);  // through the CUE beside it
    EXPECT_EQ(QoCdListTracks((dir_ / "disc.cue").c_str(), nullptr, 0), 2);       // count only
    EXPECT_EQ(QoCdListTracks((dir_ / "disc.cue").c_str(), buf, 20), -1);         // does not fit
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(QoCdListTracks((dir_ / "missing.cue").c_str(), buf, sizeof buf), -1);
    EXPECT_EQ(QoCdListTracks(nullptr, buf, sizeof buf), -1);
}

TEST_F(CdImage, TracksAreProbedAsCdAudio) {
    const auto probed = ProbeFile(Track(1));
    ASSERT_TRUE(probed);
    EXPECT_EQ(probed->format.Format.nChannels, 2);
    EXPECT_EQ(probed->format.Format.nSamplesPerSec, 44100u);
    EXPECT_EQ(probed->format.Format.wBitsPerSample, 16);
    EXPECT_EQ(probed->format.Format.nBlockAlign, 4);
    EXPECT_EQ(probed->length, kTrack1Sectors * kSectorFrames);
    const auto second = ProbeFile(Track(2));
    ASSERT_TRUE(second);
    EXPECT_EQ(second->length, kTrack2Sectors * kSectorFrames);
}

TEST_F(CdImage, TracksDecodeToTheExactSamples) {
    for (const auto& [track, first, sectors] :
         {std::tuple{1, 0u, kTrack1Sectors}, std::tuple{2, kTrack1Sectors * kSectorFrames, kTrack2Sectors}}) {
        const Decoded d = DecodeAll(Track(track));
        ASSERT_NE(d.handle, 0u);
        EXPECT_EQ(d.length, sectors * kSectorFrames);
        ASSERT_EQ(d.frames(), sectors * kSectorFrames);
        size_t wrong = 0;
        for (uint32_t f = 0; f < d.frames(); ++f)
            for (int ch = 0; ch < 2; ++ch) wrong += d.samples[f * 2 + ch] != Sample(first + f, ch);
        EXPECT_EQ(wrong, 0u) << "track " << track;
    }
    const Decoded viaBin = DecodeAll(Track(2, "disc.bin"));
    EXPECT_EQ(viaBin.frames(), kTrack2Sectors * kSectorFrames);
}

TEST_F(CdImage, TrackRewindsAndMixesToMono) {
    WAVEFORMATEXTENSIBLE f = kWorkingFormat;
    uint32_t length = 0;
    const uint32_t h = QoOpenFile(Track(2).c_str(), &f, &length, QoModeDecode);
    ASSERT_NE(h, 0u);
    std::vector<int16_t> first(2048), again(2048);
    ASSERT_EQ(QoGetFileData(h, 0, 1024, first.data(), 4096), 1024u);
    ASSERT_EQ(QoGetFileData(h, 1024, 1024, again.data(), 4096), 1024u);
    ASSERT_EQ(QoGetFileData(h, 0, 1024, again.data(), 4096), 1024u);
    EXPECT_TRUE(first == again);
    QoCloseFile(h);

    const Decoded mono = DecodeAll(Track(1), 1);
    ASSERT_NE(mono.handle, 0u);
    EXPECT_EQ(mono.channels(), 1);
    EXPECT_EQ(mono.frames(), kTrack1Sectors * kSectorFrames);
}

TEST_F(CdImage, CdTextGivesTheTags) {
    const uint32_t h = QoTagOpen(Track(1).c_str());
    ASSERT_NE(h, 0u);
    QoTagInfo info{};
    ASSERT_EQ(QoTagGetInfo(h, &info), 1);
    std::vector<std::vector<char>> buffers(16);
    for (int i = 0; i < 16; ++i) {
        if (info.capacity[i] <= 0) continue;
        buffers[i].assign(info.capacity[i], 'Z');
        info.text[i] = buffers[i].data();
    }
    ASSERT_EQ(QoTagGetInfo(h, &info), 1);
    QoTagClose(h);
    EXPECT_STREQ(info.text[QoTagTitle], "First Tone");
    EXPECT_STREQ(info.text[QoTagArtist], "Track Artist");
    EXPECT_STREQ(info.text[QoTagAlbum], "Album Name");
    EXPECT_STREQ(info.text[QoTagTrack], "1");
    EXPECT_EQ(info.capacity[QoTagYear], -1);
}

TEST_F(CdImage, MissingTracksAndBrokenImagesAreRefused) {
    EXPECT_FALSE(ProbeFile(Track(3)));
    EXPECT_FALSE(ProbeFile(Track(0)));
    EXPECT_EQ(QoTagOpen(Track(3).c_str()), 0u);
    EXPECT_FALSE(ProbeFile(dir_ / "disc.cue/Track 1.cda"));
    EXPECT_FALSE(ProbeFile(dir_ / "disc.cue/track 01.cda"));
    EXPECT_FALSE(ProbeFile(dir_ / "nothing.cue/Track 01.cda"));

    // A sheet whose data file is missing, and a sheet of nonsense.
    const std::string orphan = "FILE \"gone.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n";
    WriteBytes(dir_ / "orphan.cue", std::vector<uint8_t>(orphan.begin(), orphan.end()));
    EXPECT_FALSE(ProbeFile(Track(1, "orphan.cue")));
    WriteBytes(dir_ / "junk.cue", std::vector<uint8_t>(3000, 0xFF));
    EXPECT_FALSE(ProbeFile(Track(1, "junk.cue")));
    EXPECT_EQ(QoCdListTracks((dir_ / "junk.cue").c_str(), nullptr, 0), -1);
}

TEST(CdDrives, ListingDrivesNeverFails) {
    char buf[1024];
    const int count = QoCdListDrives(buf, sizeof buf);
    ASSERT_GE(count, 0);
    if (count == 0) {
        EXPECT_STREQ(buf, "");
    }
    EXPECT_EQ(QoCdListDrives(nullptr, 0), count);
}

}  // namespace
