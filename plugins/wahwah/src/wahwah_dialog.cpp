// The wah-wah filter's settings window.
#include "plugins/wahwah/wahwah_window.h"

#include <QAbstractButton>
#include <QLabel>
#include <QSlider>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>

namespace {

using Kind = DialogControlKind;

constexpr DialogControl kControls[] = {
    {Kind::GroupBox, kNoControlId, "Filter", 237, 2, 65, 32},
    {Kind::GroupBox, kNoControlId, "Scale", 237, 36, 65, 32},
    {Kind::Text, kNoControlId, "Dry Out", 4, 7, 44, 8},
    {Kind::Text, kNoControlId, "Wet Out", 4, 27, 44, 8},
    {Kind::Text, kNoControlId, "Band Width", 4, 45, 44, 8},
    {Kind::Text, kNoControlId, "Left Border", 4, 59, 44, 8},
    {Kind::Text, kNoControlId, "Right Border", 4, 73, 44, 8},
    {Kind::Text, kNoControlId, "Speed", 4, 87, 44, 8},
    {Kind::HorizontalSlider, 20602, nullptr, 50, 5, 136, 12},
    {Kind::HorizontalSlider, 20603, nullptr, 50, 25, 136, 12},
    {Kind::HorizontalSlider, 20619, nullptr, 50, 43, 136, 12},
    {Kind::HorizontalSlider, 20618, nullptr, 50, 57, 136, 12},
    {Kind::HorizontalSlider, 20620, nullptr, 50, 71, 136, 12},
    {Kind::HorizontalSlider, 20621, nullptr, 50, 85, 136, 12},
    {Kind::Text, 20604, "100%\n(0.0 dB)", 189, 3, 46, 17},
    {Kind::Text, 20605, "100%\n(0.0 dB)", 189, 23, 46, 17},
    {Kind::Text, 20624, nullptr, 189, 45, 46, 8},
    {Kind::Text, 20625, nullptr, 189, 59, 46, 8},
    {Kind::Text, 20626, nullptr, 189, 73, 46, 8},
    {Kind::Text, 20606, nullptr, 189, 87, 46, 8},
    {Kind::RadioFirst, 20611, "BandPass", 241, 12, 59, 10},
    {Kind::Radio, 20612, "BandReject", 241, 22, 59, 10},
    {Kind::RadioFirst, 20613, "Logarithmic", 241, 46, 59, 10},
    {Kind::Radio, 20614, "Linear", 241, 56, 59, 10},
    {Kind::CheckBox, 20623, "Normalize", 241, 76, 59, 10},
};

constexpr DialogTemplate kTemplate{20600, "CWahWahDlg", 305, 101, kControls};

struct SliderRange {
    int id;
    int lo;
    int hi;
};
constexpr SliderRange kDry{CWahWahDlg::kDrySlider, 0, 100};
constexpr SliderRange kWet{CWahWahDlg::kWetSlider, 0, 400};
constexpr SliderRange kBandWidth{CWahWahDlg::kBandWidthSlider, 10, 1000};
constexpr SliderRange kLeftBorder{CWahWahDlg::kLeftBorderSlider, 100, 10000};
constexpr SliderRange kRightBorder{CWahWahDlg::kRightBorderSlider, 100, 10000};
constexpr SliderRange kSpeed{CWahWahDlg::kSpeedSlider, 1, 1000};
constexpr std::array<SliderRange, 6> kSliders{kDry, kWet, kBandWidth, kLeftBorder, kRightBorder, kSpeed};

// The speed slider counts hundredths of sweeps per second.
constexpr double kSpeedScale = 100.0;

}  // namespace

double LogSliderValue(int position, int lo, int hi) {
    const double ratio = static_cast<double>(hi) / lo;
    const double value = lo * std::pow(ratio, static_cast<double>(position - lo) / (hi - lo));
    return std::clamp(value, static_cast<double>(lo), static_cast<double>(hi));
}

int LogSliderPosition(double value, int lo, int hi) {
    if (!(value > 0.0)) return lo;
    const double position = lo + (hi - lo) * std::log(value / lo) / std::log(static_cast<double>(hi) / lo);
    return static_cast<int>(std::lround(std::clamp(position, static_cast<double>(lo), static_cast<double>(hi))));
}

int GainSliderPosition(double gain, int maximum) {
    const double position = std::floor(100.0 * gain + 0.5);
    if (!(position > 0.0)) return 0;  // also NaN
    return static_cast<int>(std::min(position, static_cast<double>(maximum)));
}

QString GainReadout(int position) {
    char level[32] = "-Inf";
    if (position > 0) {
        const double decibels = std::round(200.0 * std::log10(position / 100.0)) / 10.0 + 0.0;  // no "-0"
        std::snprintf(level, sizeof level, "%.5Lg", static_cast<long double>(decibels));
    }
    return QString::asprintf("%i%%\n(%s dB)", position, level);
}

