// The equalizer's settings window (CPluginDlg, dialog template 23300): ten vertical sliders
// for the band gains and, below them, the frequency response drawn by a chart window
// (CChartWnd). The curve comes from the very filter design the audio path uses, run by two
// preview engines the window owns.
#pragma once

#include <QPoint>
#include <QWidget>

#include <array>
#include <vector>

#include "plugins/common/settings_window.h"
#include "plugins/equalizer/equalizer.h"

// ---- the chart --------------------------------------------------------------------------

// A point of the chart. z selects a marker drawn at it besides the line: 0 none, 1 a small
// square (red), 2 a triangle (green), 3 an inverted triangle (blue).
struct DPoint {
    double x;
    double y;
    double z;
};
static_assert(sizeof(DPoint) == 24);

enum DPointMarker { kNoMarker = 0, kSquareMarker = 1, kTriangleMarker = 2, kInvertedTriangleMarker = 3 };

// The chart's data: three point arrays, each drawn as a line from point to point.
class CGraphContainer {
public:
    static constexpr int kArrays = 3;
    std::array<std::vector<DPoint>, kArrays> points;
};

// A general plotting control. The plot's origin is 30 pixels from the left and 23 above the
// bottom; x and y units are scaled so that the ranges fill the client area less 82 pixels
// across and 58 down. Unzoomed, x runs from ⌊smallest x⌋ to ⌊largest x⌋ + 1, and y from
// ⌊smallest − 0.001⌋ to ⌈largest + 0.001⌉; points that are not finite are left out. Dragging with the left button
// selects a part of the plot and zooms into it; a double click or the right button shows
// the whole again. Painting goes into a memory bitmap, which is copied to the window.
class CChartWnd : public QWidget {
    Q_OBJECT
public:
    struct Range {
        double minimum;
        double maximum;
        double Length() const { return maximum - minimum; }
    };
    static constexpr int kLeftMargin = 30;    // origin from the left edge
    static constexpr int kBottomMargin = 23;  // origin above the bottom edge

    CChartWnd(const CGraphContainer& data, QWidget* parent);

    // Takes new ranges and scales from the data (unless zoomed) and the size; repaints.
    void Recalculate();
    Range XRange() const { return m_xRange; }
    Range YRange() const { return m_yRange; }
    double XScale() const;  // pixels per x unit
    double YScale() const;  // pixels per y unit
    QPointF ToPixels(double x, double y) const;
    bool IsZoomed() const { return m_zoomed; }
    void ShowAll();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void DataRanges();
    QRectF PlotRect() const;
    void Draw(QPainter& painter) const;
    void DrawGridAndLabels(QPainter& painter) const;
    void DrawAxes(QPainter& painter) const;
    void DrawCurves(QPainter& painter) const;
    double ToXUnits(int pixel) const;
    double ToYUnits(int pixel) const;

    const CGraphContainer& m_data;
    Range m_xRange{0.0, 1.0};
    Range m_yRange{-1.0, 1.0};
    bool m_zoomed = false;
    bool m_selecting = false;
    QPoint m_selectionStart;
    QPoint m_selectionEnd;
};

// ---- the dialog -------------------------------------------------------------------------

// A slider position (−200 at the top … 200) stands for −p / 10 dB: gain = 10^(p / −200).
double SliderPositionToGain(int position);
// The nearest position of a gain, kept within −200 … 200 (the bottom for gains that are not
// positive numbers).
int GainToSliderPosition(double gain);
// "%.5Lg dB" of −p / 10: position 35 reads "-3.5 dB", −120 reads "12 dB".
QString SliderLabel(int position);
// Appends the response of a CEqualizerFFT design spectrum made at 44100 Hz from 10 Hz
// up to 20000 Hz in steps of 10^0.003: x = log10(f) + 1, y = 4 × log10(magnitude + 0.00001)
// (one y unit is 5 dB), z = 0.
void AppendResponseCurve(std::span<const DCplx, CEqualizerFFT::kDesignBins> design, std::vector<DPoint>& points);

class CPluginDlg : public CPluginSettingsDialog {
    Q_OBJECT
public:
    static constexpr int kChartId = 23320;
    static constexpr int kFrameId = 23323;
    static constexpr std::array<int, kEqualizerBands> kSliderIds{23301, 23302, 23305, 23307, 23309,
                                                                 23311, 23313, 23324, 23318, 23321};
    static constexpr std::array<int, kEqualizerBands> kLabelIds{23303, 23304, 23306, 23308, 23310,
                                                                23312, 23314, 23325, 23319, 23322};
    static constexpr int kSliderRange = 200;

    // Sets the sliders from the gains, shows the chart and computes the curve, without
    // notifying.
    CPluginDlg(QWidget* parent, CEqualizerSettings& settings);

    const CGraphContainer& GraphData() const { return m_graph; }
    CChartWnd& Chart() const { return *m_chart; }

private:
    void ShowLabels();
    void WriteGains();
    void ComputeCurve();

    CEqualizerSettings& m_settings;
    std::array<CEqualizerFFT, 2> m_previewEngines;  // all gains 1.0 until the first curve
    CGraphContainer m_graph;
    CChartWnd* m_chart;  // a child of this window
};
