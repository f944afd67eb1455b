// The platform's standard message box, for what the skinned message dialog does not show.
#pragma once

#include <QString>

#include <cstdint>

class QWidget;

// The platform's standard message box (not skinned): the system box types and results of
// audiosvc.h. "Can't load skin " is shown with it, and the message types the skinned
// dialog has no layout for.
int ShowSystemMessageBox(const QString& text, uint32_t type, const QString& caption, QWidget* parent);
