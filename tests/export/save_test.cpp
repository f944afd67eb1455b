// Saving through the real encoders, normalizing, re-encoding and clean-up.
#include <sys/resource.h>

#include <cmath>
#include <csignal>
#include <filesystem>

#include "engine/progress.h"
#include "engine/saver.h"
#include "engine/temp_files.h"
#include "platform/files.h"
#include "save_fixture.h"

namespace {

namespace fs = std::filesystem;

class Save : public SaveFixture {};

TEST_F(Save, Mp3FromRealEncodedTracksWithFadesAndASecondTrack) {
    OpenOk(slots_[0], Tone("basic.mp3", 8, "-c:a libmp3lame -b:a 192k"));
    OpenOk(slots_[1], Tone("second.m4a", 2, "-c:a aac -b:a 128k"));
    ASSERT_TRUE(slots_[1].source.Move(4 * 44100));
    timeline_.SetProjectLength(timeline_.TracksEnd());
    timeline_.SetFadeIn(true);
    timeline_.SetFadeOut(true);
    saver_.SetNormalize(false);
    Export(44100, 7 * 44100);
    Output(QoEncoderMp3, 2, 128);
    const std::string path = SaveAs("ringtone.mp3");
    EXPECT_TRUE(Messages().empty());

    const std::string probe = Probe(path, "codec_name,channels,sample_rate,bit_rate,duration");
    EXPECT_NE(probe.find("codec_name=mp3"), std::string::npos) << probe;
    EXPECT_NE(probe.find("channels=2"), std::string::npos) << probe;
    EXPECT_NE(probe.find("bit_rate=128000"), std::string::npos) << probe;
    EXPECT_NEAR(Duration(probe), 6.0, 0.06) << probe;

    const std::vector<int16_t> pcm = DecodeWithFfmpeg(path, 2);
    ASSERT_NEAR(pcm.size() / 2.0, 6.0 * 44100, 0.05 * 44100);
    // The steady level of the tone as the encoder gives it back, within the encoder's loss
    // of the basic track's level.
    const double full = MeanLevel(pcm, 44100, 44100);
    EXPECT_NEAR(full, MeanLevel(DecodeWithFfmpeg(inputs_ + "/basic.mp3", 2), 44100, 44100), 0.08 * full);
    EXPECT_LT(MeanLevel(pcm, 0, 441), 0.02 * full) << "the fade in starts from silence";
    EXPECT_NEAR(MeanLevel(pcm, 22050 - 2205, 4410), 0.5 * full, 0.03 * full) << "half way up at half a second";
    // Seconds 3 to 5 of the ringtone hold both tracks: the same tone, twice as loud.
    EXPECT_NEAR(MeanLevel(pcm, 3 * 44100 + 4410, 44100), 2 * full, 0.1 * full);
    EXPECT_NEAR(MeanLevel(pcm, 5 * 44100 + 20000, 4410), 0.5 * full, 0.05 * full) << "half way down";
    EXPECT_LT(MeanLevel(pcm, pcm.size() / 2 - 441, 441), 0.02 * full) << "the fade out ends in silence";
}

TEST_F(Save, AacMonoAtTheChosenBitRate) {
    OpenOk(slots_[0], Tone("basic.wav", 12, ""));
    timeline_.SetProjectLength(timeline_.TracksEnd());
    Export(0, 10 * 44100);
    Output(QoEncoderAac, 1, 64);
    const std::string path = SaveAs("ringtone.aac");
    const std::string probe = Probe(path, "codec_name,channels");
    EXPECT_NE(probe.find("codec_name=aac"), std::string::npos) << probe;
    EXPECT_NE(probe.find("channels=1"), std::string::npos) << probe;
    const std::vector<int16_t> pcm = DecodeWithFfmpeg(path, 1);
    EXPECT_NEAR(pcm.size() / 44100.0, 10.0, 0.1);
    const double kbps = fs::file_size(path) * 8.0 / 10.0 / 1000.0;
    EXPECT_GT(kbps, 64 * 0.75);
    EXPECT_LT(kbps, 64 * 1.25);
}

TEST_F(Save, EncodesAgainOnlyAfterAChange) {
    UseTrack(1, StereoFrames(3 * 44100, [](uint32_t f, uint32_t) { return static_cast<int16_t>(f % 3000); }));
    Export(0, 2 * 44100);
    Output(QoEncoderMp3, 2, 128);
    ASSERT_TRUE(saver_.Save(progress_));
    const std::string first = saver_.EncodedPath();
    ASSERT_TRUE(saver_.Save(progress_));
    Output(QoEncoderMp3, 2, 128);
    ASSERT_TRUE(saver_.Save(progress_));
    EXPECT_EQ(saver_.EncodedPath(), first);
    EXPECT_EQ(SaveRuns(), 1u) << "saving twice with the same settings encodes once";

    Output(QoEncoderMp3, 2, 64);
    EXPECT_TRUE(saver_.EncodedPath().empty());
    EXPECT_FALSE(FileExists(first)) << "changing the bit rate deletes the encoded file";
    ASSERT_TRUE(saver_.Save(progress_));
    EXPECT_EQ(SaveRuns(), 2u);
}

TEST_F(Save, NormalizeUsesThePeakOfTheWholeRange) {
    // A quiet intro of two seconds, then a chorus at half scale.
    UseTrack(1, StereoFrames(4 * 44100, [](uint32_t f, uint32_t) {
                 const int16_t level = f < 2 * 44100 ? 1000 : 16384;
                 return static_cast<int16_t>(f % 2 == 0 ? level : -level);
             }));
    Export(0, 4 * 44100);
    ASSERT_TRUE(saver_.SetWaveOutput(2));
    const std::vector<int16_t> pcm = DecodeWithFfmpeg(SaveAs("normalized.wav"), 2);
    ASSERT_EQ(pcm.size(), 2u * 4 * 44100);
    // The chain's float conversion may take one step off the chorus.
    EXPECT_NEAR(saver_.Peaks()[0], 16384, 1);
    EXPECT_NEAR(saver_.Gains()[0], 32767.0 / saver_.Peaks()[0], 1e-6);
    // The intro keeps its relation to the chorus: both raised by the same gain.
    EXPECT_NEAR(MeanLevel(pcm, 1000, 40000), 2000, 3);
    EXPECT_NEAR(MeanLevel(pcm, 3 * 44100, 40000), 32767, 2);
    EXPECT_EQ(progress_.Records().back().lastPercent, 100u) << "the bar covers both passes";
}

TEST_F(Save, AQuietChannelNeedingTwoHundredfoldGainIsLeftAlone) {
    UseTrack(1, StereoFrames(2 * 44100, [](uint32_t f, uint32_t k) {
                 const int16_t level = k == 0 ? 12000 : 100;
                 return static_cast<int16_t>(f % 2 ? level : -level);
             }));
    Export(0, 2 * 44100);
    ASSERT_TRUE(saver_.SetWaveOutput(2));
    const std::vector<int16_t> pcm = DecodeWithFfmpeg(SaveAs("quiet.wav"), 2);
    EXPECT_NEAR(std::abs(pcm[2 * 1000]), 32767, 1) << "each channel has its own gain";
    EXPECT_GE(saver_.Gains()[1], 200.0f);
    EXPECT_NEAR(std::abs(pcm[2 * 1000 + 1]), 100, 1);
}

TEST_F(Save, WithoutNormalizeTheSamplesStayAndMonoMixesTheChannels) {
    UseTrack(1,
             StereoFrames(2 * 44100, [](uint32_t, uint32_t k) { return static_cast<int16_t>(k == 0 ? 4000 : 2000); }));
    Export(0, 2 * 44100);
    saver_.SetNormalize(false);
    ASSERT_TRUE(saver_.SetWaveOutput(1));
    const std::string path = SaveAs("mono.wav");
    EXPECT_NE(Probe(path, "channels").find("channels=1"), std::string::npos);
    const std::vector<int16_t> pcm = DecodeWithFfmpeg(path, 1);
    ASSERT_EQ(pcm.size(), 2u * 44100);
    EXPECT_NEAR(pcm[1000], 3000, 2);
    EXPECT_EQ(saver_.Gains()[0], 0.0f);
}

TEST_F(Save, CancelKeepsTheExportAndLeavesNoEncodedFile) {
    UseTrack(1, StereoFrames(20 * 44100, [](uint32_t f, uint32_t) { return static_cast<int16_t>(f % 3000); }));
    Export(0, 20 * 44100);
    Output(QoEncoderMp3, 2, 128);
    HeadlessProgressFactory cancelling({.atPercent = 30, .afterMs = std::nullopt, .onlyText = ""});
    EXPECT_FALSE(saver_.Save(cancelling));
    EXPECT_EQ(cancelling.Records().back().result, kProgressCancelled);
    EXPECT_TRUE(Messages().empty());
    EXPECT_TRUE(saver_.EncodedPath().empty());
    for (const std::string& name : TempFiles()) EXPECT_NE(name.rfind("qosav", 0), 0u) << name;
    EXPECT_TRUE(FileExists(saver_.ExportPath()));
}

TEST_F(Save, AWriterFailureFailsTheSave) {
    UseTrack(1, StereoFrames(10 * 44100, [](uint32_t f, uint32_t) { return static_cast<int16_t>(f % 3000); }));
    Export(0, 10 * 44100);
    ASSERT_TRUE(saver_.SetWaveOutput(2));
    struct rlimit old {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limited = old;
    limited.rlim_cur = 200000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    const bool saved = saver_.Save(progress_);
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved);
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text, "Error saving file");
    for (const std::string& name : TempFiles()) EXPECT_NE(name.rfind("qosav", 0), 0u) << name;
}

