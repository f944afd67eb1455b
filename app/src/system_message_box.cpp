// The platform's standard message box, for what the skinned dialog does not show.
#include "app/system_message_box.h"

#include <QMessageBox>

#include <array>
#include <utility>

#include "app/program.h"
#include "audiosvc/audiosvc.h"

namespace {

using Buttons = QMessageBox::StandardButtons;

Buttons ButtonsOfType(uint32_t type) {
    switch (type & MB_TYPEMASK) {
        case MB_OKCANCEL: return QMessageBox::Ok | QMessageBox::Cancel;
        case MB_ABORTRETRYIGNORE: return QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore;
        case MB_YESNOCANCEL: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        case MB_YESNO: return QMessageBox::Yes | QMessageBox::No;
        case MB_RETRYCANCEL: return QMessageBox::Retry | QMessageBox::Cancel;
        case MB_CLOSE: return QMessageBox::Close;
        default: return QMessageBox::Ok;
    }
}

QMessageBox::Icon IconOfType(uint32_t type) {
    switch (type & MB_ICONMASK) {
        case MB_ICONHAND: return QMessageBox::Critical;
        case MB_ICONQUESTION: return QMessageBox::Question;
        case MB_ICONEXCLAMATION: return QMessageBox::Warning;
        case MB_ICONINFORMATION: return QMessageBox::Information;
        default: return QMessageBox::NoIcon;
    }
}

int ResultOfButton(int button) {
    static constexpr std::array<std::pair<QMessageBox::StandardButton, int>, 8> kResults{{
        {QMessageBox::Ok, IDOK},
        {QMessageBox::Cancel, IDCANCEL},
        {QMessageBox::Abort, IDABORT},
        {QMessageBox::Retry, IDRETRY},
        {QMessageBox::Ignore, IDIGNORE},
        {QMessageBox::Yes, IDYES},
        {QMessageBox::No, IDNO},
        {QMessageBox::Close, IDCLOSE},
    }};
    for (const auto& [standard, result] : kResults)
        if (button == standard) return result;
    return IDCANCEL;
}

}  // namespace

int ShowSystemMessageBox(const QString& text, uint32_t type, const QString& caption, QWidget* parent) {
    QMessageBox box(IconOfType(type), caption.isEmpty() ? QString::fromUtf8(kApplicationName) : caption, text,
                    ButtonsOfType(type), parent);
    return ResultOfButton(box.exec());
}
