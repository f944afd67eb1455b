#include "provider/src/encoder_plan.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstring>

#include "contracts/provider_api.h"

namespace {

constexpr int64_t kMinBitRate = 8000;
constexpr int64_t kMaxMp3BitRate = 320000;
constexpr int64_t kMaxAacBitRate = 512000;
// libvorbis has no managed mode above this for one channel at 44.1 kHz.
constexpr int64_t kMaxMonoVorbisBitRate = 240000;
// From this bit rate per channel the AAC encoder's own low-pass and quantiser search leave
// the budget unspent (20 to 25 % under the rate on music); a full band and the fast coder
// spend it.
constexpr int64_t kAacFullBandPerChannel = 128000;

uint32_t Field(const uint8_t* record, size_t index) {
    const uint8_t* p = record + index * 4;
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
           static_cast<uint32_t>(p[3]) << 24;
}

std::string LowerExtension(const std::string& path) {
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    std::string extension = path.substr(dot);
    for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return extension;
}

// MP4 family containers; anything else gets raw ADTS.
std::string AacMuxer(const std::string& path) {
    const std::string extension = LowerExtension(path);
    if (extension == ".m4a" || extension == ".m4r" || extension == ".m4b") return "ipod";
    if (extension == ".mp4") return "mp4";
    return "adts";
}

void SetAacRateOptions(EncoderPlan& plan) {
    if (plan.bitRate >= kAacFullBandPerChannel * plan.channels)
        plan.encoderOptions = {{"cutoff", "20000"}, {"aac_coder", "fast"}};
}

std::optional<EncoderPlan> Mp3Plan(const uint8_t* record) {
    EncoderPlan plan;
    plan.encoders = {"libmp3lame"};
    plan.muxer = "mp3";
    const uint32_t mode = Field(record, 4);
    if (mode != 1 && mode != 4) return std::nullopt;
    plan.channels = mode == 1 ? 1 : 2;
    plan.sampleRate = static_cast<int>(Field(record, 1));
    plan.bitRate = Field(record, 6);
    if (plan.sampleRate <= 0 || plan.bitRate < kMinBitRate || plan.bitRate > kMaxMp3BitRate) return std::nullopt;
    return plan;
}

std::optional<EncoderPlan> AacPlan(const uint8_t* record, const WAVEFORMATEXTENSIBLE& pcm, const std::string& path) {
    WAVEFORMATEXTENSIBLE out{};
    std::memcpy(&out, record + 4, sizeof out);
    const uint8_t* rest = record + 4 + sizeof out;
    EncoderPlan plan;
    plan.encoders = {"aac"};
    plan.muxer = AacMuxer(path);
    plan.channels = out.Format.nChannels;
    plan.sampleRate = out.Format.nSamplesPerSec ? static_cast<int>(out.Format.nSamplesPerSec)
                                                : static_cast<int>(pcm.Format.nSamplesPerSec);
    if (plan.channels < 1 || plan.channels > 2) return std::nullopt;
    const uint32_t bitRate = Field(rest, 0);
    plan.bitRate = bitRate ? bitRate : AacBitRateForQuality(Field(rest, 1), plan.channels);
    if (plan.bitRate < kMinBitRate || plan.bitRate > kMaxAacBitRate) return std::nullopt;
    SetAacRateOptions(plan);
    return plan;
}

// The five-field records of the phone formats.
std::optional<EncoderPlan> PhonePlan(uint32_t tag, const uint8_t* record) {
    EncoderPlan plan;
    plan.channels = static_cast<int>(Field(record, 1));
    plan.sampleRate = static_cast<int>(Field(record, 2));
    plan.bitRate = Field(record, 3);
    const uint32_t options = Field(record, 4);
    if (plan.channels < 1 || plan.channels > 2 || plan.sampleRate <= 0 || plan.sampleRate > 384000) return std::nullopt;
    const bool lossy = tag == QoEncoderM4r || tag == QoEncoderM4a || tag == QoEncoderOgg;
    if (lossy && (plan.bitRate < kMinBitRate || plan.bitRate > kMaxAacBitRate)) return std::nullopt;
    if (!lossy) plan.bitRate = 0;
    if (tag == QoEncoderM4r || tag == QoEncoderM4a) {
        plan.encoders = {"aac"};
        plan.muxer = "ipod";
        plan.muxerOptions = {{"brand", "M4A "}};
        SetAacRateOptions(plan);
        // Phones read the index before the data.
        if (tag == QoEncoderM4r) plan.muxerOptions.emplace_back("movflags", "+faststart");
    } else if (tag == QoEncoderOgg) {
        plan.encoders = {"libvorbis"};
        plan.muxer = "ogg";
        if (plan.channels == 1) plan.bitRate = std::min(plan.bitRate, kMaxMonoVorbisBitRate);
        // Left to itself libvorbis spends a third of the rate on a plain tone; phones and the
        // size estimate want the rate asked for.
        plan.managedRate = true;
        if (options & QoRecordLoopTag) plan.metadata.emplace_back("ANDROID_LOOP", "true");
    } else if (tag == QoEncoderFlac) {
        plan.encoders = {"flac"};
        plan.muxer = "flac";
    } else {
        plan.encoders = {"pcm_s16le"};
        plan.muxer = "wav";
    }
    return plan;
}

// Bytes of a record before its tag block; 0 for an unknown tag.
size_t RecordBytes(uint32_t tag) {
    if (tag == QoEncoderMp3) return 7 * 4;
    if (tag == QoEncoderAac) return 4 + sizeof(WAVEFORMATEXTENSIBLE) + 5 * 4;
    return 5 * 4;
}

// Reads the title and the artist after the record into FFmpeg's keys.
void ReadTags(const uint8_t* block, EncoderPlan& plan) {
    // Longer texts are taken as broken records.
    constexpr uint32_t kMaxTagBytes = 1 << 16;
    for (const char* key : {"title", "artist"}) {
        const uint32_t bytes = Field(block, 0);
        if (bytes > kMaxTagBytes) return;
        std::string text(reinterpret_cast<const char*>(block + 4), bytes);
        block += 4 + bytes;
        if (!text.empty()) plan.metadata.emplace_back(key, std::move(text));
    }
}

}  // namespace

