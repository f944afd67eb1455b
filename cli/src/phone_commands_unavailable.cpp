// morvane-cli phones and send in a build without the desktop libraries (Qt D-Bus), which
// phonelink needs.
#include "cli/src/commands.h"
#include "cli/src/send_options.h"

namespace {

int Unavailable() {
    PrintError("this morvane-cli was built without phone support (it needs Qt D-Bus)");
    return kExitFailed;
}

}  // namespace

int RunPhones() { return Unavailable(); }

int RunSend(const SendOptions&) { return Unavailable(); }
