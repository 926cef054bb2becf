#include "editor/ui/envelope_canvas.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QLineEdit>
#include <QTest>

#include "editor/digits_only_key_filter.h"
#include "editor/ruler.h"
#include "editor/window_layout.h"

namespace {

using editor::EnvelopeCanvas;
using editor::EnvelopeModel;

TEST(RulerGridTest, LinesEveryTwoMillimetresDarkEveryTenFiguresEveryTwoCentimetres) {
  // DL at 40 twips per mm.
  const editor::RulerGrid grid = editor::RulerGridOf({8800, 4400}, 220);
  int vertical = 0, horizontal = 0, dark = 0;
  for (const editor::RulerLine& line : grid.lines) {
    (line.vertical ? vertical : horizontal)++;
    dark += line.dark;
    EXPECT_DOUBLE_EQ(line.at, line.mm * 40.0);
    EXPECT_EQ(line.dark, line.mm % 10 == 0);
  }
  EXPECT_EQ(vertical, 110);   // 2 .. 220 mm
  EXPECT_EQ(horizontal, 55);  // 2 .. 110 mm
  EXPECT_EQ(dark, 22 + 11);
  // Figures: 11 vertical lines at multiples of 20 mm, 5 horizontal ones twice.
  ASSERT_EQ(grid.figures.size(), 11u + 2 * 5u);
  EXPECT_EQ(grid.figures[0].text, QStringLiteral("2"));
  EXPECT_EQ(grid.figures[0].at, QPointF(20 * 40 - 40, 20));
  const editor::RulerFigure& rightEdge = grid.figures.back();
  EXPECT_EQ(rightEdge.text, QStringLiteral("10"));
  EXPECT_TRUE(rightEdge.alignRight);
  EXPECT_EQ(rightEdge.at, QPointF(8800 - 40, 100 * 40 - 80));
  EXPECT_TRUE(editor::RulerGridOf({8800, 4400}, 0).lines.empty());
  EXPECT_TRUE(editor::RulerGridOf({0, 0}, 220).lines.empty());
}

// Types text key by key; characters without a key of their own arrive as an input method would
// send them, as a key press carrying the text.
void Type(QWidget* widget, const QString& text) {
  for (const QChar c : text) {
    if (c.unicode() < 128)
      QTest::keyClick(widget, char(c.unicode()));
    else
      QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
  }
}

class CanvasTest : public testing::Test {
 protected:
  CanvasTest() : canvas(model, nullptr) {
    canvas.resize(660, 330);  // DL at 45 twips per mm
    canvas.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&canvas));
  }
  QImage Picture() { return canvas.grab().toImage(); }

  EnvelopeModel model;
  EnvelopeCanvas canvas;
};

TEST_F(CanvasTest, RulerLinesShowAtTwoAndTenMillimetresAndVanishWhenUnchecked) {
  ASSERT_EQ(model.canvasSize(), QSize(9900, 4950));
  QImage picture = Picture();
  // A row through the lower part of the canvas, clear of boxes and figures.
  const int y = 320;
  const auto colourNear = [&](double mm) {
    const int x = int(mm * 3.0);  // 3 pixels per mm
    for (int dx = -1; dx <= 1; ++dx) {
      const QColor c = picture.pixelColor(x + dx, y);
      if (c != Qt::white) return c;
    }
    return QColor(Qt::white);
  };
  EXPECT_EQ(colourNear(2), editor::kRulerLight);
  EXPECT_EQ(colourNear(4), editor::kRulerLight);
  EXPECT_EQ(colourNear(10), editor::kRulerDark);
  EXPECT_EQ(colourNear(200), editor::kRulerDark);
  EXPECT_EQ(picture.pixelColor(int(3 * 3.0), y), QColor(Qt::white));  // between lines
  // Horizontal lines cross a column left of the boxes.
  EXPECT_EQ(picture.pixelColor(1, int(10 * 3.0)), editor::kRulerDark);

  editor::TabOptions off = model.options();
  off.ruler = false;
  model.SetOptions(off);
  picture = Picture();
  EXPECT_EQ(colourNear(10), QColor(Qt::white));
  EXPECT_EQ(colourNear(2), QColor(Qt::white));
}

