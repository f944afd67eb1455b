// A recording session on SDL's disk driver: the microphone's set-up, the take cut at the
// wanted length, recording until stopped, a failed append, a device that cannot start, and
// what the observer hears.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/recorder.h"
#include "engine/recording.h"
#include "tests/platform/scoped_env.h"
#include "tests/platform_audio/audio_test_support.h"

namespace {

using std::chrono::milliseconds;

constexpr uint32_t kBufferBytes = 16384;

// What the session reports on the microphone's worker.
class Observer : public IRecordingObserver {
public:
    void OnTakeAppended(const void* data, uint32_t bytes) override {
        std::lock_guard lock(mutex_);
        const auto* first = static_cast<const uint8_t*>(data);
        bytes_.insert(bytes_.end(), first, first + bytes);
        appends_.push_back(bytes);
    }
    void OnTakeWriteFailed() override {
        std::lock_guard lock(mutex_);
        ++failures_;
    }
    std::vector<uint8_t> Bytes() const {
        std::lock_guard lock(mutex_);
        return bytes_;
    }
    std::vector<uint32_t> Appends() const {
        std::lock_guard lock(mutex_);
        return appends_;
    }
    int Failures() const {
        std::lock_guard lock(mutex_);
        return failures_;
    }

private:
    mutable std::mutex mutex_;  // guards everything below
    std::vector<uint8_t> bytes_;
    std::vector<uint32_t> appends_;
    int failures_ = 0;
};

class RecordingSessionTest : public testing::Test {
protected:
    void SetUp() override {
        // About a second of stereo frames, none of them silent.
        input_.resize(44100 * 4);
        for (size_t i = 0; i < input_.size(); ++i) input_[i] = static_cast<uint8_t>(1 + i % 253);
        audiotest::WriteBytes(inputPath_, input_);
        audiotest::UseDiskDriver(audio_ / "unused.raw", inputPath_);
        ASSERT_TRUE(take_.Create());
    }
    void TearDown() override { audiotest::UseDriver("dummy"); }

    std::vector<uint8_t> TakeBytes() { return audiotest::ReadBytes(take_.Path()); }
    std::vector<uint8_t> Input(size_t bytes) const {
        return {input_.begin(), input_.begin() + static_cast<long>(bytes)};
    }

