// The waveform editor's drawing cache, free of Qt: one (minimum, maximum) pair per channel
// and pixel column of a track's visible part, kept in the track's DrawCache.
#pragma once

#include <cstdint>

#include "engine/track.h"

// What one build touched: the frames of PCM read, the peak pairs read, and the columns
// computed and taken over from the cache's previous contents.
struct DrawCacheBuild {
    uint64_t framesRead = 0;
    uint64_t peakPairsRead = 0;
    uint32_t columnsComputed = 0;
    uint32_t columnsReused = 0;
};

// Rebuilds the track's drawing cache for the visible frames [viewStart, viewEnd) at zoom
// frames per column. Column c covers the frames placement start + c × zoom … + zoom − 1;
// the cache starts at the visible part's first frame rounded to the nearest column and ends
// at the view's or the track's end. From 256 frames per column on, columns come from the
// track's peak pairs only; below that the overlapping columns of a cache at the same zoom are
// kept and only the others read from the PCM. A column without frames holds (32767, −32768).
// The cache is valid afterwards (empty when the track does not show).
DrawCacheBuild BuildDrawCache(TrackSource& track, uint32_t zoom, int64_t viewStart, int64_t viewEnd);

// The placement frame where a cache column starts.
inline int64_t DrawCacheColumnFrame(const TrackSource& track, uint32_t zoom, int64_t column) {
    return track.PlacementStart() + column * zoom;
}
