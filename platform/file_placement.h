// Putting a finished file in place without ever leaving a half-written one. The content goes
// to a new hidden file beside the target, which is flushed to disk, given its permissions and
// renamed over the target; the folder is flushed too, so the new name survives a power loss.
// Any failure removes the hidden file, and an existing target is then as it was.
#pragma once

#include <sys/types.h>

#include <functional>
#include <optional>
#include <string>

enum class PlaceResult { Placed, Exists, Cancelled, Failed };

struct PlaceOutcome {
    PlaceResult result = PlaceResult::Failed;
    // For Failed: what went wrong, as "<what>: <system error>".
    std::string error;

    explicit operator bool() const { return result == PlaceResult::Placed; }
};

struct PlaceOptions {
    // An existing target is replaced; otherwise the placement ends with Exists and the
    // target is kept (checked at the rename itself, so a file that appears meanwhile counts).
    bool replace = false;
    // The placed file's permissions; by default what any new file gets (0666 less the umask).
    std::optional<mode_t> mode;
    // Asked between the steps (and between the blocks of a copy): true ends the placement
    // with Cancelled.
    std::function<bool()> cancelled;
};

// write fills the hidden file through its descriptor (open for reading and writing, empty)
// or through its path, which ends with the target's extension so that a writer choosing the
// file type by the extension can open it itself; false fails the placement.
using PlaceWriter = std::function<bool(int fd, const std::string& hiddenPath)>;
PlaceOutcome PlaceFile(const std::string& target, const PlaceOptions& options, const PlaceWriter& write);

// Places a copy of the file at source.
PlaceOutcome PlaceCopy(const std::string& source, const std::string& target, const PlaceOptions& options);

// The folder a path lands in ("." for a bare name, "/" for a name in the root).
std::string FolderOfPath(const std::string& path);
