// The microphone's device completions and its worker thread, which delivers the filled
// buffers in capture order and queues them again.
#include "engine/recorder.h"

#include <pthread.h>
#include <sched.h>

#include "engine/src/player_callback_mark.h"

namespace {

// Time-critical priority where the system grants real-time scheduling to the process;
// elsewhere the worker keeps the normal priority, which is not an error.
void RaiseToTimeCritical() {
    sched_param parameters{};
    parameters.sched_priority = sched_get_priority_max(SCHED_FIFO);
    static_cast<void>(pthread_setschedparam(pthread_self(), SCHED_FIFO, &parameters));
}

}  // namespace

// On the device's thread: a queued buffer is full.
void CExtMicro::OnBufferDone(uintptr_t slot, uint64_t stamp) {
    if (state_.load() == kMicroStopped) return;
    slots_[slot].stamp = stamp;
    slots_[slot].status.store(kSlotFilled, std::memory_order_release);
    captureEvent_.Set(0);
}

void CExtMicro::Worker() {
    pthread_setname_np(pthread_self(), "morvane-micro");
    RaiseToTimeCritical();
    for (;;) {
        captureEvent_.TakeAny();
        Deliver();
        const int32_t state = state_.load();
        if (state == kMicroStopped || state == kMicroFailed) break;
        Requeue();
    }
}

// Hands the filled buffers to the callback, oldest completion first, and frees them.
void CExtMicro::Deliver() {
    for (;;) {
        Slot* oldest = nullptr;
        for (uint32_t i = 0; i < bufferCount_; ++i) {
            Slot& slot = slots_[i];
            if (slot.status.load(std::memory_order_acquire) == kSlotFilled && (!oldest || slot.stamp < oldest->stamp))
                oldest = &slot;
        }
        if (!oldest) return;
        {
            std::lock_guard lock(callbackLock_);
            if (callback_) {
                const DataCallbackMark mark(this);
                callback_(context_, oldest->data.get(), bufferSize_);
            }
        }
        oldest->status.store(kSlotFree, std::memory_order_release);
    }
}

void CExtMicro::Requeue() {
    for (uint32_t i = 0; i < bufferCount_; ++i) {
        Slot& slot = slots_[i];
        if (slot.status.load(std::memory_order_acquire) != kSlotFree) continue;
        slot.status = kSlotQueued;
        if (!device_->AddBuffer(i, slot.data.get(), bufferSize_)) slot.status = kSlotFree;
    }
}
