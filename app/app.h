// The Morvane program's user interface library (morvane_ui): the program's files, settings
// and resources, the control tables, the skin layout holder that builds every window from its
// section of the skin, the list of installed skins, the dialogs, the computer information
// text, the waveform editor, the application object and its main window.
#pragma once

#include "app/about_dialog.h"
#include "app/bluetooth_dialog.h"
#include "app/computer_info.h"
#include "app/control_tables.h"
#include "app/main_window.h"
#include "app/message_dialog.h"
#include "app/notify_dialog.h"
#include "app/program.h"
#include "app/progress_dialog.h"
#include "app/recorder_dialog.h"
#include "app/resources.h"
#include "app/settings.h"
#include "app/skin_dialog.h"
#include "app/skin_holder.h"
#include "app/skin_list.h"
#include "app/system_message_box.h"
#include "app/tessaly_app.h"
#include "app/waveform_editor.h"
