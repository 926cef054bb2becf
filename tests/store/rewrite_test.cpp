// Each rewrite deletes a table's rows and adds them again; a step that fails half-way must leave
// the previous rows whole, never a half-written or empty table.
#include <gtest/gtest.h>

#include <functional>

#include "editor/format_store.h"
#include "editor/option_memory.h"
#include "store/store_texts.h"
#include "tests/support/par_database.h"
#include "tests/support/scripted_prompts.h"

namespace {

using editor::EnvelopeModel;

QString S(const char16_t* text) { return QString::fromUtf16(text); }

TEST(RewriteTest, AFailingRewriteLeavesThePreviousRows) {
  const struct {
    const char* name;
    const char16_t* table;
    const char16_t* failingRow;  // the condition on the new row that makes its insert fail
    std::function<void(const EnvelopeModel&)> rewrite;
  } rewrites[] = {
      {"SaveLastSet", u"默认", u"NEW.Ord = 4", OptionMemory::SaveLastSet},
      {"SaveBoxContents", u"内容", u"NEW.Ctl = 5", 格式模块::SaveBoxContents},
      {"SaveChosenSize", u"内容", u"NEW.Ctl = -1", 格式模块::SaveChosenSize},
      {"SaveEnvelopeFormat", u"格式", u"NEW.Ctl = 5", 格式模块::SaveEnvelopeFormat},
  };
  for (const auto& r : rewrites) {
    SCOPED_TRACE(r.name);
    test::ParDatabase db;
    const QString table = QString::fromUtf16(r.table);
    const QString rows = S(u"SELECT * FROM ") + table + S(u" ORDER BY rowid");

    EnvelopeModel first;
    first.SetBoxText(editor::kNameBox, S(u"第一次"));
    first.SetBoxGeometry(editor::kNameBox, QRect(100, 200, 300, 400));
    r.rewrite(first);  // the previous rows
    const QStringList previous = db.Sql(rows);
    ASSERT_FALSE(previous.isEmpty());

    db.Sql(S(u"CREATE TRIGGER fail BEFORE INSERT ON ") + table + S(u" WHEN ") +
           QString::fromUtf16(r.failingRow) + S(u" BEGIN SELECT RAISE(ABORT, 'disk full'); END"));
    EnvelopeModel second;
    second.SetChosenSize(1);
    second.SetBoxText(editor::kNameBox, S(u"第二次"));
    second.SetOptions({false, true, false, false, true, true});
    const test::ScriptedPrompts& prompts = test::FreshPrompts();
    r.rewrite(second);
    EXPECT_EQ(db.Sql(rows), previous);
    if (table == u"格式")
      EXPECT_EQ(prompts.shown, QStringList{DataBase::FormatNotSavedText(second.sizeCaption(1))});
    else
      EXPECT_TRUE(prompts.shown.isEmpty());
  }
}

}  // namespace
