// The closing window: the only way out of the program.
#pragma once

#include <QPlainTextEdit>
#include <QPushButton>

#include "ui/baseform.h"

class TFinishForm : public TBaseForm {
  Q_OBJECT
public:
  explicit TFinishForm(QWidget* parent = nullptr);

signals:
  // The user ended the program; nothing is saved.
  void Finished();

protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

private:
  QPlainTextEdit* FinishMemo;
  QPushButton* FinishButton;
  void FinishButtonClick();
};

extern TFinishForm* FinishForm;
