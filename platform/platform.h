// Thin platform layers the rest of the program is written against: ticks, files and
// temporary names, private-profile (INI) files and the registry-like key store.
// Free of Qt. Strings are UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// ---- time -------------------------------------------------------------------------------

// Milliseconds of a monotonic clock (the system's millisecond tick count).
uint32_t TickCountMs();

// ---- files and folders ------------------------------------------------------------------

// True when the path is not empty, exists and is not a folder.
bool FileExists(const std::string& path);
// True when the path (after removing one trailing slash) exists and is a folder.
bool FolderExists(const std::string& path);
// The folder of the running executable, without a trailing slash.
std::string ProgramFolder();
// The program's own files sit beside it in the build tree and in fixed places below the
// installation prefix when installed. These are the installed places, relative to the
// folder of the installed program (<prefix>/bin).
inline constexpr char kInstalledDataFolder[] = "../share/morvane";
inline constexpr char kInstalledPluginFolder[] = "../lib/morvane/plugins";
// "<programFolder>/<beside>", or "<programFolder>/<installed>" when only that one exists:
// a build tree always keeps to its own files, an installed program finds the installed ones.
std::string ProgramPlace(const std::string& programFolder, const std::string& beside, const std::string& installed);
// A data file or folder the program or a plug-in reads (Skins, Language, banners,
// plugins/info, appdatadefault.ini), given relative to the program's folder: beside the
// program, or below kInstalledDataFolder when installed.
std::string ProgramDataPath(const std::string& relative);
// $TMPDIR when it names a readable folder, else /tmp, else the program's folder;
// without a trailing slash.
std::string TempFolder();
// "<folder>/<prefix><n>.<ext>" in TempFolder(), n starting at the tick count and growing
// while a file of that name exists. Only the name is made; the caller creates the file.
std::string UniqueTempName(const std::string& prefix, const std::string& extension);
// The same rule in a given folder.
std::string UniqueNameIn(const std::string& folder, const std::string& prefix, const std::string& extension,
                         uint32_t firstNumber);
// Creates an empty file under the same rule, exclusively: another process that picked the same
// name between the check and the creation makes this take the next number, so no two callers
// ever share the file. The caller owns it (ordinary permissions: 0666 less the umask). Empty
// when the folder takes no new file.
std::string CreateUniqueFileIn(const std::string& folder, const std::string& prefix, const std::string& extension,
                               uint32_t firstNumber);

// ---- texts ------------------------------------------------------------------------------

// "MM:SS" under an hour, "HH:MM:SS" from one hour up.
std::string TimeText(uint32_t seconds);
// "N bytes" under 1024, else "%.2lf Kb." / "Mb." / "Gb." / "Tb.".
std::string SizeText(uint64_t bytes);

// Equality without regard to ASCII letter case (names of sections, keys, elements, tags).
inline bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

// ---- private-profile (INI) files --------------------------------------------------------
// Sections and keys are matched without regard to ASCII case, with surrounding blanks
// ignored; lines starting with ';' are comments. Files may use CRLF and start with a UTF-8
// byte order mark. Writing takes an exclusive lock on the file, rewrites it through a
// temporary file beside it and a rename (keeping its mode), so a file is never left
// half-written and concurrent writers do not lose each other's values. Every other line is
// kept as it was. Files larger than 64 MiB are treated as unreadable.

// Integer value (the string value as GetPrivateProfileString gives it): optional sign, then
// "0x"/"0X" and hexadecimal digits or decimal digits, up to the first other character,
// modulo 2^32; no digits gives 0. The default when the section, key or file is missing or
// the value is empty.
int GetPrivateProfileInt(const std::string& section, const std::string& key, int defaultValue,
                         const std::string& path);
// String value with surrounding blanks and one pair of enclosing quotes removed; at most
// capacity - 1 characters (capacity 0 gives ""). The default when missing.
std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue, const std::string& path,
                                    size_t capacity = 1024);
// Writes key=value in section (creating both and the file as needed). A null key deletes
// the section, a null value deletes the key. Returns false when the file cannot be written
// or a name or value cannot be represented (line breaks; ']' in a section; '=' in a key).
bool WritePrivateProfileString(const std::string& section, const std::optional<std::string>& key,
                               const std::optional<std::string>& value, const std::string& path);
// Binary value as two upper-case hex digits per byte followed by a one-byte checksum
// (the low byte of the sum of the bytes). Null data deletes the key.
bool WritePrivateProfileStruct(const std::string& section, const std::string& key, const void* data,
                               uint32_t size, const std::string& path);
