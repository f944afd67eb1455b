// Files and folders, the program's own places and temporary names.
#pragma once

#include <cstdint>
#include <string>

#include "morvane_build.h"

// True when the path is not empty, exists and is not a folder.
bool FileExists(const std::string& path);
// True when the path (after removing one trailing slash) exists and is a folder.
bool FolderExists(const std::string& path);
// The folder of the running executable, without a trailing slash.
std::string ProgramFolder();
// The program's own files sit beside it in the build tree and in fixed places below the
// installation prefix when installed. These are the installed places, relative to the
// folder of the installed program (<prefix>/bin); the plug-ins' folder is the build's
// installed layout (lib/<multiarch>/morvane/plugins on Debian).
inline constexpr char kInstalledDataFolder[] = "../share/morvane";
inline constexpr char kInstalledPluginFolder[] = MORVANE_INSTALLED_PLUGIN_FOLDER;
// "<programFolder>/<beside>", or "<programFolder>/<installed>" when only that one exists:
// a build tree always keeps to its own files, an installed program finds the installed ones.
std::string ProgramPlace(const std::string& programFolder, const std::string& beside, const std::string& installed);
// A data file or folder the program or a plug-in reads (Skins, Language, banners,
// plugins/info, appdatadefault.ini), given relative to the program's folder: beside the
// program, or below kInstalledDataFolder when installed.
std::string ProgramDataPath(const std::string& relative);
// $TMPDIR when it names a readable folder, else /tmp, else the program's folder;
// without a trailing slash.
std::string TempFolder();
// "<folder>/<prefix><n>.<ext>" in TempFolder(), n starting at the tick count and growing
// while a file of that name exists. Only the name is made; the caller creates the file.
std::string UniqueTempName(const std::string& prefix, const std::string& extension);
// The same rule in a given folder.
std::string UniqueNameIn(const std::string& folder, const std::string& prefix, const std::string& extension,
                         uint32_t firstNumber);
