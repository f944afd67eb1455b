// Interleaved PCM: clearing, copying, splitting, joining and the saturating mix.
#include <gtest/gtest.h>

#include <vector>

#include "audiosvc/audiosvc.h"
#include "test_formats.h"

namespace {

using Pcm16 = std::vector<int16_t>;
using Pcm8 = std::vector<int8_t>;

const WAVEFORMATEXTENSIBLE kStereo16 = MakeFormat(2, 16, 3);
const WAVEFORMATEXTENSIBLE kStereo8 = MakeFormat(2, 8);
const WAVEFORMATEXTENSIBLE kMono16 = MakeFormat(1, 16);
// 5.1: codes 4, 5, 6, 3, 7, 8 in interleaved order.
const WAVEFORMATEXTENSIBLE kSix16 = MakeFormat(6, 16, 63);
const WAVEFORMATEXTENSIBLE kSix8 = MakeFormat(6, 8, 63);

// Frames f = 0..frames-1 of a layout, sample (f, k) = base + 10 f + k.
template <typename Sample>
std::vector<Sample> Ramp(size_t frames, size_t channels, int base) {
    std::vector<Sample> data(frames * channels);
    for (size_t f = 0; f < frames; ++f)
        for (size_t k = 0; k < channels; ++k) data[f * channels + k] = static_cast<Sample>(base + 10 * f + k);
    return data;
}

// ---- clear ---------------------------------------------------------------------------

TEST(ClearWaveData, AllChannelsZeroWholeFramesOnly) {
    Pcm16 data = Ramp<int16_t>(4, 2, 1);
    ClearWaveData(data.data(), &kStereo16.Format, 3, CHANNEL_ALL);
    EXPECT_EQ(data, (Pcm16{0, 0, 0, 0, 0, 0, 31, 32}));
}

TEST(ClearWaveData, OneChannelOfStereoAndOfSixChannels) {
    Pcm16 stereo = Ramp<int16_t>(3, 2, 1);
    ClearWaveData(stereo.data(), &kStereo16.Format, 3, CHANNEL_RIGHT);
    EXPECT_EQ(stereo, (Pcm16{1, 0, 11, 0, 21, 0}));

    Pcm16 six = Ramp<int16_t>(2, 6, 1);
    ClearWaveData(six.data(), &kSix16.Format, 2, CHANNEL_FRONT_CENTER);  // index 2
    EXPECT_EQ(six, (Pcm16{1, 2, 0, 4, 5, 6, 11, 12, 0, 14, 15, 16}));

    Pcm8 six8 = Ramp<int8_t>(2, 6, 1);
    ClearWaveData(six8.data(), &kSix8.Format, 2, CHANNEL_LOW_FREQUENCY);  // index 3
    EXPECT_EQ(six8, (Pcm8{1, 2, 3, 0, 5, 6, 11, 12, 13, 0, 15, 16}));
}

TEST(ClearWaveData, ChannelsTheLayoutDoesNotHoldAreLeftAlone) {
    Pcm16 six = Ramp<int16_t>(2, 6, 1);
    const Pcm16 before = six;
    ClearWaveData(six.data(), &kSix16.Format, 2, CHANNEL_SIDE_LEFT);
    ClearWaveData(six.data(), &kSix16.Format, 2, CHANNEL_LEFT);
    const WAVEFORMATEXTENSIBLE noMask = MakeFormat(6, 16);
    ClearWaveData(six.data(), &noMask.Format, 2, CHANNEL_FRONT_LEFT);
    EXPECT_EQ(six, before);
}

// ---- split and join ------------------------------------------------------------------

TEST(SplitChannel, ExtractsOneChannelContiguously) {
    const Pcm16 six = Ramp<int16_t>(3, 6, 100);
    Pcm16 out(4, -1);
    SplitChannel(out.data(), six.data(), &kSix16.Format, 3, 4);
    EXPECT_EQ(out, (Pcm16{104, 114, 124, -1}));

    const Pcm8 stereo = Ramp<int8_t>(3, 2, -50);
    Pcm8 right(3);
    SplitChannel(right.data(), stereo.data(), &kStereo8.Format, 3, 1);
    EXPECT_EQ(right, (Pcm8{-49, -39, -29}));
}

TEST(SplitChannel, AnIndexPastTheFrameDoesNothing) {
    const Pcm16 stereo = Ramp<int16_t>(3, 2, 1);
    Pcm16 out(3, -1);
    SplitChannel(out.data(), stereo.data(), &kStereo16.Format, 3, 2);
    EXPECT_EQ(out, (Pcm16{-1, -1, -1}));
}

TEST(JoinChannels, InterleavesLeftAndRight) {
    const Pcm16 left = {1, 2, 3}, right = {-1, -2, -3};
    Pcm16 out(6);
    JoinChannels(out.data(), left.data(), right.data(), &kStereo16.Format, 3);
    EXPECT_EQ(out, (Pcm16{1, -1, 2, -2, 3, -3}));

    const Pcm8 left8 = {-128, 127}, right8 = {5, -5};
    Pcm8 out8(4);
    JoinChannels(out8.data(), left8.data(), right8.data(), &kStereo8.Format, 2);
    EXPECT_EQ(out8, (Pcm8{-128, 5, 127, -5}));
}

TEST(JoinChannels, WidensMonoInPlace) {
    Pcm16 buffer = {10, 20, 30, 40, 0, 0, 0, 0};  // mono in the first half
    JoinChannels(buffer.data(), buffer.data(), buffer.data(), &kMono16.Format, 4);
    EXPECT_EQ(buffer, (Pcm16{10, 10, 20, 20, 30, 30, 40, 40}));
}

// ---- copy ----------------------------------------------------------------------------

TEST(CopyWaveData, WholeFramesCopyBlockAlignBytes) {
    const Pcm16 source = Ramp<int16_t>(3, 2, 1);
    Pcm16 out(8, -1);
    CopyWaveData(out.data(), source.data(), &kStereo16.Format, 3, CHANNEL_ALL);
    EXPECT_EQ(out, (Pcm16{1, 2, 11, 12, 21, 22, -1, -1}));
}

TEST(CopyWaveData, SixteenBitSourceIsOneContiguousChannel) {
    const Pcm16 mono = {7, 8, 9};
    Pcm16 stereo(6, -1);
    CopyWaveData(stereo.data(), mono.data(), &kStereo16.Format, 3, CHANNEL_RIGHT);
    EXPECT_EQ(stereo, (Pcm16{-1, 7, -1, 8, -1, 9}));

    Pcm16 six(12, -1);
    CopyWaveData(six.data(), mono.data(), &kSix16.Format, 2, CHANNEL_BACK_RIGHT);  // index 5
    EXPECT_EQ(six, (Pcm16{-1, -1, -1, -1, -1, 7, -1, -1, -1, -1, -1, 8}));
}

TEST(CopyWaveData, EightBitSourceIsInterleavedLikeTheDestination) {
    const Pcm8 source = Ramp<int8_t>(2, 6, 1);
    Pcm8 six(12, -1);
    CopyWaveData(six.data(), source.data(), &kSix8.Format, 2, CHANNEL_BACK_LEFT);  // index 4
    EXPECT_EQ(six, (Pcm8{-1, -1, -1, -1, 5, -1, -1, -1, -1, -1, 15, -1}));
}

TEST(CopyWaveData, OtherSampleWidthsAndInconsistentFormatsDoNothingPerChannel) {
    const WAVEFORMATEXTENSIBLE wide = MakeFormat(2, 24);
    WAVEFORMATEXTENSIBLE lying = kStereo16;
    lying.Format.nBlockAlign = 2;  // a frame would not hold both channels
    const Pcm16 source(12, 5);
    Pcm16 out(12, -1);
    CopyWaveData(out.data(), source.data(), &wide.Format, 2, CHANNEL_LEFT);
    CopyWaveData(out.data(), source.data(), &lying.Format, 2, CHANNEL_LEFT);
    EXPECT_EQ(out, Pcm16(12, -1));
}

// ---- mix -----------------------------------------------------------------------------

TEST(MixWaveData, SixteenBitSumsSaturate) {
    const Pcm16 a = {30000, -30000, 100, 32767};
    const Pcm16 b = {10000, -10000, -100, -1};
    Pcm16 out(4);
    MixWaveData(out.data(), a.data(), 2, b.data(), 2, &kStereo16.Format, CHANNEL_ALL);
    EXPECT_EQ(out, (Pcm16{32767, -32768, 0, 32766}));
}

TEST(MixWaveData, EightBitSamplesAreSignedAndSaturate) {
    const Pcm8 a = {100, -100, -1, 127};
    const Pcm8 b = {100, -100, -1, -128};
    Pcm8 out(4);
    MixWaveData(out.data(), a.data(), 2, b.data(), 2, &kStereo8.Format, CHANNEL_ALL);
    EXPECT_EQ(out, (Pcm8{127, -128, -2, -1}));
}

TEST(MixWaveData, UnevenLengthsGiveTheSumThenTheRestOfTheLongerInEitherOrder) {
    const Pcm16 ten = Ramp<int16_t>(10, 2, 1000);
    const Pcm16 four = Ramp<int16_t>(4, 2, 1);
    Pcm16 expected = ten;
    for (size_t i = 0; i < four.size(); ++i) expected[i] = static_cast<int16_t>(ten[i] + four[i]);

    Pcm16 longFirst(20, -1), longSecond(20, -1);
    MixWaveData(longFirst.data(), ten.data(), 10, four.data(), 4, &kStereo16.Format, CHANNEL_ALL);
    MixWaveData(longSecond.data(), four.data(), 4, ten.data(), 10, &kStereo16.Format, CHANNEL_ALL);
    EXPECT_EQ(longFirst, expected);
    EXPECT_EQ(longSecond, expected);
}

TEST(MixWaveData, MixesInPlaceIntoEitherInput) {
    const Pcm16 ten = Ramp<int16_t>(10, 2, 1000);
    const Pcm16 four = Ramp<int16_t>(4, 2, 1);
    Pcm16 expected = ten;
    for (size_t i = 0; i < four.size(); ++i) expected[i] = static_cast<int16_t>(ten[i] + four[i]);

    Pcm16 intoLong = ten;
    MixWaveData(intoLong.data(), intoLong.data(), 10, four.data(), 4, &kStereo16.Format, CHANNEL_ALL);
    EXPECT_EQ(intoLong, expected);

    Pcm16 intoShort(20, 0);
    std::copy(four.begin(), four.end(), intoShort.begin());
    MixWaveData(intoShort.data(), intoShort.data(), 4, ten.data(), 10, &kStereo16.Format, CHANNEL_ALL);
    EXPECT_EQ(intoShort, expected);
}

TEST(MixWaveData, OneChannelOfStereoAddsAContiguousChannelAndKeepsTheOther) {
    const Pcm16 stereo = {1, 30000, 2, 20, 3, 30, 4, 40};
    const Pcm16 mono = {10000, 5};
    Pcm16 out(8, -1);
    MixWaveData(out.data(), stereo.data(), 4, mono.data(), 2, &kStereo16.Format, CHANNEL_RIGHT);
    EXPECT_EQ(out, (Pcm16{-1, 32767, -1, 25, -1, 30, -1, 40}));

    Pcm16 inPlace = stereo;
    MixWaveData(inPlace.data(), inPlace.data(), 4, mono.data(), 2, &kStereo16.Format, CHANNEL_RIGHT);
    EXPECT_EQ(inPlace, (Pcm16{1, 32767, 2, 25, 3, 30, 4, 40}));
}

TEST(MixWaveData, OneChannelWithTheLongerChannelSecondCopiesItsRest) {
    const Pcm16 stereo = {1, 100, 2, 200};
    const Pcm16 mono = {-50, -60, -70, -80};
    Pcm16 out(8, -1);
    MixWaveData(out.data(), stereo.data(), 2, mono.data(), 4, &kStereo16.Format, CHANNEL_RIGHT);
    EXPECT_EQ(out, (Pcm16{-1, 50, -1, 140, -1, -70, -1, -80}));
}

TEST(MixWaveData, OneChannelOfSixChannels) {
    const Pcm16 six = Ramp<int16_t>(3, 6, 0);
    const Pcm16 mono = {1000, 2000, 3000};
    Pcm16 out = six;
    MixWaveData(out.data(), six.data(), 3, mono.data(), 3, &kSix16.Format, CHANNEL_FRONT_CENTER);  // index 2
    Pcm16 expected = six;
    expected[2] += 1000;
    expected[8] += 2000;
    expected[14] += 3000;
    EXPECT_EQ(out, expected);
}

TEST(MixWaveData, OneChannelOfEightBitReadsTheOtherFromItsFirstByte) {
    const Pcm8 a = {1, 2, 11, 12, 21, 22};
    const Pcm8 b = {100, 0, 50, 0};
    Pcm8 out(6, -1);
    MixWaveData(out.data(), a.data(), 3, b.data(), 2, &kStereo8.Format, CHANNEL_RIGHT);
    EXPECT_EQ(out, (Pcm8{-1, 102, -1, 62, -1, 22}));
}

TEST(MixWaveData, OtherWidthsAndUnknownChannelsDoNothing) {
    const WAVEFORMATEXTENSIBLE wide = MakeFormat(2, 32);
    const Pcm16 a(8, 1), b(8, 2);
    Pcm16 out(8, -1);
    MixWaveData(out.data(), a.data(), 2, b.data(), 2, &wide.Format, CHANNEL_ALL);
    MixWaveData(out.data(), a.data(), 2, b.data(), 2, &kSix16.Format, CHANNEL_SIDE_RIGHT);
    EXPECT_EQ(out, Pcm16(8, -1));
}

}  // namespace
