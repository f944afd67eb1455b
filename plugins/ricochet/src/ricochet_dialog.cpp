// Ricochet's settings window.
#include "plugins/ricochet/ricochet_window.h"

#include <QCheckBox>
#include <QSlider>

#include <array>

namespace {

using Kind = DialogControlKind;

constexpr DialogControl kControls[] = {
    {Kind::GroupBox, 30619, "Dry out", 4, 4, 44, 100},
    {Kind::GroupBox, 30620, "Left:", 52, 4, 117, 100},
    {Kind::GroupBox, 30621, "Right:", 173, 4, 117, 100},
    {Kind::CenteredText, 30622, "Volume:", 55, 14, 37, 8},
    {Kind::CenteredText, 30623, "Feedback:", 93, 14, 37, 8},
    {Kind::CenteredText, 30624, "Delay:", 131, 14, 37, 8},
    {Kind::CenteredText, 30625, "Volume:", 176, 14, 37, 8},
    {Kind::CenteredText, 30626, "Feedback:", 214, 14, 37, 8},
    {Kind::CenteredText, 30627, "Delay:", 252, 14, 37, 8},
    {Kind::CenteredText, 30608, nullptr, 6, 24, 40, 8},
    {Kind::CenteredText, 30609, nullptr, 55, 24, 37, 8},
    {Kind::CenteredText, 30610, nullptr, 93, 24, 37, 8},
    {Kind::CenteredText, 30611, nullptr, 131, 24, 37, 8},
    {Kind::CenteredText, 30612, nullptr, 176, 24, 37, 8},
    {Kind::CenteredText, 30613, nullptr, 214, 24, 37, 8},
    {Kind::CenteredText, 30614, nullptr, 252, 24, 37, 8},
    {Kind::VerticalSlider, 30601, nullptr, 19, 34, 14, 52},
    {Kind::VerticalSlider, 30602, nullptr, 66, 34, 14, 52},
    {Kind::VerticalSlider, 30603, nullptr, 104, 34, 14, 52},
    {Kind::VerticalSlider, 30604, nullptr, 142, 34, 14, 52},
    {Kind::VerticalSlider, 30605, nullptr, 187, 34, 14, 52},
    {Kind::VerticalSlider, 30606, nullptr, 225, 34, 14, 52},
    {Kind::VerticalSlider, 30607, nullptr, 263, 34, 14, 52},
    {Kind::CheckBox, 30617, "Mute", 10, 89, 36, 10},
    {Kind::CheckBox, 30615, "Invert", 58, 89, 50, 10},
    {Kind::CheckBox, 30616, "Invert", 179, 89, 50, 10},
    {Kind::CheckBox, 30618, "Lock channels", 173, 109, 90, 10},
};

constexpr DialogTemplate kTemplate{30600, "CRicochetDlg", 294, 125, kControls};

using Readout = InvertedReadout;
constexpr std::array<Readout, 7> kReadouts{{
    {CRicochetDlg::kDrySlider, 30608, CRicochetDlg::kGainMaximum, "%i %%"},
    {CRicochetDlg::kLeftGainSlider, 30609, CRicochetDlg::kGainMaximum, "%i %%"},
    {CRicochetDlg::kLeftFeedbackSlider, 30610, CRicochetDlg::kFeedbackMaximum, "%i %%"},
    {CRicochetDlg::kLeftDelaySlider, 30611, CRicochetDlg::kDelayMaximum, "%i ms"},
    {CRicochetDlg::kRightGainSlider, 30612, CRicochetDlg::kGainMaximum, "%i %%"},
    {CRicochetDlg::kRightFeedbackSlider, 30613, CRicochetDlg::kFeedbackMaximum, "%i %%"},
    {CRicochetDlg::kRightDelaySlider, 30614, CRicochetDlg::kDelayMaximum, "%i ms"},
}};

// With the channels locked, the right side follows the left.
constexpr std::array<LockedPair, 3> kLockedPairs{{
    {CRicochetDlg::kLeftGainSlider, CRicochetDlg::kRightGainSlider},
    {CRicochetDlg::kLeftFeedbackSlider, CRicochetDlg::kRightFeedbackSlider},
    {CRicochetDlg::kLeftDelaySlider, CRicochetDlg::kRightDelaySlider},
}};

struct CheckBoxFlag {
    int id;
    SharedParameter<int32_t> RicochetParameters::*flag;
};
constexpr std::array<CheckBoxFlag, 4> kCheckBoxes{{
    {CRicochetDlg::kInvertLeftCheck, &RicochetParameters::invertLeft},
    {CRicochetDlg::kInvertRightCheck, &RicochetParameters::invertRight},
    {CRicochetDlg::kMuteCheck, &RicochetParameters::muteDry},
    {CRicochetDlg::kLockCheck, &RicochetParameters::lockChannels},
}};

double PercentOf(const QSlider& slider, int maximum) { return InvertedValue(slider.value(), maximum) / 100.0; }

}  // namespace

