#include "provider/src/handle_table.h"

#include <utility>

uint32_t HandleTable::Add(std::shared_ptr<Resource> resource) {
    if (!resource) return 0;
    std::lock_guard lock(mutex_);
    // Handles count up and wrap around, skipping 0 and those still in use.
    while (next_ == 0 || entries_.count(next_)) ++next_;
    const uint32_t handle = next_++;
    entries_.emplace(handle, std::move(resource));
    return handle;
}

std::shared_ptr<Resource> HandleTable::FindAny(uint32_t handle) const {
    std::lock_guard lock(mutex_);
    auto it = entries_.find(handle);
    return it == entries_.end() ? nullptr : it->second;
}

HandleTable& Handles() {
    static HandleTable table;
    return table;
}
