// Opens one audio file as a track, the way the wizard does, and prints its frame count.
// Exit status 0 when the track opened.
#include <cstdio>

#include "engine/progress.h"
#include "engine/track.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <audio file>\n", argv[0]);
        return 2;
    }
    HeadlessProgressFactory progress;
    TrackSlot slot;
    slot.SetPath(argv[1]);
    if (!slot.Open(progress)) return 1;
    std::printf("%u frames, %u channels\n", slot.source.Frames(), slot.source.Channels());
    return 0;
}
