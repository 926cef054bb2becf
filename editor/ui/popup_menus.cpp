#include "editor/ui/popup_menus.h"

#include <QLabel>
#include <QVBoxLayout>

#include "editor/editor_texts.h"

namespace editor::ui {
namespace {

QAction* Item(QMenu* menu, const QString& name, const QString& caption) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(name);
  return action;
}

}  // namespace

菜单::菜单(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName(kMenuWindowCaption);
  setWindowTitle(kMenuWindowCaption);
  (new QVBoxLayout(this))->addWidget(new QLabel(kMenuWindowNote, this));
  hide();

  FontMenu = new QMenu(this);
  FontMenu->setObjectName(QStringLiteral("FontMenu"));
  FontStyle = Item(FontMenu, QStringLiteral("FontStyle"), kFontStyleItem);
  mCopy = Item(FontMenu, QStringLiteral("mCopy"), kCopyItem);
  mPasty = Item(FontMenu, QStringLiteral("mPasty"), kPasteItem);
  FontMenu->addSeparator();
  mPlace = Item(FontMenu, QStringLiteral("mPlace"), kPlaceItem);

  mSet = new QMenu(this);
  mSet->setObjectName(QStringLiteral("mSet"));
  mDPI = Item(mSet, QStringLiteral("mDPI"), kDpiItem);
}

QAction* 菜单::Popup(QMenu& menu, const QPoint& globalPos) {
  if (!chooser_) return menu.exec(globalPos);
  QAction* chosen = chooser_(menu, globalPos);
  if (chosen) chosen->trigger();
  return chosen;
}

}  // namespace editor::ui
