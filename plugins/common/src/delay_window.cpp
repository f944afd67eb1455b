// The delays' settings-window base: filling, read-outs, enable states, locked channels and
// the writes into the record.
#include "plugins/common/delay_window.h"

#include <QCheckBox>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>

#include <algorithm>
#include <utility>

int InvertedPercentPosition(double factor, int maximum) {
    return std::clamp(maximum - FactorToStored(factor, 100.0), 0, maximum);
}

int InvertedValue(int position, int maximum) { return maximum - position; }

int InvertedPosition(int value, int maximum) { return std::clamp(maximum - value, 0, maximum); }

CDelayDialog::CDelayDialog(QWidget* parent, const DialogTemplate& dialogTemplate, std::vector<DelaySlider> sliders,
                           std::vector<DelayCheckBox> checkBoxes, const DelayWindowLayout& layout)
    : CPluginSettingsDialog(parent, dialogTemplate),
      m_sliders(std::move(sliders)),
      m_checkBoxes(std::move(checkBoxes)),
      m_layout(layout) {
    Fill();
    for (const DelaySlider& slider : m_sliders)
        ConnectSlider(
            slider.slider, [this] { ShowValues(); }, [this] { Commit(); });
    for (const DelayCheckBox& box : m_checkBoxes)
        connect(&Get<QCheckBox>(box.id), &QCheckBox::clicked, this, [this, box] { OnCheckBox(box); });
}

void CDelayDialog::Fill() {
    const FillingScope filling(*this);
    for (const DelaySlider& slider : m_sliders) {
        auto& control = Get<CTrackSlider>(slider.slider);
        control.SetTrackRange(0, slider.maximum);
        control.setValue(slider.factor ? InvertedPercentPosition(slider.factor->get(), slider.maximum)
                                       : InvertedPosition(slider.milliseconds->get(), slider.maximum));
    }
    for (const DelayCheckBox& box : m_checkBoxes) Get<QCheckBox>(box.id).setChecked(box.flag->get() != 0);
    ApplyEnableStates();
    if (m_layout.writeSlidersAtOpening) WriteSliders();
    ShowReadouts();
}

void CDelayDialog::ApplyEnableStates() {
    Get<QSlider>(m_layout.drySlider).setEnabled(!Get<QCheckBox>(m_layout.muteCheck).isChecked());
    const bool rightFree = !Get<QCheckBox>(m_layout.lockCheck).isChecked();
    for (const LockedPair& pair : m_layout.lockedPairs) Get<QSlider>(pair.to).setEnabled(rightFree);
}

void CDelayDialog::ShowValues() {
    if (Get<QCheckBox>(m_layout.lockCheck).isChecked()) {
        for (const LockedPair& pair : m_layout.lockedPairs) {
            QSlider& to = Get<QSlider>(pair.to);
            const QSignalBlocker blocker(to);
            to.setValue(Get<QSlider>(pair.from).value());
        }
    }
    ShowReadouts();
}

void CDelayDialog::ShowReadouts() {
    for (const DelaySlider& slider : m_sliders) {
        const int value = InvertedValue(Get<QSlider>(slider.slider).value(), slider.maximum);
        Get<QLabel>(slider.label).setText(QString::asprintf(slider.factor ? "%i %%" : "%i ms", value));
    }
}

void CDelayDialog::WriteSliders() {
    for (const DelaySlider& slider : m_sliders) {
        const int value = InvertedValue(Get<QSlider>(slider.slider).value(), slider.maximum);
        if (slider.factor)
            *slider.factor = value / 100.0;
        else
            *slider.milliseconds = value;
    }
}

void CDelayDialog::Commit() {
    WriteSliders();
    if (m_layout.writeAllFlagsOnChange)
        for (const DelayCheckBox& box : m_checkBoxes) *box.flag = Get<QCheckBox>(box.id).isChecked() ? 1 : 0;
    NotifyChanged();
}

void CDelayDialog::OnCheckBox(const DelayCheckBox& box) {
    *box.flag = Get<QCheckBox>(box.id).isChecked() ? 1 : 0;
    ApplyEnableStates();
    ShowValues();
    Commit();
}
