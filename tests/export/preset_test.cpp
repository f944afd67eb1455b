// The presets: stored values and names, and the length limits with the shortening.
#include <gtest/gtest.h>

#include "engine/ringtone_preset.h"

namespace {

constexpr uint32_t kRate = 44100;

TEST(RingtonePreset, StoredValuesAndNamesFindTheirRows) {
    for (size_t row = 0; row < kPresets.size(); ++row) {
        EXPECT_EQ(PresetFromProfile(static_cast<int>(row)), kPresets[row].preset) << row;
        EXPECT_EQ(PresetByName(kPresets[row].name), kPresets[row].preset) << kPresets[row].name;
    }
    EXPECT_EQ(PresetFromProfile(-1), RingtonePreset::AnyPlayer);
    EXPECT_EQ(PresetFromProfile(static_cast<int>(kPresets.size())), RingtonePreset::AnyPlayer);
    EXPECT_FALSE(PresetByName("iPhone").has_value());  // names are exact
    EXPECT_FALSE(PresetByName("").has_value());
}

TEST(RingtonePreset, PhonesGetTheirFormatAndLoudnessAnyPlayerKeepsThePeakNormalizer) {
    EXPECT_EQ(PresetFor(RingtonePreset::AnyPlayer).encoderTag, QoEncoderMp3);
    EXPECT_EQ(PresetFor(RingtonePreset::AnyPlayer).normalize, NormalizeMode::Peak);
    for (RingtonePreset p : {RingtonePreset::IPhoneRingtone, RingtonePreset::IPhoneAlert})
        EXPECT_EQ(PresetFor(p).encoderTag, QoEncoderM4r);
    for (RingtonePreset p :
         {RingtonePreset::AndroidRingtone, RingtonePreset::AndroidNotification, RingtonePreset::AndroidAlarm})
        EXPECT_EQ(PresetFor(p).encoderTag, QoEncoderOgg);
    for (const PresetSettings& p : kPresets) {
        EXPECT_EQ(p.channels, 2u) << p.name;
        EXPECT_EQ(p.kbps, 128u) << p.name;
        if (p.preset != RingtonePreset::AnyPlayer) {
            EXPECT_EQ(p.normalize, NormalizeMode::Loudness) << p.name;
        }
    }
    const LoudnessTargets targets;
    EXPECT_DOUBLE_EQ(targets.For(PresetFor(RingtonePreset::IPhoneRingtone).kind), -14.0);
    EXPECT_DOUBLE_EQ(targets.For(PresetFor(RingtonePreset::AndroidAlarm).kind), -14.0);
    EXPECT_DOUBLE_EQ(targets.For(PresetFor(RingtonePreset::AndroidNotification).kind), -18.0);
    EXPECT_DOUBLE_EQ(targets.For(PresetFor(RingtonePreset::IPhoneAlert).kind), -18.0);
}

TEST(RingtonePreset, LimitsAreInclusiveAndFittingKeepsTheStart) {
    const PresetSettings& ringtone = PresetFor(RingtonePreset::IPhoneRingtone);
    const PresetSettings& alert = PresetFor(RingtonePreset::IPhoneAlert);
    EXPECT_FALSE(ExceedsLimit(ringtone, 40 * kRate, kRate));
    EXPECT_TRUE(ExceedsLimit(ringtone, 40 * kRate + 1, kRate));
    EXPECT_TRUE(ExceedsLimit(alert, 30 * kRate + 1, kRate));
    EXPECT_FALSE(ExceedsLimit(PresetFor(RingtonePreset::AndroidRingtone), 3600 * kRate, kRate));

    const FrameRange longRange{12345, 55 * kRate};
    EXPECT_EQ(FitToLimit(ringtone, longRange, kRate), (FrameRange{12345, 40 * kRate}));
    EXPECT_EQ(FitToLimit(alert, longRange, kRate), (FrameRange{12345, 30 * kRate}));
    const FrameRange shortRange{7, 20 * kRate};
    EXPECT_EQ(FitToLimit(ringtone, shortRange, kRate), shortRange);
    EXPECT_EQ(FitToLimit(PresetFor(RingtonePreset::AnyPlayer), longRange, kRate), longRange);
}

}  // namespace
