#include "tests/plugins/windows/window_test_support.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QPixmap>

namespace {

// The windows' pictures use the skin's font.
class SkinFontEnvironment final : public ::testing::Environment {
public:
    void SetUp() override { UseSkinFont(); }
};

[[maybe_unused]] ::testing::Environment* const g_skinFont =
    ::testing::AddGlobalTestEnvironment(new SkinFontEnvironment);

}  // namespace

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