// Reads exactly size bytes; false (and data untouched) on a missing key, a wrong length,
// a bad hex digit or a wrong checksum.
bool GetPrivateProfileStruct(const std::string& section, const std::string& key, void* data, uint32_t size,
                             const std::string& path);

// ---- the key store (registry) -----------------------------------------------------------
// Keys are paths such as "SOFTWARE\\Zo Ruvo\\Qo Morvane\\Qo Morvane 1.0" under a root.
// The current user's keys live in $XDG_CONFIG_HOME/morvane/registry.ini (else
// ~/.config/...); machine-wide keys are read from the first "morvane/registry.ini" found in
// $XDG_CONFIG_DIRS (else /etc/xdg) and are read-only. Values are integers, strings or raw bytes.
// The environment is read at every call. The file is an INI file with one section per key
// (key paths compare without regard to case) and one line per value:
//   name=dword:0000002a          RegType::Dword, the 32-bit value in hexadecimal
//   name=string:"text"           RegType::String, with \\ \" \n \r \t and \xHH escapes
//   name=hex:01FE00              RegType::Binary, two hex digits per byte
//   name=hex(0):01FE00           any other type (here None) with its number
// '%', '=', ';', '[', ']', control characters and blanks at either end of a key path or
// value name are written as %XX. Writers hold an flock on registry.ini.lock beside the
// file and replace it through a temporary file and a rename.

using HKEY = uintptr_t;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;

enum class RegType : uint32_t { None = 0, String = 1, Binary = 3, Dword = 4 };

struct RegValue {
    RegType type = RegType::None;
    std::vector<uint8_t> bytes;  // a String holds its UTF-8 text without a terminator
};

namespace keystore {
// Opens the key for writing: true when it exists in, or could be created in, the current
// user's store. Always false for the read-only machine-wide root.
bool CreateKey(HKEY root, const std::string& subkey);
// True when the key (or a key below it) exists.
bool KeyExists(HKEY root, const std::string& subkey);
// Writes one value, creating the key. False for a read-only root or a write failure.
bool SetValue(HKEY root, const std::string& subkey, const std::string& name, const RegValue& value);
// Writes several values of one key in a single rewrite of the store.
bool SetValues(HKEY root, const std::string& subkey,
               const std::vector<std::pair<std::string, RegValue>>& values);
// The value, or nothing when the key or value is absent or its text is malformed.
std::optional<RegValue> QueryValue(HKEY root, const std::string& subkey, const std::string& name);
// True when the value existed and was removed.
bool DeleteValue(HKEY root, const std::string& subkey, const std::string& name);

// Typed conveniences used by the program's profile.
bool SetInt(HKEY root, const std::string& subkey, const std::string& name, int32_t value);
int32_t GetInt(HKEY root, const std::string& subkey, const std::string& name, int32_t defaultValue);
bool SetString(HKEY root, const std::string& subkey, const std::string& name, const std::string& value);
std::string GetString(HKEY root, const std::string& subkey, const std::string& name,
                      const std::string& defaultValue);
}  // namespace keystore

// ==== sound ring and capture (SDL2 audio) ==================================================
// Thin layers over SDL2's audio devices: a looping output ring divided into parts with a
// notification per part (what the player needs), and a capture device that fills queued
// buffers in order (what the recorder needs). SDL's audio subsystem is initialised while any
// ring or capture device is open and shut down with the last one, so SDL_AUDIODRIVER and the
// disk driver's variables (SDL_DISKAUDIOFILE, SDL_DISKAUDIOFILEIN) are read at each first open.

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "contracts/wave_format.h"

// Manual-reset events sharing one lock, so that a thread can wait for whichever of them is
// signalled first (the parts of a sound ring and a stop request, say).
// mutex_ guards signalled_.
class EventSet {
public:
    explicit EventSet(size_t count) : signalled_(count, false) {}
    EventSet(const EventSet&) = delete;
    EventSet& operator=(const EventSet&) = delete;

    size_t Count() const { return signalled_.size(); }
    void Set(size_t index);
    void Reset(size_t index);
    void ResetAll();
    bool IsSet(size_t index) const;
    // Blocks until an event is signalled; returns the lowest signalled index.
    size_t WaitAny();
    // WaitAny, resetting the event it returns (a wait on auto-reset events).
    size_t TakeAny();
    // Blocks until this event is signalled.
    void Wait(size_t index);

private:
    // Waits until an event is signalled; returns the lowest signalled index.
    size_t WaitSignalled(std::unique_lock<std::mutex>& lock);

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<bool> signalled_;
};

