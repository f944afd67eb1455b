// The Bluetooth address text: round trips, both cases, and malformed texts refused.
#include <gtest/gtest.h>

#include "btlink/src/bt_address.h"

TEST(BtAddress, ParsesAndFormatsTheFortyEightBits) {
    const auto address = ParseBtAddress("aa:Bb:cC:dd:EE:0f");
    ASSERT_TRUE(address);
    EXPECT_EQ(address->low, 0xCCDDEE0Fu);
    EXPECT_EQ(address->high, 0xAABBu);
    EXPECT_EQ(FormatBtAddress(*address), "AA:BB:CC:DD:EE:0F");
    EXPECT_EQ(FormatBtAddress({0x00000001u, 0x0000u}), "00:00:00:00:00:01");
    EXPECT_EQ(FormatBtAddress({0xFFFFFFFFu, 0xFFFF1234u}), "12:34:FF:FF:FF:FF") << "only 16 high bits count";
}

TEST(BtAddress, RefusesMalformedTexts) {
    for (const char* text : {"", "AA:BB:CC:DD:EE", "AA:BB:CC:DD:EE:FF:00", "AA-BB-CC-DD-EE-FF", "AA:BB:CC:DD:EE:FG",
                             "AABBCCDDEEFF00000", " A:BB:CC:DD:EE:FF"})
        EXPECT_FALSE(ParseBtAddress(text)) << text;
}
