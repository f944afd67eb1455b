// CTessalyDlg: the keyboard. Page 2's shortcuts (Space plays and stops, Home and End move
// the play cursor, Ctrl+plus, Ctrl+minus and Ctrl+0 zoom) and where the focus goes when a
// page changes.
#include "app/main_window.h"

#include <QKeySequence>
#include <QShortcut>

#include <algorithm>

#include "engine/render_chain.h"
#include "skin/buttons.h"
#include "skin/panels.h"
#include "skin/skin_base.h"

void CTessalyDlg::InstallPage2Keys() {
    CAutoPanelCaption* page = m_pages[1];
    if (page == nullptr) return;
    // The shortcuts belong to the page: they work while it shows, wherever the focus is on
    // it, except that a text box keeps the keys it types or moves its cursor with (Space,
    // Home, End), and a slider or scroll bar its Home and End.
    auto add = [&](const QList<QKeySequence>& keys, void (CTessalyDlg::*action)()) {
        auto* shortcut = new QShortcut(page);
        shortcut->setKeys(keys);
        shortcut->setContext(Qt::WindowShortcut);
        shortcut->setAutoRepeat(false);
        connect(shortcut, &QShortcut::activated, this, action);
    };
    add({QKeySequence(Qt::Key_Space)}, &CTessalyDlg::TogglePlay);
    add({QKeySequence(Qt::Key_Home)}, &CTessalyDlg::MovePlayCursorToStart);
    add({QKeySequence(Qt::Key_End)}, &CTessalyDlg::MovePlayCursorToEnd);
    add({QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)}, &CTessalyDlg::ZoomIn);
    add({QKeySequence(Qt::CTRL | Qt::Key_Minus)}, &CTessalyDlg::ZoomOut);
    add({QKeySequence(Qt::CTRL | Qt::Key_0)}, &CTessalyDlg::ZoomFit);
}

void CTessalyDlg::MovePlayCursorToStart() { MovePlayCursor(false); }
void CTessalyDlg::MovePlayCursorToEnd() { MovePlayCursor(true); }

void CTessalyDlg::MovePlayCursor(bool toEnd) {
    CWaveFormKel* wave = WaveEditor();
    if (wave == nullptr) return;
    int64_t start = wave->GetStartMarker();
    int64_t end = wave->GetEndMarker();
    if (end < start) std::swap(start, end);
    if (start == end) {
        start = 0;
        end = wave->Timeline().TracksEnd();
    }
    // A preview that plays goes on from the new place.
    const bool playing = wave->IsPlaying();
    if (playing) wave->StopPlayback();
    wave->SetPlayPosition(toEnd ? end : start);
    wave->Refresh();
    if (playing) TogglePlay();
}

bool CTessalyDlg::FocusRingShowing() const {
    for (const QWidget* widget = focusWidget(); widget != nullptr && widget != this; widget = widget->parentWidget())
        if (const auto* control = qobject_cast<const CSkinBase*>(widget))
            return control->FocusCameByKeyboard() || control->focusProxy() != nullptr;
    return false;
}

void CTessalyDlg::FocusPageStart(bool showRing) {
    // The page's way on: Continue, or Save on the last page; while Save waits for a
    // destination, the button that chooses one. Never the logo or a text.
    const int ways[] = {m_page == 2 ? IDC_PAGE3_SEND : IDC_COMMON_CONTINUE, IDC_PAGE3_BROWSE};
    for (const int way : ways)
        for (CSCButton* button : Instances<CSCButton>(way))
            if (button->parentWidget() == m_pages[m_page] && button->isVisibleTo(this) && button->isEnabled()) {
                button->TakeFocus(showRing);
                return;
            }
}
