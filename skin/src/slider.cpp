// CSCSlider (track picture at its size) and CSCScaleSlider (track stretched over the control).
// Horizontal sliders grow to the right, vertical ones upwards.
#include "skin/sliders.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "skin/control_records.h"
#include "skin/skin_base.h"
#include "skin/skin_file.h"
#include "skin/skin_qt.h"
#include "skin/skin_values.h"
#include "skin/src/skin_private.h"

namespace {
enum Frame { kTrack = 0, kFill = 1, kThumb = 2, kThumbHover = 3, kThumbPressed = 4, kThumbDisabled = 5 };
constexpr int kFallbackTrack = 4;
constexpr int kFallbackThumb = 18;
}  // namespace

CSCSlider::CSCSlider(QWidget* parent, int windowId, uint32_t style) : CSkinBase(parent, windowId, style) {
    setFocusPolicy(Qt::StrongFocus);
    setGeometry(0, 0, 100, 20);
}

CSCSlider::~CSCSlider() = default;

bool CSCSlider::ApplySliderRecord(SkinHandle source, int drawAlign, int beginTrack, int endTrack) {
    m_align = drawAlign;
    m_beginTrack = beginTrack;
    m_endTrack = endTrack;
    const bool loaded = m_source.LoadFromHandle(source);
    SetSkinned(loaded);
    updateGeometry();
    update();
    return loaded;
}

bool CSCSlider::UseCustomSkin(const void* record) {
    const auto* res = skinui::RecordAs<SCSLIDERRES>(record);
    if (!res) return false;
    return ApplySliderRecord(res->source, res->drawAlign, res->beginTrackOffset, res->endTrackOffset);
}

void CSCSlider::SetRange(int minimum, int maximum) {
    m_min = minimum;
    m_max = std::max(minimum, maximum);
    m_pageSize = std::max(1, (m_max - m_min) / 10);
    SetPos(m_pos);
}

void CSCSlider::SetPos(int position) {
    m_pos = std::clamp(position, m_min, m_max);
    update();
}

QSize CSCSlider::ThumbSize() const {
    if (IsSkinned() && m_source.GetFrameCount() > kThumb) return m_source.GetFrameSize(kThumb);
    return QSize(kFallbackThumb, kFallbackThumb);
}

QRect CSCSlider::TrackRect() const {
    const bool vertical = IsVertical();
    const QSize natural = IsSkinned() ? m_source.GetFrameSize(kTrack)
                                      : (vertical ? QSize(kFallbackTrack, height()) : QSize(width(), kFallbackTrack));
    const int across = vertical ? width() : height();
    const int thickness = vertical ? natural.width() : natural.height();
    int offset = (across - thickness) / 2;
    if (m_align == SC_ALIGN_LEFT_TOP)
        offset = 0;
    else if (m_align == SC_ALIGN_RIGHT_BOTTOM)
        offset = across - thickness;
    if (vertical) return QRect(offset, (height() - natural.height()) / 2, thickness, natural.height());
    return QRect((width() - natural.width()) / 2, offset, natural.width(), thickness);
}

int CSCSlider::Travel() const {
    const QRect track = TrackRect();
    const int thumb = IsVertical() ? ThumbSize().height() : ThumbSize().width();
    const int length = IsVertical() ? track.height() : track.width();
    return std::max(0, length - m_beginTrack - m_endTrack - thumb);
}

// The thumb centre along the axis, in widget coordinates.
int CSCSlider::ThumbCentre(int position) const {
    const QRect track = TrackRect();
    const int thumb = IsVertical() ? ThumbSize().height() : ThumbSize().width();
    const int span = m_max - m_min;
    const int along = span > 0 ? static_cast<int>(static_cast<int64_t>(Travel()) * (position - m_min) / span) : 0;
    if (IsVertical()) return track.bottom() + 1 - m_endTrack - thumb / 2 - along;
    return track.left() + m_beginTrack + thumb / 2 + along;
}

int CSCSlider::PositionAt(const QPoint& point) const {
    const int travel = Travel();
    if (travel <= 0) return m_min;
    const int start = ThumbCentre(m_min);
    const int along = IsVertical() ? start - point.y() : point.x() - start;
    const int64_t span = static_cast<int64_t>(m_max) - m_min;
    return m_min + static_cast<int>((std::clamp(along, 0, travel) * span + travel / 2) / travel);
}

QSize CSCSlider::sizeHint() const {
    const QSize track = IsSkinned() ? m_source.GetFrameSize(kTrack) : QSize(160, kFallbackTrack);
    const QSize thumb = ThumbSize();
    return track.expandedTo(IsVertical() ? QSize(thumb.width(), track.height()) : QSize(track.width(), thumb.height()));
}

