// The plug-in library's application object, made when the library is loaded.
#include "plugins/common/plugin_language.h"

namespace {
CPluginApp theApp;
}  // namespace
