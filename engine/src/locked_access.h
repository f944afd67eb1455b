// Reading and writing one field under the lock that guards it.
#pragma once

#include <mutex>
#include <utility>

template <typename Mutex, typename T>
T ReadLocked(Mutex& mutex, const T& field) {
    std::lock_guard lock(mutex);
    return field;
}

template <typename Mutex, typename T>
void WriteLocked(Mutex& mutex, T& field, T value) {
    std::lock_guard lock(mutex);
    field = std::move(value);
}
