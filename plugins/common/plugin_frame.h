// The frame every effect plug-in is built on: the exports of contracts/plugin_api.h written
// once, the settings-object base class, the pulling of input in slices, and the preset
// helpers around the parameter lists. Free of Qt.
//
// How a plug-in uses it:
//   1. Derive its settings record from CPluginSettings and implement the pure virtuals:
//      LoadParameters (put the defaults for the given purpose in place, then load the
//      parameter list from the store), SaveParameters, CopyParameters (a new record with the
//      parameters only), OpenStream, ProcessStream and CloseStream.
//      A slicing plug-in implements ProcessStream as
//          return PullInSlices(record, 4096, [&](_SOUNDDATAEX_& block, uint32_t frames) {
//              ...process `frames` frames of block.channels in place...
//          });
//   2. Define, once, `const PluginDescription& ThisPlugin()` with its name, author, version,
//      kind, its LoadPreset and CopySettings behaviour and its factory (NewSettings<...>).
//   3. Define, once, CreatePluginSettingsWindow in its window code (Qt; see
//      plugins/common/settings_window.h, MakeSettingsWindow).
//   4. Build with `morvane_add_plugin(NAME <Target> PREFIX <prefix> SOURCES <its code>
//      WINDOW <its window code> [EXPORTS <its own exports>])` (plugins/common/CMakeLists.txt):
//      that links the exports (src/plugin_frame_exports.cpp) and the library's application
//      object (src/plugin_app.cpp) into lib<Target>.so in bin/plugins, with every symbol
//      hidden except the plug-in API. Without the user interface the window code is left
//      out and the plug-in has no settings window. An export of its own (GetDelay) is
//      defined with PLUGIN_EXPORT.
//
// Threads: the host pulls on its own thread and serialises OpenStream, CloseStream, Free and
// ProcessStream on one object. Parameters that a settings window changes while a stream runs
// are SharedParameter fields: each stands alone and is read afresh per sample or block.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>

#include "contracts/plugin_api.h"
#include "contracts/sound_data.h"
#include "contracts/wave_format.h"
#include "platform/key_store.h"
#include "xml/xml.h"

// Marks a definition as part of the plug-in's exported interface; all else stays hidden.
#define PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))

// ---- identity ---------------------------------------------------------------------------

class CPluginSettings;

struct PluginDescription {
    const char* name;    // static display name
    const char* author;  // static author text
    uint32_t version;
    std::optional<uint32_t> kind;                  // written to PLUGIN_INFO only when set
    bool loadPresetMakesNewObject;                 // LoadPreset's fourth argument is an out handle
    bool copySettingsKeepsCallBack;                // CopySettings copies the stream callback and user value
    std::unique_ptr<CPluginSettings> (*create)();  // a record with the built-in defaults
};

// Defined once by each plug-in.
const PluginDescription& ThisPlugin();

// PluginDescription::create of a plug-in whose records are of type Settings.
template <class Settings>
std::unique_ptr<CPluginSettings> NewSettings() {
    return std::make_unique<Settings>();
}

// PlugInInfo: 0 and the record untouched unless its size is sizeof(PLUGIN_INFO).
int FillPluginInfo(PLUGIN_INFO* info, const PluginDescription& description);

// CreateSettingsWindow: the settings window of a record of this plug-in as a child of parent,
// or null when none can be made. Defined once by each plug-in's window code.
QWidget* CreatePluginSettingsWindow(QWidget* parent, CPluginSettings& settings);

// ---- presets ----------------------------------------------------------------------------

// Where a preset is read or written: the XML element when set, else the key store under
// root/section when root is non-zero, else the INI file, else nowhere.
struct PresetStore {
    const char* ini = nullptr;
    const char* section = nullptr;
    HKEY root = 0;
    enXml* element = nullptr;
};

// Which defaults a record puts in place before loading.
enum class PresetDefaults { Initialize, LoadPreset };

// One plug-in's parameter list: a key and a type tag per stored value, in order.
struct ParameterList {
    std::span<const char* const> keys;
    const char* types;  // e.g. "DWORD DWORD DWORD"
};

// Values whose key is absent from the store keep what they hold.
void LoadStoredValues(const PresetStore& store, const ParameterList& list, std::span<void* const> values);
// False only when a key-store key cannot be created.
bool SaveStoredValues(const PresetStore& store, const ParameterList& list, std::span<void* const> values);

