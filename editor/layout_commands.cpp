#include "editor/layout_commands.h"

#include "editor/envelope_model.h"

namespace editor {

void MoveBoxesCommand::Apply(int box, const QRect& geometry) { model_.SetBoxGeometry(box, geometry); }

void ResizeBoxesCommand::Apply(int box, const QRect& geometry) { model_.SetBoxGeometry(box, geometry); }

void FontSizeCommand::Apply(int box, const double& points) {
  common::FontChoice font = model_.box(box).font;
  font.size = points;
  model_.SetBoxFont(box, font);
}

void FontCommand::Apply(int box, const common::FontChoice& font) { model_.SetBoxFont(box, font); }

}  // namespace editor
