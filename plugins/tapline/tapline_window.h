// Tapline's settings window (dialog template 30800): five upside-down sliders for the dry
// gain and, per channel, echo gain and delay; lock, invert and mute check boxes.
#pragma once

#include "plugins/common/settings_window.h"
#include "plugins/tapline/tapline.h"

class CTaplineDlg : public CPluginSettingsDialog {
    Q_OBJECT
public:
    enum ControlId {
        kDrySlider = 30801,
        kLeftGainSlider = 30802,
        kLeftDelaySlider = 30803,
        kRightGainSlider = 30804,
        kRightDelaySlider = 30805,
        kDryLabel = 30806,  // 30806 … 30810: the read-outs of 30801 … 30805
        kLockCheck = 30811,
        kInvertLeftCheck = 30812,
        kInvertRightCheck = 30813,
        kMuteCheck = 30814,
    };
    static constexpr int kGainMaximum = 100;  // per cent
    static constexpr int kDelayMaximum = kTaplineMaxDelayMs;

    // Fills the controls from the settings, without notifying.
    CTaplineDlg(QWidget* parent, CTaplineSettings& settings);

private:
    void Fill();
    void ApplyEnableStates();
    void ShowValues();
    // The five slider values and the four flags into the settings.
    void WriteValues();

    CTaplineSettings& m_settings;
};
