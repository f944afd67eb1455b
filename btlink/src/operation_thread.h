// One operation at a time (a search, an upload) on a thread of its own that runs the
// operation's event loop, with a stop request that reaches the operation from any thread.
#pragma once

#include <QThread>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>

// What a running operation offers to the thread that runs it.
class Stoppable {
public:
    // Any thread: asks the operation to end soon.
    virtual void RequestStop() = 0;

protected:
    ~Stoppable() = default;
};

// m_joinMutex is held while the thread is replaced or waited for, so that a second waiter
// also waits for the end; m_mutex guards m_session and m_stopRequested. A waiter never
// holds m_mutex, so a stop request always gets through.
class OperationThread {
public:
    OperationThread() = default;
    ~OperationThread();
    OperationThread(const OperationThread&) = delete;
    OperationThread& operator=(const OperationThread&) = delete;

    // Runs operation and then report on a new thread. Once the previous operation has
    // ended (its report may still run) the new one waits for its thread; false, doing
    // nothing, while the previous operation has not ended, when called on its thread, or
    // when no thread can be made.
    bool Start(std::function<void()> operation, std::function<void()> report);
    // Asks the running operation (or the one about to attach) to stop.
    void RequestStop();
    // Waits until the operation's thread has ended; returns at once on that thread itself.
    void Join();
    // True on the thread of this object's operation (inside its callbacks).
    bool OnOperationThread() const;

    // For the operation's body: while attached, RequestStop reaches the session.
    void Attach(Stoppable& session);
    void Detach();

private:
    std::mutex m_joinMutex;
    std::unique_ptr<QThread> m_thread;
    std::atomic<bool> m_operationEnded{true};
    std::mutex m_mutex;
    Stoppable* m_session = nullptr;
    bool m_stopRequested = false;
};
