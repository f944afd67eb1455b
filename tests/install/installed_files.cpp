#include "tests/install/installed_files.h"

#include <filesystem>

#include "morvane_build.h"

namespace {

namespace fs = std::filesystem;

std::set<std::string> Below(const std::string& folder, const std::set<std::string>& names) {
    std::set<std::string> paths;
    for (const std::string& name : names) paths.insert(folder + "/" + name);
    return paths;
}

void Add(std::set<std::string>& to, const std::set<std::string>& more) { to.insert(more.begin(), more.end()); }

}  // namespace

std::string InstalledLibraryFolder() { return MORVANE_INSTALL_LIBDIR; }

std::set<std::string> InstalledPrograms() { return {"bin/Morvane", "bin/morvane-cli"}; }

std::set<std::string> InstalledLibraries() {
    return Below(InstalledLibraryFolder(), {"libaudiosvc.so", "libaudiosvc_msgbox.so", "libQoDataPr.so",
                                            "libeffectmgr.so", "libskin.so", "libbtlink.so", "libphonelink.so"});
}

std::set<std::string> InstalledPlugins() {
    return Below(InstalledLibraryFolder() + "/plugins",
                 {"libequalizer.so", "libRicochet.so", "libTapline.so", "libwahwah.so"});
}

std::string InstalledDesktopEntry() { return std::string("share/applications/") + MORVANE_APP_ID + ".desktop"; }

std::set<std::string> InstalledIcons() {
    std::set<std::string> icons;
    for (const int size : {16, 32, 48, 64, 128, 256}) {
        const std::string side = std::to_string(size);
        icons.insert("share/icons/hicolor/" + side + "x" + side + "/apps/morvane.png");
    }
    return icons;
}

std::string InstalledMetainfo() { return std::string("share/metainfo/") + MORVANE_APP_ID + ".metainfo.xml"; }

std::string InstalledManualPage(const std::string& program) { return "share/man/man1/" + program + ".1.gz"; }

std::set<std::string> InstalledFiles() {
    std::set<std::string> files;
    const std::string data = std::string(MORVANE_SOURCE_DIR) + "/data";
    for (const char* folder : {"Language", "Skins", "banners", "plugins"})
        for (const auto& entry : fs::recursive_directory_iterator(data + "/" + folder))
            if (entry.is_regular_file()) files.insert("share/morvane/" + fs::relative(entry.path(), data).string());
    Add(files, InstalledPrograms());
    Add(files, InstalledLibraries());
    Add(files, InstalledPlugins());
    Add(files, InstalledIcons());
    Add(files, {InstalledDesktopEntry(), "share/icons/hicolor/scalable/apps/morvane.svg", InstalledMetainfo(),
                InstalledManualPage("Morvane"), InstalledManualPage("morvane-cli"),
                "share/bash-completion/completions/morvane-cli", "share/zsh/vendor-completions/_morvane-cli",
                "share/doc/morvane/copyright", "share/doc/morvane/changelog.gz"});
    return files;
}
