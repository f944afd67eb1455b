// The plug-in's translated texts. The translation is the plug-in's own: it is consulted for
// the plug-in's texts only and never installed in the application, so plug-ins and the
// program cannot change each other's words. Used on the interface thread only.
#include <QByteArray>
#include <QFile>
#include <QTranslator>

#include <memory>
#include <string>

#include "plugins/common/plugin_language.h"
#include "plugins/common/settings_window.h"

namespace {

// Larger files are not taken for a translation of a few dozen texts.
constexpr qint64 kMaxTranslationBytes = 16 * 1024 * 1024;

struct LoadedTranslation {
    std::string path;                         // the language file read last (empty: none)
    QByteArray data;                          // its contents, which the translator refers to
    std::unique_ptr<QTranslator> translator;  // null when the file gave no translation
};

LoadedTranslation& Loaded() {
    static LoadedTranslation loaded;
    return loaded;
}

}  // namespace

void LoadPluginTranslation() {
    LoadedTranslation& loaded = Loaded();
    const std::string& path = PluginLanguageFile();
    if (path == loaded.path) return;
    loaded.translator.reset();
    loaded.data.clear();
    loaded.path = path;
    if (path.empty()) return;
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxTranslationBytes) return;
    QByteArray data = file.readAll();
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(reinterpret_cast<const uchar*>(data.constData()), static_cast<int>(data.size()))) return;
    loaded.data = std::move(data);
    loaded.translator = std::move(translator);
}

QString PluginText(const char* context, const char* source) {
    const LoadedTranslation& loaded = Loaded();
    if (loaded.translator != nullptr) {
        const QString translated = loaded.translator->translate(context, source);
        if (!translated.isEmpty()) return translated;
    }
    return QString::fromUtf8(source);
}
