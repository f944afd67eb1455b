// Speaker layouts the library knows: channel codes in interleaved order and channel names,
// keyed by the speaker mask of an extensible wave format.
#pragma once

#include <cstdint>
#include <span>

#include "contracts/wave_format.h"

namespace audiosvc {

// The speaker mask of an extensible format; 0 for a format that carries none.
uint32_t ChannelMask(const WAVEFORMATEX& format);

// Channel codes for index 0, 1, 2, ... of a layout; empty for a mask not in the table.
std::span<const int> ChannelCodesOfMask(uint32_t mask);

// Position of the coded channel inside a frame, checked against the format's channel
// count; -1 when the format has no such single channel.
int ChannelPosition(const WAVEFORMATEX& format, int code);

}  // namespace audiosvc
