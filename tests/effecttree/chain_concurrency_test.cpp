// Changing the chain on one thread while another pulls blocks under the morph-stream lock:
// every block comes from one state of the chain, and nothing deadlocks.
#include <atomic>
#include <set>
#include <thread>

#include "effecttree/effect_node.h"
#include "effecttree/effect_tree.h"
#include "test_support.h"

namespace {

constexpr uint32_t kBlock = 256;

TEST(ChainConcurrency, ChangesFallBetweenBlocksWhileAnotherThreadPulls) {
    ASSERT_EQ(LoadPluginsFrom(kTestPluginDir), 1);
    enXml document;
    ASSERT_TRUE(LoadDocument(document, TestDescription()));
    CEffectTree tree;
    ASSERT_TRUE(tree.BuildTree(&document, 666));
    CEffectNode* half = tree.m_Root.FindChildByName("Half", true);
    CEffectNode* quarter = tree.m_Root.FindChildByName("Quarter", true);
    ASSERT_TRUE(half && quarter);

    ConstantSource source(1.0f);
    tree.SetAudioInput(&source);
    ASSERT_EQ(tree.OpenStream(&kWorkingFormat), EFF_OK);

    // Every state of the chain gives one of these gains, the same on every sample of a block.
    const std::set<float> possible = {1.0f, 0.5f, 0.25f, 0.125f};
    std::atomic<bool> stop{false};
    std::atomic<int> blocks{0};
    std::atomic<int> torn{0};
    std::atomic<int> unexpected{0};
    std::set<float> seen;

    std::thread puller([&] {
        SoundBlock block(2, kBlock);
        while (!stop.load()) {
            tree.LockMorphStream();
            const uint32_t frames = tree.GetSoundData(block.get());
            tree.UnlockMorphStream();
            if (frames != kBlock) ++unexpected;
            const float first = block->channels[0][0];
            for (float* channel : block->channels)
                for (uint32_t i = 0; i < frames; ++i)
                    if (channel[i] != first) {
                        ++torn;
                        break;
                    }
            if (!possible.count(first)) ++unexpected;
            seen.insert(first);
            ++blocks;
        }
    });

    for (int round = 0; round < 300; ++round) {
        AddToChain(tree, half);
        AddToChain(tree, quarter);
        RemoveFromChain(tree, round % 2 ? half : quarter);
        tree.UpdateEffect(round % 2 ? quarter : half);
        RemoveFromChain(tree, round % 2 ? quarter : half);
        // Let the puller run between rounds so that it meets every state.
        const int target = blocks.load() + 1;
        while (blocks.load() < target) std::this_thread::yield();
    }
    stop = true;
    puller.join();

    EXPECT_EQ(torn.load(), 0);
    EXPECT_EQ(unexpected.load(), 0);
    EXPECT_GE(blocks.load(), 300);
    EXPECT_TRUE(seen.count(1.0f));
    EXPECT_EQ(tree.GetTreeEntryPoint()->EffectCount(), 0);
    tree.CloseStream();
}

}  // namespace
