// A node of the effect tree: a group of nodes or an offered effect, with the caption, id and
// checked mark the program shows.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "contracts/effect_tree_api.h"
#include "contracts/plugin_api.h"

// A node of the effect tree: a group of nodes or an offered effect.
class CEffectNode {
public:
    CEffectNode();
    ~CEffectNode();
    CEffectNode(const CEffectNode&) = delete;
    CEffectNode& operator=(const CEffectNode&) = delete;

    // The first node below this one, children in order (each followed by its own subtree
    // when recursive), whose caption equals caption exactly; null when none.
    CEffectNode* FindChildByName(const std::string& caption, bool recursive);
    CEffectNode* GetChild() const;
    CEffectNode* GetNext() const;
    const std::string& GetCaption() const;
    void SetID(uint32_t id);
    uint32_t GetID() const;
    // This node or the first node below it with that id; null for 0 (no id) or when none.
    CEffectNode* GetNodeByID(uint32_t id);
    // The in-chain mark kept for the program.
    bool IsChecked() const;
    void SetChecked(bool checked);
    // The node's effect instance (null for a group).
    CEffectAbstract* GetEffect() const;
    // For the settings window: the effect's plug-in settings object, and the plug-in's
    // CreateSettingsWindow export (null for a group, or when the plug-in has no window).
    void* GetSettings() const;
    PFN_CreateSettingsWindow GetCreateSettingsWindow() const;

private:
    friend struct EffectNodeAccess;
    struct Data;
    std::unique_ptr<Data> d;
};
