// Builds one section of a skin into live controls, as the program's skin holder does, so that
// the tests can check a skin and take pictures of it without the program.
#pragma once

#include <QString>
#include <QWidget>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "skin/panels.h"
#include "skin/skin_base.h"
#include "skin/skin_file.h"

class enXml;

// One row of a window's control table.
struct TableEntry {
    const char* name;
    int kind;
    int commandId;
    const char* caption;  // null: none
};

struct SectionTable {
    const char* section;
    std::vector<const char*> panels;
    std::vector<TableEntry> controls;
};

// Every window of the program with its panels and controls.
const std::vector<SectionTable>& ProgramSections();

struct BuiltSection {
    std::unique_ptr<QWidget> host;
    std::map<std::string, CAutoPanelCaption*> panels;
    // Controls by table name, in document order (several instances per name possible).
    std::multimap<std::string, CSkinBase*> controls;
    std::vector<CSkinFile> files;
    std::vector<std::string> missing;    // table entries without any element
    std::vector<std::string> unskinned;  // controls whose skin record was refused
    bool sectionFound = false;
};

// Builds `table`'s section from the loaded skin. The host is a CSCScaleDialog sized to the
// first panel.
BuiltSection BuildSection(const SectionTable& table);
// Creates the control class of a kind (21 refined by the element's Type); null for kinds
// that create nothing.
CSkinBase* CreateControl(int kind, const enXml& element, QWidget* parent, int windowId);
// Reads the kind's attributes into its record and hands it to the control; false when a
// required image is missing or unreadable.
bool SkinControl(CSkinBase* control, int kind, const enXml& element, std::vector<CSkinFile>& files);
