// SDL2 audio devices for the sound ring and the capture device: the reference-counted audio
// subsystem and an owned device.
#pragma once

#include <SDL.h>

#include <string>

#include "contracts/wave_format.h"

// Keeps SDL's audio subsystem initialised while alive: the first use initialises it, the last
// shuts it down. SDL does not make initialisation, shutdown, or the opening and closing of
// devices thread-safe, so all of them run under one process-wide lock (in the .cpp), which
// also guards the use count.
class SdlAudioUse {
public:
    SdlAudioUse();
    ~SdlAudioUse();
    SdlAudioUse(const SdlAudioUse&) = delete;
    SdlAudioUse& operator=(const SdlAudioUse&) = delete;

    bool Ok() const { return ok_; }
    const std::string& Error() const { return error_; }

private:
    bool ok_ = false;
    std::string error_;
};

// An SDL audio device on the default output or input, opened paused in exactly the requested
// format (SDL converts to the hardware's), closed when it goes. Closing waits for SDL's
// device thread, so the callback never runs after Close.
class SdlAudioDevice {
public:
    SdlAudioDevice() = default;
    ~SdlAudioDevice() { Close(); }
    SdlAudioDevice(const SdlAudioDevice&) = delete;
    SdlAudioDevice& operator=(const SdlAudioDevice&) = delete;

    // frames: the device buffer in frames, a power of two. False with the reason in error.
    bool Open(bool capture, const WAVEFORMATEX& format, uint16_t frames, SDL_AudioCallback callback, void* userdata,
              std::string& error);
    void Close();
    // Pausing waits for a running callback to return.
    void Pause(bool paused);
    // True when SDL reports the open device as gone (it still runs the callback, on silence).
    bool Lost() const;

private:
    SdlAudioUse use_;
    SDL_AudioDeviceID id_ = 0;
};

// The device buffer in frames for a rate: a power of two of about 20 ms or less, at most maxFrames.
uint16_t SdlDeviceFrames(uint32_t rate, uint32_t maxFrames);
