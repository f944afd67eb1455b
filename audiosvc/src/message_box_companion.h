// The entry point of the message dialog library (libaudiosvc_msgbox.so), which
// libaudiosvc.so loads the first time it must show its own dialog. Keeping the dialog
// there keeps libaudiosvc.so itself free of Qt.
#pragma once

#include <cstdint>

class QWidget;
class QIcon;

namespace audiosvc {

inline constexpr char kMessageBoxLibrary[] = "libaudiosvc_msgbox.so";
inline constexpr char kMessageBoxEntry[] = "RunMessageBoxDialog";

// Runs the dialog modally on the application's thread and returns its result, or 0 when
// the process has no QApplication to show it with.
using RunMessageBoxDialogFn = int (*)(uint32_t type, const char* caption, const char* text, const QIcon* icon,
                                      QWidget* parent);

}  // namespace audiosvc
