#include "ui/fieldexits.h"

#include <QApplication>

TFieldExits::TFieldExits(QWidget* window) : QObject(window), Window(window) {
  connect(qApp, &QApplication::focusChanged, this, &TFieldExits::FocusChanged);
}

void TFieldExits::Add(QWidget* field, std::function<void()> handler) {
  Handlers[field] = std::move(handler);
}

void TFieldExits::FocusChanged(QWidget* old, QWidget* now) {
  if (Busy || !old || !now || !Handlers.count(old)) return;
  if (old->window() != Window || now->window() != Window) return;
  Pending = old;
  QMetaObject::invokeMethod(this, [this] { RunPending(); }, Qt::QueuedConnection);
}

QWidget* TFieldExits::RunPending() {
  QWidget* field = Pending;
  Pending = nullptr;
  if (!field) return nullptr;
  RunGuarded(Handlers[field]);
  return field;
}

void TFieldExits::RunGuarded(const std::function<void()>& check) {
  const bool wasBusy = Busy;
  Busy = true;
  try {
    check();
  } catch (...) {
    Busy = wasBusy;
    throw;
  }
  Busy = wasBusy;
}
