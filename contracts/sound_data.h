// The sample block exchanged between the engine, the effect tree and the plug-ins:
// one float array per channel, a capacity and a count of valid frames.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

struct _SOUNDDATAEX_ {
    uint32_t reserved = 0;
    std::vector<float*> channels;  // entry k is channel k in interleaved order
    uint32_t capacity = 0;         // floats in each array; in a request, frames asked for
    uint32_t frames = 0;           // valid frames
};

// The block owns its arrays; only these three operations create or free them.

inline void SoundDataRelease(_SOUNDDATAEX_& block) {
    for (float* array : block.channels) delete[] array;
    block.channels.clear();
    block.capacity = 0;
    block.frames = 0;
    block.reserved = 0;
}

inline void SoundDataAllocate(_SOUNDDATAEX_& block, uint32_t channelCount, uint32_t frameCount) {
    SoundDataRelease(block);
    block.channels.reserve(channelCount);
    for (uint32_t k = 0; k < channelCount; ++k) block.channels.push_back(new float[frameCount]());
    block.capacity = frameCount;
    block.frames = 0;
}

inline void SoundDataClear(_SOUNDDATAEX_& block) {
    for (float* array : block.channels) std::fill(array, array + block.capacity, 0.0f);
    block.frames = 0;
}

// A block that owns its arrays for its lifetime.
class SoundBlock {
public:
    SoundBlock() = default;
    SoundBlock(uint32_t channelCount, uint32_t frameCount) { SoundDataAllocate(data_, channelCount, frameCount); }
    ~SoundBlock() { SoundDataRelease(data_); }
    SoundBlock(const SoundBlock&) = delete;
    SoundBlock& operator=(const SoundBlock&) = delete;

    void Allocate(uint32_t channelCount, uint32_t frameCount) { SoundDataAllocate(data_, channelCount, frameCount); }
    void Release() { SoundDataRelease(data_); }
    void Clear() { SoundDataClear(data_); }

    _SOUNDDATAEX_* get() { return &data_; }
    _SOUNDDATAEX_& operator*() { return data_; }
    _SOUNDDATAEX_* operator->() { return &data_; }

private:
    _SOUNDDATAEX_ data_;
};
