// The microphone: recording a known input through SDL's disk driver, its settings, its
// states and its one worker thread.
#include <gtest/gtest.h>

#include <mutex>

#include "engine/recorder.h"
#include "tests/platform_audio/audio_test_support.h"

namespace {

constexpr uint32_t kBufferBytes = 2048;

// Collects what the microphone delivers.
class Sink {
public:
    static int Callback(void* context, const void* data, uint32_t bytes) {
        auto* sink = static_cast<Sink*>(context);
        std::lock_guard lock(sink->mutex_);
        if (!data) {
            ++sink->releases_;
            return 0;
        }
        const auto* first = static_cast<const uint8_t*>(data);
        sink->bytes_.insert(sink->bytes_.end(), first, first + bytes);
        // Holding the first buffer lets later ones fill meanwhile: the worker then has several
        // to deliver at once.
        if (sink->buffers_++ == 0) std::this_thread::sleep_for(sink->holdFirst);
        return 1;
    }
    std::chrono::milliseconds holdFirst{0};
    std::vector<uint8_t> Bytes() const {
        std::lock_guard lock(mutex_);
        return bytes_;
    }
    size_t Size() const {
        std::lock_guard lock(mutex_);
        return bytes_.size();
    }
    int Releases() const {
        std::lock_guard lock(mutex_);
        return releases_;
    }

private:
    mutable std::mutex mutex_;  // guards everything below
    std::vector<uint8_t> bytes_;
    int buffers_ = 0;
    int releases_ = 0;
};

class Recorder : public ::testing::Test {
protected:
    void SetUp() override {
        for (size_t i = 0; i < input_.size(); ++i) input_[i] = static_cast<uint8_t>(1 + i % 253);
        audiotest::WriteBytes(inputPath_, input_);
        audiotest::UseDiskDriver(folder / "unused.raw", inputPath_);
        ASSERT_EQ(micro.SetBufferCount(4), 1);
        ASSERT_EQ(micro.SetBufferSize(kBufferBytes), 1);
    }

    static bool OneWorker() {
        return audiotest::WaitUntil([] { return audiotest::ThreadsNamed("morvane-micro") == 1; });
    }

    // Delivered bytes: the input in order, then the silence the driver gives after it, and
    // only whole buffers.
    void ExpectInputInOrder(const std::vector<uint8_t>& delivered) {
        EXPECT_EQ(delivered.size() % kBufferBytes, 0u);
        ASSERT_GE(delivered.size(), input_.size());
        EXPECT_TRUE(std::equal(input_.begin(), input_.end(), delivered.begin()));
        EXPECT_TRUE(std::all_of(delivered.begin() + static_cast<long>(input_.size()), delivered.end(),
                                [](uint8_t byte) { return byte == 0; }));
    }

