// Building the drawing cache of a track from its peak pairs or its PCM.
#include "app/src/waveform_cache.h"
#include "engine/track.h"

#include <algorithm>
#include <vector>

namespace {

constexpr PeakPair kEmptyColumn{32767, -32768};

void Widen(PeakPair& pair, int16_t minimum, int16_t maximum) {
    pair.minimum = std::min(pair.minimum, minimum);
    pair.maximum = std::max(pair.maximum, maximum);
}

// Columns [first, first + count) of every channel from zoom / 256 peak pairs each.
void ColumnsFromPeaks(const TrackSource& track, DrawCache& cache, uint32_t zoom, DrawCacheBuild& build) {
    const uint32_t pairsPerColumn = zoom / TrackSource::kPeakBlock;
    for (uint32_t ch = 0; ch < cache.channels.size(); ++ch) {
        for (uint32_t i = 0; i < cache.validPairs; ++i) {
            PeakPair& column = cache.channels[ch][i];
            column = kEmptyColumn;
            const int64_t firstBlock = (cache.firstColumn + i) * static_cast<int64_t>(pairsPerColumn);
            for (uint32_t k = 0; k < pairsPerColumn; ++k) {
                const int64_t block = firstBlock + k;
                if (block < 0 || block > UINT32_MAX) continue;
                const PeakPair peak = track.Peak(ch, static_cast<uint32_t>(block));
                Widen(column, peak.minimum, peak.maximum);
                ++build.peakPairsRead;
            }
        }
    }
}

// Columns [from, to) of the cache (indices into it) from the PCM: one read per run.
void ColumnsFromPcm(const TrackSource& track, DrawCache& cache, uint32_t zoom, uint32_t from, uint32_t to,
                    DrawCacheBuild& build) {
    if (from >= to) return;
    const uint32_t channels = static_cast<uint32_t>(cache.channels.size());
    const uint32_t blockAlign = track.BlockAlign();
    for (uint32_t i = from; i < to; ++i)
        for (uint32_t ch = 0; ch < channels; ++ch) cache.channels[ch][i] = kEmptyColumn;

    const int64_t firstFrame = std::max<int64_t>((cache.firstColumn + from) * static_cast<int64_t>(zoom), 0);
    const int64_t endFrame = std::min<int64_t>((cache.firstColumn + to) * static_cast<int64_t>(zoom), track.Frames());
    if (firstFrame >= endFrame || blockAlign != 2 * channels) return;
    // In pieces of whole columns, so that a long run never needs one large buffer.
    constexpr int64_t kPieceFrames = 1 << 16;
    const int64_t pieceFrames = std::max<int64_t>(kPieceFrames / zoom, 1) * zoom;
    std::vector<int16_t> samples;
    for (int64_t piece = firstFrame; piece < endFrame; piece += pieceFrames) {
        const int64_t frames = std::min(pieceFrames, endFrame - piece);
        samples.resize(static_cast<size_t>(frames) * channels);
        const uint32_t bytes = track.Read(samples.data(), static_cast<uint64_t>(piece) * blockAlign,
                                          static_cast<uint32_t>(frames * blockAlign));
        const int64_t got = bytes / blockAlign;
        build.framesRead += static_cast<uint64_t>(got);
        for (int64_t f = 0; f < got; ++f) {
            const int64_t column = (piece + f) / zoom - cache.firstColumn;
            for (uint32_t ch = 0; ch < channels; ++ch) {
                const int16_t v = samples[static_cast<size_t>(f) * channels + ch];
                Widen(cache.channels[ch][static_cast<size_t>(column)], v, v);
            }
        }
    }
}

// Moves the pairs of the old columns that are wanted again to their new places; returns the
// range of new indices they fill.
std::pair<uint32_t, uint32_t> KeepOverlap(DrawCache& cache, int64_t oldFirst, uint32_t oldCount) {
    const int64_t newFirst = cache.firstColumn;
    const int64_t from = std::max(oldFirst, newFirst);
    const int64_t to = std::min(oldFirst + oldCount, newFirst + static_cast<int64_t>(cache.validPairs));
    if (from >= to) return {0, 0};
    const auto count = static_cast<size_t>(to - from);
    for (auto& pairs : cache.channels) {
        auto source = pairs.begin() + (from - oldFirst);
        auto target = pairs.begin() + (from - newFirst);
        if (target < source)
            std::move(source, source + static_cast<std::ptrdiff_t>(count), target);
        else
            std::move_backward(source, source + static_cast<std::ptrdiff_t>(count),
                               target + static_cast<std::ptrdiff_t>(count));
    }
    return {static_cast<uint32_t>(from - newFirst), static_cast<uint32_t>(to - newFirst)};
}

}  // namespace

DrawCacheBuild BuildDrawCache(TrackSource& track, uint32_t zoom, int64_t viewStart, int64_t viewEnd) {
    DrawCacheBuild build;
    DrawCache& cache = track.EditorDrawCache();
    const uint32_t channels = track.Channels();
    if (cache.channels.size() != channels) cache.Reset(channels);
    zoom = std::max(zoom, 1u);

    const int64_t oldFirst = cache.firstColumn;
    const uint32_t oldCount = cache.zoom == zoom ? cache.validPairs : 0;
    cache.zoom = zoom;
    cache.valid = true;

    const int64_t visibleStart = std::max(track.ActiveStart(), viewStart);
    const int64_t visibleEnd = std::min(track.ActiveEnd(), viewEnd);
    if (!track.IsOpen() || visibleStart >= visibleEnd) {
        cache.validPairs = 0;
        return build;
    }
    const int64_t placement = track.PlacementStart();
    const int64_t firstColumn = (visibleStart - placement + zoom / 2) / zoom;
    const int64_t lastColumn =
        std::min((visibleEnd - placement + zoom - 1) / zoom, (static_cast<int64_t>(track.Frames()) + zoom - 1) / zoom);
    const int64_t count = std::max<int64_t>(lastColumn - firstColumn, 0);
    // Never more columns than the view has pixels (plus the rounding's one).
    const auto columns = static_cast<uint32_t>(std::min<int64_t>(count, (viewEnd - viewStart) / zoom + 1));

    for (auto& pairs : cache.channels)
        if (pairs.size() < std::max<size_t>(columns, oldCount)) pairs.resize(std::max<size_t>(columns, oldCount));
    cache.firstColumn = firstColumn;
    cache.validPairs = columns;

    if (zoom >= TrackSource::kPeakBlock) {
        ColumnsFromPeaks(track, cache, zoom, build);
        build.columnsComputed = columns;
        return build;
    }
    const auto [keptFrom, keptTo] = KeepOverlap(cache, oldFirst, oldCount);
    build.columnsReused = keptTo - keptFrom;
    build.columnsComputed = columns - build.columnsReused;
    if (keptFrom == keptTo) {
        ColumnsFromPcm(track, cache, zoom, 0, columns, build);
    } else {
        ColumnsFromPcm(track, cache, zoom, 0, keptFrom, build);
        ColumnsFromPcm(track, cache, zoom, keptTo, columns, build);
    }
    return build;
}
