// A stand-in for the program's waveform editor (kind 26) in the layout tests: it keeps the
// record the skin holder hands it and paints a sample waveform in the record's colours, so
// that a page of the main window can be checked and pictured without the editor.
#pragma once

#include "app/skin_holder.h"
#include "skin/skin.h"

class WaveStandIn final : public CSkinBase {
    Q_OBJECT
public:
    WaveStandIn(QWidget* parent, int windowId, uint32_t style);
    ~WaveStandIn() override;

    bool UseCustomSkin(const void* record) override;
    void OnSkinApplied() override { ++m_skinAppliedCount; }

    const SCWAVEFORMRES& Record() const { return m_record; }
    int SkinAppliedCount() const { return m_skinAppliedCount; }
    // The factory the holder is given.
    static CSkinBase* Create(QWidget* parent, int windowId, uint32_t style);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    SCWAVEFORMRES m_record;
    CDataSource m_ruler;
    int m_skinAppliedCount = 0;
};
