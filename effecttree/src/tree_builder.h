// Reads an effects description (the vocabulary is documented in
// data/Language/eng/effects_single_kel.xml) into tree nodes.
#pragma once

#include <mutex>

#include "effecttree/effect_node.h"

class enXml;

// True when the document's root is an EffectTree element whose Tag attribute equals tag.
bool IsEffectTreeDocument(const enXml& document, int tag);

// Appends to parent one node per Group or Effect child of element, groups with their own
// nodes below them. Effects whose library is not loaded or refuses its settings, and
// elements without a caption, are left out. Effects stream under streamLock.
void AddDescribedNodes(CEffectNode& parent, const enXml& element, std::recursive_mutex& streamLock);
