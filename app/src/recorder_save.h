// Saving the recorder's take: the file type offered, the save dialog's filter and the
// encoding through the provider's coder.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <string>

#include "contracts/wave_format.h"

class QWidget;
class RecorderTake;

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

// Receives one block of the take: (data, frames, bytes); false stops the pass.
using TakeBlockSink = std::function<bool(const void* data, uint32_t frames, uint32_t bytes)>;
inline constexpr uint32_t kSaveBlockBytes = 16384;
// Passes the take from its start in blocks of kSaveBlockBytes, (size / kSaveBlockBytes) + 1
// of them, so the last one is short or empty. False on a read error or when the sink fails.
bool PassTakeBlocks(RecorderTake& take, uint32_t blockAlign, const TakeBlockSink& sink);

// Encodes the take into path, its type chosen by the extension. The file is written under
// a hidden name beside the destination and put in place only when complete, so a failure
// leaves no partial file and never destroys a file being replaced. False on any failure.
bool EncodeTake(RecorderTake& take, const std::string& path, const WAVEFORMATEXTENSIBLE& format);
