// Pulling a request through the stream callback in slices: slice sizes, where each slice
// lands in the host's buffers, short and ending slices, bad callbacks and records.
#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "plugins/common/plugin_frame.h"

namespace {

// A settings record whose stream doubles every sample it pulls, in slices of a given size.
class DoublingSettings final : public CPluginSettings {
public:
    explicit DoublingSettings(uint32_t sliceFrames) : m_sliceFrames(sliceFrames) {}

    void LoadParameters(const PresetStore&, PresetDefaults) override {}
    bool SaveParameters(const PresetStore&) const override { return true; }
    std::unique_ptr<CPluginSettings> CopyParameters() const override {
        return std::make_unique<DoublingSettings>(m_sliceFrames);
    }
    int OpenStream(const WAVEFORMATEX&) override { return PLUGIN_OPEN_OK; }
    uint32_t ProcessStream(_SOUNDDATAEX_& record) override {
        return PullInSlices(record, m_sliceFrames, [this](_SOUNDDATAEX_& block, uint32_t frames) {
            processed.push_back(frames);
            for (float* channel : block.channels)
                for (uint32_t i = 0; i < frames; ++i) channel[i] *= 2.0f;
        });
    }
    void CloseStream() override {}

    std::vector<uint32_t> processed;  // frames handed to processing, per slice

private:
    uint32_t m_sliceFrames;
};

// Stream input that writes a running count (1, 2, 3 ...) into every channel and delivers
// the scripted counts in turn (the full request once the script is used up).
struct CountingInput {
    std::vector<uint32_t> script;
    std::vector<uint32_t> requests;
    std::vector<_SOUNDDATAEX_*> records;
    std::vector<std::vector<float*>> channelPointers;
    float next = 1.0f;

    static uint32_t Callback(void* user, _SOUNDDATAEX_* record) {
        auto& self = *static_cast<CountingInput*>(user);
        const size_t call = self.requests.size();
        self.requests.push_back(record->capacity);
        self.records.push_back(record);
        self.channelPointers.push_back(record->channels);
        const uint32_t count = call < self.script.size() ? self.script[call] : record->capacity;
        for (uint32_t i = 0; i < std::min(count, record->capacity); ++i) {
            for (float* channel : record->channels) channel[i] = self.next;
            self.next += 1.0f;
        }
        return count;
    }
};

class Slicing : public ::testing::Test {
protected:
    uint32_t Pull(DoublingSettings& settings, uint32_t frames) {
        settings.SetStreamCallBack(CountingInput::Callback, &input);
        block->capacity = frames;
        return settings.ProcessStream(*block);
    }

    SoundBlock block{2, 40000};
    CountingInput input;
};

TEST_F(Slicing, LongRequestIsCutIntoFullSlicesAndARemainder) {
    DoublingSettings settings(4096);
    ASSERT_EQ(Pull(settings, 10000), 10000u);
    EXPECT_EQ(block->frames, 10000u);
    EXPECT_EQ(input.requests, (std::vector<uint32_t>{4096, 4096, 1808}));
    EXPECT_EQ(settings.processed, (std::vector<uint32_t>{4096, 4096, 1808}));
    // Each slice points k × 4096 frames into every host buffer.
    for (size_t call = 0; call < 3; ++call) {
        EXPECT_NE(input.records[call], block.get());
        for (size_t k = 0; k < 2; ++k) EXPECT_EQ(input.channelPointers[call][k], block->channels[k] + call * 4096);
    }
    // Delivered in order and processed in place exactly once.
    for (uint32_t i = 0; i < 10000; ++i) {
        ASSERT_EQ(block->channels[0][i], 2.0f * static_cast<float>(i + 1)) << i;
        ASSERT_EQ(block->channels[1][i], 2.0f * static_cast<float>(i + 1)) << i;
    }
}

TEST_F(Slicing, ShortSliceEndsTheCall) {
    DoublingSettings settings(4096);
    input.script = {4096, 100};
    EXPECT_EQ(Pull(settings, 10000), 4196u);
    EXPECT_EQ(block->frames, 4196u);
    EXPECT_EQ(input.requests, (std::vector<uint32_t>{4096, 4096}));
    EXPECT_EQ(settings.processed, (std::vector<uint32_t>{4096, 100}));
    EXPECT_EQ(block->channels[0][4195], 2.0f * 4196.0f);
    EXPECT_EQ(block->channels[0][4196], 0.0f);  // beyond what was delivered: untouched
}

TEST_F(Slicing, RequestWithinOneSliceUsesTheHostRecord) {
    DoublingSettings settings(4096);
    EXPECT_EQ(Pull(settings, 4096), 4096u);
    ASSERT_EQ(input.records.size(), 1u);
    EXPECT_EQ(input.records[0], block.get());
    EXPECT_EQ(input.requests[0], 4096u);
}

TEST_F(Slicing, ExactMultipleMakesNoEmptyRemainderCall) {
    DoublingSettings settings(4096);
    EXPECT_EQ(Pull(settings, 8192), 8192u);
    EXPECT_EQ(input.requests, (std::vector<uint32_t>{4096, 4096}));
}

TEST_F(Slicing, SliceSizeIsAParameter) {
    DoublingSettings settings(16384);
    EXPECT_EQ(Pull(settings, 40000), 40000u);
    EXPECT_EQ(input.requests, (std::vector<uint32_t>{16384, 16384, 7232}));
}

TEST_F(Slicing, CallbackEndingTheStreamGivesZero) {
    DoublingSettings settings(4096);
    input.script = {0};
    block->frames = 77;
    EXPECT_EQ(Pull(settings, 3000), 0u);
    EXPECT_EQ(block->frames, 0u);
    EXPECT_TRUE(settings.processed.empty());

    DoublingSettings sliced(4096);
    input = CountingInput{};
    input.script = {0};
    EXPECT_EQ(Pull(sliced, 10000), 0u);
    EXPECT_EQ(block->frames, 0u);
    EXPECT_EQ(input.requests.size(), 1u);
    EXPECT_TRUE(sliced.processed.empty());
}

TEST_F(Slicing, CallbackClaimingMoreThanAskedIsHeldToTheRequest) {
    DoublingSettings settings(4096);
    input.script = {50000, 50000, 50000};
    EXPECT_EQ(Pull(settings, 10000), 10000u);
    EXPECT_EQ(settings.processed, (std::vector<uint32_t>{4096, 4096, 1808}));
    EXPECT_EQ(Pull(settings, 100), 100u);
}

TEST(SlicingWithout, CallbackEndsTheStream) {
    DoublingSettings settings(4096);
    SoundBlock block(1, 100);
    block->capacity = 100;
    EXPECT_EQ(settings.ProcessStream(*block), 0u);
    EXPECT_EQ(block->frames, 0u);
}

TEST(SlicingWithout, ChannelBufferNothingIsPulled) {
    DoublingSettings settings(4096);
    CountingInput input;
    settings.SetStreamCallBack(CountingInput::Callback, &input);
    _SOUNDDATAEX_ record;
    record.channels = {nullptr};
    record.capacity = 10000;
    EXPECT_EQ(settings.ProcessStream(record), 0u);
    EXPECT_TRUE(input.requests.empty());
}

}  // namespace
