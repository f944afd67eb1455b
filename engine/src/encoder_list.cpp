// The encoders offered for saving: their names, the records passed to the provider's coder
// and the once-per-run availability probe.
#include "engine/saver.h"

#include <mutex>
#include <vector>

#include "contracts/provider_api.h"
#include "engine/provider_handles.h"
#include "engine/src/saver_records.h"

namespace {

struct EncoderKind {
    uint32_t tag;
    const char* name;
    const char* extension;
};

constexpr EncoderKind kEncoderKinds[] = {
    {QoEncoderMp3, "MP3 (Lame)", ".mp3"},
    {QoEncoderAac, "AAC (Faac)", ".aac"},
    {RingtoneSaver::kWaveOutput, "WAV", ".wav"},
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
                                       uint32_t quality) {
    std::vector<uint8_t> record;
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
    }
    return record;
}

const RingtoneSaver::EncoderList& RingtoneSaver::Encoders() {
    static EncoderList encoders;
    static std::once_flag probed;
    std::call_once(probed, [] {
        // Any quality fits: the bit rate decides at 128 kbps stereo.
        constexpr uint32_t kProbeBitRate = 128000;
        const WAVEFORMATEXTENSIBLE stereo = OutputPcmFormat(2);
        for (const uint32_t tag : {QoEncoderMp3, QoEncoderAac}) {
            const std::vector<uint8_t> record = MakeEncoderRecord(tag, stereo, kProbeBitRate, AacQuality(2, 128));
            if (ProviderCanWrite("tmp", stereo, record.data())) encoders.emplace(tag, EncoderName(tag));
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

uint32_t RingtoneSaver::AacQuality(uint32_t channels, uint32_t kbps) {
    const bool mono = channels == 1;
    switch (kbps) {
        case 64: return mono ? 100 : 45;
        case 128: return mono ? 400 : 100;
        case 256: return mono ? 550 : 420;
        default: return 0;
    }
}
