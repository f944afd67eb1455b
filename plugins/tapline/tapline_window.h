// Tapline's settings window (dialog template 30800): five upside-down sliders for the dry
// gain and, per channel, echo gain and delay; lock, invert and mute check boxes. Each change
// writes every value, flags included.
#pragma once

#include "plugins/common/delay_window.h"
#include "plugins/tapline/tapline.h"

class CTaplineDlg : public CDelayDialog {
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

    CTaplineDlg(QWidget* parent, CTaplineSettings& settings);
};
