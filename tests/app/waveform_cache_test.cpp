// The waveform editor's drawing cache on tracks decoded from generated WAV files.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/src/waveform_cache.h"
#include "tests/engine/track_fixture.h"

namespace {

// Samples that change from frame to frame in no regular way, channel 1 the negative of 0.
std::vector<int16_t> Pattern(uint32_t frames, int channels) {
    std::vector<int16_t> samples;
    for (uint32_t f = 0; f < frames; ++f) {
        const auto value = static_cast<int16_t>(static_cast<int32_t>((f * 7919u + f / 97 * 131u) % 40001u) - 20000);
        samples.push_back(value);
        if (channels == 2) samples.push_back(static_cast<int16_t>(-value));
    }
    return samples;
}

class WaveformCacheTest : public TrackFixture {
protected:
    // The (minimum, maximum) of one channel over placement frames [first, first + count).
    PeakPair Expected(const std::vector<int16_t>& samples, int channels, int channel, int64_t first,
                      int64_t count) const {
        PeakPair pair{32767, -32768};
        const int64_t frames = static_cast<int64_t>(samples.size()) / channels;
        for (int64_t f = std::max<int64_t>(first, 0); f < std::min(first + count, frames); ++f) {
            const int16_t v = samples[static_cast<size_t>(f * channels + channel)];
            pair.minimum = std::min(pair.minimum, v);
            pair.maximum = std::max(pair.maximum, v);
        }
        return pair;
    }

