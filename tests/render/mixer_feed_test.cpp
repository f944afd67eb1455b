// The track mixer and the two source stages over real decoded tracks.
#include <cmath>

#include "chain_fixture.h"
#include "engine/render_chain.h"

namespace {

// Channel 0 holds the frame number (mod 30000), channel 1 its negation: every frame of the
// track can be recognised in the output.
int16_t Ramp(uint32_t frame, uint32_t channel) {
    const auto value = static_cast<int16_t>(frame % 30000);
    return channel == 0 ? value : static_cast<int16_t>(-value);
}

int Pcm(float sample) { return static_cast<int>(std::lround(sample * 32767.0)); }

class Mixer : public ChainFixture {};
class ExportFeed : public ChainFixture {};
class PlayFeed : public ChainFixture {
protected:
    // A ramp track, the play range [start, end) and the render position at start; the chain
    // is open for playback.
    void Prepare(int64_t start, int64_t end) {
        UseTrack(1, StereoFrames(5000, Ramp));
        timeline_.SetPlayRange(start, end);
        timeline_.SetRenderPosition(start);
        ASSERT_EQ(timeline_.SetUpPlayback(), EFF_OK);
        block_.Allocate(2, 1024);
    }
    TestPlayer player_;
    SoundBlock block_;
};

TEST_F(Mixer, TwoFullScaleTracksClipInsteadOfWrapping) {
    UseTrack(1, StereoFrames(2000, [](uint32_t, uint32_t k) { return static_cast<int16_t>(k == 0 ? 30000 : -30000); }));
    UseTrack(2, StereoFrames(1000, [](uint32_t, uint32_t k) { return static_cast<int16_t>(k == 0 ? 30000 : -30000); }));
    std::vector<int16_t> mix(2 * 1500);
    timeline_.MixTracks(mix.data(), 500, 1500);
    // Frames 500 ... 999 hold both tracks, 1000 ... 1999 only track 1.
    EXPECT_EQ(mix[0], 32767);
    EXPECT_EQ(mix[1], -32768);
    EXPECT_EQ(mix[2 * 499], 32767);
    EXPECT_EQ(mix[2 * 500], 30000);
    EXPECT_EQ(mix[2 * 500 + 1], -30000);
}

TEST_F(Mixer, MovedSecondTrackAndProjectEndShapeTheMix) {
    UseTrack(1, StereoFrames(1000, [](uint32_t, uint32_t) { return int16_t{100}; }));
    UseTrack(2, StereoFrames(1000, [](uint32_t, uint32_t) { return int16_t{1000}; }));
    ASSERT_TRUE(slots_[1].source.Move(600));
    timeline_.SetProjectLength(timeline_.TracksEnd());
    EXPECT_EQ(timeline_.ProjectLength(), 1600);
    std::vector<int16_t> mix(2 * 2000);
    timeline_.MixTracks(mix.data(), 0, 2000);
    EXPECT_EQ(mix[2 * 599], 100);
    EXPECT_EQ(mix[2 * 600], 1100);
    EXPECT_EQ(mix[2 * 999], 1100);
    EXPECT_EQ(mix[2 * 1000], 1000);
    EXPECT_EQ(mix[2 * 1599], 1000);
    // Past the project length nothing is mixed.
    EXPECT_EQ(mix[2 * 1600], 0);
    EXPECT_EQ(mix[2 * 1999 + 1], 0);
}

TEST_F(Mixer, MonoTrackSoundsOnBothChannels) {
    std::vector<int16_t> mono(800);
    for (size_t i = 0; i < mono.size(); ++i) mono[i] = static_cast<int16_t>(i * 10);
    UseTrack(1, mono, 1);
    std::vector<int16_t> mix(2 * 800);
    timeline_.MixTracks(mix.data(), 0, 800);
    for (size_t i = 0; i < 800; i += 97) {
        EXPECT_EQ(mix[2 * i], mono[i]);
        EXPECT_EQ(mix[2 * i + 1], mono[i]);
    }
}

TEST_F(ExportFeed, DeliversTheRangeOnceInBlocks) {
    UseTrack(1, StereoFrames(5000, Ramp));
    timeline_.ExportInput().SetRange(1000, 2500);
    SoundBlock block(2, 1024);
    std::vector<uint32_t> counts;
    int64_t frame = 1000;
    bool exact = true;
    for (uint32_t n; (n = timeline_.ExportInput().GetSoundData(block.get())) > 0;) {
        counts.push_back(n);
        EXPECT_EQ(block->frames, n);
        for (uint32_t i = 0; i < n; ++i, ++frame)
            exact = exact && Pcm(block->channels[0][i]) == frame && Pcm(block->channels[1][i]) == -frame;
    }
    EXPECT_TRUE(exact);
    EXPECT_EQ(counts, (std::vector<uint32_t>{1024, 1024, 452}));
    EXPECT_EQ(timeline_.ExportInput().Delivered(), timeline_.ExportInput().Length());
    EXPECT_EQ(timeline_.ExportInput().GetSoundData(block.get()), 0u);
}

TEST_F(ExportFeed, SilenceBeyondTheTracks) {
    UseTrack(1, StereoFrames(1000, [](uint32_t, uint32_t) { return int16_t{5000}; }));
    timeline_.SetProjectLength(3000);
    timeline_.ExportInput().SetRange(500, 1024);
    SoundBlock block(2, 1024);
    ASSERT_EQ(timeline_.ExportInput().GetSoundData(block.get()), 1024u);
    EXPECT_EQ(Pcm(block->channels[0][499]), 5000);
    EXPECT_EQ(block->channels[0][500], 0.0f);
    EXPECT_EQ(block->channels[1][1023], 0.0f);
}

TEST_F(PlayFeed, RepeatFillsTheBlockWithTheRangeAgainAndAgain) {
    Prepare(1000, 1300);
    player_.repeat = true;
    ASSERT_EQ(timeline_.PullPlayback(block_.get(), 0, player_), 1024u);
    bool exact = true;
    for (uint32_t i = 0; i < 1024; ++i)
        exact = exact && Pcm(block_->channels[0][i]) == 1000 + static_cast<int>(i % 300);
    EXPECT_TRUE(exact) << "the range three times, then its first 124 frames";
    EXPECT_EQ(timeline_.RenderPosition(), 1124);
    const std::vector<PlayPositionEntry> queued = timeline_.PositionQueue().Entries();
    ASSERT_EQ(queued.size(), 2u);
    EXPECT_EQ(queued[0].position, 1300);
    EXPECT_EQ(queued[1].position, 1000);

    // The next block goes on from where this one stopped.
    ASSERT_EQ(timeline_.PullPlayback(block_.get(), 0, player_), 1024u);
    EXPECT_EQ(Pcm(block_->channels[0][0]), 1124);
    EXPECT_EQ(Pcm(block_->channels[0][176]), 1000);
}

TEST_F(PlayFeed, WithoutRepeatTheRangeEndEndsTheStream) {
    Prepare(1000, 3000);
    timeline_.SetRenderPosition(2900);
    ASSERT_EQ(timeline_.PullPlayback(block_.get(), 0, player_), 100u);
    EXPECT_EQ(Pcm(block_->channels[0][99]), 2999);
    EXPECT_EQ(timeline_.PositionQueue().Entries().back().position, 3000);
    EXPECT_EQ(timeline_.PullPlayback(block_.get(), 0, player_), 0u);
    // Repeat switched on at the end starts the range again.
    player_.repeat = true;
    ASSERT_EQ(timeline_.PullPlayback(block_.get(), 0, player_), 1024u);
    EXPECT_EQ(Pcm(block_->channels[0][0]), 1000);
}

TEST_F(PlayFeed, EmptyRangeGivesNothingEvenWithRepeat) {
    Prepare(1000, 1000);
    player_.repeat = true;
    EXPECT_EQ(timeline_.PullPlayback(block_.get(), 0, player_), 0u);
}

TEST_F(PlayFeed, ReportsTheCursorsPlaceInTheRange) {
    Prepare(1000, 3000);
    timeline_.SetPlayCursor(2500);
    timeline_.PullPlayback(block_.get(), 0, player_);
    EXPECT_EQ(player_.lastPosition, 750u);
}

TEST(PlayPositionQueue, KeepsTheNewestSeven) {
    PlayPositionQueue queue;
    for (int64_t i = 0; i < 9; ++i) queue.Push(0, i * 100);
    std::vector<PlayPositionEntry> entries = queue.Entries();
    ASSERT_EQ(entries.size(), PlayPositionQueue::kCapacity);
    EXPECT_EQ(entries.front().position, 200);
    EXPECT_EQ(entries.back().position, 800);
    EXPECT_EQ(queue.TakeOldest()->position, 200);
    EXPECT_EQ(queue.Entries().size(), 6u);
    queue.TrimToNewest();
    entries = queue.Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].position, 800);
    queue.Clear();
    EXPECT_FALSE(queue.TakeOldest().has_value());
}

}  // namespace
