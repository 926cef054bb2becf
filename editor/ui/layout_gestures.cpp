#include "editor/ui/layout_gestures.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QTextEdit>
#include <QUndoStack>

#include "common/numbers.h"
#include "editor/editor_texts.h"
#include "editor/layout_editor.h"
#include "editor/ui/band_layer.h"
#include "editor/ui/popup_menus.h"

namespace editor::ui {
namespace {

// A box's selection as start and length; the caret stands at its end.
TextSelection SelectionOf(const QTextEdit* box) {
  const QTextCursor c = box->textCursor();
  return {c.selectionStart(), c.selectionEnd() - c.selectionStart()};
}

void Select(QTextEdit* box, TextSelection s) {
  QTextCursor c = box->textCursor();
  const int end = c.document()->characterCount() - 1;
  c.setPosition(std::clamp(s.start, 0, end));
  c.setPosition(std::clamp(s.start + s.length, 0, end), QTextCursor::KeepAnchor);
  box->setTextCursor(c);
}

QPoint Twips(const QPointF& pixels) {
  return QPoint(common::RoundToInt(pixels.x() * kTwipsPerPixel),
                common::RoundToInt(pixels.y() * kTwipsPerPixel));
}

Qt::CursorShape ShapeOf(PointerZone zone) {
  switch (zone) {
    case PointerZone::kMove:
      return Qt::ArrowCursor;
    case PointerZone::kResize:
      return Qt::SizeFDiagCursor;
    case PointerZone::kText:
      break;
  }
  return Qt::IBeamCursor;
}

bool ChangesText(const QKeyEvent* event) {
  const bool control = event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier);
  return (!control && !event->text().isEmpty()) || event->key() == Qt::Key_Backspace ||
         event->key() == Qt::Key_Delete || event->matches(QKeySequence::Paste) ||
         event->matches(QKeySequence::Cut);
}

}  // namespace

LayoutGestures::LayoutGestures(LayoutEditor& editor, 菜单& menus, QLabel* tipLine, const QString& title,
                               QObject* parent)
    : QObject(parent), editor_(editor), menus_(menus), tipLine_(tipLine), title_(title) {
  connect(menus_.FontStyle, &QAction::triggered, this,
          [this] { ChangeFontFromDialog(editor_, editor_.menuBox()); });
  connect(menus_.mCopy, &QAction::triggered, this, &LayoutGestures::Copy);
  connect(menus_.mPasty, &QAction::triggered, this, &LayoutGestures::Paste);
  connect(menus_.mDPI, &QAction::triggered, this, [this] { SetResolution(title_); });
  connect(menus_.mPlace, &QAction::triggered, this,
          [this] { PlaceBoxByNumbers(editor_, editor_.menuBox()); });

  QUndoStack& stack = editor_.undoStack();
  connect(&stack, &QUndoStack::indexChanged, this, [this, &stack](int index) {
    if (stepping_) return;  // an undo or redo keeps the steps' times
    stepAt_.resize(size_t(stack.count()));
    if (index > 0) stepAt_[size_t(index - 1)] = ++clock_;
  });
}

void LayoutGestures::AttachBox(int index, QTextEdit* box) {
  boxes_.at(size_t(index)) = box;
  boxObjects_.at(size_t(index)) = box;
  viewports_.at(size_t(index)) = box->viewport();
  box->installEventFilter(this);              // keys
  box->viewport()->installEventFilter(this);  // the mouse
  box->viewport()->setMouseTracking(true);    // the zones follow the pointer without a button
}

void LayoutGestures::AttachCanvas(QWidget* canvas) {
  canvas_ = canvas;
  canvas->installEventFilter(this);
  if (canvas->focusPolicy() == Qt::NoFocus) canvas->setFocusPolicy(Qt::ClickFocus);
  band_ = new BandLayer(canvas);
}

void LayoutGestures::AttachKeySource(QWidget* widget) {
  keySources_.insert(widget);
  widget->installEventFilter(this);
}

