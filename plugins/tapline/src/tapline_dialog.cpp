// Tapline's settings window.
#include "plugins/tapline/tapline_window.h"

#include <vector>

namespace {

using Kind = DialogControlKind;

constexpr DialogControl kControls[] = {
    {Kind::GroupBox, 30819, "Dry out:", 3, 3, 44, 109},
    {Kind::GroupBox, 30820, "Left channel:", 50, 3, 67, 109},
    {Kind::GroupBox, 30821, "Right channel:", 119, 3, 67, 109},
    {Kind::GroupBox, 30822, nullptr, 50, 114, 136, 24},
    {Kind::CenteredText, 30815, "Volume", 51, 14, 33, 8},
    {Kind::CenteredText, 30816, "Delay", 84, 14, 33, 8},
    {Kind::CenteredText, 30817, "Volume", 120, 14, 33, 8},
    {Kind::CenteredText, 30818, "Delay", 153, 14, 33, 8},
    {Kind::CenteredText, 30806, nullptr, 5, 24, 40, 8},
    {Kind::CenteredText, 30807, nullptr, 51, 24, 33, 8},
    {Kind::CenteredText, 30808, nullptr, 84, 24, 33, 8},
    {Kind::CenteredText, 30809, nullptr, 120, 24, 33, 8},
    {Kind::CenteredText, 30810, nullptr, 153, 24, 33, 8},
    {Kind::VerticalSlider, 30801, nullptr, 18, 34, 14, 58},
    {Kind::VerticalSlider, 30802, nullptr, 61, 34, 14, 58},
    {Kind::VerticalSlider, 30803, nullptr, 94, 34, 14, 58},
    {Kind::VerticalSlider, 30804, nullptr, 130, 34, 14, 58},
    {Kind::VerticalSlider, 30805, nullptr, 163, 34, 14, 58},
    {Kind::CheckBox, 30814, "Mute", 8, 97, 36, 10},
    {Kind::CheckBox, 30812, "Invert", 55, 97, 50, 10},
    {Kind::CheckBox, 30813, "Invert", 124, 97, 50, 10},
    {Kind::CheckBox, 30811, "Lock channels", 56, 122, 90, 10},
};

constexpr DialogTemplate kTemplate{30800, "CTaplineDlg", 189, 141, kControls};

// With the channels locked, the right channel follows the left.
constexpr LockedPair kLockedPairs[] = {
    {CTaplineDlg::kLeftGainSlider, CTaplineDlg::kRightGainSlider},
    {CTaplineDlg::kLeftDelaySlider, CTaplineDlg::kRightDelaySlider},
};

constexpr DelayWindowLayout kLayout{
    .drySlider = CTaplineDlg::kDrySlider,
    .muteCheck = CTaplineDlg::kMuteCheck,
    .lockCheck = CTaplineDlg::kLockCheck,
    .lockedPairs = kLockedPairs,
    .writeSlidersAtOpening = false,
    .writeAllFlagsOnChange = true,
};

// The sliders with their read-outs (30806 … 30810) and parameters.
std::vector<DelaySlider> Sliders(TaplineParameters& p) {
    using D = CTaplineDlg;
    return {
        DelaySlider::Percent(D::kDrySlider, 30806, D::kGainMaximum, p.dryGain),
        DelaySlider::Percent(D::kLeftGainSlider, 30807, D::kGainMaximum, p.leftEchoGain),
        DelaySlider::Milliseconds(D::kLeftDelaySlider, 30808, D::kDelayMaximum, p.leftDelayMs),
        DelaySlider::Percent(D::kRightGainSlider, 30809, D::kGainMaximum, p.rightEchoGain),
        DelaySlider::Milliseconds(D::kRightDelaySlider, 30810, D::kDelayMaximum, p.rightDelayMs),
    };
}

std::vector<DelayCheckBox> CheckBoxes(TaplineParameters& p) {
    return {
        {CTaplineDlg::kLockCheck, &p.lockChannels},
        {CTaplineDlg::kInvertLeftCheck, &p.invertLeft},
        {CTaplineDlg::kInvertRightCheck, &p.invertRight},
        {CTaplineDlg::kMuteCheck, &p.muteDry},
    };
}

}  // namespace

CTaplineDlg::CTaplineDlg(QWidget* parent, CTaplineSettings& settings)
    : CDelayDialog(parent, kTemplate, Sliders(settings.parameters), CheckBoxes(settings.parameters), kLayout) {}

QWidget* CreatePluginSettingsWindow(QWidget* parent, CPluginSettings& settings) {
    return MakeSettingsWindow<CTaplineDlg, CTaplineSettings>(parent, settings);
}
