// The ringtone preview through the player on SDL's disk driver: what it sends to the device
// against what the export renders, pausing and resuming, repeat, stopping, a missing device
// and the player's callback.
#include <algorithm>
#include <atomic>
#include <thread>

#include "audiosvc/audiosvc.h"
#include "engine/player.h"
#include "engine/preview.h"
#include "engine/render_chain.h"
#include "engine/saver.h"
#include "engine/temp_files.h"
#include "tests/platform_audio/audio_test_support.h"
#include "tests/player/player_test_support.h"
#include "tests/render/chain_fixture.h"

namespace {

// Counts the preview's notices; they arrive on the feeder thread too.
class Notices : public IPreviewClient {
public:
    void OnPreviewCursorDue() override { ++cursorDue; }
    void OnPreviewPositionChanged() override { ++positionChanged; }
    void OnPreviewStopped() override { ++stopped; }

    std::atomic<int> cursorDue{0};
    std::atomic<int> positionChanged{0};
    std::atomic<int> stopped{0};
};

// Stereo frames that differ from each other and from silence.
std::vector<int16_t> CountingFrames(uint32_t frames) {
    return StereoFrames(frames, [](uint32_t f, uint32_t c) {
        return static_cast<int16_t>(c == 0 ? 100 + f % 30000 : 107 + f / 30000 * 1000);
    });
}

// The samples from the first to the last frame that is not silent.
std::vector<int16_t> Trimmed(const std::vector<int16_t>& stereo) {
    size_t first = 0;
    size_t last = stereo.size() / 2;
    while (first < last && stereo[2 * first] == 0 && stereo[2 * first + 1] == 0) ++first;
    while (last > first && stereo[2 * last - 2] == 0 && stereo[2 * last - 1] == 0) --last;
    return {stereo.begin() + static_cast<long>(2 * first), stereo.begin() + static_cast<long>(2 * last)};
}

class Preview : public ChainFixture {
protected:
    void SetUp() override {
        ChainFixture::SetUp();
        played_ = root_ + "/played.raw";
        audiotest::UseDiskDriver(played_);
    }

    // What the export renders for the range.
    std::vector<int16_t> Rendered(int64_t start, int64_t end) {
        timeline_.SetMarkers(start, end);
        return ExportPcm();
    }

    // Runs the editor's cursor timer until playback has ended or the condition holds.
    static bool Tick(RingtonePreview& preview, const std::function<bool()>& until) {
        return audiotest::WaitUntil([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(RingtonePreview::kCursorTimerMs));
            preview.UpdateCursor();
            return !preview.IsPlaying() || until();
        });
    }
    static bool PlayOut(RingtonePreview& preview) {
        return Tick(preview, [] { return false; });
    }

    std::string played_;
    Notices notices_;
    CExtPlayerDX engine_;
    XPlayer player_{engine_};
};

TEST_F(Preview, PlaysWhatTheExportWritesThenTheRingsSilence) {
    LoadRealEffects();
    UseTrack(1, CountingFrames(88200));
    ASSERT_TRUE(AddChainEffect(tree_, Effect("Delay")));
    volume_.SetVolume(150);
    timeline_.SetFadeIn(true);
    timeline_.SetFadeOut(true);
    const int64_t start = 13000;
    const int64_t end = start + 44100;
    timeline_.SetMarkers(start, end);
    RingtoneSaver saver;
    TempFile exported;
    ASSERT_TRUE(saver.PrepareExport(timeline_, progress_, exported));
    const std::vector<int16_t> file = audiotest::ReadSamples(exported.Path());
    ASSERT_EQ(file.size(), kExportHeaderBytes / 2 + 2 * 44100u);
    const std::vector<int16_t> rendered(file.begin() + kExportHeaderBytes / 2, file.end());

    RingtonePreview preview(timeline_, player_, &notices_);
    ASSERT_TRUE(preview.Start());
    EXPECT_EQ(preview.RemainingMs(), 1000u);
    EXPECT_EQ(player_.GetBufferCount(), 5u);
    EXPECT_EQ(player_.GetBufferSize(), 4096u);
    ASSERT_TRUE(PlayOut(preview));
    EXPECT_EQ(engine_.StopStatus(), kStopDataEnded);
    EXPECT_EQ(notices_.cursorDue.load(), 1);
    EXPECT_EQ(notices_.stopped.load(), 1);
    preview.UpdateCursor();
    EXPECT_EQ(timeline_.PlayCursor(), end) << "the last update brings the cursor to the range end";
    preview.Stop();
    EXPECT_EQ(notices_.stopped.load(), 1) << "one stop notice per run";
    EXPECT_EQ(notices_.positionChanged.load(), 0);

    const std::vector<int16_t> played = audiotest::ReadSamples(played_);
    const auto at = std::search(played.begin(), played.end(), rendered.begin(), rendered.end());
    ASSERT_NE(at, played.end()) << "the export's samples, in one piece";
    EXPECT_EQ((at - played.begin()) % 2, 0);
    EXPECT_TRUE(std::all_of(played.begin(), at, [](int16_t s) { return s == 0; }));
    EXPECT_TRUE(std::all_of(at + static_cast<long>(rendered.size()), played.end(), [](int16_t s) { return s == 0; }));
}

