// The running chain: pass-through, effects in order, activation, streams opened and cleared,
// refused formats.
#include "test_support.h"

namespace {

constexpr uint32_t kBlock = 512;

class EffectChain : public TestTree {
protected:
    void SetUp() override {
        TestTree::SetUp();
        if (HasFatalFailure()) return;
        half = group->FindChildByName("Half", false);
        quarter = group->FindChildByName("Quarter", false);
        echo = group->FindChildByName("Echo", false);
        ASSERT_TRUE(half && quarter && echo);
        block.Allocate(2, kBlock);
        block->capacity = kBlock;
    }

    void TearDown() override { tree.CloseStream(); }

    uint32_t Pull() {
        tree.LockMorphStream();
        const uint32_t frames = tree.GetSoundData(block.get());
        tree.UnlockMorphStream();
        return frames;
    }

    // Pulls one block of the ramp and checks every sample against gain × the ramp.
    void ExpectRampTimes(RampSource& source, double gain) {
        const uint64_t first = source.Position();
        ASSERT_EQ(Pull(), kBlock);
        for (uint32_t i = 0; i < kBlock; ++i)
            for (size_t c = 0; c < 2; ++c)
                ASSERT_FLOAT_EQ(block->channels[c][i], static_cast<float>(gain * RampSample(first + i, c)))
                    << "frame " << i << " channel " << c;
    }

    // A stream of ones on the source through the echo, one block pulled: the echo's delay
    // line holds ones; then the source turns silent.
    void FillEchoWithOnes(ConstantSource& source) {
        tree.SetAudioInput(&source);
        ASSERT_EQ(tree.OpenStream(&kWorkingFormat), EFF_OK);
        AddToChain(tree, echo);
        ASSERT_EQ(Pull(), kBlock);
        source.SetValue(0.0f);
    }

