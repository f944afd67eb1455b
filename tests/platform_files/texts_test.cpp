// Time and size texts.
#include <gtest/gtest.h>

#include "platform/texts.h"

TEST(TimeText, MinutesUnderAnHourAndHoursFromOneHourUp) {
    EXPECT_EQ(TimeText(0), "00:00");
    EXPECT_EQ(TimeText(59), "00:59");
    EXPECT_EQ(TimeText(3599), "59:59");
    EXPECT_EQ(TimeText(3600), "01:00:00");
    EXPECT_EQ(TimeText(3725), "01:02:05");
    EXPECT_EQ(TimeText(100 * 3600 + 1), "100:00:01");
}

TEST(SizeText, BytesThenBinaryUnitsWithTwoDecimals) {
    EXPECT_EQ(SizeText(0), "0 bytes");
    EXPECT_EQ(SizeText(1023), "1023 bytes");
    EXPECT_EQ(SizeText(1024), "1.00 Kb.");
    EXPECT_EQ(SizeText(1536), "1.50 Kb.");
    EXPECT_EQ(SizeText(491520), "480.00 Kb.");
    EXPECT_EQ(SizeText(1024u * 1024u), "1.00 Mb.");
    EXPECT_EQ(SizeText(5u * 1024u * 1024u + 512u * 1024u), "5.50 Mb.");
    EXPECT_EQ(SizeText(3ull << 30), "3.00 Gb.");
    EXPECT_EQ(SizeText(2ull << 40), "2.00 Tb.");
    EXPECT_EQ(SizeText(2048ull << 40), "2048.00 Tb.");
}
