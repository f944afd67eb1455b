// Playback pulls on a player thread while the interface thread changes the timeline, the
// volume and the effect chain, as during a preview.
#include <atomic>
#include <chrono>
#include <thread>

#include "chain_fixture.h"
#include "effecttree/effect_node.h"
#include "engine/render_chain.h"

namespace {

class ChainThreads : public ChainFixture {};

TEST_F(ChainThreads, PullsStayWholeWhileTheInterfaceChangesEverything) {
    LoadRealEffects();
    UseTrack(1, StereoFrames(44100, [](uint32_t f, uint32_t) { return static_cast<int16_t>(f % 2000); }));
    UseTrack(2, StereoFrames(22050, [](uint32_t, uint32_t) { return int16_t{3000}; }));
    timeline_.SetPlayRange(0, 30000);
    timeline_.SetRenderPosition(0);
    ASSERT_EQ(timeline_.SetUpPlayback(), EFF_OK);

    std::atomic<bool> stop{false};
    std::atomic<int> shortBlocks{0};
    std::atomic<int> pulls{0};
    std::thread player([&] {
        TestPlayer face;
        face.repeat = true;
        SoundBlock block(2, 1024);
        while (!stop.load()) {
            if (timeline_.PullPlayback(block.get(), 0, face) != 1024) ++shortBlocks;
            ++pulls;
            // A device asks again only after it has played some of the last block; pulling
            // back to back would starve the interface thread of the timeline's lock.
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
    });

    CEffectNode& delay = Effect("Delay");
    CEffectNode& wah = Effect("Wah-Wah");
    for (int round = 0; round < 200 || pulls.load() < 50; ++round) {
        {
            // A change of several positions at once, as the editor makes it.
            std::lock_guard lock(timeline_.Guard());
            const int64_t start = (round % 7) * 1000;
            timeline_.SetPlayRange(start, start + 2000 + round % 5 * 3000);
            timeline_.SetMarkers(start, start + 2000);
        }
        timeline_.SetFadeIn(round % 2 == 0);
        timeline_.SetFadeOut(round % 3 == 0);
        volume_.SetVolume(round % 201);
        if (round % 4 == 0) AddChainEffect(tree_, delay);
        if (round % 4 == 2) RemoveChainEffect(tree_, delay);
        if (round % 6 == 1) AddChainEffect(tree_, wah);
        if (round % 6 == 4) RemoveChainEffect(tree_, wah);
        while (timeline_.PositionQueue().TakeOldest()) {}
        std::this_thread::yield();
    }
    stop.store(true);
    player.join();
    EXPECT_EQ(shortBlocks.load(), 0) << "with repeat on and a range, every block is full";
    EXPECT_LE(timeline_.PositionQueue().Entries().size(), PlayPositionQueue::kCapacity);
}

}  // namespace