int64_t AacBitRateForQuality(uint32_t quality, int channels) {
    struct Point {
        double quality;
        double kbps;
    };
    static constexpr std::array<Point, 3> kStereo = {{{45, 64}, {100, 128}, {420, 256}}};
    static constexpr std::array<Point, 3> kMono = {{{100, 64}, {400, 128}, {550, 256}}};
    const auto& points = channels == 1 ? kMono : kStereo;
    const double q = quality;
    if (q <= points.front().quality) return static_cast<int64_t>(points.front().kbps * 1000);
    for (size_t i = 1; i < points.size(); ++i) {
        if (q <= points[i].quality) {
            const Point& a = points[i - 1];
            const Point& b = points[i];
            const double kbps = a.kbps + (b.kbps - a.kbps) * (q - a.quality) / (b.quality - a.quality);
            return static_cast<int64_t>(kbps * 1000 + 0.5);
        }
    }
    return static_cast<int64_t>(points.back().kbps * 1000);
}

std::optional<EncoderPlan> PlanFromRecord(const void* record, uint32_t flags, const WAVEFORMATEXTENSIBLE& pcm,
                                          const std::string& path) {
    const auto* bytes = static_cast<const uint8_t*>(record);
    const uint32_t tag = Field(bytes, 0);
    std::optional<EncoderPlan> plan;
    if (tag == QoEncoderMp3)
        plan = Mp3Plan(bytes);
    else if (tag == QoEncoderAac)
        plan = AacPlan(bytes, pcm, path);
    else if (tag == QoEncoderM4r || tag == QoEncoderM4a || tag == QoEncoderOgg || tag == QoEncoderFlac ||
             tag == QoEncoderWav)
        plan = PhonePlan(tag, bytes);
    if (plan && (flags & QoCoderTagsFollow)) ReadTags(bytes + RecordBytes(tag), *plan);
    return plan;
}

std::optional<EncoderPlan> PlanFromExtension(const WAVEFORMATEXTENSIBLE& pcm, const std::string& path) {
    const std::string extension = LowerExtension(path);
    EncoderPlan plan;
    plan.channels = pcm.Format.nChannels;
    plan.sampleRate = static_cast<int>(pcm.Format.nSamplesPerSec);
    plan.bitRate = kDefaultBitRate;
    if (extension == ".wav") {
        plan.encoders = {"pcm_s16le"};
        plan.muxer = "wav";
        plan.bitRate = 0;
    } else if (extension == ".mp3") {
        plan.encoders = {"libmp3lame"};
        plan.muxer = "mp3";
    } else if (extension == ".aac" || extension == ".m4a" || extension == ".m4r" || extension == ".m4b" ||
               extension == ".mp4") {
        plan.encoders = {"aac"};
        plan.muxer = AacMuxer(path);
    } else if (extension == ".flac") {
        plan.encoders = {"flac"};
        plan.muxer = "flac";
        plan.bitRate = 0;
    } else if (extension == ".ogg" || extension == ".oga") {
        plan.encoders = {"libvorbis", "libopus", "flac"};
        plan.muxer = "ogg";
    } else if (extension == ".opus") {
        plan.encoders = {"libopus"};
        plan.muxer = "opus";
    } else {
        return std::nullopt;
    }
    return plan;
}
