// A plug-in built without the user interface has no settings window.
#include "plugins/common/plugin_frame.h"

QWidget* CreatePluginSettingsWindow(QWidget*, CPluginSettings&) { return nullptr; }
