// The base of the main window and the closing window: a status bar with
// one simple text panel.
#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

class TBaseForm : public QMainWindow {
  Q_OBJECT
public:
  explicit TBaseForm(QWidget* parent = nullptr);

  // Shows text in the status bar and paints it at once, so that it is seen
  // even when a long operation follows.
  void SetStatus(const QString& text);
  QString StatusText() const { return StatusPanel->text(); }

  QStatusBar* StatusBar1;

private:
  QLabel* StatusPanel;
};

// A group box of the classic look: an etched frame with the caption on
// its top line, taking no room from the children placed in it.
class TGroupBox : public QGroupBox {
public:
  TGroupBox(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}

protected:
  void paintEvent(QPaintEvent* event) override;
};

// A memo: a multi-line text box in which Tab moves on to the next control.
class TMemo : public QPlainTextEdit {
public:
  explicit TMemo(QWidget* parent) : QPlainTextEdit(parent) { setTabChangesFocus(true); }
};

// Places a child at its designed pixel position and size.
template <typename TWidget>
TWidget* Place(TWidget* widget, int left, int top, int width, int height) {
  widget->setGeometry(left, top, width, height);
  return widget;
}

// A push button and a single-line edit with their object names, placed.
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, int left,
                        int top, int width, int height);
QLineEdit* MakeEdit(QWidget* parent, const char* name, const QString& text, int left, int top,
                    int width, int height);

// A figure: a label or progress bar that shows a value under a caption.
// Its accessible name is the caption followed by what it shows, so that a
// screen reader reads the value with the caption, and a search for a name
// that begins with the caption still finds it. MakeFigure names it;
// ShowFigure sets what it shows and the name together.
void MakeFigure(QWidget* figure, const QString& caption);
void ShowFigure(QLabel* label, const QString& text);
void ShowFigure(QProgressBar* bar, const QString& format);

// The background colour of a memo, the text colour of a label.
void SetBackground(QWidget* widget, const QColor& colour);
void SetTextColour(QWidget* widget, const QColor& colour);
