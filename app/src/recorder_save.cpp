// The recorder's save dialog: the type offered and its filter.
#include "app/src/recorder_save.h"

#include <QFileDialog>
#include <QStringList>

#include <algorithm>
#include <cctype>
#include <cstdint>

#include "app/settings.h"
#include "contracts/provider_api.h"
#include "platform/key_store.h"

namespace {

constexpr char kDefaultExtension[] = ".wav";
constexpr size_t kMaxExtensionLength = 255;     // "LastExt" holds at most 256 bytes
constexpr uint32_t kDescriptionCapacity = 260;  // characters of a type's description

bool IsPlainExtension(const std::string& text) {
    return !text.empty() && text.size() <= kMaxExtensionLength &&
           std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isalnum(c) != 0; });
}

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
