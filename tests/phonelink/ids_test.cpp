// The Bluetooth phones' ids and btlink's address halves.
#include <gtest/gtest.h>

#include "phonelink/phones.h"

namespace {

TEST(PhoneIds, BluetoothIdsCarryBtlinksAddressHalves) {
    EXPECT_EQ(BluetoothPhoneId(0xCCDDEEFFu, 0xAABBu), "bt:AA:BB:CC:DD:EE:FF");
    EXPECT_EQ(BluetoothPhoneId(0x00000001u, 0x0000u), "bt:00:00:00:00:00:01");
    uint32_t low = 0, high = 0;
    ASSERT_TRUE(BluetoothAddressOfId("bt:AA:BB:CC:DD:EE:FF", low, high));
    EXPECT_EQ(low, 0xCCDDEEFFu);
    EXPECT_EQ(high, 0xAABBu);
    ASSERT_TRUE(BluetoothAddressOfId("bt:01:23:45:67:89:ab", low, high));
    EXPECT_EQ(low, 0x456789ABu);
    EXPECT_EQ(high, 0x0123u);
    EXPECT_EQ(BluetoothPhoneId(low, high), "bt:01:23:45:67:89:AB");
}

TEST(PhoneIds, OtherIdsAreNoBluetoothAddress) {
    for (const char* id :
         {"", "bt:", "bt:AA:BB:CC:DD:EE", "bt:AA:BB:CC:DD:EE:FF:00", "bt:AA-BB-CC-DD-EE-FF", "bt:AA:BB:CC:DD:EE:FG",
          "BT:AA:BB:CC:DD:EE:FF", "kdeconnect:AA:BB:CC:DD:EE:FF", "usb:/media/phone", "bt: A:BB:CC:DD:EE:FF"}) {
        uint32_t low = 7, high = 9;
        EXPECT_FALSE(BluetoothAddressOfId(id, low, high)) << id;
        EXPECT_EQ(low, 7u) << id;
        EXPECT_EQ(high, 9u) << id;
    }
}

}  // namespace