// Stored integer → factor: (s + offset) / scale, s read as an unsigned 32-bit number and
// first limited to maxStored.
double StoredToFactor(int32_t stored, double offset, double scale, uint32_t maxStored);
// Stored integer read as unsigned and limited to maxStored.
int32_t StoredToCount(int32_t stored, uint32_t maxStored);
// Factor → stored integer: factor × scale cut toward zero. The cut ignores the last bits of
// rounding error so that a stored value read and saved again stays the same (0.29 × 100 is
// 28.999999999999996 in doubles and must store 29).
int32_t FactorToStored(double factor, double scale);

// ---- parameters shared with a settings window -----------------------------------------

// A parameter the settings window writes on its thread while the stream reads it on the
// host's: one relaxed atomic, no lock, as each field stands alone.
template <class T>
class SharedParameter {
public:
    SharedParameter(T value = T()) : m_value(value) {}
    SharedParameter(const SharedParameter& other) : m_value(other.get()) {}
    SharedParameter& operator=(const SharedParameter& other) {
        set(other.get());
        return *this;
    }
    SharedParameter& operator=(T value) {
        set(value);
        return *this;
    }
    T get() const { return m_value.load(std::memory_order_relaxed); }
    void set(T value) { m_value.store(value, std::memory_order_relaxed); }

private:
    std::atomic<T> m_value;
};

// ---- settings objects -------------------------------------------------------------------

// Base of every plug-in's settings record (the host's opaque settings handle). Holds the
// stream callback and its user value; the host sets them before pulling and never while a
// ProcessStream on this object runs, so they need no lock.
class CPluginSettings {
public:
    CPluginSettings() = default;
    virtual ~CPluginSettings() = default;
    CPluginSettings(const CPluginSettings&) = delete;
    CPluginSettings& operator=(const CPluginSettings&) = delete;

    virtual void LoadParameters(const PresetStore& store, PresetDefaults defaults) = 0;
    virtual bool SaveParameters(const PresetStore& store) const = 0;
    // A new record with this one's parameters, no stream and no callback.
    virtual std::unique_ptr<CPluginSettings> CopyParameters() const = 0;
    // PLUGIN_OPEN_OK or PLUGIN_OPEN_UNSUPPORTED.
    virtual int OpenStream(const WAVEFORMATEX& format) = 0;
    // Fills record with up to record.capacity processed frames, sets record.frames and
    // returns it; 0 ends the stream.
    virtual uint32_t ProcessStream(_SOUNDDATAEX_& record) = 0;
    // Frees the stream state; safe without an open stream.
    virtual void CloseStream() = 0;

    void SetStreamCallBack(STREAMCALLBACK callback, void* user);
    void CopyStreamCallBack(const CPluginSettings& source);

    // One call of the stream callback for record.capacity frames: what it delivered, never
    // more than asked; 0 without a callback.
    uint32_t PullInput(_SOUNDDATAEX_& record) const;

    // Pulls record.capacity frames through the stream callback in slices of at most
    // sliceFrames and hands each delivered slice to process(block, frames) to change in place.
    // A slice that delivers less than asked ends the call. Sets record.frames and returns
    // the frames produced; 0 without pulling when a channel buffer is missing.
    template <class ProcessBlock>
    uint32_t PullInSlices(_SOUNDDATAEX_& record, uint32_t sliceFrames, ProcessBlock&& process) const;

private:
    STREAMCALLBACK m_callback = nullptr;
    void* m_user = nullptr;
};

template <class ProcessBlock>
uint32_t CPluginSettings::PullInSlices(_SOUNDDATAEX_& record, uint32_t sliceFrames, ProcessBlock&& process) const {
    record.frames = 0;
    if (std::find(record.channels.begin(), record.channels.end(), nullptr) != record.channels.end()) return 0;
    const uint32_t requested = record.capacity;
    uint32_t produced = 0;
    if (requested <= sliceFrames) {
        produced = PullInput(record);
        if (produced > 0) process(record, produced);
    } else {
        // Views into the host's buffers, advanced one slice at a time.
        _SOUNDDATAEX_ slice;
        slice.channels.resize(record.channels.size());
        while (produced < requested) {
            const uint32_t asked = std::min(sliceFrames, requested - produced);
            for (size_t k = 0; k < record.channels.size(); ++k) slice.channels[k] = record.channels[k] + produced;
            slice.capacity = asked;
            slice.frames = 0;
            const uint32_t delivered = PullInput(slice);
            if (delivered > 0) process(slice, delivered);
            produced += delivered;
            if (delivered < asked) break;
        }
    }
    record.frames = produced;
    return produced;
}
