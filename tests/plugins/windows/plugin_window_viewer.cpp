// plugin-window-viewer: one plug-in's settings window by itself, embedded in a host window
// as the program embeds it, printing the plug-in's stored settings after each change; or,
// with --png, a picture of the window saved to a file (also offscreen:
// QT_QPA_PLATFORM=offscreen).
//
//   plugin-window-viewer <equalizer|Ricochet|Tapline|wahwah|path/to/plugin.so> [--png <file>]
#include <dlfcn.h>

#include <QApplication>
#include <QStringList>
#include <QWidget>

#include <cstdio>
#include <memory>
#include <string>

#include "contracts/plugin_api.h"
#include "xml/xml.h"

namespace {

constexpr const char* kPluginNames[] = {"equalizer", "Ricochet", "Tapline", "wahwah"};

struct LibraryCloser {
    void operator()(void* handle) const { dlclose(handle); }
};
using Library = std::unique_ptr<void, LibraryCloser>;

// A name of the list (in any letter case) is looked up beside the program's plug-ins; anything
// with a slash is a file.
std::string LibraryPath(const QString& name) {
    if (name.contains('/')) return name.toStdString();
    for (const char* known : kPluginNames)
        if (name.compare(QLatin1String(known), Qt::CaseInsensitive) == 0)
            return std::string(MORVANE_PLUGIN_DIR) + "/lib" + known + ".so";
    return {};
}

template <class Function>
Function Resolve(void* library, const char* name) {
    return reinterpret_cast<Function>(dlsym(library, name));
}

// The host window: prints the settings whenever its settings window reports a change.
class ViewerHost : public QWidget {
    Q_OBJECT
public:
    ViewerHost(PFN_SavePresetXml save, void* settings) : m_save(save), m_settings(settings) {}

public slots:
    void onCommand(int id, int code) {
        enXml element("Settings");
        if (m_save(&element, m_settings) != 1) return;
        std::printf("command %d 0x%x:", id, static_cast<unsigned>(code));
        for (const enXml* child = element.FirstChildElement(); child != nullptr; child = child->NextSiblingElement()) {
            std::string value;
            child->GetAttribute("Value", value);
            std::printf(" %s=%s", child->GetName().c_str(), value.c_str());
        }
        std::printf("\n");
        std::fflush(stdout);
    }

private:
    PFN_SavePresetXml m_save;
    void* m_settings;
};

int Usage() {
    std::fprintf(stderr, "usage: plugin-window-viewer <equalizer|Ricochet|Tapline|wahwah|path.so> [--png <file>]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return Usage();  // before the application, which needs a display
    QApplication application(argc, argv);
    const QStringList arguments = QApplication::arguments().mid(1);
    if (arguments.size() != 1 && !(arguments.size() == 3 && arguments[1] == "--png")) return Usage();
    const std::string path = LibraryPath(arguments[0]);
    if (path.empty()) return Usage();

    const Library library(dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL));
    if (!library) {
        std::fprintf(stderr, "cannot load %s: %s\n", path.c_str(), dlerror());
        return 1;
    }
    const auto info = Resolve<PFN_PlugInInfo>(library.get(), "PlugInInfo");
    const auto initialize = Resolve<PFN_Initialize>(library.get(), "Initialize");
    const auto free = Resolve<PFN_Free>(library.get(), "Free");
    const auto save = Resolve<PFN_SavePresetXml>(library.get(), "SavePresetXml");
    const auto createWindow = Resolve<PFN_CreateSettingsWindow>(library.get(), "CreateSettingsWindow");
    if (!info || !initialize || !free || !save || !createWindow) {
        std::fprintf(stderr, "%s is not an effect plug-in\n", path.c_str());
        return 1;
    }
    void* created = nullptr;
    if (initialize(nullptr, nullptr, 0, &created) != 1) {
        std::fprintf(stderr, "the plug-in made no settings object\n");
        return 1;
    }
    const std::unique_ptr<void, PFN_Free> settings(created, free);

    PLUGIN_INFO description{};
    description.size = sizeof(PLUGIN_INFO);
    ViewerHost host(save, settings.get());
    host.setWindowTitle(info(&description) == 1 ? QString::fromUtf8(description.name) : arguments[0]);
    QWidget* window = createWindow(&host, settings.get());
    if (window == nullptr) {
        std::fprintf(stderr, "the plug-in made no settings window\n");
        return 1;
    }
    host.setFixedSize(window->size());
    host.show();
    if (arguments.size() == 3) {
        if (!window->grab().save(arguments[2])) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(arguments[2]));
            return 1;
        }
        return 0;
    }
    return application.exec();
}

#include "plugin_window_viewer.moc"
