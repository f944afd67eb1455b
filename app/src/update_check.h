// The update checker: asks the address configured in the settings (section "Update", value
// "Address", an http or https address) for an update notice and tells the user whether a
// newer version of the program exists.
//
// The update notice is a UTF-8 text of at most 64 KiB with one "key=value" per line:
//   version=1.2.0                    the newest version: numbers separated by dots (required)
//   page=https://example.org/get     where to get it: an http or https address (optional)
// Spaces around keys and values and a trailing carriage return are ignored, as are blank
// lines, lines starting with '#' or ';', unknown keys and a byte order mark; the first
// "version" and the first "page" count. A page that is not an http or https address is
// ignored. Anything else (no version, a malformed version, text that is not UTF-8) is not an
// update notice.
#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class QWidget;
class IProgress;

inline constexpr std::chrono::milliseconds kUpdateCheckTimeout{10000};

// Reads the address from the settings, asks it behind a modal wait the user can cancel
// (abandoned after the timeout) and shows the result in the skinned message box; "Open
// Page" of a newer version opens its page. Hiding or destroying the window while the check
// runs cancels it quietly. The window may be null.
void CheckForUpdate(QWidget* window, std::chrono::milliseconds timeout = kUpdateCheckTimeout);

// ---- the parts of a check
namespace updatecheck {

inline constexpr qint64 kMaxNoticeBytes = 64 * 1024;

// update_check_notice.cpp
struct Notice {
    QString version;
    QUrl page;  // empty when the notice names none (or no usable one)
};
std::optional<Notice> ParseNotice(const QByteArray& body);
// Numbers separated by single dots: "1", "1.10.0".
bool IsVersion(const QString& text);
// Negative, zero or positive as a is older than, the same as or newer than b; part by part
// numerically, a missing part counting as 0 ("1.2" equals "1.2.0"). Both must be versions.
int CompareVersions(const QString& a, const QString& b);
// An absolute http or https address with a host.
bool IsWebAddress(const QUrl& address);

// update_check_fetch.cpp
struct FetchResult {
    enum Status { kAnswered, kFailed, kCancelled };
    Status status = kCancelled;
    QByteArray body;  // when answered: the whole body, at most kMaxNoticeBytes
    QString reason;   // when failed: short, for the user
};
// Asks the address with a GET on the calling thread's event loop while the front runs
// modally: the request starts once the front runs, its percentage follows the download and
// the front ends with 1 (answered), 2 (cancelled) or 3 (failed). The front's cancel request,
// stillWanted() turning false or the front ending on its own cancel the request; no answer
// within the timeout fails with "timed out". A status other than 200 or a body over
// kMaxNoticeBytes fails; no more than that is read.
FetchResult Fetch(const QUrl& address, std::chrono::milliseconds timeout, IProgress& front,
                  const std::function<bool()>& stillWanted);

// update_check_notice.cpp: what the user is told about a finished (not cancelled) check.
struct Message {
    std::string text;
    uint32_t type = 0;  // message box type bits
    QUrl page;          // opened by the box's first button ("Open Page") when set
};
Message ResultMessage(const FetchResult& result, const QString& ownVersion);

}  // namespace updatecheck
