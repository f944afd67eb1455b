// The player's states, results, settings and data-callback handling on SDL's dummy driver.
#include <gtest/gtest.h>

#include <cstring>

#include "engine/player.h"
#include "tests/platform_audio/audio_test_support.h"
#include "tests/player/player_test_support.h"

namespace {

using playertest::Source;

constexpr uint64_t kLongClip = 44100 * 60;

class PlayerState : public ::testing::Test {
protected:
    void SetUp() override { audiotest::UseDriver("dummy"); }

    bool NoFeederLeft() {
        return audiotest::WaitUntil([] { return audiotest::ThreadsNamed("morvane-feeder") == 0; });
    }

    CExtPlayerDX engine;
    XPlayer player{engine};
    Source source{2, kLongClip};
};

TEST_F(PlayerState, StartsStoppedWithTheWorkingFormatAndFullLevels) {
    EXPECT_EQ(player.GetState(), kPlayerStopped);
    EXPECT_EQ(std::memcmp(player.GetFormat(), &kWorkingFormat, sizeof kWorkingFormat), 0);
    EXPECT_EQ(player.GetBufferCount(), 5u);
    EXPECT_EQ(player.GetBufferSize(), 44100u);
    EXPECT_EQ(engine.Volume(), 100u);
    EXPECT_EQ(engine.Balance(), 50u);
    EXPECT_EQ(player.GetPositionRange(), 1000u);
    EXPECT_EQ(player.SetPosition(500), 1);
    EXPECT_EQ(player.IsRepeat(), 0);
    player.SetRepeat(true);
    EXPECT_EQ(player.IsRepeat(), 1);
}

TEST(PlayerLevels, ComeFromTheWaveOutVolume) {
    const auto levels = [](uint32_t word) {
        const PlayerLevels l = LevelsFromWaveOutVolume(word);
        return std::make_pair(l.volume, l.balance);
    };
    EXPECT_EQ(levels(kSystemWaveOutVolume), std::make_pair(100u, 50u));
    EXPECT_EQ(levels(0x8000FFFF), std::make_pair(100u, 25u));  // left 5000, right 2500
    EXPECT_EQ(levels(0xFFFF8000), std::make_pair(100u, 75u));
    EXPECT_EQ(levels(0), std::make_pair(0u, 50u));
}

TEST_F(PlayerState, GainsFollowVolumeAndBalanceWithinTheirLimits) {
    EXPECT_EQ(engine.SetBalance(25), kPlayerOk);
    EXPECT_FLOAT_EQ(engine.LeftGain(), 1.0f);
    EXPECT_FLOAT_EQ(engine.RightGain(), 0.5f);
    EXPECT_EQ(engine.SetVolume(150), kPlayerOk);
    EXPECT_EQ(engine.Volume(), 100u);
    EXPECT_EQ(engine.SetBalance(200), kPlayerOk);
    EXPECT_EQ(engine.Balance(), 100u);
    EXPECT_FLOAT_EQ(engine.LeftGain(), 0.0f);
    EXPECT_FLOAT_EQ(engine.RightGain(), 1.0f);
    EXPECT_EQ(engine.SetVolume(40), kPlayerOk);  // applies the balance again
    EXPECT_FLOAT_EQ(engine.RightGain(), 0.4f);
    engine.SetBalance(0);
    EXPECT_FLOAT_EQ(engine.LeftGain(), 0.4f);
    EXPECT_FLOAT_EQ(engine.RightGain(), 0.0f);
}

TEST_F(PlayerState, SettingsAreCheckedAndOnlyChangeWhileStopped) {
    EXPECT_EQ(player.SetBufferCount(101), 0);
    EXPECT_EQ(player.SetBufferCount(0), 0);
    EXPECT_EQ(player.SetBufferCount(100), 1);
    EXPECT_EQ(player.SetBufferSize(0), 0);
    EXPECT_EQ(player.SetBufferSize(4096), 1);
    WAVEFORMATEXTENSIBLE format = playertest::Format(2);
    format.Format.wBitsPerSample = 8;
    format.Format.nBlockAlign = 2;
    EXPECT_EQ(player.SetFormat(format), 0);
    EXPECT_EQ(player.SetFormat(playertest::Format(6)), 0);
    EXPECT_EQ(player.SetFormat(playertest::Format(1)), 1);
    const uint32_t channels = player.GetFormat()->Format.nChannels;  // out of the packed record
    EXPECT_EQ(channels, 1u);

    ASSERT_EQ(player.SetDataCallback(&Source::Callback, &source), 1);
    ASSERT_EQ(player.Start(), 1);
    EXPECT_EQ(player.SetBufferCount(5), 0);
    EXPECT_EQ(player.SetBufferSize(8192), 0);
    EXPECT_EQ(player.SetFormat(playertest::Format(2)), 0);
    EXPECT_EQ(player.SetDataCallback(nullptr, nullptr), 0);
    EXPECT_EQ(player.GetBufferCount(), 100u);
    EXPECT_EQ(player.GetBufferSize(), 4096u);
    EXPECT_EQ(player.Stop(), 1);
}

TEST_F(PlayerState, PlaysPausesResumesAndStops) {
    EXPECT_EQ(player.Start(), 0) << "no data callback";
    EXPECT_EQ(player.GetState(), kPlayerStopped);

    ASSERT_EQ(player.SetBufferSize(4096), 1);
    ASSERT_EQ(player.SetDataCallback(&Source::Callback, &source), 1);
    ASSERT_EQ(player.Start(), 1);
    EXPECT_EQ(player.GetState(), kPlayerPlaying);
    EXPECT_NE(engine.StartTick(), 0u);
    EXPECT_TRUE(audiotest::WaitUntil([] { return audiotest::ThreadsNamed("morvane-feeder") == 1; }));
    EXPECT_GE(source.Produced(), 5u * 1024) << "the whole ring is filled at the start";
    EXPECT_EQ(player.Start(), 1);
    EXPECT_EQ(player.GetState(), kPlayerPlaying);

    EXPECT_EQ(player.Pause(), 1);
    EXPECT_EQ(player.GetState(), kPlayerPaused);
    EXPECT_EQ(player.Pause(), 1);
    EXPECT_EQ(player.GetState(), kPlayerPlaying);
    EXPECT_EQ(player.Pause(), 1);
    EXPECT_EQ(player.Start(), 1) << "starting a paused player resumes it";
    EXPECT_EQ(player.GetState(), kPlayerPlaying);

    ASSERT_TRUE(audiotest::WaitUntil([&] { return source.Produced() > 6u * 1024; })) << "the feeder refills";
    EXPECT_EQ(player.Stop(), 1);
    EXPECT_EQ(player.GetState(), kPlayerStopped);
    EXPECT_EQ(engine.StopStatus(), kStopRequested);
    EXPECT_EQ(audiotest::ThreadsNamed("morvane-feeder"), 0) << "Stop waits for the feeder";
    EXPECT_EQ(source.EndNotices(), 0) << "a requested stop sends no end notice";
    EXPECT_EQ(player.Stop(), 1);
    EXPECT_EQ(player.Close(), 1);

    ASSERT_EQ(player.Start(), 1) << "and plays again";
    EXPECT_EQ(player.Close(), 1);
    EXPECT_EQ(player.GetState(), kPlayerStopped);
}

TEST_F(PlayerState, ReplacingTheCallbackLetsTheOldOneGoOnce) {
    Source other(2, kLongClip);
    ASSERT_EQ(player.SetDataCallback(&Source::Callback, &source), 1);
    EXPECT_EQ(source.EmptyBlocks(), 0);
    ASSERT_EQ(player.SetDataCallback(&Source::Callback, &other), 1);
    EXPECT_EQ(source.EmptyBlocks(), 1);
    ASSERT_EQ(player.SetDataCallback(&Source::Callback, &other), 1);
    EXPECT_EQ(other.EmptyBlocks(), 0) << "the same pair again calls nothing";
    ASSERT_EQ(player.SetDataCallback(nullptr, nullptr), 1);
    EXPECT_EQ(other.EmptyBlocks(), 1);
    EXPECT_EQ(source.EmptyBlocks(), 1);
    EXPECT_EQ(source.Produced() + other.Produced(), 0u);
}

TEST_F(PlayerState, WithoutADeviceItFailsAndStartResetsAndRetriesOnce) {
    ASSERT_EQ(player.SetDataCallback(&Source::Callback, &source), 1);
    audiotest::UseDriver("no-such-driver");
    EXPECT_EQ(player.Start(), 0);
    EXPECT_EQ(player.GetState(), kPlayerFailed);
    EXPECT_EQ(engine.StopStatus(), kStopFailed);
    EXPECT_FALSE(engine.DeviceError().empty());
    EXPECT_EQ(engine.Play(), kPlayerFailedState);
    EXPECT_EQ(engine.Pause(), kPlayerFailedState);
    EXPECT_EQ(engine.Stop(kStopRequested), kPlayerFailedState);
    EXPECT_EQ(engine.SetBalance(50), kPlayerFailedState);
    EXPECT_EQ(player.Start(), 0) << "one retry, still no device";
    EXPECT_EQ(player.GetState(), kPlayerFailed);
    EXPECT_EQ(source.Produced(), 0u);
    EXPECT_TRUE(NoFeederLeft());

    audiotest::UseDriver("dummy");
    EXPECT_EQ(player.Start(), 1) << "a failed player is reset and started again";
    EXPECT_EQ(player.GetState(), kPlayerPlaying);
    EXPECT_EQ(player.Stop(), 1);

    audiotest::UseDriver("no-such-driver");
    EXPECT_EQ(player.Start(), 0);
    EXPECT_EQ(player.SetFormat(playertest::Format(2)), 1) << "a new format resets a failed player";
    EXPECT_EQ(player.GetState(), kPlayerStopped);
    EXPECT_EQ(engine.StopStatus(), 0);
}

TEST_F(PlayerState, RefusesToBeDrivenFromInsideItsCallback) {
    std::atomic<int> stopResult{-1}, pauseResult{-1}, resetResult{-1};
    source.onBlock = [&] {
        if (stopResult.load() != -1) return;
        stopResult = engine.Stop(kStopRequested);
        pauseResult = engine.Pause();
        resetResult = engine.Reset();
    };
    ASSERT_EQ(player.SetDataCallback(&Source::Callback, &source), 1);
    ASSERT_EQ(player.Start(), 1);
    EXPECT_EQ(stopResult.load(), kPlayerNotStopped);
    EXPECT_EQ(pauseResult.load(), kPlayerNotStopped);
    EXPECT_EQ(resetResult.load(), kPlayerNotStopped);
    EXPECT_EQ(player.GetState(), kPlayerPlaying);
    EXPECT_EQ(player.Stop(), 1);
}

class Client : public IPlayerClient {
public:
    void OnPlayerSettingsRequest() override { ++requests; }
    int requests = 0;
};

TEST_F(PlayerState, RequestSettingsAsksTheClient) {
    EXPECT_EQ(player.RequestSettings(), 1);
    Client client;
    player.SetClient(&client);
    EXPECT_EQ(player.RequestSettings(), 1);
    EXPECT_EQ(client.requests, 1);
}

}  // namespace
