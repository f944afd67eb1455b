// Shared by the main window tests: a private home folder (documents, key store, data) per
// test, generated tones, the default skin, messages answered and recorded, and a helper
// that runs the window modally around an interaction.
#pragma once

#include <QString>

#include <functional>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "app/tessaly_app.h"
#include "tests/engine/track_fixture.h"

class MainWindowTest : public TrackFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the window; interact is called once its modal run started, then the window ends
    // with kInteractionDone unless the interaction ended it. Returns the run's result.
    static constexpr int kInteractionDone = 100;
    int RunWindow(CTessalyDlg& window, const std::function<void()>& interact);
    // The text of the newest instance of a control.
    static QString TextOf(CTessalyDlg& window, int commandId);
    static void SetText(CTessalyDlg& window, int commandId, const QString& text);

    // Messages shown through the message box since SetUp, and the answer every one gets.
    static std::vector<ShownMessage>& Shown();
    static int& Answer();

    std::string home_;
    std::string documents_;
    CTessalyApp app_;
};
