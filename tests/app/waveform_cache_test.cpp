// The waveform editor's drawing cache on tracks decoded from generated WAV files.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/src/waveform_cache.h"
#include "engine/track.h"
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
    // The track lets go of its files before the test's folder goes.
    void TearDown() override {
        slot_.Clear();
        TrackFixture::TearDown();
    }

    // Opens a WAV file of `frames` frames of Pattern samples into slot_; samples_ keeps them.
    TrackSource& OpenPattern(const std::string& name, uint32_t frames, int channels) {
        samples_ = Pattern(frames, channels);
        OpenOk(slot_, Wav(name, samples_, channels));
        return slot_.source;
    }

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

    // Every valid column of the track's cache holds the peaks of samples_ over its frames.
    void ExpectColumns(TrackSource& track, int channels) {
        const DrawCache& cache = track.EditorDrawCache();
        ASSERT_EQ(cache.channels.size(), static_cast<size_t>(channels));
        for (int ch = 0; ch < channels; ++ch) {
            for (uint32_t i = 0; i < cache.validPairs; ++i) {
                const PeakPair want = Expected(samples_, channels, ch,
                                               (cache.firstColumn + i) * static_cast<int64_t>(cache.zoom), cache.zoom);
                const PeakPair got = cache.channels[static_cast<size_t>(ch)][i];
                ASSERT_EQ(got.minimum, want.minimum) << "channel " << ch << " column " << i;
                ASSERT_EQ(got.maximum, want.maximum) << "channel " << ch << " column " << i;
            }
        }
    }

    std::vector<int16_t> samples_;
    TrackSlot slot_;
};

TEST_F(WaveformCacheTest, FromPeakPairsAtZoom512) {
    TrackSource& track = OpenPattern("stereo.wav", 60000, 2);
    // 100 columns of 512 frames: two peak pairs each, per channel, and no PCM read.
    const DrawCacheBuild build = BuildDrawCache(track, 512, 0, 100 * 512);
    const DrawCache& cache = track.EditorDrawCache();
    EXPECT_TRUE(cache.valid);
    EXPECT_EQ(cache.zoom, 512u);
    EXPECT_EQ(cache.firstColumn, 0);
    EXPECT_EQ(cache.validPairs, 100u);
    EXPECT_EQ(build.framesRead, 0u);
    EXPECT_EQ(build.peakPairsRead, 100u * 2 * 2);
    ExpectColumns(track, 2);
}

TEST_F(WaveformCacheTest, ColumnsEndWithTheTrack) {
    TrackSource& track = OpenPattern("short.wav", 1300, 1);
    // 1300 frames at 512 per column: three columns, the last one partly filled.
    BuildDrawCache(track, 512, 0, 688 * 512);
    EXPECT_EQ(track.EditorDrawCache().validPairs, 3u);
    ExpectColumns(track, 1);
    BuildDrawCache(track, 16, 0, 688 * 16);
    EXPECT_EQ(track.EditorDrawCache().validPairs, (1300u + 15) / 16);
    ExpectColumns(track, 1);
}

TEST_F(WaveformCacheTest, FromPcmBelow256ReusingColumnsAfterAScroll) {
    TrackSource& track = OpenPattern("stereo.wav", 50000, 2);
    const uint32_t zoom = 64;
    const int64_t width = 100;

    DrawCacheBuild build = BuildDrawCache(track, zoom, 0, width * zoom);
    EXPECT_EQ(build.framesRead, 100u * zoom);
    EXPECT_EQ(build.peakPairsRead, 0u);
    EXPECT_EQ(build.columnsReused, 0u);
    EXPECT_EQ(track.EditorDrawCache().validPairs, 100u);
    ExpectColumns(track, 2);

    // Ten columns to the right: ninety are kept, only the ten new ones are read.
    track.EditorDrawCache().valid = false;
    build = BuildDrawCache(track, zoom, 10 * zoom, (10 + width) * zoom);
    EXPECT_EQ(build.columnsReused, 90u);
    EXPECT_EQ(build.columnsComputed, 10u);
    EXPECT_EQ(build.framesRead, 10u * zoom);
    EXPECT_EQ(track.EditorDrawCache().firstColumn, 10);
    ExpectColumns(track, 2);

    // Back to the left: columns 10 … 99 are kept, 0 … 9 read again.
    build = BuildDrawCache(track, zoom, 0, width * zoom);
    EXPECT_EQ(build.columnsReused, 90u);
    EXPECT_EQ(build.framesRead, 10u * zoom);
    ExpectColumns(track, 2);

    // Another zoom reads everything again.
    build = BuildDrawCache(track, zoom / 2, 0, width * zoom / 2);
    EXPECT_EQ(build.columnsReused, 0u);
    EXPECT_EQ(build.framesRead, 100u * zoom / 2);
    ExpectColumns(track, 2);
}

TEST_F(WaveformCacheTest, MovedAndTrimmedTrackStartsAtTheNearestColumn) {
    TrackSource& track = OpenPattern("mono.wav", 20000, 1);
    ASSERT_TRUE(track.Move(1000));
    ASSERT_TRUE(track.Trim(1, TrimEdge::Start, 1000 + 100));
    // The visible part starts 100 frames into the track: column (100 + 32) / 64 = 2.
    const DrawCacheBuild build = BuildDrawCache(track, 64, 0, 200 * 64);
    const DrawCache& cache = track.EditorDrawCache();
    EXPECT_EQ(cache.firstColumn, 2);
    // Up to the view's end: (12800 − 1000 + 63) / 64 = 185 columns from the placement start.
    EXPECT_EQ(cache.validPairs, 185u - 2u);
    EXPECT_EQ(build.framesRead, static_cast<uint64_t>(cache.validPairs) * 64);
    ExpectColumns(track, 1);
    EXPECT_EQ(DrawCacheColumnFrame(track, 64, cache.firstColumn), 1000 + 128);
}

TEST_F(WaveformCacheTest, NothingVisibleLeavesAnEmptyValidCache) {
    TrackSource& track = OpenPattern("stereo.wav", 5000, 2);
    const DrawCacheBuild build = BuildDrawCache(track, 8, 100000, 200000);
    EXPECT_TRUE(track.EditorDrawCache().valid);
    EXPECT_EQ(track.EditorDrawCache().validPairs, 0u);
    EXPECT_EQ(build.framesRead, 0u);
    // A closed track draws nothing either.
    slot_.Clear();
    BuildDrawCache(track, 8, 0, 5000);
    EXPECT_EQ(track.EditorDrawCache().validPairs, 0u);
}

}  // namespace
