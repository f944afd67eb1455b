// The list of installed skins (Skins/*.xml beside the program).
#include "app/skin_list.h"

#include <algorithm>
#include <filesystem>

#include "app/program.h"
#include "platform/platform.h"
#include "xml/xml.h"

namespace {

// The process-wide list and the selected entry (user-interface thread only).
std::vector<SkinInfo> g_skins;
int g_currentSkin = 0;

std::vector<std::filesystem::path> SkinFiles(const std::string& folder) {
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        std::error_code typeError;
        if (EqualsNoCase(it->path().extension().string(), ".xml") && it->is_regular_file(typeError))
            files.push_back(it->path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::optional<SkinInfo> ReadSkin(const std::filesystem::path& file) {
    enXml root;
    if (!root.LoadFile(file.string()) || !EqualsNoCase(root.GetName(), "SKIN_KEL")) return std::nullopt;
    SkinInfo skin;
    if (!root.GetAttribute("Caption", skin.caption) || skin.caption.empty()) return std::nullopt;
    skin.path = std::filesystem::absolute(file).lexically_normal().string();
    if (!root.GetAttribute("Width", skin.width)) skin.width = 800;
    if (!root.GetAttribute("Height", skin.height)) skin.height = 600;
    return skin;
}

}  // namespace

void EnumerateSkins() { EnumerateSkinsIn(ProgramRelativePath("Skins")); }

void EnumerateSkinsIn(const std::string& folder) {
    g_skins.clear();
    for (const std::filesystem::path& file : SkinFiles(folder))
        if (std::optional<SkinInfo> skin = ReadSkin(file)) g_skins.push_back(std::move(*skin));
}

const std::vector<SkinInfo>& GetSkinList() { return g_skins; }

void SetCurrentSkinIndex(int index) { g_currentSkin = index; }

int GetCurrentSkinIndex() { return g_currentSkin; }

SkinInfo GetCurrentSkin() {
    if (g_currentSkin < 0 || static_cast<size_t>(g_currentSkin) >= g_skins.size()) return {"", "", 0, 0};
    return g_skins[static_cast<size_t>(g_currentSkin)];
}
