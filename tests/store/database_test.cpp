#include "store/database.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>

#include "store/store_texts.h"
#include "tests/support/par_database.h"
#include "tests/support/scripted_prompts.h"

namespace {

using DataBase::CloseRecordset;
using DataBase::Connection;
using DataBase::OpenRecordset;
using DataBase::Recordset;

QString S(const char16_t* text) { return QString::fromUtf16(text); }

TEST(RecordsetTest, WalksTheRowsOfASelection) {
  test::ParDatabase db;
  const test::ScriptedPrompts& prompts = test::FreshPrompts();
  Connection cn;
  Recordset rs;
  ASSERT_TRUE(OpenRecordset(cn, rs, S(u"SELECT * FROM 默认")));
  EXPECT_EQ(rs.RecordCount(), 14);
  int walked = 0;
  for (; !rs.AtEnd(); rs.MoveNext()) ++walked;
  EXPECT_EQ(walked, 14);
  rs.MoveLast();
  EXPECT_EQ(rs.Value(S(u"Ord")), QVariant(13.0));
  EXPECT_EQ(rs.Value(S(u"Val")), QVariant(S(u"1")));
  rs.MoveFirst();
  EXPECT_EQ(rs.Value(S(u"Ord")), QVariant(2.0));

  // A selection without rows opens; there is no current row.
  ASSERT_TRUE(OpenRecordset(cn, rs, S(u"SELECT * FROM 默认 WHERE Ord=99")));
  EXPECT_EQ(rs.RecordCount(), 0);
  EXPECT_TRUE(rs.AtEnd());
  EXPECT_FALSE(rs.Value(S(u"Val")).isValid());
  CloseRecordset(cn, rs);
  EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST(RecordsetTest, FieldsReadBackAsTheirColumnsType) {
  test::ParDatabase db;
  const struct {
    const char16_t* table;
    const char16_t* column;
    QVariant assigned;
    QVariant read;  // null: the assignment is refused
  } cases[] = {
      {u"默认", u"Ord", QVariant(4), QVariant(4.0)},
      {u"默认", u"Val", QVariant(S(u"True")), QVariant(S(u"True"))},
      {u"内容", u"Ctl", QVariant(-1), QVariant(-1)},
      {u"内容", u"Ctl", QVariant(S(u"7")), QVariant(7)},
      {u"内容", u"Ctl", QVariant(40000), QVariant()},  // beyond 16 bits
      {u"内容", u"Con", QVariant(S(u"北京市\n海淀区")), QVariant(S(u"北京市\n海淀区"))},
      {u"内容", u"Con", QVariant(S(u"")), QVariant(S(u""))},
      {u"格式", u"X", QVariant(12.34), QVariant(12.34)},
      {u"格式", u"X", QVariant(S(u"abc")), QVariant()},
      {u"格式", u"Color", QVariant(0x4080FF), QVariant(0x4080FF)},
      {u"格式", u"fSize", QVariant(10.3), QVariant(10.3)},
      {u"格式", u"fSize", QVariant(26.25), QVariant(26.25)},
      {u"格式", u"fBold", QVariant(true), QVariant(true)},
      {u"格式", u"fItalic", QVariant(false), QVariant(false)},
      {u"格式", u"NoSuchColumn", QVariant(1), QVariant()},
  };
  for (const auto& c : cases) {
    const QString table = QString::fromUtf16(c.table), column = QString::fromUtf16(c.column);
    SCOPED_TRACE(column.toStdString() + " = " + c.assigned.toString().toStdString());
    Connection cn;
    Recordset rs;
    ASSERT_TRUE(OpenRecordset(cn, rs, S(u"SELECT * FROM ") + table));
    rs.AddNew();
    EXPECT_EQ(rs.SetValue(column, c.assigned), c.read.isValid());
    ASSERT_TRUE(rs.Update());
    ASSERT_TRUE(OpenRecordset(cn, rs, S(u"SELECT * FROM ") + table));
    rs.MoveLast();
    EXPECT_EQ(rs.Value(column), c.read);
    ASSERT_TRUE(rs.Delete());
    CloseRecordset(cn, rs);
  }
}

TEST(RecordsetTest, DamagedStoredValuesReadAsEmpty) {
  test::ParDatabase db;
  db.Sql(
      S(u"INSERT INTO 格式 (Name, Ctl, X, fBold, fSize) VALUES ('DL: x', 'abc', 'twelve', 'yes', -1e300)"));
  Connection cn;
  Recordset rs;
  ASSERT_TRUE(OpenRecordset(cn, rs, S(u"SELECT * FROM 格式")));
  EXPECT_EQ(rs.Value(S(u"Name")), QVariant(S(u"DL: x")));
  for (const char16_t* column : {u"Ctl", u"X", u"fBold", u"fSize", u"Y"})
    EXPECT_FALSE(rs.Value(QString::fromUtf16(column)).isValid()) << QString::fromUtf16(column).toStdString();
  CloseRecordset(cn, rs);
}

TEST(RecordsetTest, DeletingWhileWalkingVisitsEveryRow) {
  test::ParDatabase db;
  Connection cn;
  Recordset rs;
  ASSERT_TRUE(OpenRecordset(cn, rs, S(u"SELECT * FROM 默认")));
  for (; !rs.AtEnd(); rs.MoveNext())
    if (rs.Value(S(u"Val")).toString() == u"False") {
      ASSERT_TRUE(rs.Delete());
    }
  EXPECT_EQ(rs.RecordCount(), 7);
  EXPECT_EQ(db.Sql(S(u"SELECT count(*) FROM 默认 WHERE Val = 'False'")), QStringList{S(u"0")});

  // The emptying loop of the rewrites: delete the current row, move to the first.
  rs.MoveFirst();
  while (rs.RecordCount() >= 1) {
    ASSERT_TRUE(rs.Delete());
    rs.MoveFirst();
  }
  CloseRecordset(cn, rs);
  EXPECT_EQ(db.Sql(S(u"SELECT count(*) FROM 默认")), QStringList{S(u"0")});
}

TEST(RecordsetTest, AnUncommittedTransactionIsRolledBackOnClose) {
  test::ParDatabase db;
  for (const bool commit : {false, true}) {
    Connection cn;
    Recordset rs;
    ASSERT_TRUE(OpenRecordset(cn, rs, S(u"SELECT * FROM 默认 WHERE Ord=4")));
    ASSERT_TRUE(cn.BeginTrans());
    ASSERT_TRUE(rs.SetValue(S(u"Val"), S(u"False")));
    ASSERT_TRUE(rs.Update());
    if (commit) {
      ASSERT_TRUE(cn.CommitTrans());
    }
    CloseRecordset(cn, rs);
    EXPECT_EQ(db.Sql(S(u"SELECT Val FROM 默认 WHERE Ord=4")), QStringList{commit ? S(u"False") : S(u"True")});
  }
}

TEST(TableExistsTest, MatchesExactNamesOnly) {
  test::ParDatabase db;
  const test::ScriptedPrompts& prompts = test::FreshPrompts();
  const struct {
    const char16_t* name;
    bool exists;
  } cases[] = {
      {u"邮编", true},   {u"默认", true},   {u"内容", true}, {u"格式", true},
      {u"邮编 ", false}, {u" 邮编", false}, {u"邮", false},  {u"", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(DataBase::TableExists(QString::fromUtf16(c.name)), c.exists)
        << QString::fromUtf16(c.name).toStdString();
  db.Sql(S(u"DROP TABLE 邮编"));
  EXPECT_FALSE(DataBase::TableExists(S(u"邮编")));
  EXPECT_TRUE(DataBase::TableExists(S(u"格式")));
  EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST(DatabaseFileTest, TheConnectionStringNamesTheFileAndHoldsThePassword) {
  test::ParDatabase db;
  EXPECT_EQ(DataBase::ConnectionString(), S(u"Data Source=") + db.path() + S(u";Password=53108264"));
  EXPECT_EQ(DataBase::ConnectionPassword(), S(u"53108264"));
  DataBase::SetDatabasePath(QString());
  EXPECT_EQ(DataBase::DatabasePath(), QCoreApplication::applicationDirPath() + S(u"/Par.mdb"));
}

TEST(DatabaseFileTest, AFileChangedBehindTheProgramIsNotServedFromMemory) {
  test::ParDatabase db;
  EXPECT_TRUE(DataBase::TableExists(S(u"邮编")));
  ASSERT_TRUE(QFile::remove(db.path()));
  const test::ScriptedPrompts& prompts = test::FreshPrompts();
  Connection cn;
  Recordset rs;
  EXPECT_FALSE(OpenRecordset(cn, rs, S(u"SELECT * FROM 邮编")));
  EXPECT_EQ(prompts.shown, QStringList{DataBase::kOpenError});
  EXPECT_FALSE(QFile::exists(db.path()));
  ASSERT_TRUE(QFile::copy(QStringLiteral(KOVA_BUILD_DIR "/Par.mdb"), db.path()));
  EXPECT_TRUE(OpenRecordset(cn, rs, S(u"SELECT * FROM 邮编")));
  CloseRecordset(cn, rs);
}

}  // namespace
