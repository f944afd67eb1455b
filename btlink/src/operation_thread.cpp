#include "btlink/src/operation_thread.h"

namespace {

// The OperationThread whose operation the calling thread runs, if any.
thread_local const OperationThread* t_operationOf = nullptr;

}  // namespace

OperationThread::~OperationThread() {
    RequestStop();
    Join();
}

bool OperationThread::Start(std::function<void()> operation, std::function<void()> report) {
    if (OnOperationThread()) return false;
    std::lock_guard join(m_joinMutex);
    if (!m_operationEnded.load()) return false;
    if (m_thread) m_thread->wait();
    {
        std::lock_guard lock(m_mutex);
        m_stopRequested = false;
    }
    m_operationEnded.store(false);
    m_thread.reset(QThread::create([this, operation = std::move(operation), report = std::move(report)] {
        t_operationOf = this;
        operation();
        m_operationEnded.store(true);
        report();
        t_operationOf = nullptr;
    }));
    if (!m_thread) {
        m_operationEnded.store(true);
        return false;
    }
    m_thread->start();
    return true;
}

void OperationThread::RequestStop() {
    std::lock_guard lock(m_mutex);
    m_stopRequested = true;
    if (m_session != nullptr) m_session->RequestStop();
}

void OperationThread::Join() {
    if (OnOperationThread()) return;
    std::lock_guard join(m_joinMutex);
    if (m_thread) m_thread->wait();
}

bool OperationThread::OnOperationThread() const { return t_operationOf == this; }

void OperationThread::Attach(Stoppable& session) {
    std::lock_guard lock(m_mutex);
    m_session = &session;
    if (m_stopRequested) session.RequestStop();
}

void OperationThread::Detach() {
    std::lock_guard lock(m_mutex);
    m_session = nullptr;
}
