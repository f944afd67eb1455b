// The list of installed skins (Skins/*.xml beside the program).
#pragma once

#include <string>
#include <vector>

// An installed skin: its caption, its file and the main window's size it asks for.
struct SkinInfo {
    std::string caption;
    std::string path;
    int width = 800;
    int height = 600;
};

// Fills the process-wide skin list from the program's Skins folder.
void EnumerateSkins();
// The same from a given folder: every "*.xml" (any case) by file name whose root is
// SKIN_KEL with a non-empty Caption; Width and Height default to 800 and 600.
void EnumerateSkinsIn(const std::string& folder);
const std::vector<SkinInfo>& GetSkinList();
void SetCurrentSkinIndex(int index);
int GetCurrentSkinIndex();
// The record at the current index; an empty one (no caption or path, size 0 x 0) when the
// index lies outside the list.
SkinInfo GetCurrentSkin();