    CEffectNode* half = nullptr;
    CEffectNode* quarter = nullptr;
    CEffectNode* echo = nullptr;
    SoundBlock block;
};

TEST_F(EffectChain, AnEmptyChainPassesTheInputThroughSampleExact) {
    RampSource source(3 * kBlock + 100);
    tree.SetAudioInput(&source);
    ASSERT_EQ(tree.OpenStream(&kWorkingFormat), EFF_OK);
    for (int b = 0; b < 3; ++b) {
        const uint64_t first = source.Position();
        ASSERT_EQ(Pull(), kBlock);
        for (uint32_t i = 0; i < kBlock; ++i)
            for (size_t c = 0; c < 2; ++c) ASSERT_EQ(block->channels[c][i], RampSample(first + i, c));
    }
    EXPECT_EQ(Pull(), 100u);  // the rest of the input, then its end
    EXPECT_EQ(Pull(), 0u);
    EXPECT_EQ(block->frames, 0u);
}

TEST_F(EffectChain, OneEffectChangesTheSoundAndItsRemovalRestoresIt) {
    RampSource source;
    tree.SetAudioInput(&source);
    ASSERT_EQ(tree.OpenStream(&kWorkingFormat), EFF_OK);
    ExpectRampTimes(source, 1.0);
    AddToChain(tree, half);
    EXPECT_TRUE(half->IsChecked());
    ExpectRampTimes(source, 0.5);
    RemoveFromChain(tree, half);
    EXPECT_FALSE(half->IsChecked());
    EXPECT_EQ(tree.GetTreeEntryPoint()->EffectCount(), 0);
    ExpectRampTimes(source, 1.0);
}

TEST_F(EffectChain, EffectsRunInChainOrderEachFedByTheOneBefore) {
    RampSource source;
    tree.SetAudioInput(&source);
    ASSERT_EQ(tree.OpenStream(&kWorkingFormat), EFF_OK);
    AddToChain(tree, half);
    AddToChain(tree, quarter);
    ExpectRampTimes(source, 0.125);
    // Delaying after the gains: the first three frames of the echo are silent.
    AddToChain(tree, echo);
    const uint64_t first = source.Position();
    ASSERT_EQ(Pull(), kBlock);
    for (uint32_t i = 0; i < 3; ++i) EXPECT_EQ(block->channels[0][i], 0.0f);
    for (uint32_t i = 3; i < kBlock; ++i) ASSERT_FLOAT_EQ(block->channels[1][i], 0.125f * RampSample(first + i - 3, 1));

    CComplexEffect* chain = tree.GetTreeEntryPoint();
    EXPECT_EQ(chain->EffectCount(), 3);
    EXPECT_EQ(echo->GetEffect()->GetPrev(), quarter->GetEffect());
    EXPECT_EQ(quarter->GetEffect()->GetPrev(), half->GetEffect());
    EXPECT_EQ(half->GetEffect()->GetPrev(), &source);
}

TEST_F(EffectChain, AddingBehindAnEffectAndAddingTwiceKeepOneEntryEach) {
    CComplexEffect* chain = tree.GetTreeEntryPoint();
    chain->AddEffect(nullptr, half->GetEffect());
    chain->AddEffect(nullptr, echo->GetEffect());
    chain->AddEffect(half->GetEffect(), quarter->GetEffect());
    chain->AddEffect(nullptr, half->GetEffect());
    chain->AddEffect(nullptr, nullptr);
    chain->AddEffect(nullptr, chain);
    EXPECT_EQ(chain->EffectCount(), 3);
    EXPECT_EQ(quarter->GetEffect()->GetPrev(), half->GetEffect());
    EXPECT_EQ(echo->GetEffect()->GetPrev(), quarter->GetEffect());
    chain->DeleteEffect(quarter->GetEffect());
    chain->DeleteEffect(quarter->GetEffect());
    EXPECT_EQ(chain->EffectCount(), 2);
    EXPECT_EQ(echo->GetEffect()->GetPrev(), half->GetEffect());
    EXPECT_EQ(quarter->GetEffect()->GetPrev(), nullptr);
}

TEST_F(EffectChain, InactiveEffectsAndAnInactiveChainPassThrough) {
    RampSource source;
    tree.SetAudioInput(&source);
    ASSERT_EQ(tree.OpenStream(&kWorkingFormat), EFF_OK);
    AddToChain(tree, half);
    AddToChain(tree, quarter);
    half->GetEffect()->SetActive(false);
    ExpectRampTimes(source, 0.25);
    tree.GetTreeEntryPoint()->SetActive(false);
    ExpectRampTimes(source, 1.0);
    tree.GetTreeEntryPoint()->SetActive(true);
    half->GetEffect()->SetActive(true);
    ExpectRampTimes(source, 0.125);
}

TEST_F(EffectChain, AnEffectAddedBeforeTheStreamOpensJoinsIt) {
    RampSource source;
    AddToChain(tree, half);
    tree.SetAudioInput(&source);
    ASSERT_EQ(tree.OpenStream(&kWorkingFormat), EFF_OK);
    ExpectRampTimes(source, 0.5);
    // A second stream after the first ended.
    tree.CloseStream();
    EXPECT_EQ(Pull(), 0u);
    ASSERT_EQ(tree.OpenStream(&kWorkingFormat), EFF_OK);
    ExpectRampTimes(source, 0.5);
}

TEST_F(EffectChain, ClearingStateDropsWhatTheEffectHasBuffered) {
    ConstantSource source(1.0f);
    ASSERT_NO_FATAL_FAILURE(FillEchoWithOnes(source));

    // Without clearing, the delay line still gives out the ones it holds.
    ASSERT_EQ(Pull(), kBlock);
    EXPECT_EQ(block->channels[0][0], 1.0f);
    EXPECT_EQ(block->channels[0][3], 0.0f);

    source.SetValue(1.0f);
    ASSERT_EQ(Pull(), kBlock);
    source.SetValue(0.0f);
    echo->GetEffect()->ClearState();
    ASSERT_EQ(Pull(), kBlock);
    for (uint32_t i = 0; i < kBlock; ++i) ASSERT_EQ(block->channels[0][i], 0.0f) << i;

    // Removing and adding again starts afresh too.
    source.SetValue(1.0f);
    ASSERT_EQ(Pull(), kBlock);
    source.SetValue(0.0f);
    RemoveFromChain(tree, echo);
    AddToChain(tree, echo);
    ASSERT_EQ(Pull(), kBlock);
    for (uint32_t i = 0; i < kBlock; ++i) ASSERT_EQ(block->channels[1][i], 0.0f) << i;
}

TEST_F(EffectChain, UpdateEffectRestartsTheStreamOfTheNodesEffect) {
    ConstantSource source(1.0f);
    ASSERT_NO_FATAL_FAILURE(FillEchoWithOnes(source));
    tree.UpdateEffect(echo);
    ASSERT_EQ(Pull(), kBlock);
    for (uint32_t i = 0; i < kBlock; ++i) ASSERT_EQ(block->channels[0][i], 0.0f) << i;
    tree.UpdateEffect(nullptr);
    tree.UpdateEffect(tree.m_Root.FindChildByName("Single Effects", true));  // a group: nothing
}

TEST_F(EffectChain, APluginRefusingTheFormatFailsTheOpen) {
    RampSource source;
    tree.SetAudioInput(&source);
    const WAVEFORMATEXTENSIBLE fourChannels = FormatWithChannels(4);
    ASSERT_EQ(tree.OpenStream(&fourChannels), EFF_OK);  // nothing in the chain refuses yet
    tree.CloseStream();

    AddToChain(tree, half);
    EXPECT_EQ(tree.OpenStream(&fourChannels), EFF_PLUGIN_REFUSED);
    SoundBlock wide(4, kBlock);
    wide->capacity = kBlock;
    EXPECT_EQ(tree.GetSoundData(wide.get()), 0u);  // no stream runs
    EXPECT_EQ(tree.OpenStream(&kWorkingFormat), EFF_OK);
}

TEST_F(EffectChain, AnEffectRefusingAnOpenStreamPassesThrough) {
    RampSource source;
    tree.SetAudioInput(&source);
    const WAVEFORMATEXTENSIBLE threeChannels = FormatWithChannels(3);
    ASSERT_EQ(tree.OpenStream(&threeChannels), EFF_OK);
    AddToChain(tree, half);
    SoundBlock wide(3, kBlock);
    wide->capacity = kBlock;
    const uint64_t first = source.Position();
    ASSERT_EQ(tree.GetSoundData(wide.get()), kBlock);
    for (uint32_t i = 0; i < kBlock; ++i) ASSERT_EQ(wide->channels[2][i], RampSample(first + i, 2));
}

TEST_F(EffectChain, StreamsNeedAnInputAFormatAndMatchingBlocks) {
    EXPECT_EQ(tree.OpenStream(&kWorkingFormat), EFF_NO_INPUT);
    RampSource source;
    tree.SetAudioInput(&source);
    EXPECT_EQ(tree.OpenStream(nullptr), EFF_BAD_FORMAT);
    WAVEFORMATEXTENSIBLE silent = kWorkingFormat;
    silent.Format.nChannels = 0;
    EXPECT_EQ(tree.OpenStream(&silent), EFF_BAD_FORMAT);
    WAVEFORMATEXTENSIBLE compressed = kWorkingFormat;
    compressed.Format.wFormatTag = 0x0055;
    EXPECT_EQ(tree.OpenStream(&compressed), EFF_BAD_FORMAT);

    EXPECT_EQ(Pull(), 0u);  // not open
    ASSERT_EQ(tree.OpenStream(&kWorkingFormat), EFF_OK);
    SoundBlock mono(1, kBlock);
    mono->capacity = kBlock;
    EXPECT_EQ(tree.GetSoundData(mono.get()), 0u);
    EXPECT_EQ(source.Position(), 0u);
    EXPECT_EQ(Pull(), kBlock);
}

}  // namespace
