// Opens a track, then times the export of a range with both fades and its save as MP3 at
// 128 kbps, as the program does them after the user moves to page 3 and presses Save.
//   render_save_bench TRACK START_SECONDS LENGTH_SECONDS NORMALIZE(0 off|1 peak|2 loudness)
// Prints the milliseconds of the export, the save and both.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "contracts/provider_api.h"
#include "effecttree/effect_tree.h"
#include "engine/progress.h"
#include "engine/render_chain.h"
#include "engine/saver.h"
#include "engine/temp_files.h"
#include "engine/track.h"

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s TRACK START_SECONDS LENGTH_SECONDS NORMALIZE\n", argv[0]);
        return 2;
    }
    const int64_t start = std::atoll(argv[2]) * kWorkingRate;
    const int64_t length = std::atoll(argv[3]) * kWorkingRate;

    HeadlessProgressFactory progress;
    TrackSlot slot;
    slot.SetPath(argv[1]);
    if (!slot.Open(progress)) return 1;

    CEffectTree tree;
    CVolumeEffect volume;
    volume.SetEffectTree(&tree);
    RingtoneTimeline timeline;
    timeline.AttachChain(&tree, &volume);
    timeline.SetTracks(&slot, nullptr);
    timeline.SetProjectLength(timeline.TracksEnd());
    timeline.SetMarkers(start, start + length);
    timeline.SetFadeIn(true);
    timeline.SetFadeOut(true);

    RingtoneSaver saver;
    saver.SetNormalizeMode(NormalizeModeFromProfile(std::atoi(argv[4])));
    const auto& encoders = RingtoneSaver::Encoders();
    const auto mp3 = encoders.find(QoEncoderMp3);
    if (mp3 == encoders.end() || !saver.SetOutput(static_cast<size_t>(std::distance(encoders.begin(), mp3)), 2, 128))
        return 1;

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
