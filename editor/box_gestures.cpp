#include "editor/box_gestures.h"

#include <algorithm>
#include <cstdlib>

#include "editor/editor_texts.h"

namespace editor {

PointerZone ZoneAt(QPoint inBox, QSize boxSize, bool locked) {
  if (locked) return PointerZone::kText;
  if (inBox.x() < kMoveZone && inBox.y() < kMoveZone) return PointerZone::kMove;
  if (inBox.x() > boxSize.width() - kResizeZone && inBox.y() > boxSize.height() - kResizeZone)
    return PointerZone::kResize;
  return PointerZone::kText;
}

const QString& ZoneTip(PointerZone zone) {
  switch (zone) {
    case PointerZone::kMove:
      return kMoveZoneTip;
    case PointerZone::kResize:
      return kResizeZoneTip;
    case PointerZone::kText:
      break;
  }
  return kTextZoneTip;
}

bool BeyondDragThreshold(QPoint delta) {
  return std::abs(delta.x()) > kDragThreshold || std::abs(delta.y()) > kDragThreshold;
}

bool InRectangle(const QRect& box, int x1, int y1, int x2, int y2) {
  // 64-bit edges: a box moved far off the canvas must not wrap around.
  const long long left = box.x(), top = box.y();
  const long long right = left + box.width(), bottom = top + box.height();
  return !(right < std::min(x1, x2) || left > std::max(x1, x2) || bottom < std::min(y1, y2) ||
           top > std::max(y1, y2));
}

bool RubberBand::Follow(QPoint to) {
  const bool leftCorner =
      std::abs(to.x() - corner_.x()) > kBandStep || std::abs(to.y() - corner_.y()) > kBandStep;
  const bool leftAnchor =
      std::abs(to.x() - anchor_.x()) > kBandMinimum || std::abs(to.y() - anchor_.y()) > kBandMinimum;
  if (!leftCorner || !leftAnchor) return false;
  corner_ = to;
  return true;
}

}  // namespace editor
