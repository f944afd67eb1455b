// CSkinBase: window id, window text, tooltip, focus ring and the command signal shared by
// every skinned control.
#include "skin/skin_base.h"

#include <QEnterEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QPainter>

#include "skin/control_state.h"
#include "skin/skin_qt.h"
#include "skin/skin_values.h"
#include "xml/xml.h"

CSkinBase::CSkinBase(QWidget* parent, int windowId, uint32_t style)
    : QWidget(parent), m_windowId(windowId), m_style(style) {
    setAttribute(Qt::WA_Hover);
}

CSkinBase::~CSkinBase() = default;

bool CSkinBase::UseCustomSkin(const void*) { return false; }

void CSkinBase::SetTooltip(const QString& text, const QString& title) {
    if (title.isEmpty())
        setToolTip(text);
    else
        setToolTip(QStringLiteral("<b>%1</b><br>%2").arg(title.toHtmlEscaped(), text.toHtmlEscaped()));
    if (accessibleName().isEmpty() && m_text.isEmpty()) setAccessibleName(text);
}

void CSkinBase::SetWindowText(const QString& text) {
    if (text == m_text) return;
    m_text = text;
    if (!text.isEmpty()) setAccessibleName(text);
    OnTextChanged();
}

void CSkinBase::ApplyElement(const enXml& element) {
    std::string value;
    if (element.GetAttribute("Text", value)) SetWindowText(QString::fromStdString(value));
    if (element.GetAttribute("LogFont", value) && !value.empty()) {
        LOGFONT lf{};
        if (LoadFont(&lf, value)) setFont(ToQFont(lf, font()));
    }
}

void CSkinBase::NotifyParent(int code) { emit command(m_windowId, code); }

bool CSkinBase::IsFocusVisible() const { return hasFocus() && m_keyboardFocus; }

void CSkinBase::TakeFocus(bool showRing) {
    setFocus(showRing ? Qt::TabFocusReason : Qt::MouseFocusReason);
    m_keyboardFocus = showRing;
    m_focusKnown = true;
    update();
}

bool CSkinBase::event(QEvent* event) {
    // Keys the control uses itself go to it before the window's shortcuts.
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        if ((key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && OwnsKey(key->key())) {
            event->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void CSkinBase::focusInEvent(QFocusEvent* event) {
    // Coming back to the window (or from a popup) the ring shows as it did before; a focus
    // given while the window was not active arrives with the activation and shows it.
    const Qt::FocusReason reason = event->reason();
    const bool returning = reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason;
    if (!returning || !m_focusKnown) m_keyboardFocus = reason != Qt::MouseFocusReason;
    m_focusKnown = true;
    update();
    QWidget::focusInEvent(event);
}

void CSkinBase::focusOutEvent(QFocusEvent* event) {
    if (event->reason() != Qt::PopupFocusReason && event->reason() != Qt::ActiveWindowFocusReason)
        m_keyboardFocus = false;
    update();
    QWidget::focusOutEvent(event);
}

void CSkinBase::enterEvent(QEnterEvent* event) {
    m_hover = true;
    update();
    QWidget::enterEvent(event);
}

void CSkinBase::leaveEvent(QEvent* event) {
    m_hover = false;
    update();
    QWidget::leaveEvent(event);
}

void CSkinBase::changeEvent(QEvent* event) {
    // Inner widgets styled by a style sheet keep the font they were polished with; hand
    // them the control's font explicitly.
    if (event->type() == QEvent::FontChange)
        for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) child->setFont(font());
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange) update();
    QWidget::changeEvent(event);
}

SkinState CSkinBase::CurrentState() const {
    SkinState state;
    state.disabled = !isEnabled();
    state.hover = m_hover && !state.disabled;
    state.focused = hasFocus();
    return state;
}

void CSkinBase::DrawFocusRing(QPainter& painter, const QRectF& rect, qreal radius) const {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(SkinPaletteColor(SKINCOLOR_FOCUS), 2.0));
    painter.drawRoundedRect(rect.adjusted(1, 1, -1, -1), radius, radius);
    painter.restore();
}
