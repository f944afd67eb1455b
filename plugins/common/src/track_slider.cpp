// The settings windows' slider: the end of each user action is reported as trackEnded.
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWheelEvent>

#include <algorithm>

#include "plugins/common/settings_window.h"

namespace {

bool IsNavigationKey(int key) {
    switch (key) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
        case Qt::Key_Home:
        case Qt::Key_End: return true;
        default: return false;
    }
}

}  // namespace

CTrackSlider::CTrackSlider(Qt::Orientation orientation, QWidget* parent) : QSlider(orientation, parent) {
    if (orientation == Qt::Vertical) {
        setInvertedAppearance(true);
        setInvertedControls(true);
        // Styles fill the groove on the minimum's side, which is the top here and would read
        // as the wrong amount: the groove stays plain, as on a trackbar.
        QPalette plain = palette();
        for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
            plain.setColor(group, QPalette::Highlight, plain.color(group, QPalette::Button));
        setPalette(plain);
    }
    setTickPosition(orientation == Qt::Vertical ? QSlider::TicksRight : QSlider::TicksBelow);
    setSingleStep(1);
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QSlider::sliderReleased, this, &CTrackSlider::trackEnded);
}

void CTrackSlider::SetTrackRange(int minimum, int maximum) {
    setRange(minimum, maximum);
    setPageStep(std::max(1, (maximum - minimum) / 5));
    setTickInterval(std::max(1, (maximum - minimum) / 10));
}

void CTrackSlider::mousePressEvent(QMouseEvent* event) {
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QStyle::SubControl pressed =
        style()->hitTestComplexControl(QStyle::CC_Slider, &option, event->position().toPoint(), this);
    QSlider::mousePressEvent(event);
    // A press on the thumb (or one that moves it there) drags it and ends with
    // sliderReleased; one on the channel steps by pages until the button is let go.
    m_channelPressed = event->isAccepted() && !isSliderDown() && pressed == QStyle::SC_SliderGroove;
}

void CTrackSlider::mouseReleaseEvent(QMouseEvent* event) {
    const bool channelPressed = m_channelPressed;
    m_channelPressed = false;
    QSlider::mouseReleaseEvent(event);
    if (channelPressed) emit trackEnded();
}

void CTrackSlider::keyReleaseEvent(QKeyEvent* event) {
    QSlider::keyReleaseEvent(event);
    if (!event->isAutoRepeat() && IsNavigationKey(event->key())) emit trackEnded();
}

void CTrackSlider::wheelEvent(QWheelEvent* event) {
    QSlider::wheelEvent(event);
    if (event->isAccepted()) emit trackEnded();  // the value moved
}
