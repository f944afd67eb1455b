// Sending: the checks every way shares, then the way's own sending.
#include "phonelink/send.h"

#include <QUrl>

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "phonelink/src/gs_connect.h"
#include "phonelink/src/kde_connect.h"
#include "phonelink/src/outbox.h"
#include "phonelink/src/session_bus.h"
#include "phonelink/src/usb_copy.h"
#include "platform/unique_fd.h"

namespace {

// A plain file name: not empty, not "." or "..", without '/' or NUL.
bool IsPlainFileName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
           name.find('\0') == std::string::npos;
}

bool CanRead(const std::string& file, std::string& error) {
    const UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (!fd || ::fstat(fd.get(), &info) != 0) {
        error = "The ringtone file could not be read: " + std::string(std::strerror(errno)) + ".";
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = "The ringtone file could not be read: " + file + " is not a file.";
        return false;
    }
    return true;
}

// KDE Connect and GSConnect: the copy in the outbox goes by its URL.
SendResult ShareOverBus(const SendRequest& request, std::string& error) {
    const std::string copy = StageInOutbox(request.file, request.fileName, error);
    if (copy.empty()) return SendResult::Failed;
    const QString url = QUrl::fromLocalFile(QString::fromStdString(copy)).toString(QUrl::FullyEncoded);
    SessionBus bus;
    return request.phone.way == PhoneWay::KdeConnect ? SendOverKdeConnect(bus, request.phone, url, error)
                                                     : SendOverGsConnect(bus, request.phone, url, error);
}

}  // namespace

SendResult SendToPhone(const SendRequest& request, const SendProgress& progress, std::string& error) {
    error.clear();
    if (!IsPlainFileName(request.fileName)) {
        error = "\"" + request.fileName + "\" cannot be the ringtone's name on the phone.";
        return SendResult::Failed;
    }
    if (!CanRead(request.file, error)) return SendResult::Failed;
    switch (request.phone.way) {
        case PhoneWay::Usb: return CopyToStorage(request, progress, error);
        case PhoneWay::KdeConnect:
        case PhoneWay::GsConnect: return ShareOverBus(request, error);
        case PhoneWay::Bluetooth: break;
    }
    error = "Bluetooth phones are sent to through the Bluetooth upload, not here.";
    return SendResult::Failed;
}