TEST_F(Preview, PauseAndResumeContinueFromTheCursor) {
    UseTrack(1, CountingFrames(66150));
    const std::vector<int16_t> rendered = Rendered(0, 66150);
    RingtonePreview preview(timeline_, player_, &notices_);
    ASSERT_TRUE(preview.Start());
    ASSERT_TRUE(Tick(preview, [&] { return timeline_.PlayCursor() >= 15000; }));
    preview.TogglePause();
    EXPECT_TRUE(preview.IsPaused());
    EXPECT_EQ(player_.GetState(), kPlayerPaused);
    const int64_t cursor = timeline_.PlayCursor();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_FALSE(preview.UpdateCursor()) << "the cursor stays while paused";
    EXPECT_EQ(timeline_.PlayCursor(), cursor);

    // Resuming opens the device again, which starts its file anew: the rest goes to a second one.
    const std::string resumed = root_ + "/resumed.raw";
    audiotest::UseDiskDriver(resumed);
    preview.TogglePause();
    EXPECT_FALSE(preview.IsPaused());
    EXPECT_EQ(player_.GetState(), kPlayerPlaying);
    ASSERT_TRUE(PlayOut(preview));
    EXPECT_EQ(notices_.stopped.load(), 1);

    const std::vector<int16_t> before = Trimmed(audiotest::ReadSamples(played_));
    const std::vector<int16_t> after = Trimmed(audiotest::ReadSamples(resumed));
    ASSERT_LE(before.size(), rendered.size());
    EXPECT_TRUE(std::equal(before.begin(), before.end(), rendered.begin())) << "the range from its start";
    EXPECT_LE(static_cast<size_t>(2 * cursor), before.size()) << "the cursor is at or before what was heard";
    EXPECT_EQ(after, std::vector<int16_t>(rendered.begin() + 2 * cursor, rendered.end()))
        << "after the pause, the range from the cursor to its end";
}

TEST_F(Preview, RepeatFillsEveryBlockWithTheRangeAgainUntilStopped) {
    UseTrack(1, CountingFrames(20000));
    const int64_t start = 5000;
    const int64_t end = 5300;  // far shorter than a block
    const std::vector<int16_t> rendered = Rendered(start, end);
    player_.SetRepeat(true);
    RingtonePreview preview(timeline_, player_, &notices_);
    ASSERT_TRUE(preview.Start());
    ASSERT_TRUE(Tick(preview, [&] { return audiotest::ReadBytes(played_).size() >= 88200; }));
    EXPECT_TRUE(preview.IsPlaying()) << "a repeating preview plays on";
    preview.Stop();
    EXPECT_FALSE(preview.IsPlaying());
    EXPECT_EQ(notices_.stopped.load(), 1);
    EXPECT_EQ(notices_.positionChanged.load(), 1);
    EXPECT_EQ(timeline_.PlayCursor(), start) << "a stop brings the cursor back to the marked range's start";
    EXPECT_EQ(engine_.StopStatus(), kStopRequested);

    const std::vector<int16_t> played = Trimmed(audiotest::ReadSamples(played_));
    ASSERT_GE(played.size(), 2u * 20 * 300);
    std::vector<int16_t> rounds;
    while (rounds.size() < played.size()) rounds.insert(rounds.end(), rendered.begin(), rendered.end());
    rounds.resize(played.size());
    EXPECT_EQ(played, rounds) << "the range again and again, without a gap";
}

TEST_F(Preview, WithoutADeviceSaysCantStartPlayerThenStartsOnceOneIsThere) {
    UseTrack(1, CountingFrames(11025));
    const std::vector<int16_t> rendered = Rendered(0, 11025);
    audiotest::UseDriver("nonexistent");
    RingtonePreview preview(timeline_, player_, &notices_);
    EXPECT_FALSE(preview.Start());
    ASSERT_EQ(Messages().size(), 1u);
    EXPECT_EQ(Messages()[0].text, "Can't start player");
    EXPECT_EQ(Messages()[0].type, static_cast<uint32_t>(MB_OK | MB_ICONERROR));
    EXPECT_FALSE(preview.IsPlaying());
    EXPECT_EQ(notices_.stopped.load(), 1);
    EXPECT_EQ(player_.GetState(), kPlayerFailed);

    audiotest::UseDiskDriver(played_);
    ASSERT_TRUE(preview.Start()) << "the failed player is reset and tried again";
    ASSERT_TRUE(PlayOut(preview));
    EXPECT_EQ(Trimmed(audiotest::ReadSamples(played_)), rendered);
}

TEST_F(Preview, AnExportStopsThePreviewFirst) {
    UseTrack(1, CountingFrames(66150));
    timeline_.SetMarkers(0, 66150);
    player_.SetRepeat(true);
    RingtonePreview preview(timeline_, player_, &notices_);
    ASSERT_TRUE(preview.Start());
    RingtoneSaver saver;
    TempFile exported;
    ASSERT_TRUE(saver.PrepareExport(timeline_, progress_, exported));
    EXPECT_FALSE(preview.IsPlaying());
    EXPECT_EQ(player_.GetState(), kPlayerStopped);
    EXPECT_EQ(notices_.stopped.load(), 1);
}

TEST_F(Preview, TakesItsCallbackAlongButLeavesAnotherClientsOne) {
    UseTrack(1, CountingFrames(4410));
    {
        RingtonePreview preview(timeline_, player_);
        ASSERT_TRUE(preview.Start());
    }
    EXPECT_EQ(player_.Start(), 0) << "no callback of a preview that is gone";

    playertest::Source source(2, 4410);
    {
        RingtonePreview preview(timeline_, player_);
        ASSERT_TRUE(preview.Start());
        preview.Stop();
        ASSERT_EQ(player_.SetDataCallback(&playertest::Source::Callback, &source), 1);  // the recorder's turn
    }
    EXPECT_EQ(source.EmptyBlocks(), 0) << "the other client's callback stays";
    ASSERT_EQ(player_.Start(), 1);
    EXPECT_TRUE(audiotest::WaitUntil([&] { return source.EndNotices() == 1; }));
    EXPECT_EQ(source.Produced(), 4410u);
}

}  // namespace
