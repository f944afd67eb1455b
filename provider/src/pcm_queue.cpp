#include "provider/src/pcm_queue.h"

#include <algorithm>
#include <cstring>

uint8_t* PcmQueue::Reserve(size_t frames) {
    const size_t need = frames * frameBytes_;
    if (head_ > 0 && tail_ + need > bytes_.size()) {
        // Move the live bytes to the front before growing.
        std::memmove(bytes_.data(), bytes_.data() + head_, tail_ - head_);
        tail_ -= head_;
        head_ = 0;
    }
    if (tail_ + need > bytes_.size()) bytes_.resize(std::max(tail_ + need, bytes_.size() * 2));
    return bytes_.data() + tail_;
}

size_t PcmQueue::Take(void* dst, size_t frames) {
    const size_t count = std::min(frames, this->frames());
    std::memcpy(dst, bytes_.data() + head_, count * frameBytes_);
    return Drop(count);
}

size_t PcmQueue::Drop(size_t frames) {
    const size_t count = std::min(frames, this->frames());
    head_ += count * frameBytes_;
    if (head_ == tail_) head_ = tail_ = 0;
    return count;
}
