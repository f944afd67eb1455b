// Manual-reset events that one thread can wait on together.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <vector>

// Manual-reset events sharing one lock, so that a thread can wait for whichever of them is
// signalled first (the parts of a sound ring and a stop request, say).
// mutex_ guards signalled_.
class EventSet {
public:
    explicit EventSet(size_t count) : signalled_(count, false) {}
    EventSet(const EventSet&) = delete;
    EventSet& operator=(const EventSet&) = delete;

    size_t Count() const { return signalled_.size(); }
    void Set(size_t index);
    void Reset(size_t index);
    void ResetAll();
    bool IsSet(size_t index) const;
    // Blocks until an event is signalled; returns the lowest signalled index.
    size_t WaitAny();
    // WaitAny, resetting the event it returns (a wait on auto-reset events).
    size_t TakeAny();
    // Blocks until this event is signalled.
    void Wait(size_t index);

private:
    // Waits until an event is signalled; returns the lowest signalled index.
    size_t WaitSignalled(std::unique_lock<std::mutex>& lock);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<bool> signalled_;
};
