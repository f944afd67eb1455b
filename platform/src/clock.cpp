// The millisecond tick count.
#include "platform/clock.h"

#include <chrono>

uint32_t TickCountMs() {
    using namespace std::chrono;
    return static_cast<uint32_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
