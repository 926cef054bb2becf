#pragma once
// Undo steps of layout edits: one class per kind of edit. Each step holds, per box it touched,
// the value before and after, so undo and redo set exact values and never drift. Steps of the
// same kind, on the same boxes and in the same run (one mouse drag, or a row of arrow presses)
// merge into one; a run that ends where it began leaves no step at all.

#include <QRect>
#include <QUndoCommand>
#include <vector>

#include "common/prompts.h"

namespace editor {

class EnvelopeModel;

template <typename Value>
struct BoxChange {
  int box;
  Value before;
  Value after;
};

template <typename Value>
class BoxesCommand : public QUndoCommand {
 public:
  using Changes = std::vector<BoxChange<Value>>;

  void undo() override {
    for (auto it = changes_.rbegin(); it != changes_.rend(); ++it) Apply(it->box, it->before);
  }
  void redo() override {
    for (const auto& c : changes_) Apply(c.box, c.after);
  }
  bool mergeWith(const QUndoCommand* other) override {
    const auto* next = static_cast<const BoxesCommand*>(other);
    if (next->id() != id() || next->run_ != run_ || !SameBoxes(*next)) return false;
    bool unchanged = true;
    for (size_t i = 0; i < changes_.size(); ++i) {
      changes_[i].after = next->changes_[i].after;
      unchanged = unchanged && changes_[i].after == changes_[i].before;
    }
    setObsolete(unchanged);
    return true;
  }

 protected:
  BoxesCommand(EnvelopeModel& model, Changes changes, int run)
      : model_(model), changes_(std::move(changes)), run_(run) {}
  virtual void Apply(int box, const Value& value) = 0;
  EnvelopeModel& model_;

 private:
  bool SameBoxes(const BoxesCommand& other) const {
    if (other.changes_.size() != changes_.size()) return false;
    for (size_t i = 0; i < changes_.size(); ++i)
      if (other.changes_[i].box != changes_[i].box) return false;
    return true;
  }
  Changes changes_;
  int run_;
};

// Kinds of edit, as QUndoCommand ids.
enum LayoutCommandId { kMoveCommand = 1, kResizeCommand, kFontSizeCommand, kFontCommand };

class MoveBoxesCommand final : public BoxesCommand<QRect> {
 public:
  MoveBoxesCommand(EnvelopeModel& model, Changes changes, int run)
      : BoxesCommand(model, std::move(changes), run) {}
  int id() const override { return kMoveCommand; }

 protected:
  void Apply(int box, const QRect& geometry) override;
};

class ResizeBoxesCommand final : public BoxesCommand<QRect> {
 public:
  ResizeBoxesCommand(EnvelopeModel& model, Changes changes, int run)
      : BoxesCommand(model, std::move(changes), run) {}
  int id() const override { return kResizeCommand; }

 protected:
  void Apply(int box, const QRect& geometry) override;
};

class FontSizeCommand final : public BoxesCommand<double> {
 public:
  FontSizeCommand(EnvelopeModel& model, Changes changes, int run)
      : BoxesCommand(model, std::move(changes), run) {}
  int id() const override { return kFontSizeCommand; }

 protected:
  void Apply(int box, const double& points) override;
};

// A font chosen in the dialog: every property at once.
class FontCommand final : public BoxesCommand<common::FontChoice> {
 public:
  FontCommand(EnvelopeModel& model, Changes changes, int run)
      : BoxesCommand(model, std::move(changes), run) {}
  int id() const override { return kFontCommand; }

 protected:
  void Apply(int box, const common::FontChoice& font) override;
};

}  // namespace editor
