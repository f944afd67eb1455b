// The audio engine, free of Qt: the progress protocol, the provider's handles, temporary
// files, decoded tracks, the player and the microphone, recording a take, the render chain,
// export and save with loudness measurement and limiting, and the ringtone preview.
// Strings are UTF-8. Timeline positions are frames at 44100 per second.
#pragma once

#include "engine/limiter.h"
#include "engine/loudness.h"
#include "engine/player.h"
#include "engine/preview.h"
#include "engine/progress.h"
#include "engine/provider_handles.h"
#include "engine/recorder.h"
#include "engine/recording.h"
#include "engine/render_chain.h"
#include "engine/ringtone_preset.h"
#include "engine/saver.h"
#include "engine/temp_files.h"
#include "engine/track.h"
#include "engine/track_probe.h"
