// CSCScrollBar: requests scrolling; the owner moves it.
#include "skin/scroll_bar.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "skin/control_records.h"
#include "skin/skin_base.h"
#include "skin/skin_qt.h"
#include "skin/skin_values.h"
#include "skin/src/skin_private.h"

namespace {
constexpr int kMinThumb = 24;
constexpr int kRepeatDelayMs = 300;
constexpr int kRepeatIntervalMs = 60;
enum Frame { kTrack = 0, kThumb = 1, kThumbHover = 2, kThumbPressed = 3 };
}  // namespace

CSCScrollBar::CSCScrollBar(QWidget* parent, int windowId, uint32_t style) : CSkinBase(parent, windowId, style) {
    setFocusPolicy(Qt::TabFocus);
    setMouseTracking(true);
    connect(&m_repeat, &QTimer::timeout, this, [this] {
        m_repeat.setInterval(kRepeatIntervalMs);
        const QPoint at = mapFromGlobal(QCursor::pos());
        const QRect thumb = ThumbRect(m_pos);
        const int pixel = IsVertical() ? at.y() : at.x();
        const int thumbStart = IsVertical() ? thumb.top() : thumb.left();
        const int thumbEnd = IsVertical() ? thumb.bottom() : thumb.right();
        // Paging stops once the thumb reaches the pointer.
        if ((m_repeatRequest == SB_PAGELEFT && pixel < thumbStart) ||
            (m_repeatRequest == SB_PAGERIGHT && pixel > thumbEnd))
            Request(m_repeatRequest, m_pos);
    });
}

CSCScrollBar::~CSCScrollBar() = default;

bool CSCScrollBar::UseCustomSkin(const void* record) {
    const auto* res = skinui::RecordAs<SCSCROLLBARRES>(record);
    if (!res) return false;
    const bool loaded = m_source.LoadFromHandle(res->source);
    if (loaded) {
        m_source.SetMargins(IsVertical() ? QMargins(0, res->beginDrawOffset, 0, res->endDrawOffset)
                                         : QMargins(res->beginDrawOffset, 0, res->endDrawOffset, 0));
        m_source.SetTiled(res->tile != 0);
    }
    SetSkinned(loaded);
    update();
    return loaded;
}

void CSCScrollBar::SetScrollInfo(int minimum, int maximum, int page, int position) {
    m_min = minimum;
    m_max = std::max(minimum, maximum);
    m_page = std::max(0, page);
    SetScrollPos(position);
}

void CSCScrollBar::SetScrollPos(int position) {
    m_pos = std::clamp(position, m_min, std::max(m_min, GetScrollLimit()));
    update();
}

int CSCScrollBar::GetScrollLimit() const { return m_max - std::max(m_page, 1) + 1; }

QRect CSCScrollBar::TrackRect() const { return rect(); }

QRect CSCScrollBar::ThumbRect(int position) const {
    const QRect track = TrackRect();
    const int length = IsVertical() ? track.height() : track.width();
    const int64_t span = static_cast<int64_t>(m_max) - m_min + 1;
    int thumb = length;
    if (m_page > 0 && span > m_page) thumb = static_cast<int>(static_cast<int64_t>(length) * m_page / span);
    thumb = std::clamp(thumb, std::min(kMinThumb, length), length);
    const int limit = GetScrollLimit();
    int offset = 0;
    if (limit > m_min)
        offset = static_cast<int>(static_cast<int64_t>(length - thumb) * (std::clamp(position, m_min, limit) - m_min) /
                                  (static_cast<int64_t>(limit) - m_min));
    return IsVertical() ? QRect(track.left(), track.top() + offset, track.width(), thumb)
                        : QRect(track.left() + offset, track.top(), thumb, track.height());
}

int CSCScrollBar::PositionAt(int pixel) const {
    const QRect track = TrackRect();
    const QRect thumb = ThumbRect(m_min);
    const int free = IsVertical() ? track.height() - thumb.height() : track.width() - thumb.width();
    const int limit = GetScrollLimit();
    if (free <= 0 || limit <= m_min) return m_min;
    const int64_t along = std::clamp(pixel - (IsVertical() ? track.top() : track.left()), 0, free);
    return m_min + static_cast<int>((along * (static_cast<int64_t>(limit) - m_min) + free / 2) / free);
}

