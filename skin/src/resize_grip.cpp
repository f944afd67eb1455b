// CResizeGrip: resizing a frameless window from its edges.
#include "skin/src/resize_grip.h"

#include <QEvent>
#include <QMouseEvent>
#include <QWindow>

#include <algorithm>

namespace {

Qt::CursorShape CursorFor(Qt::Edges edges) {
    const bool horizontal = edges & (Qt::LeftEdge | Qt::RightEdge);
    const bool vertical = edges & (Qt::TopEdge | Qt::BottomEdge);
    if (horizontal && vertical)
        return edges == (Qt::LeftEdge | Qt::TopEdge) || edges == (Qt::RightEdge | Qt::BottomEdge) ? Qt::SizeFDiagCursor
                                                                                                  : Qt::SizeBDiagCursor;
    return horizontal ? Qt::SizeHorCursor : Qt::SizeVerCursor;
}

}  // namespace

CResizeGrip::CResizeGrip(QWidget* window, Qt::Edges edges) : QWidget(window), m_edges(edges) {
    setCursor(CursorFor(edges));
    window->installEventFilter(this);
    FollowWindow();
}

bool CResizeGrip::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && (event->type() == QEvent::Resize || event->type() == QEvent::WindowStateChange ||
                                      event->type() == QEvent::Show))
        FollowWindow();
    return QWidget::eventFilter(watched, event);
}

void CResizeGrip::FollowWindow() {
    const QWidget* window = parentWidget();
    const int w = window->width(), h = window->height(), t = kThickness;
    // Corners take a square of twice the thickness; edges the rest of their side.
    const int left = m_edges & Qt::LeftEdge ? 0 : (m_edges & Qt::RightEdge ? w - t : 2 * t);
    const int top = m_edges & Qt::TopEdge ? 0 : (m_edges & Qt::BottomEdge ? h - t : 2 * t);
    const bool horizontal = m_edges & (Qt::LeftEdge | Qt::RightEdge);
    const bool vertical = m_edges & (Qt::TopEdge | Qt::BottomEdge);
    if (horizontal && vertical)
        setGeometry(m_edges & Qt::LeftEdge ? 0 : w - 2 * t, m_edges & Qt::TopEdge ? 0 : h - 2 * t, 2 * t, 2 * t);
    else
        setGeometry(left, top, horizontal ? t : w - 4 * t, vertical ? t : h - 4 * t);
    const bool fixed = window->minimumSize() == window->maximumSize();
    setVisible(!fixed && !window->isMaximized() && !window->isFullScreen());
    raise();
}

void CResizeGrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    QWidget* top = window();
    if (top->windowHandle() && top->windowHandle()->startSystemResize(m_edges)) return;
    m_dragging = true;
    m_pressAt = event->globalPosition().toPoint();
    m_pressGeometry = top->geometry();
}

void CResizeGrip::mouseMoveEvent(QMouseEvent* event) {
    if (!m_dragging) return QWidget::mouseMoveEvent(event);
    QWidget* top = window();
    const QPoint moved = event->globalPosition().toPoint() - m_pressAt;
    const QSize least = top->minimumSize().expandedTo(QSize(1, 1));
    const QSize most = top->maximumSize();
    QRect geometry = m_pressGeometry;
    if (m_edges & Qt::LeftEdge)
        geometry.setLeft(std::clamp(m_pressGeometry.left() + moved.x(), m_pressGeometry.right() + 1 - most.width(),
                                    m_pressGeometry.right() + 1 - least.width()));
    if (m_edges & Qt::RightEdge)
        geometry.setWidth(std::clamp(m_pressGeometry.width() + moved.x(), least.width(), most.width()));
    if (m_edges & Qt::TopEdge)
        geometry.setTop(std::clamp(m_pressGeometry.top() + moved.y(), m_pressGeometry.bottom() + 1 - most.height(),
                                   m_pressGeometry.bottom() + 1 - least.height()));
    if (m_edges & Qt::BottomEdge)
        geometry.setHeight(std::clamp(m_pressGeometry.height() + moved.y(), least.height(), most.height()));
    top->setGeometry(geometry);
}

void CResizeGrip::mouseReleaseEvent(QMouseEvent* event) {
    m_dragging = false;
    QWidget::mouseReleaseEvent(event);
}