    ScratchFolder folder;
    const std::string inputPath_ = folder / "input.raw";
    std::vector<uint8_t> input_ = std::vector<uint8_t>(17640 + 1000);  // about 0.2 s, not whole buffers
    CExtMicro engine;
    XMicro micro{engine};
    Sink sink;
};

TEST_F(Recorder, DeliversTheInputInOrderEndingOnTheLastWholeBuffer) {
    sink.holdFirst = std::chrono::milliseconds(60);  // about two and a half buffers
    ASSERT_EQ(micro.SetDataCallback(&Sink::Callback, &sink), 1);
    ASSERT_EQ(micro.Start(), 1);
    EXPECT_EQ(micro.GetState(), kMicroRecording);
    EXPECT_TRUE(OneWorker());
    ASSERT_TRUE(audiotest::WaitUntil([&] { return sink.Size() >= input_.size() + kBufferBytes; }));
    ASSERT_EQ(micro.Stop(), 1);
    EXPECT_EQ(micro.GetState(), kMicroStopped);
    EXPECT_EQ(audiotest::ThreadsNamed("morvane-micro"), 0);
    const std::vector<uint8_t> delivered = sink.Bytes();
    ExpectInputInOrder(delivered);
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(sink.Size(), delivered.size()) << "nothing is delivered after Stop";
}

TEST_F(Recorder, PausesTwiceBackToRecordingAndStopsWhilePaused) {
    ASSERT_EQ(micro.SetDataCallback(&Sink::Callback, &sink), 1);
    ASSERT_EQ(micro.Start(), 1);
    ASSERT_TRUE(audiotest::WaitUntil([&] { return sink.Size() >= 2 * kBufferBytes; }));
    ASSERT_EQ(micro.Pause(), 1);
    EXPECT_EQ(micro.GetState(), kMicroPaused);
    ASSERT_EQ(micro.Pause(), 1);
    EXPECT_EQ(micro.GetState(), kMicroRecording);
    ASSERT_TRUE(audiotest::WaitUntil([&] { return sink.Size() >= input_.size(); }));
    ASSERT_EQ(micro.Pause(), 1);
    EXPECT_EQ(micro.Start(), 1) << "starting a paused capture resumes it";
    EXPECT_EQ(micro.GetState(), kMicroRecording);
    ASSERT_EQ(micro.Pause(), 1);
    ASSERT_EQ(micro.Stop(), 1);
    EXPECT_EQ(micro.GetState(), kMicroStopped);
    EXPECT_EQ(audiotest::ThreadsNamed("morvane-micro"), 0);
    ExpectInputInOrder(sink.Bytes());
    EXPECT_EQ(micro.Pause(), 1) << "nothing to toggle when stopped";
    EXPECT_EQ(micro.GetState(), kMicroStopped);
}

TEST_F(Recorder, StoppingAndStartingAgainLeavesExactlyOneWorker) {
    ASSERT_EQ(micro.SetDataCallback(&Sink::Callback, &sink), 1);
    for (int run = 0; run < 3; ++run) {
        ASSERT_EQ(micro.Start(), 1);
        EXPECT_EQ(micro.Start(), 1) << "already recording";
        EXPECT_TRUE(OneWorker());
        ASSERT_EQ(micro.Stop(), 1);
        EXPECT_EQ(audiotest::ThreadsNamed("morvane-micro"), 0);
    }
    EXPECT_EQ(micro.Stop(), 1);
    EXPECT_EQ(micro.Close(), 1);
}

TEST_F(Recorder, SettingsChangeOnlyWhileStoppedAndWithinLimits) {
    EXPECT_EQ(micro.SetBufferCount(101), 0);
    EXPECT_EQ(micro.SetBufferCount(100), 1);
    EXPECT_EQ(micro.GetBufferCount(), 100u);
    const WAVEFORMATEX floatStereo = {WAVE_FORMAT_IEEE_FLOAT, 2, 22050, 88200, 4, 16, 22};
    EXPECT_EQ(micro.SetFormat(floatStereo), 1);
    const WAVEFORMATEX* reported = micro.GetFormat();
    // Copied out of the packed record before comparing.
    const uint32_t tag = reported->wFormatTag, channels = reported->nChannels, rate = reported->nSamplesPerSec,
                   bits = reported->wBitsPerSample, extra = reported->cbSize;
    EXPECT_EQ(tag, WAVE_FORMAT_EXTENSIBLE);
    EXPECT_EQ(channels, 2u);
    EXPECT_EQ(rate, 22050u);
    EXPECT_EQ(bits, 16u);
    EXPECT_EQ(extra, 0u);

    const WAVEFORMATEX mono = {WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};
    ASSERT_EQ(micro.SetFormat(mono), 1);
    ASSERT_EQ(micro.SetBufferCount(4), 1);
    ASSERT_EQ(micro.SetDataCallback(&Sink::Callback, &sink), 1);
    ASSERT_EQ(micro.Start(), 1);
    EXPECT_EQ(micro.SetBufferCount(100), 0);
    EXPECT_EQ(micro.SetBufferSize(4096), 0);
    EXPECT_EQ(micro.SetFormat(mono), 0);
    EXPECT_EQ(micro.SetDataCallback(nullptr, nullptr), 0);
    EXPECT_EQ(micro.GetBufferCount(), 4u);
    EXPECT_EQ(micro.GetBufferSize(), kBufferBytes);
    ASSERT_EQ(micro.Stop(), 1);
}

TEST_F(Recorder, ReplacingTheCallbackLetsTheOldOneGoOnce) {
    Sink other;
    ASSERT_EQ(micro.SetDataCallback(&Sink::Callback, &sink), 1);
    ASSERT_EQ(micro.SetDataCallback(&Sink::Callback, &other), 1);
    EXPECT_EQ(sink.Releases(), 1);
    ASSERT_EQ(micro.SetDataCallback(&Sink::Callback, &other), 1);
    EXPECT_EQ(other.Releases(), 0);
    ASSERT_EQ(micro.SetDataCallback(nullptr, nullptr), 1);
    EXPECT_EQ(other.Releases(), 1);
}

TEST_F(Recorder, FailsCleanlyAndRetriesFromFailed) {
    EXPECT_EQ(micro.Start(), 0) << "no callback";
    EXPECT_EQ(micro.GetState(), kMicroStopped);
    ASSERT_EQ(micro.SetDataCallback(&Sink::Callback, &sink), 1);

    audiotest::UseDriver("no-such-driver");
    EXPECT_EQ(micro.Start(), 0);
    EXPECT_EQ(micro.GetState(), kMicroFailed);
    EXPECT_FALSE(engine.DeviceError().empty());
    EXPECT_EQ(micro.Stop(), 0);
    EXPECT_EQ(micro.Pause(), 0);
    EXPECT_EQ(audiotest::ThreadsNamed("morvane-micro"), 0);

    audiotest::UseDiskDriver(folder / "unused.raw", inputPath_);
    ASSERT_EQ(micro.SetBufferSize(0), 0) << "only while stopped";
    ASSERT_EQ(micro.Start(), 1) << "a failed capture returns to stopped and starts again";
    ASSERT_EQ(micro.Stop(), 1);

    ASSERT_EQ(micro.SetBufferSize(0), 1);
    EXPECT_EQ(micro.Start(), 0) << "buffers of no bytes cannot be queued";
    EXPECT_EQ(micro.GetState(), kMicroFailed);
    EXPECT_EQ(audiotest::ThreadsNamed("morvane-micro"), 0);
    EXPECT_EQ(sink.Size(), 0u);
}

TEST_F(Recorder, RefusesToBeDrivenFromInsideItsCallback) {
    struct Context {
        CExtMicro* micro;
        std::atomic<int> stop{-1};
    } context{&engine};
    const MicroDataCallback callback = [](void* c, const void* data, uint32_t) {
        auto* context = static_cast<Context*>(c);
        if (data && context->stop.load() == -1) context->stop = context->micro->Stop();
        return 0;
    };
    ASSERT_EQ(micro.SetDataCallback(callback, &context), 1);
    ASSERT_EQ(micro.Start(), 1);
    ASSERT_TRUE(audiotest::WaitUntil([&] { return context.stop.load() != -1; }));
    EXPECT_EQ(context.stop.load(), 0);
    EXPECT_EQ(micro.GetState(), kMicroRecording);
    EXPECT_EQ(micro.Stop(), 1);
}

}  // namespace
