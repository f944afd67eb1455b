// Saving the recorder's take through the provider's coder.
#include "app/src/recorder_save.h"

#include <unistd.h>

#include <QFileDialog>
#include <QStringList>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

#include "app/settings.h"
#include "app/src/recorder_take.h"
#include "contracts/provider_api.h"
#include "platform/platform.h"

namespace {

constexpr char kDefaultExtension[] = ".wav";
constexpr size_t kMaxExtensionLength = 255;     // "LastExt" holds at most 256 bytes
constexpr uint32_t kDescriptionCapacity = 260;  // characters of a type's description

bool IsPlainExtension(const std::string& text) {
    return !text.empty() && text.size() <= kMaxExtensionLength &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isalnum(c) != 0; });
}

// The extension of a path's file name, with its dot; empty when it has none.
std::string ExtensionOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    const size_t dot = path.rfind('.');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    return dot == std::string::npos || dot <= nameStart ? std::string() : path.substr(dot);
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A provider writer, completed once.
class CoderFile {
public:
    explicit CoderFile(uint32_t handle) : m_handle(handle) {}
    ~CoderFile() { Close(); }
    CoderFile(const CoderFile&) = delete;
    CoderFile& operator=(const CoderFile&) = delete;
    uint32_t get() const { return m_handle; }
    void Close() {
        if (m_handle != 0) QoCoderCloseFile(m_handle);
        m_handle = 0;
    }

private:
    uint32_t m_handle;
};

// A file that is deleted unless it was kept.
class PendingFile {
public:
    explicit PendingFile(std::string path) : m_path(std::move(path)) {}
    ~PendingFile() {
        if (!m_path.empty()) ::unlink(m_path.c_str());
    }
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    const std::string& Path() const { return m_path; }
    // Moves the file to its final name; it is then no longer deleted.
    bool MoveTo(const std::string& path) {
        if (std::rename(m_path.c_str(), path.c_str()) != 0) return false;
        m_path.clear();
        return true;
    }

private:
    std::string m_path;
};

// The provider's description of a file type; empty for an unknown one.
std::string FormatDescription(const std::string& extensionWithDot) {
    char description[kDescriptionCapacity] = {};
    QoGetFormatDescription(extensionWithDot.c_str(), description, sizeof description);
    return description;
}

}  // namespace

std::string RecorderProvidersKey() { return std::string(kSettingsKey) + "\\Providers"; }

std::string RecorderSaveExtension() {
    const std::string stored = keystore::GetString(HKEY_LOCAL_MACHINE, RecorderProvidersKey(), "LastExt", "");
    return IsPlainExtension(stored) ? "." + stored : kDefaultExtension;
}

std::string RecorderSaveFilter(const std::string& extensionWithDot) {
    return FormatDescription(extensionWithDot) + " (*" + extensionWithDot + ")|*" + extensionWithDot + "||";
}

QString RecorderOutputText(const std::string& extensionWithDot) {
    return QStringLiteral("Saved as %1 (*%2), 44100 Hz stereo")
        .arg(QString::fromStdString(FormatDescription(extensionWithDot)), QString::fromStdString(extensionWithDot));
}

QString QtFileDialogFilter(const std::string& systemFilter) {
    // Name and pattern entries alternate, separated by '|'; an empty name ends the list.
    const QStringList parts = QString::fromStdString(systemFilter).split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size() && !parts[i].isEmpty(); i += 2) {
        const QString patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts).join(QLatin1Char(' '));
        const QString name = parts[i];
        // A name that already shows its patterns keeps them; Qt reads them from there.
        entries << (name.contains(QLatin1Char('(') + patterns + QLatin1Char(')'))
                        ? name
                        : name + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return entries.join(QStringLiteral(";;"));
}

QString RunSaveFileDialog(QWidget* parent, const QString& folder, const QString& filter, const QString& suffix) {
    QFileDialog dialog(parent, QString(), folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(suffix);  // overwriting asks first (Qt's default)
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().constFirst();
}

bool PassTakeBlocks(RecorderTake& take, uint32_t blockAlign, const TakeBlockSink& sink) {
    if (blockAlign == 0) return false;
    take.Rewind();
    const uint64_t blocks = take.Size() / kSaveBlockBytes + 1;
    std::vector<uint8_t> block(kSaveBlockBytes);
    for (uint64_t i = 0; i < blocks; ++i) {
        const std::optional<uint32_t> bytes = take.Read(block.data(), kSaveBlockBytes);
        if (!bytes || !sink(block.data(), *bytes / blockAlign, *bytes)) return false;
    }
    return true;
}

bool EncodeTake(RecorderTake& take, const std::string& path, const WAVEFORMATEXTENSIBLE& format) {
    const std::string extension = ExtensionOf(path);
    if (extension.empty() || !take.Exists() || format.Format.nBlockAlign == 0) return false;
    // Hidden beside the destination, so that the final rename stays on one file system; the
    // extension chooses the coder.
    PendingFile pending(CreateUniqueFileIn(FolderOf(path), ".qosav", extension.substr(1), TickCountMs()));
    if (pending.Path().empty()) return false;
    const uint64_t frames = take.Size() / format.Format.nBlockAlign;
    CoderFile coder(QoCoderCreateFile(pending.Path().c_str(), &format, nullptr, 0, &frames));
    if (coder.get() == 0) return false;
    const bool passed = PassTakeBlocks(take, format.Format.nBlockAlign, [&](const void* data, uint32_t count, uint32_t bytes) {
        return QoCoderAddFileData(coder.get(), count, data, bytes) != 0;
    });
    coder.Close();
    return passed && pending.MoveTo(path);
}
