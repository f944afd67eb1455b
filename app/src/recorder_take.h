// The recorder's take: the captured PCM in a temporary file "qorec<n>.tmp" (mode 0600,
// created new), deleted when the take is discarded or the owner goes.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

#include "engine/engine.h"

// Threads: the capture worker appends, the playback feeder reads, the user-interface thread
// creates, rewinds, reads (to save) and discards; the dialog stops the engines before it
// creates or discards. m_lock guards m_file, m_size and m_readPosition, so an append never
// meets a rewind or a read half-way. Reads use their own position (pread), never the
// descriptor's offset that appends move.
class RecorderTake {
public:
    enum class AppendResult { Appended, NoTake, Failed };

    RecorderTake() = default;
    RecorderTake(const RecorderTake&) = delete;
    RecorderTake& operator=(const RecorderTake&) = delete;

    // Discards any take and creates an empty one; false when no file could be created.
    bool Create();
    // Closes and deletes the file.
    void Discard();
    bool Exists() const;
    std::string Path() const;
    uint64_t Size() const;

    // Adds the bytes at the end. A write that fails (a full disk) is cut back, so the take
    // always ends on the last complete append.
    AppendResult Append(const void* data, uint32_t bytes);
    // Reads start again from the beginning.
    void Rewind();
    // Reads up to bytes from the read position and moves it on; 0 at the end, nothing on a
    // read error or without a take.
    std::optional<uint32_t> Read(void* buffer, uint32_t bytes);

private:
    mutable std::mutex m_lock;
    TempFile m_file;
    uint64_t m_size = 0;
    uint64_t m_readPosition = 0;
};
