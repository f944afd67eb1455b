// The provider's handle table: 32-bit handles (never 0) for readers, tag sets and writers.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

// Anything a handle can stand for. Each resource serialises its own operations.
class Resource {
public:
    virtual ~Resource() = default;
};

class HandleTable {
public:
    // Stores the resource and returns its new handle, or 0 for a null resource.
    uint32_t Add(std::shared_ptr<Resource> resource);

    // The resource of that handle if it is of type T, else null. The returned pointer keeps
    // the resource alive while a call uses it, even if another thread removes the handle.
    template <class T>
    std::shared_ptr<T> Find(uint32_t handle) const {
        return std::dynamic_pointer_cast<T>(FindAny(handle));
    }

    // Removes the handle if it is of type T and returns its resource (null if none).
    template <class T>
    std::shared_ptr<T> Remove(uint32_t handle) {
        std::lock_guard lock(mutex_);
        auto it = entries_.find(handle);
        if (it == entries_.end()) return nullptr;
        auto typed = std::dynamic_pointer_cast<T>(it->second);
        if (typed) entries_.erase(it);
        return typed;
    }

private:
    std::shared_ptr<Resource> FindAny(uint32_t handle) const;

    mutable std::mutex mutex_;  // guards entries_ and next_
    std::unordered_map<uint32_t, std::shared_ptr<Resource>> entries_;
    uint32_t next_ = 1;
};

// The one table behind the exported functions.
HandleTable& Handles();
