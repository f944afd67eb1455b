// CTessalyDlg, page 2: command routing, play and stop, repeat, fades, volume and zoom.
#include "app/main_window.h"

#include <algorithm>

#include "app/settings.h"
#include "app/tessaly_app.h"
#include "engine/render_chain.h"
#include "skin/buttons.h"
#include "skin/control_records.h"
#include "skin/menu.h"
#include "skin/sliders.h"

namespace {

constexpr int kZoomMenuFirst = 1001;
constexpr int kZoomMenuLast = 1019;
constexpr int kPluginSettingsChanged = 0x400;

}  // namespace

bool CTessalyDlg::OnPage2Command(int commandId, int code) {
    switch (commandId) {
        case IDC_PAGE2_WAVE:
            if (code == CWaveFormKel::kNotifyChanged) {
                ShowTimes();
                if (const CWaveFormKel* wave = WaveEditor())
                    SetCaption(IDC_PAGE2_ZOOM_MENU, QStringLiteral("1:%1").arg(wave->GetZoom()));
            } else if (code == CWaveFormKel::kNotifyPlaybackEnded) {
                OnPlaybackEnded();
            }
            return true;
        case IDC_PAGE2_TIME_START:
        case IDC_PAGE2_TIME_LEN:
        case IDC_PAGE2_TIME_END:
            if (code == SCN_COMMIT) ApplyTypedTimes(commandId);
            return true;
        case IDC_PAGE2_VOLUME_SLIDER:
            if (code == SCN_HSCROLL || code == SCN_VSCROLL) OnVolumeSlider();
            return true;
        default: break;
    }
    if (code != SCN_CLICKED) return false;
    switch (commandId) {
        case IDC_PAGE2_PLAY: TogglePlay(); return true;
        case IDC_PAGE2_REPEAT: SetRepeat(); return true;
        case IDC_PAGE2_ZOOM_IN: ZoomIn(); return true;
        case IDC_PAGE2_ZOOM_OUT: ZoomOut(); return true;
        case IDC_PAGE2_ZOOM_FIT: ZoomFit(); return true;
        case IDC_PAGE2_ZOOM_MENU: ShowZoomMenu(); return true;
        case IDC_PAGE2_TIME_START_UP:
        case IDC_PAGE2_TIME_START_DOWN:
        case IDC_PAGE2_TIME_LEN_UP:
        case IDC_PAGE2_TIME_LEN_DOWN:
        case IDC_PAGE2_TIME_END_UP:
        case IDC_PAGE2_TIME_END_DOWN: NudgeTime(commandId); return true;
        case IDC_PAGE2_FADE_IN:
        case IDC_PAGE2_FADE_OUT: SetFade(commandId); return true;
        case IDC_PAGE2_EFFECT1:
        case IDC_PAGE2_EFFECT2:
        case IDC_PAGE2_EFFECT3: ToggleSlotEffect(commandId); return true;
        case IDC_PAGE2_EFFECT1_SET:
        case IDC_PAGE2_EFFECT2_SET:
        case IDC_PAGE2_EFFECT3_SET: ChooseSlotEffect(commandId); return true;
        default: return false;
    }
}

void CTessalyDlg::onCommand(int id, int code) {
    if (id != 0 || code != kPluginSettingsChanged || m_effectSettingsNode == nullptr) return;
    // The changed settings take effect with a fresh stream of the effect.
    if (m_effectSettingsNode->IsChecked()) m_app.EffectTree().UpdateEffect(m_effectSettingsNode);
}

void CTessalyDlg::SetPopupChooser(PopupChooser chooser) { m_popupChooser = std::move(chooser); }

int CTessalyDlg::ChoosePopup(CSCMenu& menu, int anchorId) {
    // Every page has its own instance of the common buttons: the one on the shown page.
    const std::vector<CSkinBase*> buttons = Instances<CSkinBase>(anchorId);
    const auto shown = std::find_if(buttons.begin(), buttons.end(), [](const CSkinBase* b) { return b->isVisible(); });
    menu.SetPopupAnchor(shown != buttons.end() ? *shown : m_skin.GetControl(anchorId));
    return m_popupChooser ? m_popupChooser(menu) : menu.TrackPopupMenu();
}

