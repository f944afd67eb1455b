// The process-wide search and upload objects: each runs its operations one at a time on an
// OperationThread and delivers the end callback after the operation has cleaned up.
#include <QCoreApplication>

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>

#include "btlink/btlink.h"
#include "btlink/src/operation_thread.h"
#include "btlink/src/search_session.h"
#include "btlink/src/upload_session.h"

namespace {

constexpr uint32_t kDefaultSearchTimeMs = 10000;
constexpr uint32_t kDefaultStallTimeoutMs = 120000;

class BtSearch final : public IBtSearch {
public:
    ~BtSearch() { StopSearch(); }

    void StartSearch(IBtSearchCb* callback) override {
        if (callback == nullptr) return;
        if (m_thread.OnOperationThread()) {
            // From a callback of the running search: it cannot wait for itself to end.
            callback->OnSearchFinished(false);
            return;
        }
        StopSearch();
        const std::chrono::milliseconds searchTime(m_searchTimeMs.load());
        auto outcome = std::make_shared<Outcome>();
        const bool started =
            m_thread.Start([this, callback, searchTime,
                            outcome] { Run(*callback, searchTime, SearchSession::Mode::Search, *outcome); },
                           [callback, outcome] {
                               if (outcome->state != kBtReady) callback->OnBluetoothChecked(outcome->state);
                               callback->OnSearchFinished(outcome->stopped);
                           });
        if (!started) callback->OnSearchFinished(false);
    }

    void CheckBluetooth(IBtSearchCb* callback) override {
        if (callback == nullptr) return;
        if (m_thread.OnOperationThread()) {
            callback->OnBluetoothChecked(kBtReady);
            return;
        }
        StopSearch();
        auto outcome = std::make_shared<Outcome>();
        const bool started = m_thread.Start(
            [this, callback, outcome] {
                Run(*callback, std::chrono::milliseconds(0), SearchSession::Mode::CheckOnly, *outcome);
            },
            [callback, outcome] { callback->OnBluetoothChecked(outcome->state); });
        if (!started) callback->OnBluetoothChecked(kBtReady);
    }

    void StopSearch() override {
        m_thread.RequestStop();
        m_thread.Join();
    }

    void SetSearchTime(uint32_t milliseconds) override { m_searchTimeMs.store(milliseconds); }

    void Shutdown() { StopSearch(); }

private:
    struct Outcome {
        bool stopped = false;
        BtState state = kBtReady;
    };

    // The operation's body on its thread.
    void Run(IBtSearchCb& callback, std::chrono::milliseconds searchTime, SearchSession::Mode mode, Outcome& outcome) {
        if (QCoreApplication::instance() == nullptr) return;
        SearchSession session(callback, searchTime, mode);
        m_thread.Attach(session);
        outcome.stopped = session.Run();
        outcome.state = session.State();
        m_thread.Detach();
    }

    std::atomic<uint32_t> m_searchTimeMs{kDefaultSearchTimeMs};
    OperationThread m_thread;
};

class BtUpload final : public IBtUpload {
public:
    ~BtUpload() { Shutdown(); }

    void StartUpload(uint32_t addressLow, uint32_t addressHigh, const char* fileName, IBtUploadCb* callback) override {
        if (callback == nullptr) return;
        const BtAddress address{addressLow, addressHigh & 0xFFFFu};
        const std::chrono::milliseconds stallTimeout(m_stallTimeoutMs.load());
        std::string name = fileName != nullptr ? fileName : "";
        auto outcome = std::make_shared<UploadSession::Outcome>(UploadSession::Outcome::Failed);
        const bool started = m_thread.Start(
            [this, callback, address, name = std::move(name), stallTimeout, outcome] {
                if (QCoreApplication::instance() == nullptr) return;
                UploadSession session(*callback, address, name, stallTimeout);
                m_thread.Attach(session);
                *outcome = session.Run();
                m_thread.Detach();
            },
            [callback, outcome] {
                if (*outcome == UploadSession::Outcome::Failed)
                    callback->OnUploadError();
                else
                    callback->OnUploadFinished(*outcome == UploadSession::Outcome::Cancelled);
            });
        // Busy with another upload, called from an upload callback, or no thread to be had.
        if (!started) callback->OnUploadError();
    }

    void CancelUpload() override { m_thread.RequestStop(); }

    void SetStallTimeout(uint32_t milliseconds) override { m_stallTimeoutMs.store(milliseconds); }

    void Shutdown() {
        m_thread.RequestStop();
        m_thread.Join();
    }

private:
    std::atomic<uint32_t> m_stallTimeoutMs{kDefaultStallTimeoutMs};
    OperationThread m_thread;
};

BtSearch& Search() {
    static BtSearch search;
    return search;
}

BtUpload& Upload() {
    static BtUpload upload;
    return upload;
}

// Operations still running when the application object goes away are ended first: they
// need it, and their threads must not outlive it.
void ShutdownAtApplicationEnd() {
    Search().Shutdown();
    Upload().Shutdown();
}

void WatchApplicationEnd() {
    static std::once_flag once;
    std::call_once(once, [] { qAddPostRoutine(ShutdownAtApplicationEnd); });
}

}  // namespace

extern "C" IBtSearch* GetBtSearchSingleton() {
    WatchApplicationEnd();
    return &Search();
}

extern "C" IBtUpload* GetBtUploadSingleton() {
    WatchApplicationEnd();
    return &Upload();
}
