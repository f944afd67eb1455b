// The sound ring on SDL's disk driver: what it plays, its cursors and spans, its part
// notifications, silence on underrun and a device that goes away.
#include <gtest/gtest.h>

#include <cstring>

#include "platform/event_set.h"
#include "platform/sound_ring.h"
#include "tests/platform_audio/audio_test_support.h"

namespace {

constexpr WAVEFORMATEX kStereo = {WAVE_FORMAT_PCM, 2, 44100, 176400, 4, 16, 0};

// Distinct non-zero 16-bit samples, starting at first.
std::vector<uint8_t> Pattern(uint32_t bytes, int first) {
    std::vector<uint8_t> data(bytes);
    for (uint32_t i = 0; i + 1 < bytes; i += 2) {
        const auto sample = static_cast<int16_t>(first + static_cast<int>(i / 2) % 20000);
        std::memcpy(&data[i], &sample, 2);
    }
    return data;
}

void Write(const SoundRingSpan& span, const std::vector<uint8_t>& data) {
    ASSERT_EQ(span.bytes[0] + span.bytes[1], data.size());
    std::memcpy(span.region[0], data.data(), span.bytes[0]);
    std::memcpy(span.region[1], data.data() + span.bytes[0], span.bytes[1]);
}

std::vector<int16_t> AsSamples(const std::vector<uint8_t>& bytes) {
    std::vector<int16_t> samples(bytes.size() / 2);
    std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
    return samples;
}

TEST(SoundRing, PlaysEachWrittenByteOnceWithSilenceWhenNothingWaits) {
    ScratchFolder folder;
    audiotest::UseDiskDriver(folder / "played.raw");
    std::string error;
    auto ring = SoundRing::Open(kStereo, 8192, error);
    ASSERT_TRUE(ring) << error;
    EventSet events(4);
    ASSERT_TRUE(ring->SetNotificationPositions(events, {{2047, 0}, {4095, 1}, {6143, 2}, {8191, 3}}));

    const std::vector<uint8_t> first = Pattern(6144, 1);
    SoundRingSpan span;
    ASSERT_TRUE(ring->Lock(0, 6144, span));
    EXPECT_EQ(span.bytes[0], 6144u);
    EXPECT_EQ(span.bytes[1], 0u);
    Write(span, first);
    ASSERT_TRUE(ring->Unlock(span));
    EXPECT_FALSE(ring->Lock(0, 16, span)) << "only the end of the waiting bytes can be written";
    EXPECT_FALSE(ring->Lock(6144, 4096, span)) << "more than the free space";

    ASSERT_TRUE(ring->Play());
    ASSERT_TRUE(audiotest::WaitUntil([&] { return ring->PlayedBytes() == 6144; }));
    events.Wait(2);
    EXPECT_TRUE(events.IsSet(0));
    EXPECT_TRUE(events.IsSet(1));
    // Nothing waits: the device plays silence, the cursor stays, and the last part's
    // notification does not come.
    std::this_thread::sleep_for(std::chrono::milliseconds(40));
    EXPECT_FALSE(events.IsSet(3));
    const SoundRingPosition position = ring->GetCurrentPosition();
    EXPECT_EQ(position.playCursor, 6144u);
    EXPECT_EQ(position.waitingBytes, 0u);

    // The whole ring is free now; the span wraps.
    const std::vector<uint8_t> second = Pattern(8192, 5000);
    ASSERT_TRUE(ring->Lock(6144, 8192, span));
    EXPECT_EQ(span.bytes[0], 2048u);
    EXPECT_EQ(span.bytes[1], 6144u);
    Write(span, second);
    ASSERT_TRUE(ring->Unlock(span));
    ASSERT_TRUE(audiotest::WaitUntil([&] { return ring->PlayedBytes() == 6144 + 8192; }));
    EXPECT_TRUE(events.IsSet(3));
    ring.reset();

    std::vector<int16_t> expected = AsSamples(first);
    const std::vector<int16_t> more = AsSamples(second);
    expected.insert(expected.end(), more.begin(), more.end());
    EXPECT_EQ(audiotest::SoundingFrames(audiotest::ReadSamples(folder / "played.raw"), 2), expected);
}

TEST(SoundRing, StopKeepsWhatWaitsAndPlayResumesIt) {
    ScratchFolder folder;
    audiotest::UseDiskDriver(folder / "played.raw");
    std::string error;
    auto ring = SoundRing::Open(kStereo, 16384, error);
    ASSERT_TRUE(ring) << error;
    const std::vector<uint8_t> data = Pattern(16384, 7);
    SoundRingSpan span;
    ASSERT_TRUE(ring->Lock(0, 16384, span));
    Write(span, data);
    ASSERT_TRUE(ring->Unlock(span));
    ASSERT_TRUE(ring->Play());
    ASSERT_TRUE(audiotest::WaitUntil([&] { return ring->PlayedBytes() > 0; }));
    ASSERT_TRUE(ring->Stop());
    const uint64_t played = ring->PlayedBytes();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_EQ(ring->PlayedBytes(), played) << "a stopped ring is not played";
    EXPECT_EQ(ring->GetCurrentPosition().waitingBytes, 16384 - played);
    ASSERT_TRUE(ring->Play());
    ASSERT_TRUE(audiotest::WaitUntil([&] { return ring->PlayedBytes() == 16384; }));
    ring.reset();
    EXPECT_EQ(audiotest::SoundingFrames(audiotest::ReadSamples(folder / "played.raw"), 2), AsSamples(data));
}

TEST(SoundRing, ReportsADeviceThatGoesAway) {
    // Writes to /dev/full fail, which the disk driver reports as the device going away.
    audiotest::UseDiskDriver("/dev/full");
    std::string error;
    auto ring = SoundRing::Open(kStereo, 8192, error);
    ASSERT_TRUE(ring) << error;
    EventSet events(2);
    ASSERT_TRUE(ring->SetNotificationPositions(events, {{8191, 0}, {kSoundRingDeviceLost, 1}}));
    SoundRingSpan span;
    ASSERT_TRUE(ring->Lock(0, 8192, span));
    Write(span, Pattern(8192, 1));
    ASSERT_TRUE(ring->Unlock(span));
    ASSERT_TRUE(ring->Play());
    ASSERT_TRUE(audiotest::WaitUntil([&] { return events.IsSet(1); }));
    EXPECT_TRUE(ring->DeviceLost());
    EXPECT_FALSE(ring->Play());
}

TEST(SoundRing, OpenFailsWithoutADeviceOrForOtherThan16BitPcm) {
    audiotest::UseDriver("no-such-driver");
    std::string error;
    EXPECT_FALSE(SoundRing::Open(kStereo, 8192, error));
    EXPECT_FALSE(error.empty());

    audiotest::UseDriver("dummy");
    WAVEFORMATEX eightBit = {WAVE_FORMAT_PCM, 2, 44100, 88200, 2, 8, 0};
    EXPECT_FALSE(SoundRing::Open(eightBit, 8192, error));
    EXPECT_FALSE(SoundRing::Open(kStereo, 8190, error)) << "not whole frames";
    EXPECT_TRUE(SoundRing::Open(kStereo, 8192, error)) << error;
}

TEST(EventSet, WaitsForAnyReturnsTheLowestAndTakesAutoResetEvents) {
    EventSet events(3);
    std::thread setter([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        events.Set(2);
        events.Set(1);
    });
    events.Wait(1);
    setter.join();
    EXPECT_EQ(events.WaitAny(), 1u);
    EXPECT_EQ(events.TakeAny(), 1u);
    EXPECT_FALSE(events.IsSet(1));
    EXPECT_EQ(events.WaitAny(), 2u) << "waiting does not reset";
    events.ResetAll();
    EXPECT_FALSE(events.IsSet(2));
}

}  // namespace
