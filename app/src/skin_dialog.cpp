// CSkinDialog: a modal dialog built from its skin section for each run.
#include "app/skin_dialog.h"

#include "app/program.h"
#include "app/system_message_box.h"
#include "audiosvc/audiosvc.h"

CSkinDialog::CSkinDialog(QWidget* parent, const _CONTROL_INFO_STRUCT_* table, std::string section)
    : CSCScaleDialog(parent), m_skin(this, this, table, std::move(section)) {
    setWindowTitle(QString::fromUtf8(kApplicationName));
}

CSkinDialog::~CSkinDialog() = default;

int CSkinDialog::exec() {
    int result;
    if (const std::optional<int> ended = OnInitDialog()) {
        setResult(*ended);
        result = *ended;
    } else {
        // The window itself takes the keyboard first: Enter and Escape work at once, and no
        // control shows a focus ring until the user moves the focus.
        setFocus(Qt::OtherFocusReason);
        result = CSCScaleDialog::exec();
    }
    OnDestroy();
    return result;
}

std::optional<int> CSkinDialog::OnInitDialog() {
    m_mainPanel = m_skin.GetPanel("MainPanel", WS_CHILD | WS_VISIBLE);
    if (m_skin.LoadSkin()) return std::nullopt;
    ShowSystemMessageBox(QStringLiteral("Can't load skin "), MB_OK, {}, parentWidget());
    return IDCANCEL;
}

void CSkinDialog::reject() { done(IDCANCEL); }

void CSkinDialog::OnDestroy() { m_skin.Reset(); }

bool CSkinDialog::OnCommand(int, int) { return false; }

void CSkinDialog::OnSkinLoaded() {
    if (m_mainPanel) FitToPanel(m_mainPanel->GetInitialSize());
}

void CSkinDialog::FitToPanel(const QSize& size) {
    resize(size);
    if (!m_mainPanel) return;
    CDataSource& background = m_mainPanel->GetDataSource();
    const QRegion shape = background.GetFrameRgn(0, size);
    background.CloseHandle();
    m_mainPanel->setGeometry(QRect(QPoint(0, 0), size));
    SetWindowRgn(shape);
}

bool CSkinDialog::event(QEvent* event) {
    if (event->type() == SkinCommandEvent::Type()) {
        auto* command = static_cast<SkinCommandEvent*>(event);
        command->result = OnCommand(command->CommandId(), command->Code()) ? 1 : 0;
        return true;
    }
    return CSCScaleDialog::event(event);
}
