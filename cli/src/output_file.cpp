#include "cli/src/output_file.h"

#include <unistd.h>

#include "cli/src/commands.h"
#include "cli/src/interrupt.h"
#include "platform/file_placement.h"
#include "platform/files.h"

namespace {

std::string ExistsText(const std::string& target) { return target + " exists (use --force to replace it)"; }

}  // namespace

bool CheckTarget(const std::string& target, bool replace) {
    if (FolderExists(target)) {
        PrintError(std::string(kCantSaveText) + ": " + target + " is a folder");
        return false;
    }
    if (!FolderExists(FolderOfPath(target))) {
        PrintError(std::string(kCantSaveText) + ": no folder " + FolderOfPath(target));
        return false;
    }
    if (!replace && ::access(target.c_str(), F_OK) == 0) {
        PrintError(ExistsText(target));
        return false;
    }
    return true;
}

bool PlaceOutput(const std::string& source, const std::string& target, bool replace, std::string& error,
                 bool interruptible) {
    PlaceOptions options;
    options.replace = replace;
    if (interruptible) options.cancelled = InterruptRequested;
    const PlaceOutcome outcome = PlaceCopy(source, target, options);
    switch (outcome.result) {
        case PlaceResult::Placed: return true;
        case PlaceResult::Exists: error = ExistsText(target); break;
        case PlaceResult::Cancelled: error = "interrupted"; break;
        case PlaceResult::Failed: error = outcome.error; break;
    }
    return false;
}
