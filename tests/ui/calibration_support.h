// What the tests of the calibration window share: the window found as a
// user's tool finds it, and its controls by object name.
#pragma once

#include <QAction>
#include <QApplication>
#include <QProcess>
#include <QPushButton>

#include "files/modelfile.h"
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

// The window opened by its button on the Input tab.
inline TCalibrationForm* OpenWindow() {
  Main<QPushButton>("CalibrateButton")->click();
  return CalibrationWindow();
}

// The calibration example in the sheet and its window open; the example's path.
inline QString OpenExampleWindow(TProgram& program) {
  if (!ActivateInputTab()) return {};
  const QString example = Example("calibrate_daily.inp");
  program.Prompts.Paths = {example};
  Main<QAction>("InputOpenAction")->trigger();
  OpenWindow();
  return example;
}

// The fit shown saved by "Save model ..." as path, and the file read back.
inline TModelFileRead SaveShownModel(TProgram& program, const QString& path) {
  program.Prompts.Paths = {path};
  Cal<QPushButton>("SaveModelButton")->click();
  return ReadModelFile(ReadFileBytes(path.toStdString()));
}

// tolvane-batch validate of a model file on data: its exit status and report.
struct TValidateRun {
  int Status = -1;
  QString Report;
};
inline TValidateRun ValidateModel(const QString& model, const QString& data) {
  QProcess batch;
  batch.start(TOLVANE_BATCH, {"validate", model, data});
  if (!batch.waitForFinished(120000)) return {};
  return {batch.exitCode(), QString::fromUtf8(batch.readAllStandardOutput())};
}
