// Tags through the two-pass protocol: capacities first, then copies bounded by them.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <vector>

#include "provider_support.h"

using namespace provider_test;

namespace {

// The caller's side of the protocol: a first pass with null texts, buffers of the
// reported capacities (0 becomes 128, above 10001 becomes 10001), a second pass.
struct TagReading {
    bool ok = false;
    std::array<int32_t, 16> capacity{};
    std::array<std::string, 16> text;
    std::array<bool, 16> present{};
};

TagReading ReadTags(const std::string& path) {
    TagReading r;
    const uint32_t h = QoTagOpen(path.c_str());
    if (!h) return r;
    QoTagInfo info{};
    for (int i = 0; i < 15; ++i) info.capacity[i] = -1;
    info.capacity[15] = 0;
    if (QoTagGetInfo(h, &info)) {
        std::array<std::vector<char>, 16> buffers;
        for (int i = 0; i < 16; ++i) {
            r.capacity[i] = info.capacity[i];
            if (info.capacity[i] < 0) continue;
            const int32_t size = info.capacity[i] == 0 ? 128 : std::min(info.capacity[i], 10001);
            buffers[i].assign(size, '\0');
            info.text[i] = buffers[i].data();
            info.capacity[i] = size;
            r.present[i] = true;
        }
        r.ok = QoTagGetInfo(h, &info) != 0;
        for (int i = 0; i < 16; ++i)
            if (r.present[i]) r.text[i] = buffers[i].data();
    }
    QoTagClose(h);
    return r;
}

TEST(Tags, Mp3TagsAreReadInUtf8WithExactCapacities) {
    ScratchFolder dir;
    const std::string path = dir / "tagged.mp3";
    ASSERT_TRUE(Ffmpeg(SineSource({440}, 44100, 1) +
                       " -metadata title='Grüße ♪' -metadata artist='The Artist' -metadata album='An Album'"
                       " -metadata date=2021-05-03 -metadata genre=Pop -metadata comment='A comment'"
                       " -metadata track=3/12 " +
                       path));
    const TagReading r = ReadTags(path);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.capacity[QoTagTitle], static_cast<int32_t>(std::strlen("Grüße ♪") + 1));
    EXPECT_EQ(r.text[QoTagTitle], "Grüße ♪");
    EXPECT_EQ(r.text[QoTagArtist], "The Artist");
    EXPECT_EQ(r.text[QoTagAlbum], "An Album");
    EXPECT_EQ(r.text[QoTagYear], "2021");
    EXPECT_EQ(r.text[QoTagGenre], "Pop");
    EXPECT_EQ(r.text[QoTagComment], "A comment");
    EXPECT_EQ(r.text[QoTagTrack], "3");
    for (int i = QoTagTrack + 1; i < 16; ++i) EXPECT_EQ(r.capacity[i], -1) << i;
}

TEST(Tags, StreamCommentsOfOggAndTagsOfMp4AreFound) {
    ScratchFolder dir;
    for (const char* name : {"tagged.ogg", "tagged.opus", "tagged.m4a", "tagged.flac"}) {
        const std::string path = dir / name;
        ASSERT_TRUE(Ffmpeg(SineSource({440}, 44100, 1) + " -metadata title=Ringing -metadata artist=Someone " + path));
        const TagReading r = ReadTags(path);
        ASSERT_TRUE(r.ok) << name;
        EXPECT_EQ(r.text[QoTagTitle], "Ringing") << name;
        EXPECT_EQ(r.text[QoTagArtist], "Someone") << name;
    }
}

TEST(Tags, FileWithoutTagsHasEveryEntryAbsent) {
    ScratchFolder dir;
    const std::string path = dir / "plain.wav";
    ASSERT_TRUE(Ffmpeg(SineSource({440}, 44100, 1) + " -map_metadata -1 -fflags +bitexact " + path));
    const TagReading r = ReadTags(path);
    ASSERT_TRUE(r.ok);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(r.capacity[i], -1) << i;
}

TEST(Tags, SecondPassNeverCopiesMoreThanTheCapacityNorHalfACharacter) {
    ScratchFolder dir;
    const std::string path = dir / "long.mp3";
    std::string comment;
    for (int i = 0; i < 25000; ++i) comment += "é";  // 50000 bytes
    ASSERT_TRUE(
        Ffmpeg(SineSource({440}, 44100, 1) + " -metadata title='Grüße' -metadata comment='" + comment + "' " + path));
    const uint32_t h = QoTagOpen(path.c_str());
    ASSERT_NE(h, 0u);
    QoTagInfo info{};
    ASSERT_EQ(QoTagGetInfo(h, &info), 1);
    EXPECT_EQ(info.capacity[QoTagComment], 50001);

    // Room for 9999 bytes: 4999 whole characters.
    std::vector<char> commentBuf(12000, 'Z');
    std::vector<char> titleBuf(16, 'Z');
    QoTagInfo second{};
    second.text[QoTagComment] = commentBuf.data();
    second.capacity[QoTagComment] = 10000;
    // "Grüße" in 5 chars: "Grü" is 4 bytes, the ß would not fit.
    second.text[QoTagTitle] = titleBuf.data();
    second.capacity[QoTagTitle] = 5;
    ASSERT_EQ(QoTagGetInfo(h, &second), 1);
    EXPECT_EQ(std::strlen(commentBuf.data()), 9998u);
    EXPECT_EQ(commentBuf[10000], 'Z');
    EXPECT_STREQ(titleBuf.data(), "Grü");
    EXPECT_EQ(titleBuf[5], 'Z');

    // A capacity of 0 writes nothing at all.
    titleBuf.assign(16, 'Z');
    QoTagInfo none{};
    none.text[QoTagTitle] = titleBuf.data();
    none.capacity[QoTagTitle] = 0;
    ASSERT_EQ(QoTagGetInfo(h, &none), 1);
    EXPECT_EQ(titleBuf[0], 'Z');
    QoTagClose(h);
}

TEST(Tags, BadHandlesAndPathsFail) {
    QoTagInfo info{};
    EXPECT_EQ(QoTagGetInfo(0, &info), 0);
    EXPECT_EQ(QoTagGetInfo(12345678, &info), 0);
    EXPECT_EQ(QoTagOpen(nullptr), 0u);
    EXPECT_EQ(QoTagOpen("/no/such/file.mp3"), 0u);
    ScratchFolder dir;
    const std::string text = dir / "notes.mp3";
    WriteBytes(text, std::vector<uint8_t>(300, 'a'));
    EXPECT_EQ(QoTagOpen(text.c_str()), 0u);
    EXPECT_EQ(QoTagOpen(dir.Path().c_str()), 0u);
    const std::string path = dir / "ok.mp3";
    ASSERT_TRUE(Ffmpeg(SineSource({440}, 44100, 1) + " " + path));
    const uint32_t h = QoTagOpen(path.c_str());
    ASSERT_NE(h, 0u);
    EXPECT_EQ(QoTagGetInfo(h, nullptr), 0);
    QoTagClose(h);
    EXPECT_EQ(QoTagGetInfo(h, &info), 0);
}

}  // namespace
