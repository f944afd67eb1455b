// The feeder's work per second of audio: pulling blocks from a data callback that produces a
// fixed signal, the gains and the float to 16-bit conversion into the ring, the waits and
// wake-ups. The player runs on SDL's disk driver writing to /dev/null without pacing, so the
// device takes the ring as fast as the feeder fills it; the feeder thread's CPU time is
// measured from its first block to the end notice and divided by the audio it delivered.
// Alongside, the same pull, gains and conversion done in a plain loop give the floor. Both
// report thread CPU time per second of audio (the manual time) and its share of one core.
// Settings: 5 parts of 44100 bytes, stereo, 16-bit, 44100 Hz.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <time.h>

#include <atomic>
#include <cmath>
#include <thread>
#include <vector>

#include "audiosvc/audiosvc.h"
#include "engine/player.h"

namespace {

constexpr uint32_t kRate = 44100;
constexpr uint32_t kPartBytes = 44100;
constexpr uint32_t kParts = 5;
constexpr uint32_t kSecondsPerRun = 8;

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

// A 440 Hz tone at half scale, produced by copying from a table of one second.
class ToneSource {
public:
    ToneSource() : table_(kRate) {
        for (uint32_t i = 0; i < kRate; ++i)
            table_[i] = 0.5f * static_cast<float>(std::sin(2.0 * M_PI * 440.0 * i / kRate));
    }

    void Restart(uint64_t totalFrames) {
        produced_ = 0;
        total_ = totalFrames;
        feederFirstFrame_ = 0;
        feederStartCpu_ = 0;
        feederCpu_ = 0;
        ended_ = false;
        starter_ = std::this_thread::get_id();
    }

    // Fills the block: the same tone on both channels.
    uint32_t Fill(_SOUNDDATAEX_& block) {
        const auto frames = static_cast<uint32_t>(std::min<uint64_t>(block.capacity, total_ - produced_));
        for (float* channel : block.channels) {
            uint32_t done = 0;
            while (done < frames) {
                const uint32_t at = static_cast<uint32_t>((produced_ + done) % kRate);
                const uint32_t run = std::min(frames - done, kRate - at);
                std::copy_n(table_.data() + at, run, channel + done);
                done += run;
            }
        }
        block.frames = frames;
        produced_ += frames;
        return frames;
    }

    static uint32_t Callback(void* context, _SOUNDDATAEX_* block, uint32_t /*tag*/) {
        auto* source = static_cast<ToneSource*>(context);
        if (block->capacity == 0) return 0;
        const bool onFeeder = std::this_thread::get_id() != source->starter_;
        if (block->capacity == 1) {  // the end notice, on the feeder
            source->feederCpu_ = ThreadCpuSeconds() - source->feederStartCpu_;
            source->ended_ = true;
            return 0;
        }
        if (onFeeder && source->feederStartCpu_ == 0) {
            source->feederStartCpu_ = ThreadCpuSeconds();
            source->feederFirstFrame_ = source->produced_;
        }
        return source->Fill(*block);
    }

    bool Ended() const { return ended_.load(); }
    double FeederCpu() const { return feederCpu_; }
    double FeederAudioSeconds() const { return static_cast<double>(produced_ - feederFirstFrame_) / kRate; }

private:
    std::vector<float> table_;
    std::thread::id starter_;
    uint64_t produced_ = 0;
    uint64_t total_ = 0;
    uint64_t feederFirstFrame_ = 0;
    double feederStartCpu_ = 0;
    double feederCpu_ = 0;
    std::atomic<bool> ended_{false};
};

void BM_FeederPerAudioSecond(benchmark::State& state) {
    setenv("SDL_AUDIODRIVER", "disk", 1);
    setenv("SDL_DISKAUDIOFILE", "/dev/null", 1);
    setenv("SDL_DISKAUDIODELAY", "0", 1);
    CExtPlayerDX engine;
    XPlayer player(engine);
    ToneSource source;
    player.SetFormat(kWorkingFormat);
    player.SetBufferCount(kParts);
    player.SetBufferSize(kPartBytes);
    player.SetDataCallback(&ToneSource::Callback, &source);
    double cpu = 0, audio = 0;
    for (auto _ : state) {
        source.Restart(uint64_t{kRate} * kSecondsPerRun);
        if (player.Start() != 1) {
            state.SkipWithError("the player did not start (SDL disk driver)");
            return;
        }
        while (!source.Ended()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        player.Stop();
        state.SetIterationTime(source.FeederCpu() / source.FeederAudioSeconds());
        cpu += source.FeederCpu();
        audio += source.FeederAudioSeconds();
    }
    state.counters["core_share_%"] = 100.0 * cpu / audio;
}
BENCHMARK(BM_FeederPerAudioSecond)->UseManualTime()->Iterations(5)->Unit(benchmark::kMicrosecond);

// The floor: one second of audio pulled, scaled by the gains and converted into a ring of the
// same size, without thread, ring or events.
void BM_PullGainConvertPerAudioSecond(benchmark::State& state) {
    ToneSource source;
    SoundBlock block(2, kPartBytes / 4);
    std::vector<uint8_t> ring(kPartBytes * kParts);
    const float leftGain = 1.0f, rightGain = 1.0f;
    double cpu = 0;
    for (auto _ : state) {
        const double start = ThreadCpuSeconds();
        source.Restart(kRate);
        uint32_t offset = 0;
        for (uint32_t frames = 0; frames < kRate;) {
            block.Allocate(2, kPartBytes / 4);
            const uint32_t got = source.Fill(*block);
            for (uint32_t i = 0; i < block->capacity; ++i) block->channels[0][i] *= leftGain;
            for (uint32_t i = 0; i < block->capacity; ++i) block->channels[1][i] *= rightGain;
            if (offset + got * 4 > ring.size()) offset = 0;
            SD2MME(block.get(), 0, got, ring.data() + offset, &kWorkingFormat.Format);
            offset += got * 4;
            frames += got;
        }
        benchmark::DoNotOptimize(ring.data());
        const double used = ThreadCpuSeconds() - start;
        state.SetIterationTime(used);
        cpu += used;
    }
    state.counters["core_share_%"] = 100.0 * cpu / static_cast<double>(state.iterations());
}
BENCHMARK(BM_PullGainConvertPerAudioSecond)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
