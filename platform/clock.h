// The system's millisecond tick count.
#pragma once

#include <cstdint>

// Milliseconds of a monotonic clock (the system's millisecond tick count).
uint32_t TickCountMs();
