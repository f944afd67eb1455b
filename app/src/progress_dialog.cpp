// CProgressDlg: the modal front of a worker thread.
#include "app/progress_dialog.h"

#include <algorithm>

#include "app/control_tables.h"
#include "engine/progress.h"
#include "skin/meters.h"
#include "skin/skin_base.h"

namespace {

constexpr int kPercentTimerMs = 10;  // timer 1

}  // namespace

CProgressDlg::CProgressDlg(QWidget* parent, const std::string& text, bool cancelEnabled)
    : CSkinDialog(parent, kProgressControls, "PROGRESS_DLG"), IProgress(text, cancelEnabled) {
    m_timer.setInterval(kPercentTimerMs);
    connect(&m_timer, &QTimer::timeout, this, [this] { ShowPercent(); });
}

CProgressDlg::~CProgressDlg() = default;

std::optional<int> CProgressDlg::OnInitDialog() {
    if (const std::optional<int> ended = CSkinDialog::OnInitDialog()) {
        // A creator waiting for the end is released all the same.
        EndRun(*ended);
        return ended;
    }
    auto* progress = Control<CSCProgress>(IDC_PROGRESS_BAR);
    if (progress != nullptr) progress->SetRange(0, 100);
    if (CSkinBase* cancel = m_skin.GetControl(IDC_PROGRESS_CANCEL); cancel != nullptr && !CancelEnabled()) {
        cancel->hide();
        // A cancel button below the bar leaves its row empty: the dialog ends where it began.
        if (progress != nullptr && cancel->geometry().top() > progress->geometry().bottom())
            FitToPanel(QSize(width(), cancel->geometry().top()));
    }
    if (!Text().empty())
        if (CSkinBase* text = m_skin.GetControl(IDC_PROGRESS_TEXT)) text->SetWindowText(QString::fromStdString(Text()));
    {
        std::lock_guard lock(m_endLock);
        m_finished = false;
    }
    SignalReady();
    m_timer.start();
    return std::nullopt;
}

void CProgressDlg::OnDestroy() {
    m_timer.stop();
    CSkinDialog::OnDestroy();
}

bool CProgressDlg::OnCommand(int commandId, int) {
    if (commandId != IDC_PROGRESS_CANCEL) return false;
    RequestCancel();  // the worker ends the run when it sees the request
    return true;
}

void CProgressDlg::reject() { RequestCancel(); }

void CProgressDlg::OnEnd(int result) {
    // On the worker's thread: the end reaches the dialog as a queued call (message 1034).
    QMetaObject::invokeMethod(
        this, [this, result] { EndRun(result); }, Qt::QueuedConnection);
}

void CProgressDlg::EndRun(int result) {
    {
        std::lock_guard lock(m_endLock);
        done(result);
        m_finished = true;
    }
    m_finishedChanged.notify_all();
}

bool CProgressDlg::WaitFinished(uint32_t timeoutMs) {
    std::unique_lock lock(m_endLock);
    return m_finishedChanged.wait_for(lock, std::chrono::milliseconds(timeoutMs), [this] { return m_finished; });
}

void CProgressDlg::ShowPercent() {
    auto* progress = Control<CSCProgress>(IDC_PROGRESS_BAR);
    if (progress == nullptr) return;
    progress->SetPos(static_cast<int>(std::min<uint32_t>(Percent(), 100)));
    progress->repaint();
}

std::unique_ptr<IProgress> CProgressDlgFactory::Create(const std::string& text, bool cancelEnabled) {
    return std::make_unique<CProgressDlg>(m_parent, text, cancelEnabled);
}
