#include "tests/app/main_window_fixture.h"

#include <QTimer>

#include <cstdlib>
#include <filesystem>

#include "app/waveform_editor.h"
#include "audiosvc/audiosvc.h"
#include "skin/skin.h"
#include "tests/app/ui_test_support.h"

namespace fs = std::filesystem;

namespace {

std::vector<ShownMessage> g_shown;
std::string g_savedHome;
int g_answer = IDOK;

int RecordMessage(const char* text, uint32_t type, const char*, QWidget*) {
    g_shown.push_back({text ? text : "", type});
    return g_answer;
}

}  // namespace

void MainWindowTest::SetUp() {
    TrackFixture::SetUp();
    TestApp();
    home_ = root_ + "/home";
    documents_ = home_ + "/Documents";
    fs::create_directories(home_ + "/config");
    if (const char* home = std::getenv("HOME")) g_savedHome = home;
    ::setenv("HOME", home_.c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (home_ + "/config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (home_ + "/data").c_str(), 1);
    LoadDefaultSkin();
    RegisterWaveFormEditor();
    g_shown.clear();
    g_answer = IDOK;
    ReplaceSCMessageBox(RecordMessage);
}

void MainWindowTest::TearDown() {
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME"}) ::unsetenv(name);
    ::setenv("HOME", g_savedHome.c_str(), 1);
    TrackFixture::TearDown();
}

int MainWindowTest::RunWindow(CTessalyDlg& window, const std::function<void()>& interact) {
    QTimer::singleShot(0, &window, [&] {
        interact();
        if (window.isVisible()) window.done(kInteractionDone);
    });
    return window.exec();
}

QString MainWindowTest::TextOf(CTessalyDlg& window, int commandId) {
    CSkinBase* control = window.Skin().GetControl(commandId);
    return control ? control->GetWindowText() : QStringLiteral("<missing>");
}

void MainWindowTest::SetText(CTessalyDlg& window, int commandId, const QString& text) {
    if (CSkinBase* control = window.Skin().GetControl(commandId)) control->SetWindowText(text);
}

std::vector<ShownMessage>& MainWindowTest::Shown() { return g_shown; }
int& MainWindowTest::Answer() { return g_answer; }
