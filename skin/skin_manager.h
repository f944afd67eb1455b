// The skin manager: loads a skin file and answers the palette, fonts and folder written in
// it. Free of Qt.
#pragma once

#include <string>

#include "skin/skin_values.h"

class enXml;

// The manager's interface, as the controls and the program reach it.
class ISkinManager {
public:
    virtual ~ISkinManager() = default;
    // Loads the skin file into a tree the manager owns. 0 on success; otherwise the skin
    // that was loaded before stays loaded and the result is one of the SKINLOAD_* codes.
    virtual int LoadStandardSkin(const std::string& path) = 0;
    // The root element (SKIN_KEL) of the loaded skin; null when none is loaded.
    virtual enXml* GetSkinXMLRoot() = 0;
    // Palette colour; CLR_INVALID for an index outside 0..SKINCOLOR_COUNT-1.
    virtual COLORREF GetSkinColor(int index) const = 0;
    // The folder of the loaded skin file (image names are relative to it); "" when none.
    virtual std::string GetSkinFolder() const = 0;
    // The skin's default window font (root attribute LogFont), cleared when it names none.
    virtual LOGFONT GetSkinFont() const = 0;
    // The skin's caption font (root attribute CaptionLogFont), cleared when it names none.
    virtual LOGFONT GetCaptionFont() const = 0;
};

enum : int {
    SKINLOAD_OK = 0,
    SKINLOAD_NOT_FOUND = 1,   // no such file
    SKINLOAD_BAD_XML = 2,     // the file is no well-formed XML
    SKINLOAD_NOT_A_SKIN = 3,  // root not SKIN_KEL or without a Caption
};

// The process-wide manager.
int LoadStandardSkin(const std::string& path);
enXml* GetSkinXMLRoot();
COLORREF GetSkinColor(int index);
// The manager's interface (the process-wide manager; never null).
ISkinManager* GetSWQueryInterface();
// Hands the controls library the manager it asks for colours, fonts and image folders; null
// returns the controls to the process-wide manager.
void SetSWQueryInterface(ISkinManager* manager);
// The manager the controls use now.
ISkinManager* SkinControlsManager();
