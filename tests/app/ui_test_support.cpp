#include "tests/app/ui_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>
#include <QTimer>

#include <cstdlib>
#include <fstream>
#include <random>
#include <sstream>

#include "skin/skin_manager.h"

namespace {

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

}  // namespace

std::string DefaultSkinPath() { return MORVANE_SOURCE_DIR "/data/Skins/Morvane.xml"; }

void LoadDefaultSkin() { ASSERT_EQ(LoadStandardSkin(DefaultSkinPath()), SKINLOAD_OK); }

std::string DefaultSkinWith(const std::vector<std::pair<std::string, std::string>>& replacements) {
    std::string text = ReadFile(DefaultSkinPath());
    for (const auto& [from, to] : replacements) {
        const size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at != std::string::npos) text.replace(at, from.size(), to);
    }
    return text;
}

bool LoadSkinText(const ScratchFolder& folder, const std::string& text) {
    const std::string pictures = folder / "Morvane";
    if (!std::filesystem::exists(pictures))
        std::filesystem::create_directory_symlink(MORVANE_SOURCE_DIR "/data/Skins/Morvane", pictures);
    return LoadStandardSkin(folder.Write("Test.xml", text)) == SKINLOAD_OK;
}

void SaveScreenshot(QWidget& widget, const QString& name) {
    const QString folder = QStringLiteral(MORVANE_SCREENSHOT_DIR);
    QDir().mkpath(folder);
    EXPECT_TRUE(widget.grab().save(folder + "/" + name)) << name.toStdString();
}

void AnswerCantLoadSkin(QWidget& window) {
    auto* box = qobject_cast<QMessageBox*>(&window);
    ASSERT_NE(box, nullptr) << window.metaObject()->className();
    EXPECT_EQ(box->text(), "Can't load skin ");
    box->button(QMessageBox::Ok)->click();
}

int WithModal(const std::function<int()>& show, const std::function<void(QWidget&)>& interact) {
    bool seen = false;
    QElapsedTimer clock;
    clock.start();
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) return;
        if (!seen) {
            seen = true;
            interact(*modal);
        } else if (clock.elapsed() > 5000) {
            ADD_FAILURE() << "a modal window did not close: " << modal->metaObject()->className();
            modal->close();
        }
    });
    poll.start();
    const int result = show();
    EXPECT_TRUE(seen) << "no modal window was shown";
    return result;
}

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}
