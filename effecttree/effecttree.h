// The effect tree library's public header: the manager that loads the effect plug-ins, the
// tree of offered effects and the running chain. The interface itself is the binary contract
// shared with the program.
#pragma once

#include "contracts/effect_tree_api.h"
