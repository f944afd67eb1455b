// The one QApplication a user-interface test program shares (offscreen): made when the tests
// start (or at the first call before that), ended when they end.
#pragma once

class QApplication;

QApplication& TestApp();
// Gives the application the font of the program's skin (Inter, 12 px), so that pictures of
// windows without a skin of their own look the same on every machine.
void UseSkinFont();
