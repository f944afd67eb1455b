// The chart window: ranges, scales, axes with arrowheads, captions, grid, tick labels, line
// plots with optional markers, and zooming into a selected part.
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>

#include <algorithm>
#include <cmath>
#include <limits>

#include "plugins/equalizer/equalizer_window.h"

namespace {

constexpr int kWidthLessPlot = 82;   // client width − plot width
constexpr int kHeightLessPlot = 58;  // client height − plot height
constexpr int kMinSelection = 5;     // pixels a selection must span to zoom
constexpr int kMinXLabelSpacing = 20;
constexpr int kMinYLabelSpacing = 15;
constexpr int kMaxTicks = 200;  // more would be a solid block of grid lines
constexpr double kDecibelsPerYUnit = 5.0;

const QColor kGridColour(150, 150, 150);
const QColor kCurveColours[CGraphContainer::kArrays] = {QColor(0, 0, 160), QColor(0, 120, 0), QColor(160, 0, 0)};

QFont CaptionFont() {
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(10);
    font.setBold(true);
    return font;
}

QFont TickFont() {
    QFont font(QStringLiteral("MS Sana Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(14);
    return font;
}

// Integer tick values within a range, every step-th one so that there are not too many.
struct Ticks {
    long long first;
    long long last;
    long long step;
};

Ticks TicksOf(const CChartWnd::Range& range) {
    const double first = std::ceil(range.minimum);
    const double last = std::floor(range.maximum);
    if (!(first <= last) || std::abs(first) > 1e15 || std::abs(last) > 1e15) return {1, 0, 1};
    long long step = 1;
    while ((last - first) / static_cast<double>(step) > kMaxTicks) step *= 2;
    return {static_cast<long long>(first), static_cast<long long>(last), step};
}

void DrawArrowhead(QPainter& painter, QPointF tip, QPointF back, QPointF side) {
    const QPointF points[3] = {tip, back + side, back - side};
    painter.drawPolygon(points, 3);
}

void DrawMarker(QPainter& painter, QPointF at, int marker) {
    constexpr double kHalf = 3.5;
    painter.setPen(Qt::NoPen);
    switch (marker) {
        case kSquareMarker:
            painter.setBrush(Qt::red);
            painter.drawRect(QRectF(at.x() - kHalf + 0.5, at.y() - kHalf + 0.5, 2 * kHalf - 1, 2 * kHalf - 1));
            break;
        case kTriangleMarker: {
            painter.setBrush(QColor(0, 160, 0));
            const QPointF points[3] = {
                {at.x(), at.y() - kHalf}, {at.x() + kHalf, at.y() + kHalf}, {at.x() - kHalf, at.y() + kHalf}};
            painter.drawPolygon(points, 3);
            break;
        }
        case kInvertedTriangleMarker: {
            painter.setBrush(Qt::blue);
            const QPointF points[3] = {
                {at.x(), at.y() + kHalf}, {at.x() + kHalf, at.y() - kHalf}, {at.x() - kHalf, at.y() - kHalf}};
            painter.drawPolygon(points, 3);
            break;
        }
        default: break;
    }
}

}  // namespace

CChartWnd::CChartWnd(const CGraphContainer& data, QWidget* parent) : QWidget(parent), m_data(data) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    DataRanges();
}

void CChartWnd::Recalculate() {
    if (!m_zoomed) DataRanges();
    update();
}

void CChartWnd::ShowAll() {
    m_zoomed = false;
    Recalculate();
}

void CChartWnd::DataRanges() {
    double xMin = std::numeric_limits<double>::infinity(), xMax = -xMin;
    double yMin = xMin, yMax = -xMin;
    for (const std::vector<DPoint>& points : m_data.points) {
        for (const DPoint& point : points) {
            if (!std::isfinite(point.x) || !std::isfinite(point.y)) continue;
            xMin = std::min(xMin, point.x);
            xMax = std::max(xMax, point.x);
            yMin = std::min(yMin, point.y);
            yMax = std::max(yMax, point.y);
        }
    }
    if (xMin > xMax) {  // no points
        m_xRange = {0.0, 1.0};
        m_yRange = {-1.0, 1.0};
        return;
    }
    m_xRange = {std::floor(xMin), std::floor(xMax) + 1.0};
    m_yRange = {std::floor(yMin - 0.001), std::ceil(yMax + 0.001)};
}

double CChartWnd::XScale() const { return std::max(0.0, (width() - kWidthLessPlot) / m_xRange.Length()); }

double CChartWnd::YScale() const { return std::max(0.0, (height() - kHeightLessPlot) / m_yRange.Length()); }

QPointF CChartWnd::ToPixels(double x, double y) const {
    return QPointF(kLeftMargin + (x - m_xRange.minimum) * XScale(),
                   (height() - kBottomMargin) - (y - m_yRange.minimum) * YScale());
}

QRectF CChartWnd::PlotRect() const {
    const double plotHeight = m_yRange.Length() * YScale();
    return QRectF(kLeftMargin, height() - kBottomMargin - plotHeight, m_xRange.Length() * XScale(), plotHeight);
}

double CChartWnd::ToXUnits(int pixel) const {
    const double scale = XScale();
    return scale > 0.0 ? m_xRange.minimum + (pixel - kLeftMargin) / scale : m_xRange.minimum;
}

double CChartWnd::ToYUnits(int pixel) const {
    const double scale = YScale();
    return scale > 0.0 ? m_yRange.minimum + ((height() - kBottomMargin) - pixel) / scale : m_yRange.minimum;
}

void CChartWnd::paintEvent(QPaintEvent*) {
    const qreal ratio = devicePixelRatioF();
    QPixmap bitmap(size() * ratio);
    bitmap.setDevicePixelRatio(ratio);
    {
        QPainter painter(&bitmap);
        Draw(painter);
    }
    QPainter window(this);
    window.drawPixmap(0, 0, bitmap);
    if (m_selecting) {
        window.setPen(QPen(QColor(0, 0, 160), 1, Qt::DashLine));
        window.setBrush(QColor(0, 0, 160, 40));
        window.drawRect(QRect(m_selectionStart, m_selectionEnd).normalized());
    }
}

void CChartWnd::Draw(QPainter& painter) const {
    painter.fillRect(rect(), Qt::white);
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(1, 1, width() - 3, height() - 3);
    if (width() <= kWidthLessPlot || height() <= kHeightLessPlot) return;
    DrawGridAndLabels(painter);
    DrawCurves(painter);
    DrawAxes(painter);
}

void CChartWnd::DrawGridAndLabels(QPainter& painter) const {
    const int originY = height() - kBottomMargin;
    const QRectF plot = PlotRect();
    painter.setFont(TickFont());

    const Ticks xTicks = TicksOf(m_xRange);
    const bool everyOtherX = XScale() * static_cast<double>(xTicks.step) < kMinXLabelSpacing;
    for (long long k = xTicks.first; k <= xTicks.last; k += xTicks.step) {
        const double x = ToPixels(static_cast<double>(k), m_yRange.minimum).x();
        painter.setPen(kGridColour);
        painter.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        if (everyOtherX && (k - xTicks.first) / xTicks.step % 2 != 0) continue;
        // The frequency of the decade: x is log10(f) + 1.
        const QString label = QString::number(std::pow(10.0, static_cast<double>(k - 1)), 'f', 0);
        painter.setPen(Qt::black);
        painter.drawText(QRectF(x - 40, originY + 2, 80, kBottomMargin - 4), Qt::AlignHCenter | Qt::AlignTop, label);
    }

    const Ticks yTicks = TicksOf(m_yRange);
    const bool everyOtherY = YScale() * static_cast<double>(yTicks.step) < kMinYLabelSpacing;
    for (long long k = yTicks.first; k <= yTicks.last; k += yTicks.step) {
        const double y = ToPixels(m_xRange.minimum, static_cast<double>(k)).y();
        painter.setPen(kGridColour);
        painter.drawLine(QPointF(plot.left(), y), QPointF(plot.right(), y));
        if (everyOtherY && (k - yTicks.first) / yTicks.step % 2 != 0) continue;
        // Centred on its line, but above the x axis, whose labels are below it.
        QRectF box(2, y - 9, kLeftMargin - 6, 18);
        if (box.bottom() > originY - 1) box.moveBottom(originY - 1);
        painter.setPen(Qt::black);
        painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter,
                         QString::asprintf("%d", static_cast<int>(std::lround(k * kDecibelsPerYUnit))));
    }
}

