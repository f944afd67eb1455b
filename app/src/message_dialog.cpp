// CMessageDlg: the skinned message box, and its registration with the audio service library.
#include "app/message_dialog.h"

#include <QApplication>
#include <QThread>

#include <algorithm>
#include <utility>

#include "app/control_tables.h"
#include "app/program.h"
#include "app/resources.h"
#include "app/system_message_box.h"
#include "audiosvc/audiosvc.h"
#include "skin/buttons.h"
#include "skin/panels.h"
#include "skin/skin_base.h"
#include "skin/statics.h"

namespace {

// The program's own button sets beside the system box's (the type's low four bits).
enum : uint32_t { kSetOpenFolderOk = 9, kSetOpenPageOk = 10 };

// A line of text wider than this is wrapped, so that a long message keeps the dialog on the
// screen; the dialog grows downwards instead.
constexpr int kMaxTextWidth = 560;

uint32_t ButtonSet(uint32_t type) { return type & MB_TYPEMASK; }

bool HasSkinnedLayout(uint32_t type) {
    switch (ButtonSet(type)) {
        case MB_OK:
        case MB_OKCANCEL:
        case MB_YESNO:
        case MB_RETRYCANCEL:
        case kSetOpenFolderOk:
        case kSetOpenPageOk: return true;
        default: return false;
    }
}

int IconOfType(uint32_t type) {
    const uint32_t icon = type & MB_ICONMASK;
    if (icon == 0 || icon == MB_ICONINFORMATION) return IDI_INFORMATION;
    if (icon <= MB_ICONEXCLAMATION) return IDI_WARNING;
    return 0;
}

int YesResult(uint32_t type) {
    switch (ButtonSet(type)) {
        case MB_RETRYCANCEL: return IDRETRY;
        case MB_YESNO: return IDYES;
        default: return IDOK;
    }
}

int NoResult(uint32_t type) {
    switch (ButtonSet(type)) {
        case MB_OK: return IDOK;
        case MB_YESNO: return IDNO;
        default: return IDCANCEL;
    }
}

// The captions of BUTTON_YES and BUTTON_NO; null keeps the table's "Yes" and "No".
std::pair<const char*, const char*> TwoButtonCaptions(uint32_t type) {
    switch (ButtonSet(type)) {
        case MB_OKCANCEL: return {"OK", "Cancel"};
        case MB_RETRYCANCEL: return {"Retry", "Cancel"};
        case kSetOpenFolderOk: return {"Open Folder", "OK"};
        case kSetOpenPageOk: return {"Open Page", "OK"};
        default: return {nullptr, nullptr};
    }
}

// The size the message takes in the text control: its lines as written, a line wider than
// the limit wrapped at word boundaries.
QSize MeasureText(CSCStatic& control, const QString& text) {
    const QSize extent = control.GetTextExtent(text);
    const int limit = std::max(kMaxTextWidth, control.contentsRect().width());
    if (extent.width() <= limit) return extent;
    control.SetWordWrap(true);
    return control.fontMetrics()
        .boundingRect(QRect(0, 0, limit, 1 << 20), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text)
        .size();
}

// Half the excess on each side, rounded up.
int Growth(int needed, int available) {
    const int excess = std::max(0, needed - available);
    return 2 * ((excess + 1) / 2);
}

}  // namespace

CMessageDlg::CMessageDlg(const QString& text, uint32_t type, const QString& caption, QWidget* parent)
    : CSkinDialog(parent, nullptr, {}),
      m_text(text),
      m_caption(caption.isEmpty() ? QString::fromUtf8(kApplicationName) : caption),
      m_type(type) {
    setWindowTitle(m_caption);
}

CMessageDlg::~CMessageDlg() = default;

int CMessageDlg::exec() {
    if (!HasSkinnedLayout(m_type)) return ShowSystemMessageBox(m_text, m_type, m_caption, parentWidget());
    return CSkinDialog::exec();
}

std::optional<int> CMessageDlg::OnInitDialog() {
    const bool oneButton = ButtonSet(m_type) == MB_OK;
    m_skin.SetControlTable(oneButton ? kMessageBox1Controls : kMessageBox2Controls,
                           oneButton ? "MESSAGEBOX_1BTN" : "MESSAGEBOX_2BTN");
    if (const std::optional<int> ended = CSkinDialog::OnInitDialog()) return ended;

    const auto [yesCaption, noCaption] = TwoButtonCaptions(m_type);
    if (yesCaption != nullptr)
        if (CSkinBase* yes = m_skin.GetControl(IDC_MSG_YES)) yes->SetWindowText(QString::fromUtf8(yesCaption));
    if (noCaption != nullptr)
        if (CSkinBase* no = m_skin.GetControl(IDC_MSG_NO)) no->SetWindowText(QString::fromUtf8(noCaption));

    m_icon = LoadIconResource(IconOfType(m_type));
    if (auto* icon = Control<CSCStatic>(IDC_MSG_ICON)) icon->SetIcon(m_icon, QSize(32, 32));
    SetDefaultButton(Control<CSCButton>(oneButton ? IDC_MSG_OK : IDC_MSG_YES));
    return std::nullopt;
}

void CMessageDlg::OnSkinLoaded() {
    CAutoPanelCaption* panel = MainPanel();
    if (panel == nullptr) return;
    QSize size = panel->GetInitialSize();
    if (auto* text = Control<CSCStatic>(IDC_MSG_TEXT)) {
        text->SetWindowText(m_text);
        const QSize extent = MeasureText(*text, m_text);
        const QSize client = text->contentsRect().size();
        size += QSize(Growth(extent.width(), client.width()), Growth(extent.height(), client.height()));
    }
    FitToPanel(size);
}

bool CMessageDlg::OnCommand(int commandId, int) {
    switch (commandId) {
        case IDC_MSG_OK: done(IDOK); return true;
        case IDC_MSG_YES: done(YesResult(m_type)); return true;
        case IDC_MSG_NO: done(NoResult(m_type)); return true;
        default: return false;
    }
}

void CMessageDlg::reject() { done(NoResult(m_type)); }

int SkinnedMessageBox(const char* text, uint32_t type, const char* caption, QWidget* parent) {
    auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (application == nullptr) return IDCANCEL;  // nothing to show it with: the careful answer
    const auto run = [&] {
        CMessageDlg dialog(QString::fromUtf8(text != nullptr ? text : ""), type,
                           QString::fromUtf8(caption != nullptr ? caption : ""),
                           parent != nullptr ? parent : QApplication::activeWindow());
        return dialog.exec();
    };
    if (QThread::currentThread() == application->thread()) return run();
    // Windows live on the user-interface thread: a message from another thread is shown there
    // while this thread waits for the answer.
    int result = IDCANCEL;
    QMetaObject::invokeMethod(application, run, Qt::BlockingQueuedConnection, &result);
    return result;
}

void InstallSkinnedMessageBox() { ReplaceSCMessageBox(&SkinnedMessageBox); }
