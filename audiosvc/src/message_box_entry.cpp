// The companion library's entry: runs CMessageBoxDlg for libaudiosvc.so's ShowMessageBox.
#include <type_traits>

#include <QApplication>
#include <QThread>

#include "message_box_companion.h"
#include "message_box_dialog.h"

namespace {

int RunModal(uint32_t type, const char* caption, const char* text, const QIcon* icon, QWidget* parent) {
    CMessageBoxDlg dialog(type, QString::fromUtf8(caption != nullptr ? caption : ""),
                          QString::fromUtf8(text != nullptr ? text : ""), icon,
                          parent != nullptr ? parent : QApplication::activeWindow());
    return dialog.exec();
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int RunMessageBoxDialog(uint32_t type, const char* caption,
                                                                          const char* text, const QIcon* icon,
                                                                          QWidget* parent) {
    static_assert(std::is_same_v<decltype(&RunMessageBoxDialog), audiosvc::RunMessageBoxDialogFn>);
    auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (application == nullptr) return 0;
    if (QThread::currentThread() == application->thread()) return RunModal(type, caption, text, icon, parent);
    // Widgets live on the application's thread: a message from another thread is shown
    // there while this thread waits for the answer.
    int result = 0;
    QMetaObject::invokeMethod(
        application, [&] { return RunModal(type, caption, text, icon, parent); }, Qt::BlockingQueuedConnection,
        &result);
    return result;
}
