// CTessalyDlg, page 2: the three effect slots, the single-effects menu that fills them and
// the settings window of the chosen effect.
#include "app/main_window.h"

#include <memory>
#include <utility>

#include "app/resources.h"
#include "app/src/effect_settings_window.h"
#include "app/tessaly_app.h"
#include "contracts/plugin_api.h"
#include "effecttree/effect_node.h"
#include "effecttree/effect_tree.h"
#include "engine/render_chain.h"
#include "skin/buttons.h"
#include "skin/menu.h"

namespace {

constexpr uint32_t kFirstEffectMenuId = 32771;
// A slot's check button id is its settings button id minus this.
constexpr int kCheckIdOffset = 15;
const int kSettingsIds[3] = {IDC_PAGE2_EFFECT1_SET, IDC_PAGE2_EFFECT2_SET, IDC_PAGE2_EFFECT3_SET};
const int kEmptySlotTexts[3] = {IDS_EFFECT1, IDS_EFFECT2, IDS_EFFECT3};

}  // namespace

CEffectNode* CTessalyDlg::EffectSlot(int settingsId) const {
    const auto found = m_effectSlots.find(settingsId);
    return found == m_effectSlots.end() ? nullptr : found->second;
}

void CTessalyDlg::BuildSingleEffectsMenu() {
    if (m_singleEffectsMenuBuilt || !m_app.EffectTreeBuilt()) return;
    m_singleEffectsMenuBuilt = true;
    m_singleEffectsMenu = std::make_unique<CSCMenu>(this);
    CEffectNode* group = m_app.EffectTree().m_Root.FindChildByName("Single Effects", true);
    if (group == nullptr) return;
    std::vector<CEffectNode*> nodes;
    for (CEffectNode* node = group->GetChild(); node != nullptr; node = node->GetNext()) nodes.push_back(node);
    // Each position is compared with every later one and exchanged when greater.
    for (std::size_t i = 0; i < nodes.size(); ++i)
        for (std::size_t j = i + 1; j < nodes.size(); ++j)
            if (nodes[j]->GetCaption() < nodes[i]->GetCaption()) std::swap(nodes[i], nodes[j]);
    for (std::size_t j = 0; j < nodes.size(); ++j) {
        const uint32_t id = kFirstEffectMenuId + static_cast<uint32_t>(j);
        nodes[j]->SetID(id);
        m_singleEffectsMenu->AppendMenu(CSCMenu::MF_STRING, static_cast<int>(id),
                                        QString::fromStdString(nodes[j]->GetCaption()));
    }
}

void CTessalyDlg::ChooseSlotEffect(int settingsId) {
    BuildSingleEffectsMenu();
    if (!m_singleEffectsMenu || m_singleEffectsMenu->GetMenuItemCount() == 0) return;
    CEffectTree& tree = m_app.EffectTree();
    for (QAction* entry : m_singleEffectsMenu->actions()) {
        const CEffectNode* node = tree.m_Root.GetNodeByID(entry->data().toUInt());
        m_singleEffectsMenu->CheckMenuItem(entry->data().toInt(), node != nullptr && node->IsChecked());
    }
    const int chosen = ChoosePopup(*m_singleEffectsMenu, settingsId);
    if (chosen <= 0) return;
    CEffectNode* node = tree.m_Root.GetNodeByID(static_cast<uint32_t>(chosen));
    if (node == nullptr) return;
    for (auto& [id, held] : m_effectSlots) {
        if (held != node) continue;
        held = nullptr;
        if (node->IsChecked()) RemoveChainEffect(tree, *node);
    }
    AddChainEffect(tree, *node);
    CEffectNode*& slot = m_effectSlots[settingsId];
    if (slot != nullptr && slot != node) RemoveChainEffect(tree, *slot);
    slot = node;
    RefreshEffectSlots();
    OpenEffectSettings(*node);
}

void CTessalyDlg::ToggleSlotEffect(int checkId) {
    CEffectNode* node = EffectSlot(checkId + kCheckIdOffset);
    const CSCButton* check = Control<CSCButton>(checkId);
    if (node == nullptr || check == nullptr) return;
    CEffectTree& tree = m_app.EffectTree();
    if (check->GetCheck() != 0) {
        if (!node->IsChecked()) AddChainEffect(tree, *node);
    } else if (node->IsChecked()) {
        RemoveChainEffect(tree, *node);
    }
    RefreshEffectSlots();
}

void CTessalyDlg::RefreshEffectSlots() {
    for (int slot = 0; slot < 3; ++slot) {
        const CEffectNode* node = EffectSlot(kSettingsIds[slot]);
        for (CSCButton* check : Instances<CSCButton>(kSettingsIds[slot] - kCheckIdOffset)) {
            check->SetWindowText(node ? QString::fromStdString(node->GetCaption()) : LoadString(kEmptySlotTexts[slot]));
            check->SetCheck(node != nullptr && node->IsChecked() ? 1 : 0);
            check->setEnabled(node != nullptr);
            check->update();
        }
    }
}

void CTessalyDlg::OpenEffectSettings(CEffectNode& node) {
    if (m_effectSettings) m_effectSettings->deleteLater();
    m_effectSettingsNode = nullptr;
    const PFN_CreateSettingsWindow create = node.GetCreateSettingsWindow();
    if (create == nullptr || node.GetSettings() == nullptr) return;
    // The window floats beside the wizard and goes when closed; its changes reach onCommand.
    auto window = std::make_unique<CEffectSettingsWnd>(this, QString::fromStdString(node.GetCaption()));
    if (!window->Open(create, node.GetSettings())) return;
    m_effectSettings = window.release();  // deletes itself when closed
    m_effectSettingsNode = &node;
}
