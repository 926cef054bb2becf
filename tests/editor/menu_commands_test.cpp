#include "editor/menu_commands.h"

#include <gtest/gtest.h>

#include "editor/editor_texts.h"
#include "editor/layout_editor.h"
#include "store/registry.h"
#include "tests/support/scripted_prompts.h"

using namespace Qt::StringLiterals;

namespace {

using editor::TextSelection;

TEST(CopyTest, WholeTextWithoutASelectionElseTheSelectedPart) {
  const QString address = QStringLiteral("浙江省杭州市西湖区");
  const struct {
    QString text;
    TextSelection selection;
    std::optional<QString> copied;
  } cases[] = {
      {address, {0, 0}, address},
      {address, {4, 0}, address},
      {address, {3, 2}, QStringLiteral("杭州")},
      {address, {7, 10}, QStringLiteral("湖区")},
      {QString(), {0, 0}, std::nullopt},
      {QString(), {0, 3}, std::nullopt},
  };
  for (const auto& c : cases)
    EXPECT_EQ(editor::CopiedText(c.text, c.selection), c.copied)
        << c.selection.start << "+" << c.selection.length;
}

TEST(PasteTest, InsertsAtTheSelectionStartAndKeepsTheRest) {
  const editor::BoxRules address = editor::RulesOf(editor::kAddressBox);
  const editor::BoxRules digit = editor::RulesOf(0);
  const editor::BoxRules senderCode = editor::RulesOf(editor::kSenderPostcodeBox);
  const struct {
    QString text;
    TextSelection selection;
    QString clip;
    editor::BoxRules rules;
    QString pasted;
    int caret;
  } cases[] = {
      {u"浙江省杭州市"_s, {3, 0}, u"宁波"_s, address, u"浙江省宁波杭州市"_s, 5},
      {u"浙江省杭州市"_s, {3, 2}, u"宁波"_s, address, u"浙江省宁波杭州市"_s, 5},  // the selection stays
      {u"abc"_s, {0, 0}, u"x\r\ny"_s, address, u"x\nyabc"_s, 3},
      {u"abc"_s, {99, 0}, u"d"_s, address, u"abcd"_s, 4},
      {QString(), {0, 0}, u"310012"_s, digit, u"3"_s, 1},
      {u"1"_s, {0, 0}, u"2"_s, digit, u"1"_s, 0},  // full
      {u"1000"_s, {1, 0}, u"a7-3\n9x"_s, senderCode, u"173000"_s, 3},
  };
  for (const auto& c : cases) {
    const editor::Pasted p = editor::PastedText(c.text, c.selection, c.clip, c.rules);
    EXPECT_EQ(p.text, c.pasted) << c.text.toStdString() << " + " << c.clip.toStdString();
    EXPECT_EQ(p.caret, c.caret) << c.text.toStdString() << " + " << c.clip.toStdString();
  }
}

TEST(ResolutionTest, AsksUntilInRangeAndStoresTheNumber) {
  const QString first = editor::kDpiPrompt + u'\n' + editor::kDpiRange;
  const QString again = editor::kDpiPrompt;
  const QString range = editor::kDpiOutOfRange;
  const struct {
    QString stored;  // empty: never set
    std::vector<std::optional<QString>> answers;
    QStringList shown;
    QStringList proposals;
    QString result;  // empty: nothing stored
  } cases[] = {
      {{}, {u"10"_s}, {first}, {u"150"_s}, u"10"_s},
      {{}, {u"2000"_s}, {first}, {u"150"_s}, u"2000"_s},
      {{}, {u"300abc"_s}, {first}, {u"150"_s}, u"300"_s},
      {{}, {std::nullopt}, {first}, {u"150"_s}, {}},
      {{}, {u""_s}, {first}, {u"150"_s}, {}},
      {{},
       {u"9"_s, u"2001"_s, u"600"_s},
       {first, range, again, range, again},
       {u"150"_s, u"9"_s, u"2001"_s},
       u"600"_s},
      {{}, {u"abc"_s, std::nullopt}, {first, range, again}, {u"150"_s, u"abc"_s}, {}},
      {u"300.0"_s, {u" 72.5 "_s}, {first}, {u"300"_s}, u"72.5"_s},
      {u"600"_s, {std::nullopt}, {first}, {u"600"_s}, u"600"_s},  // cancel keeps what was stored
  };
  for (const auto& c : cases) {
    Registry::DeleteSetting(Registry::kCollateSection, editor::kDpiKey);
    if (!c.stored.isEmpty()) Registry::SaveSetting(Registry::kCollateSection, editor::kDpiKey, c.stored);
    test::ScriptedPrompts& prompts = test::FreshPrompts();
    prompts.inputs.assign(c.answers.begin(), c.answers.end());
    editor::SetResolution(u"Kovapost"_s);
    EXPECT_EQ(prompts.shown, c.shown) << c.proposals.join(u' ').toStdString();
    EXPECT_EQ(prompts.proposals, c.proposals);
    EXPECT_EQ(Registry::GetSetting(Registry::kCollateSection, editor::kDpiKey), c.result)
        << c.proposals.join(u' ').toStdString();
  }
  Registry::DeleteSetting(Registry::kCollateSection, editor::kDpiKey);
}

TEST(FontMenuTest, TheDialogStartsFromTheMenuBoxAndCancelChangesNothing) {
  editor::EnvelopeModel model;
  editor::LayoutEditor layout(model);
  common::FontChoice unnamed = model.box(7).font;
  unnamed.name.clear();
  unnamed.color = Qt::blue;
  model.SetBoxFont(7, unnamed);
  EXPECT_EQ(editor::FontDialogStart(model.box(7)).name, u"宋体"_s);
  EXPECT_EQ(editor::FontDialogStart(model.box(7)).color, QColor(Qt::blue));

  test::ScriptedPrompts& prompts = test::FreshPrompts();
  prompts.fonts = {std::nullopt};
  EXPECT_FALSE(editor::ChangeFontFromDialog(layout, 7));
  EXPECT_EQ(model.box(7).font, unnamed);
  EXPECT_EQ(layout.undoStack().count(), 0);

  common::FontChoice chosen = unnamed;
  chosen.name = u"黑体"_s;
  chosen.bold = false;
  model.SetSelected(6, true);
  prompts.fonts = {chosen};
  EXPECT_TRUE(editor::ChangeFontFromDialog(layout, 7));
  EXPECT_EQ(model.box(7).font, chosen);
  EXPECT_EQ(model.box(6).font.name, u"黑体"_s);
  EXPECT_FALSE(editor::ChangeFontFromDialog(layout, -1));
}

// The box menu's exact place: four numbers in mm, refused when any part of the box would leave
// the envelope; one undo step.
TEST(PlaceBoxByNumbers, TakesFourNumbersInsideTheEnvelopeAsOneUndoStep) {
  const struct {
    const char* answer;
    std::optional<QRectF> mm;
  } cases[] = {
      {"20, 10, 8, 10", QRectF(20, 10, 8, 10)},
      {"20，10 8.5,10", QRectF(20, 10, 8.5, 10)},
      {"212, 10, 8, 10", QRectF(212, 10, 8, 10)},
      {"213, 10, 8, 10", std::nullopt},
      {"0, 100, 8, 10.5", std::nullopt},
      {"-1, 10, 8, 10", std::nullopt},
      {"20, 10, 0.5, 10", std::nullopt},
      {"20, 10, 8", std::nullopt},
      {"a, b, c, d", std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(editor::PlaceInMm(QString::fromUtf8(c.answer), 220, 110), c.mm) << c.answer;
  }
  editor::EnvelopeModel model;
  model.SetCanvasSize({2200, 1100});  // 10 twips per mm
  editor::LayoutEditor editor(model);
  test::ScriptedPrompts& prompts = test::FreshPrompts();
  prompts.inputs = {QStringLiteral("300, 10, 8, 10"), QStringLiteral("20, 10, 8, 10")};
  const QRect before = model.box(3).geometry;
  EXPECT_TRUE(editor::PlaceBoxByNumbers(editor, 3));
  EXPECT_EQ(model.box(3).geometry, QRect(200, 100, 80, 100));
  EXPECT_EQ(prompts.shown.count(editor::PlaceOutOfRangeText(QStringLiteral("220"), QStringLiteral("110"))),
            1);  // the first answer is refused
  EXPECT_EQ(editor.undoStack().count(), 1);
  editor.Undo();
  EXPECT_EQ(model.box(3).geometry, before);
}

// What is typed is what the dialog shows the next time, on a narrow canvas whose twips are no
// round number of millimetres as on a wide one. (Hundredths are finer than a canvas twip on a
// small screen, 0.015 mm, so whole millimetres and tenths are what is promised.)
TEST(PlaceBoxByNumbers, ShowsTheMillimetresTypedOnAnyCanvasWidth) {
  const char* typed[] = {"70, 53, 100, 12", "12.5, 30.2, 80.4, 7.7", "0, 0, 220, 110"};
  for (const int canvasWidth : {14745, 20835}) {  // DL on 1366 x 768 and on 1920 x 1080
    editor::EnvelopeModel model;
    model.SetCanvasSize({canvasWidth, canvasWidth / 2});
    editor::LayoutEditor editor(model);
    for (const char* answer : typed) {
      SCOPED_TRACE(std::to_string(canvasWidth) + ": " + answer);
      test::ScriptedPrompts& prompts = test::FreshPrompts();
      prompts.inputs = {QString::fromUtf8(answer), std::nullopt};
      ASSERT_TRUE(editor::PlaceBoxByNumbers(editor, editor::kAddressBox));
      EXPECT_FALSE(editor::PlaceBoxByNumbers(editor, editor::kAddressBox));  // opened again, cancelled
      ASSERT_EQ(prompts.proposals.size(), 2);
      EXPECT_EQ(prompts.proposals[1], QString::fromUtf8(answer));
      // And the box prints where it was typed, to within half a twip of the canvas.
      const QRect& g = model.box(editor::kAddressBox).geometry;
      EXPECT_NEAR(g.width() * 220.0 / canvasWidth,
                  editor::PlaceInMm(QString::fromUtf8(answer), 220, 110)->width(), 0.5 * 220.0 / canvasWidth);
    }
  }
}

}  // namespace