void CTessalyDlg::TogglePlay() {
    CWaveFormKel* wave = WaveEditor();
    CSCButton* play = Control<CSCButton>(IDC_PAGE2_PLAY);
    if (wave == nullptr) return;
    if (wave->IsPlaying()) {
        wave->StopPlayback();
        if (play) play->SetCheck(0);
        return;
    }
    const bool started = wave->StartPlayback();
    if (play) play->SetCheck(started ? 1 : 0);
}

void CTessalyDlg::OnPlaybackEnded() {
    for (CSCButton* play : Instances<CSCButton>(IDC_PAGE2_PLAY)) play->SetCheck(0);
}

void CTessalyDlg::SetRepeat() {
    const CSCButton* repeat = Control<CSCButton>(IDC_PAGE2_REPEAT);
    if (repeat == nullptr) return;
    const bool on = repeat->GetCheck() != 0;
    m_app.Player().SetRepeat(on);
    WriteProfileInt("General", "Loop", on ? 1 : 0);
}

void CTessalyDlg::SetFade(int commandId) {
    const CSCButton* check = Control<CSCButton>(commandId);
    CWaveFormKel* wave = WaveEditor();
    if (check == nullptr || wave == nullptr) return;
    const bool on = check->GetCheck() != 0;
    if (commandId == IDC_PAGE2_FADE_IN) {
        WriteProfileInt("General", "FadeIn", on ? 1 : 0);
        wave->SetFadeIn(on);
    } else {
        WriteProfileInt("General", "FadeOut", on ? 1 : 0);
        wave->SetFadeOut(on);
    }
}

void CTessalyDlg::OnVolumeSlider() {
    const CSCSlider* slider = Control<CSCSlider>(IDC_PAGE2_VOLUME_SLIDER);
    if (slider == nullptr) return;
    const int position = slider->GetPos();
    m_app.Volume().SetVolume(position);
    SetCaption(IDC_PAGE2_VOLUME_INFO, QString::fromStdString(VolumeLabel(position)));
}

void CTessalyDlg::ZoomIn() {
    const CWaveFormKel* wave = WaveEditor();
    if (wave != nullptr && wave->SteppedZoom(-1) != wave->GetZoom()) ApplyZoom(wave->SteppedZoom(-1));
}

void CTessalyDlg::ZoomOut() {
    const CWaveFormKel* wave = WaveEditor();
    if (wave != nullptr && wave->SteppedZoom(1) != wave->GetZoom()) ApplyZoom(wave->SteppedZoom(1));
}

void CTessalyDlg::ZoomFit() {
    CWaveFormKel* wave = WaveEditor();
    if (wave != nullptr) ApplyZoom(wave->ZoomFit());
}

void CTessalyDlg::ShowZoomMenu() {
    const CWaveFormKel* wave = WaveEditor();
    if (wave == nullptr) return;
    CSCMenu menu(this);
    int64_t length = wave->GetProjectLength();
    const int64_t width = wave->width();
    uint32_t zoom = 1;
    for (int id = kZoomMenuFirst; id <= kZoomMenuLast; ++id, zoom *= 2) {
        menu.AppendMenu(zoom == wave->GetZoom() ? CSCMenu::MF_CHECKED : CSCMenu::MF_STRING, id,
                        QStringLiteral("1 : %1").arg(zoom));
        length /= 2;
        if (2 * length <= width) break;
    }
    const int chosen = ChoosePopup(menu, IDC_PAGE2_ZOOM_MENU);
    if (chosen >= kZoomMenuFirst && chosen <= kZoomMenuLast) ApplyZoom(1u << (chosen - kZoomMenuFirst));
}

void CTessalyDlg::ApplyZoom(uint32_t zoom) {
    SetCaption(IDC_PAGE2_ZOOM_MENU, QStringLiteral("1:%1").arg(zoom));
    CWaveFormKel* wave = WaveEditor();
    // The selection, or else the play cursor, stays in view.
    if (wave != nullptr && wave->GetZoom() != zoom) wave->ZoomKeepingInView(zoom);
}