int LayoutGestures::BoxIndexOf(QObject* object) const {
  for (int i = 0; i < kBoxCount; ++i) {
    const QObject* box = boxObjects_[size_t(i)];
    if (box && (object == box || object == viewports_[size_t(i)].data())) return i;
  }
  return -1;
}

void LayoutGestures::SetTip(const QString& tip) {
  if (tipLine_) tipLine_->setText(tip);
}

bool LayoutGestures::eventFilter(QObject* watched, QEvent* event) {
  const int box = BoxIndexOf(watched);
  const bool isCanvas = canvas_ && watched == canvas_;
  switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
      if (box >= 0) return BoxMouse(box, static_cast<QWidget*>(watched), static_cast<QMouseEvent*>(event));
      if (isCanvas) return CanvasMouse(static_cast<QMouseEvent*>(event));
      break;
    case QEvent::ContextMenu:
      // The menus open on the button press; the menu key opens the box menu at the caret.
      if (box >= 0 && static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        QTextEdit* edit = boxes_[size_t(box)];
        OpenBoxMenu(box, edit->viewport()->mapToGlobal(edit->cursorRect().bottomLeft()));
      }
      return box >= 0 || isCanvas;
    case QEvent::Resize:
      if (isCanvas && band_) band_->setGeometry(canvas_->rect());
      break;
    case QEvent::KeyPress:
      if (box >= 0 || isCanvas || keySources_.contains(watched))
        return Key(watched, static_cast<QKeyEvent*>(event));
      break;
    default:
      break;
  }
  return false;
}

bool LayoutGestures::BoxMouse(int index, QWidget* receiver, QMouseEvent* event) {
  QTextEdit* box = boxes_[size_t(index)];
  QPointF inBox = event->position();
  if (receiver != box) inBox += receiver->mapTo(box, QPoint(0, 0));
  const QPoint at = Twips(inBox);

  if (event->type() == QEvent::MouseMove) {
    if (!(event->buttons() & Qt::LeftButton)) {
      const PointerZone zone = editor_.HoverBox(index, at);
      receiver->setCursor(ShapeOf(zone));
      if (editor_.locked()) return false;
      const QString& tip = ZoneTip(zone);
      box->setToolTip(tip);
      SetTip(tip);
      return false;
    }
    if (editor_.dragZone() == PointerZone::kText) return false;
    editor_.DragBox(index, at);
    return true;  // a drag selects no text
  }

  if (event->button() == Qt::LeftButton) {
    if (event->type() == QEvent::MouseButtonRelease) {
      const bool dragged = editor_.dragZone() != PointerZone::kText;
      editor_.ReleaseBox();
      return dragged;
    }
    editor_.PressBox(index, at);
    return editor_.dragZone() != PointerZone::kText;
  }

  if (event->button() == Qt::RightButton && event->type() == QEvent::MouseButtonPress)
    OpenBoxMenu(index, event->globalPosition().toPoint());
  return event->button() == Qt::RightButton;
}

void LayoutGestures::OpenBoxMenu(int index, const QPoint& globalPos) {
  editor_.SetMenuBox(index);
  const QPointer<QTextEdit> box = boxes_[size_t(index)];
  menuSelection_ = SelectionOf(box);
  restoreSelection_ = true;
  menus_.Popup(*menus_.FontMenu, globalPos);
  if (box && restoreSelection_) Select(box, menuSelection_);
}

bool LayoutGestures::CanvasMouse(QMouseEvent* event) {
  const QPoint at = Twips(event->position());
  switch (event->type()) {
    case QEvent::MouseButtonPress:
      if (event->button() == Qt::LeftButton) {
        if (editor_.PressCanvas(at)) {
          SetTip(kBandPressTip);
          if (band_) band_->Clear();
        }
      } else if (event->button() == Qt::RightButton && !editor_.locked()) {
        menus_.Popup(*menus_.mSet, event->globalPosition().toPoint());
        editor_.UnselectCtl();
      }
      return false;
    case QEvent::MouseMove:
      if (!(event->buttons() & Qt::LeftButton) || !editor_.banding()) return false;
      SetTip(kBandMoveTip);
      {
        const QRect old = editor_.band().outline();
        if (editor_.DragCanvas(at) && band_) {
          band_->Outline(old, Qt::white);
          band_->Outline(editor_.band().outline(), Qt::black);
        }
      }
      return false;
    case QEvent::MouseButtonRelease:
      if (event->button() != Qt::LeftButton || !editor_.banding()) return false;
      SetTip(kBandReleaseTip);
      editor_.ReleaseCanvas();
      // Wiping the layer takes the last outline away and shows the ruler grid whole again.
      if (band_) band_->Clear();
      return false;
    default:
      return false;
  }
}

