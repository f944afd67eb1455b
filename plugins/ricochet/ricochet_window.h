// Ricochet's settings window (dialog template 30600): seven upside-down sliders for the dry
// gain and, per side, echo gain, feedback and delay; invert, mute and lock check boxes.
// Opening it writes the sliders' values back into the record.
#pragma once

#include "plugins/common/delay_window.h"
#include "plugins/ricochet/ricochet.h"

class CRicochetDlg : public CDelayDialog {
    Q_OBJECT
public:
    enum ControlId {
        kDrySlider = 30601,
        kLeftGainSlider = 30602,
        kLeftFeedbackSlider = 30603,
        kLeftDelaySlider = 30604,
        kRightGainSlider = 30605,
        kRightFeedbackSlider = 30606,
        kRightDelaySlider = 30607,
        kDryLabel = 30608,  // 30608 … 30614: the read-outs of 30601 … 30607
        kInvertLeftCheck = 30615,
        kInvertRightCheck = 30616,
        kMuteCheck = 30617,
        kLockCheck = 30618,
    };
    static constexpr int kGainMaximum = 100;     // per cent
    static constexpr int kFeedbackMaximum = 99;  // per cent
    static constexpr int kDelayMaximum = kRicochetMaxDelayMs;

    CRicochetDlg(QWidget* parent, CRicochetSettings& settings);
};
