// CSCButton: push and check buttons painted from a state picture.
#include "skin/buttons.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "skin/control_records.h"
#include "skin/control_state.h"
#include "skin/skin_base.h"
#include "skin/skin_file.h"
#include "skin/skin_qt.h"
#include "skin/skin_values.h"
#include "skin/src/skin_private.h"
#include "xml/xml.h"

namespace {
constexpr int kPadding = 14;
constexpr int kGap = 8;
constexpr int kChevron = 10;
constexpr qreal kRadius = 8.0;
}  // namespace

CSCButton::CSCButton(QWidget* parent, int windowId, uint32_t style) : CSkinBase(parent, windowId, style) {
    setFocusPolicy(Qt::StrongFocus);
    setGeometry(0, 0, 50, 50);
}

CSCButton::~CSCButton() = default;

bool CSCButton::UseCustomSkin(const void* record) {
    SkinHandle source = SKIN_NO_HANDLE;
    SkinHandle alpha = SKIN_NO_HANDLE;
    COLORREF textColor = CLR_INVALID;
    if (IsCheckBox()) {
        const auto* res = skinui::RecordAs<SCCHECKRES>(record);
        if (!res) return false;
        source = res->source;
        textColor = res->textColor;
    } else {
        const auto* res = skinui::RecordAs<SCBUTTONRES>(record);
        if (!res) return false;
        source = res->source;
        alpha = res->sourceAlpha;
        textColor = res->textColor;
    }
    m_textColor = ToQColor(textColor);
    const bool loaded = m_source.LoadFromHandle(source);
    if (loaded && alpha != SKIN_NO_HANDLE) m_source.LoadAlphaFromHandle(alpha);  // a bad mask leaves the shape whole
    SetSkinned(loaded);
    updateGeometry();
    update();
    return loaded;
}

void CSCButton::ApplyElement(const enXml& element) {
    CSkinBase::ApplyElement(element);
    const QIcon icon = skinui::LoadIconAttribute(element, "Icon");
    const int iconSize = skinui::ReadInt(element, "IconSize", m_iconSize.width());
    if (!icon.isNull()) SetIcon(icon, QSize(iconSize, iconSize));
    std::string text;
    if (element.GetAttribute("Glyph", text)) SetGlyphLeft(text == "Left" || text == "left");
    if (element.GetAttribute("IconPosition", text)) SetIconRight(text == "Right" || text == "right");
    skinui::ReadHorizontalAlign(element, "TextAlign", m_textAlign);
    update();
}

void CSCButton::SetCheck(int checked) {
    if (m_checked == (checked != 0)) return;
    m_checked = checked != 0;
    update();
}

void CSCButton::SetIcon(const QIcon& icon, const QSize& size) {
    m_icon = icon;
    if (size.isValid() && !size.isEmpty()) m_iconSize = size;
    updateGeometry();
    update();
}

void CSCButton::SetDropDown(bool dropDown) {
    m_dropDown = dropDown;
    update();
}

void CSCButton::SetGlyphLeft(bool left) {
    m_glyphLeft = left;
    if (left) m_textAlign = Qt::AlignLeft;
    update();
}

void CSCButton::SetIconRight(bool right) {
    m_iconRight = right;
    update();
}

void CSCButton::Click() {
    if (!isEnabled()) return;
    if (IsCheckBox()) m_checked = !m_checked;
    update();
    NotifyParent(SCN_CLICKED);
}

QSize CSCButton::sizeHint() const {
    const QFontMetrics metrics(font());
    const QSize frame = m_source.GetFrameSize();
    if (m_text.isEmpty()) return frame.isEmpty() ? QSize(36, 36) : frame;
    int width = metrics.horizontalAdvance(m_text) + 2 * kPadding;
    if (!m_icon.isNull()) width += m_iconSize.width() + kGap;
    if (m_dropDown) width += kChevron + kGap;
    if (m_glyphLeft) width = metrics.horizontalAdvance(m_text) + frame.width() + kGap + 4;
    return QSize(width, std::max(frame.height(), metrics.height() + 16));
}

void CSCButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    SkinState state = CurrentState();
    state.pressed = (m_pressed && m_hover) || m_spacePressed;
    state.checked = m_checked;

    QRect content = rect();
    if (IsSkinned() && m_glyphLeft) {
        // A check box: the picture at its natural size (fitted to the height) left of the text.
        QSize glyph = m_source.GetFrameSize().scaled(QSize(height(), height()), Qt::KeepAspectRatio);
        if (m_source.GetFrameSize().height() <= height()) glyph = m_source.GetFrameSize();
        const QRect glyphRect(QPoint(0, (height() - glyph.height()) / 2), glyph);
        m_source.DrawFrame(painter, glyphRect, PickFrame(m_source.GetFrameCount(), state));
        content = rect().adjusted(glyph.width() + kGap, 0, 0, 0);
    } else if (IsSkinned()) {
        const int frames = m_source.GetFrameCount();
        const bool ownDisabledFrame = frames > 3;
        m_source.DrawFrame(painter, rect(), PickFrame(frames, state), state.disabled && !ownDisabledFrame ? 0.45 : 1.0);
    } else {
        PaintFallback(painter, state);
    }

    QColor color = skinui::ColorOr(m_textColor, SKINCOLOR_TEXT);
    if (state.disabled) color = SkinPaletteColor(SKINCOLOR_DISABLED_TEXT);
    PaintContent(painter, content, color);
    if (IsFocusVisible()) DrawFocusRing(painter, rect(), kRadius);
}

