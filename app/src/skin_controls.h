// Making a skin control of a control kind and giving it the values of its skin element (the
// kind's attributes packed into the kind's resource record).
#pragma once

#include <QWidget>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "skin/skin_base.h"
#include "skin/skin_file.h"

class enXml;

namespace skinholder {

// Slider kinds refined from kind 21 by the element's Type.
inline constexpr int kSliderKind = 21;
inline constexpr int kHorizontalSlider = 22;
inline constexpr int kVerticalSlider = 23;
inline constexpr int kRoundSlider = 24;
inline constexpr int kWaveFormKind = 26;

// Kind 21 refined by Type ("Horizontal", "Vertical", "Round", compared exactly); 21 for any
// other value; nothing when Type is absent.
std::optional<int> RefineSliderKind(const enXml& element);

// Creates the control of a refined kind as a hidden child of parent with the window id, at
// the kind's first rectangle; null for a kind that creates nothing.
CSkinBase* CreateSkinControl(int kind, const enXml& element, QWidget* parent, int windowId);

// Reads the kind's attributes, opens the images it names (kept open in `files` for the
// control's lifetime) and hands the kind's record to the control. False, leaving the control
// unskinned, when a required image is absent or cannot be opened, or a named optional one
// cannot be opened. Kinds without a record are left as they are (true).
bool ApplySkinAttributes(CSkinBase* control, int kind, const enXml& element, std::vector<CSkinFile>& files);

// Whether the kind takes the window's font after its record (buttons, image-backed edits).
bool TakesWindowFont(int kind);

// DrawAlign: "ALIGN_LEFT/TOP" 0, "ALIGN_RIGHT/BOTTOM" 2 (without regard to case), else 1.
int32_t ReadDrawAlign(const enXml& element);

}  // namespace skinholder
