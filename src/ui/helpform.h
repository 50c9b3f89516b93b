// The start-help window: units, pasting, a first calibration.
#pragma once

#include <QPlainTextEdit>
#include <QWidget>

class THelpForm : public QWidget {
  Q_OBJECT
public:
  explicit THelpForm(QWidget* parent = nullptr);
  QPlainTextEdit* HelpMemo;
};

extern THelpForm* HelpForm;
