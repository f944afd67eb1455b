// The skin library (libskin.so): the skin manager, which loads a skin description and
// answers colours, fonts and rectangles written in it, and the skinned controls and panels
// on Qt Widgets, which paint themselves from the skin's images and colours.
//
// How a window is built from a skin (the program's skin holder does this):
//   1. The manager loads the skin file (LoadStandardSkin); GetSkinXMLRoot gives its tree.
//   2. For each panel of the window's section the holder creates a CAutoPanelCaption and
//      gives it its element (LoadResources): background, size, caption bar, labels.
//   3. For each control element it creates the control class of the element's kind with the
//      window id, opens the images the element names (CSkinFile), packs the kind's values
//      into the kind's resource record and calls UseCustomSkin, sets the caption, and hands
//      the control and its element to the owning panel (AutoDisposeControl), which places it.
//   4. The window connects every control's command(id, code) signal; a command carries the
//      control's window id and a notification code (SCN_*), as WM_COMMAND would.
// data/Skins/README.md describes the file format.
//
// Threads: everything here runs on the user-interface thread, except the level meters'
// AddSamples/AddData, which any thread may call (see CSCPlayMeterRenderer).
//
// This header only gathers the library's headers, one area each.
#pragma once

#include "skin/buttons.h"
#include "skin/control_records.h"
#include "skin/control_state.h"
#include "skin/data_source.h"
#include "skin/dialog.h"
#include "skin/edits.h"
#include "skin/lists.h"
#include "skin/menu.h"
#include "skin/meters.h"
#include "skin/panels.h"
#include "skin/scroll_bar.h"
#include "skin/skin_base.h"
#include "skin/skin_file.h"
#include "skin/skin_manager.h"
#include "skin/skin_qt.h"
#include "skin/skin_values.h"
#include "skin/sliders.h"
#include "skin/statics.h"
#include "skin/window_geometry.h"
