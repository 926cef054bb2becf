// Closing the main window: records changed since the last import or export are not thrown away
// without a question, and saves at exit that fail are told once.
#include <gtest/gtest.h>
#include <sqlcipher/sqlite3.h>

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <thread>

#include "app/app_texts.h"
#include "app/main_window.h"
#include "data/data_texts.h"
#include "data/ui/import_dialog.h"
#include "store/store_texts.h"
#include "tests/support/par_database.h"
#include "tests/support/scripted_prompts.h"

using namespace Qt::Literals::StringLiterals;

namespace {

const QString kCsv = QStringLiteral(KOVA_FIXTURES "/import/addresses_utf8.csv");

struct Window {
  test::ParDatabase database;
  MF window;
  Window() {
    window.Load();
    window.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
  // The import command as the user gives it: the file, then OK on the import dialog.
  void Import(test::ScriptedPrompts& prompts) {
    prompts.files = {kCsv};
    QTimer::singleShot(0, [] {
      if (auto* dialog = qobject_cast<data::fOpen*>(QApplication::activeModalWidget()))
        dialog->COM(0)->click();
    });
    window.CB_Click(3);
    ASSERT_GT(window.records().recordCount(), 0);
  }
};

TEST(CloseTest, ChangedRecordsAskWhetherToExportFirst) {
  QTemporaryDir dir;
  const QString exported = dir.filePath(u"records.csv"_s);
  enum Change { kNone, kEdit, kEditThenExport };
  const struct {
    const char* what;
    Change change;
    std::optional<common::Choice> answer;  // nullopt: no question expected
    QString file;                          // answered in the export's file dialog
    bool closes;
    bool exports;
  } cases[] = {
      {"just imported", kNone, std::nullopt, {}, true, false},
      {"exported after the edit", kEditThenExport, std::nullopt, {}, true, true},
      {"导出", kEdit, common::Choice::kYes, exported, true, true},
      {"导出, file dialog cancelled", kEdit, common::Choice::kYes, {}, false, false},
      {"不导出", kEdit, common::Choice::kNo, {}, true, false},
      {"取消", kEdit, common::Choice::kCancel, {}, false, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    QFile::remove(exported);
    Window w;
    test::ScriptedPrompts& prompts = test::FreshPrompts();
    w.Import(prompts);
    if (c.change != kNone) w.window.records().SetCell(1, data::kNameColumn, u"王五"_s);
    if (c.change == kEditThenExport) {
      prompts.files = {exported};
      w.window.CB_Click(18);
      QFile::remove(exported);
    }
    prompts.Reset();
    if (c.answer) prompts.choices = {*c.answer};
    prompts.files = {c.file};

    EXPECT_EQ(w.window.close(), c.closes);
    EXPECT_EQ(prompts.shown.contains(app::kCloseQuestion), c.answer.has_value());
    EXPECT_EQ(QFile::exists(exported), c.exports && c.change == kEdit);
    EXPECT_EQ(w.window.isVisible(), !c.closes);
  }
}

// The exit's three saves on a file that cannot be written, or that went away, tell it once.
TEST(CloseTest, SavesThatFailAtExitAreToldOnce) {
  for (const bool readOnly : {true, false}) {
    SCOPED_TRACE(readOnly ? "read-only" : "missing");
    Window w;
    test::ScriptedPrompts& prompts = test::FreshPrompts();
    const QStringList before = w.database.Sql(u"SELECT * FROM 默认"_s);
    // The program opens a file read-only where it stands in for the user's copy.
    if (readOnly)
      DataBase::SetDatabasePath(w.database.path(), DataBase::Access::kReadOnly);
    else
      QFile::remove(w.database.path());
    EXPECT_TRUE(w.window.close());
    EXPECT_EQ(prompts.shown, QStringList{readOnly ? DataBase::kNotSavedAtExit.arg(w.database.path())
                                                  : DataBase::kOpenError});
    if (readOnly) {
      EXPECT_EQ(w.database.Sql(u"SELECT * FROM 默认"_s), before) << "a read-only file stays as it was";
    }
  }
}

// Another program (the batch tool) holds the file locked while the window closes: the saves
// wait for it instead of failing, and nothing is said.
TEST(CloseTest, SavesAtExitWaitForAnotherProgramsLock) {
  Window w;
  test::ScriptedPrompts& prompts = test::FreshPrompts();
  w.window.CRotate()->click();
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(w.database.path().toUtf8().constData(), &other), SQLITE_OK);
  ASSERT_TRUE(DataBase::KeyHandle(other, DataBase::ConnectionPassword()));
  ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
  std::thread release([other] {
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);
  });
  EXPECT_TRUE(w.window.close());
  release.join();
  EXPECT_EQ(prompts.shown, QStringList());
  EXPECT_EQ(w.database.Sql(u"SELECT Val FROM 默认 WHERE Ord = 12"_s), QStringList{u"1"_s});
}

}  // namespace
