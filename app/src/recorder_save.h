// Saving the recorder's take: the file type offered and the save dialog's filter (the
// encoding is the engine's EncodeTake).
#pragma once

#include <QString>

#include <functional>
#include <string>

class QWidget;

// The provider settings key under HKEY_LOCAL_MACHINE whose "LastExt" names the type last
// chosen in the provider's settings.
std::string RecorderProvidersKey();
// "." and the stored "LastExt" (letters and digits, at most 255 of them); ".wav" when the
// key or value is missing, empty or not a plain extension.
std::string RecorderSaveExtension();
// "<description> (*<ext>)|*<ext>||": the type's entry in the system's filter notation.
std::string RecorderSaveFilter(const std::string& extensionWithDot);
// The same filter in Qt's file-dialog notation ("<name> (<patterns>)" joined by ";;").
QString QtFileDialogFilter(const std::string& systemFilter);

// What a save writes, for the place of the provider's settings when it has none:
// "Saved as <description> (*<ext>), 44100 Hz stereo".
QString RecorderOutputText(const std::string& extensionWithDot);

// Asks for the file to save: (parent, folder to start in, filter, default suffix without
// its dot) → the chosen path, empty when cancelled.
using SaveFileDialogFn =
    std::function<QString(QWidget* parent, const QString& folder, const QString& filter, const QString& suffix)>;
// The real one: Qt's save dialog, asking before it overwrites a file.
QString RunSaveFileDialog(QWidget* parent, const QString& folder, const QString& filter, const QString& suffix);