    ScratchFolder temp_;
    ScratchFolder audio_;
    // Set after both folders are made, so that neither lands in temp_.
    ScopedEnv tempVariable_{"TMPDIR", temp_.Path()};
    const std::string inputPath_ = audio_ / "input.raw";
    std::vector<uint8_t> input_;
    CExtMicro engine_;
    XMicro micro_{engine_};
    RecorderTake take_;
    Observer observer_;
};

TEST_F(RecordingSessionTest, RecordsTheWantedLengthCutInsideABuffer) {
    RecordingSession session(micro_, take_, &observer_);
    micro_.SetClient(&session);
    // 10000 frames: two whole buffers of 4096 frames and 1808 frames of the third.
    ASSERT_TRUE(session.Start(10000));
    EXPECT_EQ(micro_.GetBufferCount(), 5u);
    EXPECT_EQ(micro_.GetBufferSize(), kBufferBytes);
    // Copied out of the packed format, whose fields may lie unaligned.
    const WAVEFORMATEX* format = micro_.GetFormat();
    const uint32_t channels = format->nChannels, rate = format->nSamplesPerSec, bits = format->wBitsPerSample,
                   blockAlign = format->nBlockAlign;
    EXPECT_EQ(channels, 2u);
    EXPECT_EQ(rate, 44100u);
    EXPECT_EQ(bits, 16u);
    EXPECT_EQ(blockAlign, 4u);

    ASSERT_TRUE(audiotest::WaitUntil([&] { return session.Complete(); }));
    EXPECT_EQ(session.Frames(), 10000u);
    // Buffers keep coming; the take takes none of them.
    std::this_thread::sleep_for(milliseconds(300));
    session.Stop();
    EXPECT_EQ(take_.Size(), 40000u);
    EXPECT_EQ(TakeBytes(), Input(40000));
    EXPECT_EQ(observer_.Bytes(), Input(40000));
    EXPECT_EQ(observer_.Appends(), (std::vector<uint32_t>{kBufferBytes, kBufferBytes, 7232}));
    EXPECT_FALSE(session.WriteFailed());
    EXPECT_EQ(observer_.Failures(), 0);
}

TEST_F(RecordingSessionTest, WithoutAWantedLengthRecordsWholeBuffersUntilStopped) {
    RecordingSession session(micro_, take_, &observer_);
    micro_.SetClient(&session);
    ASSERT_TRUE(session.Start());
    EXPECT_FALSE(session.StalledFor(std::chrono::seconds(5)));
    const uint64_t before = session.Frames();
    session.WaitForBuffer(std::chrono::seconds(5));
    EXPECT_GT(session.Frames(), before) << "the wait ends with a buffer";
    ASSERT_TRUE(audiotest::WaitUntil([&] { return take_.Size() >= 3 * kBufferBytes; }));
    EXPECT_FALSE(session.Complete()) << "no length to complete";
    session.Stop();
    const uint64_t size = take_.Size();
    EXPECT_EQ(size % kBufferBytes, 0u);
    EXPECT_EQ(session.Frames(), size / 4);
    EXPECT_EQ(TakeBytes(), Input(size));
    std::this_thread::sleep_for(milliseconds(200));
    EXPECT_EQ(take_.Size(), size) << "nothing is appended after Stop";
    EXPECT_TRUE(session.StalledFor(milliseconds(150)));

    // A second recording into a new take counts from nothing again.
    ASSERT_TRUE(take_.Create());
    ASSERT_TRUE(session.Start(2000));
    EXPECT_EQ(session.Frames(), 0u);
    ASSERT_TRUE(audiotest::WaitUntil([&] { return session.Complete(); }));
    session.Stop();
    EXPECT_EQ(TakeBytes(), Input(8000));
}

TEST_F(RecordingSessionTest, AFailedAppendEndsTheTakeAndIsReportedOnce) {
    RecordingSession session(micro_, take_, &observer_);
    micro_.SetClient(&session);
    // The file size limit stands in for a full disk: the third buffer does not fit.
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    const auto oldHandler = ::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = old;
    limited.rlim_cur = kBufferBytes * 2 + 1000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limited), 0);
    ASSERT_TRUE(session.Start());
    const bool failed = audiotest::WaitUntil([&] { return session.WriteFailed(); });
    // Buffers after the failure would fit again; they do not go into the take.
    ::setrlimit(RLIMIT_FSIZE, &old);
    ::signal(SIGXFSZ, oldHandler);
    ASSERT_TRUE(failed);
    const uint64_t frames = session.Frames();
    std::this_thread::sleep_for(milliseconds(300));
    session.Stop();
    EXPECT_EQ(frames, 2u * kBufferBytes / 4);
    EXPECT_EQ(session.Frames(), frames);
    EXPECT_EQ(take_.Size(), 2u * kBufferBytes);
    EXPECT_EQ(TakeBytes(), Input(2 * kBufferBytes));
    EXPECT_EQ(observer_.Failures(), 1);
    EXPECT_EQ(observer_.Appends().size(), 2u);
}

TEST_F(RecordingSessionTest, TheMicrophoneIsLetGoWhateverHappened) {
    audiotest::UseDriver("nonexistent");
    {
        RecordingSession session(micro_, take_, &observer_);
        micro_.SetClient(&session);
        EXPECT_FALSE(session.Start());
        EXPECT_EQ(micro_.GetState(), kMicroFailed) << "nothing stays open";
        EXPECT_EQ(audiotest::ThreadsNamed("morvane-micro"), 0);
    }
    micro_.SetClient(nullptr);
    audiotest::UseDiskDriver(audio_ / "unused.raw", inputPath_);
    EXPECT_EQ(micro_.Start(), 0) << "the session's callback is gone";

    {
        RecordingSession session(micro_, take_, &observer_);
        micro_.SetClient(&session);
        ASSERT_TRUE(session.Start());
        ASSERT_TRUE(audiotest::WaitUntil([&] { return session.Frames() > 0; }));
    }
    micro_.SetClient(nullptr);
    EXPECT_EQ(micro_.GetState(), kMicroStopped) << "a session that goes stops its recording";
    EXPECT_EQ(audiotest::ThreadsNamed("morvane-micro"), 0);
    EXPECT_EQ(micro_.Start(), 0);
    EXPECT_EQ(TakeBytes(), Input(take_.Size()));
    EXPECT_EQ(observer_.Failures(), 0);
}

}  // namespace
