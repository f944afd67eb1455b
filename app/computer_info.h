// The computer information text of the about box.
#pragma once

#include <QString>

// The capacity of the computer information text, in characters.
inline constexpr int kCompInfoCapacity = 10240;
// A text describing this computer: system, processor, memory, audio devices and screens;
// at most kCompInfoCapacity - 1 characters.
QString GetCompInfo();