TEST_F(CanvasTest, BoxesShowTheModelAndThePostCodeLabelFollowsBoxNine) {
  // The design box (240, 240, 336, 343 on 9250 twips) keeps its place on the 9900-twip canvas.
  EXPECT_EQ(model.box(0).geometry, QRect(257, 257, 360, 367));
  EXPECT_EQ(canvas.box(0)->geometry(), QRect(17, 17, 24, 24));
  EXPECT_EQ(canvas.box(7)->toPlainText(), QStringLiteral("杨丽"));
  EXPECT_EQ(canvas.box(9)->objectName(), QStringLiteral("P1(9)"));
  EXPECT_EQ(canvas.postCodeLabel()->text(), QStringLiteral("邮政编码"));
  for (const QRect& moved :
       {QRect(7080, 3840, 1770, 360), QRect(3000, 1500, 1770, 360), QRect(1200, 600, 900, 300)}) {
    model.SetBoxGeometry(editor::kSenderPostcodeBox, moved);
    const QRect box = canvas.box(9)->geometry();
    const QRect label = canvas.postCodeLabel()->geometry();
    EXPECT_EQ(label.right() + 1, box.left());
    EXPECT_EQ(label.top(), editor::TwipsToPixels(moved.top() + 80));
  }
  model.SetSelected(3, true);
  EXPECT_EQ(canvas.box(3)->palette().color(QPalette::Base), editor::BoxWidget::kSelectedBackColor);
  model.SetBoxText(6, QStringLiteral("北京市\r\n海淀区"));
  EXPECT_EQ(canvas.box(6)->toPlainText(), QStringLiteral("北京市\n海淀区"));
}

TEST_F(CanvasTest, TypedTextReachesTheModelWithinTheBoxRules) {
  const struct {
    int box;
    const char16_t* typed;
    const char16_t* kept;
  } cases[] = {
      {0, u"a7", u"7"},             // one digit, letters dropped
      {0, u"12", u"1"},             // at most one character
      {9, u"1x0q0073", u"100073"},  // digits only, six at most
      {9, u"1234567", u"123456"},
      {7, u"张三", u"张三"},  // the name takes any text
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.box);
    editor::BoxWidget* box = canvas.box(c.box);
    box->clear();
    Type(box, QString::fromUtf16(c.typed));
    EXPECT_EQ(model.box(c.box).text, QString::fromUtf16(c.kept));
  }
  // Backspace works in a digits-only box.
  editor::BoxWidget* sender = canvas.box(9);
  sender->moveCursor(QTextCursor::End);
  QTest::keyClick(sender, Qt::Key_Backspace);
  EXPECT_EQ(model.box(9).text, QStringLiteral("12345"));
  // Pasting obeys the same rules as typing.
  sender->clear();
  QGuiApplication::clipboard()->setText(QStringLiteral("邮编 100-073"));
  sender->paste();
  EXPECT_EQ(model.box(9).text, QStringLiteral("100073"));
}

TEST(DigitsOnlyKeyFilterTest, DropsLettersKeepsDigitsBackspaceAndCaretKeys) {
  QLineEdit box;
  box.installEventFilter(new editor::DigitsOnlyKeyFilter(&box));
  QTest::keyClicks(&box, QStringLiteral("2a5 -b0x"));
  EXPECT_EQ(box.text(), QStringLiteral("250"));
  QTest::keyClick(&box, Qt::Key_Backspace);
  EXPECT_EQ(box.text(), QStringLiteral("25"));
  QTest::keyClick(&box, Qt::Key_Home);
  QTest::keyClick(&box, Qt::Key_Delete);
  EXPECT_EQ(box.text(), QStringLiteral("5"));
  QGuiApplication::clipboard()->setText(QStringLiteral("abc"));
  QTest::keyClick(&box, Qt::Key_V, Qt::ControlModifier);  // no pasting letters past the filter
  QTest::keyClick(&box, Qt::Key_Return);
  EXPECT_EQ(box.text(), QStringLiteral("5"));
}

}  // namespace