void CSCSlider::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const bool vertical = IsVertical();
    const QRect track = TrackRect();
    const int centre = ThumbCentre(m_pos);
    const QSize thumbSize = ThumbSize();
    const QPoint trackMiddle = track.center();
    const QRect thumb =
        vertical
            ? QRect(QPoint(trackMiddle.x() - thumbSize.width() / 2 + 1, centre - thumbSize.height() / 2), thumbSize)
            : QRect(QPoint(centre - thumbSize.width() / 2, trackMiddle.y() - thumbSize.height() / 2 + 1), thumbSize);
    // The filled part runs from the minimum end of the track to the thumb centre.
    const QRect filled = vertical ? QRect(QPoint(track.left(), centre), track.bottomRight())
                                  : QRect(track.topLeft(), QPoint(centre, track.bottom()));
    const bool disabled = !isEnabled();
    if (IsSkinned()) {
        m_source.DrawFrame(painter, track, kTrack);
        if (m_source.GetFrameCount() > kFill) {
            painter.save();
            painter.setClipRect(filled);
            m_source.DrawFrame(painter, track, kFill, disabled ? 0.45 : 1.0);
            painter.restore();
        }
        const int frames = m_source.GetFrameCount();
        int frame = kThumb;
        if (disabled && frames > kThumbDisabled)
            frame = kThumbDisabled;
        else if (m_dragging && frames > kThumbPressed)
            frame = kThumbPressed;
        else if ((m_dragging || m_hover) && frames > kThumbHover)
            frame = kThumbHover;
        if (frames > kThumb) m_source.DrawFrame(painter, thumb, frame, disabled && frame != kThumbDisabled ? 0.6 : 1.0);
    } else {
        const qreal radius = kFallbackTrack / 2.0;
        painter.setPen(Qt::NoPen);
        painter.setBrush(SkinPaletteColor(SKINCOLOR_BORDER));
        painter.drawRoundedRect(track, radius, radius);
        painter.setBrush(SkinPaletteColor(disabled ? SKINCOLOR_DISABLED_TEXT : SKINCOLOR_ACCENT));
        painter.drawRoundedRect(filled, radius, radius);
        painter.setBrush(SkinPaletteColor(SKINCOLOR_SURFACE));
        painter.setPen(QPen(SkinPaletteColor(disabled ? SKINCOLOR_BORDER
                                                      : (m_hover || m_dragging ? SKINCOLOR_ACCENT : SKINCOLOR_BORDER)),
                            1.5));
        painter.drawEllipse(QRectF(thumb).adjusted(1, 1, -1, -1));
    }
    if (IsFocusVisible()) {
        // Around the thumb, held inside the control so that no side is cut off.
        const QRectF ring = QRectF(thumb).adjusted(-3, -3, 3, 3).intersected(QRectF(rect()));
        DrawFocusRing(painter, ring, std::min(ring.width(), ring.height()) / 2.0);
    }
}

void CSCSlider::UserMove(int position, int request) {
    position = std::clamp(position, m_min, m_max);
    if (position == m_pos) return;
    m_pos = position;
    update();
    emit scroll(GetWindowId(), request, m_pos);
    NotifyParent(IsVertical() ? SCN_VSCROLL : SCN_HSCROLL);
}

void CSCSlider::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    m_dragging = true;
    UserMove(PositionAt(event->position().toPoint()), SB_THUMBTRACK);
    update();
}

void CSCSlider::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging) UserMove(PositionAt(event->position().toPoint()), SB_THUMBTRACK);
}

void CSCSlider::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_dragging) return QWidget::mouseReleaseEvent(event);
    m_dragging = false;
    update();
    emit scroll(GetWindowId(), SB_THUMBPOSITION, m_pos);
    emit scroll(GetWindowId(), SB_ENDSCROLL, m_pos);
}

void CSCSlider::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y() != 0 ? event->angleDelta().y() : event->angleDelta().x();
    if (delta == 0) return;
    UserMove(m_pos + (delta > 0 ? m_line : -m_line), delta > 0 ? SB_LINERIGHT : SB_LINELEFT);
    event->accept();
}

void CSCSlider::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Right:
        case Qt::Key_Up: UserMove(m_pos + m_line, SB_LINERIGHT); break;
        case Qt::Key_Left:
        case Qt::Key_Down: UserMove(m_pos - m_line, SB_LINELEFT); break;
        case Qt::Key_PageUp: UserMove(m_pos + m_pageSize, SB_PAGERIGHT); break;
        case Qt::Key_PageDown: UserMove(m_pos - m_pageSize, SB_PAGELEFT); break;
        case Qt::Key_Home: UserMove(m_min, SB_LEFT); break;
        case Qt::Key_End: UserMove(m_max, SB_RIGHT); break;
        default: QWidget::keyPressEvent(event);
    }
}

bool CSCSlider::OwnsKey(int key) const { return skinui::IsMoveKey(key); }

// ---- CSCScaleSlider -----------------------------------------------------------------------

CSCScaleSlider::CSCScaleSlider(QWidget* parent, int windowId, uint32_t style) : CSCSlider(parent, windowId, style) {
    setGeometry(0, 0, 100, 10);
}

CSCScaleSlider::~CSCScaleSlider() = default;

bool CSCScaleSlider::UseCustomSkin(const void* record) {
    const auto* res = skinui::RecordAs<SCSCALESLIDERRES>(record);
    if (!res) return false;
    const bool loaded = ApplySliderRecord(res->source, res->drawAlign, res->beginTrackOffset, res->endTrackOffset);
    if (loaded)
        m_source.SetMargins(IsVertical() ? QMargins(0, res->endDrawOffset, 0, res->beginDrawOffset)
                                         : QMargins(res->beginDrawOffset, 0, res->endDrawOffset, 0));
    return loaded;
}

QRect CSCScaleSlider::TrackRect() const {
    const QRect natural = CSCSlider::TrackRect();
    return IsVertical() ? QRect(natural.left(), 0, natural.width(), height())
                        : QRect(0, natural.top(), width(), natural.height());
}
