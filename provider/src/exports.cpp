// The provider's C exports: argument checks, the handle table, and no exception ever
// crossing the C boundary.
#include <string>
#include <vector>

extern "C" {
#include <libavutil/log.h>
}

#include "provider/provider.h"
#include "provider/src/audio_writer.h"
#include "provider/src/cd_disc.h"
#include "provider/src/cd_source.h"
#include "provider/src/file_source.h"
#include "provider/src/file_types.h"
#include "provider/src/pcm_reader.h"
#include "provider/src/stream_format.h"
#include "provider/src/tag_set.h"
#include "provider/src/utf8_text.h"

#define QO_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

// Highest channel count a caller may ask for when decoding.
constexpr int kMaxOutputChannels = 8;

// FFmpeg reports damaged input on stderr by default; the provider reports it by its results.
void SilenceFfmpegOnce() {
    static const bool silenced = [] {
        av_log_set_level(AV_LOG_QUIET);
        return true;
    }();
    (void)silenced;
}

template <class Fn>
auto Guarded(Fn fn, decltype(fn()) failure) noexcept -> decltype(fn()) {
    try {
        return fn();
    } catch (...) {
        return failure;
    }
}

std::unique_ptr<AudioSource> OpenSource(const InputLocation& location) {
    SilenceFfmpegOnce();
    if (!location.InMemory())
        if (auto track = ParseCdTrackPath(location.path)) return CdSource::Open(*track);
    return FileSource::Open(location);
}

uint32_t MaskFor(int channels) {
    if (channels == 1) return 4;
    if (channels == 2) return SPEAKER_FRONT_LEFT | SPEAKER_FRONT_RIGHT;
    return DefaultChannelMask(channels);
}

uint32_t OpenReader(const InputLocation& location, WAVEFORMATEXTENSIBLE* fmt, uint32_t* length, int mode) {
    if (!fmt || (mode != QoModeDecode && mode != QoModeProbe)) return 0;
    const int askedChannels = fmt->Format.nChannels;
    const int askedRate = static_cast<int>(fmt->Format.nSamplesPerSec);
    if (mode == QoModeDecode &&
        (askedChannels < 1 || askedChannels > kMaxOutputChannels || askedRate < 1 || askedRate > kMaxSampleRate))
        return 0;

    std::unique_ptr<AudioSource> source = OpenSource(location);
    if (!source) return 0;
    const WAVEFORMATEXTENSIBLE own = source->format();
    const uint32_t ownLength = source->length();
    if (mode == QoModeProbe) {
        *fmt = own;
        if (length) *length = ownLength;
        return Handles().Add(std::make_shared<ProbedFile>());
    }

    const int channels = own.Format.nChannels == 1 ? 1 : askedChannels;
    auto reader = std::make_shared<PcmReader>(std::move(source), channels, askedRate);
    if (!reader->Prime()) return 0;
    const uint16_t validBits = fmt->Samples.wValidBitsPerSample;
    *fmt = MakeFormat(channels, askedRate, 16, MaskFor(channels), false);
    fmt->Samples.wValidBitsPerSample = validBits ? 16 : 0;
    if (length) {
        const double scaled = static_cast<double>(ownLength) * askedRate / own.Format.nSamplesPerSec;
        *length = scaled >= 4294967295.0 ? 0xFFFFFFFFu : static_cast<uint32_t>(scaled + 0.5);
    }
    return Handles().Add(std::move(reader));
}

int CopyLines(const std::vector<std::string>& lines, char* buf, uint32_t capacity) {
    std::string text;
    for (const std::string& line : lines) {
        if (!text.empty()) text += '\n';
        text += line;
    }
    if (!buf && capacity == 0) return static_cast<int>(lines.size());
    if (!buf || text.size() + 1 > capacity) {
        if (buf && capacity > 0) buf[0] = '\0';
        return -1;
    }
    CopyWhole(text, buf, capacity);
    return static_cast<int>(lines.size());
}

}  // namespace

QO_EXPORT uint32_t QoOpenFile(const char* path, WAVEFORMATEXTENSIBLE* fmt, uint32_t* length, int mode) {
    return Guarded(
        [&]() -> uint32_t {
            if (!path) return 0;
            InputLocation location;
            location.path = path;
            return OpenReader(location, fmt, length, mode);
        },
        0u);
}

QO_EXPORT uint32_t QoOpenMemory(const void* data, size_t size, WAVEFORMATEXTENSIBLE* fmt, uint32_t* length, int mode) {
    return Guarded(
        [&]() -> uint32_t {
            if (!data || size == 0) return 0;
            InputLocation location;
            location.data = static_cast<const uint8_t*>(data);
            location.size = size;
            return OpenReader(location, fmt, length, mode);
        },
        0u);
}

