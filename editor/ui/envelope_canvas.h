#pragma once
// The envelope canvas EP: a white picture of the envelope with the ruler grid under the eleven
// boxes P1(0)..P1(10) and the "邮政编码" label PostCode. It is a view of editor::EnvelopeModel:
// its size in twips is the model's canvas size (15 twips per pixel) and everything on it
// repaints from the model's signals.
//
// Every mouse and key event of the canvas and its boxes comes out of the signals below, in
// twips, so the editing gestures (selection, dragging, menus, arrow keys) can be built on them
// without touching this class.

#include <QLabel>
#include <QWidget>
#include <array>
#include <optional>

#include "editor/envelope_model.h"
#include "editor/ui/box_widget.h"

namespace editor {

class EnvelopeCanvas : public QWidget {
  Q_OBJECT

 public:
  EnvelopeCanvas(EnvelopeModel& model, QWidget* parent);

  BoxWidget* box(int index) const { return boxes_.at(index); }
  QLabel* postCodeLabel() const { return postCode_; }

  // Puts the "邮政编码" label left of the sender postcode box again.
  void PlacePostCodeLabel();
  // Repaints the background: white, and the ruler grid when the ruler option is on.
  void DrawRuler();
  // An outline drawn over the grid, e.g. a rubber band, in canvas twips; nullopt removes it.
  void SetOutline(std::optional<QRect> twips);

 signals:
  void pointerPressed(QPoint twips, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
  void pointerMoved(QPoint twips, Qt::MouseButtons buttons);
  void pointerReleased(QPoint twips, Qt::MouseButton button);
  // Key-downs of the canvas, of every box and of whatever else MF routes here (the
  // envelope-tab buttons, the main window itself).
  void editKey(int key, Qt::KeyboardModifiers modifiers);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  EnvelopeModel& model_;
  std::array<BoxWidget*, kBoxCount> boxes_{};
  QLabel* postCode_;
  std::optional<QRect> outline_;
};

}  // namespace editor
