// The file-dialog filter and the type descriptions.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "provider_support.h"

namespace {

std::string Filter(uint32_t capacity, int* length) {
    std::string buf(capacity, 'Z');
    *length = QoGetSupportedFileExtensions(buf.data(), capacity);
    return capacity ? std::string(buf.c_str()) : std::string();
}

TEST(FileTypes, FilterListsEveryReadableTypeInQtForm) {
    int length = 0;
    const std::string filter = Filter(8192, &length);
    EXPECT_EQ(length, static_cast<int>(filter.size()));
    ASSERT_EQ(filter.rfind("Audio files (", 0), 0u);
    const std::string all = filter.substr(0, filter.find(")"));
    for (const char* ext : {"*.mp3", "*.wav", "*.flac", "*.ogg", "*.opus", "*.aac", "*.m4a", "*.wma", "*.aiff", "*.aif",
                            "*.mp4", "*.mkv"})
        EXPECT_NE(all.find(ext), std::string::npos) << ext;
    EXPECT_EQ(filter.find("*.cda"), std::string::npos);  // CD tracks are not files to browse
    EXPECT_NE(filter.find(";;MPEG Layer-3 audio (*.mp3);;"), std::string::npos);
    // Every entry reads "Name (patterns)".
    size_t start = 0;
    while (start < filter.size()) {
        const size_t end = std::min(filter.find(";;", start), filter.size());
        const std::string entry = filter.substr(start, end - start);
        EXPECT_NE(entry.find(" (*."), std::string::npos) << entry;
        EXPECT_EQ(entry.back(), ')') << entry;
        start = end + 2;
    }
}

TEST(FileTypes, FilterIsCutAtWholeEntries) {
    int fullLength = 0;
    const std::string full = Filter(8192, &fullLength);
    int length = 0;
    const std::string cut = Filter(1024, &length);
    ASSERT_GT(length, 0);
    EXPECT_LE(length, 1023);
    EXPECT_EQ(full.rfind(cut, 0), 0u);
    EXPECT_TRUE(cut.size() == full.size() || full.compare(cut.size(), 2, ";;") == 0);

    const size_t firstEntry = full.find(";;");
    const std::string onlyFirst = Filter(static_cast<uint32_t>(firstEntry + 1), &length);
    EXPECT_EQ(onlyFirst, full.substr(0, firstEntry));
    const std::string nothing = Filter(static_cast<uint32_t>(firstEntry), &length);
    EXPECT_EQ(length, 0);
    EXPECT_EQ(nothing, "");
    EXPECT_EQ(QoGetSupportedFileExtensions(nullptr, 0), 0);
}

TEST(FileTypes, DescriptionsPerExtension) {
    char buf[260];
    EXPECT_EQ(QoGetFormatDescription(".cda", buf, sizeof buf), static_cast<int>(std::strlen("CD Audio Track")));
    EXPECT_STREQ(buf, "CD Audio Track");
    for (const char* ext : {".mp3", ".MP3", ".wav", ".aac", ".m4a", ".m4r", ".flac", ".ogg", ".wma", ".mp4"}) {
        EXPECT_GT(QoGetFormatDescription(ext, buf, sizeof buf), 0) << ext;
        EXPECT_GT(std::strlen(buf), 3u) << ext;
    }
    EXPECT_EQ(QoGetFormatDescription(".xyz", buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "");
    EXPECT_EQ(QoGetFormatDescription("mp3", buf, sizeof buf), 0);
    EXPECT_EQ(QoGetFormatDescription(nullptr, buf, sizeof buf), 0);
    char tiny[4] = {'Z', 'Z', 'Z', 'Z'};
    EXPECT_EQ(QoGetFormatDescription(".cda", tiny, sizeof tiny), 0);
    EXPECT_EQ(tiny[0], '\0');
    EXPECT_EQ(tiny[1], 'Z');
}

}  // namespace
