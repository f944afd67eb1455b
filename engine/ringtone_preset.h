// What a ringtone is made for: the page-3 "For:" list and morvane-cli's --preset. A preset
// chooses the output (format, channels, bit rate), the level (normalizer and loudness
// target) and the longest range the phone takes; "Any player" keeps the first format, the
// peak normalizer and no limit.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "engine/saver.h"

enum class RingtonePreset : int {
    AnyPlayer = 0,
    IPhoneRingtone,
    IPhoneAlert,
    AndroidRingtone,
    AndroidNotification,
    AndroidAlarm,
};

// Which kind of sound a preset makes: picks the loudness target and, on a phone's storage,
// the folder ("Ringtones", "Notifications", "Alarms").
enum class ToneKind { Ringtone, Notification, Alarm };
// "ringtone", "notification", "alarm": the kind's name where it is typed or sent on.
const char* ToneKindName(ToneKind kind);

inline constexpr double kNotificationLoudnessTarget = -18.0;  // LUFS

struct PresetSettings {
    RingtonePreset preset;
    const char* caption;  // the "For:" row
    const char* name;     // the --preset value
    uint32_t encoderTag;
    uint32_t channels;
    uint32_t kbps;
    NormalizeMode normalize;
    ToneKind kind;
    uint32_t limitSeconds;  // 0: no limit
};

// In the order of the "For:" list, which is also the stored Save/Preset value.
inline constexpr std::array<PresetSettings, 6> kPresets = {{
    {RingtonePreset::AnyPlayer, "Any player", "any", QoEncoderMp3, 2, 128, NormalizeMode::Peak, ToneKind::Ringtone, 0},
    {RingtonePreset::IPhoneRingtone, "iPhone ringtone", "iphone", QoEncoderM4r, 2, 128, NormalizeMode::Loudness,
     ToneKind::Ringtone, 40},
    {RingtonePreset::IPhoneAlert, "iPhone alert", "iphone-alert", QoEncoderM4r, 2, 128, NormalizeMode::Loudness,
     ToneKind::Notification, 30},
    {RingtonePreset::AndroidRingtone, "Android ringtone", "android", QoEncoderOgg, 2, 128, NormalizeMode::Loudness,
     ToneKind::Ringtone, 0},
    {RingtonePreset::AndroidNotification, "Android notification", "android-notification", QoEncoderOgg, 2, 128,
     NormalizeMode::Loudness, ToneKind::Notification, 0},
    {RingtonePreset::AndroidAlarm, "Android alarm", "android-alarm", QoEncoderOgg, 2, 128, NormalizeMode::Loudness,
     ToneKind::Alarm, 0},
}};

const PresetSettings& PresetFor(RingtonePreset preset);
// The preset stored as value (Save/Preset); Any player for anything out of range.
RingtonePreset PresetFromProfile(int value);
std::optional<RingtonePreset> PresetByName(std::string_view name);

// The loudness targets, one for ringtones and alarms and one for notifications.
struct LoudnessTargets {
    double ringtone = kDefaultLoudnessTarget;
    double notification = kNotificationLoudnessTarget;
    double For(ToneKind kind) const { return kind == ToneKind::Notification ? notification : ringtone; }
};

// A range of frames at the mix rate.
struct FrameRange {
    int64_t start = 0;
    int64_t length = 0;
    bool operator==(const FrameRange&) const = default;
};
// Whether a range of the given length is longer than the preset takes.
bool ExceedsLimit(const PresetSettings& preset, int64_t lengthFrames, uint32_t sampleRate);
// The range shortened to the preset's limit, start kept; unchanged when within it. A
// shortened range gets a fade-out at its new end (the caller turns it on).
FrameRange FitToLimit(const PresetSettings& preset, FrameRange range, uint32_t sampleRate);