void CSCButton::PaintFallback(QPainter& painter, const SkinState& state) const {
    QColor fill = SkinPaletteColor(SKINCOLOR_SURFACE);
    if (state.checked) fill = SkinPaletteColor(SKINCOLOR_SELECTION);
    if (state.hover) fill = state.checked ? fill.darker(104) : SkinPaletteColor(SKINCOLOR_HOVER);
    if (state.pressed) fill = SkinPaletteColor(SKINCOLOR_BORDER);
    painter.save();
    if (state.disabled) painter.setOpacity(0.6);
    if (m_glyphLeft) {
        const int box = std::min(18, height() - 2);
        const QRectF boxRect(1, (height() - box) / 2.0, box, box);
        painter.setPen(QPen(
            state.checked ? SkinPaletteColor(SKINCOLOR_ACCENT) : SkinPaletteColor(SKINCOLOR_BORDER).darker(130), 1.5));
        painter.setBrush(state.checked ? SkinPaletteColor(SKINCOLOR_ACCENT) : SkinPaletteColor(SKINCOLOR_SURFACE));
        painter.drawRoundedRect(boxRect, 4, 4);
        if (state.checked) {
            painter.setPen(
                QPen(SkinPaletteColor(SKINCOLOR_ACCENT_TEXT), 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            const QPointF o = boxRect.topLeft();
            const qreal s = box / 18.0;
            painter.drawPolyline(QPolygonF(
                {o + QPointF(4.5 * s, 9.5 * s), o + QPointF(7.5 * s, 12.5 * s), o + QPointF(13.5 * s, 5.5 * s)}));
        }
    } else {
        painter.setPen(QPen(SkinPaletteColor(SKINCOLOR_BORDER), 1.0));
        painter.setBrush(fill);
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), kRadius, kRadius);
    }
    painter.restore();
}

void CSCButton::PaintContent(QPainter& painter, const QRect& area, const QColor& color) const {
    const QFontMetrics metrics(font());
    const bool hasIcon = !m_icon.isNull();
    const int chevron = m_dropDown ? kChevron + kGap : 0;
    const int iconWidth = hasIcon ? m_iconSize.width() + (m_text.isEmpty() ? 0 : kGap) : 0;
    const int fullText = m_text.isEmpty() ? 0 : metrics.horizontalAdvance(m_text);
    // Small buttons give up some padding before their caption is shortened.
    int padding = m_glyphLeft || m_text.isEmpty() ? 0 : kPadding;
    if (padding && iconWidth + fullText + chevron + 2 * padding > area.width())
        padding = std::clamp((area.width() - iconWidth - fullText - chevron) / 2, 6, kPadding);
    const int available = std::max(0, area.width() - 2 * padding - iconWidth - chevron);
    const QString text = metrics.elidedText(m_text, Qt::ElideRight, available);
    const int textWidth = text.isEmpty() ? 0 : metrics.horizontalAdvance(text);
    const int total = iconWidth + textWidth + chevron;

    int x = area.left() + padding;
    if (m_textAlign & Qt::AlignHCenter)
        x = area.left() + (area.width() - total) / 2;
    else if (m_textAlign & Qt::AlignRight)
        x = area.right() - padding - total;

    auto paintIcon = [&](int at) {
        const qreal ratio = painter.device()->devicePixelRatioF();
        painter.drawPixmap(QPoint(at, area.top() + (area.height() - m_iconSize.height()) / 2),
                           skinui::TintedIcon(m_icon, m_iconSize, ratio, color));
    };
    if (hasIcon && !m_iconRight) {
        paintIcon(x);
        x += iconWidth;
    }
    if (!text.isEmpty()) {
        painter.setPen(color);
        painter.setFont(font());
        painter.drawText(QRect(x, area.top(), textWidth + 1, area.height()), Qt::AlignVCenter | Qt::AlignLeft, text);
        x += textWidth;
    }
    if (hasIcon && m_iconRight) {
        paintIcon(x + (m_text.isEmpty() ? 0 : kGap));
        x += iconWidth;
    }
    if (m_dropDown) skinui::PaintChevron(painter, QPointF(x + kGap + kChevron / 2.0, area.center().y() + 1.0), color);
}

void CSCButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    m_pressed = true;
    m_hover = true;
    update();
}

void CSCButton::mouseMoveEvent(QMouseEvent* event) {
    const bool inside = rect().contains(event->position().toPoint());
    if (inside != m_hover) {
        m_hover = inside;
        update();
    }
}

void CSCButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_pressed) return QWidget::mouseReleaseEvent(event);
    m_pressed = false;
    update();
    if (rect().contains(event->position().toPoint())) Click();
}

void CSCButton::keyPressEvent(QKeyEvent* event) {
    if (event->isAutoRepeat() && (event->key() == Qt::Key_Space)) return;
    switch (event->key()) {
        case Qt::Key_Space:
            m_spacePressed = true;
            update();
            return;
        case Qt::Key_Return:
        case Qt::Key_Enter: Click(); return;
        default: QWidget::keyPressEvent(event);
    }
}

void CSCButton::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat() && m_spacePressed) {
        m_spacePressed = false;
        Click();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void CSCButton::focusOutEvent(QFocusEvent* event) {
    m_spacePressed = false;
    CSkinBase::focusOutEvent(event);
}