CWahWahDlg::CWahWahDlg(QWidget* parent, CWahWahSettings& settings)
    : CPluginSettingsDialog(parent, kTemplate), m_settings(settings) {
    Fill();
    const auto commit = [this] {
        WriteValues();
        NotifyChanged();
    };
    for (const SliderRange& range : kSliders)
        ConnectSlider(
            range.id, [this] { ShowValues(); }, commit);
    for (const int id : {kBandPassRadio, kBandRejectRadio, kLogarithmicRadio, kLinearRadio, kNormalizeCheck}) {
        QAbstractButton* button = &Get<QAbstractButton>(id);
        connect(button, &QAbstractButton::clicked, this, [commit, button] {
            commit();
            button->update();
        });
    }
}

void CWahWahDlg::Fill() {
    const FillingScope filling(*this);
    for (const SliderRange& range : kSliders) Get<CTrackSlider>(range.id).SetTrackRange(range.lo, range.hi);
    Get<QSlider>(kDrySlider).setValue(GainSliderPosition(m_settings.dryGain.get(), kDry.hi));
    Get<QSlider>(kWetSlider).setValue(GainSliderPosition(m_settings.wetGain.get(), kWet.hi));
    Get<QSlider>(kBandWidthSlider)
        .setValue(LogSliderPosition(m_settings.bandWidth.get(), kBandWidth.lo, kBandWidth.hi));
    Get<QSlider>(kLeftBorderSlider)
        .setValue(LogSliderPosition(m_settings.lowerBorder.get(), kLeftBorder.lo, kLeftBorder.hi));
    Get<QSlider>(kRightBorderSlider)
        .setValue(LogSliderPosition(m_settings.upperBorder.get(), kRightBorder.lo, kRightBorder.hi));
    Get<QSlider>(kSpeedSlider).setValue(LogSliderPosition(m_settings.speed.get() * kSpeedScale, kSpeed.lo, kSpeed.hi));
    const bool bandPass = m_settings.kind.get() == 1;
    Get<QAbstractButton>(bandPass ? kBandPassRadio : kBandRejectRadio).setChecked(true);
    const bool logarithmic = m_settings.logarithmic.get() != 0;
    Get<QAbstractButton>(logarithmic ? kLogarithmicRadio : kLinearRadio).setChecked(true);
    Get<QAbstractButton>(kNormalizeCheck).setChecked(m_settings.normalize.get() != 0);
    ShowValues();
}

void CWahWahDlg::ShowValues() {
    const auto position = [this](const SliderRange& range) { return Get<QSlider>(range.id).value(); };
    const auto hertz = [&](const SliderRange& range, double scale, const char* format) {
        return QString::asprintf(format, LogSliderValue(position(range), range.lo, range.hi) / scale);
    };
    Get<QLabel>(kDryLabel).setText(GainReadout(position(kDry)));
    Get<QLabel>(kWetLabel).setText(GainReadout(position(kWet)));
    Get<QLabel>(kBandWidthLabel).setText(hertz(kBandWidth, 1.0, "%.0f Hz"));
    Get<QLabel>(kLeftBorderLabel).setText(hertz(kLeftBorder, 1.0, "%.0f Hz"));
    Get<QLabel>(kRightBorderLabel).setText(hertz(kRightBorder, 1.0, "%.0f Hz"));
    Get<QLabel>(kSpeedLabel).setText(hertz(kSpeed, kSpeedScale, "%.2f Hz"));
}

void CWahWahDlg::WriteValues() {
    const auto logValue = [this](const SliderRange& range) {
        return LogSliderValue(Get<QSlider>(range.id).value(), range.lo, range.hi);
    };
    m_settings.dryGain = Get<QSlider>(kDrySlider).value() / 100.0;
    m_settings.wetGain = Get<QSlider>(kWetSlider).value() / 100.0;
    m_settings.bandWidth = logValue(kBandWidth);
    m_settings.lowerBorder = logValue(kLeftBorder);
    m_settings.upperBorder = logValue(kRightBorder);
    m_settings.speed = logValue(kSpeed) / kSpeedScale;
    m_settings.kind = Get<QAbstractButton>(kBandPassRadio).isChecked() ? 1 : 0;
    m_settings.logarithmic = Get<QAbstractButton>(kLogarithmicRadio).isChecked() ? 1 : 0;
    m_settings.normalize = Get<QAbstractButton>(kNormalizeCheck).isChecked() ? 1 : 0;
}

QWidget* CreatePluginSettingsWindow(QWidget* parent, CPluginSettings& settings) {
    return MakeSettingsWindow<CWahWahDlg, CWahWahSettings>(parent, settings);
}
