// The menu bar taken by the keyboard (Alt and a letter) takes the focus
// for as long as its menu is open. The text control the user was in must
// not notice: its selection stays for Cut and Copy, and a cell editor stays
// open for Paste, as they do when the menu is opened with the mouse.
#pragma once

#include <QObject>

class QWidget;

class TMenuFocusKeeper : public QObject {
public:
  // Watches the controls of window; installed on the application, removed
  // with window.
  explicit TMenuFocusKeeper(QWidget* window);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QWidget* Window;
};
