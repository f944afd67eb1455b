// The effect tree library's public header: the tree of offered effects, its nodes and the
// running chain. The manager that loads the effect plug-ins is part of the binary contract
// shared with the program (contracts/effect_tree_api.h).
#pragma once

#include "effecttree/complex_effect.h"
#include "effecttree/effect_node.h"
#include "effecttree/effect_tree.h"
