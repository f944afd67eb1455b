// What the player sends to the device, read back from SDL's disk driver: the callback's
// blocks sample for sample, the gains, the end of the data, pausing, a device that goes away.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>

#include "engine/player.h"
#include "tests/platform_audio/audio_test_support.h"
#include "tests/player/player_test_support.h"

namespace {

using playertest::SampleAt;
using playertest::Source;

class PlayerOutput : public ::testing::Test {
protected:
    void SetUp() override { audiotest::UseDiskDriver(output_); }

    // The preview's ring: five parts of 1024 frames.
    void Configure(uint16_t channels) {
        ASSERT_EQ(player.SetFormat(playertest::Format(channels)), 1);
        ASSERT_EQ(player.SetBufferCount(5), 1);
        ASSERT_EQ(player.SetBufferSize(1024u * channels * 2), 1);
    }

    // Plays the source to its end notice.
    void PlayToTheEnd(Source& source) {
        ASSERT_EQ(player.SetDataCallback(&Source::Callback, &source), 1);
        ASSERT_EQ(player.Start(), 1);
        ASSERT_TRUE(audiotest::WaitUntil([&] { return source.EndNotices() == 1; }));
        EXPECT_EQ(player.GetState(), kPlayerStopped);
        EXPECT_EQ(engine.StopStatus(), kStopDataEnded);
    }

    std::vector<int16_t> Samples() const { return audiotest::ReadSamples(output_); }

    ScratchFolder folder;
    const std::string output_ = folder / "played.raw";
    CExtPlayerDX engine;
    XPlayer player{engine};
};

TEST_F(PlayerOutput, SendsTheCallbacksBlocksSampleForSampleThenSilenceAndEndsOnce) {
    Configure(2);
    Source source(2, 11025);  // ends inside a part
    size_t soundingAtNotice = 0;
    int32_t stateAtNotice = -1;
    source.onEndNotice = [&] {
        soundingAtNotice = audiotest::SoundingFrames(Samples(), 2).size();
        stateAtNotice = engine.State();
    };
    PlayToTheEnd(source);
    EXPECT_EQ(source.Produced(), 11025u);
    EXPECT_EQ(audiotest::SoundingFrames(Samples(), 2), source.Expected());
    EXPECT_EQ(soundingAtNotice, 11025u * 2) << "the notice comes after the ring has played out";
    EXPECT_EQ(stateAtNotice, kPlayerStopped);
    EXPECT_TRUE(audiotest::WaitUntil([] { return audiotest::ThreadsNamed("morvane-feeder") == 0; }));
    EXPECT_EQ(source.EndNotices(), 1);

    // A second run plays again from a fresh source.
    Source again(2, 3000);
    PlayToTheEnd(again);
    EXPECT_EQ(again.Produced(), 3000u);
}

TEST_F(PlayerOutput, AppliesVolumeAndBalance) {
    Configure(2);
    engine.SetVolume(50);
    engine.SetBalance(100);
    Source right(2, 4410);
    PlayToTheEnd(right);
    std::vector<int16_t> expected;
    for (uint64_t frame = 0; frame < 4410; ++frame) {
        expected.push_back(0);
        expected.push_back(static_cast<int16_t>(SampleAt(frame, 1) / 2));
    }
    EXPECT_EQ(audiotest::SoundingFrames(Samples(), 2), expected) << "balance 100 silences channel 0";

    std::filesystem::remove(output_);
    engine.SetVolume(100);
    engine.SetBalance(0);
    Source left(2, 4410);
    PlayToTheEnd(left);
    expected.clear();
    for (uint64_t frame = 0; frame < 4410; ++frame) {
        expected.push_back(SampleAt(frame, 0));
        expected.push_back(0);
    }
    EXPECT_EQ(audiotest::SoundingFrames(Samples(), 2), expected) << "balance 0 silences channel 1";

    std::filesystem::remove(output_);
    Configure(1);
    engine.SetVolume(50);
    Source mono(1, 4410);
    PlayToTheEnd(mono);
    expected.clear();
    for (uint64_t frame = 0; frame < 4410; ++frame) expected.push_back(static_cast<int16_t>(SampleAt(frame, 0) / 2));
    EXPECT_EQ(audiotest::SoundingFrames(Samples(), 1), expected) << "one channel follows the volume";
}

TEST_F(PlayerOutput, PauseAndResumeContinueFromTheCursor) {
    Configure(2);
    Source source(2, 13230);
    ASSERT_EQ(player.SetDataCallback(&Source::Callback, &source), 1);
    ASSERT_EQ(player.Start(), 1);
    ASSERT_TRUE(audiotest::WaitUntil([&] { return source.Produced() >= 8192; }));
    ASSERT_EQ(player.Pause(), 1);
    EXPECT_EQ(player.GetState(), kPlayerPaused);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // a refill under way ends
    const uint64_t produced = source.Produced();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_EQ(source.Produced(), produced) << "nothing is played or refilled while paused";
    ASSERT_EQ(player.Pause(), 1);
    EXPECT_EQ(player.GetState(), kPlayerPlaying);
    ASSERT_TRUE(audiotest::WaitUntil([&] { return source.EndNotices() == 1; }));

    const std::vector<int16_t> samples = Samples();
    EXPECT_EQ(audiotest::SoundingFrames(samples, 2), source.Expected()) << "nothing skipped or repeated";
    // The pause is a stretch of silence inside the sound.
    size_t first = 0, last = samples.size() / 2, longestGap = 0, gap = 0;
    while (first < last && samples[2 * first] == 0 && samples[2 * first + 1] == 0) ++first;
    while (last > first && samples[2 * last - 2] == 0 && samples[2 * last - 1] == 0) --last;
    for (size_t frame = first; frame < last; ++frame) {
        gap = samples[2 * frame] == 0 && samples[2 * frame + 1] == 0 ? gap + 1 : 0;
        longestGap = std::max(longestGap, gap);
    }
    // At least a part's worth: the device's thread writes the silence in real time, and on a
    // loaded machine it may be scheduled late, so the gap is not held to the 120 ms paused.
    EXPECT_GE(longestGap, 1024u);
}

// Lets files grow to a limit, past which writes fail (instead of the process being signalled).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &old_);
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = old_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &old_);
        std::signal(SIGXFSZ, oldHandler_);
    }

