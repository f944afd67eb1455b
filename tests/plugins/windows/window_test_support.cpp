#include "tests/plugins/windows/window_test_support.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QFont>
#include <QPixmap>

#include <memory>

namespace {

// Owns the application and ends it when the tests end, before the process's own static
// objects (Qt's caches among them) go away.
class QtEnvironment final : public ::testing::Environment {
public:
    QApplication& App() {
        if (!m_app) {
            m_app = std::make_unique<QApplication>(m_argc, m_argv);
            // The font of the program's skin, so that pictures look the same everywhere.
            QFont font(QStringLiteral("Inter"));
            font.setPixelSize(12);
            QApplication::setFont(font);
        }
        return *m_app;
    }
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_name[16] = "plugin_windows";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QApplication> m_app;
};

QtEnvironment* const g_environment =
    static_cast<QtEnvironment*>(::testing::AddGlobalTestEnvironment(new QtEnvironment));

}  // namespace

QApplication& TestApp() { return g_environment->App(); }

const std::vector<CommandRecorder::Command>& CommandRecorder::Commands() {
    QCoreApplication::sendPostedEvents();
    return m_commands;
}

void CommandRecorder::Clear() {
    QCoreApplication::sendPostedEvents();
    m_commands.clear();
}

void DragSliderTo(QSlider& slider, int position) {
    slider.setSliderDown(true);
    slider.setSliderPosition(position);
}

void ReleaseSlider(QSlider& slider) { slider.setSliderDown(false); }

void DragSlider(QSlider& slider, int position) {
    DragSliderTo(slider, position);
    ReleaseSlider(slider);
}

std::vector<std::string> ClippedTexts(const QWidget& window) {
    std::vector<std::string> clipped;
    for (const QLabel* label : window.findChildren<QLabel*>()) {
        const QSize needed = label->fontMetrics().size(0, label->text());
        if (needed.width() > label->width() || needed.height() > label->height())
            clipped.push_back(label->text().toStdString());
    }
    for (const QAbstractButton* button : window.findChildren<QAbstractButton*>())
        if (button->sizeHint().width() > button->width()) clipped.push_back(button->text().toStdString());
    for (const QGroupBox* box : window.findChildren<QGroupBox*>())
        if (box->minimumSizeHint().width() > box->width()) clipped.push_back(box->title().toStdString());
    return clipped;
}

bool SaveScreenshot(QWidget& window, const std::string& name) {
    const QString folder = QStringLiteral(MORVANE_SCREENSHOT_DIR);
    return QDir().mkpath(folder) && window.grab().save(folder + "/" + QString::fromStdString(name) + ".png");
}
