// What an installation holds, relative to its prefix: the same for cmake --install and for
// the Debian package (whose prefix is usr/).
#pragma once

#include <set>
#include <string>

// The programs' private library folder below the prefix (lib/<multiarch>/morvane on Debian).
std::string InstalledLibraryFolder();
std::set<std::string> InstalledPrograms();
std::set<std::string> InstalledLibraries();
std::set<std::string> InstalledPlugins();
// The desktop entry, its icons and the AppStream metadata.
std::string InstalledDesktopEntry();
std::set<std::string> InstalledIcons();  // the PNG renderings, "share/icons/hicolor/<n>x<n>/apps/morvane.png"
std::string InstalledMetainfo();
std::string InstalledManualPage(const std::string& program);
// Every file: the above, the data folders as the sources hold them, the shell completion and
// the package's documents.
std::set<std::string> InstalledFiles();
