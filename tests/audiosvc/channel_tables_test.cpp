// Channel codes and names by speaker layout.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "audiosvc/audiosvc.h"
#include "test_formats.h"

namespace {

std::vector<int> CodesOf(const WAVEFORMATEXTENSIBLE& format, uint32_t count) {
    std::vector<int> codes;
    for (uint32_t i = 0; i < count; ++i) codes.push_back(GetChannelByIndex(&format.Format, i));
    return codes;
}

TEST(ChannelCodes, MonoAndStereoDoNotLookAtTheMask) {
    const WAVEFORMATEXTENSIBLE mono = MakeFormat(1, 16, 4);
    EXPECT_EQ(CodesOf(mono, 3), (std::vector<int>{2, 2, 2}));
    EXPECT_EQ(GetIndexByChannel(&mono.Format, CHANNEL_ALL), 0);

    const WAVEFORMATEXTENSIBLE stereo = MakeFormat(2, 16);
    EXPECT_EQ(CodesOf(stereo, 4), (std::vector<int>{0, 1, 1, 1}));
    EXPECT_EQ(GetIndexByChannel(&stereo.Format, CHANNEL_LEFT), 0);
    EXPECT_EQ(GetIndexByChannel(&stereo.Format, CHANNEL_RIGHT), 1);
}

TEST(ChannelCodes, LargerLayoutsFollowTheTableBothWays) {
    const struct {
        uint32_t mask;
        std::vector<int> codes;
    } layouts[] = {
        {11, {4, 5, 3}},
        {51, {4, 5, 7, 8}},
        {59, {4, 5, 7, 8, 3}},
        {63, {4, 5, 6, 3, 7, 8}},
        {1595, {4, 5, 6, 3, 7, 8, 9}},
        {1599, {4, 5, 6, 3, 7, 8, 10, 11}},
    };
    for (const auto& layout : layouts) {
        const auto channels = static_cast<uint16_t>(layout.codes.size());
        const WAVEFORMATEXTENSIBLE format = MakeFormat(channels, 16, layout.mask);
        EXPECT_EQ(CodesOf(format, channels), layout.codes) << layout.mask;
        for (size_t index = 0; index < layout.codes.size(); ++index)
            EXPECT_EQ(GetIndexByChannel(&format.Format, layout.codes[index]), static_cast<int>(index)) << layout.mask;
    }
}

TEST(ChannelCodes, UnknownMasksAndIndicesGiveAllChannels) {
    const WAVEFORMATEXTENSIBLE odd = MakeFormat(4, 16, 0x107);
    EXPECT_EQ(GetChannelByIndex(&odd.Format, 0), CHANNEL_ALL);
    const WAVEFORMATEXTENSIBLE six = MakeFormat(6, 16, 63);
    EXPECT_EQ(GetChannelByIndex(&six.Format, 6), CHANNEL_ALL);
    EXPECT_EQ(GetIndexByChannel(&six.Format, CHANNEL_SIDE_LEFT), -1);
    // A plain format carries no speaker mask.
    WAVEFORMATEXTENSIBLE plain = six;
    plain.Format.wFormatTag = WAVE_FORMAT_PCM;
    EXPECT_EQ(GetChannelByIndex(&plain.Format, 0), CHANNEL_ALL);
}

std::string NameOf(uint32_t mask, uint32_t index, bool shortForm) {
    char buffer[64];
    EXPECT_EQ(GetChannelName(mask, index, buffer, sizeof buffer, shortForm ? 1 : 0), 1);
    return buffer;
}

TEST(ChannelNames, LongAndShortNamesByLayout) {
    const struct {
        uint32_t mask;
        std::vector<std::string> longNames;
        std::vector<std::string> shortNames;
    } layouts[] = {
        {3, {"Front Left", "Front Right"}, {"FL", "FR"}},
        {4, {"Front Left"}, {"L"}},
        {11, {"Front Left", "Front Right", "Front Center"}, {"FL", "FR", "FC"}},
        {51, {"Front Left", "Front Right", "Back Left", "Back Right"}, {"FL", "FR", "BL", "BR"}},
        {59,
         {"Front Left", "Front Right", "Front Center", "Low Frequency", "Back Center"},
         {"FL", "FR", "FC", "LF", "BC"}},
        {63,
         {"Front Left", "Front Right", "Front Center", "Low Frequency", "Back Left", "Back Right"},
         {"FL", "FR", "FC", "LF", "BL", "BR"}},
        {255,
         {"Front Left", "Front Right", "Front Center", "Low Frequency", "Back Left", "Back Right",
          "Front Left Of Center", "Front Right Of Center"},
         {"FL", "FR", "FC", "LF", "BL", "BR", "FCL", "FCR"}},
        {1595,
         {"Front Left", "Front Right", "Front Center", "Low Frequency", "Back Left", "Back Right", "Back Center"},
         {"FL", "FR", "FC", "LF", "BL", "BR", "BC"}},
        {1599,
         {"Front Left", "Front Right", "Front Center", "Low Frequency", "Back Left", "Back Right", "Side Left",
          "Side Right"},
         {"FL", "FR", "FC", "LF", "BL", "BR", "SL", "SR"}},
    };
    for (const auto& layout : layouts) {
        for (uint32_t i = 0; i < layout.longNames.size(); ++i) {
            EXPECT_EQ(NameOf(layout.mask, i, false), layout.longNames[i]) << layout.mask << " " << i;
            EXPECT_EQ(NameOf(layout.mask, i, true), layout.shortNames[i]) << layout.mask << " " << i;
        }
        const auto past = static_cast<uint32_t>(layout.longNames.size());
        EXPECT_EQ(NameOf(layout.mask, past, false), "Unknown channel") << layout.mask;
        EXPECT_EQ(NameOf(layout.mask, past, true), "Ch") << layout.mask;
    }
}

TEST(ChannelNames, MaskZeroNumbersTheChannelAndOtherMasksAreUnknown) {
    EXPECT_EQ(NameOf(0, 3, false), "Channel 3");
    EXPECT_EQ(NameOf(0, 3, true), "Channel 3");
    EXPECT_EQ(NameOf(0, 4000000000u, false), "Channel 4000000000");
    EXPECT_EQ(NameOf(7, 0, false), "Unknown channel");
    EXPECT_EQ(NameOf(7, 0, true), "Ch");
}

TEST(ChannelNames, TruncatesIntoASmallBufferWithoutWritingPastIt) {
    constexpr char kGuard = '\x5A';
    for (uint32_t size = 1; size <= 16; ++size) {
        std::vector<char> buffer(size + 1, kGuard);
        EXPECT_EQ(GetChannelName(255, 6, buffer.data(), size, 0), 1);
        EXPECT_EQ(buffer[size], kGuard) << "overrun at size " << size;
        EXPECT_EQ(std::strlen(buffer.data()), size - 1);
        EXPECT_EQ(std::string(buffer.data()), std::string("Front Left Of Center").substr(0, size - 1));
    }
    std::vector<char> numbered(6, kGuard);
    GetChannelName(0, 12345, numbered.data(), 5, 0);
    EXPECT_STREQ(numbered.data(), "Chan");
    EXPECT_EQ(numbered[5], kGuard);

    char untouched = kGuard;
    EXPECT_EQ(GetChannelName(3, 0, &untouched, 0, 0), 1);
    EXPECT_EQ(untouched, kGuard);
}

}  // namespace