// The part of a sound ring locked for writing: one region, or two when it wraps.
struct SoundRingSpan {
    uint8_t* region[2] = {nullptr, nullptr};
    uint32_t bytes[2] = {0, 0};
};

// A position notification: the event is signalled when playback leaves the byte at offset.
// The offset kSoundRingDeviceLost instead signals the event when the device goes away.
inline constexpr uint32_t kSoundRingDeviceLost = 0xFFFFFFFF;
struct SoundRingNotify {
    uint32_t offset;
    size_t event;  // index in the ring's event set
};

struct SoundRingPosition {
    uint32_t playCursor;    // the next byte the device takes
    uint32_t waitingBytes;  // bytes written from the play cursor on that the device has not taken
};

// A looping ring of 16-bit PCM in the program's memory, played on the default output device.
// SDL's audio callback takes the bytes waiting at the play cursor and signals the events of
// the offsets it passes. When nothing is waiting the device plays silence and the cursor
// stays, so a late writer causes a gap, never stale or unwritten sound. Everything behind the
// play cursor up to the end of the waiting bytes is free for the writer; the writer locks a
// span there, writes it and unlocks it, after which it waits to be played.
// All calls are thread-safe; Lock/Unlock are for one writer at a time.
class SoundRing {
public:
    // Opens the default output device for format (16-bit PCM) with a ring of ringBytes, a
    // whole number of frames. The ring starts stopped with nothing waiting. Null on failure,
    // with the reason in error.
    static std::unique_ptr<SoundRing> Open(const WAVEFORMATEX& format, uint32_t ringBytes, std::string& error);
    ~SoundRing();
    SoundRing(const SoundRing&) = delete;
    SoundRing& operator=(const SoundRing&) = delete;

    uint32_t Size() const;
    // Replaces the notification table. Only while stopped; the events must outlive the ring.
    bool SetNotificationPositions(EventSet& events, const std::vector<SoundRingNotify>& table);
    SoundRingPosition GetCurrentPosition() const;
    // Bytes the device has taken since the ring was opened.
    uint64_t PlayedBytes() const;
    // Locks bytes for writing at offset, which must be the end of the waiting bytes; bytes
    // must fit into the free space. False when they do not or a span is already locked.
    bool Lock(uint32_t offset, uint32_t bytes, SoundRingSpan& span);
    // Ends the lock: the span's bytes wait to be played.
    bool Unlock(const SoundRingSpan& span);
    // Starts (or resumes) looping playback; Stop pauses it, keeping what waits.
    // Both are false once the device has gone away.
    bool Play();
    bool Stop();
    bool DeviceLost() const;

private:
    struct Impl;
    explicit SoundRing(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};

// A buffer a capture device handed back without completing it.
struct CapturedBuffer {
    uintptr_t user;
    uint32_t bytesRecorded;
};

// Captures PCM from the default input device into queued buffers, in queue order. Each full
// buffer leaves the queue with a completion call on the device's thread; data captured while
// no buffer is queued is lost. The device starts stopped. All calls are thread-safe, but the
// completion must not call back into the device.
class CaptureDevice {
public:
    // user: the value given with the buffer; stamp: grows by one with every completion, so
    // that buffers completed in the same instant still sort in capture order.
    using Completion = std::function<void(uintptr_t user, uint64_t stamp)>;

    // Opens the default input device in format (8-, 16- or 32-bit PCM). Null on failure,
    // with the reason in error.
    static std::unique_ptr<CaptureDevice> Open(const WAVEFORMATEX& format, Completion completion, std::string& error);
    ~CaptureDevice();
    CaptureDevice(const CaptureDevice&) = delete;
    CaptureDevice& operator=(const CaptureDevice&) = delete;

    // Queues a buffer of bytes (not 0) at the end of the queue.
    bool AddBuffer(uintptr_t user, uint8_t* data, uint32_t bytes);
    // Starts or resumes capturing; Stop pauses it, keeping the queue. Both are false once
    // the device has gone away.
    bool Start();
    bool Stop();
    // Stops and hands back every queued buffer, the partly filled one with its byte count,
    // without completion calls.
    std::vector<CapturedBuffer> Reset();

private:
    struct Impl;
    explicit CaptureDevice(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> impl_;
};
