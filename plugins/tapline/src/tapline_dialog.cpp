// Tapline's settings window.
#include "plugins/tapline/tapline_window.h"

#include <QCheckBox>
#include <QSlider>

#include <array>

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

using Readout = InvertedReadout;
constexpr std::array<Readout, 5> kReadouts{{
    {CTaplineDlg::kDrySlider, 30806, CTaplineDlg::kGainMaximum, "%i %%"},
    {CTaplineDlg::kLeftGainSlider, 30807, CTaplineDlg::kGainMaximum, "%i %%"},
    {CTaplineDlg::kLeftDelaySlider, 30808, CTaplineDlg::kDelayMaximum, "%i ms"},
    {CTaplineDlg::kRightGainSlider, 30809, CTaplineDlg::kGainMaximum, "%i %%"},
    {CTaplineDlg::kRightDelaySlider, 30810, CTaplineDlg::kDelayMaximum, "%i ms"},
}};

// With the channels locked, the right channel follows the left.
constexpr std::array<LockedPair, 2> kLockedPairs{{
    {CTaplineDlg::kLeftGainSlider, CTaplineDlg::kRightGainSlider},
    {CTaplineDlg::kLeftDelaySlider, CTaplineDlg::kRightDelaySlider},
}};

constexpr std::array<int, 4> kCheckBoxes{CTaplineDlg::kLockCheck, CTaplineDlg::kInvertLeftCheck,
                                         CTaplineDlg::kInvertRightCheck, CTaplineDlg::kMuteCheck};

double GainOf(const QSlider& slider) { return InvertedValue(slider.value(), CTaplineDlg::kGainMaximum) / 100.0; }

}  // namespace

CTaplineDlg::CTaplineDlg(QWidget* parent, CTaplineSettings& settings)
    : CPluginSettingsDialog(parent, kTemplate), m_settings(settings) {
    Fill();
    const auto commit = [this] {
        WriteValues();
        NotifyChanged();
    };
    for (const Readout& readout : kReadouts) {
        auto& slider = Get<CTrackSlider>(readout.slider);
        connect(&slider, &QSlider::valueChanged, this, &CTaplineDlg::ShowValues);
        connect(&slider, &CTrackSlider::trackEnded, this, commit);
    }
    // Locking the channels makes the right one equal to the left at once, so that what the
    // disabled right sliders show is what the right line gets.
    for (const int id : kCheckBoxes) {
        connect(&Get<QCheckBox>(id), &QCheckBox::clicked, this, [this, commit] {
            ApplyEnableStates();
            ShowValues();
            commit();
        });
    }
}

void CTaplineDlg::Fill() {
    const FillingScope filling(*this);
    const TaplineParameters& p = m_settings.parameters;
    for (const Readout& readout : kReadouts) Get<CTrackSlider>(readout.slider).SetTrackRange(0, readout.maximum);
    Get<QSlider>(kDrySlider).setValue(InvertedPercentPosition(p.dryGain.get(), kGainMaximum));
    Get<QSlider>(kLeftGainSlider).setValue(InvertedPercentPosition(p.leftEchoGain.get(), kGainMaximum));
    Get<QSlider>(kLeftDelaySlider).setValue(InvertedPosition(p.leftDelayMs.get(), kDelayMaximum));
    Get<QSlider>(kRightGainSlider).setValue(InvertedPercentPosition(p.rightEchoGain.get(), kGainMaximum));
    Get<QSlider>(kRightDelaySlider).setValue(InvertedPosition(p.rightDelayMs.get(), kDelayMaximum));
    Get<QCheckBox>(kLockCheck).setChecked(p.lockChannels.get() != 0);
    Get<QCheckBox>(kInvertLeftCheck).setChecked(p.invertLeft.get() != 0);
    Get<QCheckBox>(kInvertRightCheck).setChecked(p.invertRight.get() != 0);
    Get<QCheckBox>(kMuteCheck).setChecked(p.muteDry.get() != 0);
    ApplyEnableStates();
    ShowReadouts(kReadouts);
}

void CTaplineDlg::ApplyEnableStates() {
    Get<QSlider>(kDrySlider).setEnabled(!Get<QCheckBox>(kMuteCheck).isChecked());
    const bool rightFree = !Get<QCheckBox>(kLockCheck).isChecked();
    for (const LockedPair& pair : kLockedPairs) Get<QSlider>(pair.to).setEnabled(rightFree);
}

void CTaplineDlg::ShowValues() {
    if (Get<QCheckBox>(kLockCheck).isChecked()) CopyPositions(kLockedPairs);
    ShowReadouts(kReadouts);
}

void CTaplineDlg::WriteValues() {
    TaplineParameters& p = m_settings.parameters;
    p.dryGain = GainOf(Get<QSlider>(kDrySlider));
    p.leftEchoGain = GainOf(Get<QSlider>(kLeftGainSlider));
    p.leftDelayMs = InvertedValue(Get<QSlider>(kLeftDelaySlider).value(), kDelayMaximum);
    p.rightEchoGain = GainOf(Get<QSlider>(kRightGainSlider));
    p.rightDelayMs = InvertedValue(Get<QSlider>(kRightDelaySlider).value(), kDelayMaximum);
    p.lockChannels = Get<QCheckBox>(kLockCheck).isChecked() ? 1 : 0;
    p.invertLeft = Get<QCheckBox>(kInvertLeftCheck).isChecked() ? 1 : 0;
    p.invertRight = Get<QCheckBox>(kInvertRightCheck).isChecked() ? 1 : 0;
    p.muteDry = Get<QCheckBox>(kMuteCheck).isChecked() ? 1 : 0;
}

QWidget* CreatePluginSettingsWindow(QWidget* parent, CPluginSettings& settings) {
    if (!CanCreateSettingsWindow(parent)) return nullptr;
    return new CTaplineDlg(parent, static_cast<CTaplineSettings&>(settings));
}
