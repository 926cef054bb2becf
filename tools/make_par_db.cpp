// Builds the parameter database Par.mdb from its text sources: the schema, the initial rows, the
// postcode table and the default formats of the standard sizes. Runs at build time; the program
// itself never creates the file.
//
//   make_par_db <Par.mdb> <schema.sql> <rows.sql> <postcodes.tsv> <standard_formats.tsv>
//
// The file is written under a temporary name and renamed at the end, so an interrupted build
// never leaves a half-made database behind. Its user_version holds a stamp of the sources, so
// that two builds of the same sources carry the same stamp although SQLCipher's random salt
// makes the files differ; each user's copy is brought up to date only when the stamp changes.
#include <sqlcipher/sqlite3.h>

#include <QCryptographicHash>
#include <QFile>
#include <QStringList>
#include <QtEndian>
#include <array>
#include <cstdio>

#include "common/tsv.h"
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

// One box of a default format, as standard_formats.tsv states it.
struct FormatRow {
  QString name;
  int ctl;
  double x, y, w, h, size;
  bool bold;
};

// Reads standard_formats.tsv: tab-separated Name, Ctl, X, Y, W, H, fSize, fBold and, for the
// line "0-5" of the postcode boxes, Step. Lines starting with "#" are comments.
bool ReadStandardFormats(const QString& path, std::vector<FormatRow>* rows) {
  QByteArray text;
  if (!ReadText(path, &text)) return false;
  for (const common::TsvLine& line : common::SplitTsv(QString::fromUtf8(text))) {
    const QStringList& f = line.fields;
    const bool digits = f.value(1) == QStringLiteral("0-5");
    bool ok = f.size() == (digits ? 9 : 8);
    std::array<double, 7> n{};  // X Y W H fSize fBold Step
    for (int i = 0; ok && i < (digits ? 7 : 6); ++i) n[i] = f[i + 2].toDouble(&ok);
    const int ctl = digits ? 0 : f.value(1).toInt(&ok);
    if (!ok || (!digits && (ctl < 6 || ctl > 10)))
      return Fail(
          QStringLiteral("%1, line %2: expected Name, Ctl, X, Y, W, H, fSize, fBold (and Step for 0-5)")
              .arg(path)
              .arg(line.number));
    for (int k = 0; k < (digits ? 6 : 1); ++k)
      rows->push_back({f[0], ctl + k, n[0] + k * n[6], n[1], n[2], n[3], n[4], n[5] != 0});
  }
  return true;
}

bool InsertStandardFormats(sqlite3* db, const std::vector<FormatRow>& rows) {
  sqlite3_stmt* insert = nullptr;
  if (sqlite3_prepare_v2(db,
                         "INSERT INTO 标准格式 (Name, Ctl, X, Y, W, H, Color, fName, fSize, fBold, fItalic, "
                         "fUnderline, fStrikethru) VALUES (?, ?, ?, ?, ?, ?, 0, '宋体', ?, ?, 0, 0, 0)",
                         -1, &insert, nullptr) != SQLITE_OK)
    return Fail(QString::fromUtf8(sqlite3_errmsg(db)));
  bool ok = true;
  for (const FormatRow& row : rows) {
    const QByteArray name = row.name.toUtf8();
    sqlite3_bind_text(insert, 1, name.constData(), int(name.size()), SQLITE_TRANSIENT);
    sqlite3_bind_int(insert, 2, row.ctl);
    const double numbers[] = {row.x, row.y, row.w, row.h, row.size};
    for (int i = 0; i < 5; ++i) sqlite3_bind_double(insert, i + 3, numbers[i]);
    sqlite3_bind_int(insert, 8, row.bold ? 1 : 0);
    ok = sqlite3_step(insert) == SQLITE_DONE && sqlite3_reset(insert) == SQLITE_OK;
    if (!ok) break;
  }
  sqlite3_finalize(insert);
  return ok || Fail(QString::fromUtf8(sqlite3_errmsg(db)));
}

// What the sources hold, as a positive number that fits user_version; never 0, which a file
// without a stamp carries.
int ContentStamp(const QStringList& sourcePaths) {
  QCryptographicHash hash(QCryptographicHash::Sha256);
  for (const QString& path : sourcePaths) {
    QByteArray text;
    if (!ReadText(path, &text)) return 0;
    hash.addData(QByteArray::number(text.size()) + '\n' + text);
  }
  return int(qFromBigEndian<quint32>(hash.result().constData()) & 0x7fffffff) | 1;
}

bool Build(const QString& path, int stamp, const QByteArray& schema, const QByteArray& initialRows,
           const std::vector<DataBase::PostcodeRow>& postcodes, const std::vector<FormatRow>& formats) {
  sqlite3* db = nullptr;
  bool ok = sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                            nullptr) == SQLITE_OK &&
            DataBase::KeyHandle(db, DataBase::ConnectionPassword());
  if (!ok) Fail(QStringLiteral("cannot create %1").arg(path));
  ok = ok && Exec(db, "BEGIN", path) && Exec(db, schema, QStringLiteral("schema")) &&
       Exec(db, initialRows, QStringLiteral("initial rows")) && InsertPostcodes(db, postcodes) &&
       InsertStandardFormats(db, formats) &&
       Exec(db, QStringLiteral("PRAGMA user_version = %1").arg(stamp).toUtf8(), path) &&
       Exec(db, "COMMIT", path);
  sqlite3_close(db);
  return ok;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc != 6) {
    std::fprintf(
        stderr,
        "usage: make_par_db <Par.mdb> <schema.sql> <rows.sql> <postcodes.tsv> <standard_formats.tsv>\n");
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
  std::vector<FormatRow> formats;
  if (!ReadStandardFormats(QString::fromLocal8Bit(argv[5]), &formats)) return 1;

  QStringList sources;
  for (int i = 2; i < 6; ++i) sources << QString::fromLocal8Bit(argv[i]);
  const int stamp = ContentStamp(sources);
  if (stamp == 0) return 1;

  const QString temporary = target + QStringLiteral(".part");
  QFile::remove(temporary);
  if (!Build(temporary, stamp, schema, initialRows, postcodes.rows, formats)) {
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
