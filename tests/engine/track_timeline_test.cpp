// An open track on the timeline: reads, mixing into the output, moving, trimming, peaks,
// and the files a slot owns.
#include <unistd.h>

#include <numeric>

#include "engine/track.h"
#include "track_fixture.h"

namespace {

using TrackTimeline = TrackFixture;

const WAVEFORMATEX kStereo = kWorkingFormat.Format;
const WAVEFORMATEX kMono = {WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};

// Frame f holds (f, -f) on two channels, or f alone.
std::vector<int16_t> Counting(uint32_t frames, int channels) {
    std::vector<int16_t> samples;
    for (uint32_t f = 0; f < frames; ++f) {
        samples.push_back(static_cast<int16_t>(f));
        if (channels == 2) samples.push_back(static_cast<int16_t>(-static_cast<int>(f)));
    }
    return samples;
}

TEST_F(TrackTimeline, ReadClampsToTheDecodedData) {
    TrackSlot slot;
    std::vector<int16_t> out(8, 7);
    EXPECT_EQ(slot.source.Read(out.data(), 0, 16), 0u);
    OpenOk(slot, Wav("count.wav", Counting(1000, 2), 2));
    EXPECT_EQ(slot.source.Read(out.data(), 3992, 16), 8u);
    EXPECT_EQ(out[0], 998);
    EXPECT_EQ(out[3], -999);
    EXPECT_EQ(out[4], 7);
    EXPECT_EQ(slot.source.Read(out.data(), 4000, 16), 0u);
    EXPECT_EQ(slot.source.Read(out.data(), uint64_t{1} << 33, 16), 0u);
}

TEST_F(TrackTimeline, RenderAddsOnlyTheActivePartWhereTheBufferMeetsIt) {
    TrackSlot slot;
    OpenOk(slot, Wav("count.wav", Counting(1000, 2), 2));
    TrackSource& track = slot.source;
    ASSERT_TRUE(track.Move(500));                     // placement [500, 1500)
    ASSERT_TRUE(track.Trim(1, TrimEdge::End, 1400));  // sounds in [500, 1400)
    std::vector<int16_t> out(2 * 400, 3);             // frames [1200, 1600)
    track.RenderIntoMix(out.data(), 1200, 400, kStereo);
    for (int frame = 1200; frame < 1600; ++frame) {
        const size_t i = 2 * static_cast<size_t>(frame - 1200);
        const int expected = frame < 1400 ? frame - 500 : 0;
        ASSERT_EQ(out[i], 3 + expected) << frame;
        ASSERT_EQ(out[i + 1], 3 - expected) << frame;
    }
    std::vector<int16_t> before(2 * 100, 3);
    std::vector<int16_t> untouched = before;
    track.RenderIntoMix(before.data(), 400, 100, kStereo);  // ends where the track starts
    EXPECT_EQ(before, untouched);
}

TEST_F(TrackTimeline, RenderSaturatesAndSpreadsMonoOverBothChannels) {
    TrackSlot loud;
    OpenOk(loud, Wav("loud.wav", std::vector<int16_t>(2 * 300, 30000), 2));
    std::vector<int16_t> out(2 * 300, 10000);
    loud.source.RenderIntoMix(out.data(), 0, 300, kStereo);
    EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](int16_t s) { return s == 32767; }));

    TrackSlot mono;
    OpenOk(mono, Wav("mono.wav", Counting(300, 1), 1));
    std::vector<int16_t> stereo(2 * 300, -32000);
    mono.source.RenderIntoMix(stereo.data(), 0, 300, kStereo);
    for (int f = 0; f < 300; ++f) {
        const int expected = -32000 + f;
        ASSERT_EQ(stereo[2 * f], expected);
        ASSERT_EQ(stereo[2 * f + 1], expected);
    }

    // A two-channel track into a one-channel mix sounds as the mean of its channels.
    std::vector<int16_t> single(300, 5);
    loud.source.RenderIntoMix(single.data(), 0, 300, kMono);
    EXPECT_TRUE(std::all_of(single.begin(), single.end(), [](int16_t s) { return s == 30005; }));
}

TEST_F(TrackTimeline, MoveStopsAtFrameZeroAndShiftsAllFourPositions) {
    TrackSlot slot;
    OpenOk(slot, Wav("count.wav", Counting(1000, 2), 2));
    TrackSource& track = slot.source;
    ASSERT_TRUE(track.Trim(10, TrimEdge::Start, 100));  // active [100, 1000)
    EXPECT_TRUE(track.Move(-250));                      // only 100 frames to go
    EXPECT_EQ(track.ActiveStart(), 0);
    EXPECT_EQ(track.ActiveEnd(), 900);
    EXPECT_EQ(track.PlacementStart(), -100);
    EXPECT_EQ(track.PlacementEnd(), 900);
    EXPECT_FALSE(track.Move(-1));
    EXPECT_FALSE(track.Move(0));
    EXPECT_TRUE(track.Move(int64_t{1} << 62));  // absurd moves stay representable
    EXPECT_EQ(track.PlacementEnd() - track.PlacementStart(), 1000);
}

