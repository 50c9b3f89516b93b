// The closing window: the only way out of the program.
#pragma once

#include <QPlainTextEdit>
#include <QPushButton>

#include "ui/baseform.h"

class TFinishForm : public TBaseForm {
  Q_OBJECT
public:
  explicit TFinishForm(QWidget* parent = nullptr);

  QPlainTextEdit* FinishMemo;
  QPushButton* FinishButton;

  void FinishButtonClick();

signals:
  // The user ended the program; nothing is saved.
  void Finished();

protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
};

extern TFinishForm* FinishForm;
