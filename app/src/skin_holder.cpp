// CSkinHolder: a window's controls built from its section of the skin.
#include "app/skin_holder.h"

#include <QCoreApplication>

#include "app/resources.h"
#include "app/src/skin_controls.h"
#include "platform/platform.h"
#include "xml/xml.h"

namespace {

// The message every control receives once its window's skin is applied (WM_USER + 111).
void NotifySkinApplied(QWidget& owner) {
    for (CSkinBase* control : owner.findChildren<CSkinBase*>()) control->OnSkinApplied();
}

}  // namespace

_MAINFRAME_CONTROL_::_MAINFRAME_CONTROL_(int32_t id, CSkinBase* skinControl) : windowId(id), control(skinControl) {}

_MAINFRAME_CONTROL_::~_MAINFRAME_CONTROL_() { delete control.data(); }

QEvent::Type SkinCommandEvent::Type() {
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

CSkinHolder::CSkinHolder(ISkinHolderCb* callback, QWidget* owner, const _CONTROL_INFO_STRUCT_* table,
                         std::string section)
    : m_callback(callback), m_owner(owner) {
    SetControlTable(table, std::move(section));
}

CSkinHolder::~CSkinHolder() { Reset(); }

void CSkinHolder::SetControlTable(const _CONTROL_INFO_STRUCT_* table, std::string section) {
    Reset();
    m_table.clear();
    for (const _CONTROL_INFO_STRUCT_* entry = table; entry != nullptr && entry->name != nullptr; ++entry) {
        m_table.push_back(*entry);
        m_table.back().instances = nullptr;
    }
    m_section = std::move(section);
}

CAutoPanelCaption* CSkinHolder::GetPanel(const std::string& name, uint32_t style) {
    if (const auto found = m_panels.find(name); found != m_panels.end() && found->second) return found->second;
    if (!m_owner) return nullptr;
    auto* panel = new CAutoPanelCaption(m_owner);  // a child of the owner window, which owns it with Qt
    panel->setGeometry(0, 0, 15, 15);
    panel->setVisible((style & WS_VISIBLE) != 0);
    m_panels[name] = panel;
    return panel;
}

CAutoPanelCaption* CSkinHolder::FindPanelNoCase(const std::string& name) const {
    for (const auto& [panelName, panel] : m_panels)
        if (EqualsNoCase(panelName, name)) return panel;
    return nullptr;
}

bool CSkinHolder::LoadSkin() {
    if (m_table.empty() || !m_owner) return false;
    const enXml* root = GetSkinXMLRoot();
    const enXml* section = root != nullptr ? root->FindChild(m_section) : nullptr;
    if (section == nullptr) return false;
    {
        std::lock_guard lock(m_lock);
        const enXml* panels = section->FindChild("Panels");
        for (const auto& [name, panel] : m_panels)
            if (panel) panel->LoadResources(panels != nullptr ? panels->FindChild(name) : nullptr);
        if (const enXml* controls = section->FindChild("Controls"))
            for (const enXml* element = controls->FirstChildElement(); element; element = element->NextSiblingElement())
                for (_CONTROL_INFO_STRUCT_& entry : m_table)
                    if (EqualsNoCase(entry.name, element->GetName())) {
                        CreateControl(entry, *element);
                        break;
                    }
        if (m_callback != nullptr) m_callback->OnSkinLoaded();
    }
    for (const _CONTROL_INFO_STRUCT_& entry : m_table)
        if (entry.instances == nullptr) return false;
    NotifySkinApplied(*m_owner);
    return true;
}

void CSkinHolder::CreateControl(_CONTROL_INFO_STRUCT_& entry, const enXml& element) {
    int instanceCount = 0;
    for (const _MAINFRAME_CONTROL_* node = entry.instances; node != nullptr; node = node->next) ++instanceCount;
    const int windowId = entry.commandId + instanceCount + 1;

    int kind = entry.kind;
    if (kind == skinholder::kSliderKind) {
        const std::optional<int> refined = skinholder::RefineSliderKind(element);
        if (!refined) return;
        kind = *refined;
    }
    CSkinBase* control = skinholder::CreateSkinControl(kind, element, m_owner, windowId);
    if (control == nullptr) return;
    auto node = std::make_unique<_MAINFRAME_CONTROL_>(windowId, control);
    node->next = entry.instances;
    entry.instances = node.get();
    m_nodes.push_back(std::move(node));
    QObject::connect(control, &CSkinBase::command, m_owner, [this](int id, int code) { RouteCommand(id, code); });

    // A control whose images are missing keeps its plain look but is still captioned,
    // placed and explained, so that the window stays usable.
    if (skinholder::ApplySkinAttributes(control, kind, element, m_files) && skinholder::TakesWindowFont(kind))
        control->setFont(m_owner->font());
    if (entry.captionId != IDS_NONE) control->SetWindowText(LoadString(entry.captionId));
    std::string owner;
    element.GetAttribute("Owner", owner);
    if (CAutoPanelCaption* panel = FindPanelNoCase(owner)) panel->AutoDisposeControl(control, &element);
    if (entry.tooltip != nullptr) control->SetTooltip(QString::fromUtf8(entry.tooltip));
}

CSkinBase* CSkinHolder::GetControl(int commandId) {
    for (const _CONTROL_INFO_STRUCT_& entry : m_table)
        if (entry.commandId == commandId) {
            m_lastInstance = entry.instances;
            return m_lastInstance != nullptr ? m_lastInstance->control.data() : nullptr;
        }
    return nullptr;
}

int CSkinHolder::FindCommandId(int windowId) const {
    for (const _CONTROL_INFO_STRUCT_& entry : m_table)
        for (const _MAINFRAME_CONTROL_* node = entry.instances; node != nullptr; node = node->next)
            if (node->windowId == windowId) return entry.commandId;
    return 0;
}

bool CSkinHolder::RouteCommand(int windowId, int code, intptr_t* result) {
    const int commandId = FindCommandId(windowId);
    if (commandId == 0 || !m_owner) return false;
    SkinCommandEvent command(commandId, code);
    QCoreApplication::sendEvent(m_owner, &command);
    if (result != nullptr) *result = command.result;
    return true;
}

void CSkinHolder::Reset() {
    for (const auto& [name, panel] : m_panels)
        if (panel) panel->DetachAllControls();
    for (_CONTROL_INFO_STRUCT_& entry : m_table) entry.instances = nullptr;
    m_lastInstance = nullptr;
    m_nodes.clear();
    for (const auto& [name, panel] : m_panels) delete panel.data();
    m_panels.clear();
    m_files.clear();
}
