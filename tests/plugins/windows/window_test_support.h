// Test support for the plug-ins' settings windows: the one offscreen QApplication of a test
// program, a host window that records the commands its settings windows post, a fixture
// that opens a window on a settings record, and the screenshots folder.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QSlider>
#include <QString>
#include <QWidget>

#include <string>
#include <vector>

#include "tests/skin/test_app.h"

// A host window with the onCommand(int, int) method the settings windows post to.
class CommandRecorder : public QWidget {
    Q_OBJECT
public:
    struct Command {
        int id;
        int code;
    };

    // Delivers what was posted so far and returns every command received.
    const std::vector<Command>& Commands();
    // Delivers what was posted and forgets what was received.
    void Clear();
    // What arrived so far, without delivering anything.
    size_t Received() const { return m_commands.size(); }

public slots:
    void onCommand(int id, int code) { m_commands.push_back({id, code}); }

private:
    std::vector<Command> m_commands;
};

// A settings window of type Dialog opened on a record of type Settings, as a child of a host
// that records the commands the window posts.
template <class Dialog, class Settings>
class SettingsWindowTest : public ::testing::Test {
protected:
    Dialog& Open() {
        dialog = new Dialog(&host, settings);  // owned by host
        return *dialog;
    }
    QSlider& Slider(int id) { return *dialog->template Find<QSlider>(id); }
    QString Label(int id) { return dialog->template Find<QLabel>(id)->text(); }
    QAbstractButton& Button(int id) { return *dialog->template Find<QAbstractButton>(id); }

    QApplication& application = TestApp();
    Settings settings;
    CommandRecorder host;
    Dialog* dialog = nullptr;
};

// Takes a slider's thumb and drags it to position, keeping it held.
void DragSliderTo(QSlider& slider, int position);
// Lets go of the thumb.
void ReleaseSlider(QSlider& slider);
// Both: one completed user change.
void DragSlider(QSlider& slider, int position);

// The texts of the window's labels, buttons and group boxes that do not fit their control.
std::vector<std::string> ClippedTexts(const QWidget& window);

// Saves the window as <build>/screenshots/<name>.png; false when that fails.
bool SaveScreenshot(QWidget& window, const std::string& name);
