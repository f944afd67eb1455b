// The progress dialog in front of a worker thread, and its factory.
#pragma once

#include <QPointer>
#include <QTimer>

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "app/skin_dialog.h"
#include "engine/progress.h"

// The progress dialog in front of a worker thread (the program's IProgress front). The
// worker writes the percentage, polls the cancel request and ends the run with End, which
// reaches the dialog as a queued call (message 1034) that ends the modal run under m_endLock
// and signals the finished event.
//
// Threads: m_endLock is held around the end of the modal run and guards m_finished (the
// finished event), which WaitFinished awaits under the same lock. The rest belongs to the
// user-interface thread.
class CProgressDlg : public CSkinDialog, public IProgress {
    Q_OBJECT
public:
    CProgressDlg(QWidget* parent, const std::string& text, bool cancelEnabled);
    ~CProgressDlg() override;

    int RunModal() override { return exec(); }
    // Waits up to 10 s for the finished event (the end lock is released while waiting, so a
    // waiter never holds up the end); false on time-out.
    bool WaitFinished(uint32_t timeoutMs = kWorkerEndWaitMs);
    // Escape and closing the window act as the cancel button.
    void reject() override;

protected:
    std::optional<int> OnInitDialog() override;
    void OnDestroy() override;
    bool OnCommand(int commandId, int code) override;
    void OnEnd(int result) override;

private:
    void EndRun(int result);
    void ShowPercent();

    QTimer m_timer;
    std::mutex m_endLock;
    std::condition_variable m_finishedChanged;
    bool m_finished = false;
};

// Makes a progress dialog, parented to the given window, for every job.
class CProgressDlgFactory : public IProgressFactory {
public:
    explicit CProgressDlgFactory(QWidget* parent) : m_parent(parent) {}
    std::unique_ptr<IProgress> Create(const std::string& text, bool cancelEnabled) override;

private:
    QPointer<QWidget> m_parent;
};