void CChartWnd::DrawCurves(QPainter& painter) const {
    painter.save();
    painter.setClipRect(PlotRect().adjusted(-4, -4, 4, 4));
    painter.setRenderHint(QPainter::Antialiasing);
    for (int array = 0; array < CGraphContainer::kArrays; ++array) {
        QPolygonF line;
        for (const DPoint& point : m_data.points[array])
            if (std::isfinite(point.x) && std::isfinite(point.y)) line << ToPixels(point.x, point.y);
        painter.setPen(QPen(kCurveColours[array], 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawPolyline(line);
        for (const DPoint& point : m_data.points[array])
            if (static_cast<int>(point.z) != kNoMarker && std::isfinite(point.x) && std::isfinite(point.y))
                DrawMarker(painter, ToPixels(point.x, point.y), static_cast<int>(point.z));
    }
    painter.restore();
}

void CChartWnd::DrawAxes(QPainter& painter) const {
    const int originY = height() - kBottomMargin;
    const int right = width() - 10;
    painter.setPen(Qt::black);
    painter.setBrush(Qt::black);
    painter.drawLine(QPointF(kLeftMargin, originY + 3), QPointF(kLeftMargin, 8));
    DrawArrowhead(painter, QPointF(kLeftMargin, 5), QPointF(kLeftMargin, 14), QPointF(3.5, 0));
    painter.drawLine(QPointF(kLeftMargin - 3, originY), QPointF(right - 3, originY));
    DrawArrowhead(painter, QPointF(right, originY), QPointF(right - 9, originY), QPointF(0, 3.5));

    painter.setFont(CaptionFont());
    painter.drawText(QRectF(kLeftMargin + 7, 3, 40, 14), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("dB"));
    painter.drawText(QRectF(right - 14, originY + 4, 14, 14), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("F"));
}

void CChartWnd::resizeEvent(QResizeEvent*) { update(); }

void CChartWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        ShowAll();
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    m_selecting = true;
    m_selectionStart = m_selectionEnd = event->position().toPoint();
}

void CChartWnd::mouseMoveEvent(QMouseEvent* event) {
    if (!m_selecting) return;
    m_selectionEnd = event->position().toPoint();
    update();
}

void CChartWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (!m_selecting || event->button() != Qt::LeftButton) return;
    m_selecting = false;
    m_selectionEnd = event->position().toPoint();
    const QRect selection = QRect(m_selectionStart, m_selectionEnd).normalized();
    if (selection.width() >= kMinSelection) {
        const Range x{ToXUnits(selection.left()), ToXUnits(selection.right())};
        // A flat selection keeps the levels in view and zooms into the frequencies only.
        const Range y = selection.height() >= kMinSelection
                            ? Range{ToYUnits(selection.bottom()), ToYUnits(selection.top())}
                            : m_yRange;
        m_xRange = x;
        m_yRange = y;
        m_zoomed = true;
    }
    update();
}

void CChartWnd::mouseDoubleClickEvent(QMouseEvent*) { ShowAll(); }
