// A tag handle: the texts of a file's tags, read when the handle is opened, handed out
// with the two-pass protocol of QoTagInfo.
#pragma once

#include <array>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "contracts/provider_api.h"
#include "provider/src/handle_table.h"

class TagSet : public Resource {
public:
    static constexpr int kEntries = 16;

    explicit TagSet(const std::vector<std::string>& entries);

    // Reads the tags of an audio file (format and stream metadata); null when it is not
    // a readable media file.
    static std::shared_ptr<TagSet> FromFile(const std::string& path);

    // For every entry with a null text: sets its capacity in chars, terminator included,
    // or -1 when the entry is absent. For every entry with a text: copies at most
    // capacity - 1 chars and a terminator (an absent entry gives an empty string; a
    // capacity below 1 writes nothing).
    void Fill(QoTagInfo& info) const;

private:
    std::array<std::string, kEntries> entries_;  // empty = absent; set once, read-only after
};
