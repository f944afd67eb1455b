// The program's name, version and web addresses, and the files and folders it uses.
#pragma once

#include <QString>

#include <string>

#include "morvane_build.h"

// The application's name: the last component of the settings path, and the caption of a
// message that names none.
inline constexpr char kApplicationName[] = "Qo Morvane 1.0";
// The maker's web addresses.
inline constexpr char kMakerHomePage[] = "https://www.zoruvo.example/";
inline constexpr char kRingtoneSite[] = "https://ringtones.zoruvo.example/";
// The program's version as the about box and --version show it: the project's version.
inline constexpr char kProgramVersion[] = MORVANE_VERSION;

// A file beside the program: an absolute path is used as it is; any other is taken relative
// to the program's folder, or to ../share/morvane beside it (the installed data) when only
// that one has it. Backslashes count as folder separators.
std::string ProgramRelativePath(const std::string& path);

// The start-up files: the shared data folder's Name ("appdatadefault.ini" beside the
// program) and the effects language ("Language.ini" in the shared data folder), and the
// single-effects description they lead to.
std::string SharedDataName();
std::string SharedDataFolder();
std::string LanguageShortName();
std::string SingleEffectsPath();
// The user's documents folder and the folder recordings go to (created when missing).
QString DocumentsFolder();
QString RecordingsFolder();