TEST_F(TrackTimeline, TrimKeepsFivePixelsAndStaysInsideThePlacement) {
    TrackSlot slot;
    OpenOk(slot, Wav("count.wav", Counting(1000, 2), 2));
    TrackSource& track = slot.source;
    EXPECT_TRUE(track.Trim(20, TrimEdge::Start, 990));  // stops 5 × 20 frames before the end
    EXPECT_EQ(track.ActiveStart(), 900);
    EXPECT_FALSE(track.Trim(20, TrimEdge::Start, 950));
    EXPECT_TRUE(track.Trim(20, TrimEdge::Start, -50));
    EXPECT_EQ(track.ActiveStart(), 0);
    EXPECT_TRUE(track.Trim(20, TrimEdge::End, 50));  // stops 5 × 20 frames after the start
    EXPECT_EQ(track.ActiveEnd(), 100);
    EXPECT_TRUE(track.Trim(20, TrimEdge::End, 5000));
    EXPECT_EQ(track.ActiveEnd(), 1000);
    EXPECT_FALSE(track.Trim(20, TrimEdge::End, 1200));
}

TEST_F(TrackTimeline, PeakPairsCoverEach256Frames) {
    TrackSlot slot;
    OpenOk(slot, Wav("count.wav", Counting(1000, 2), 2));
    const TrackSource& track = slot.source;
    EXPECT_EQ(track.PeakArrayBytes(), 16u);  // 1000 / 256 × 4 + 4: four pairs
    for (uint32_t block = 0; block < 4; ++block) {
        const int first = static_cast<int>(block * 256);
        const int last = std::min(first + 255, 999);
        EXPECT_EQ(track.Peak(0, block).minimum, first);
        EXPECT_EQ(track.Peak(0, block).maximum, last);
        EXPECT_EQ(track.Peak(1, block).minimum, -last);
        EXPECT_EQ(track.Peak(1, block).maximum, -first);
    }
    EXPECT_EQ(track.Peak(0, 4).minimum, 32767);
    EXPECT_EQ(track.Peak(2, 0).maximum, -32768);
}

TEST_F(TrackTimeline, ReopeningKeepsTheDecodedFileAndTheTrim) {
    TrackSlot slot;
    OpenOk(slot, Wav("count.wav", Counting(1000, 2), 2));
    const std::string decoded = slot.source.TempPath();
    ASSERT_TRUE(slot.source.Trim(1, TrimEdge::End, 600));
    ASSERT_TRUE(slot.Open(progress_));
    EXPECT_EQ(slot.source.TempPath(), decoded);
    EXPECT_EQ(progress_.Records().size(), 2u);  // no second decode
    EXPECT_EQ(slot.source.ActiveEnd(), 600);
    // A moved track goes back to frame 0; what of its active range lies inside the placement
    // stays active. Moved by 700, the track sounds in [700, 1300) of [700, 1700); placed at
    // [0, 1000) again, [700, 1000) of that range is left.
    ASSERT_TRUE(slot.source.Move(700));
    EXPECT_EQ(slot.source.ActiveStart(), 700);
    EXPECT_EQ(slot.source.ActiveEnd(), 1300);
    ASSERT_TRUE(slot.Open(progress_));
    EXPECT_EQ(slot.source.PlacementStart(), 0);
    EXPECT_EQ(slot.source.PlacementEnd(), 1000);
    EXPECT_EQ(slot.source.ActiveStart(), 700);
    EXPECT_EQ(slot.source.ActiveEnd(), 1000);
    // Moved by 400 more, it sounds in [1100, 1400): nothing of that lies in [0, 1000), so the
    // whole track sounds again.
    ASSERT_TRUE(slot.source.Move(400));
    ASSERT_TRUE(slot.Open(progress_));
    EXPECT_EQ(slot.source.ActiveStart(), 0);
    EXPECT_EQ(slot.source.ActiveEnd(), 1000);
}

TEST_F(TrackTimeline, ASlotDeletesOnlyItsOwnFiles) {
    const std::string own = Wav("recording.wav", Counting(500, 2), 2);
    const std::string users = Wav("users.wav", Counting(500, 2), 2);
    {
        TrackSlot slot;
        OpenOk(slot, users);
        slot.SetPath(own);  // the user's file stays
        EXPECT_EQ(::access(users.c_str(), F_OK), 0);
        EXPECT_TRUE(TempFiles().empty());
        slot.temporary = true;
        ASSERT_TRUE(slot.Open(progress_));
        slot.SetPath(users);  // the program's own file goes
        EXPECT_NE(::access(own.c_str(), F_OK), 0);
        EXPECT_FALSE(slot.temporary);
    }
    EXPECT_EQ(::access(users.c_str(), F_OK), 0);
    const std::string another = Wav("another.wav", Counting(500, 2), 2);
    {
        TrackSlot slot;
        slot.SetPath(another);
        slot.temporary = true;
        ASSERT_TRUE(slot.Open(progress_));
    }
    EXPECT_NE(::access(another.c_str(), F_OK), 0);
    EXPECT_TRUE(TempFiles().empty());
}

}  // namespace
