// Manual-reset events with a shared wait: the part events and stop requests of the player,
// the capture event of the recorder.
#include "platform/event_set.h"

void EventSet::Set(size_t index) {
    {
        std::lock_guard lock(mutex_);
        signalled_.at(index) = true;
    }
    changed_.notify_all();
}

void EventSet::Reset(size_t index) {
    std::lock_guard lock(mutex_);
    signalled_.at(index) = false;
}

void EventSet::ResetAll() {
    std::lock_guard lock(mutex_);
    signalled_.assign(signalled_.size(), false);
}

bool EventSet::IsSet(size_t index) const {
    std::lock_guard lock(mutex_);
    return signalled_.at(index);
}

size_t EventSet::WaitSignalled(std::unique_lock<std::mutex>& lock) {
    size_t index = 0;
    changed_.wait(lock, [&] {
        for (index = 0; index < signalled_.size(); ++index)
            if (signalled_[index]) return true;
        return false;
    });
    return index;
}

size_t EventSet::WaitAny() {
    std::unique_lock lock(mutex_);
    return WaitSignalled(lock);
}

size_t EventSet::TakeAny() {
    std::unique_lock lock(mutex_);
    const size_t index = WaitSignalled(lock);
    signalled_[index] = false;
    return index;
}

void EventSet::Wait(size_t index) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return static_cast<bool>(signalled_.at(index)); });
}
