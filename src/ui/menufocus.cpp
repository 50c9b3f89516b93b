#include "ui/menufocus.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPlainTextEdit>

TMenuFocusKeeper::TMenuFocusKeeper(QWidget* window) : QObject(window), Window(window) {
  qApp->installEventFilter(this);
}

bool TMenuFocusKeeper::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::FocusOut) return false;
  if (static_cast<QFocusEvent*>(event)->reason() != Qt::MenuBarFocusReason) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || widget->window() != Window) return false;
  // A line edit would drop its selection, and the grid's item delegate
  // would close the cell editor; the focus comes back when the menu closes.
  return qobject_cast<QLineEdit*>(widget) || qobject_cast<QPlainTextEdit*>(widget);
}
