// Marks the thread that is running a data callback of an engine object (the player or the
// microphone), so that the object can refuse calls from inside its callback that would wait
// for, or tear down, the thread the callback runs on.
#pragma once

class DataCallbackMark {
public:
    explicit DataCallbackMark(const void* owner) : previous_(current_) { current_ = owner; }
    ~DataCallbackMark() { current_ = previous_; }
    DataCallbackMark(const DataCallbackMark&) = delete;
    DataCallbackMark& operator=(const DataCallbackMark&) = delete;

    static bool Inside(const void* owner) { return current_ == owner; }

private:
    static inline thread_local const void* current_ = nullptr;
    const void* previous_;
};
