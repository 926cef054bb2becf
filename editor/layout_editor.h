#pragma once
// The editing of the envelope layout: moving, resizing and re-fonting boxes by mouse, keyboard
// and menu, the rubber-band selection and the undo history of all of it. The canvas and box
// widgets turn their events into these calls (positions in twips) and show what they decide;
// the model holds the result.
//
// An edit acts on the given box and on every selected box (-1 gives the selected boxes only), in
// index order. An edit that would leave a width, height or font size invalid is refused as a
// whole: no box of it changes, so a group never comes apart and each undo step is complete.

#include <QObject>
#include <QPoint>
#include <QUndoStack>
#include <vector>

#include "common/prompts.h"
#include "editor/box_gestures.h"

namespace editor {

class EnvelopeModel;

constexpr double kMaxFontSize = 2160;  // points; sizes must be above 0 and at most this

// Ctrl+Z undoes; Ctrl+Y and Ctrl+Shift+Z redo.
enum class UndoKey { kNone, kUndo, kRedo };
UndoKey UndoKeyOf(int key, Qt::KeyboardModifiers modifiers);

class LayoutEditor : public QObject {
  Q_OBJECT

 public:
  explicit LayoutEditor(EnvelopeModel& model, QObject* parent = nullptr);

  EnvelopeModel& model() const { return model_; }
  QUndoStack& undoStack() { return undo_; }

  // Left += dx, Top += dy. Returns false when refused or nothing moved.
  bool CtlMove(int index, double dx, double dy);
  // Width += dx, Height += dy.
  bool CtlChange(int index, double dx, double dy);
  // Font size += dz points.
  bool FontSizeChange(int index, double dz);
  // Every property of `font` on the box and the selected boxes. An unusable size is passed over:
  // the boxes keep their sizes and take the rest.
  bool ChangeFont(int index, const common::FontChoice& font);
  // Box `index` alone at `twips`, typed by number: one undo step of its own.
  bool PlaceBox(int index, const QRect& twips);

  // true: the boxes the band meets are selected, all others unselected; false: none selected.
  void CtlSelect(bool flag);
  void UnselectCtl();

  // Arrows with no modifier move, with Shift resize, with Ctrl change the font size of the selected
  // boxes; the lock does not apply. Returns whether the key was an editing key (the caller still
  // passes it on, so a caret moves as usual).
  bool HandleEditKey(int key, Qt::KeyboardModifiers modifiers);
  // Undoes or redoes for an undo key; returns whether the key was one.
  bool HandleUndoKey(int key, Qt::KeyboardModifiers modifiers);
  void Undo();
  void Redo();

  // The pointer over box `index` at `inBox` with no button down: records the drag reference and
  // returns the zone (text only while locked, and then nothing is recorded).
  PointerZone HoverBox(int index, QPoint inBox);
  // The left button goes down / the pointer moves with it / it comes up, over box `index`.
  // The press position counts as the last position seen.
  void PressBox(int index, QPoint inBox);
  void DragBox(int index, QPoint inBox);
  void ReleaseBox();
  PointerZone dragZone() const { return zone_; }

  // The rubber band on the canvas, positions relative to the canvas. The widget draws the outline;
  // DragCanvas returns whether the band moved (the old outline is then to be erased and the new
  // one drawn). None of these act while the layout is locked.
  bool PressCanvas(QPoint at);
  bool DragCanvas(QPoint to);
  void ReleaseCanvas();
  bool banding() const { return banding_; }
  const RubberBand& band() const { return band_; }

  // The box the right button was last pressed on; the box menu acts on it.
  int menuBox() const { return menuBox_; }
  void SetMenuBox(int index) { menuBox_ = index; }

  bool locked() const;

 private:
  std::vector<int> Targets(int index) const;
  template <typename Command, typename Value, typename Change>
  bool Push(int index, Change change);
  void NewRun() { ++run_; }

  EnvelopeModel& model_;
  QUndoStack undo_;
  int run_ = 0;  // steps of one run merge

  PointerZone zone_ = PointerZone::kText;
  QPoint reference_;
  bool dragging_ = false;

  RubberBand band_;
  bool banding_ = false;

  int menuBox_ = -1;
};

}  // namespace editor
