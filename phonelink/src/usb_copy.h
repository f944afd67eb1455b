// Copying a tone into a USB storage's tone folder without ever leaving a partial file: the
// bytes go to a hidden file beside the target (".<name>.part"), which is renamed at the end.
// Storages that refuse the rename (some MTP backends) get the bytes straight under the final
// name instead, removed again when the copy fails or is cancelled.
#pragma once

#include <cstdint>
#include <string>

#include "phonelink/send.h"

SendResult CopyToStorage(const SendRequest& request, const SendProgress& progress, std::string& error);

// The copy straight to target (source open for reading, size bytes): Exists when target is
// there and replace is not set; with replace the old file is removed first.
SendResult CopyStraight(int source, uint64_t size, const std::string& target, bool replace,
                        const SendProgress& progress, std::string& error);
