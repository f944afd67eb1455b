// What the two delays' settings windows share (Qt Widgets): upside-down sliders with
// read-outs, each setting a factor in per cent (gains, feedbacks) or a delay in
// milliseconds; check boxes that set flags; a mute box that disables the dry slider; and a
// lock box under which the right side's sliders follow the left side's and are disabled.
#pragma once

#include <QWidget>

#include <cstdint>
#include <span>
#include <vector>

#include "plugins/common/plugin_frame.h"
#include "plugins/common/settings_window.h"

// ---- upside-down sliders ----------------------------------------------------------------
// They run from 0 at the top to `maximum` at the bottom and stand for maximum − p.

// The position of a factor (0.8 is 80 per cent) on a slider whose bottom is `maximum` per
// cent: maximum − the per cent cut toward zero (as the preset stores cut it), kept within
// 0 … maximum.
int InvertedPercentPosition(double factor, int maximum);
// maximum − position.
int InvertedValue(int position, int maximum);
// The position of a value (milliseconds), kept within 0 … maximum.
int InvertedPosition(int value, int maximum);

// An upside-down slider, the label that reads out its value ("80 %", "15 ms") and the
// parameter it sets: a factor, or a count of milliseconds.
struct DelaySlider {
    static DelaySlider Percent(int slider, int label, int maximum, SharedParameter<double>& factor) {
        return {slider, label, maximum, &factor, nullptr};
    }
    static DelaySlider Milliseconds(int slider, int label, int maximum, SharedParameter<int32_t>& delay) {
        return {slider, label, maximum, nullptr, &delay};
    }

    int slider;
    int label;
    int maximum;
    SharedParameter<double>* factor;         // set for a gain or feedback
    SharedParameter<int32_t>* milliseconds;  // set for a delay
};

// A check box and the flag (1 checked, 0 not) it sets.
struct DelayCheckBox {
    int id;
    SharedParameter<int32_t>* flag;
};

// Two sliders of which the second follows the first while the channels are locked.
struct LockedPair {
    int from;
    int to;
};

// The controls with a part of their own, and where the two windows differ.
struct DelayWindowLayout {
    int drySlider;
    int muteCheck;
    int lockCheck;
    std::span<const LockedPair> lockedPairs;
    // The sliders' values go into the record when the window opens: gains become whole
    // per cents, values out of range come to the ends.
    bool writeSlidersAtOpening;
    // Each change writes every check box's flag, not only the one clicked.
    bool writeAllFlagsOnChange;
};

class CDelayDialog : public CPluginSettingsDialog {
    Q_OBJECT
public:
    // Fills the controls from the parameters without notifying, then connects them: a moved
    // slider shows its value (with the channels locked, its right partner follows); the end
    // of a slider action, or a click on a check box, writes the values and notifies the host.
    // Locking the channels makes the right side equal to the left at once, so that what the
    // disabled right sliders show is what the right line gets.
    CDelayDialog(QWidget* parent, const DialogTemplate& dialogTemplate, std::vector<DelaySlider> sliders,
                 std::vector<DelayCheckBox> checkBoxes, const DelayWindowLayout& layout);

private:
    void Fill();
    void ApplyEnableStates();
    // With the channels locked, the right side follows the left; then the read-outs.
    void ShowValues();
    void ShowReadouts();
    void WriteSliders();
    void Commit();
    void OnCheckBox(const DelayCheckBox& box);

    std::vector<DelaySlider> m_sliders;
    std::vector<DelayCheckBox> m_checkBoxes;
    DelayWindowLayout m_layout;
};
