#include "data/ui/window_wait.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>

namespace data::ui {

bool WindowIsOpen(const QString& caption) {
  const QWidgetList windows = QApplication::topLevelWidgets();
  return std::any_of(windows.begin(), windows.end(),
                     [&](const QWidget* w) { return w->isVisible() && w->windowTitle() == caption; });
}

void WaitWhileWindowOpen(const QString& caption) {
  // Wake now and then even without events, so a window that vanished quietly ends the wait.
  while (WindowIsOpen(caption)) {
    QEventLoop loop;
    QTimer::singleShot(20, &loop, &QEventLoop::quit);
    loop.exec();
  }
}

}  // namespace data::ui
