#include "editor/option_memory.h"

#include <gtest/gtest.h>

#include "tests/support/par_database.h"
#include "tests/support/scripted_prompts.h"

namespace {

using editor::EnvelopeModel;
using editor::TabOptions;

QString S(const char16_t* text) { return QString::fromUtf16(text); }

constexpr int kC5 = 4;

TEST(OptionMemoryTest, OptionsSurviveAnExitAndAStart) {
  test::ParDatabase db;
  const test::ScriptedPrompts& prompts = test::FreshPrompts();
  EnvelopeModel before;
  before.SetChosenSize(kC5);
  TabOptions chosen;
  chosen.portrait = false;
  chosen.landscape = true;
  chosen.lock = false;
  chosen.rotate = true;
  chosen.guide = false;
  before.SetOptions(chosen);
  OptionMemory::SaveLastSet(before);
  OptionMemory::SaveLastSet(before);  // a second exit rewrites, it does not add

  EXPECT_EQ(db.Sql(S(u"SELECT Ord, Val FROM 默认 ORDER BY rowid")),
            (QStringList{S(u"2.0|False"), S(u"9.0|1"), S(u"0.0|False"), S(u"3.0|False"), S(u"10.0|0"),
                         S(u"1.0|True"), S(u"4.0|False"), S(u"5.0|False"), S(u"6.0|True"), S(u"7.0|False"),
                         S(u"8.0|False"), S(u"11.0|0"), S(u"12.0|1"), S(u"13.0|0")}));

  EnvelopeModel after;  // the next start
  std::vector<int> clicked;
  OptionMemory::LoadLastSet(after, [&](int i) {
    clicked.push_back(i);
    after.SetChosenSize(i);
  });
  EXPECT_EQ(clicked, std::vector<int>{kC5});
  EXPECT_EQ(after.chosenSize(), kC5);
  EXPECT_EQ(after.options(), chosen);
  EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST(OptionMemoryTest, TheShippedFileRestoresTheInitialOptions) {
  test::ParDatabase db;
  EnvelopeModel model;
  model.SetChosenSize(editor::kCustomSize);
  bool clicked = false;
  OptionMemory::LoadLastSet(model, [&](int i) {
    clicked = true;
    model.SetChosenSize(i);
  });
  EXPECT_TRUE(clicked);
  EXPECT_EQ(model.chosenSize(), editor::kDefaultSize);
  EXPECT_EQ(model.options(), TabOptions());
}

TEST(OptionMemoryTest, StoredTextsReadAsBooleansOrNumbers) {
  test::ParDatabase db;
  const struct {
    const char16_t* stored;
    QVariant value;
  } cases[] = {
      {u"TRUE", QVariant(true)}, {u"False", QVariant(false)}, {u"tRuE", QVariant(true)},
      {u"1", QVariant(1.0)},     {u"0", QVariant(0.0)},       {u"2.5", QVariant(2.5)},
      {u"abc", QVariant(0.0)},   {u"", QVariant(0.0)},        {u" true", QVariant(0.0)},
  };
  for (const auto& c : cases) {
    db.Sql(S(u"DELETE FROM 默认 WHERE Ord = 9; INSERT INTO 默认 VALUES (9, '") +
           QString::fromUtf16(c.stored) + S(u"')"));
    EXPECT_EQ(OptionMemory::GetLastValue(9), c.value) << QString::fromUtf16(c.stored).toStdString();
  }
  db.Sql(S(u"DELETE FROM 默认 WHERE Ord = 9"));
  EXPECT_EQ(OptionMemory::GetLastValue(9), QVariant(0.0));  // no row
  db.Sql(S(u"INSERT INTO 默认 VALUES (9, '1'); INSERT INTO 默认 VALUES (9, '1')"));
  EXPECT_EQ(OptionMemory::GetLastValue(9), QVariant(0.0));  // two rows read as none
}

TEST(OptionMemoryTest, AnEmptyTableClearsTheOptionsButKeepsTheEnvelopeSize) {
  test::ParDatabase db;
  db.Sql(S(u"DELETE FROM 默认"));
  EnvelopeModel model;
  model.SetChosenSize(kC5);
  int clicks = 0;
  OptionMemory::LoadLastSet(model, [&](int) { ++clicks; });
  EXPECT_EQ(clicks, 0);
  EXPECT_EQ(model.chosenSize(), kC5);
  const TabOptions& o = model.options();
  EXPECT_FALSE(o.portrait || o.landscape || o.ruler || o.lock || o.centreFeed || o.rotate);
}

TEST(OptionMemoryTest, CheckBoxesTakeOnlyZeroAndOne) {
  test::ParDatabase db;
  const struct {
    const char16_t* ruler;
    bool checked;
  } cases[] = {{u"1", true}, {u"0", false}, {u"2", true}, {u"-1", true}, {u"True", true}, {u"False", false}};
  for (const auto& c : cases) {
    db.Sql(S(u"UPDATE 默认 SET Val = '") + QString::fromUtf16(c.ruler) + S(u"' WHERE Ord = 9"));
    EnvelopeModel model;  // ruler checked
    OptionMemory::LoadLastSet(model, {});
    EXPECT_EQ(model.options().ruler, c.checked) << QString::fromUtf16(c.ruler).toStdString();
  }
}

}  // namespace
