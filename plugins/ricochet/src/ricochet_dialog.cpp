// Ricochet's settings window.
#include "plugins/ricochet/ricochet_window.h"

#include <vector>

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

// With the channels locked, the right side follows the left.
constexpr LockedPair kLockedPairs[] = {
    {CRicochetDlg::kLeftGainSlider, CRicochetDlg::kRightGainSlider},
    {CRicochetDlg::kLeftFeedbackSlider, CRicochetDlg::kRightFeedbackSlider},
    {CRicochetDlg::kLeftDelaySlider, CRicochetDlg::kRightDelaySlider},
};

constexpr DelayWindowLayout kLayout{
    .drySlider = CRicochetDlg::kDrySlider,
    .muteCheck = CRicochetDlg::kMuteCheck,
    .lockCheck = CRicochetDlg::kLockCheck,
    .lockedPairs = kLockedPairs,
    .writeSlidersAtOpening = true,
    .writeAllFlagsOnChange = false,
};

// The sliders with their read-outs (30608 … 30614) and parameters.
std::vector<DelaySlider> Sliders(RicochetParameters& p) {
    using D = CRicochetDlg;
    return {
        DelaySlider::Percent(D::kDrySlider, 30608, D::kGainMaximum, p.dryGain),
        DelaySlider::Percent(D::kLeftGainSlider, 30609, D::kGainMaximum, p.leftEchoGain),
        DelaySlider::Percent(D::kLeftFeedbackSlider, 30610, D::kFeedbackMaximum, p.leftFeedback),
        DelaySlider::Milliseconds(D::kLeftDelaySlider, 30611, D::kDelayMaximum, p.leftDelayMs),
        DelaySlider::Percent(D::kRightGainSlider, 30612, D::kGainMaximum, p.rightEchoGain),
        DelaySlider::Percent(D::kRightFeedbackSlider, 30613, D::kFeedbackMaximum, p.rightFeedback),
        DelaySlider::Milliseconds(D::kRightDelaySlider, 30614, D::kDelayMaximum, p.rightDelayMs),
    };
}

std::vector<DelayCheckBox> CheckBoxes(RicochetParameters& p) {
    return {
        {CRicochetDlg::kInvertLeftCheck, &p.invertLeft},
        {CRicochetDlg::kInvertRightCheck, &p.invertRight},
        {CRicochetDlg::kMuteCheck, &p.muteDry},
        {CRicochetDlg::kLockCheck, &p.lockChannels},
    };
}

}  // namespace

CRicochetDlg::CRicochetDlg(QWidget* parent, CRicochetSettings& settings)
    : CDelayDialog(parent, kTemplate, Sliders(settings.parameters), CheckBoxes(settings.parameters), kLayout) {}

QWidget* CreatePluginSettingsWindow(QWidget* parent, CPluginSettings& settings) {
    return MakeSettingsWindow<CRicochetDlg, CRicochetSettings>(parent, settings);
}
