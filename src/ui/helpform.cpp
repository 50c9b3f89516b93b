#include "ui/helpform.h"

#include "render/fonts.h"
#include "ui/baseform.h"
#include "ui/rainform.h"
#include "ui/texts.h"

THelpForm* HelpForm = nullptr;

THelpForm::THelpForm(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("HelpForm");
  setWindowTitle("Start help");
  setFont(PixelFont("MS Sans Serif", 11));
  setGeometry(776, 61, 452, 560);
  HelpMemo = Place(new TMemo(this), 8, 12, 425, 501);
  HelpMemo->setObjectName("HelpMemo");
  HelpMemo->setAccessibleName("Start help");
  HelpMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  HelpMemo->setPlainText(MemoText(HelpLines));
  MakeSideWindow(this);
}
