// Shared support of the user-interface tests: the one QApplication (offscreen), the default
// skin, skins written for a test, screenshots and driving modal dialogs.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "tests/platform/scratch.h"
#include "tests/skin/test_app.h"

// The default skin's file in the source tree.
std::string DefaultSkinPath();
// Loads the default skin (asserting that it loads).
void LoadDefaultSkin();

// The default skin's text with each (from, to) replaced once (asserting that `from` occurs).
std::string DefaultSkinWith(const std::vector<std::pair<std::string, std::string>>& replacements);
// Writes a skin text into the folder beside a link to the default skin's pictures, loads it,
// and returns whether it loaded.
bool LoadSkinText(const ScratchFolder& folder, const std::string& text);

// Saves a picture of the widget as <build>/screenshots/<name>.
void SaveScreenshot(QWidget& widget, const QString& name);

// Runs `show` (which runs a modal dialog) and calls `interact` once with the first modal
// window that appears; a modal window still open five seconds later is closed as a failure.
// Returns show's result.
int WithModal(const std::function<int()>& show, const std::function<void(QWidget&)>& interact);
// WithModal for a modal window that must be a Dialog: interact gets it as one.
template <class Dialog>
int WithModalDialog(const std::function<int()>& show, const std::function<void(Dialog&)>& interact) {
    return WithModal(show, [&](QWidget& window) {
        auto* dialog = qobject_cast<Dialog*>(&window);
        ASSERT_NE(dialog, nullptr) << window.metaObject()->className();
        interact(*dialog);
    });
}

// For WithModal: the plain box a skinned window shows when its skin cannot load; checks its
// text and presses OK.
void AnswerCantLoadSkin(QWidget& window);

// Processes events until the condition holds or the time is up; returns the condition.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000);
