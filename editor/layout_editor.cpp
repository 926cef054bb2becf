#include "editor/layout_editor.h"

#include <cmath>
#include <optional>

#include "common/numbers.h"
#include "editor/envelope_model.h"
#include "editor/layout_commands.h"

namespace editor {
namespace {

// Far beyond any screen, yet with room to add widths without overflowing an int.
constexpr double kTwipsLimit = 1 << 29;

std::optional<int> Shifted(int value, double delta) {
  const double shifted = value + delta;
  if (!std::isfinite(shifted) || std::fabs(shifted) > kTwipsLimit) return std::nullopt;
  return common::RoundToInt(shifted);
}

std::optional<int> Grown(int length, double delta) {
  const std::optional<int> grown = Shifted(length, delta);
  if (!grown || *grown < 0) return std::nullopt;
  return grown;
}

bool UsableFontSize(double points) { return std::isfinite(points) && points > 0 && points <= kMaxFontSize; }

}  // namespace

LayoutEditor::LayoutEditor(EnvelopeModel& model, QObject* parent) : QObject(parent), model_(model) {
  // A new selection starts a new run of arrow presses.
  connect(&model_, &EnvelopeModel::selectionChanged, this, &LayoutEditor::NewRun);
  // Another size brings another layout: old steps would move boxes of a different format.
  connect(&model_, &EnvelopeModel::sizeChanged, &undo_, &QUndoStack::clear);
}

bool LayoutEditor::locked() const { return model_.options().lock; }

std::vector<int> LayoutEditor::Targets(int index) const {
  std::vector<int> targets;
  for (int i = 0; i < kBoxCount; ++i)
    if (i == index || model_.box(i).selected) targets.push_back(i);
  return targets;
}

template <typename Command, typename Value, typename Change>
bool LayoutEditor::Push(int index, Change change) {
  typename Command::Changes changes;
  for (int i : Targets(index)) {
    std::optional<BoxChange<Value>> c = change(i, model_.box(i));
    if (!c) return false;  // refused: the whole edit is dropped
    if (c->after != c->before) changes.push_back(*c);
  }
  if (changes.empty()) return false;
  undo_.push(new Command(model_, std::move(changes), run_));
  return true;
}

bool LayoutEditor::CtlMove(int index, double dx, double dy) {
  return Push<MoveBoxesCommand, QRect>(index, [&](int i, const Box& b) -> std::optional<BoxChange<QRect>> {
    const std::optional<int> left = Shifted(b.geometry.x(), dx), top = Shifted(b.geometry.y(), dy);
    if (!left || !top) return std::nullopt;
    return BoxChange<QRect>{i, b.geometry, QRect(QPoint(*left, *top), b.geometry.size())};
  });
}

bool LayoutEditor::CtlChange(int index, double dx, double dy) {
  return Push<ResizeBoxesCommand, QRect>(index, [&](int i, const Box& b) -> std::optional<BoxChange<QRect>> {
    const std::optional<int> width = Grown(b.geometry.width(), dx), height = Grown(b.geometry.height(), dy);
    if (!width || !height) return std::nullopt;
    return BoxChange<QRect>{i, b.geometry, QRect(b.geometry.topLeft(), QSize(*width, *height))};
  });
}

bool LayoutEditor::FontSizeChange(int index, double dz) {
  return Push<FontSizeCommand, double>(index, [&](int i, const Box& b) -> std::optional<BoxChange<double>> {
    const double size = b.font.size + dz;
    if (!UsableFontSize(size)) return std::nullopt;
    return BoxChange<double>{i, b.font.size, size};
  });
}

bool LayoutEditor::ChangeFont(int index, const common::FontChoice& font) {
  NewRun();  // each choice in the dialog is a step of its own
  const bool changed = Push<FontCommand, common::FontChoice>(
      index, [&](int i, const Box& b) -> std::optional<BoxChange<common::FontChoice>> {
        common::FontChoice after = font;
        if (!UsableFontSize(after.size)) after.size = b.font.size;
        return BoxChange<common::FontChoice>{i, b.font, after};
      });
  NewRun();
  return changed;
}

bool LayoutEditor::PlaceBox(int index, const QRect& twips) {
  const QRect before = model_.box(index).geometry;
  if (before == twips || twips.width() <= 0 || twips.height() <= 0) return false;
  NewRun();
  undo_.push(new ResizeBoxesCommand(model_, {{index, before, twips}}, run_));
  NewRun();
  return true;
}

void LayoutEditor::CtlSelect(bool flag) {
  const QPoint a = band_.anchor(), c = band_.corner();
  for (int i = 0; i < kBoxCount; ++i)
    model_.SetSelected(i, flag && InRectangle(model_.box(i).geometry, a.x(), a.y(), c.x(), c.y()));
}

void LayoutEditor::UnselectCtl() { model_.UnselectAll(); }

bool LayoutEditor::HandleEditKey(int key, Qt::KeyboardModifiers modifiers) {
  int dx = 0, dy = 0;
  switch (key) {
    case Qt::Key_Left:
      dx = -kArrowStep;
      break;
    case Qt::Key_Right:
      dx = kArrowStep;
      break;
    case Qt::Key_Up:
      dy = -kArrowStep;
      break;
    case Qt::Key_Down:
      dy = kArrowStep;
      break;
    default:
      return false;
  }
  // Some platforms mark arrow keys as keypad keys; that is not a modifier the user pressed.
  const Qt::KeyboardModifiers pressed = modifiers & ~Qt::KeypadModifier;
  if (pressed == Qt::NoModifier) {
    CtlMove(-1, dx, dy);
  } else if (pressed == Qt::ShiftModifier) {
    CtlChange(-1, dx, dy);
  } else if (pressed == Qt::ControlModifier) {
    FontSizeChange(-1, dx + dy > 0 ? 1 : -1);
  } else {
    return false;
  }
  return true;
}

UndoKey UndoKeyOf(int key, Qt::KeyboardModifiers modifiers) {
  const Qt::KeyboardModifiers pressed = modifiers & ~Qt::KeypadModifier;
  if (key == Qt::Key_Z && pressed == Qt::ControlModifier) return UndoKey::kUndo;
  if ((key == Qt::Key_Y && pressed == Qt::ControlModifier) ||
      (key == Qt::Key_Z && pressed == (Qt::ControlModifier | Qt::ShiftModifier)))
    return UndoKey::kRedo;
  return UndoKey::kNone;
}

bool LayoutEditor::HandleUndoKey(int key, Qt::KeyboardModifiers modifiers) {
  switch (UndoKeyOf(key, modifiers)) {
    case UndoKey::kUndo:
      Undo();
      return true;
    case UndoKey::kRedo:
      Redo();
      return true;
    case UndoKey::kNone:
      break;
  }
  return false;
}

void LayoutEditor::Undo() {
  undo_.undo();
  NewRun();  // a later edit is a new step, not part of the one before the undo
}

void LayoutEditor::Redo() {
  undo_.redo();
  NewRun();
}

PointerZone LayoutEditor::HoverBox(int index, QPoint inBox) {
  if (locked()) return PointerZone::kText;
  zone_ = ZoneAt(inBox, model_.box(index).geometry.size(), false);
  reference_ = inBox;
  return zone_;
}

void LayoutEditor::PressBox(int index, QPoint inBox) {
  zone_ = HoverBox(index, inBox);
  dragging_ = true;
  NewRun();
}

void LayoutEditor::DragBox(int index, QPoint inBox) {
  if (!dragging_) return;
  const QPoint delta = inBox - reference_;
  if (!BeyondDragThreshold(delta)) return;
  switch (zone_) {
    case PointerZone::kMove:
      // The box follows the pointer, so the pointer keeps its place in the box.
      CtlMove(index, delta.x(), delta.y());
      break;
    case PointerZone::kResize:
      CtlChange(index, delta.x(), delta.y());
      reference_ = inBox;
      break;
    case PointerZone::kText:
      break;
  }
}

void LayoutEditor::ReleaseBox() {
  dragging_ = false;
  NewRun();
}

bool LayoutEditor::PressCanvas(QPoint at) {
  if (locked()) return false;
  band_.Start(at);
  banding_ = true;
  UnselectCtl();
  return true;
}

bool LayoutEditor::DragCanvas(QPoint to) {
  if (!banding_ || !band_.Follow(to)) return false;
  CtlSelect(true);
  return true;
}

void LayoutEditor::ReleaseCanvas() { banding_ = false; }

}  // namespace editor
