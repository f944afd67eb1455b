// Channel names by speaker layout: long names from the string table, fixed short names.
#include <array>
#include <cstdio>
#include <span>
#include <string>

#include "audiosvc/audiosvc.h"
#include "string_table.h"

namespace {

using namespace audiosvc;

struct ChannelName {
    int longId;
    const char* shortName;
};

constexpr ChannelName FL{IDS_FRONT_LEFT, "FL"}, FR{IDS_FRONT_RIGHT, "FR"}, FC{IDS_FRONT_CENTER, "FC"},
    LF{IDS_LOW_FREQUENCY, "LF"}, BL{IDS_BACK_LEFT, "BL"}, BR{IDS_BACK_RIGHT, "BR"}, BC{IDS_BACK_CENTER, "BC"},
    SL{IDS_SIDE_LEFT, "SL"}, SR{IDS_SIDE_RIGHT, "SR"}, FCL{IDS_FRONT_LEFT_OF_CENTER, "FCL"},
    FCR{IDS_FRONT_RIGHT_OF_CENTER, "FCR"};
constexpr ChannelName kUnknown{IDS_UNKNOWN_CHANNEL, "Ch"};

// Layouts as the library has always named them; mask 4 and mask 59 keep their historic
// names although they do not follow the speaker bits.
constexpr ChannelName kMask3[] = {FL, FR};
constexpr ChannelName kMask4[] = {{IDS_FRONT_LEFT, "L"}};
constexpr ChannelName kMask11[] = {FL, FR, FC};
constexpr ChannelName kMask51[] = {FL, FR, BL, BR};
constexpr ChannelName kMask59[] = {FL, FR, FC, LF, BC};
constexpr ChannelName kMask63[] = {FL, FR, FC, LF, BL, BR};
constexpr ChannelName kMask255[] = {FL, FR, FC, LF, BL, BR, FCL, FCR};
constexpr ChannelName kMask1595[] = {FL, FR, FC, LF, BL, BR, BC};
constexpr ChannelName kMask1599[] = {FL, FR, FC, LF, BL, BR, SL, SR};

struct LayoutNames {
    uint32_t mask;
    std::span<const ChannelName> names;
};

constexpr std::array<LayoutNames, 9> kLayouts = {{
    {3, kMask3},
    {4, kMask4},
    {11, kMask11},
    {51, kMask51},
    {59, kMask59},
    {63, kMask63},
    {255, kMask255},
    {1595, kMask1595},
    {1599, kMask1599},
}};

ChannelName NameOf(uint32_t mask, uint32_t index) {
    for (const LayoutNames& layout : kLayouts)
        if (layout.mask == mask) return index < layout.names.size() ? layout.names[index] : kUnknown;
    return kUnknown;
}

// "Channel %d" with the index put in place of %d.
std::string NumberedChannelName(uint32_t index) {
    std::string text = LoadLibraryString(IDS_CHANNEL_N);
    const size_t placeholder = text.find("%d");
    if (placeholder != std::string::npos) text.replace(placeholder, 2, std::to_string(index));
    return text;
}

}  // namespace

int GetChannelName(uint32_t mask, uint32_t index, char* buf, uint32_t bufSize, int shortForm) {
    if (buf == nullptr || bufSize == 0) return 1;
    std::string text;
    if (mask == 0) {
        text = NumberedChannelName(index);
    } else {
        const ChannelName name = NameOf(mask, index);
        text = shortForm ? name.shortName : LoadLibraryString(name.longId);
    }
    std::snprintf(buf, bufSize, "%s", text.c_str());
    return 1;
}
