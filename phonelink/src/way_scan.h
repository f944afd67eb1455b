// What scanning one way finds: its phones and its state.
#pragma once

#include <vector>

#include "phonelink/phones.h"

struct WayScan {
    std::vector<Phone> phones;
    WayState state;
};
