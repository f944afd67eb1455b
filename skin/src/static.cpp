// CSCStatic (text or icon) and CSCHyperLinkStatic (a link activated by pointer or keyboard).
#include "skin/statics.h"

#include <QDesktopServices>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

#include "platform/texts.h"
#include "skin/control_records.h"
#include "skin/skin_base.h"
#include "skin/skin_qt.h"
#include "skin/skin_values.h"
#include "skin/src/skin_private.h"
#include "skin/src/skin_text.h"
#include "xml/xml.h"

// ---- CSCStatic ----------------------------------------------------------------------------

CSCStatic::CSCStatic(QWidget* parent, int windowId, uint32_t style) : CSkinBase(parent, windowId, style) {
    setFocusPolicy(Qt::NoFocus);
}

CSCStatic::~CSCStatic() = default;

bool CSCStatic::UseCustomSkin(const void* record) {
    const auto* res = skinui::RecordAs<SCSTATICRES>(record);
    if (!res) return false;
    m_textColor = ToQColor(res->textColor);
    m_disabledColor = ToQColor(res->textColor2);
    if (res->hasFont && res->font.lfFaceName[0] != '\0') setFont(ToQFont(res->font, font()));
    SetSkinned(true);
    update();
    return true;
}

void CSCStatic::ApplyElement(const enXml& element) {
    CSkinBase::ApplyElement(element);
    skinui::ReadHorizontalAlign(element, "TextAlign", m_align);
    std::string vertical;
    if (element.GetAttribute("VAlign", vertical)) {
        Qt::Alignment v = Qt::AlignVCenter;
        if (skintext::EqualsNoCase(vertical, "Top"))
            v = Qt::AlignTop;
        else if (skintext::EqualsNoCase(vertical, "Bottom"))
            v = Qt::AlignBottom;
        m_align = (m_align & ~Qt::AlignVertical_Mask) | v;
    }
    m_wrap = skinui::ReadYesNo(element, "WordWrap", m_wrap);
    update();
}

void CSCStatic::SetIcon(const QIcon& icon, const QSize& size) {
    m_icon = icon;
    m_iconSize = size;
    update();
}

QSize CSCStatic::GetTextExtent(const QString& text) const {
    const QFontMetrics metrics(font());
    const QRect bounds = metrics.boundingRect(QRect(0, 0, 1 << 20, 1 << 20), Qt::AlignLeft | Qt::AlignTop, text);
    return bounds.size();
}

void CSCStatic::SetTextAlignment(Qt::Alignment alignment) {
    m_align = alignment;
    update();
}

void CSCStatic::SetWordWrap(bool wrap) {
    m_wrap = wrap;
    update();
}

QColor CSCStatic::TextColor() const {
    if (!isEnabled()) return skinui::ColorOr(m_disabledColor, SKINCOLOR_DISABLED_TEXT);
    return skinui::ColorOr(m_textColor, SKINCOLOR_TEXT);
}

void CSCStatic::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!m_icon.isNull()) {
        const QRect target(QPoint((width() - m_iconSize.width()) / 2, (height() - m_iconSize.height()) / 2),
                           m_iconSize);
        m_icon.paint(&painter, target);
        return;
    }
    if (m_text.isEmpty()) return;
    painter.setPen(TextColor());
    painter.setFont(font());
    painter.drawText(rect(), static_cast<int>(m_align) | (m_wrap ? Qt::TextWordWrap : 0), m_text);
}

// ---- CSCHyperLinkStatic -------------------------------------------------------------------

CSCHyperLinkStatic::CSCHyperLinkStatic(QWidget* parent, int windowId, uint32_t style)
    : CSkinBase(parent, windowId, style) {
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
}

CSCHyperLinkStatic::~CSCHyperLinkStatic() = default;

bool CSCHyperLinkStatic::UseCustomSkin(const void* record) {
    const auto* res = skinui::RecordAs<SCHYPERLINKRES>(record);
    if (!res) return false;
    m_plain = ToQColor(res->textColor);
    m_normal = ToQColor(res->normal);
    m_focused = ToQColor(res->focused);
    m_pressedColor = ToQColor(res->pressed);
    m_hasFont = res->font.lfFaceName[0] != '\0';
    if (m_hasFont) {
        m_font = ToQFont(res->font, font());
        m_hoverFont = ToQFont(res->hoverFont, m_font);
        setFont(m_font);
    }
    SetSkinned(true);
    updateGeometry();
    update();
    return true;
}

QSize CSCHyperLinkStatic::sizeHint() const {
    const QFontMetrics metrics(font());
    return QSize(metrics.horizontalAdvance(m_text) + 8, metrics.height() + 6);
}

void CSCHyperLinkStatic::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!m_transparent) painter.fillRect(rect(), SkinPaletteColor(SKINCOLOR_SURFACE));
    const bool active = m_hover || hasFocus();
    QColor color = skinui::ColorOr(m_normal, SKINCOLOR_LINK);
    if (m_url.isEmpty() && m_plain.isValid()) color = m_plain;
    if (active) color = m_focused.isValid() ? m_focused : color.darker(115);
    if (m_pressed) color = m_pressedColor.isValid() ? m_pressedColor : color.darker(130);
    if (!isEnabled()) color = SkinPaletteColor(SKINCOLOR_DISABLED_TEXT);
    QFont drawFont = m_hasFont && m_hover ? m_hoverFont : font();
    if (m_hover) drawFont.setUnderline(true);
    painter.setFont(drawFont);
    painter.setPen(color);
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter, m_text);
    if (IsFocusVisible()) DrawFocusRing(painter, rect(), 4);
}

void CSCHyperLinkStatic::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    m_pressed = true;
    update();
}

void CSCHyperLinkStatic::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_pressed) return QWidget::mouseReleaseEvent(event);
    m_pressed = false;
    update();
    if (rect().contains(event->position().toPoint())) Activate();
}

void CSCHyperLinkStatic::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        Activate();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CSCHyperLinkStatic::Activate() {
    if (!isEnabled()) return;
    const QString url = m_url;
    emit linkActivated(url);
    NotifyParent(SCN_CLICKED);
    if (!url.isEmpty()) QDesktopServices::openUrl(QUrl::fromUserInput(url));
}
