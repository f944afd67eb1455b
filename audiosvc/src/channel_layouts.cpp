// Channel codes by speaker layout: index -> code and code -> index.
#include "channel_layouts.h"

#include <array>
#include <cstddef>
#include <cstring>

#include "audiosvc/audiosvc.h"

namespace audiosvc {
namespace {

struct LayoutCodes {
    uint32_t mask;
    std::span<const int> codes;
};

constexpr int kStereo[] = {CHANNEL_LEFT, CHANNEL_RIGHT};
constexpr int kMask11[] = {CHANNEL_FRONT_LEFT, CHANNEL_FRONT_RIGHT, CHANNEL_LOW_FREQUENCY};
constexpr int kMask51[] = {CHANNEL_FRONT_LEFT, CHANNEL_FRONT_RIGHT, CHANNEL_BACK_LEFT, CHANNEL_BACK_RIGHT};
constexpr int kMask59[] = {CHANNEL_FRONT_LEFT, CHANNEL_FRONT_RIGHT, CHANNEL_BACK_LEFT, CHANNEL_BACK_RIGHT,
                           CHANNEL_LOW_FREQUENCY};
constexpr int kMask63[] = {CHANNEL_FRONT_LEFT,    CHANNEL_FRONT_RIGHT, CHANNEL_FRONT_CENTER,
                           CHANNEL_LOW_FREQUENCY, CHANNEL_BACK_LEFT,   CHANNEL_BACK_RIGHT};
constexpr int kMask1595[] = {CHANNEL_FRONT_LEFT, CHANNEL_FRONT_RIGHT, CHANNEL_FRONT_CENTER, CHANNEL_LOW_FREQUENCY,
                             CHANNEL_BACK_LEFT,  CHANNEL_BACK_RIGHT,  CHANNEL_BACK_CENTER};
constexpr int kMask1599[] = {CHANNEL_FRONT_LEFT, CHANNEL_FRONT_RIGHT, CHANNEL_FRONT_CENTER, CHANNEL_LOW_FREQUENCY,
                             CHANNEL_BACK_LEFT,  CHANNEL_BACK_RIGHT,  CHANNEL_SIDE_LEFT,    CHANNEL_SIDE_RIGHT};

constexpr std::array<LayoutCodes, 7> kLayouts = {{
    {3, kStereo},
    {11, kMask11},
    {51, kMask51},
    {59, kMask59},
    {63, kMask63},
    {1595, kMask1595},
    {1599, kMask1599},
}};

// Size of the extension that carries the speaker mask.
constexpr uint16_t kExtensibleExtraSize = sizeof(WAVEFORMATEXTENSIBLE) - sizeof(WAVEFORMATEX);

}  // namespace

uint32_t ChannelMask(const WAVEFORMATEX& format) {
    if (format.wFormatTag != WAVE_FORMAT_EXTENSIBLE || format.cbSize < kExtensibleExtraSize) return 0;
    // The extension follows the record in the caller's memory; read it bytewise.
    uint32_t mask = 0;
    std::memcpy(&mask, reinterpret_cast<const unsigned char*>(&format) + offsetof(WAVEFORMATEXTENSIBLE, dwChannelMask),
                sizeof mask);
    return mask;
}

std::span<const int> ChannelCodesOfMask(uint32_t mask) {
    for (const LayoutCodes& layout : kLayouts)
        if (layout.mask == mask) return layout.codes;
    return {};
}

int ChannelPosition(const WAVEFORMATEX& format, int code) {
    const int index = GetIndexByChannel(&format, code);
    return index >= 0 && index < format.nChannels ? index : -1;
}

}  // namespace audiosvc

using audiosvc::ChannelCodesOfMask;
using audiosvc::ChannelMask;

int GetChannelByIndex(const WAVEFORMATEX* format, uint32_t index) {
    if (format == nullptr || format->nChannels <= 1) return CHANNEL_ALL;
    if (format->nChannels == 2) return index == 0 ? CHANNEL_LEFT : CHANNEL_RIGHT;
    const std::span<const int> codes = ChannelCodesOfMask(ChannelMask(*format));
    return index < codes.size() ? codes[index] : CHANNEL_ALL;
}

int GetIndexByChannel(const WAVEFORMATEX* format, int code) {
    if (format == nullptr) return -1;
    if (format->nChannels == 1) return code == CHANNEL_ALL ? 0 : -1;
    if (format->nChannels == 2) return code == CHANNEL_LEFT || code == CHANNEL_RIGHT ? code : -1;
    const std::span<const int> codes = ChannelCodesOfMask(ChannelMask(*format));
    for (size_t index = 0; index < codes.size(); ++index)
        if (codes[index] == code) return static_cast<int>(index);
    return -1;
}
