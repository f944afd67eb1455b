// The phone formats of the coder: containers, codecs, lengths, bit rates and the tags written
// from the record's tag block, checked with ffprobe and the file's bytes.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "provider/src/encoder_plan.h"
#include "provider_support.h"

using namespace provider_test;

namespace {

constexpr double kSeconds = 6;
constexpr int kRate = 44100;

std::vector<uint8_t> PhoneRecord(uint32_t tag, int channels, uint32_t bitRate, uint32_t options = 0) {
    return Fields({tag, static_cast<uint32_t>(channels), kRate, bitRate, options});
}

// Appends the tag block of QoCoderTagsFollow.
void AppendTags(std::vector<uint8_t>& record, const std::string& title, const std::string& artist) {
    for (const std::string* text : {&title, &artist}) {
        const std::vector<uint8_t> size = Fields({static_cast<uint32_t>(text->size())});
        record.insert(record.end(), size.begin(), size.end());
        record.insert(record.end(), text->begin(), text->end());
    }
}

// A tag as ffprobe shows it: among the container's tags, else among the stream's (Ogg keeps
// its comments with the stream).
std::string TagOf(const std::string& path, const std::string& key) {
    const std::string format = Probe(path, "format_tags=" + key);
    return format.empty() ? Probe(path, "stream_tags=" + key) : format;
}

struct PhoneCase {
    const char* name;
    uint32_t tag;
    const char* fileName;
    const char* formatName;  // ffprobe's format_name
    const char* codec;
    int codecFrame;  // length tolerance in frames
    bool lossy;
};

class PhoneFormat : public ::testing::TestWithParam<PhoneCase> {};

TEST_P(PhoneFormat, ContainerCodecLengthBitRateAndTags) {
    const PhoneCase& c = GetParam();
    ScratchFolder dir;
    for (const int channels : {1, 2}) {
        for (const uint32_t kbps : {64u, 128u, 256u}) {
            if (!c.lossy && kbps != 128) continue;
            SCOPED_TRACE(std::to_string(channels) + " channels, " + std::to_string(kbps) + " kbps");
            const std::string path = dir / c.fileName;
            std::vector<uint8_t> record = PhoneRecord(c.tag, channels, kbps * 1000);
            AppendTags(record, "Morning Bells \xc3\xa9t\xc3\xa9", "The Ringers");
            const std::vector<int16_t> signal = Signal(channels, kRate, kSeconds, true);
            ASSERT_TRUE(WriteFile(path, signal, channels, kRate, record.data(), QoCoderTagsFollow));

            EXPECT_EQ(Probe(path, "format=format_name"), c.formatName);
            EXPECT_EQ(Probe(path, "stream=codec_name"), c.codec);
            EXPECT_EQ(Probe(path, "stream=channels"), std::to_string(channels));
            EXPECT_EQ(Probe(path, "stream=sample_rate"), std::to_string(kRate));
            EXPECT_NEAR(std::stod(Probe(path, "format=duration")), kSeconds, static_cast<double>(c.codecFrame) / kRate);
            EXPECT_EQ(TagOf(path, "title"), "Morning Bells \xc3\xa9t\xc3\xa9");
            EXPECT_EQ(TagOf(path, "artist"), "The Ringers");
            if (c.lossy) {
                const double real = std::stod(Probe(path, "format=size")) * 8 / kSeconds / 1000;
                EXPECT_NEAR(real, kbps, 0.2 * kbps);
            } else {
                const Decoded d = DecodeAll(path, channels);
                ASSERT_NE(d.handle, 0u);
                EXPECT_TRUE(d.samples == signal) << "lossless";
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PhoneFormat,
    ::testing::Values(PhoneCase{"m4r", QoEncoderM4r, "tone.m4r", "mov,mp4,m4a,3gp,3g2,mj2", "aac", 1024, true},
                      PhoneCase{"m4a", QoEncoderM4a, "tone.m4a", "mov,mp4,m4a,3gp,3g2,mj2", "aac", 1024, true},
                      PhoneCase{"ogg", QoEncoderOgg, "tone.ogg", "ogg", "vorbis", 2048, true},
                      PhoneCase{"flac", QoEncoderFlac, "tone.flac", "flac", "flac", 1, false},
                      PhoneCase{"wav", QoEncoderWav, "tone.wav", "wav", "pcm_s16le", 1, false}),
    [](const auto& info) { return std::string(info.param.name); });

// Offset of a top-level MP4 box, or npos.
size_t BoxAt(const std::vector<uint8_t>& file, const char* type) {
    size_t at = 0;
    while (at + 8 <= file.size()) {
        const uint32_t size = static_cast<uint32_t>(file[at]) << 24 | static_cast<uint32_t>(file[at + 1]) << 16 |
                              static_cast<uint32_t>(file[at + 2]) << 8 | file[at + 3];
        if (std::memcmp(&file[at + 4], type, 4) == 0) return at;
        if (size < 8) break;
        at += size;
    }
    return std::string::npos;
}

TEST(PhoneFormatBytes, RingtoneIsBrandM4AWithTheIndexFirst) {
    ScratchFolder dir;
    for (const uint32_t tag : {QoEncoderM4r, QoEncoderM4a}) {
        const std::string path = dir / "brand.m4r";
        const std::vector<uint8_t> record = PhoneRecord(tag, 2, 128000);
        ASSERT_TRUE(WriteFile(path, Signal(2, kRate, 2, true), 2, kRate, record.data()));
        const std::vector<uint8_t> file = ReadBytes(path);
        ASSERT_EQ(BoxAt(file, "ftyp"), 0u);
        EXPECT_EQ(std::string(file.begin() + 8, file.begin() + 12), "M4A ");
        const size_t moov = BoxAt(file, "moov");
        const size_t mdat = BoxAt(file, "mdat");
        ASSERT_NE(moov, std::string::npos);
        ASSERT_NE(mdat, std::string::npos);
        if (tag == QoEncoderM4r) {
            EXPECT_LT(moov, mdat) << "the ringtone's index comes before its data";
        }
    }
}

TEST(PhoneFormatTags, LoopCommentOnlyWhenAsked) {
    ScratchFolder dir;
    for (const bool loop : {false, true}) {
        const std::string path = dir / "loop.ogg";
        const std::vector<uint8_t> record = PhoneRecord(QoEncoderOgg, 2, 128000, loop ? QoRecordLoopTag : 0);
        ASSERT_TRUE(WriteFile(path, Signal(2, kRate, 2, true), 2, kRate, record.data()));
        EXPECT_EQ(TagOf(path, "ANDROID_LOOP"), loop ? "true" : "") << loop;
    }
}

TEST(PhoneFormatTags, EveryTaggedTypeCarriesTitleAndArtistAndEmptyOnesAreLeftOut) {
    ScratchFolder dir;
    const std::vector<std::pair<std::vector<uint8_t>, std::string>> cases = {
        {Fields({QoEncoderMp3, kRate, 1, 3, 4, 1, 128000}), "tagged.mp3"},
        {PhoneRecord(QoEncoderWav, 1, 0), "tagged.wav"},
        {PhoneRecord(QoEncoderFlac, 2, 0), "tagged.flac"},
    };
    for (const auto& [fields, name] : cases) {
        const std::string path = dir / name;
        std::vector<uint8_t> record = fields;
        AppendTags(record, "Alarm", "");
        const int channels = name == "tagged.wav" ? 1 : 2;
        ASSERT_TRUE(
            WriteFile(path, Signal(channels, kRate, 1, false), channels, kRate, record.data(), QoCoderTagsFollow))
            << name;
        EXPECT_EQ(TagOf(path, "title"), "Alarm") << name;
        EXPECT_EQ(TagOf(path, "artist"), "") << name;
    }
    // RIFF INFO: the title as INAM.
    const std::vector<uint8_t> wav = ReadBytes(dir / "tagged.wav");
    const std::string text(wav.begin(), wav.end());
    EXPECT_NE(text.find("INFO"), std::string::npos);
    EXPECT_NE(text.find("INAM"), std::string::npos);
}

TEST(PhoneFormatBitRate, OggKeepsItsRateOnAPlainTone) {
    ScratchFolder dir;
    for (const uint32_t kbps : {64u, 256u}) {
        const std::string path = dir / "tone.ogg";
        const std::vector<uint8_t> record = PhoneRecord(QoEncoderOgg, 2, kbps * 1000);
        ASSERT_TRUE(WriteFile(path, Signal(2, kRate, kSeconds, false), 2, kRate, record.data()));
        EXPECT_NEAR(std::stod(Probe(path, "format=size")) * 8 / kSeconds / 1000, kbps, 0.2 * kbps);
    }
}

TEST(PhoneFormatRecords, BadFieldsAreRefused) {
    const WAVEFORMATEXTENSIBLE pcm = Pcm16(2, kRate);
    EXPECT_FALSE(PlanFromRecord(PhoneRecord(QoEncoderOgg, 3, 128000).data(), 0, pcm, "x.ogg"));
    EXPECT_FALSE(PlanFromRecord(PhoneRecord(QoEncoderM4r, 2, 0).data(), 0, pcm, "x.m4r")) << "no bit rate";
    EXPECT_FALSE(PlanFromRecord(Fields({QoEncoderFlac, 2, 0, 0, 0}).data(), 0, pcm, "x.flac")) << "no rate";
    const auto flac = PlanFromRecord(PhoneRecord(QoEncoderFlac, 1, 999999).data(), 0, pcm, "x.tmp");
    ASSERT_TRUE(flac);
    EXPECT_EQ(flac->bitRate, 0) << "lossless rows ignore the bit rate";
    EXPECT_EQ(flac->muxer, "flac");
}

}  // namespace
