#include "phonelink/src/outbox.h"

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>

#include "platform/file_placement.h"

namespace fs = std::filesystem;

namespace {

constexpr auto kKeptFor = std::chrono::hours(24);

// Removes the outbox's folders older than kKeptFor. Best effort: a folder that cannot be
// removed now is tried again next time.
void RemoveOldCopies(const fs::path& outbox) {
    std::error_code error;
    const auto now = fs::file_time_type::clock::now();
    for (fs::directory_iterator entry(outbox, error), end; !error && entry != end; entry.increment(error)) {
        std::error_code entryError;
        const auto written = entry->last_write_time(entryError);
        if (!entryError && now - written > kKeptFor) fs::remove_all(entry->path(), entryError);
    }
}

}  // namespace

std::string OutboxFolder() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache != nullptr && cache[0] == '/') return std::string(cache) + "/morvane/outbox";
    const char* home = std::getenv("HOME");
    return std::string(home != nullptr ? home : "") + "/.cache/morvane/outbox";
}

std::string StageInOutbox(const std::string& file, const std::string& fileName, std::string& error) {
    static std::atomic<unsigned> counter{0};
    const fs::path outbox = OutboxFolder();
    std::error_code made;
    fs::create_directories(outbox, made);
    RemoveOldCopies(outbox);
    const auto stamp =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    const fs::path folder =
        outbox / (std::to_string(stamp) + "-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    if (!fs::create_directory(folder, made) || made) {
        error = "The ringtone could not be prepared for sending (" + folder.string() + ": " + made.message() + ").";
        return {};
    }
    const std::string copy = (folder / fileName).string();
    const PlaceOutcome placed = PlaceCopy(file, copy, {});
    if (placed) return copy;
    std::error_code removed;
    fs::remove_all(folder, removed);
    error = "The ringtone could not be prepared for sending (" + placed.error + ").";
    return {};
}
