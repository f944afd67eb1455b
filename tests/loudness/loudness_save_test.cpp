// Saving with loudness normalisation and the limiter, measured again by ffmpeg; the export's
// measurement of the rendered range.
#include <filesystem>

#include "../render/chain_fixture.h"
#include "engine/saver.h"
#include "engine/temp_files.h"
#include "ffmpeg_meter.h"

namespace {

namespace fs = std::filesystem;

class LoudnessSave : public ChainFixture {
protected:
    void Export(const std::vector<int16_t>& stereo) {
        UseTrack(1, stereo);
        timeline_.SetMarkers(0, static_cast<int64_t>(stereo.size() / 2));
        TempFile exported;
        ASSERT_TRUE(saver_.PrepareExport(timeline_, progress_, exported));
        ASSERT_TRUE(saver_.AdoptExport(std::move(exported)));
    }
    std::string SaveWav(const std::string& name, uint32_t channels) {
        EXPECT_TRUE(saver_.SetWaveOutput(channels));
        EXPECT_TRUE(saver_.Save(progress_));
        const std::string path = inputs_ + "/" + name;
        fs::copy_file(saver_.EncodedPath(), path, fs::copy_options::overwrite_existing);
        return path;
    }
    RingtoneSaver saver_;
};

TEST_F(LoudnessSave, ReachesTheTargetUnderTheCeilingByAnIndependentMeter) {
    // A quiet tone with short loud bursts: the gain raises the whole, the limiter holds the
    // bursts under -1 dBTP.
    auto samples = Sine(1000, -30, 8, 2);
    const auto burst = Sine(3000, -14, 0.01, 2);
    for (size_t second = 1; second < 8; ++second)
        std::copy(burst.begin(), burst.end(), samples.begin() + static_cast<std::ptrdiff_t>(second * 44100 * 2));
    Export(samples);
    saver_.SetNormalizeMode(NormalizeMode::Loudness);
    for (const uint32_t channels : {2u, 1u}) {
        const std::string path = SaveWav("loud" + std::to_string(channels) + ".wav", channels);
        // In the export's own channels the export's measurement serves; a downmix is
        // measured anew.
        if (channels == 2) {
            EXPECT_EQ(saver_.SavedLoudness().integratedLufs, saver_.RangeLoudness().integratedLufs);
        } else {
            EXPECT_EQ(saver_.SavedLoudness().samples, saver_.RangeLoudness().samples / 2);
        }
        const FfmpegLoudness measured = MeasureWithFfmpeg(path);
        ASSERT_TRUE(measured.ok);
        EXPECT_NEAR(measured.integrated, -14.0, 0.5)
            << channels << " channels, measured " << saver_.SavedLoudness().integratedLufs << " gain "
            << saver_.LoudnessGain();
        EXPECT_LE(measured.truePeak, -1.0) << channels << " channels";
        EXPECT_GT(saver_.LoudnessGain(), 0.0);
        EXPECT_FALSE(saver_.SavedLoudness().shortRange);
        // Exactly the range, aligned: the first frames are the range's first frames scaled.
        const std::vector<int16_t> pcm = DecodeWithFfmpeg(path, static_cast<int>(channels));
        ASSERT_EQ(pcm.size(), samples.size() / 2 * channels);
        const double gain = std::pow(10.0, saver_.LoudnessGain() / 20.0);
        const std::vector<int16_t> exported = DecodeWithFfmpeg(saver_.ExportPath(), static_cast<int>(channels));
        for (size_t f = 1; f < 100; f += 7) EXPECT_NEAR(pcm[f * channels], exported[f * channels] * gain, 1.0) << f;
        EXPECT_NEAR(pcm.back(), exported.back() * gain, 1.0) << "the last frame";
        saver_.SetLoudnessTarget(-18.0);
        const FfmpegLoudness lower = MeasureWithFfmpeg(SaveWav("quieter.wav", channels));
        EXPECT_NEAR(lower.integrated, -18.0, 0.5);
        saver_.SetLoudnessTarget(-14.0);
    }
}

TEST_F(LoudnessSave, TheExportMeasuresTheRangeAndItsClippingBeforeSixteenBits) {
    const auto samples = Sine(1000, -6, 3, 2);
    volume_.SetVolume(200);  // +6 dB: the crests go past full scale
    Export(samples);
    const LoudnessResult& range = saver_.RangeLoudness();
    EXPECT_TRUE(range.Clips());
    EXPECT_GT(range.ClippedPercent(), 1.0);
    EXPECT_LT(range.ClippedPercent(), 50.0);
    EXPECT_NEAR(range.integratedLufs, 0.0, 0.3);
    EXPECT_EQ(range.samples, samples.size());

    // The limiter alone, without the loudness gain, brings the peaks under the ceiling and
    // keeps the peak normalizer out.
    saver_.SetNormalizeMode(NormalizeMode::Off);
    saver_.SetLimiter(true);
    const FfmpegLoudness limited = MeasureWithFfmpeg(SaveWav("limited.wav", 2));
    ASSERT_TRUE(limited.ok);
    EXPECT_LE(limited.truePeak, -1.0);
    EXPECT_EQ(saver_.Peaks()[0], 0);

    volume_.SetVolume(100);
    Export(Sine(1000, -12, 2, 2));
    EXPECT_FALSE(saver_.RangeLoudness().Clips());
}

TEST_F(LoudnessSave, OffAndPeakStayAsTheyWere) {
    const auto samples = Sine(1000, -12, 2, 2);
    Export(samples);
    EXPECT_EQ(saver_.normalizeMode, NormalizeMode::Peak) << "the default";
    std::vector<int16_t> peak = DecodeWithFfmpeg(SaveWav("peak.wav", 2), 2);
    EXPECT_EQ(*std::max_element(peak.begin(), peak.end()), 32767);
    saver_.SetNormalize(false);
    EXPECT_EQ(saver_.normalizeMode, NormalizeMode::Off);
    EXPECT_EQ(DecodeWithFfmpeg(SaveWav("off.wav", 2), 2), DecodeWithFfmpeg(saver_.ExportPath(), 2))
        << "the exported samples as they are";
    EXPECT_EQ(NormalizeModeFromProfile(0), NormalizeMode::Off);
    EXPECT_EQ(NormalizeModeFromProfile(1), NormalizeMode::Peak);
    EXPECT_EQ(NormalizeModeFromProfile(2), NormalizeMode::Loudness);
}

}  // namespace
