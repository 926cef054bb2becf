#pragma once
// One of the eleven boxes P1(0)..P1(10) on the canvas: a thin view of editor::Box. It shows the
// box's geometry, font, text and selection from the model and writes typed text back. Mouse and
// key events are only passed on (the canvas gathers them), so the editing gestures live in one
// place outside this class.

#include <QTextEdit>

#include "editor/envelope_model.h"

namespace editor {

class BoxWidget : public QTextEdit {
  Q_OBJECT

 public:
  BoxWidget(int index, EnvelopeModel& model, QWidget* parent);
  int index() const { return index_; }

  // Shows the model's box again: geometry, font, colours, text.
  void Refresh();

  // Back colours of an unselected and a selected box.
  static const QColor kWhite;
  static const QColor kSelectedBackColor;

 signals:
  // Pointer positions are in twips relative to the box's top-left corner.
  void pointerPressed(int index, QPoint twips, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
  void pointerMoved(int index, QPoint twips, Qt::MouseButtons buttons);
  void pointerReleased(int index, QPoint twips, Qt::MouseButton button);
  // A key went down in the box; the box still handles it as text input afterwards.
  void keyPressed(int key, Qt::KeyboardModifiers modifiers);
  // The box's context menu was asked for; while something listens, Qt's own menu stays shut.
  void contextMenuRequested(int index, QPoint twips);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void insertFromMimeData(const QMimeData* source) override;

 private:
  QPoint ToTwips(QPoint viewportPos) const;
  void WriteBack();
  // Shows the text as it prints: a long text below the box, a digit in the middle.
  void FitToText();

  const int index_;
  EnvelopeModel& model_;
  const BoxRules rules_;
  bool refreshing_ = false;
};

// The screen font of a box: the face, effects and a pixel size at 96 dpi, so the canvas looks
// the same on every screen and in every test.
QFont ScreenFont(const common::FontChoice& choice, double zoom = 1.0);

}  // namespace editor