    void ExpectColumns(TrackSource& track, const std::vector<int16_t>& samples, int channels) {
        const DrawCache& cache = track.EditorDrawCache();
        ASSERT_EQ(cache.channels.size(), static_cast<size_t>(channels));
        for (int ch = 0; ch < channels; ++ch) {
            for (uint32_t i = 0; i < cache.validPairs; ++i) {
                const PeakPair want = Expected(samples, channels, ch,
                                               (cache.firstColumn + i) * static_cast<int64_t>(cache.zoom), cache.zoom);
                const PeakPair got = cache.channels[static_cast<size_t>(ch)][i];
                ASSERT_EQ(got.minimum, want.minimum) << "channel " << ch << " column " << i;
                ASSERT_EQ(got.maximum, want.maximum) << "channel " << ch << " column " << i;
            }
        }
    }
};

TEST_F(WaveformCacheTest, FromPeakPairsAtZoom512) {
    const std::vector<int16_t> samples = Pattern(60000, 2);
    TrackSlot slot;
    OpenOk(slot, Wav("stereo.wav", samples, 2));
    TrackSource& track = slot.source;
    // 100 columns of 512 frames: two peak pairs each, per channel, and no PCM read.
    const DrawCacheBuild build = BuildDrawCache(track, 512, 0, 100 * 512);
    const DrawCache& cache = track.EditorDrawCache();
    EXPECT_TRUE(cache.valid);
    EXPECT_EQ(cache.zoom, 512u);
    EXPECT_EQ(cache.firstColumn, 0);
    EXPECT_EQ(cache.validPairs, 100u);
    EXPECT_EQ(build.framesRead, 0u);
    EXPECT_EQ(build.peakPairsRead, 100u * 2 * 2);
    ExpectColumns(track, samples, 2);
}

TEST_F(WaveformCacheTest, ColumnsEndWithTheTrack) {
    const std::vector<int16_t> samples = Pattern(1300, 1);
    TrackSlot slot;
    OpenOk(slot, Wav("short.wav", samples, 1));
    TrackSource& track = slot.source;
    // 1300 frames at 512 per column: three columns, the last one partly filled.
    BuildDrawCache(track, 512, 0, 688 * 512);
    EXPECT_EQ(track.EditorDrawCache().validPairs, 3u);
    ExpectColumns(track, samples, 1);
    BuildDrawCache(track, 16, 0, 688 * 16);
    EXPECT_EQ(track.EditorDrawCache().validPairs, (1300u + 15) / 16);
    ExpectColumns(track, samples, 1);
}

TEST_F(WaveformCacheTest, FromPcmBelow256ReusingColumnsAfterAScroll) {
    const std::vector<int16_t> samples = Pattern(50000, 2);
    TrackSlot slot;
    OpenOk(slot, Wav("stereo.wav", samples, 2));
    TrackSource& track = slot.source;
    const uint32_t zoom = 64;
    const int64_t width = 100;

    DrawCacheBuild build = BuildDrawCache(track, zoom, 0, width * zoom);
    EXPECT_EQ(build.framesRead, 100u * zoom);
    EXPECT_EQ(build.peakPairsRead, 0u);
    EXPECT_EQ(build.columnsReused, 0u);
    EXPECT_EQ(track.EditorDrawCache().validPairs, 100u);
    ExpectColumns(track, samples, 2);

    // Ten columns to the right: ninety are kept, only the ten new ones are read.
    track.EditorDrawCache().valid = false;
    build = BuildDrawCache(track, zoom, 10 * zoom, (10 + width) * zoom);
    EXPECT_EQ(build.columnsReused, 90u);
    EXPECT_EQ(build.columnsComputed, 10u);
    EXPECT_EQ(build.framesRead, 10u * zoom);
    EXPECT_EQ(track.EditorDrawCache().firstColumn, 10);
    ExpectColumns(track, samples, 2);

    // Back to the left: columns 10 … 99 are kept, 0 … 9 read again.
    build = BuildDrawCache(track, zoom, 0, width * zoom);
    EXPECT_EQ(build.columnsReused, 90u);
    EXPECT_EQ(build.framesRead, 10u * zoom);
    ExpectColumns(track, samples, 2);

    // Another zoom reads everything again.
    build = BuildDrawCache(track, zoom / 2, 0, width * zoom / 2);
    EXPECT_EQ(build.columnsReused, 0u);
    EXPECT_EQ(build.framesRead, 100u * zoom / 2);
    ExpectColumns(track, samples, 2);
}

TEST_F(WaveformCacheTest, MovedAndTrimmedTrackStartsAtTheNearestColumn) {
    const std::vector<int16_t> samples = Pattern(20000, 1);
    TrackSlot slot;
    OpenOk(slot, Wav("mono.wav", samples, 1));
    TrackSource& track = slot.source;
    ASSERT_TRUE(track.Move(1000));
    ASSERT_TRUE(track.Trim(1, TrimEdge::Start, 1000 + 100));
    // The visible part starts 100 frames into the track: column (100 + 32) / 64 = 2.
    const DrawCacheBuild build = BuildDrawCache(track, 64, 0, 200 * 64);
    const DrawCache& cache = track.EditorDrawCache();
    EXPECT_EQ(cache.firstColumn, 2);
    // Up to the view's end: (12800 − 1000 + 63) / 64 = 185 columns from the placement start.
    EXPECT_EQ(cache.validPairs, 185u - 2u);
    EXPECT_EQ(build.framesRead, static_cast<uint64_t>(cache.validPairs) * 64);
    ExpectColumns(track, samples, 1);
    EXPECT_EQ(DrawCacheColumnFrame(track, 64, cache.firstColumn), 1000 + 128);
}

TEST_F(WaveformCacheTest, NothingVisibleLeavesAnEmptyValidCache) {
    const std::vector<int16_t> samples = Pattern(5000, 2);
    TrackSlot slot;
    OpenOk(slot, Wav("stereo.wav", samples, 2));
    TrackSource& track = slot.source;
    const DrawCacheBuild build = BuildDrawCache(track, 8, 100000, 200000);
    EXPECT_TRUE(track.EditorDrawCache().valid);
    EXPECT_EQ(track.EditorDrawCache().validPairs, 0u);
    EXPECT_EQ(build.framesRead, 0u);
    // A closed track draws nothing either.
    slot.Clear();
    BuildDrawCache(track, 8, 0, 5000);
    EXPECT_EQ(track.EditorDrawCache().validPairs, 0u);
}

}  // namespace
