// The settings-window base: controls built from a template in dialog units, the change
// notification to the host.
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMetaObject>
#include <QRadioButton>
#include <QThread>

#include <cmath>

#include "contracts/plugin_api.h"
#include "plugins/common/settings_window.h"

namespace {

// The letters whose mean advance is a font's average character width for dialog units.
constexpr const char* kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

int Scale(int units, int base, int divisor) {
    return static_cast<int>(std::lround(static_cast<double>(units) * base / divisor));
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The mean over both cases, rounded (26 capitals and 26 small letters).
    m_averageCharWidth = (metrics.horizontalAdvance(QString::fromLatin1(kAlphabet)) / 26 + 1) / 2;
    m_charHeight = metrics.height();
}

QRect DialogUnits::ToPixels(int x, int y, int cx, int cy) const {
    const int left = Scale(x, m_averageCharWidth, 4);
    const int top = Scale(y, m_charHeight, 8);
    const int right = Scale(x + cx, m_averageCharWidth, 4);
    const int bottom = Scale(y + cy, m_charHeight, 8);
    return QRect(left, top, right - left, bottom - top);
}

QSize DialogUnits::ToPixels(int cx, int cy) const {
    return QSize(Scale(cx, m_averageCharWidth, 4), Scale(cy, m_charHeight, 8));
}

CPluginSettingsDialog::CPluginSettingsDialog(QWidget* parent, const DialogTemplate& dialogTemplate)
    : QWidget(parent), m_context(dialogTemplate.context), m_units(font()) {
    LoadPluginTranslation();
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QString::number(dialogTemplate.id));
    setFixedSize(m_units.ToPixels(dialogTemplate.cx, dialogTemplate.cy));
    Build(dialogTemplate.controls);
}

void CPluginSettingsDialog::Build(std::span<const DialogControl> controls) {
    QButtonGroup* radioGroup = nullptr;
    for (const DialogControl& control : controls) {
        const QString caption = control.caption != nullptr ? Text(control.caption) : QString();
        QWidget* widget = nullptr;
        switch (control.kind) {
            case DialogControlKind::GroupBox: widget = new QGroupBox(caption, this); break;
            case DialogControlKind::Frame: {
                auto* frame = new QFrame(this);
                frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
                widget = frame;
                break;
            }
            case DialogControlKind::Text:
            case DialogControlKind::CenteredText: {
                auto* label = new QLabel(caption, this);
                label->setAlignment(control.kind == DialogControlKind::Text ? Qt::AlignLeft | Qt::AlignTop
                                                                            : Qt::AlignHCenter | Qt::AlignTop);
                widget = label;
                break;
            }
            case DialogControlKind::VerticalSlider: widget = new CTrackSlider(Qt::Vertical, this); break;
            case DialogControlKind::HorizontalSlider: widget = new CTrackSlider(Qt::Horizontal, this); break;
            case DialogControlKind::CheckBox: widget = new QCheckBox(caption, this); break;
            case DialogControlKind::RadioFirst:
            case DialogControlKind::Radio: {
                auto* radio = new QRadioButton(caption, this);
                if (control.kind == DialogControlKind::RadioFirst || radioGroup == nullptr)
                    radioGroup = new QButtonGroup(this);
                radioGroup->addButton(radio);
                widget = radio;
                break;
            }
        }
        if (control.id != kNoControlId) widget->setObjectName(QString::number(control.id));
        widget->setGeometry(m_units.ToPixels(control.x, control.y, control.cx, control.cy));
    }
}

void CPluginSettingsDialog::NotifyChanged() {
    if (m_filling) return;
    QWidget* host = parentWidget();
    if (host == nullptr || host->metaObject()->indexOfMethod("onCommand(int,int)") < 0) return;
    QMetaObject::invokeMethod(host, "onCommand", Qt::QueuedConnection, Q_ARG(int, 0),
                              Q_ARG(int, PLUGIN_SETTINGS_CHANGED));
}

QString CPluginSettingsDialog::Text(const char* source) const { return PluginText(m_context, source); }

bool CanCreateSettingsWindow(QWidget* parent) {
    const QCoreApplication* application = QCoreApplication::instance();
    return parent != nullptr && qobject_cast<const QApplication*>(application) != nullptr &&
           QThread::currentThread() == application->thread() && parent->thread() == application->thread();
}

void CPluginSettingsDialog::ConnectSlider(int id, const std::function<void()>& moved,
                                          const std::function<void()>& ended) {
    auto& slider = Get<CTrackSlider>(id);
    connect(&slider, &QSlider::valueChanged, this, moved);
    connect(&slider, &CTrackSlider::trackEnded, this, ended);
}
