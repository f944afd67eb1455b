// The encoders offered for saving: their names, the records passed to the provider's coder
// (with the tag block after them) and the once-per-run availability probe.
#include "engine/saver.h"

#include <mutex>
#include <string>
#include <vector>

#include "contracts/provider_api.h"
#include "engine/provider_handles.h"
#include "engine/src/saver_records.h"

namespace {

struct EncoderKind {
    uint32_t tag;
    const char* name;
    const char* extension;
    bool lossless;
};

// In tag order, which the list keeps: stored format indexes go on meaning the same rows.
constexpr EncoderKind kEncoderKinds[] = {
    {QoEncoderMp3, "MP3 (Lame)", ".mp3", false},
    {QoEncoderAac, "AAC (Faac)", ".aac", false},
    {QoEncoderM4r, "iPhone ringtone (M4R)", ".m4r", false},
    {QoEncoderM4a, "AAC in MP4 (M4A)", ".m4a", false},
    {QoEncoderOgg, "Ogg Vorbis", ".ogg", false},
    {QoEncoderFlac, "FLAC", ".flac", true},
    {QoEncoderWav, "WAV", ".wav", true},
};

const EncoderKind* FindKind(uint32_t tag) {
    for (const EncoderKind& kind : kEncoderKinds)
        if (kind.tag == tag) return &kind;
    return nullptr;
}

void PutU32(std::vector<uint8_t>& record, uint32_t value) {
    for (int i = 0; i < 4; ++i) record.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

WAVEFORMATEXTENSIBLE OutputPcmFormat(uint32_t channels) {
    WAVEFORMATEXTENSIBLE format = kWorkingFormat;
    format.Format.nChannels = static_cast<uint16_t>(channels);
    format.Format.nAvgBytesPerSec = channels * 2 * kWorkingRate;
    format.Format.nBlockAlign = static_cast<uint16_t>(channels * 2);
    format.dwChannelMask = channels == 1 ? 4 : 3;
    return format;
}

std::vector<uint8_t> MakeEncoderRecord(uint32_t tag, const WAVEFORMATEXTENSIBLE& output, uint32_t bitsPerSecond,
                                       uint32_t quality, uint32_t options) {
    std::vector<uint8_t> record;
    if (!FindKind(tag)) return record;
    if (tag == QoEncoderMp3) {
        PutU32(record, QoEncoderMp3);
        PutU32(record, kWorkingRate);
        PutU32(record, 1);
        PutU32(record, 3);
        PutU32(record, output.Format.nChannels == 1 ? 1 : 4);
        PutU32(record, 1);
        PutU32(record, bitsPerSecond);
    } else if (tag == QoEncoderAac) {
        PutU32(record, QoEncoderAac);
        const auto* bytes = reinterpret_cast<const uint8_t*>(&output);
        record.insert(record.end(), bytes, bytes + sizeof output);
        PutU32(record, bitsPerSecond);
        PutU32(record, quality);
        PutU32(record, 1);
        PutU32(record, 2);
        PutU32(record, 2);
    } else {
        PutU32(record, tag);
        PutU32(record, output.Format.nChannels);
        PutU32(record, output.Format.nSamplesPerSec);
        PutU32(record, bitsPerSecond);
        PutU32(record, options);
    }
    return record;
}

void AppendTagBlock(std::vector<uint8_t>& record, const std::string& title, const std::string& artist) {
    for (const std::string* text : {&title, &artist}) {
        PutU32(record, static_cast<uint32_t>(text->size()));
        record.insert(record.end(), text->begin(), text->end());
    }
}

const RingtoneSaver::EncoderList& RingtoneSaver::Encoders() {
    static EncoderList encoders;
    static std::once_flag probed;
    std::call_once(probed, [] {
        // Any quality fits: the bit rate decides at 128 kbps stereo.
        constexpr uint32_t kProbeBitRate = 128000;
        const WAVEFORMATEXTENSIBLE stereo = OutputPcmFormat(2);
        for (const EncoderKind& kind : kEncoderKinds) {
            const std::vector<uint8_t> record =
                MakeEncoderRecord(kind.tag, stereo, kProbeBitRate, AacQuality(2, 128), 0);
            if (ProviderCanWrite("tmp", stereo, record.data())) encoders.emplace(kind.tag, kind.name);
        }
    });
    return encoders;
}

std::string RingtoneSaver::EncoderName(uint32_t tag) {
    const EncoderKind* kind = FindKind(tag);
    return kind ? kind->name : "";
}

std::string RingtoneSaver::EncoderExtension(uint32_t tag) {
    const EncoderKind* kind = FindKind(tag);
    return kind ? kind->extension : "";
}

bool RingtoneSaver::IsLossless(uint32_t tag) {
    const EncoderKind* kind = FindKind(tag);
    return kind && kind->lossless;
}

uint32_t RingtoneSaver::AacQuality(uint32_t channels, uint32_t kbps) {
    const bool mono = channels == 1;
    switch (kbps) {
        case 64: return mono ? 100 : 45;
        case 128: return mono ? 400 : 100;
        case 256: return mono ? 550 : 420;
        default: return 0;
    }
}