TEST_F(Save, CleanUpAndDestructionDeleteBothFiles) {
    UseTrack(1, StereoFrames(2 * 44100, [](uint32_t f, uint32_t) { return static_cast<int16_t>(f % 3000); }));
    {
        RingtoneSaver saver;
        timeline_.SetMarkers(0, 2 * 44100);
        TempFile exported;
        ASSERT_TRUE(saver.PrepareExport(timeline_, progress_, exported));
        ASSERT_TRUE(saver.AdoptExport(std::move(exported)));
        ASSERT_TRUE(saver.SetWaveOutput(2));
        ASSERT_TRUE(saver.Save(progress_));
        const std::string wav = saver.ExportPath();
        const std::string encoded = saver.EncodedPath();
        saver.CleanUp();
        EXPECT_FALSE(FileExists(wav));
        EXPECT_FALSE(FileExists(encoded));
        EXPECT_TRUE(saver.ExportPath().empty());
        exported = TempFile();
        timeline_.SetMarkers(0, 2 * 44100);
        ASSERT_TRUE(saver.PrepareExport(timeline_, progress_, exported));
        ASSERT_TRUE(saver.AdoptExport(std::move(exported)));
        ASSERT_TRUE(saver.Save(progress_));
    }
    for (const std::string& name : TempFiles()) EXPECT_EQ(name.rfind("qosrc", 0), 0u) << name;
}

}  // namespace
