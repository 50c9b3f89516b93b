#include "ui/finishform.h"

#include <QCloseEvent>
#include <QShowEvent>

#include "render/fonts.h"

TFinishForm* FinishForm = nullptr;

TFinishForm::TFinishForm(QWidget* parent) : TBaseForm(parent) {
  setObjectName("FinishForm");
  setWindowTitle("Quorell finish");
  setFont(PixelFont("MS Sans Serif", 16));
  setGeometry(207, 111, 270, 237);
  auto* client = new QWidget(this);
  setCentralWidget(client);

  FinishMemo = Place(new TMemo(client), 32, 24, 193, 113);
  FinishMemo->setObjectName("FinishMemo");
  FinishMemo->setAccessibleName("Thank you");
  FinishMemo->setPlainText(" \n Thank you for using Tolvane\n");
  SetBackground(FinishMemo, QColor(0xFF, 0xFD, 0xE8));

  FinishButton = MakeButton(client, "FinishButton", "Finish", 192, 152, 49, 25);
  connect(FinishButton, &QPushButton::clicked, this, &TFinishForm::FinishButtonClick);
}

void TFinishForm::showEvent(QShowEvent* event) {
  // FormShow
  SetStatus("Click Finish to end the program");
  TBaseForm::showEvent(event);
}

void TFinishForm::FinishButtonClick() { close(); }

void TFinishForm::closeEvent(QCloseEvent* event) {
  event->accept();
  emit Finished();
}
