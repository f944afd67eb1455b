// The saver's output settings, encoder records, estimates and texts.
#include <cstring>
#include <fstream>

#include "../render/chain_fixture.h"
#include "engine/progress.h"
#include "engine/render_chain.h"
#include "engine/saver.h"
#include "engine/temp_files.h"
#include "platform/files.h"
#include "platform/texts.h"
#include "platform/unique_fd.h"

namespace {

uint32_t U32At(const std::vector<uint8_t>& record, size_t offset) {
    uint32_t value = 0;
    std::memcpy(&value, record.data() + offset, 4);
    return value;
}

class SaverSettings : public ChainFixture {
protected:
    // Adopts a silent export file of the frames, made as the export makes it.
    void AdoptSilence(uint32_t frames) {
        TempFile file;
        ASSERT_TRUE(file.Create("qoexp", "wav"));
        const auto header = MakeExportWavHeader(RingtoneTimeline::MixFormat().Format, frames);
        ASSERT_TRUE(WriteAll(file.fd(), header.data(), header.size()));
        const std::vector<uint8_t> silence(static_cast<size_t>(frames) * 4);
        ASSERT_TRUE(WriteAll(file.fd(), silence.data(), silence.size()));
        ASSERT_TRUE(saver_.AdoptExport(std::move(file)));
    }
    size_t IndexOf(uint32_t tag) {
        const auto& encoders = RingtoneSaver::Encoders();
        return static_cast<size_t>(std::distance(encoders.begin(), encoders.find(tag)));
    }
    RingtoneSaver saver_;
};

TEST(SaverTexts, TimesAndSizes) {
    EXPECT_EQ(TimeText(59), "00:59");
    EXPECT_EQ(TimeText(3725), "01:02:05");
    EXPECT_EQ(SizeText(1023), "1023 bytes");
    EXPECT_EQ(SizeText(1536), "1.50 Kb.");
}

TEST(ExportHeader, FortyFourBytesOfTheMixFormat) {
    const auto header = MakeExportWavHeader(RingtoneTimeline::MixFormat().Format, 1000);
    const std::vector<uint8_t> bytes(header.begin(), header.end());
    EXPECT_EQ(std::string(header.begin(), header.begin() + 4), "RIFF");
    EXPECT_EQ(U32At(bytes, 4), 4000u + 36);
    EXPECT_EQ(std::string(header.begin() + 8, header.begin() + 16), "WAVEfmt ");
    EXPECT_EQ(U32At(bytes, 16), 16u);
    EXPECT_EQ(U32At(bytes, 20), 1u | (2u << 16));  // PCM, two channels
    EXPECT_EQ(U32At(bytes, 24), 44100u);
    EXPECT_EQ(U32At(bytes, 28), 176400u);
    EXPECT_EQ(U32At(bytes, 32), 4u | (16u << 16));  // block align, bits
    EXPECT_EQ(std::string(header.begin() + 36, header.begin() + 40), "data");
    EXPECT_EQ(U32At(bytes, 40), 4000u);
}

TEST_F(SaverSettings, AllEncodersAreOfferedInTagOrderWithMp3AndAacFirst) {
    const RingtoneSaver::EncoderList& encoders = RingtoneSaver::Encoders();
    const std::vector<std::pair<std::string, std::string>> expected = {{"MP3 (Lame)", ".mp3"},
                                                                       {"AAC (Faac)", ".aac"},
                                                                       {"iPhone ringtone (M4R)", ".m4r"},
                                                                       {"AAC in MP4 (M4A)", ".m4a"},
                                                                       {"Ogg Vorbis", ".ogg"},
                                                                       {"FLAC", ".flac"},
                                                                       {"WAV", ".wav"}};
    ASSERT_EQ(encoders.size(), expected.size());
    size_t index = 0;
    for (const auto& [tag, name] : encoders) {
        EXPECT_EQ(name, expected[index].first);
        EXPECT_EQ(RingtoneSaver::EncoderExtension(tag), expected[index].second);
        EXPECT_EQ(RingtoneSaver::IsLossless(tag), index >= 5) << name;
        ++index;
    }
    // Stored format indexes 0 and 1 keep meaning MP3 and AAC.
    ASSERT_TRUE(saver_.SetOutput(0, 2, 128));
    EXPECT_EQ(saver_.EncoderTag(), QoEncoderMp3);
    ASSERT_TRUE(saver_.SetOutput(1, 2, 128));
    EXPECT_EQ(saver_.EncoderTag(), QoEncoderAac);
}

TEST_F(SaverSettings, PhoneRecordsCarryChannelsRateBitRateAndTheLoopOption) {
    ASSERT_TRUE(saver_.SetOutput(IndexOf(QoEncoderOgg), 1, 64));
    std::vector<uint8_t> record = saver_.EncoderRecord();
    ASSERT_EQ(record.size(), 20u);
    EXPECT_EQ(U32At(record, 0), QoEncoderOgg);
    EXPECT_EQ(U32At(record, 4), 1u);
    EXPECT_EQ(U32At(record, 8), 44100u);
    EXPECT_EQ(U32At(record, 12), 64000u);
    EXPECT_EQ(U32At(record, 16), 0u);
    saver_.SetLoopTag(true);
    EXPECT_EQ(U32At(saver_.EncoderRecord(), 16), QoRecordLoopTag);
    ASSERT_TRUE(saver_.SetOutput(IndexOf(QoEncoderM4r), 2, 256));
    EXPECT_EQ(U32At(saver_.EncoderRecord(), 12), 256000u);
    EXPECT_EQ(U32At(saver_.EncoderRecord(), 16), 0u) << "the loop comment is Ogg's alone";
}

TEST_F(SaverSettings, LosslessRowsIgnoreTheBitRate) {
    ASSERT_TRUE(saver_.SetOutput(IndexOf(QoEncoderFlac), 2, 96));
    EXPECT_EQ(saver_.Bitrate(), 0u);
    EXPECT_EQ(U32At(saver_.EncoderRecord(), 12), 0u);
    ASSERT_TRUE(saver_.SetOutput(IndexOf(QoEncoderWav), 1, 256));
    EXPECT_EQ(saver_.EncoderTag(), RingtoneSaver::kWaveOutput);
    EXPECT_EQ(U32At(saver_.EncoderRecord(), 4), 1u);
    EXPECT_FALSE(saver_.SetOutput(IndexOf(QoEncoderWav), 3, 128));
}

TEST_F(SaverSettings, EstimateOfThirtySecondsAt128) {
    AdoptSilence(1323000);
    ASSERT_TRUE(saver_.SetOutput(IndexOf(QoEncoderMp3), 2, 128));
    const SaveEstimate estimate = saver_.Estimate();
    EXPECT_EQ(estimate.bytes, 491520u);
    EXPECT_EQ(estimate.sizeText, "480.00 Kb.");
    EXPECT_EQ(estimate.seconds, 30u);
    EXPECT_EQ(estimate.lengthText, "00:30");
    EXPECT_EQ(saver_.ExportFrames(), 1323000u);
    EXPECT_EQ(saver_.ExportFormat().Format.nChannels, 2);
}

TEST_F(SaverSettings, LengthRoundsToTheNearestSecond) {
    AdoptSilence(44100 + 22049);
    EXPECT_EQ(saver_.Estimate().seconds, 1u);
    AdoptSilence(44100 + 22050);
    EXPECT_EQ(saver_.Estimate().seconds, 2u);
}

TEST_F(SaverSettings, RecordsCarryChannelsBitRateAndQuality) {
    ASSERT_TRUE(saver_.SetOutput(IndexOf(QoEncoderAac), 1, 64));
    std::vector<uint8_t> record = saver_.EncoderRecord();
    ASSERT_EQ(record.size(), 4u + 40 + 20);
    EXPECT_EQ(U32At(record, 0), QoEncoderAac);
    WAVEFORMATEXTENSIBLE format{};
    std::memcpy(&format, record.data() + 4, sizeof format);
    EXPECT_EQ(format.Format.nChannels, 1);
    EXPECT_EQ(format.Format.nBlockAlign, 2);
    EXPECT_EQ(format.Format.nAvgBytesPerSec, 88200u);
    EXPECT_EQ(format.dwChannelMask, 4u);
    EXPECT_EQ(U32At(record, 44), 0u) << "the AAC encoder goes by its quality when saving";
    EXPECT_EQ(U32At(record, 48), 100u);
    EXPECT_EQ(U32At(record, 52), 1u);

    ASSERT_TRUE(saver_.SetOutput(IndexOf(QoEncoderAac), 2, 256));
    EXPECT_EQ(U32At(saver_.EncoderRecord(), 48), 420u);

    ASSERT_TRUE(saver_.SetOutput(IndexOf(QoEncoderMp3), 1, 256));
    record = saver_.EncoderRecord();
    ASSERT_EQ(record.size(), 28u);
    EXPECT_EQ(U32At(record, 4), 44100u);
    EXPECT_EQ(U32At(record, 16), 1u) << "mono";
    EXPECT_EQ(U32At(record, 24), 256000u);
    EXPECT_EQ(saver_.OutputFormat().dwChannelMask, 4u);
}

TEST_F(SaverSettings, AacQualityTable) {
    EXPECT_EQ(RingtoneSaver::AacQuality(1, 64), 100u);
    EXPECT_EQ(RingtoneSaver::AacQuality(2, 64), 45u);
    EXPECT_EQ(RingtoneSaver::AacQuality(1, 128), 400u);
    EXPECT_EQ(RingtoneSaver::AacQuality(2, 128), 100u);
    EXPECT_EQ(RingtoneSaver::AacQuality(1, 256), 550u);
    EXPECT_EQ(RingtoneSaver::AacQuality(2, 256), 420u);
}

TEST_F(SaverSettings, RefusesWhatCannotBeSaved) {
    EXPECT_FALSE(saver_.SetOutput(RingtoneSaver::Encoders().size(), 2, 128)) << "past the list";
    EXPECT_FALSE(saver_.SetOutput(0, 3, 128));
    EXPECT_FALSE(saver_.SetOutput(0, 0, 128));
    EXPECT_FALSE(saver_.SetOutput(0, 2, 96));
    EXPECT_FALSE(saver_.SetWaveOutput(6));
    EXPECT_TRUE(saver_.EncoderRecord().empty());
}

TEST_F(SaverSettings, AnExportFileTheProviderCannotReadIsDeleted) {
    TempFile file;
    ASSERT_TRUE(file.Create("qoexp", "wav"));
    ASSERT_TRUE(WriteAll(file.fd(), "not a wave file", 15));
    const std::string path = file.Path();
    EXPECT_FALSE(saver_.AdoptExport(std::move(file)));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text, "Error opening temponary file");
    EXPECT_FALSE(FileExists(path));
    EXPECT_TRUE(saver_.ExportPath().empty());
}

TEST_F(SaverSettings, SavingWithoutAnExportFails) {
    ASSERT_TRUE(saver_.SetOutput(0, 2, 128));
    HeadlessProgressFactory progress;
    EXPECT_FALSE(saver_.Save(progress));
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text, "Error saving file");
    EXPECT_TRUE(TempFiles().empty());
}

}  // namespace
