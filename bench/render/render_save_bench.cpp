// Opens a track, then times the export of a range with both fades and its save as MP3 at
// 128 kbps, as the program does them after the user moves to page 3 and presses Save.
//   render_save_bench TRACK START_SECONDS LENGTH_SECONDS NORMALIZE(0 off|1 peak|2 loudness)
// Prints the milliseconds of the export, the save and both.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/render/bench_range.h"
#include "contracts/provider_api.h"
#include "engine/saver.h"
#include "engine/temp_files.h"

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s TRACK START_SECONDS LENGTH_SECONDS NORMALIZE\n", argv[0]);
        return 2;
    }
    const int64_t start = std::atoll(argv[2]) * kWorkingRate;
    const int64_t length = std::atoll(argv[3]) * kWorkingRate;

    BenchRange range;
    if (!range.Open(argv[1], start, length)) return 1;
    HeadlessProgressFactory& progress = range.progress;
    RingtoneTimeline& timeline = range.timeline;

    RingtoneSaver saver;
    saver.SetNormalizeMode(NormalizeModeFromProfile(std::atoi(argv[4])));
    if (!BenchRange::ChooseEncoder(saver, QoEncoderMp3)) return 1;

    using Clock = std::chrono::steady_clock;
    const auto began = Clock::now();
    TempFile exported;
    if (!saver.PrepareExport(timeline, progress, exported) || !saver.AdoptExport(std::move(exported))) return 1;
    const auto exportedAt = Clock::now();
    if (!saver.Save(progress)) return 1;
    const auto savedAt = Clock::now();

    const auto ms = [](Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); };
    std::printf("%.1f %.1f %.1f\n", ms(exportedAt - began), ms(savedAt - exportedAt), ms(savedAt - began));
    return 0;
}
