// 16-bit PCM <-> float blocks, and milliseconds <-> frames.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "audiosvc/audiosvc.h"
#include "test_formats.h"

namespace {

const WAVEFORMATEXTENSIBLE kStereo = MakeFormat(2, 16, 3);
const WAVEFORMATEX* const kStereoFormat = &kStereo.Format;

TEST(SoundDataConversion, PcmToFloatDividesBy32767AsDouble) {
    const std::vector<int16_t> pcm = {0, 32767, -32768, 16384, -1, 1};
    SoundBlock block(2, 8);
    ASSERT_EQ(MME2SD(pcm.data(), 0, 12, block.get(), kStereoFormat, -1), 3u);
    EXPECT_EQ(block->frames, 3u);
    const float* left = block->channels[0];
    const float* right = block->channels[1];
    EXPECT_EQ(left[0], 0.0f);
    EXPECT_EQ(right[0], 1.0f);
    EXPECT_EQ(left[1], static_cast<float>(-32768 / 32767.0));
    EXPECT_LT(left[1], -1.0f);
    EXPECT_EQ(right[1], static_cast<float>(16384 / 32767.0));
    EXPECT_EQ(left[2], static_cast<float>(-1 / 32767.0));
    EXPECT_EQ(right[2], static_cast<float>(1 / 32767.0));
}

TEST(SoundDataConversion, PcmToFloatConvertsWholeFramesOnlyFromTheByteOffset) {
    // Two frames of padding, then frames (100, 200), (300, 400), and half a frame.
    const std::vector<int16_t> pcm = {7, 7, 7, 7, 100, 200, 300, 400, 500};
    SoundBlock block(2, 8);
    EXPECT_EQ(MME2SD(pcm.data(), 8, 10, block.get(), kStereoFormat, -1), 2u);
    EXPECT_EQ(block->frames, 2u);
    EXPECT_EQ(block->channels[0][0], static_cast<float>(100 / 32767.0));
    EXPECT_EQ(block->channels[1][0], static_cast<float>(200 / 32767.0));
    EXPECT_EQ(block->channels[0][1], static_cast<float>(300 / 32767.0));
    EXPECT_EQ(block->channels[1][1], static_cast<float>(400 / 32767.0));
    EXPECT_EQ(block->channels[0][2], 0.0f) << "the partial frame must not be converted";
    EXPECT_EQ(MME2SD(pcm.data(), 8, 3, block.get(), kStereoFormat, -1), 0u);
    EXPECT_EQ(block->frames, 0u);
}

TEST(SoundDataConversion, PcmToFloatReadsOneChannelIntoTheFirstArray) {
    const WAVEFORMATEXTENSIBLE six = MakeFormat(6, 16, 63);
    std::vector<int16_t> pcm(6 * 3);
    for (size_t i = 0; i < pcm.size(); ++i) pcm[i] = static_cast<int16_t>(1000 * i);
    SoundBlock block(1, 3);
    EXPECT_EQ(MME2SD(pcm.data(), 0, 36, block.get(), &six.Format, 4), 3u);
    EXPECT_EQ(block->channels[0][0], static_cast<float>(4000 / 32767.0));
    EXPECT_EQ(block->channels[0][1], static_cast<float>(10000 / 32767.0));
    EXPECT_EQ(block->channels[0][2], static_cast<float>(16000 / 32767.0));
}

TEST(SoundDataConversion, PcmToFloatRefusesAChannelOutsideTheFrame) {
    const std::vector<int16_t> pcm = {1, 2, 3, 4};
    SoundBlock block(2, 4);
    block->frames = 9;
    EXPECT_EQ(MME2SD(pcm.data(), 0, 8, block.get(), kStereoFormat, 2), 0u);
    EXPECT_EQ(MME2SD(pcm.data(), 0, 8, block.get(), kStereoFormat, -2), 0u);
    EXPECT_EQ(block->frames, 0u);
}

TEST(SoundDataConversion, PcmToFloatStopsAtTheBlockCapacity) {
    std::vector<int16_t> pcm(2 * 100, 1000);
    SoundBlock block(2, 10);
    EXPECT_EQ(MME2SD(pcm.data(), 0, 400, block.get(), kStereoFormat, -1), 10u);
    EXPECT_EQ(block->frames, 10u);
}

TEST(SoundDataConversion, BySamplesCountsFramesTimesChannelsTimesSampleBytes) {
    const std::vector<int16_t> pcm = {0, 0, -32768, 32767, 5, 6, 9, 9};
    SoundBlock block(2, 4);
    EXPECT_EQ(MME2SD_BYSAMPLES(pcm.data(), 2, block.get(), kStereoFormat, 4, -1), 2u);
    EXPECT_EQ(block->channels[0][0], static_cast<float>(-32768 / 32767.0));
    EXPECT_EQ(block->channels[1][0], 1.0f);
    EXPECT_EQ(block->channels[0][1], static_cast<float>(5 / 32767.0));
    EXPECT_EQ(MME2SD_BYSAMPLES(pcm.data(), 3, block.get(), kStereoFormat, 4, 1), 3u);
    EXPECT_EQ(block->channels[0][2], static_cast<float>(9 / 32767.0));
}

TEST(SoundDataConversion, FloatToPcmClampsThenTruncatesTowardZero) {
    SoundBlock block(2, 4);
    const float left[] = {0.99999f, -0.5f, static_cast<float>(-32768 / 32767.0), 2.0f};
    const float right[] = {1.0f, -1.5f, 0.5f, -0.00001f};
    std::memcpy(block->channels[0], left, sizeof left);
    std::memcpy(block->channels[1], right, sizeof right);
    std::vector<int16_t> pcm(8, 99);
    SD2MME(block.get(), 0, 4, pcm.data(), kStereoFormat);
    EXPECT_EQ(pcm, (std::vector<int16_t>{32766, 32767, -16383, -32767, -32767, 16383, 32767, 0}));
}

TEST(SoundDataConversion, FloatToPcmWritesFromTheFirstFrameToTheStartOfTheDestination) {
    SoundBlock block(2, 4);
    for (int f = 0; f < 4; ++f) {
        block->channels[0][f] = static_cast<float>(f) / 10.0f;
        block->channels[1][f] = -static_cast<float>(f) / 10.0f;
    }
    std::vector<int16_t> pcm(5, 99);
    SD2MME(block.get(), 2, 2, pcm.data(), kStereoFormat);
    EXPECT_EQ(pcm, (std::vector<int16_t>{6553, -6553, 9830, -9830, 99}));
}

TEST(SoundDataConversion, FloatToPcmTurnsNotANumberIntoSilenceAndClampsInfinity) {
    SoundBlock block(2, 1);
    block->channels[0][0] = std::numeric_limits<float>::quiet_NaN();
    block->channels[1][0] = -std::numeric_limits<float>::infinity();
    std::vector<int16_t> pcm(2, 99);
    SD2MME(block.get(), 0, 1, pcm.data(), kStereoFormat);
    EXPECT_EQ(pcm, (std::vector<int16_t>{0, -32767}));
}

TEST(SoundDataConversion, FloatToPcmFillsWhatTheBlockCannotHoldWithSilence) {
    SoundBlock block(1, 2);  // one array for a two-channel format, two frames
    block->channels[0][0] = 0.5f;
    block->channels[0][1] = -0.5f;
    std::vector<int16_t> pcm(7, 99);
    SD2MME(block.get(), 1, 3, pcm.data(), kStereoFormat);
    EXPECT_EQ(pcm, (std::vector<int16_t>{-16383, 0, 0, 0, 0, 0, 99}));
}

TEST(SoundDataConversion, RoundTripLosesAtMostOneStepTowardZero) {
    std::vector<int16_t> pcm;
    for (int v = -32768; v <= 32767; ++v) pcm.push_back(static_cast<int16_t>(v));
    const uint32_t frames = static_cast<uint32_t>(pcm.size() / 2);
    SoundBlock block(2, frames);
    ASSERT_EQ(MME2SD(pcm.data(), 0, frames * 4, block.get(), kStereoFormat, -1), frames);
    std::vector<int16_t> back(pcm.size());
    SD2MME(block.get(), 0, frames, back.data(), kStereoFormat);
    EXPECT_EQ(back.front(), -32767);
    EXPECT_EQ(back.back(), 32767);
    for (size_t i = 1; i < pcm.size(); ++i) {
        const int original = pcm[i], converted = back[i];
        ASSERT_LE(std::abs(converted), std::abs(original)) << original;
        ASSERT_LE(std::abs(original - converted), 1) << original;
    }
}

TEST(TimeFrames, ConvertWithTruncationAtTheFormatsRate) {
    const WAVEFORMATEX* format = kStereoFormat;
    EXPECT_EQ(TimeToSample(format, 44100), 1000u);
    EXPECT_EQ(SampleToTime(format, 1000), 44100u);
    EXPECT_EQ(TimeToSample(format, 44099), 999u);
    EXPECT_EQ(SampleToTime(format, 1), 44u);
    EXPECT_EQ(SampleToTime(format, 999), 44055u);
    const WAVEFORMATEXTENSIBLE odd = MakeFormat(1, 16, 0, 22050);
    EXPECT_EQ(TimeToSample(&odd.Format, 22051), 1000u);
    EXPECT_EQ(SampleToTime(&odd.Format, 3), 66u);
}

TEST(TimeFrames, LargeValuesDoNotOverflowWhileTheResultFits) {
    EXPECT_EQ(TimeToSample(kStereoFormat, 441000000000000000ull), 10000000000000000ull);
    EXPECT_EQ(TimeToSample(kStereoFormat, 441000000000000099ull), 10000000000000002ull);
    EXPECT_EQ(SampleToTime(kStereoFormat, 100000000000000000ull), 4410000000000000000ull);
    EXPECT_EQ(SampleToTime(kStereoFormat, 100000000000000001ull), 4410000000000000044ull);
}

TEST(TimeFrames, AZeroRateGivesZero) {
    const WAVEFORMATEXTENSIBLE zero = MakeFormat(2, 16, 0, 0);
    EXPECT_EQ(TimeToSample(&zero.Format, 5000), 0u);
    EXPECT_EQ(SampleToTime(&zero.Format, 5000), 0u);
}

}  // namespace
