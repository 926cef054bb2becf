#pragma once
// The geometry of the editing gestures, free of any window: which part of a box the pointer is
// over, when a drag starts to count, how the rubber band follows the pointer, and what it meets.
// Every length is in twips.

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

namespace editor {

// A box is moved from its top-left corner and resized from its bottom-right corner; elsewhere the
// pointer is over its text.
enum class PointerZone { kText, kMove, kResize };

constexpr int kMoveZone = 100;      // x and y below this, from the top-left corner
constexpr int kResizeZone = 180;    // x and y within this, from the bottom-right corner
constexpr int kDragThreshold = 12;  // a drag acts once it goes beyond this in x or y
constexpr int kBandStep = 100;      // the band follows once the pointer is beyond this from its corner
constexpr int kBandMinimum = 500;   // ... and beyond this from its anchor
constexpr int kArrowStep = 10;      // twips per arrow key; Ctrl+arrow steps 1 pt

// The zone under `inBox` (relative to the box's top-left corner). A locked layout has text only.
PointerZone ZoneAt(QPoint inBox, QSize boxSize, bool locked);
// The tip a zone shows on the box and in the tip line.
const QString& ZoneTip(PointerZone zone);
// True once a pointer movement goes beyond the drag threshold in x or y.
bool BeyondDragThreshold(QPoint delta);

// True when `box` and the rectangle with corners (x1, y1) and (x2, y2) overlap; touching counts.
bool InRectangle(const QRect& box, int x1, int y1, int x2, int y2);

// The selection band on the canvas: an anchor where the button went down and a corner that
// follows the pointer in steps, so small jitters neither redraw nor reselect.
class RubberBand {
 public:
  void Start(QPoint at) { anchor_ = corner_ = at; }
  // Moves the corner to `to` when it is beyond kBandStep from the corner and beyond
  // kBandMinimum from the anchor (each in x or y); returns whether it moved.
  bool Follow(QPoint to);
  QPoint anchor() const { return anchor_; }
  QPoint corner() const { return corner_; }
  // The outline as drawn, corners included.
  QRect outline() const { return QRect(anchor_, corner_).normalized(); }

 private:
  QPoint anchor_, corner_;
};

}  // namespace editor