CRicochetDlg::CRicochetDlg(QWidget* parent, CRicochetSettings& settings)
    : CPluginSettingsDialog(parent, kTemplate), m_settings(settings) {
    Fill();
    for (const Readout& readout : kReadouts) {
        auto& slider = Get<CTrackSlider>(readout.slider);
        connect(&slider, &QSlider::valueChanged, this, &CRicochetDlg::ShowValues);
        connect(&slider, &CTrackSlider::trackEnded, this, [this] {
            WriteValues();
            NotifyChanged();
        });
    }
    for (const CheckBoxFlag& box : kCheckBoxes) {
        SharedParameter<int32_t>* flag = &(m_settings.parameters.*box.flag);
        connect(&Get<QCheckBox>(box.id), &QCheckBox::clicked, this, [this, id = box.id, flag] { OnCheckBox(id, *flag); });
    }
}

void CRicochetDlg::Fill() {
    const FillingScope filling(*this);
    const RicochetParameters& p = m_settings.parameters;
    for (const Readout& readout : kReadouts) Get<CTrackSlider>(readout.slider).SetTrackRange(0, readout.maximum);
    Get<QSlider>(kDrySlider).setValue(InvertedPercentPosition(p.dryGain.get(), kGainMaximum));
    Get<QSlider>(kLeftGainSlider).setValue(InvertedPercentPosition(p.leftEchoGain.get(), kGainMaximum));
    Get<QSlider>(kLeftFeedbackSlider).setValue(InvertedPercentPosition(p.leftFeedback.get(), kFeedbackMaximum));
    Get<QSlider>(kLeftDelaySlider).setValue(InvertedPosition(p.leftDelayMs.get(), kDelayMaximum));
    Get<QSlider>(kRightGainSlider).setValue(InvertedPercentPosition(p.rightEchoGain.get(), kGainMaximum));
    Get<QSlider>(kRightFeedbackSlider).setValue(InvertedPercentPosition(p.rightFeedback.get(), kFeedbackMaximum));
    Get<QSlider>(kRightDelaySlider).setValue(InvertedPosition(p.rightDelayMs.get(), kDelayMaximum));
    Get<QCheckBox>(kInvertLeftCheck).setChecked(p.invertLeft.get() != 0);
    Get<QCheckBox>(kInvertRightCheck).setChecked(p.invertRight.get() != 0);
    Get<QCheckBox>(kMuteCheck).setChecked(p.muteDry.get() != 0);
    Get<QCheckBox>(kLockCheck).setChecked(p.lockChannels.get() != 0);
    ApplyEnableStates();
    WriteValues();
    ShowReadouts(kReadouts);
}

void CRicochetDlg::ApplyEnableStates() {
    Get<QSlider>(kDrySlider).setEnabled(!Get<QCheckBox>(kMuteCheck).isChecked());
    const bool rightFree = !Get<QCheckBox>(kLockCheck).isChecked();
    for (const LockedPair& pair : kLockedPairs) Get<QSlider>(pair.to).setEnabled(rightFree);
}

void CRicochetDlg::ShowValues() {
    if (Get<QCheckBox>(kLockCheck).isChecked()) CopyPositions(kLockedPairs);
    ShowReadouts(kReadouts);
}

void CRicochetDlg::WriteValues() {
    RicochetParameters& p = m_settings.parameters;
    p.dryGain = PercentOf(Get<QSlider>(kDrySlider), kGainMaximum);
    p.leftEchoGain = PercentOf(Get<QSlider>(kLeftGainSlider), kGainMaximum);
    p.leftFeedback = PercentOf(Get<QSlider>(kLeftFeedbackSlider), kFeedbackMaximum);
    p.leftDelayMs = InvertedValue(Get<QSlider>(kLeftDelaySlider).value(), kDelayMaximum);
    p.rightEchoGain = PercentOf(Get<QSlider>(kRightGainSlider), kGainMaximum);
    p.rightFeedback = PercentOf(Get<QSlider>(kRightFeedbackSlider), kFeedbackMaximum);
    p.rightDelayMs = InvertedValue(Get<QSlider>(kRightDelaySlider).value(), kDelayMaximum);
}

// Locking the channels makes the right side equal to the left at once, so that what the
// disabled right sliders show is what the right line gets.
void CRicochetDlg::OnCheckBox(int id, SharedParameter<int32_t>& flag) {
    flag = Get<QCheckBox>(id).isChecked() ? 1 : 0;
    ApplyEnableStates();
    ShowValues();
    WriteValues();
    NotifyChanged();
}

QWidget* CreatePluginSettingsWindow(QWidget* parent, CPluginSettings& settings) {
    if (!CanCreateSettingsWindow(parent)) return nullptr;
    return new CRicochetDlg(parent, static_cast<CRicochetSettings&>(settings));
}