private:
    rlimit old_{};
    void (*oldHandler_)(int) = nullptr;
};

TEST_F(PlayerOutput, ADeviceThatGoesAwayEndsThePlayerFailedWithTheEndNotice) {
    Configure(2);
    Source source(2, 44100 * 60);
    ASSERT_EQ(player.SetDataCallback(&Source::Callback, &source), 1);
    {
        // The disk driver takes a failed write for a device that went away: here after
        // about half a second of sound.
        const FileSizeLimit limit(88200);
        ASSERT_EQ(player.Start(), 1);
        ASSERT_TRUE(audiotest::WaitUntil([&] { return source.EndNotices() == 1; }));
    }
    EXPECT_EQ(player.GetState(), kPlayerFailed);
    EXPECT_EQ(engine.StopStatus(), kStopFailed);
    EXPECT_EQ(engine.DeviceError(), "the output device went away");
    EXPECT_GT(source.Produced(), 20000u);
    EXPECT_EQ(player.Stop(), 0);
    EXPECT_TRUE(audiotest::WaitUntil([] { return audiotest::ThreadsNamed("morvane-feeder") == 0; }));

    EXPECT_EQ(player.Start(), 1) << "a failed player is reset and started again";
    EXPECT_EQ(player.GetState(), kPlayerPlaying);
    EXPECT_EQ(player.Stop(), 1);
}

TEST_F(PlayerOutput, ADeviceGoneBeforePlaybackFailsTheStart) {
    audiotest::UseDiskDriver("/dev/full");  // the first write fails
    Configure(2);
    Source source(2, 44100 * 60);
    ASSERT_EQ(player.SetDataCallback(&Source::Callback, &source), 1);
    const int started = player.Start();
    ASSERT_TRUE(audiotest::WaitUntil([&] { return player.GetState() == kPlayerFailed; }));
    // Gone before the ring started (Start fails) or right after it (the end notice).
    EXPECT_TRUE(started == 0 || audiotest::WaitUntil([&] { return source.EndNotices() == 1; }));
}

}  // namespace
