// The progress dialog in front of real worker threads (RunWithProgress): the bar follows the
// worker, the run ends with the worker's result through the queued end, cancel only sets the
// request and only when enabled, and a dialog whose skin is missing still releases everyone.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <thread>

#include "app/control_tables.h"
#include "app/progress_dialog.h"
#include "audiosvc/audiosvc.h"
#include "engine/progress.h"
#include "skin/buttons.h"
#include "skin/control_records.h"
#include "skin/meters.h"
#include "skin/skin_base.h"
#include "tests/app/ui_test_support.h"

namespace {

using namespace std::chrono_literals;

// Waits on a worker thread until the flag is set; false after five seconds.
bool WorkerWaitsFor(const std::atomic<bool>& flag) {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    while (!flag.load()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

class ProgressDialogTest : public testing::Test {
protected:
    void SetUp() override {
        TestApp();
        LoadDefaultSkin();
    }

    // Calls `step` every few milliseconds while the dialog shows.
    static void WhileShown(QTimer& poll, CProgressDlg& dialog, const std::function<void()>& step) {
        poll.setInterval(3);
        QObject::connect(&poll, &QTimer::timeout, [&dialog, step] {
            if (dialog.isVisible()) step();
        });
        poll.start();
    }

    static CSCProgress* Bar(CProgressDlg& dialog) {
        return qobject_cast<CSCProgress*>(dialog.Skin().GetControl(IDC_PROGRESS_BAR));
    }
};

TEST_F(ProgressDialogTest, TheBarFollowsTheWorkerAndTheRunEndsWithItsResult) {
    CProgressDlg dialog(nullptr, "Exporting the ringtone", false);
    std::atomic<bool> sawHalf{false}, sawFull{false};
    QTimer poll;
    WhileShown(poll, dialog, [&] {
        CSCProgress* bar = Bar(dialog);
        ASSERT_NE(bar, nullptr);
        EXPECT_EQ(bar->GetRangeLow(), 0);
        EXPECT_EQ(bar->GetRangeHigh(), 100);
        if (bar->GetPos() == 50 && !sawHalf) {
            EXPECT_EQ(dialog.Skin().GetControl(IDC_PROGRESS_TEXT)->GetWindowText(), "Exporting the ringtone");
            EXPECT_TRUE(dialog.Skin().GetControl(IDC_PROGRESS_CANCEL)->isHidden());
            SaveScreenshot(dialog, "progress.png");
            sawHalf = true;
        }
        if (bar->GetPos() == 100) sawFull = true;
    });
    const int result = RunWithProgress(dialog, [&](IProgress& progress) {
        progress.SetPercent(50);
        if (!WorkerWaitsFor(sawHalf)) return kProgressFailed;
        progress.SetPercent(160);  // an estimate that ran over shows a full bar
        if (!WorkerWaitsFor(sawFull)) return kProgressFailed;
        return kProgressCompleted;
    });
    EXPECT_EQ(result, kProgressCompleted);
    EXPECT_TRUE(sawHalf);
    EXPECT_TRUE(sawFull);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(dialog.WaitFinished(0));
    EXPECT_EQ(dialog.Skin().GetControl(IDC_PROGRESS_BAR), nullptr) << "the controls go with the run";
}

TEST_F(ProgressDialogTest, WithCancelDisabledNothingCancels) {
    CProgressDlg dialog(nullptr, "Opening the file", false);
    std::atomic<bool> triedEverything{false};
    QTimer poll;
    WhileShown(poll, dialog, [&] {
        if (triedEverything) return;
        CSkinBase* cancel = dialog.Skin().GetControl(IDC_PROGRESS_CANCEL);
        EXPECT_TRUE(cancel->isHidden());
        EXPECT_TRUE(dialog.Skin().RouteCommand(cancel->GetWindowId(), SCN_CLICKED));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        dialog.close();
        EXPECT_TRUE(dialog.isVisible());
        triedEverything = true;
    });
    std::atomic<bool> stopSeen{true};
    const int result = RunWithProgress(dialog, [&](IProgress& progress) {
        if (!WorkerWaitsFor(triedEverything)) return kProgressFailed;
        stopSeen = progress.StopRequested();
        return kProgressCompleted;
    });
    EXPECT_EQ(result, kProgressCompleted);
    EXPECT_FALSE(stopSeen);
}

TEST_F(ProgressDialogTest, CancelOnlyRequestsAndTheWorkerEndsTheRun) {
    CProgressDlg dialog(nullptr, "Saving the ringtone", true);
    std::atomic<bool> stillOpenAfterCancel{false};
    QElapsedTimer sinceClick;  // user-interface thread only
    QTimer poll;
    WhileShown(poll, dialog, [&] {
        auto* cancel = qobject_cast<CSCButton*>(dialog.Skin().GetControl(IDC_PROGRESS_CANCEL));
        if (!sinceClick.isValid()) {
            EXPECT_FALSE(cancel->isHidden());
            EXPECT_EQ(cancel->GetWindowText(), "Cancel");
            SaveScreenshot(dialog, "progress_cancel.png");
            cancel->Click();
            sinceClick.start();
        } else if (sinceClick.elapsed() > 50 && !stillOpenAfterCancel) {
            stillOpenAfterCancel = true;  // the dialog waits for the worker
        }
    });
    const int result = RunWithProgress(dialog, [&](IProgress& progress) {
        const auto deadline = std::chrono::steady_clock::now() + 5s;
        for (uint32_t percent = 0; !progress.StopRequested(); percent = (percent + 1) % 100) {
            if (std::chrono::steady_clock::now() > deadline) return kProgressFailed;
            progress.SetPercent(percent);
            std::this_thread::sleep_for(2ms);
        }
        if (!WorkerWaitsFor(stillOpenAfterCancel)) return kProgressFailed;
        return kProgressCancelled;
    });
    EXPECT_EQ(result, kProgressCancelled);
}

TEST_F(ProgressDialogTest, AJobThatEndsAtOnceEndsTheRun) {
    CProgressDlg dialog(nullptr, "", true);
    EXPECT_EQ(RunWithProgress(dialog, [](IProgress&) { return kProgressFailed; }), kProgressFailed);
    EXPECT_TRUE(dialog.WaitFinished(0));
}

TEST_F(ProgressDialogTest, AWaiterOnAnotherThreadIsReleasedByTheEnd) {
    CProgressDlg dialog(nullptr, "Sending", false);
    std::atomic<bool> waited{false};
    std::thread waiter([&] { waited = dialog.WaitFinished(); });
    const auto start = std::chrono::steady_clock::now();
    const int result = RunWithProgress(dialog, [](IProgress& progress) {
        std::this_thread::sleep_for(30ms);
        progress.SetPercent(100);
        return kProgressCompleted;
    });
    waiter.join();
    EXPECT_EQ(result, kProgressCompleted);
    EXPECT_TRUE(waited);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s) << "the waiter must not hold up the end";
}

TEST_F(ProgressDialogTest, WithoutItsSkinTheDialogSaysSoAndReleasesTheWorkerAndTheCreator) {
    ScratchFolder folder;
    ASSERT_TRUE(LoadSkinText(folder, "<SKIN_KEL Caption=\"Empty\"/>"));
    CProgressDlg dialog(nullptr, "Opening", true);
    std::atomic<bool> jobRan{false};
    const int result = WithModal(
        [&] {
            return RunWithProgress(dialog, [&](IProgress&) {
                jobRan = true;
                return kProgressCompleted;
            });
        },
        AnswerCantLoadSkin);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_FALSE(jobRan);
    EXPECT_TRUE(dialog.WaitFinished(0));
}

TEST_F(ProgressDialogTest, TheFactoryMakesProgressDialogs) {
    QWidget parent;
    CProgressDlgFactory factory(&parent);
    const std::unique_ptr<IProgress> progress = factory.Create("Building the peak cache", true);
    auto* dialog = dynamic_cast<CProgressDlg*>(progress.get());
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->parentWidget(), &parent);
    EXPECT_EQ(progress->Text(), "Building the peak cache");
    EXPECT_TRUE(progress->CancelEnabled());
    EXPECT_EQ(RunWithProgress(*progress, [](IProgress&) { return kProgressCompleted; }), kProgressCompleted);
}

}  // namespace
