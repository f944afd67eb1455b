// morvane-cli phones and send: the phones reachable over USB, KDE Connect and GSConnect, and
// sending a file to one of them with progress on the terminal; an interrupt cancels and
// leaves nothing on the phone.
#include <QCoreApplication>

#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "cli/src/commands.h"
#include "cli/src/console_progress.h"
#include "cli/src/interrupt.h"
#include "cli/src/send_options.h"
#include "engine/progress.h"
#include "phonelink/phonelink.h"

namespace {

// The session bus needs the application object while phonelink talks to it.
class BusApplication {
public:
    BusApplication() {
        if (QCoreApplication::instance() == nullptr) app_ = std::make_unique<QCoreApplication>(argc_, argv_);
    }

private:
    int argc_ = 1;
    char name_[12] = "morvane-cli";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QCoreApplication> app_;
};

void PrintHints(const PhoneScan& scan) {
    for (const WayState& way : scan.ways)
        if (!way.available && !way.hint.empty()) std::fprintf(stderr, "  %s\n", way.hint.c_str());
}

}  // namespace

int RunPhones() {
    const BusApplication bus;
    const PhoneScan scan = ScanPhones();
    for (const Phone& phone : scan.phones)
        std::printf("%s\t%s\t%s\n", phone.id.c_str(), PhoneWayName(phone.way), phone.name.c_str());
    if (scan.phones.empty()) {
        std::fprintf(stderr, "No phone found\n");
        PrintHints(scan);
    }
    return kExitOk;
}

int RunSend(const SendOptions& options) {
    const BusApplication bus;
    if (!std::filesystem::is_regular_file(options.file)) {
        PrintError("cannot read " + options.file);
        return kExitFailed;
    }
    const PhoneScan scan = ScanPhones();
    const Phone* phone = nullptr;
    for (const Phone& candidate : scan.phones)
        if (candidate.id == options.to) phone = &candidate;
    if (phone == nullptr) {
        PrintError("no reachable phone is " + options.to + " (morvane-cli phones lists them)");
        return kExitFailed;
    }
    SendRequest request{*phone, options.file, std::filesystem::path(options.file).filename().string(),
                        ToneFolderOfKind(ToneKindName(options.kind)), options.replace};
    ConsoleProgressFactory progress(isatty(STDERR_FILENO) != 0);
    SendResult sent = SendResult::Failed;
    std::string error;
    {
        const std::unique_ptr<IProgress> run = progress.Create("Sending to " + phone->name, true);
        RunWithProgress(*run, [&](IProgress& worker) {
            sent = SendToPhone(
                request,
                [&worker](uint64_t done, uint64_t total) {
                    if (total > 0) worker.SetPercent(static_cast<uint32_t>(done * 100 / total));
                    return !worker.StopRequested();
                },
                error);
            return sent == SendResult::Cancelled ? kProgressCancelled : kProgressCompleted;
        });
    }
    switch (sent) {
        case SendResult::Sent: std::printf("Sent to %s\n", phone->name.c_str()); return kExitOk;
        case SendResult::Cancelled: return FailureExit();
        case SendResult::Exists:
            PrintError(request.fileName + " is already on " + phone->name + " (--replace replaces it)");
            return kExitFailed;
        case SendResult::Full: PrintError("there is no room for the ringtone on " + phone->name); return kExitFailed;
        default: PrintError("error sending file: " + error); return kExitFailed;
    }
}
