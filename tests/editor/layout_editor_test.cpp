#include "editor/layout_editor.h"

#include <gtest/gtest.h>

#include "editor/envelope_model.h"

namespace {

using editor::EnvelopeModel;
using editor::LayoutEditor;
using editor::PointerZone;

struct Editing : testing::Test {
  Editing() {
    editor::TabOptions unlocked;
    unlocked.lock = false;
    model.SetOptions(unlocked);
  }
  void Lock(bool on) {
    editor::TabOptions o = model.options();
    o.lock = on;
    model.SetOptions(o);
  }
  QRect Geometry(int i) const { return model.box(i).geometry; }
  // The pointer at `onCanvas` as box i sees it, wherever the box has gone meanwhile.
  QPoint InBox(int i, QPoint onCanvas) const { return onCanvas - Geometry(i).topLeft(); }
  EnvelopeModel model;
  LayoutEditor editor{model};
};

TEST(PointerZoneTest, CornersDecideMoveResizeOrText) {
  const QSize box(336, 343);
  const struct {
    QPoint at;
    bool locked;
    PointerZone zone;
  } cases[] = {
      {{0, 0}, false, PointerZone::kMove},       {{99, 99}, false, PointerZone::kMove},
      {{100, 99}, false, PointerZone::kText},    {{99, 100}, false, PointerZone::kText},
      {{157, 164}, false, PointerZone::kResize}, {{156, 164}, false, PointerZone::kText},
      {{157, 163}, false, PointerZone::kText},   {{335, 342}, false, PointerZone::kResize},
      {{99, 99}, true, PointerZone::kText},      {{335, 342}, true, PointerZone::kText},
  };
  for (const auto& c : cases)
    EXPECT_EQ(editor::ZoneAt(c.at, box, c.locked), c.zone)
        << c.at.x() << "," << c.at.y() << " locked " << c.locked;
  // A box too small for both corners is moved from anywhere in its move zone.
  EXPECT_EQ(editor::ZoneAt({50, 50}, QSize(120, 120), false), PointerZone::kMove);
}

TEST(InRectangleTest, OverlapAndTouchingCountInEitherCornerOrder) {
  const QRect box(1000, 1000, 500, 200);  // right edge 1500, bottom 1200
  const struct {
    int x1, y1, x2, y2;
    bool meets;
  } cases[] = {
      {0, 0, 999, 999, false},        {0, 0, 1000, 1000, true},     {1500, 1200, 2000, 2000, true},
      {1501, 0, 2000, 2000, false},   {0, 1201, 3000, 3000, false}, {1200, 1100, 1300, 1150, true},
      {2000, 2000, 1500, 1200, true}, {3000, 0, 0, 3000, true},     {0, 0, 900, 5000, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(editor::InRectangle(box, c.x1, c.y1, c.x2, c.y2), c.meets)
        << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2;
}

TEST(RubberBandTest, FollowsOnlyBeyondTheStepAndTheMinimum) {
  editor::RubberBand band;
  band.Start({1000, 1000});
  EXPECT_FALSE(band.Follow({1500, 1500}));  // 500 from the anchor is not enough
  EXPECT_FALSE(band.Follow({500, 500}));    // nor in the other direction
  EXPECT_TRUE(band.Follow({1050, 1501}));   // beyond it in y alone
  EXPECT_EQ(band.corner(), QPoint(1050, 1501));
  EXPECT_FALSE(band.Follow({1150, 1600}));  // within 100 of the corner in both
  EXPECT_TRUE(band.Follow({1151, 1550}));
  EXPECT_EQ(band.outline(), QRect(QPoint(1000, 1000), QPoint(1151, 1550)));
}

TEST_F(Editing, PressingTheMoveZoneAndDraggingMovesOnlyBeyond12Twips) {
  const struct {
    QPoint press;
    QPoint to;
    QPoint moved;
  } cases[] = {
      {{99, 99}, {111, 111}, {0, 0}}, {{99, 99}, {112, 99}, {13, 0}},
      {{99, 99}, {99, 86}, {0, -13}}, {{100, 50}, {300, 300}, {0, 0}},  // I-beam zone: nothing moves
      {{50, 99}, {50, 112}, {0, 13}},
  };
  for (const auto& c : cases) {
    const QRect before = model.box(7).geometry;
    editor.PressBox(7, c.press);
    editor.DragBox(7, c.to);
    editor.ReleaseBox();
    EXPECT_EQ(Geometry(7).topLeft() - before.topLeft(), c.moved) << c.to.x() << "," << c.to.y();
    EXPECT_EQ(Geometry(7).size(), before.size());
    model.SetBoxGeometry(7, before);
  }
}

TEST_F(Editing, AMoveKeepsTheReferenceAResizeTakesTheNewPoint) {
  const QRect start = Geometry(6);
  const QPoint grip = start.topLeft() + QPoint(10, 10);
  editor.PressBox(6, InBox(6, grip));
  editor.DragBox(6, InBox(6, grip + QPoint(20, 0)));
  editor.DragBox(6, InBox(6, grip + QPoint(30, 0)));  // 10 more: the box follows only beyond 12
  EXPECT_EQ(Geometry(6).topLeft(), start.topLeft() + QPoint(20, 0));
  editor.DragBox(6, InBox(6, grip + QPoint(33, 0)));
  editor.ReleaseBox();
  EXPECT_EQ(Geometry(6).topLeft(), start.topLeft() + QPoint(33, 0));

  const QPoint corner(start.width() - 10, start.height() - 10);
  editor.PressBox(6, corner);
  ASSERT_EQ(editor.dragZone(), PointerZone::kResize);
  editor.DragBox(6, corner + QPoint(20, 30));
  editor.DragBox(6, corner + QPoint(40, 30));  // 20 more from the last point
  editor.DragBox(6, corner + QPoint(50, 30));  // 10: within the threshold
  editor.ReleaseBox();
  EXPECT_EQ(Geometry(6).size(), start.size() + QSize(40, 30));
}

TEST_F(Editing, TheLockStopsDraggingAndTheBandButNotTheKeys) {
  Lock(true);
  const QRect before = Geometry(7);
  EXPECT_EQ(editor.HoverBox(7, {10, 10}), PointerZone::kText);
  editor.PressBox(7, {10, 10});
  editor.DragBox(7, {200, 200});
  editor.ReleaseBox();
  EXPECT_EQ(Geometry(7), before);

  EXPECT_FALSE(editor.PressCanvas({0, 0}));
  EXPECT_FALSE(editor.DragCanvas({9000, 4000}));
  EXPECT_FALSE(model.AnySelected());

  model.SetSelected(7, true);
  EXPECT_TRUE(editor.HandleEditKey(Qt::Key_Down, Qt::NoModifier));
  EXPECT_EQ(Geometry(7), before.translated(0, 10));
}

TEST_F(Editing, DraggingAnUnselectedBoxTakesTheSelectedOnesAlongAsOneStep) {
  model.SetSelected(0, true);
  model.SetSelected(6, true);
  const QRect b0 = Geometry(0), b6 = Geometry(6), b9 = Geometry(9), b7 = Geometry(7);
  const QPoint grip = b9.topLeft() + QPoint(50, 50);
  editor.PressBox(9, InBox(9, grip));
  for (int x = 20; x <= 200; x += 20) editor.DragBox(9, InBox(9, grip + QPoint(x, 0)));
  editor.ReleaseBox();
  const QPoint moved(200, 0);
  EXPECT_EQ(Geometry(0), b0.translated(moved));
  EXPECT_EQ(Geometry(6), b6.translated(moved));
  EXPECT_EQ(Geometry(9), b9.translated(moved));
  EXPECT_EQ(Geometry(7), b7);
  EXPECT_EQ(model.PostCodeLabelGeometry().topRight() + QPoint(1, 0), Geometry(9).topLeft() + QPoint(0, 80));

  ASSERT_EQ(editor.undoStack().count(), 1);
  editor.Undo();
  EXPECT_EQ(Geometry(0), b0);
  EXPECT_EQ(Geometry(9), b9);
  editor.Redo();
  EXPECT_EQ(Geometry(6), b6.translated(moved));
}

TEST_F(Editing, ArrowKeysMoveResizeAndRefontTheSelectedBoxes) {
  const struct {
    int key;
    Qt::KeyboardModifiers mods;
    QPoint move;
    QSize grow;
    double points;
  } cases[] = {
      {Qt::Key_Left, Qt::NoModifier, {-10, 0}, QSize(0, 0), 0},
      {Qt::Key_Up, Qt::NoModifier, {0, -10}, QSize(0, 0), 0},
      {Qt::Key_Right, Qt::KeypadModifier, {10, 0}, QSize(0, 0), 0},
      {Qt::Key_Down, Qt::NoModifier, {0, 10}, QSize(0, 0), 0},
      {Qt::Key_Left, Qt::ShiftModifier, {}, {-10, 0}, 0},
      {Qt::Key_Up, Qt::ShiftModifier, {}, {0, -10}, 0},
      {Qt::Key_Right, Qt::ShiftModifier, {}, {10, 0}, 0},
      {Qt::Key_Down, Qt::ShiftModifier, {}, {0, 10}, 0},
      {Qt::Key_Left, Qt::ControlModifier, {}, QSize(0, 0), -1},
      {Qt::Key_Up, Qt::ControlModifier, {}, QSize(0, 0), -1},
      {Qt::Key_Right, Qt::ControlModifier, {}, QSize(0, 0), 1},
      {Qt::Key_Down, Qt::ControlModifier, {}, QSize(0, 0), 1},
      {Qt::Key_Left, Qt::AltModifier, {}, QSize(0, 0), 0},
      {Qt::Key_Left, Qt::ControlModifier | Qt::ShiftModifier, {}, QSize(0, 0), 0},
      {Qt::Key_Home, Qt::NoModifier, {}, QSize(0, 0), 0},
  };
  for (const auto& c : cases) {
    EnvelopeModel m;
    LayoutEditor e(m);
    m.SetSelected(6, true);
    m.SetSelected(8, true);
    const editor::Box b6 = m.box(6), b8 = m.box(8);
    const QRect b7 = m.box(7).geometry;
    e.HandleEditKey(c.key, c.mods);
    for (const editor::Box* before : {&b6, &b8}) {
      const editor::Box& after = m.box(before == &b6 ? 6 : 8);
      EXPECT_EQ(after.geometry.topLeft(), before->geometry.topLeft() + c.move) << c.key << " " << int(c.mods);
      EXPECT_EQ(after.geometry.size(), before->geometry.size() + c.grow) << c.key << " " << int(c.mods);
      EXPECT_DOUBLE_EQ(after.font.size, before->font.size + c.points) << c.key << " " << int(c.mods);
    }
    EXPECT_EQ(m.box(7).geometry, b7);
  }
}

TEST_F(Editing, ShiftRightFourTimesWidensBy40InOneUndoStep) {
  model.SetSelected(8, true);
  const QRect before = Geometry(8);
  for (int i = 0; i < 4; ++i) editor.HandleEditKey(Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(Geometry(8).size(), before.size() + QSize(40, 0));
  EXPECT_EQ(editor.undoStack().count(), 1);
  editor.HandleUndoKey(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Geometry(8), before);
  editor.HandleUndoKey(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Geometry(8).width(), before.width() + 40);
  editor.HandleUndoKey(Qt::Key_Z, Qt::ControlModifier);
  editor.HandleUndoKey(Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(Geometry(8).width(), before.width() + 40);
}

TEST_F(Editing, ArrowRunsSplitAtKindOrSelectionAndVanishWhenUndoneByHand) {
  model.SetSelected(6, true);
  editor.HandleEditKey(Qt::Key_Right, Qt::NoModifier);
  editor.HandleEditKey(Qt::Key_Left, Qt::NoModifier);
  EXPECT_EQ(editor.undoStack().count(), 0);  // back where it began

  editor.HandleEditKey(Qt::Key_Right, Qt::NoModifier);
  editor.HandleEditKey(Qt::Key_Right, Qt::ShiftModifier);
  editor.HandleEditKey(Qt::Key_Right, Qt::NoModifier);
  EXPECT_EQ(editor.undoStack().count(), 3);

  model.SetSelected(7, true);
  editor.HandleEditKey(Qt::Key_Down, Qt::NoModifier);
  EXPECT_EQ(editor.undoStack().count(), 4);
  model.SetSelected(7, false);
  model.SetSelected(7, true);  // same boxes, but a new selection
  editor.HandleEditKey(Qt::Key_Down, Qt::NoModifier);
  EXPECT_EQ(editor.undoStack().count(), 5);
}

TEST_F(Editing, AnEditThatWouldMakeASizeInvalidChangesNoBox) {
  model.SetBoxGeometry(6, QRect(0, 0, 5, 100));
  model.SetBoxGeometry(8, QRect(0, 0, 500, 100));
  model.SetSelected(6, true);
  model.SetSelected(8, true);
  EXPECT_FALSE(editor.CtlChange(-1, -10, 0));
  EXPECT_EQ(Geometry(6).width(), 5);
  EXPECT_EQ(Geometry(8).width(), 500);
  EXPECT_TRUE(editor.CtlChange(-1, -5, 0));  // zero is a valid width
  EXPECT_EQ(Geometry(6).width(), 0);

  common::FontChoice font = model.box(8).font;
  font.size = 0.75;
  model.SetBoxFont(8, font);
  EXPECT_FALSE(editor.FontSizeChange(-1, -1));
  EXPECT_DOUBLE_EQ(model.box(6).font.size, 18);
  EXPECT_DOUBLE_EQ(model.box(8).font.size, 0.75);
  EXPECT_FALSE(editor.FontSizeChange(-1, editor::kMaxFontSize));
  EXPECT_EQ(editor.undoStack().count(), 1);
}

TEST_F(Editing, MovesRoundHalvesToEvenAndMayLeaveTheCanvas) {
  model.SetBoxGeometry(7, QRect(100, 100, 10, 10));
  EXPECT_TRUE(editor.CtlMove(7, 0.5, 1.5));
  EXPECT_EQ(Geometry(7).topLeft(), QPoint(100, 102));
  EXPECT_TRUE(editor.CtlMove(7, -50000, 90000));
  EXPECT_EQ(Geometry(7).topLeft(), QPoint(-49900, 90102));
}

TEST_F(Editing, TheBandSelectsWhatItMeetsLiveAndOnlyBeyond500Twips) {
  model.SetSelected(10, true);
  const QRect address = Geometry(6);  // 720, 960, 5055 x 885
  ASSERT_TRUE(editor.PressCanvas({200, 700}));
  EXPECT_FALSE(model.AnySelected());             // a press clears the selection
  EXPECT_FALSE(editor.DragCanvas({700, 1200}));  // 500 from the anchor
  EXPECT_FALSE(model.AnySelected());
  EXPECT_TRUE(editor.DragCanvas({address.left(), 1201}));  // touches the address box's left edge
  EXPECT_TRUE(model.box(6).selected);
  for (int i : {0, 1, 2, 3, 4, 5, 7, 8, 9, 10}) EXPECT_FALSE(model.box(i).selected) << i;
  EXPECT_TRUE(editor.DragCanvas({350, 1300}));  // shrinking drops it again
  EXPECT_FALSE(model.box(6).selected);
  editor.ReleaseCanvas();
  EXPECT_FALSE(editor.DragCanvas({5000, 5000}));
}

TEST_F(Editing, AFontChoiceGoesToTheMenuBoxAndTheSelectedOnes) {
  common::FontChoice chosen;
  chosen.name = QStringLiteral("黑体");
  chosen.size = 14;
  chosen.italic = chosen.underline = chosen.strikeout = true;
  chosen.color = Qt::red;
  const struct {
    std::vector<int> selected;
    int menuBox;
    std::vector<int> changed;
  } cases[] = {
      {{6, 7}, 9, {6, 7, 9}},
      {{6, 7}, 6, {6, 7}},
      {{}, 10, {10}},
  };
  for (const auto& c : cases) {
    EnvelopeModel m;
    LayoutEditor e(m);
    for (int i : c.selected) m.SetSelected(i, true);
    const EnvelopeModel original;
    EXPECT_TRUE(e.ChangeFont(c.menuBox, chosen));
    for (int i = 0; i < editor::kBoxCount; ++i) {
      const bool changed = std::find(c.changed.begin(), c.changed.end(), i) != c.changed.end();
      EXPECT_EQ(m.box(i).font, changed ? chosen : original.box(i).font)
          << "box " << i << " menu " << c.menuBox;
    }
    e.Undo();
    for (int i = 0; i < editor::kBoxCount; ++i) EXPECT_EQ(m.box(i).font, original.box(i).font) << i;
  }

  // A size the boxes cannot take is passed over; everything else is set.
  chosen.size = 0;
  EXPECT_TRUE(editor.ChangeFont(7, chosen));
  EXPECT_DOUBLE_EQ(model.box(7).font.size, 26.25);
  EXPECT_EQ(model.box(7).font.name, chosen.name);
}

TEST_F(Editing, AnotherEnvelopeSizeForgetsTheUndoHistory) {
  model.SetSelected(6, true);
  editor.HandleEditKey(Qt::Key_Right, Qt::NoModifier);
  ASSERT_EQ(editor.undoStack().count(), 1);
  model.SetChosenSize(4);
  EXPECT_EQ(editor.undoStack().count(), 0);
}

}  // namespace
