#include "ui/baseform.h"

#include <QPainter>
#include <QPalette>

TBaseForm::TBaseForm(QWidget* parent) : QMainWindow(parent) {
  setWindowTitle("Base Form");
  StatusBar1 = new QStatusBar(this);
  StatusBar1->setObjectName("StatusBar1");
  StatusBar1->setFixedHeight(17);
  StatusBar1->setSizeGripEnabled(false);
  // A label carries the text, so that it is a real text to screen readers.
  StatusPanel = new QLabel(StatusBar1);
  StatusPanel->setObjectName("StatusBar1Text");
  StatusBar1->addWidget(StatusPanel, 1);
  setStatusBar(StatusBar1);
}

void TBaseForm::SetStatus(const QString& text) {
  StatusPanel->setText(text);
  StatusPanel->setAccessibleName(text);
  if (isVisible()) StatusBar1->repaint();
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, int left,
                        int top, int width, int height) {
  auto* button = Place(new QPushButton(caption, parent), left, top, width, height);
  button->setObjectName(name);
  return button;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name, const QString& text, int left, int top,
                    int width, int height) {
  auto* edit = Place(new QLineEdit(text, parent), left, top, width, height);
  edit->setObjectName(name);
  return edit;
}

namespace {

const char* const CaptionProperty = "figureCaption";

void NameFigure(QWidget* figure, const QString& shown) {
  const QString caption = figure->property(CaptionProperty).toString();
  // Texts that begin with their caption ("Alpha 0.276") are read as they are.
  if (shown.isEmpty()) figure->setAccessibleName(caption);
  else if (shown.startsWith(caption)) figure->setAccessibleName(shown);
  else figure->setAccessibleName(caption + ": " + shown);
}

}  // namespace

void MakeFigure(QWidget* figure, const QString& caption) {
  figure->setProperty(CaptionProperty, caption);
  figure->setAccessibleName(caption);
}

void ShowFigure(QLabel* label, const QString& text) {
  label->setText(text);
  NameFigure(label, text);
}

void ShowFigure(QProgressBar* bar, const QString& format) {
  bar->setFormat(format);
  NameFigure(bar, format);
}

void SetBackground(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::Base, colour);
  palette.setColor(QPalette::Window, colour);
  widget->setPalette(palette);
}

void SetTextColour(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, colour);
  palette.setColor(QPalette::Text, colour);
  widget->setPalette(palette);
}

void TGroupBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QFontMetrics metrics(font());
  const QRect frame = rect().adjusted(0, metrics.height() / 2, -2, -2);
  painter.setPen(palette().color(QPalette::Mid));
  painter.drawRect(frame);
  painter.setPen(palette().color(QPalette::Light));
  painter.drawRect(frame.translated(1, 1));
  const QRect caption(8, 0, metrics.horizontalAdvance(title()) + 4, metrics.height());
  painter.fillRect(caption, palette().window());
  painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
  painter.drawText(caption, Qt::AlignCenter, title());
}
