// Where windows and popups go on the screen, and the shapes of rounded windows.
#pragma once

#include <QPoint>
#include <QRect>
#include <QRegion>
#include <QSize>

class QWidget;

// A rectangle of `size` centred on `anchor`, moved into `available` (its top-left corner
// stays inside when it is larger than `available`).
QRect CentredOn(const QRect& anchor, const QSize& size, const QRect& available);

// A window of `size` beside `anchor`, `gap` pixels away: to its right when that fits in
// `available`, else to its left, else centred on it; top-aligned with it, and moved into
// `available`.
QRect PlaceBeside(const QRect& anchor, const QSize& size, const QRect& available, int gap);

// The top-left corner of a popup of `size` opened for the button at `button` (global
// coordinates): under its bottom-left corner, above its top when there is no room below
// but there is above, and kept inside `available`.
QPoint PopupUnder(const QRect& button, const QSize& size, const QRect& available);

// The screen area free for windows where `widget`'s window lies (the primary screen's
// when it has none).
QRect AvailableScreenArea(const QWidget* widget);

// Global geometry of a widget.
QRect GlobalRect(const QWidget& widget);

// The pixels of a rounded rectangle of `size` with corner `radius`: a pixel belongs to it
// when its centre lies inside the shape, so the corners cut cleanly without a compositor.
QRegion RoundedRegion(const QSize& size, int radius);
