// Thin platform layers the rest of the program is written against: ticks, files and
// temporary names, owned descriptors and file placement, private-profile (INI) files, the
// registry-like key store, and the sound ring and capture device on SDL2. Free of Qt.
// Strings are UTF-8.
#pragma once

#include "platform/capture.h"
#include "platform/clock.h"
#include "platform/event_set.h"
#include "platform/file_placement.h"
#include "platform/files.h"
#include "platform/ini_file.h"
#include "platform/key_store.h"
#include "platform/sound_ring.h"
#include "platform/texts.h"
#include "platform/unique_fd.h"
