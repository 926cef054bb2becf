// The gestures through real widget events on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>

#include "app/main_window.h"
#include "editor/editor_texts.h"
#include "editor/envelope_model.h"
#include "editor/menu_commands.h"
#include "editor/ui/band_layer.h"
#include "editor/ui/envelope_canvas.h"
#include "editor/ui/popup_menus.h"
#include "store/registry.h"
#include "tests/support/scripted_prompts.h"

using namespace Qt::StringLiterals;

namespace {

using editor::kTwipsPerPixel;

// The main window with its canvas and boxes, the lock off.
struct Stage : testing::Test {
  Stage() {
    window.Load();
    window.show();
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    // The design places in twips, whatever the canvas on this screen: the gestures are the point.
    const editor::EnvelopeModel design;
    for (int i = 0; i < editor::kBoxCount; ++i) model.SetBoxGeometry(i, design.box(i).geometry);
    if (window.O2(1)->isChecked()) QTest::mouseClick(window.O2(1), Qt::LeftButton);
    EXPECT_FALSE(model.options().lock);
    menus.SetChooser([this](QMenu& menu, const QPoint&) -> QAction* {
      opened << menu.objectName();
      return choose ? menu.findChild<QAction*>(*choose) : nullptr;
    });
  }

  void SetLock(bool on) {
    if (window.O2(1)->isChecked() != on) QTest::mouseClick(window.O2(1), Qt::LeftButton);
    ASSERT_EQ(model.options().lock, on);
  }
  QTextEdit* Edit(int i) const { return window.P1(i); }
  QWidget* Receiver(int i) const { return window.P1(i)->viewport(); }
  // Sends a mouse event to `w` for the pointer at `onCanvas` twips, wherever `w` is now.
  void Mouse(QWidget* w, QEvent::Type type, QPointF onCanvas, Qt::MouseButton button,
             Qt::MouseButtons buttons) {
    const QPointF global = QPointF(canvas->mapToGlobal(QPoint(0, 0))) + onCanvas / kTwipsPerPixel;
    const QPointF local = global - QPointF(w->mapToGlobal(QPoint(0, 0)));
    QMouseEvent event(type, local, global, button, buttons, Qt::NoModifier);
    QApplication::sendEvent(w, &event);
  }
  // Presses the left button at `grip` (twips within box i), drags by `by` twips and lets go.
  void DragBox(int i, QPointF grip, QPointF by, int steps = 1) {
    const QPointF start = QPointF(model.box(i).geometry.topLeft()) + grip;
    Mouse(Receiver(i), QEvent::MouseMove, start, Qt::NoButton, Qt::NoButton);
    Mouse(Receiver(i), QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    for (int s = 1; s <= steps; ++s)
      Mouse(Receiver(i), QEvent::MouseMove, start + by * s / steps, Qt::NoButton, Qt::LeftButton);
    Mouse(Receiver(i), QEvent::MouseButtonRelease, start + by, Qt::LeftButton, Qt::NoButton);
  }
  void Band(QPointF from, QPointF to) {
    Mouse(canvas, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    Mouse(canvas, QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
  }
  void RightClick(QWidget* w, QPointF onCanvas) {
    Mouse(w, QEvent::MouseButtonPress, onCanvas, Qt::RightButton, Qt::RightButton);
    Mouse(w, QEvent::MouseButtonRelease, onCanvas, Qt::RightButton, Qt::NoButton);
  }
  const editor::ui::BandLayer* Layer() const { return canvas->findChild<editor::ui::BandLayer*>(); }

  MF window;
  editor::EnvelopeModel& model = window.envelope();
  editor::EnvelopeCanvas* canvas = window.EP();
  QLabel* tip = window.T2();
  QPushButton* button = window.CB(0);
  editor::ui::菜单& menus = *window.PopupMenus();
  QStringList opened;             // menus the gestures opened
  std::optional<QString> choose;  // the item to choose in them
};

TEST_F(Stage, TheMoveZoneEndsAt100TwipsAndADragMustExceed12) {
  const struct {
    QPointF grip;
    QPointF by;
    QPoint moved;
  } cases[] = {
      {{99, 99}, {300, 150}, {300, 150}}, {{100, 99}, {300, 150}, {0, 0}}, {{99, 100}, {300, 150}, {0, 0}},
      {{50, 50}, {12, 12}, {0, 0}},       {{50, 50}, {13, 0}, {13, 0}},    {{50, 50}, {0, -13}, {0, -13}},
  };
  for (const auto& c : cases) {
    const QRect before = model.box(7).geometry;
    DragBox(7, c.grip, c.by);
    EXPECT_EQ(model.box(7).geometry.topLeft() - before.topLeft(), c.moved) << c.grip.x() << "," << c.grip.y();
    EXPECT_EQ(model.box(7).geometry.size(), before.size());
    model.SetBoxGeometry(7, before);
  }
}

TEST_F(Stage, TheResizeCornerGrowsTheBox) {
  const QRect before = model.box(6).geometry;
  DragBox(6, QPointF(before.width() - 30, before.height() - 30), {300, 150}, 5);
  EXPECT_EQ(model.box(6).geometry.topLeft(), before.topLeft());
  EXPECT_EQ(model.box(6).geometry.size(), before.size() + QSize(300, 150));
  EXPECT_EQ(window.P1(6)->width(), (before.width() + 300) / kTwipsPerPixel);
}

TEST_F(Stage, ThePointerZonesShowTheirCursorsAndTips) {
  const QRect b = model.box(6).geometry;
  const struct {
    QPointF at;
    Qt::CursorShape shape;
    QString tip;
  } cases[] = {
      {{50, 50}, Qt::ArrowCursor, editor::kMoveZoneTip},
      {{b.width() - 30.0, b.height() - 30.0}, Qt::SizeFDiagCursor, editor::kResizeZoneTip},
      {{600, 300}, Qt::IBeamCursor, editor::kTextZoneTip},
  };
  for (const auto& c : cases) {
    Mouse(Receiver(6), QEvent::MouseMove, QPointF(b.topLeft()) + c.at, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(Receiver(6)->cursor().shape(), c.shape);
    EXPECT_EQ(tip->text(), c.tip);
    EXPECT_EQ(window.P1(6)->toolTip(), c.tip);
  }
  SetLock(true);
  tip->clear();
  for (const auto& c : cases) {
    Mouse(Receiver(6), QEvent::MouseMove, QPointF(b.topLeft()) + c.at, Qt::NoButton, Qt::NoButton);
    EXPECT_EQ(Receiver(6)->cursor().shape(), Qt::IBeamCursor);
    EXPECT_EQ(tip->text(), QString());
  }
}

TEST_F(Stage, TheLockStopsDragsBandsAndTheCanvasMenuButNotKeysOrTheBoxMenu) {
  SetLock(true);
  model.SetSelected(8, true);
  const QRect seven = model.box(7).geometry, eight = model.box(8).geometry;
  DragBox(7, {50, 50}, {300, 300});
  EXPECT_EQ(model.box(7).geometry, seven);

  Band({100, 100}, {9000, 4500});
  EXPECT_FALSE(model.box(7).selected);
  EXPECT_TRUE(model.box(8).selected);
  RightClick(canvas, {100, 100});
  EXPECT_TRUE(opened.isEmpty());

  button->setFocus();
  QTest::keyClick(button, Qt::Key_Right);
  EXPECT_EQ(model.box(8).geometry, eight.translated(10, 0));
  RightClick(Receiver(7), QPointF(seven.topLeft()) + QPointF(500, 100));
  EXPECT_EQ(opened, QStringList{u"FontMenu"_s});
}

TEST_F(Stage, TheBandSelectsLiveBeyond500TwipsAndItsOutlineGoesWhenReleased) {
  model.SetSelected(10, true);
  const QRect address = model.box(6).geometry;  // 720, 960
  Band({300, 750}, {800, 1250});
  EXPECT_FALSE(model.AnySelected());
  EXPECT_EQ(tip->text(), editor::kBandMoveTip);
  EXPECT_TRUE(Layer()->image().pixelColor(20, 50).alpha() == 0);

  Mouse(canvas, QEvent::MouseMove, {900, double(address.top())}, Qt::NoButton,
        Qt::LeftButton);  // touches its top
  EXPECT_TRUE(model.box(6).selected);
  EXPECT_FALSE(model.box(7).selected);
  const QImage& layer = Layer()->image();
  EXPECT_EQ(layer.pixelColor(20, 50), QColor(Qt::black));  // the anchor corner
  EXPECT_EQ(layer.pixelColor(40, 50), QColor(Qt::black));  // the top edge

  Mouse(canvas, QEvent::MouseMove, {3600, 2400}, Qt::NoButton, Qt::LeftButton);
  EXPECT_TRUE(model.box(6).selected);
  EXPECT_TRUE(model.box(7).selected);                      // 3480, 2040
  EXPECT_EQ(layer.pixelColor(60, 64), QColor(Qt::white));  // the earlier outline, erased

  Mouse(canvas, QEvent::MouseButtonRelease, {3600, 2400}, Qt::LeftButton, Qt::NoButton);
  EXPECT_EQ(tip->text(), editor::kBandReleaseTip);
  EXPECT_EQ(Layer()->image().pixelColor(20, 50).alpha(), 0);
  EXPECT_TRUE(model.box(6).selected);  // the selection stays
}

TEST_F(Stage, TwoSelectedBoxesFollowADraggedThirdAndOneUndoTakesItBack) {
  model.SetSelected(0, true);
  model.SetSelected(8, true);
  const QRect b0 = model.box(0).geometry, b8 = model.box(8).geometry, b9 = model.box(9).geometry;
  DragBox(9, {40, 40}, {-450, -300}, 6);
  EXPECT_EQ(model.box(0).geometry, b0.translated(-450, -300));
  EXPECT_EQ(model.box(8).geometry, b8.translated(-450, -300));
  EXPECT_EQ(model.box(9).geometry, b9.translated(-450, -300));

  canvas->setFocus();
  QTest::keyClick(canvas, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(model.box(0).geometry, b0);
  EXPECT_EQ(model.box(9).geometry, b9);
  QTest::keyClick(canvas, Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(model.box(9).geometry, b9.translated(-450, -300));
  QTest::keyClick(canvas, Qt::Key_Z, Qt::ControlModifier);
  QTest::keyClick(canvas, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(model.box(8).geometry, b8.translated(-450, -300));
}

TEST_F(Stage, ArrowKeysFromABoxEditTheLayoutAndStillMoveTheCaret) {
  model.SetSelected(6, true);
  const editor::Box before = model.box(6);
  QTextEdit* address = Edit(6);
  address->setFocus();
  QTextCursor c = address->textCursor();
  c.setPosition(0);
  address->setTextCursor(c);
  for (int i = 0; i < 4; ++i) QTest::keyClick(address, Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_EQ(model.box(6).geometry.size(), before.geometry.size() + QSize(40, 0));
  EXPECT_EQ(address->textCursor().position(), 4);
  QTest::keyClick(address, Qt::Key_Left, Qt::ControlModifier);
  EXPECT_DOUBLE_EQ(model.box(6).font.size, before.font.size - 1);
  QTest::keyClick(address, Qt::Key_Down);
  EXPECT_EQ(model.box(6).geometry.topLeft(), before.geometry.topLeft() + QPoint(0, 10));

  // The main window, the canvas and the buttons feed the same keys, each press once.
  const struct { QWidget* source; } sources[] = {{&window}, {canvas}, {button}};
  for (const auto& s : sources) {
    const QPoint at = model.box(6).geometry.topLeft();
    if (s.source == &window) {
      if (QWidget* focus = QApplication::focusWidget()) focus->clearFocus();
    } else {
      s.source->setFocus();
    }
    QTest::keyClick(s.source, Qt::Key_Left);
    EXPECT_EQ(model.box(6).geometry.topLeft(), at - QPoint(10, 0)) << s.source->metaObject()->className();
  }
  // A widget that is not a key source leaves the layout alone.
  auto* other = new QLineEdit(&window);
  other->show();
  other->setFocus();
  const QRect now = model.box(6).geometry;
  QTest::keyClick(other, Qt::Key_Left);
  EXPECT_EQ(model.box(6).geometry, now);
}

TEST_F(Stage, InABoxUndoTakesBackWhatCameLastTypingOrLayout) {
  QTextEdit* name = Edit(7);
  name->setFocus();
  name->moveCursor(QTextCursor::End);
  QTest::keyClicks(name, u"x"_s);
  const QRect before = model.box(7).geometry;
  DragBox(7, {40, 40}, {200, 0}, 4);
  name->setFocus();
  QTest::keyClick(name, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(model.box(7).geometry, before);
  EXPECT_EQ(name->toPlainText(), u"杨丽x"_s);
  QTest::keyClick(name, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(name->toPlainText(), u"杨丽"_s);
  QTest::keyClick(name, Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(name->toPlainText(), u"杨丽x"_s);
  EXPECT_EQ(model.box(7).geometry, before);
  QTest::keyClick(name, Qt::Key_Y, Qt::ControlModifier);  // nothing left to redo in the box
  EXPECT_EQ(model.box(7).geometry, before.translated(200, 0));
}

TEST_F(Stage, TheCanvasMenuSetsTheResolutionAndClearsTheSelection) {
  Registry::DeleteSetting(Registry::kCollateSection, editor::kDpiKey);
  model.SetSelected(6, true);
  test::ScriptedPrompts& prompts = test::FreshPrompts();
  prompts.inputs = {u"9"_s, u"300abc"_s};
  choose = u"mDPI"_s;
  RightClick(canvas, {100, 4000});
  EXPECT_EQ(opened, QStringList{u"mSet"_s});
  EXPECT_EQ(prompts.proposals, (QStringList{u"150"_s, u"9"_s}));
  EXPECT_EQ(Registry::GetSetting(Registry::kCollateSection, editor::kDpiKey), u"300"_s);
  EXPECT_FALSE(model.AnySelected());
  Registry::DeleteSetting(Registry::kCollateSection, editor::kDpiKey);
}

TEST_F(Stage, TheFontItemChangesTheMenuBoxAndTheSelectedOnes) {
  const struct {
    int menuBox;
    std::vector<int> changed;
  } cases[] = {{9, {6, 7, 9}}, {6, {6, 7}}};
  for (const auto& c : cases) {
    const editor::EnvelopeModel original;
    for (int i = 0; i < editor::kBoxCount; ++i) model.SetBoxFont(i, original.box(i).font);
    model.SetSelected(6, true);
    model.SetSelected(7, true);
    common::FontChoice chosen;
    chosen.name = u"黑体"_s;
    chosen.size = 15;
    chosen.underline = true;
    chosen.color = Qt::darkBlue;
    test::FreshPrompts().fonts = {chosen};
    choose = u"FontStyle"_s;
    RightClick(Receiver(c.menuBox), QPointF(model.box(c.menuBox).geometry.topLeft()) + QPointF(150, 150));
    for (int i = 0; i < editor::kBoxCount; ++i) {
      const bool changed = std::find(c.changed.begin(), c.changed.end(), i) != c.changed.end();
      EXPECT_EQ(model.box(i).font, changed ? chosen : original.box(i).font) << i << " menu " << c.menuBox;
    }
    EXPECT_TRUE(model.box(6).selected);  // the box menu keeps the selection
  }
}

TEST_F(Stage, CopyAndPasteUseTheSelectionOfTheRightClick) {
  QTextEdit* address = Edit(6);
  model.SetBoxText(6, u"浙江省杭州市西湖区"_s);
  const QPointF inside = QPointF(model.box(6).geometry.topLeft()) + QPointF(900, 300);
  QClipboard* clipboard = QGuiApplication::clipboard();

  choose = u"mCopy"_s;
  clipboard->setText(u"-"_s);
  RightClick(Receiver(6), inside);
  EXPECT_EQ(clipboard->text(), u"浙江省杭州市西湖区"_s);

  QTextCursor c = address->textCursor();
  c.setPosition(3);
  c.setPosition(5, QTextCursor::KeepAnchor);
  address->setTextCursor(c);
  RightClick(Receiver(6), inside);
  EXPECT_EQ(clipboard->text(), u"杭州"_s);
  EXPECT_EQ(address->textCursor().selectedText(), u"杭州"_s);  // kept across the menu

  clipboard->setText(u"宁波"_s);
  c.setPosition(3);
  address->setTextCursor(c);
  choose = u"mPasty"_s;
  RightClick(Receiver(6), inside);
  EXPECT_EQ(address->toPlainText(), u"浙江省宁波杭州市西湖区"_s);
  EXPECT_EQ(address->textCursor().position(), 5);
  address->undo();  // the box's own undo takes the paste back
  EXPECT_EQ(address->toPlainText(), u"浙江省杭州市西湖区"_s);

  // The menu key opens the same menu at the caret.
  opened.clear();
  choose.reset();
  address->setFocus();
  QContextMenuEvent menuKey(QContextMenuEvent::Keyboard, QPoint(2, 2), address->mapToGlobal(QPoint(2, 2)));
  QApplication::sendEvent(address, &menuKey);
  EXPECT_EQ(opened, QStringList{u"FontMenu"_s});

  choose = u"mPasty"_s;
  model.SetBoxText(0, QString());
  clipboard->setText(u"x3y"_s);
  RightClick(Receiver(0), QPointF(model.box(0).geometry.topLeft()) + QPointF(150, 150));
  EXPECT_EQ(model.box(0).text, u"3"_s);
}

TEST_F(Stage, ThePostCodeLabelFollowsBox9ByKeyAndByMouse) {
  QLabel* label = canvas->postCodeLabel();
  const auto besideBox9 = [&] {
    const QRect box = window.P1(9)->geometry();
    EXPECT_EQ(label->geometry(), editor::TwipsToPixels(model.PostCodeLabelGeometry()));
    EXPECT_EQ(label->geometry().right() + 1, box.left());
    EXPECT_EQ(label->text(), u"邮政编码"_s);
  };
  const QRect start = model.box(9).geometry;
  DragBox(9, {30, 30}, {-600, -450}, 3);
  EXPECT_EQ(model.box(9).geometry, start.translated(-600, -450));
  besideBox9();

  model.SetSelected(9, true);
  Edit(9)->setFocus();
  for (int i = 0; i < 3; ++i) QTest::keyClick(Edit(9), Qt::Key_Up);
  EXPECT_EQ(model.box(9).geometry, start.translated(-600, -480));
  besideBox9();
}

}  // namespace
