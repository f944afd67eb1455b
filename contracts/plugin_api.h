// The export interface every effect plug-in shares (libequalizer.so, libRicochet.so,
// libTapline.so, libwahwah.so). Settings objects are opaque to the host and are made and
// freed only through these exports.
#pragma once

#include <cstdint>

#include "contracts/sound_data.h"
#include "contracts/wave_format.h"

class QWidget;
class enXml;

struct PLUGIN_INFO {
    uint32_t size;       // set by the caller, must be sizeof(PLUGIN_INFO)
    uint32_t reserved;   // 0
    const char* name;    // static display name
    const char* author;  // static author text
    uint32_t version;    // 0x50000 or 0x40000
    uint32_t kind;       // written by the equalizer (3) and the wah-wah filter (2) only
};

// Pulls input: fills up to record->capacity frames into the record's channel arrays and
// returns how many it delivered; 0 ends the stream.
typedef uint32_t (*STREAMCALLBACK)(void* user, _SOUNDDATAEX_* record);

// Results of OpenStream.
inline constexpr int PLUGIN_OPEN_OK = 0;
inline constexpr int PLUGIN_OPEN_UNSUPPORTED = 3;

// Change notification a settings window sends to its parent: command id 0, code 0x400.
// CreateSettingsWindow gives a QWidget child of the parent (null without a parent or outside
// a running QApplication's thread). After each change the user makes (never while the window
// fills its controls) the window calls
//     QMetaObject::invokeMethod(parent, "onCommand", Qt::QueuedConnection,
//                               Q_ARG(int, 0), Q_ARG(int, PLUGIN_SETTINGS_CHANGED));
// so a host that wants the notification gives the parent a slot or Q_INVOKABLE method
// `void onCommand(int id, int code)`; a parent without one gets nothing. The call is queued:
// it arrives after the change is in the settings object, and not at all once the parent is
// gone. The host destroys the window (delete, or with its parent) and never frees it any
// other way; the settings object must outlive the window.
inline constexpr int PLUGIN_SETTINGS_CHANGED = 0x400;

extern "C" {
int PlugInInfo(PLUGIN_INFO* info);
int Initialize(const char* ini, const char* section, uintptr_t rootKey, void** settings);
int InitializeXml(enXml* element, void** settings);
int LoadPreset(const char* ini, const char* section, uintptr_t rootKey, void* settingsOrOut);
int SavePreset(const char* ini, const char* section, uintptr_t rootKey, void* settings);
int SavePresetXml(enXml* element, void* settings);
int CopySettings(void** out, void* source);
void Free(void* settings);
int SetStreamCallBack(STREAMCALLBACK callback, void* user, void* settings);
int OpenStream(void* settings, const WAVEFORMATEX* format);
uint32_t ProcessStream(_SOUNDDATAEX_* record, void* settings);
int CloseStream(void* settings);
QWidget* CreateSettingsWindow(QWidget* parent, void* settings);
int GetDelay();  // equalizer only
}

// Function pointer types a host resolves with dlsym.
typedef int (*PFN_PlugInInfo)(PLUGIN_INFO*);
typedef int (*PFN_Initialize)(const char*, const char*, uintptr_t, void**);
typedef int (*PFN_InitializeXml)(enXml*, void**);
typedef int (*PFN_LoadPreset)(const char*, const char*, uintptr_t, void*);
typedef int (*PFN_SavePreset)(const char*, const char*, uintptr_t, void*);
typedef int (*PFN_SavePresetXml)(enXml*, void*);
typedef int (*PFN_CopySettings)(void**, void*);
typedef void (*PFN_Free)(void*);
typedef int (*PFN_SetStreamCallBack)(STREAMCALLBACK, void*, void*);
typedef int (*PFN_OpenStream)(void*, const WAVEFORMATEX*);
typedef uint32_t (*PFN_ProcessStream)(_SOUNDDATAEX_*, void*);
typedef int (*PFN_CloseStream)(void*);
typedef QWidget* (*PFN_CreateSettingsWindow)(QWidget*, void*);
typedef int (*PFN_GetDelay)();
