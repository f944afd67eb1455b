// The equalizer's settings window: band sliders, their dB labels and the response curve.
#include <QLabel>
#include <QSlider>

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "plugins/equalizer/equalizer_window.h"

namespace {

using Kind = DialogControlKind;

constexpr const char* kBandCaptions[kEqualizerBands] = {"31",   "62",   "125",  "250",  "500",
                                                        "1000", "2000", "4000", "8000", "16000"};
constexpr int kColumnLeft = 8;  // dialog units
constexpr int kColumnWidth = 30;
constexpr int kControlsPerBand = 6;  // caption, slider, three marks, value label

// The frame, then per band its caption, slider, the marks "+20", "0" and "-20", and label.
constexpr std::array<DialogControl, 1 + kEqualizerBands * kControlsPerBand> MakeControls() {
    std::array<DialogControl, 1 + kEqualizerBands * kControlsPerBand> controls{};
    controls[0] = {Kind::Frame, CPluginDlg::kFrameId, nullptr, 3, 2, 308, 87};
    for (int band = 0; band < kEqualizerBands; ++band) {
        const int x = kColumnLeft + band * kColumnWidth;
        DialogControl* column = &controls[1 + band * kControlsPerBand];
        column[0] = {Kind::CenteredText, kNoControlId, kBandCaptions[band], x - 1, 5, 30, 8};
        column[1] = {Kind::VerticalSlider, CPluginDlg::kSliderIds[band], nullptr, x + 1, 14, 12, 58};
        column[2] = {Kind::Text, kNoControlId, "+20", x + 15, 16, 14, 8};
        column[3] = {Kind::Text, kNoControlId, "0", x + 15, 39, 14, 8};
        column[4] = {Kind::Text, kNoControlId, "-20", x + 15, 62, 14, 8};
        column[5] = {Kind::CenteredText, CPluginDlg::kLabelIds[band], nullptr, x - 2, 75, 32, 8};
    }
    return controls;
}

constexpr std::array<DialogControl, 1 + kEqualizerBands* kControlsPerBand> kControls = MakeControls();
constexpr DialogTemplate kTemplate{23300, "CPluginDlg", 314, 178, kControls};
constexpr QRect kChartRect(3, 92, 308, 86);  // dialog units: (3, 92) to (311, 178)

// The design bins span 0 … 22050 Hz (half of 44100) in 2048 steps.
constexpr double kDesignRate = 44100.0;
constexpr double kCurveStart = 10.0;   // Hz
constexpr double kCurveEnd = 20000.0;  // Hz, exclusive
constexpr double kCurveStepExponent = 0.003;
constexpr double kMagnitudeFloor = 0.00001;

}  // namespace

double SliderPositionToGain(int position) { return std::pow(10.0, position / -200.0); }

int GainToSliderPosition(double gain) {
    const int range = CPluginDlg::kSliderRange;
    if (!(gain > 0.0)) return range;  // no level at all: the bottom
    const double position = -200.0 * std::log10(gain);
    return static_cast<int>(std::lround(std::clamp(position, static_cast<double>(-range), static_cast<double>(range))));
}

QString SliderLabel(int position) {
    // −p / 10 already has one decimal; the integer negation gives 0 rather than "-0".
    const double decibels = static_cast<double>(-position) / 10.0;
    char text[32];
    std::snprintf(text, sizeof text, "%.5Lg dB", static_cast<long double>(decibels));
    return QString::fromLatin1(text);
}

// The magnitude at f is interpolated between the two design bins it lies between.
void AppendResponseCurve(std::span<const DCplx, CEqualizerFFT::kDesignBins> design, std::vector<DPoint>& points) {
    const double step = std::pow(10.0, kCurveStepExponent);
    const double binsPerHertz = (CEqualizerFFT::kDesignBins - 1) / (kDesignRate / 2.0);
    for (double f = kCurveStart; f < kCurveEnd; f *= step) {
        const double bin = f * binsPerHertz;
        const size_t k = static_cast<size_t>(bin);
        const double t = bin - static_cast<double>(k);
        const double magnitude = (1.0 - t) * design[k].re + t * design[k + 1].re;
        points.push_back(DPoint{std::log10(f) + 1.0, 4.0 * std::log10(magnitude + kMagnitudeFloor), 0.0});
    }
}

CPluginDlg::CPluginDlg(QWidget* parent, CEqualizerSettings& settings)
    : CPluginSettingsDialog(parent, kTemplate), m_settings(settings) {
    {
        const FillingScope filling(*this);
        for (int band = 0; band < kEqualizerBands; ++band) {
            auto& slider = Get<CTrackSlider>(kSliderIds[band]);
            slider.SetTrackRange(-kSliderRange, kSliderRange);
            slider.setValue(GainToSliderPosition(m_settings.gains[band].get()));
        }
        m_chart = new CChartWnd(m_graph, this);
        m_chart->setObjectName(QString::number(kChartId));
        m_chart->setGeometry(Units().ToPixels(kChartRect.x(), kChartRect.y(), kChartRect.width(), kChartRect.height()));
        m_chart->show();
        ShowLabels();
        ComputeCurve();
    }
    for (const int id : kSliderIds) {
        ConnectSlider(
            id, [this] { ShowLabels(); },
            [this] {
                WriteGains();
                NotifyChanged();
                ComputeCurve();
            });
    }
}

void CPluginDlg::ShowLabels() {
    for (int band = 0; band < kEqualizerBands; ++band)
        Get<QLabel>(kLabelIds[band]).setText(SliderLabel(Get<QSlider>(kSliderIds[band]).value()));
}

void CPluginDlg::WriteGains() {
    for (int band = 0; band < kEqualizerBands; ++band)
        m_settings.gains[band] = SliderPositionToGain(Get<QSlider>(kSliderIds[band]).value());
}

// Both preview engines are opened on one channel at 44100 Hz and designed from the settings'
// gains; the first one's design spectrum gives the curve.
void CPluginDlg::ComputeCurve() {
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_IEEE_FLOAT;
    format.nChannels = 1;
    format.nSamplesPerSec = static_cast<uint32_t>(kDesignRate);
    format.wBitsPerSample = 32;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
    std::array<double, kEqualizerBands> gains;
    for (int band = 0; band < kEqualizerBands; ++band) gains[band] = m_settings.gains[band].get();
    for (CEqualizerFFT& engine : m_previewEngines) {
        engine.Open(format);
        engine.SetGains(gains);
    }
    std::vector<DPoint>& curve = m_graph.points[0];
    curve.clear();
    AppendResponseCurve(m_previewEngines[0].DesignSpectrum(), curve);
    m_chart->Recalculate();
}

QWidget* CreatePluginSettingsWindow(QWidget* parent, CPluginSettings& settings) {
    return MakeSettingsWindow<CPluginDlg, CEqualizerSettings>(parent, settings);
}