QO_EXPORT uint32_t QoGetFileData(uint32_t h, uint32_t firstFrame, uint32_t frames, void* buf, uint32_t bufBytes) {
    return Guarded(
        [&]() -> uint32_t {
            auto reader = Handles().Find<PcmReader>(h);
            return reader ? reader->Read(firstFrame, frames, buf, bufBytes) : 0;
        },
        0u);
}

QO_EXPORT void QoCloseFile(uint32_t h) {
    Guarded(
        [&] {
            if (!Handles().Remove<PcmReader>(h)) Handles().Remove<ProbedFile>(h);
            return 0;
        },
        0);
}

QO_EXPORT int QoGetSupportedFileExtensions(char* buf, uint32_t capacity) {
    return Guarded(
        [&] {
            SilenceFfmpegOnce();
            return CopyWhole(FitFilter(SupportedFilter(), capacity), buf, capacity);
        },
        0);
}

QO_EXPORT int QoGetFormatDescription(const char* extWithDot, char* buf, uint32_t capacity) {
    return Guarded(
        [&] {
            return extWithDot ? CopyWhole(FormatDescription(extWithDot), buf, capacity) : CopyWhole("", buf, capacity);
        },
        0);
}

QO_EXPORT uint32_t QoTagOpen(const char* path) {
    return Guarded(
        [&]() -> uint32_t {
            if (!path) return 0;
            SilenceFfmpegOnce();
            if (auto track = ParseCdTrackPath(path)) {
                CdIoPtr cdio = OpenCd(track->device);
                int32_t first = 0;
                uint32_t count = 0;
                if (!cdio || !CdTrackSectors(cdio.get(), track->track, &first, &count)) return 0;
                return Handles().Add(std::make_shared<TagSet>(CdTrackTags(cdio.get(), track->track)));
            }
            return Handles().Add(TagSet::FromFile(path));
        },
        0u);
}

QO_EXPORT int QoTagGetInfo(uint32_t h, QoTagInfo* info) {
    return Guarded(
        [&] {
            auto tags = Handles().Find<TagSet>(h);
            if (!tags || !info) return 0;
            tags->Fill(*info);
            return 1;
        },
        0);
}

QO_EXPORT void QoTagClose(uint32_t h) {
    Guarded([&] { return Handles().Remove<TagSet>(h) != nullptr; }, false);
}

QO_EXPORT uint32_t QoCoderCreateFile(const char* path, const WAVEFORMATEXTENSIBLE* pcm, const void* encoderRecord,
                                     uint32_t reserved, const uint64_t* /*totalFrames*/) {
    return Guarded(
        [&]() -> uint32_t {
            if (!path || !pcm) return 0;
            SilenceFfmpegOnce();
            const auto plan =
                encoderRecord ? PlanFromRecord(encoderRecord, reserved, *pcm, path) : PlanFromExtension(*pcm, path);
            if (!plan) return 0;
            return Handles().Add(AudioWriter::Create(path, *pcm, *plan));
        },
        0u);
}

QO_EXPORT int QoCoderAddFileData(uint32_t h, uint32_t frames, const void* buf, uint32_t bytes) {
    return Guarded(
        [&] {
            auto writer = Handles().Find<AudioWriter>(h);
            return writer && writer->Add(frames, buf, bytes) ? 1 : 0;
        },
        0);
}

QO_EXPORT void QoCoderCloseFile(uint32_t h) {
    Guarded(
        [&] {
            if (auto writer = Handles().Remove<AudioWriter>(h)) writer->Close();
            return 0;
        },
        0);
}

QO_EXPORT QWidget* QoCoderShowSettings(uint32_t /*reserved*/, QWidget* /*parent*/, int /*embedded*/) { return nullptr; }

QO_EXPORT int QoCdListDrives(char* buf, uint32_t capacity) {
    return Guarded([&] { return CopyLines(CdDrives(), buf, capacity); }, -1);
}

QO_EXPORT int QoCdListTracks(const char* device, char* buf, uint32_t capacity) {
    return Guarded(
        [&] {
            if (!device) return -1;
            CdIoPtr cdio = OpenCd(device);
            if (!cdio) return -1;
            std::vector<std::string> names;
            for (int track : CdAudioTracks(cdio.get())) names.push_back(CdTrackName(track));
            return CopyLines(names, buf, capacity);
        },
        -1);
}
