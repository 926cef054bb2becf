#pragma once
// A private copy of the built Par.mdb for one test, chosen as the program's database while the
// object lives, with direct SQL access for setting up damaged rows and reading what was stored.

#include <gtest/gtest.h>
#include <sqlcipher/sqlite3.h>

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include "store/database.h"

namespace test {

// Runs `sql` on the file at `path` keyed with `key`; returns each result row as "a|b|c".
inline QStringList RawSql(const QString& path, const QString& key, const QString& sql,
                          int flags = SQLITE_OPEN_READWRITE) {
  QStringList rows;
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(path.toUtf8().constData(), &db, flags, nullptr) == SQLITE_OK &&
      DataBase::KeyHandle(db, key)) {
    const QByteArray text = sql.toUtf8();
    const char* tail = text.constData();
    while (tail && *tail) {
      sqlite3_stmt* stmt = nullptr;
      if (sqlite3_prepare_v2(db, tail, -1, &stmt, &tail) != SQLITE_OK) {
        ADD_FAILURE() << sqlite3_errmsg(db) << " in " << sql.toStdString();
        break;
      }
      if (!stmt) break;  // only blanks were left
      int step = SQLITE_ROW;
      while ((step = sqlite3_step(stmt)) == SQLITE_ROW) {
        QStringList fields;
        for (int c = 0; c < sqlite3_column_count(stmt); ++c)
          fields << (sqlite3_column_type(stmt, c) == SQLITE_NULL
                         ? QStringLiteral("NULL")
                         : QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, c))));
        rows << fields.join(u'|');
      }
      sqlite3_finalize(stmt);
      // A setup statement that fails (a constraint, a busy file) fails the test, not passes it.
      if (step != SQLITE_DONE) {
        ADD_FAILURE() << sqlite3_errmsg(db) << " in " << sql.toStdString();
        break;
      }
    }
  } else {
    ADD_FAILURE() << "cannot open " << path.toStdString();
  }
  sqlite3_close(db);
  return rows;
}

// Makes a template at `path` the way the build does, with make_par_db from the real sources;
// `addedSchema` and `addedRows` are appended to the schema and the initial rows, as a later
// release would change them. False when the tool failed.
inline bool MakeTemplate(const QString& path, const QByteArray& addedSchema = {},
                         const QByteArray& addedRows = {}) {
  const QString resources = QStringLiteral(KOVA_SOURCE_DIR "/resources/");
  QStringList sources = {resources + QStringLiteral("par_schema.sql"),
                         resources + QStringLiteral("par_rows.sql")};
  const QByteArray added[] = {addedSchema, addedRows};
  for (int i = 0; i < 2; ++i) {
    if (added[i].isEmpty()) continue;
    QFile original(sources[i]), changed(path + QStringLiteral(".source%1.sql").arg(i));
    if (!original.open(QIODevice::ReadOnly) || !changed.open(QIODevice::WriteOnly) ||
        changed.write(original.readAll() + '\n' + added[i]) < 0)
      return false;
    sources[i] = changed.fileName();
  }
  QProcess tool;
  tool.start(QStringLiteral(KOVA_BUILD_DIR "/tools/make_par_db"),
             QStringList{path} + sources +
                 QStringList{resources + QStringLiteral("postcodes.tsv"),
                             resources + QStringLiteral("standard_formats.tsv")});
  return tool.waitForFinished(60000) && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

class ParDatabase {
 public:
  ParDatabase() {
    path_ = dir_.filePath(QStringLiteral("Par.mdb"));
    EXPECT_TRUE(QFile::copy(QStringLiteral(KOVA_BUILD_DIR "/Par.mdb"), path_)) << "build Par.mdb first";
    DataBase::SetDatabasePath(path_);
  }
  ~ParDatabase() { DataBase::SetDatabasePath(QString()); }
  ParDatabase(const ParDatabase&) = delete;
  ParDatabase& operator=(const ParDatabase&) = delete;

  const QString& path() const { return path_; }
  QString folder() const { return dir_.path(); }
  QStringList Sql(const QString& sql) const { return RawSql(path_, DataBase::ConnectionPassword(), sql); }

 private:
  QTemporaryDir dir_;
  QString path_;
};

}  // namespace test
