// The parameter-list calls of the preset exports, for one store.
#include "plugins/common/plugin_frame.h"

void LoadStoredValues(const PresetStore& store, const ParameterList& list, std::span<void* const> values) {
    LoadParameterListV(store.ini, store.section, store.root, store.element, list.keys.data(), list.types, values.data(),
                       std::min(values.size(), list.keys.size()));
}

bool SaveStoredValues(const PresetStore& store, const ParameterList& list, std::span<void* const> values) {
    return SaveParameterListV(store.ini, store.section, store.root, store.element, list.keys.data(), list.types,
                              values.data(), std::min(values.size(), list.keys.size()));
}