bool LayoutGestures::Key(QObject* watched, QKeyEvent* event) {
  // A key the focus widget left unused travels on to its parents; it edits the layout only once,
  // where it was typed.
  const QWidget* focus = QApplication::focusWidget();
  const auto* widget = static_cast<QWidget*>(watched);
  if (focus && focus != widget && widget->isAncestorOf(focus)) return false;

  const int box = BoxIndexOf(watched);
  if (box >= 0 && BoxUndoKey(box, event)) return true;
  if (box < 0) {
    const UndoKey key = UndoKeyOf(event->key(), event->modifiers());
    if (key != UndoKey::kNone) {
      LayoutStep(key);
      return true;
    }
  }
  if (box >= 0 && ChangesText(event)) typedAt_[size_t(box)] = ++clock_;
  editor_.HandleEditKey(event->key(), event->modifiers());
  return false;  // the box still moves its caret
}

bool LayoutGestures::BoxUndoKey(int index, QKeyEvent* event) {
  const UndoKey key = UndoKeyOf(event->key(), event->modifiers());
  if (key == UndoKey::kNone) return false;
  const QTextEdit* box = boxes_[size_t(index)];
  QUndoStack& stack = editor_.undoStack();
  const qint64 typed = typedAt_[size_t(index)];
  bool layout = false;
  if (key == UndoKey::kUndo) {
    const size_t top = size_t(stack.index());
    layout = stack.canUndo() &&
             (!box->document()->isUndoAvailable() || (top <= stepAt_.size() && stepAt_[top - 1] > typed));
  } else {
    layout = stack.canRedo() && (!box->document()->isRedoAvailable() || undoneAt_ > typed);
  }
  if (!layout) {
    typedAt_[size_t(index)] = ++clock_;  // the box takes back its own typing
    return false;
  }
  LayoutStep(key);
  return true;
}

void LayoutGestures::LayoutStep(UndoKey key) {
  stepping_ = true;
  key == UndoKey::kUndo ? editor_.Undo() : editor_.Redo();
  stepping_ = false;
  if (key == UndoKey::kUndo) undoneAt_ = ++clock_;
}

void LayoutGestures::Copy() {
  const QTextEdit* box = editor_.menuBox() >= 0 ? boxes_[size_t(editor_.menuBox())].data() : nullptr;
  if (!box) return;
  if (const std::optional<QString> copied = CopiedText(box->toPlainText(), menuSelection_))
    QGuiApplication::clipboard()->setText(*copied);
}

void LayoutGestures::Paste() {
  const int index = editor_.menuBox();
  QTextEdit* box = index >= 0 ? boxes_[size_t(index)].data() : nullptr;
  if (!box) return;
  const QString text = box->toPlainText();
  const Pasted pasted =
      PastedText(text, menuSelection_, QGuiApplication::clipboard()->text(), RulesOf(index));
  const int at = std::clamp(menuSelection_.start, 0, int(text.size()));
  const QString inserted = pasted.text.mid(at, pasted.caret - at);
  if (inserted.isEmpty()) return;
  // Through the box's cursor, so the box's own undo can take the paste back.
  QTextCursor c = box->textCursor();
  c.setPosition(at);
  c.insertText(inserted);
  typedAt_[size_t(index)] = ++clock_;
  // The caret goes after what was pasted, as after any paste.
  Select(box, {pasted.caret, 0});
  restoreSelection_ = false;
}

}  // namespace editor::ui
