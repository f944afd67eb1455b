// The positions of the blocks handed to the player.
#include "engine/render_chain.h"

#include <algorithm>

void PlayPositionQueue::Push(uint32_t tag, int64_t position) {
    std::lock_guard lock(mutex_);
    if (count_ == kCapacity) {
        std::move(entries_.begin() + 1, entries_.end(), entries_.begin());
        --count_;
    }
    entries_[count_++] = {tag, position};
}

void PlayPositionQueue::Clear() {
    std::lock_guard lock(mutex_);
    count_ = 0;
}

void PlayPositionQueue::TrimToNewest() {
    std::lock_guard lock(mutex_);
    if (count_ > 1) {
        entries_[0] = entries_[count_ - 1];
        count_ = 1;
    }
}

std::optional<PlayPositionEntry> PlayPositionQueue::TakeOldest() {
    std::lock_guard lock(mutex_);
    if (count_ == 0) return std::nullopt;
    const PlayPositionEntry oldest = entries_[0];
    std::move(entries_.begin() + 1, entries_.begin() + static_cast<std::ptrdiff_t>(count_), entries_.begin());
    --count_;
    return oldest;
}

std::vector<PlayPositionEntry> PlayPositionQueue::Entries() const {
    std::lock_guard lock(mutex_);
    return {entries_.begin(), entries_.begin() + static_cast<std::ptrdiff_t>(count_)};
}
