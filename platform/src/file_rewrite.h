// Whole-file reads and locked, atomic rewrites of small text files (INI files, the key
// store).
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

inline constexpr size_t kMaxTextFileBytes = size_t{64} << 20;

// The file's bytes; nothing when it is missing, not a regular file, unreadable or larger
// than kMaxTextFileBytes.
std::optional<std::string> ReadTextFile(const std::string& path);

// Read-modify-write of the file at path under an exclusive flock on lockPath (which may be
// path itself). The lock is re-taken when the locked file was replaced meanwhile, so it is
// always held on the file now at lockPath; it serialises every writer of the file, in this
// process or another. edit receives the current text (empty for a missing file) and returns
// whether it changed it; a changed text goes to a temporary file beside path, keeps the old
// file's mode, is flushed to disk and renamed over path, so readers need no lock. A missing
// file is only created when createIfMissing; otherwise the call does nothing and returns
// true. True when the text was unchanged or written.
bool RewriteFile(const std::string& path, const std::string& lockPath, bool createIfMissing,
                 const std::function<bool(std::string& text)>& edit);

// Creates the folder and its missing parents (mode 0700). True when it exists afterwards.
bool MakeFolders(const std::string& folder);
