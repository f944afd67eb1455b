// The capture device on SDL's disk driver reading a known input file.
#include <gtest/gtest.h>

#include <mutex>

#include "platform/capture.h"
#include "tests/platform_audio/audio_test_support.h"

namespace {

constexpr WAVEFORMATEX kMono = {WAVE_FORMAT_PCM, 1, 44100, 88200, 2, 16, 0};

std::vector<uint8_t> InputBytes(size_t count) {
    std::vector<uint8_t> bytes(count);
    for (size_t i = 0; i < count; ++i) bytes[i] = static_cast<uint8_t>(1 + i % 251);
    return bytes;
}

TEST(CaptureDevice, FillsQueuedBuffersInOrderAndHandsBackThePartlyFilledOne) {
    ScratchFolder folder;
    const std::vector<uint8_t> input = InputBytes(10000);
    audiotest::WriteBytes(folder / "input.raw", input);
    audiotest::UseDiskDriver(folder / "unused.raw", folder / "input.raw");

    std::mutex mutex;  // guards done
    std::vector<std::pair<uintptr_t, uint64_t>> done;
    std::string error;
    auto device = CaptureDevice::Open(
        kMono,
        [&](uintptr_t user, uint64_t stamp) {
            std::lock_guard lock(mutex);
            done.emplace_back(user, stamp);
        },
        error);
    ASSERT_TRUE(device) << error;
    std::vector<uint8_t> first(4000), second(4000), third(1 << 20);
    EXPECT_FALSE(device->AddBuffer(9, third.data(), 0));
    ASSERT_TRUE(device->AddBuffer(1, first.data(), 4000));
    ASSERT_TRUE(device->AddBuffer(2, second.data(), 4000));
    ASSERT_TRUE(device->AddBuffer(3, third.data(), static_cast<uint32_t>(third.size())));
    ASSERT_TRUE(device->Start());
    ASSERT_TRUE(audiotest::WaitUntil([&] {
        std::lock_guard lock(mutex);
        return done.size() == 2;
    }));
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const std::vector<CapturedBuffer> returned = device->Reset();
    device.reset();

    ASSERT_EQ(done.size(), 2u);
    EXPECT_EQ(done[0].first, 1u);
    EXPECT_EQ(done[1].first, 2u);
    EXPECT_LT(done[0].second, done[1].second);
    EXPECT_TRUE(std::equal(first.begin(), first.end(), input.begin()));
    EXPECT_TRUE(std::equal(second.begin(), second.end(), input.begin() + 4000));
    ASSERT_EQ(returned.size(), 1u);
    EXPECT_EQ(returned[0].user, 3u);
    EXPECT_GT(returned[0].bytesRecorded, 0u);
    EXPECT_LT(returned[0].bytesRecorded, third.size());
    const size_t rest = std::min<size_t>(returned[0].bytesRecorded, input.size() - 8000);
    EXPECT_TRUE(std::equal(third.begin(), third.begin() + static_cast<long>(rest), input.begin() + 8000));
}

TEST(CaptureDevice, OpenFailsWithoutAnInput) {
    ScratchFolder folder;
    audiotest::UseDiskDriver(folder / "unused.raw", folder / "missing.raw");
    std::string error;
    EXPECT_FALSE(CaptureDevice::Open(
        kMono, [](uintptr_t, uint64_t) {}, error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
