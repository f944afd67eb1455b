// A plug-in's language resources: a Qt translation file (.qm) named by the key "Path" of
// section "Language" in the "Language.ini" of the maker's shared data folder. The file is
// found when the library is loaded (CPluginApp) and read, by the settings window code, when
// a window is made; a missing or unreadable file leaves the built-in texts. Free of Qt.
#pragma once

#include <string>

// Name of the data folder when appdatadefault.ini gives none.
inline constexpr const char* kDefaultDataName = "Qo Lumivox Gold 5.0";

// The machine's application data folder ($XDG_DATA_HOME when it is an absolute path, else
// ~/.local/share) with "/Pemaro" appended; both are created when missing. Empty when
// neither variable names a folder.
std::string PemaroDataFolder();

// The language file named by <pemaroFolder>/<Name>/Language.ini, where Name is "Name" in
// section "General" of <programFolder>/appdatadefault.ini (at most 99 characters; the
// default when missing, empty, or not a plain folder name). Creates the <Name> folder when
// missing. A relative path is taken from the folder of Language.ini. Empty when there is
// none; whether the file can be read is left to whoever loads it.
std::string FindLanguageFile(const std::string& programFolder, const std::string& pemaroFolder);

// The language file found when the library was loaded; empty for the built-in texts.
const std::string& PluginLanguageFile();
void SetPluginLanguageFile(std::string path);

// The library's application object: one per plug-in, made when the library is loaded and
// before any export is used. It looks up the language file beside the host program and in
// the shared data folder. Never throws.
class CPluginApp {
public:
    CPluginApp();
};
