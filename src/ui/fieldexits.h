// Field checks made when a field is left. A field's exit handler runs when
// the focus moves from it to another control of the same window, as on
// leaving a field by Tab or by a click; a menu or another window taking the
// focus is no exit. The handler runs from the event loop right after the
// focus moved, so that a message box it raises never cuts a mouse click in
// half; and while a handler runs, the focus going to its message box and
// back starts no check, neither of another field nor of the same one again.
#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <vector>

class TFieldExits : public QObject {
public:
  explicit TFieldExits(QWidget* window);

  void Add(QWidget* field, std::function<void()> handler);
  // Runs the exits of the fields just left, in the order they were left;
  // returns the last of them, or nullptr.
  QWidget* RunPending();
  // Runs a check with the guard up: no exit starts while it runs.
  void RunGuarded(const std::function<void()>& check);

private:
  void FocusChanged(QWidget* old, QWidget* now);

  QWidget* Window;
  std::map<QWidget*, std::function<void()>> Handlers;
  std::vector<QPointer<QWidget>> Pending;
  bool Busy = false;
};