void CSCScrollBar::Request(int request, int position) { emit scroll(GetWindowId(), request, position); }

void CSCScrollBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect thumb = ThumbRect(m_dragging ? m_dragPos : m_pos);
    const bool overThumb = thumb.contains(mapFromGlobal(QCursor::pos())) && m_hover;
    if (IsSkinned()) {
        m_source.DrawFrame(painter, TrackRect(), kTrack);
        const int frames = m_source.GetFrameCount();
        int frame = kThumb;
        if (m_dragging && frames > kThumbPressed)
            frame = kThumbPressed;
        else if ((m_dragging || overThumb) && frames > kThumbHover)
            frame = kThumbHover;
        m_source.DrawFrame(painter, thumb, frame, isEnabled() ? 1.0 : 0.45);
    } else {
        const QRectF track = QRectF(TrackRect()).adjusted(1, 1, -1, -1);
        const qreal radius = (IsVertical() ? track.width() : track.height()) / 2.0;
        painter.setPen(Qt::NoPen);
        painter.setBrush(SkinPaletteColor(SKINCOLOR_HOVER));
        painter.drawRoundedRect(track, radius, radius);
        QColor handle = SkinPaletteColor(SKINCOLOR_BORDER).darker(125);
        if (overThumb || m_dragging) handle = SkinPaletteColor(SKINCOLOR_TEXT_SECONDARY);
        painter.setBrush(isEnabled() ? handle : SkinPaletteColor(SKINCOLOR_BORDER));
        painter.drawRoundedRect(QRectF(thumb).adjusted(2, 2, -2, -2), radius - 2, radius - 2);
    }
    if (IsFocusVisible()) DrawFocusRing(painter, rect(), height() / 2.0);
}

void CSCScrollBar::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    const QPoint at = event->position().toPoint();
    const QRect thumb = ThumbRect(m_pos);
    const int pixel = IsVertical() ? at.y() : at.x();
    if (thumb.contains(at)) {
        m_dragging = true;
        m_dragPos = m_pos;
        m_dragOffset = pixel - (IsVertical() ? thumb.top() : thumb.left());
        update();
        return;
    }
    m_repeatRequest = pixel < (IsVertical() ? thumb.top() : thumb.left()) ? SB_PAGELEFT : SB_PAGERIGHT;
    Request(m_repeatRequest, m_pos);
    m_repeat.start(kRepeatDelayMs);
}

void CSCScrollBar::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging) {
        update();  // hover over the thumb
        return;
    }
    const QPoint at = event->position().toPoint();
    const int position = PositionAt((IsVertical() ? at.y() : at.x()) - m_dragOffset);
    if (position == m_dragPos) return;
    m_dragPos = position;
    update();
    Request(SB_THUMBTRACK, m_dragPos);
}

void CSCScrollBar::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    m_repeat.stop();
    m_repeatRequest = -1;
    if (m_dragging) {
        m_dragging = false;
        update();
        Request(SB_THUMBPOSITION, m_dragPos);
    }
    Request(SB_ENDSCROLL, m_pos);
}

void CSCScrollBar::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y() != 0 ? event->angleDelta().y() : event->angleDelta().x();
    if (delta == 0) return;
    const int steps = std::max(1, std::abs(delta) / 120);
    for (int i = 0; i < steps; ++i) Request(delta > 0 ? SB_LINELEFT : SB_LINERIGHT, m_pos);
    Request(SB_ENDSCROLL, m_pos);
    event->accept();
}

bool CSCScrollBar::OwnsKey(int key) const { return skinui::IsMoveKey(key); }

void CSCScrollBar::keyPressEvent(QKeyEvent* event) {
    int request = -1;
    switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Up: request = SB_LINELEFT; break;
        case Qt::Key_Right:
        case Qt::Key_Down: request = SB_LINERIGHT; break;
        case Qt::Key_PageUp: request = SB_PAGELEFT; break;
        case Qt::Key_PageDown: request = SB_PAGERIGHT; break;
        case Qt::Key_Home: request = SB_LEFT; break;
        case Qt::Key_End: request = SB_RIGHT; break;
        default: return QWidget::keyPressEvent(event);
    }
    Request(request, m_pos);
    Request(SB_ENDSCROLL, m_pos);
}
