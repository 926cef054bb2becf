// Builds the parameter database Par.mdb from its text sources: the schema, the initial rows and
// the postcode table. Runs at build time; the program itself never creates the file.
//
//   make_par_db <Par.mdb> <schema.sql> <rows.sql> <postcodes.tsv>
//
// The file is written under a temporary name and renamed at the end, so an interrupted build
// never leaves a half-made database behind.
#include <sqlcipher/sqlite3.h>

#include <QFile>
#include <cstdio>

#include "store/database.h"
#include "store/postcode_source.h"

namespace {

bool Fail(const QString& what) {
  std::fprintf(stderr, "make_par_db: %s\n", what.toUtf8().constData());
  return false;
}

bool ReadText(const QString& path, QByteArray* text) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return Fail(QStringLiteral("cannot read %1").arg(path));
  *text = file.readAll();
  return true;
}

bool Exec(sqlite3* db, const QByteArray& sql, const QString& source) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql.constData(), nullptr, nullptr, &message) == SQLITE_OK) return true;
  const QString text = QString::fromUtf8(message ? message : sqlite3_errmsg(db));
  sqlite3_free(message);
  return Fail(QStringLiteral("%1: %2").arg(source, text));
}

bool InsertPostcodes(sqlite3* db, const std::vector<DataBase::PostcodeRow>& rows) {
  sqlite3_stmt* insert = nullptr;
  if (sqlite3_prepare_v2(db, "INSERT INTO 邮编 (省份, 地区, 邮编) VALUES (?, ?, ?)", -1, &insert, nullptr) !=
      SQLITE_OK)
    return Fail(QString::fromUtf8(sqlite3_errmsg(db)));
  bool ok = true;
  for (const DataBase::PostcodeRow& row : rows) {
    const QByteArray fields[] = {row.province.toUtf8(), row.region.toUtf8(), row.postcode.toUtf8()};
    for (int i = 0; i < 3; ++i)
      sqlite3_bind_text(insert, i + 1, fields[i].constData(), int(fields[i].size()), SQLITE_TRANSIENT);
    ok = sqlite3_step(insert) == SQLITE_DONE && sqlite3_reset(insert) == SQLITE_OK;
    if (!ok) break;
  }
  sqlite3_finalize(insert);
  return ok || Fail(QString::fromUtf8(sqlite3_errmsg(db)));
}

bool Build(const QString& path, const QByteArray& schema, const QByteArray& initialRows,
           const std::vector<DataBase::PostcodeRow>& postcodes) {
  sqlite3* db = nullptr;
  bool ok = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                            nullptr) == SQLITE_OK &&
            DataBase::KeyHandle(db, DataBase::ConnectionPassword());
  if (!ok) Fail(QStringLiteral("cannot create %1").arg(path));
  ok = ok && Exec(db, "BEGIN", path) && Exec(db, schema, QStringLiteral("schema")) &&
       Exec(db, initialRows, QStringLiteral("initial rows")) && InsertPostcodes(db, postcodes) &&
       Exec(db, "COMMIT", path);
  sqlite3_close(db);
  return ok;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: make_par_db <Par.mdb> <schema.sql> <rows.sql> <postcodes.tsv>\n");
    return 2;
  }
  const QString target = QString::fromLocal8Bit(argv[1]);
  QByteArray schema, initialRows;
  if (!ReadText(QString::fromLocal8Bit(argv[2]), &schema) ||
      !ReadText(QString::fromLocal8Bit(argv[3]), &initialRows))
    return 1;
  const QString postcodePath = QString::fromLocal8Bit(argv[4]);
  const DataBase::PostcodeSource postcodes = DataBase::ReadPostcodeSource(postcodePath);
  for (const QString& error : postcodes.errors) Fail(postcodePath + QStringLiteral(", ") + error);
  if (!postcodes.errors.isEmpty()) return 1;

  const QString temporary = target + QStringLiteral(".part");
  QFile::remove(temporary);
  if (!Build(temporary, schema, initialRows, postcodes.rows)) {
    QFile::remove(temporary);
    return 1;
  }
  QFile::remove(target);
  if (!QFile::rename(temporary, target)) {
    Fail(QStringLiteral("cannot move %1 to %2").arg(temporary, target));
    return 1;
  }
  std::printf("make_par_db: %s with %zu postcode rows\n", target.toUtf8().constData(), postcodes.rows.size());
  return 0;
}
