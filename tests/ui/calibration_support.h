// What the tests of the calibration window share: the window found as a
// user's tool finds it, and its controls by object name.
#pragma once

#include <QApplication>

#include "ui/calibrationform.h"
#include "ui/ui_support.h"

// The calibration window shown; nullptr when none is.
inline TCalibrationForm* CalibrationWindow() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->objectName() == "CalibrationForm" && w->isVisible()) return qobject_cast<TCalibrationForm*>(w);
  return nullptr;
}

template <typename T>
T* Cal(const char* name) {
  return Control<T>(CalibrationWindow(), name);
}
