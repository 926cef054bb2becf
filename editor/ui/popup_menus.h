#pragma once
// 菜单: the hidden window that owns the two popup menus, the box menu FontMenu and the canvas
// menu mSet. It is created with the main window and never shown; the gestures open its menus.

#include <QMenu>
#include <QWidget>
#include <functional>

namespace editor::ui {

class 菜单 : public QWidget {
 public:
  explicit 菜单(QWidget* parent = nullptr);

  QMenu* FontMenu;
  QAction* FontStyle;
  QAction* mCopy;
  QAction* mPasty;
  QAction* mPlace;
  QMenu* mSet;
  QAction* mDPI;

  // Opens `menu` at `globalPos` and runs the chosen item; returns it, nullptr when dismissed.
  QAction* Popup(QMenu& menu, const QPoint& globalPos);

  // How a menu is shown and an item chosen: by default the menu's own modal loop. Tests choose.
  using Chooser = std::function<QAction*(QMenu& menu, const QPoint& globalPos)>;
  void SetChooser(Chooser chooser) { chooser_ = std::move(chooser); }

 private:
  Chooser chooser_;
};

}  // namespace editor::ui
