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
  Pending.push_back(old);
  QMetaObject::invokeMethod(this, [this] { RunPending(); }, Qt::QueuedConnection);
}

QWidget* TFieldExits::RunPending() {
  QWidget* last = nullptr;
  while (!Pending.empty()) {
    QWidget* field = Pending.front();
    Pending.erase(Pending.begin());
    if (!field) continue;
    RunGuarded(Handlers[field]);
    last = field;
  }
  return last;
}

void TFieldExits::RunGuarded(const std::function<void()>& check) {
  struct TRestore {
    bool& Flag;
    const bool Was;
    ~TRestore() { Flag = Was; }
  } restore{Busy, Busy};
  Busy = true;
  check();
}
