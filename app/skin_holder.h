// The skin layout holder: builds a window's controls from its section of the skin and routes
// their commands to the window. Everything here runs on the user-interface thread.
#pragma once

#include <QEvent>
#include <QPointer>

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/control_tables.h"
#include "skin/skin.h"

class enXml;

// The window that embeds a holder hears once from it, after all controls exist.
class ISkinHolderCb {
public:
    virtual ~ISkinHolderCb() = default;
    virtual void OnSkinLoaded() = 0;
};

// A control's command as the holder sends it to its owner window: the table's command id
// and the control's notification code (SCN_*). The window sets `result` when it handled it.
class SkinCommandEvent : public QEvent {
public:
    SkinCommandEvent(int commandId, int code) : QEvent(Type()), m_commandId(commandId), m_code(code) {}
    static QEvent::Type Type();
    int CommandId() const { return m_commandId; }
    int Code() const { return m_code; }
    intptr_t result = 0;

private:
    int m_commandId;
    int m_code;
};

// The record of the waveform editor (kind 26), handed to its UseCustomSkin.
struct SCWAVEFORMRES {
    uint32_t size = sizeof(SCWAVEFORMRES);
    SkinHandle source = SKIN_NO_HANDLE;  // 0 time ruler, 1 start marker, 2 end marker
    int32_t timeHeight = 0;              // TimeHeigth
    int32_t leftWidth = 0;
    int32_t rightWidth = 0;
    LOGFONT titleFont{};
    COLORREF titleTextColor = CLR_INVALID;
    LOGFONT timeFont{};
    COLORREF timeTextColor = CLR_INVALID;
    COLORREF waveDataColor = CLR_INVALID;
    COLORREF waveDataSelColor = CLR_INVALID;
    COLORREF waveBorderColor = CLR_INVALID;
    COLORREF waveBgColor = CLR_INVALID;
    COLORREF waveBgSelColor = CLR_INVALID;
    COLORREF waveCenterColor = CLR_INVALID;
    COLORREF waveBlankColor = CLR_INVALID;
    COLORREF waveBlankSelColor = CLR_INVALID;
};
static_assert(sizeof(SCWAVEFORMRES) == 244);

// Makes the control of a kind the skin library does not have (the waveform editor).
using SkinControlFactory = CSkinBase* (*)(QWidget* parent, int windowId, uint32_t style);
// Registers the waveform editor's factory; without one, kind 26 creates nothing.
void SetWaveFormFactory(SkinControlFactory factory);

// Builds a window's controls from its section of the loaded skin (GetSkinXMLRoot), hands
// them to the window's panels and routes their commands to the window.
//
// Control kinds: 1 push button, 2 check button, 4 static, 5 text box, 6 link, 7 HTML static,
// 8 scroll bar, 9 time edit, 10 and 11 drop-down lists, 12 level meter, 13 list, 14 and 15
// progress bars, 16 image-backed edit, 17 HTML browser, 18 the recorder's level meter,
// 21 slider (refined by Type: "Horizontal" 22, "Vertical" 23, "Round" 24, which creates
// nothing), 26 waveform editor.
//
// m_lock is held for the whole control creation; nothing else takes it.
class CSkinHolder {
public:
    // table may be null until the window chooses one (SetControlTable).
    CSkinHolder(ISkinHolderCb* callback, QWidget* owner, const _CONTROL_INFO_STRUCT_* table, std::string section);
    ~CSkinHolder();
    CSkinHolder(const CSkinHolder&) = delete;
    CSkinHolder& operator=(const CSkinHolder&) = delete;

    // Chooses the window's table and section (releasing the controls of a previous one).
    void SetControlTable(const _CONTROL_INFO_STRUCT_* table, std::string section);
    const std::string& GetSectionName() const { return m_section; }

    // The panel of that name, created on first use as a child of the owner window (shown
    // when style has WS_VISIBLE).
    CAutoPanelCaption* GetPanel(const std::string& name, uint32_t style);
    // Creates every control of the window's section. False without a table, owner or
    // section, or when a table entry got no instance (the window must then close).
    bool LoadSkin();
    // The newest instance of the entry with this command id; null when none.
    CSkinBase* GetControl(int commandId);
    // The command id of the entry owning the instance with this window id; 0 when none.
    int FindCommandId(int windowId) const;
    // Sends the command of a control (window id, notification code) to the owner window as
    // a SkinCommandEvent under its table id. False when no table entry owns the window id.
    bool RouteCommand(int windowId, int code, intptr_t* result = nullptr);
    // Releases every control, panel and image file.
    void Reset();

    // The window's table with its live instances (for inspection).
    const std::vector<_CONTROL_INFO_STRUCT_>& Table() const { return m_table; }

private:
    void CreateControl(_CONTROL_INFO_STRUCT_& entry, const enXml& element);
    CAutoPanelCaption* FindPanelNoCase(const std::string& name) const;

    ISkinHolderCb* m_callback;
    QPointer<QWidget> m_owner;
    std::vector<_CONTROL_INFO_STRUCT_> m_table;
    std::map<std::string, QPointer<CAutoPanelCaption>> m_panels;
    std::mutex m_lock;
    std::vector<CSkinFile> m_files;
    std::vector<std::unique_ptr<_MAINFRAME_CONTROL_>> m_nodes;  // owns every instance node
    _MAINFRAME_CONTROL_* m_lastInstance = nullptr;
    std::string m_section;
};
