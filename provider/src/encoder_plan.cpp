#include "provider/src/encoder_plan.h"

#include <array>
#include <cctype>
#include <cstring>

#include "contracts/provider_api.h"

namespace {

constexpr int64_t kMinBitRate = 8000;
constexpr int64_t kMaxMp3BitRate = 320000;
constexpr int64_t kMaxAacBitRate = 512000;

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
    return plan;
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

std::optional<EncoderPlan> PlanFromRecord(const void* record, const WAVEFORMATEXTENSIBLE& pcm,
                                          const std::string& path) {
    const auto* bytes = static_cast<const uint8_t*>(record);
    const uint32_t tag = Field(bytes, 0);
    if (tag == QoEncoderMp3) return Mp3Plan(bytes);
    if (tag == QoEncoderAac) return AacPlan(bytes, pcm, path);
    return std::nullopt;
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
