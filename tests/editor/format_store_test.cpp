#include "editor/format_store.h"

#include <gtest/gtest.h>

#include "common/numbers.h"
#include "store/store_texts.h"
#include "tests/support/par_database.h"
#include "tests/support/scripted_prompts.h"

namespace {

using editor::EnvelopeModel;

QString S(const char16_t* text) { return QString::fromUtf16(text); }

constexpr int kDL = 2, kC5 = 4, kCustom = editor::kCustomSize;

// Stands in for the main window's LayoutEnvelopeTab: the canvas gets the window's width and the
// proportions of the W and H shown in the custom size boxes. Records what it saw.
struct FakeWindow {
  EnvelopeModel& model;
  int canvasWidth = 9250;
  int layouts = 0;
  int boxChangesBeforeFirstLayout = -1;
  int boxChanges = 0;

  explicit FakeWindow(EnvelopeModel& m) : model(m) {
    QObject::connect(&model, &EnvelopeModel::boxChanged, &model, [this] { ++boxChanges; });
  }
  格式模块::LayoutStep Layout() {
    return [this] {
      if (layouts++ == 0) boxChangesBeforeFirstLayout = boxChanges;
      const double w = common::Val(model.customWidthText()), h = common::Val(model.customHeightText());
      model.SetCanvasSize({canvasWidth, common::RoundToInt(canvasWidth * h / w)});
    };
  }
  void Choose(int size) { 格式模块::SizeOptionClick(model, size, Layout()); }
};

// A layout unlike the design one, with fonts and colours that must come back.
void Arrange(EnvelopeModel& model) {
  for (int b = 0; b < editor::kBoxCount; ++b) {
    model.SetBoxGeometry(b, QRect(101 + 487 * b, 253 + 97 * b, 337 + 13 * b, 341 + 7 * b));
    common::FontChoice font = model.box(b).font;
    font.size = 9 + b * 0.75;
    font.bold = b % 2;
    font.italic = b % 3 == 0;
    font.underline = b == 7;
    font.strikeout = b == 10;
    font.color = QColor(10 * b, 255 - b, 3 * b);
    if (b == 6) font.name = S(u"黑体");
    model.SetBoxFont(b, font);
  }
}

TEST(FormatStoreTest, ASizesFormatComesBackToTheHundredthWhateverTheWindowSize) {
  const struct { int atSave, atLoad; } windows[] = {{9250, 9250}, {12345, 9250}, {6000, 9250}, {9250, 12345}};
  for (const auto& w : windows) {
    SCOPED_TRACE(std::to_string(w.atSave) + " -> " + std::to_string(w.atLoad));
    test::ParDatabase db;
    EnvelopeModel model;
    FakeWindow window(model);
    window.canvasWidth = w.atSave;
    window.Choose(kDL);
    Arrange(model);
    std::vector<editor::Box> before;
    std::vector<QRectF> mm;  // what the stored rows must hold
    for (int b = 0; b < editor::kBoxCount; ++b) {
      before.push_back(model.box(b));
      const QRect g = model.box(b).geometry;
      mm.emplace_back(model.TwipsToMm(g.left()), model.TwipsToMm(g.top()), model.TwipsToMm(g.width()),
                      model.TwipsToMm(g.height()));
    }
    格式模块::SaveEnvelopeFormat(model);
    const QStringList stored = db.Sql(S(u"SELECT X, Y, W, H FROM 格式 ORDER BY Ctl"));
    ASSERT_EQ(stored.size(), editor::kBoxCount);

    window.canvasWidth = 11000;
    window.Choose(kC5);
    for (int b = 0; b < editor::kBoxCount; ++b) model.SetBoxGeometry(b, QRect(0, 0, 10, 10));
    window.canvasWidth = w.atLoad;
    window.Choose(kDL);
    EXPECT_EQ(model.canvasSize(), QSize(w.atLoad, common::RoundToInt(w.atLoad / 2.0)));

    const double halfTwipMm = 0.5 * 220 / w.atLoad + 1e-9;
    for (int b = 0; b < editor::kBoxCount; ++b) {
      SCOPED_TRACE(b);
      const QStringList xywh = stored[b].split(u'|');
      EXPECT_DOUBLE_EQ(xywh[0].toDouble(), mm[b].left());
      EXPECT_DOUBLE_EQ(xywh[3].toDouble(), mm[b].height());
      const QRect g = model.box(b).geometry;
      if (w.atSave == w.atLoad) {
        EXPECT_EQ(g, before[b].geometry);
      }
      EXPECT_NEAR(g.left() * 220.0 / w.atLoad, mm[b].left(), halfTwipMm);
      EXPECT_NEAR(g.top() * 220.0 / w.atLoad, mm[b].top(), halfTwipMm);
      EXPECT_NEAR(g.width() * 220.0 / w.atLoad, mm[b].width(), halfTwipMm);
      EXPECT_NEAR(g.height() * 220.0 / w.atLoad, mm[b].height(), halfTwipMm);
      EXPECT_EQ(model.box(b).font, before[b].font);
    }
  }
}

TEST(FormatStoreTest, SavingTwiceKeepsElevenRowsPerSize) {
  test::ParDatabase db;
  const test::ScriptedPrompts& prompts = test::FreshPrompts();
  EnvelopeModel model;
  FakeWindow window(model);
  window.Choose(kC5);
  格式模块::SaveEnvelopeFormat(model);
  window.Choose(kDL);
  格式模块::SaveEnvelopeFormat(model);
  Arrange(model);
  格式模块::SaveEnvelopeFormat(model);
  EXPECT_EQ(db.Sql(S(u"SELECT count(*) FROM 格式 WHERE substr(Name, 1, 3) = 'DL:'")), QStringList{S(u"11")});
  EXPECT_EQ(db.Sql(S(u"SELECT count(*) FROM 格式 WHERE substr(Name, 1, 3) = 'C5:'")), QStringList{S(u"11")});
  EXPECT_EQ(db.Sql(S(u"SELECT DISTINCT Ctl FROM 格式 WHERE Name = 'DL: 220*110 毫米' ORDER BY Ctl")).size(),
            11);
  const QString dl = DataBase::FormatSavedText(S(u"DL: 220*110 毫米"));
  EXPECT_EQ(prompts.shown, (QStringList{DataBase::FormatSavedText(S(u"C5: 229*162 毫米")), dl, dl}));
}

TEST(FormatStoreTest, TheCustomSizeComesBackWithItsCaptionBeforeTheBoxesArePlaced) {
  test::ParDatabase db;
  {
    EnvelopeModel model;
    FakeWindow window(model);
    window.Choose(kCustom);
    model.SetSizeCaption(kCustom, S(u"自定义：250*176"));  // the custom size as the user accepted it
    Arrange(model);
    格式模块::SaveEnvelopeFormat(model);
  }
  EnvelopeModel model;  // a later run: the design caption 自定义：220*111
  FakeWindow window(model);
  window.Choose(kDL);
  window.layouts = 0;
  window.boxChanges = 0;
  window.Choose(kCustom);
  EXPECT_EQ(model.sizeCaption(kCustom), S(u"自定义：250*176"));
  EXPECT_EQ(model.customWidthText(), S(u"250"));
  EXPECT_EQ(model.customHeightText(), S(u"176"));
  EXPECT_EQ(window.layouts, 1);
  EXPECT_EQ(window.boxChangesBeforeFirstLayout, 0);
  EXPECT_GT(window.boxChanges, 0);
  EXPECT_EQ(model.canvasSize(), QSize(9250, common::RoundToInt(9250 * 176 / 250.0)));
}

TEST(FormatStoreTest, ASizeWithoutAStoredFormatKeepsItsCaptionAndBoxes) {
  test::ParDatabase db;
  db.Sql(S(u"DROP TABLE 标准格式"));  // as a database from before the shipped formats
  const test::ScriptedPrompts& prompts = test::FreshPrompts();
  EnvelopeModel model;
  FakeWindow window(model);
  window.Choose(kDL);
  格式模块::SaveEnvelopeFormat(model);  // only DL has a format
  Arrange(model);
  std::vector<QRect> before;
  for (int b = 0; b < editor::kBoxCount; ++b) before.push_back(model.box(b).geometry);
  window.Choose(kC5);
  EXPECT_EQ(model.sizeCaption(kC5), S(u"C5: 229*162 毫米"));
  for (int b = 0; b < editor::kBoxCount; ++b) EXPECT_EQ(model.box(b).geometry, before[b]);
  // The canvas still takes the new size's proportions.
  EXPECT_EQ(model.customWidthText(), S(u"229"));
  EXPECT_EQ(model.customHeightText(), S(u"162"));
  EXPECT_EQ(model.canvasSize(), QSize(9250, common::RoundToInt(9250 * 162 / 229.0)));
  EXPECT_EQ(prompts.shown, QStringList{DataBase::FormatSavedText(model.sizeCaption(kDL))})
      << "a table the file lacks is no error";
}

TEST(FormatStoreTest, DamagedRowsChangeOnlyWhatTheyCanRead) {
  test::ParDatabase db;
  db.Sql(
      S(u"INSERT INTO 格式 (Name, Ctl, X, Y, W, H, fName, fSize, fBold) VALUES "
        u"('DL: 220*110 毫米', 7, 'abc', 10, 50, 20, NULL, 'big', 0),"
        u"('DL: 220*110 毫米', 20, 1, 1, 1, 1, 'x', 9, 1),"
        u"('DL: 220*110 毫米', NULL, 1, 1, 1, 1, 'x', 9, 1)"));
  EnvelopeModel model, design;
  model.SetCanvasSize({2200, 1100});  // 10 twips per mm
  design.SetCanvasSize({2200, 1100});
  格式模块::LoadEnvelopeFormat(model);
  const editor::Box& name = model.box(editor::kNameBox);
  EXPECT_EQ(name.geometry, QRect(design.box(editor::kNameBox).geometry.left(), 100, 500, 200));
  common::FontChoice font = design.box(editor::kNameBox).font;
  font.bold = false;
  EXPECT_EQ(name.font, font);
  for (int b = 0; b < editor::kBoxCount; ++b)
    if (b != editor::kNameBox) {
      EXPECT_EQ(model.box(b).geometry, design.box(b).geometry) << b;
    }
}

// A format as the program before the shipped formats wrote it (the same columns, font sizes in
// points) loads to its places and fonts; a size the user never saved takes the shipped format;
// damaged figures are put right and the user is told once.
TEST(FormatStoreTest, FormatsOfTheEarlierProgramShippedFormatsAndDamagedBoxesLoad) {
  const struct {
    double x, y, w, h, points;  // box 6 as stored
    QRectF mm;                  // and as loaded
    double loadedPoints;
    bool told;
  } cases[] = {
      {30.5, 40.25, 120, 20, 18, {30.5, 40.25, 120, 20}, 18, false},
      {300, 40, 120, 20, 18, {100, 40, 120, 20}, 18, true},  // off the right edge
      {-5, -7, 0, -3, 18, {0, 0, 1, 1}, 18, true},           // off the corner, no size
      {30, 40, 120, 20, 0, {30, 40, 120, 20}, editor::kSmallestFontPoints, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.x);
    test::ParDatabase db;
    QString rows = S(u"INSERT INTO 格式 VALUES ");
    for (int b = 0; b < editor::kBoxCount; ++b)
      if (b != editor::kAddressBox)
        rows +=
            S(u"('DL: 220*110 毫米', %1, %2, 10, 8, 10, 255, '宋体', 12, 1, 0, 0, 0),").arg(b).arg(10 * b);
    const auto n = [](double v) { return QString::number(v); };
    db.Sql(rows + S(u"('DL: 220*110 毫米', 6, %1, %2, %3, %4, 0, '黑体', %5, 1, 0, 0, 0)")
                      .arg(n(c.x), n(c.y), n(c.w), n(c.h), n(c.points)));
    test::ScriptedPrompts& prompts = test::FreshPrompts();
    EnvelopeModel model;
    FakeWindow window(model);
    window.Choose(kDL);
    const editor::Box& address = model.box(editor::kAddressBox);
    const QRect& g = address.geometry;
    const double loaded[] = {c.mm.left(), c.mm.top(), c.mm.width(), c.mm.height()};
    const int twips[] = {g.left(), g.top(), g.width(), g.height()};
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(model.TwipsToMm(twips[k]), loaded[k], 0.05) << k;
    EXPECT_EQ(address.font.size, c.loadedPoints);
    EXPECT_EQ(address.font.name, S(u"黑体"));
    EXPECT_EQ(model.box(3).font.color, QColor(255, 0, 0));
    EXPECT_EQ(prompts.shown.size(), c.told ? 1 : 0);

    // The shipped C5 format: no user rows for it.
    window.Choose(kC5);
    EXPECT_NEAR(model.TwipsToMm(model.box(0).geometry.left()), 20, 0.05);
    EXPECT_NEAR(model.TwipsToMm(model.box(5).geometry.left()), 70, 0.05);
    EXPECT_NEAR(model.TwipsToMm(model.box(0).geometry.top()), 15, 0.05);
  }
}

TEST(BoxContentsTest, TextsAndTheChosenSizeSurviveAnExitAndAStart) {
  test::ParDatabase db;
  const QString address = S(u"北京市海淀区\n中关村大街１号\r\n");
  {
    EnvelopeModel model;
    model.SetChosenSize(kC5);
    model.SetBoxText(editor::kAddressBox, address);
    model.SetBoxText(editor::kNameBox, QString());
    model.SetBoxText(editor::kTagBox, S(u"印刷品"));
    格式模块::SaveChosenSize(model);  // the exit order
    格式模块::SaveBoxContents(model);
    格式模块::SaveChosenSize(model);
    格式模块::SaveBoxContents(model);
  }
  EXPECT_EQ(db.Sql(S(u"SELECT count(*) FROM 内容")), QStringList{S(u"12")});
  EXPECT_EQ(格式模块::LoadChosenSize(), kC5);
  EnvelopeModel model;
  格式模块::LoadBoxContents(model);
  EXPECT_EQ(model.box(editor::kAddressBox).text, address);
  EXPECT_EQ(model.box(editor::kNameBox).text, QString());
  EXPECT_EQ(model.box(editor::kTagBox).text, S(u"印刷品"));
  EXPECT_EQ(model.box(0).text, S(u"3"));
}

TEST(BoxContentsTest, AnEmptyTableKeepsTheDesignTextsAndDL) {
  test::ParDatabase db;
  db.Sql(S(u"DELETE FROM 内容"));  // the shipped table holds a sample sender address
  EnvelopeModel model, design;
  格式模块::LoadBoxContents(model);
  for (int b = 0; b < editor::kBoxCount; ++b) EXPECT_EQ(model.box(b).text, design.box(b).text);
  EXPECT_EQ(格式模块::LoadChosenSize(), kDL);
}

TEST(BoxContentsTest, AStoredSizeOutsideTheOptionsFallsBackToDL) {
  test::ParDatabase db;
  const struct {
    const char16_t* stored;
    int size;
  } cases[] = {
      {u"0", 0},   {u"6", 6},    {u"4", 4},       {u"2.5", 2},   {u"3.5", 4},
      {u"7", kDL}, {u"-1", kDL}, {u"99999", kDL}, {u"abc", kDL}, {u"", kDL},
  };
  for (const auto& c : cases) {
    db.Sql(S(u"DELETE FROM 内容; INSERT INTO 内容 VALUES (-1, '") + QString::fromUtf16(c.stored) + S(u"')"));
    EXPECT_EQ(格式模块::LoadChosenSize(), c.size) << QString::fromUtf16(c.stored).toStdString();
  }
}

}  // namespace
