// The one QApplication the skin tests share (offscreen).
#pragma once

class QApplication;

QApplication& TestApp();
