// The wah-wah filter's settings window (dialog template 20600): horizontal sliders for the
// dry and wet gains, the band width, the two borders and the speed (the last four on
// logarithmic scales), the filter kind, the sweep scale and the level correction.
#pragma once

#include "plugins/common/settings_window.h"
#include "plugins/wahwah/wahwah.h"

// A slider whose positions run over lo … hi stands for lo × (hi / lo)^((p − lo) / (hi − lo)),
// kept within lo … hi.
double LogSliderValue(int position, int lo, int hi);
// The nearest position of a value on such a slider, kept within lo … hi (the lowest for
// values that are not positive numbers).
int LogSliderPosition(double value, int lo, int hi);
// The gain slider's position of a gain: ⌊100 × gain + 0.5⌋, kept within 0 … maximum.
int GainSliderPosition(double gain, int maximum);
// A gain slider's read-out: "%i%%\n(%s dB)" with the level 20 × log10(p / 100) rounded to
// one decimal and written with "%.5Lg", or "-Inf" at 0.
QString GainReadout(int position);

class CWahWahDlg : public CPluginSettingsDialog {
    Q_OBJECT
public:
    enum ControlId {
        kDrySlider = 20602,
        kWetSlider = 20603,
        kDryLabel = 20604,
        kWetLabel = 20605,
        kSpeedLabel = 20606,
        kBandPassRadio = 20611,
        kBandRejectRadio = 20612,
        kLogarithmicRadio = 20613,
        kLinearRadio = 20614,
        kLeftBorderSlider = 20618,
        kBandWidthSlider = 20619,
        kRightBorderSlider = 20620,
        kSpeedSlider = 20621,
        kNormalizeCheck = 20623,
        kBandWidthLabel = 20624,
        kLeftBorderLabel = 20625,
        kRightBorderLabel = 20626,
    };

    // Fills the controls from the settings, without notifying.
    CWahWahDlg(QWidget* parent, CWahWahSettings& settings);

private:
    void Fill();
    void ShowValues();
    // Every setting from the controls.
    void WriteValues();

    CWahWahSettings& m_settings;
};
