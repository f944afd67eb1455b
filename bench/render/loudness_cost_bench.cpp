// What loudness normalisation costs a save: a range is exported once, then saved with the
// normalizer off and with loudness normalisation (measurement, gain and the true-peak
// limiter) in alternating rounds, and the meter and the limiter are also timed alone on
// the same number of frames. Prints the medians and the ratios to the plain save.
//   loudness_cost_bench TRACK START_SECONDS LENGTH_SECONDS [ROUNDS] [FORMAT mp3|m4r|ogg]
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "bench/render/bench_range.h"
#include "contracts/provider_api.h"
#include "engine/limiter.h"
#include "engine/loudness.h"
#include "engine/saver.h"
#include "engine/temp_files.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr uint32_t kBlockFrames = 1024;

double MsSince(Clock::time_point began) {
    return std::chrono::duration<double, std::milli>(Clock::now() - began).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

uint32_t EncoderTag(const std::string& format) {
    if (format == "m4r") return QoEncoderM4r;
    if (format == "ogg") return QoEncoderOgg;
    return QoEncoderMp3;
}

// A music-like stereo signal at about -14 LUFS with peaks over the limiter's ceiling.
std::vector<float> TestSignal(uint32_t frames) {
    std::vector<float> samples(size_t{frames} * 2);
    std::mt19937 random(7);
    std::normal_distribution<float> noise(0.0f, 0.12f);
    for (uint32_t f = 0; f < frames; ++f) {
        const double t = static_cast<double>(f) / kWorkingRate;
        const float beat = (f % (kWorkingRate / 2)) < 2000 ? 0.5f : 0.0f;
        samples[2 * f] = static_cast<float>(0.3 * std::sin(2 * M_PI * 440 * t)) + noise(random) + beat;
        samples[2 * f + 1] = static_cast<float>(0.3 * std::sin(2 * M_PI * 554 * t)) + noise(random) + beat;
    }
    return samples;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s TRACK START_SECONDS LENGTH_SECONDS [ROUNDS] [FORMAT]\n", argv[0]);
        return 2;
    }
    const int64_t start = std::atoll(argv[2]) * kWorkingRate;
    const int64_t length = std::atoll(argv[3]) * kWorkingRate;
    const int rounds = argc > 4 ? std::max(1, std::atoi(argv[4])) : 5;
    const uint32_t tag = EncoderTag(argc > 5 ? argv[5] : "mp3");

    BenchRange range;
    if (!range.Open(argv[1], start, length)) return 1;
    HeadlessProgressFactory& progress = range.progress;
    RingtoneTimeline& timeline = range.timeline;

    RingtoneSaver saver;
    if (!BenchRange::ChooseEncoder(saver, tag)) return 1;
    auto began = Clock::now();
    TempFile exported;
    if (!saver.PrepareExport(timeline, progress, exported) || !saver.AdoptExport(std::move(exported))) return 1;
    const double exportMs = MsSince(began);

    std::vector<double> plain, loudness, meter, limiter;
    const std::vector<float> signal = TestSignal(static_cast<uint32_t>(length));
    std::vector<float> limited(signal.size());
    for (int round = 0; round < rounds; ++round) {
        for (const NormalizeMode mode : {NormalizeMode::Off, NormalizeMode::Loudness}) {
            saver.SetNormalizeMode(mode);
            began = Clock::now();
            if (!saver.Save(progress)) return 1;
            (mode == NormalizeMode::Off ? plain : loudness).push_back(MsSince(began));
            saver.SetNormalizeMode(NormalizeMode::Peak);  // drops the encoded file
        }
        // Both take the blocks the save reads.
        const auto frames = static_cast<uint32_t>(length);
        began = Clock::now();
        LoudnessMeter alone(2, kWorkingRate);
        for (uint32_t at = 0; at < frames; at += kBlockFrames)
            alone.Add(signal.data() + size_t{at} * 2, std::min(kBlockFrames, frames - at));
        const LoudnessResult result = alone.Result();
        meter.push_back(MsSince(began));
        began = Clock::now();
        TruePeakLimiter peaks(2, kWorkingRate);
        uint32_t written = 0;
        for (uint32_t at = 0; at < frames; at += kBlockFrames)
            written += peaks.Process(signal.data() + size_t{at} * 2, std::min(kBlockFrames, frames - at),
                                     limited.data() + size_t{written} * 2);
        peaks.Flush(limited.data() + size_t{written} * 2);
        limiter.push_back(MsSince(began));
        if (!result.HasLoudness()) return 1;
    }
    const double plainMs = Median(plain), loudnessMs = Median(loudness);
    const double meterMs = Median(meter), limiterMs = Median(limiter);
    std::printf("export %.1f ms (the range's meter included)\n", exportMs);
    std::printf("save off %.1f ms, save loudness %.1f ms: loudness adds %.0f %% to the save\n", plainMs, loudnessMs,
                100.0 * (loudnessMs - plainMs) / plainMs);
    std::printf("alone on %.1f s: meter %.1f ms, limiter %.1f ms: together %.0f %% of export + plain save\n",
                static_cast<double>(length) / kWorkingRate, meterMs, limiterMs,
                100.0 * (meterMs + limiterMs) / (exportMs + plainMs));
    return 0;
}
