#pragma once
// Turns mouse and key events of the envelope tab into layout edits: the pointer zones, cursors
// and tips of the boxes, dragging, the selection band on the canvas, the arrow keys, undo and
// redo, and the two popup menus with their commands. It watches the widgets through an event
// filter, so the box, canvas and window classes stay as they are.

#include <QObject>
#include <QPointer>
#include <QSet>
#include <array>
#include <vector>

#include "editor/envelope_model.h"
#include "editor/layout_editor.h"
#include "editor/menu_commands.h"

class QLabel;
class QTextEdit;
class QMouseEvent;
class QKeyEvent;

namespace editor::ui {

class BandLayer;
class 菜单;

class LayoutGestures : public QObject {
  Q_OBJECT

 public:
  // `tipLine` is T2; `title` is the title of the resolution input box.
  LayoutGestures(LayoutEditor& editor, 菜单& menus, QLabel* tipLine, const QString& title,
                 QObject* parent = nullptr);

  // Box P1(index).
  void AttachBox(int index, QTextEdit* box);
  // The canvas EP; the band is drawn on a layer under its boxes.
  void AttachCanvas(QWidget* canvas);
  // Other widgets whose arrow and undo keys edit the layout: the main window, CB(0), CB(1), CB(2), CB(12).
  void AttachKeySource(QWidget* widget);

  BandLayer* bandLayer() const { return band_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool BoxMouse(int index, QWidget* receiver, QMouseEvent* event);
  bool CanvasMouse(QMouseEvent* event);
  // The box menu on box `index`; the box's selection is the same after it as before.
  void OpenBoxMenu(int index, const QPoint& globalPos);
  bool Key(QObject* watched, QKeyEvent* event);
  bool BoxUndoKey(int index, QKeyEvent* event);
  void LayoutStep(UndoKey key);
  void SetTip(const QString& tip);
  int BoxIndexOf(QObject* object) const;

  void Copy();
  void Paste();

  LayoutEditor& editor_;
  菜单& menus_;
  QPointer<QLabel> tipLine_;
  QString title_;
  std::array<QPointer<QTextEdit>, kBoxCount> boxes_{};
  // Identity of each box and its viewport as plain objects: events still arrive while a box is
  // half destroyed, when it may no longer be looked at as a QTextEdit.
  std::array<QPointer<QObject>, kBoxCount> boxObjects_{};
  std::array<QPointer<QObject>, kBoxCount> viewports_{};
  QPointer<QWidget> canvas_;
  BandLayer* band_ = nullptr;
  QSet<QObject*> keySources_;
  TextSelection menuSelection_;  // the menu box's selection when the right button went down
  bool restoreSelection_ = true;

  // Which came last, typing in a box or a layout step, decides what Ctrl+Z undoes in a box.
  qint64 clock_ = 0;
  std::array<qint64, kBoxCount> typedAt_{};
  std::vector<qint64> stepAt_;  // per step of the undo stack
  qint64 undoneAt_ = 0;
  bool stepping_ = false;  // an undo or redo of ours is running
};

}  // namespace editor::ui
