// Placement of windows and popups on the screen, and rounded window shapes.
#include "skin/window_geometry.h"

#include <QBitmap>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {

// Moves `rect` into `area`; the top-left corner wins when it is larger.
QRect KeptInside(QRect rect, const QRect& area) {
    if (area.isEmpty()) return rect;
    rect.moveLeft(std::max(area.left(), std::min(rect.left(), area.right() + 1 - rect.width())));
    rect.moveTop(std::max(area.top(), std::min(rect.top(), area.bottom() + 1 - rect.height())));
    return rect;
}

}  // namespace

QRect CentredOn(const QRect& anchor, const QSize& size, const QRect& available) {
    const QRect rect(QPoint(anchor.left() + (anchor.width() - size.width()) / 2,
                            anchor.top() + (anchor.height() - size.height()) / 2),
                     size);
    return KeptInside(rect, available);
}

QRect PlaceBeside(const QRect& anchor, const QSize& size, const QRect& available, int gap) {
    const int right = anchor.right() + 1 + gap;
    const int left = anchor.left() - gap - size.width();
    QRect rect(QPoint(0, anchor.top()), size);
    if (available.isEmpty() || right + size.width() <= available.right() + 1)
        rect.moveLeft(right);
    else if (left >= available.left())
        rect.moveLeft(left);
    else
        return CentredOn(anchor, size, available);
    return KeptInside(rect, available);
}

QPoint PopupUnder(const QRect& button, const QSize& size, const QRect& available) {
    QRect rect(QPoint(button.left(), button.bottom() + 1), size);
    const bool roomBelow = available.isEmpty() || rect.bottom() <= available.bottom();
    const bool roomAbove = available.isEmpty() || button.top() - size.height() >= available.top();
    if (!roomBelow && roomAbove) rect.moveBottom(button.top() - 1);
    return KeptInside(rect, available).topLeft();
}

QRect AvailableScreenArea(const QWidget* widget) {
    const QScreen* screen = widget != nullptr ? widget->screen() : nullptr;
    if (screen == nullptr) screen = QGuiApplication::primaryScreen();
    return screen != nullptr ? screen->availableGeometry() : QRect();
}

QRect GlobalRect(const QWidget& widget) { return QRect(widget.mapToGlobal(QPoint(0, 0)), widget.size()); }

QRegion RoundedRegion(const QSize& size, int radius) {
    if (size.isEmpty()) return {};
    if (radius <= 0) return QRegion(QRect(QPoint(0, 0), size));
    QBitmap bits(size);
    bits.fill(Qt::color0);
    QPainter painter(&bits);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::color1);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(QPointF(0, 0), QSizeF(size)), radius, radius);
    painter.drawPath(shape);
    painter.end();
    return QRegion(bits);
}
