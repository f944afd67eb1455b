// Building the tree from effects descriptions: groups, captions, ids, checked marks, the
// effects and their settings objects.
#include "effecttree/effect_tree.h"
#include "effecttree/effect_node.h"
#include "test_support.h"

namespace {

class EffectTreeBuild : public TestTree {
protected:
    std::vector<std::string> CaptionsBelow(const CEffectNode* node) {
        std::vector<std::string> captions;
        for (CEffectNode* child = node->GetChild(); child; child = child->GetNext())
            captions.push_back(child->GetCaption());
        return captions;
    }
};

TEST_F(EffectTreeBuild, GroupsHoldTheirEffectsInDocumentOrder) {
    EXPECT_EQ(CaptionsBelow(&tree.m_Root), (std::vector<std::string>{"Single Effects", "Other"}));
    // "Missing" names a library that is not loaded and the caption-less effect is left out.
    EXPECT_EQ(CaptionsBelow(group), (std::vector<std::string>{"Half", "Quarter", "Echo", "Unity", "Nested"}));
    EXPECT_EQ(group->GetEffect(), nullptr);
    EXPECT_EQ(group->GetSettings(), nullptr);
    EXPECT_EQ(tree.m_Root.FindChildByName("Other", false)->GetChild(), nullptr);
}

TEST_F(EffectTreeBuild, EffectNodesCarryAnEffectWithItsOwnSettingsObject) {
    CEffectNode* half = group->FindChildByName("Half", false);
    CEffectNode* quarter = group->FindChildByName("Quarter", false);
    ASSERT_NE(half, nullptr);
    ASSERT_NE(quarter, nullptr);
    EXPECT_NE(half->GetEffect(), nullptr);
    EXPECT_NE(half->GetSettings(), nullptr);
    EXPECT_NE(half->GetSettings(), quarter->GetSettings());
    EXPECT_NE(half->GetEffect(), quarter->GetEffect());
    EXPECT_NE(half->GetCreateSettingsWindow(), nullptr);
    EXPECT_FALSE(half->GetEffect()->IsActive());
}

TEST_F(EffectTreeBuild, FindChildByNameSearchesBelowOnlyWhenRecursive) {
    EXPECT_EQ(group->FindChildByName("Deep", false), nullptr);
    CEffectNode* deep = group->FindChildByName("Deep", true);
    ASSERT_NE(deep, nullptr);
    EXPECT_EQ(deep->GetCaption(), "Deep");
    EXPECT_NE(deep->GetEffect(), nullptr);  // element names compare without regard to case
    EXPECT_EQ(tree.m_Root.FindChildByName("Half", false), nullptr);
    EXPECT_EQ(tree.m_Root.FindChildByName("Half", true), group->GetChild());
    EXPECT_EQ(tree.m_Root.FindChildByName("half", true), nullptr);  // captions compare exactly
}

TEST_F(EffectTreeBuild, IdsResolveToTheirNodesFromAnyAncestor) {
    uint32_t id = 32771;
    std::vector<CEffectNode*> nodes;
    for (CEffectNode* child = group->GetChild(); child; child = child->GetNext()) {
        child->SetID(id++);
        nodes.push_back(child);
    }
    CEffectNode* deep = group->FindChildByName("Deep", true);
    deep->SetID(40000);
    for (size_t i = 0; i < nodes.size(); ++i) {
        EXPECT_EQ(tree.m_Root.GetNodeByID(static_cast<uint32_t>(32771 + i)), nodes[i]);
        EXPECT_EQ(nodes[i]->GetID(), 32771 + i);
    }
    EXPECT_EQ(tree.m_Root.GetNodeByID(40000), deep);
    EXPECT_EQ(group->GetNodeByID(40000), deep);
    EXPECT_EQ(nodes[0]->GetNodeByID(40000), nullptr);
    EXPECT_EQ(tree.m_Root.GetNodeByID(12345), nullptr);
    EXPECT_EQ(tree.m_Root.GetNodeByID(0), nullptr);  // 0 is no id, although unset nodes hold it
}

TEST_F(EffectTreeBuild, CheckedMarksAreKeptPerNode) {
    CEffectNode* half = group->FindChildByName("Half", false);
    CEffectNode* quarter = group->FindChildByName("Quarter", false);
    EXPECT_FALSE(half->IsChecked());
    half->SetChecked(true);
    EXPECT_TRUE(half->IsChecked());
    EXPECT_FALSE(quarter->IsChecked());
    half->SetChecked(false);
    EXPECT_FALSE(half->IsChecked());
}

TEST_F(EffectTreeBuild, RebuildingReplacesTheTreeAndEmptiesTheChain) {
    CEffectNode* half = group->FindChildByName("Half", false);
    AddToChain(tree, half);
    ASSERT_EQ(tree.GetTreeEntryPoint()->EffectCount(), 1);

    enXml other;
    ASSERT_TRUE(LoadDocument(other,
                             "<EffectTree Tag='666'><Group Caption='Single Effects'>"
                             "<Effect Caption='Only' Library='libtestgain.so'/></Group></EffectTree>"));
    ASSERT_TRUE(tree.BuildTree(&other, 666));
    EXPECT_EQ(tree.GetTreeEntryPoint()->EffectCount(), 0);
    CEffectNode* rebuilt = tree.m_Root.FindChildByName("Single Effects", true);
    ASSERT_NE(rebuilt, nullptr);
    EXPECT_EQ(rebuilt->GetChild()->GetCaption(), "Only");
    EXPECT_EQ(rebuilt->GetChild()->GetNext(), nullptr);
}

TEST(EffectTreeRefusal, AnotherTagNullOrForeignDocumentLeavesAnEmptyTree) {
    ASSERT_EQ(LoadPluginsFrom(kTestPluginDir), 1);
    CEffectTree tree;
    enXml tagged;
    ASSERT_TRUE(LoadDocument(tagged, TestDescription(667)));
    EXPECT_FALSE(tree.BuildTree(&tagged, 666));
    EXPECT_EQ(tree.m_Root.GetChild(), nullptr);

    enXml right;
    ASSERT_TRUE(LoadDocument(right, TestDescription()));
    ASSERT_TRUE(tree.BuildTree(&right, 666));
    EXPECT_FALSE(tree.BuildTree(nullptr, 666));
    EXPECT_EQ(tree.m_Root.GetChild(), nullptr);

    enXml foreign;
    ASSERT_TRUE(LoadDocument(foreign, "<Skin Tag='666'><Group Caption='Single Effects'/></Skin>"));
    EXPECT_FALSE(tree.BuildTree(&foreign, 666));
    EXPECT_EQ(tree.m_Root.GetChild(), nullptr);
}

TEST(EffectTreeRefusal, WithoutLoadedPluginsOnlyTheGroupsRemain) {
    ASSERT_EQ(LoadPluginsFrom(kTestPluginDir + "/no such folder"), 0);
    CEffectTree tree;
    enXml document;
    ASSERT_TRUE(LoadDocument(document, TestDescription()));
    ASSERT_TRUE(tree.BuildTree(&document, 666));
    CEffectNode* group = tree.m_Root.FindChildByName("Single Effects", true);
    ASSERT_NE(group, nullptr);
    ASSERT_NE(group->GetChild(), nullptr);
    EXPECT_EQ(group->GetChild()->GetCaption(), "Nested");
    EXPECT_EQ(group->GetChild()->GetChild(), nullptr);
}

// The shipped description, read by the real plug-ins.
using ShippedDescription = ShippedTree;

TEST_F(ShippedDescription, OffersTheFourEffectsEachWithItsSettings) {
    std::vector<std::string> captions;
    for (CEffectNode* node = group->GetChild(); node; node = node->GetNext()) {
        captions.push_back(node->GetCaption());
        EXPECT_NE(node->GetEffect(), nullptr) << node->GetCaption();
        EXPECT_NE(node->GetSettings(), nullptr) << node->GetCaption();
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"Equalizer", "Ping-Pong Delay", "Delay", "Wah-Wah"}));
}

}  // namespace
