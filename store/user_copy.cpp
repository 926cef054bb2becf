#include "store/user_copy.h"

#include <sqlcipher/sqlite3.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryFile>

#include "store/database.h"
#include "store/statement.h"
#include "store/store_texts.h"

namespace DataBase {

namespace {

const QString kFileName = QStringLiteral("Par.mdb");
// The tables that belong to the user; every other table of the template is shipped data.
const QStringList kUserTables = {QStringLiteral("默认"), QStringLiteral("内容"), QStringLiteral("格式")};

// A keyed handle on one file, proved by a first statement.
class RawFile {
 public:
  explicit RawFile(const QString& path, Access access = Access::kReadWrite)
      : handle_(OpenKeyedFile(path, ConnectionPassword(), access, &busy_)) {}

  bool ok() const { return handle_ != nullptr; }
  // Locked by another program all along: in use, not damaged.
  bool busy() const { return busy_; }
  sqlite3* db() const { return handle_->db; }

  bool Run(const QString& sql) { return Statement(handle_->db, sql).Run(); }

  // The first column of every row.
  QStringList Rows(const QString& sql, const QString& bound = QString()) {
    QStringList rows;
    Statement statement(handle_->db, sql);
    if (statement.ok() && (bound.isNull() || statement.Bind(1, bound)))
      while (sqlite3_step(statement.get()) == SQLITE_ROW)
        rows << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), 0)));
    return rows;
  }

 private:
  std::shared_ptr<KeyedHandle> handle_;
  bool busy_ = false;
};

// The stamp the build wrote into the template, or that the copy was last brought up to date
// with. Copies made before content stamps carry a hash of their template file instead, which
// never equals a content stamp, so they are brought up to date once.
int Stamp(RawFile& file) { return file.Rows(QStringLiteral("PRAGMA user_version")).value(0).toInt(); }

// Copies every row of `table` from the template into the copy's table of the same definition,
// each value with its stored type.
bool CopyRows(RawFile& from, RawFile& to, const QString& table) {
  Statement select(from.db(), QStringLiteral("SELECT * FROM ") + Quoted(table));
  if (!select.ok()) return false;
  const int columns = sqlite3_column_count(select.get());
  QStringList marks;
  for (int c = 0; c < columns; ++c) marks << QStringLiteral("?");
  Statement insert(to.db(),
                   QStringLiteral("INSERT INTO main.%1 VALUES (%2)").arg(Quoted(table), marks.join(u',')));
  if (!insert.ok()) return false;
  int step = SQLITE_ROW;
  while ((step = sqlite3_step(select.get())) == SQLITE_ROW) {
    for (int c = 0; c < columns; ++c)
      if (sqlite3_bind_value(insert.get(), c + 1, sqlite3_column_value(select.get(), c)) != SQLITE_OK)
        return false;
    if (sqlite3_step(insert.get()) != SQLITE_DONE || sqlite3_reset(insert.get()) != SQLITE_OK) return false;
  }
  return step == SQLITE_DONE;
}

// Replaces the copy's shipped tables by the template's, and adds any table the copy lacks, in
// one transaction: either the copy is up to date afterwards or it is as it was. The template is
// read through its own keyed connection: a template made anew has its own salt, so it cannot
// be read with the copy's key.
bool UpdateShippedTables(RawFile& copy, RawFile& source, int stamp) {
  const QStringList tables = source.Rows(QStringLiteral(
      "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\'"));
  const QStringList present =
      copy.Rows(QStringLiteral("SELECT name FROM main.sqlite_master WHERE type = 'table'"));
  bool ok = !tables.isEmpty() && copy.Run(QStringLiteral("BEGIN IMMEDIATE"));
  if (!ok) return false;
  for (const QString& table : tables) {
    if (!ok || (kUserTables.contains(table) && present.contains(table))) continue;
    ok = copy.Run(QStringLiteral("DROP TABLE IF EXISTS main.") + Quoted(table));
    // The template's own definitions: the table, then its indexes.
    const QStringList definitions = source.Rows(
        QStringLiteral(
            "SELECT sql FROM sqlite_master WHERE tbl_name = ? AND sql IS NOT NULL ORDER BY type = 'index'"),
        table);
    ok = ok && !definitions.isEmpty();
    for (const QString& definition : definitions) ok = ok && copy.Run(definition);
    ok = ok && CopyRows(source, copy, table);
  }
  ok = ok && copy.Run(QStringLiteral("PRAGMA main.user_version = %1").arg(stamp)) &&
       copy.Run(QStringLiteral("COMMIT"));
  if (!ok) copy.Run(QStringLiteral("ROLLBACK"));
  return ok;
}

// Writes a whole copy of the template, stamp included, under a temporary name beside `copyPath`
// and renames it, never over a file that is there.
bool MakeCopy(const QString& templatePath, const QString& copyPath) {
  QFile source(templatePath);
  QTemporaryFile part(copyPath + QStringLiteral(".XXXXXX"));
  if (!source.open(QIODevice::ReadOnly) || !part.open()) return false;
  while (!source.atEnd()) {
    const QByteArray block = source.read(1 << 20);
    if (block.isEmpty() || part.write(block) != block.size()) return false;
  }
  if (!part.flush()) return false;
  part.close();
  if (!RawFile(part.fileName()).ok()) return false;
  if (!QFile::setPermissions(part.fileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner)) return false;
  if (!QFile::rename(part.fileName(), copyPath)) return false;
  part.setAutoRemove(false);
  return true;
}

}  // namespace

QString TemplatePath() {
  const QDir programFolder(QCoreApplication::applicationDirPath());
  // The build folder keeps it beside the executable; an installation under share/.
  for (const QString& candidate : {kFileName, QStringLiteral("../share/kovapost/") + kFileName}) {
    const QString path = programFolder.filePath(candidate);
    if (QFileInfo(path).isFile()) return QDir::cleanPath(path);
  }
  return QString();
}

QString UserCopyPath() {
  const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  return dataHome.isEmpty() ? QString() : dataHome + QStringLiteral("/kovapost/") + kFileName;
}

Preparation PrepareUserCopy(const QString& templatePath, const QString& copyPath) {
  const bool haveTemplate = !templatePath.isEmpty() && QFileInfo(templatePath).isFile();
  const auto fallBack = [&](const QString& problem) {
    const QString told = kOpenError + u'\n' + problem;
    return haveTemplate ? Preparation{templatePath, true, told} : Preparation{copyPath, false, told};
  };
  if (copyPath.isEmpty()) return fallBack(kNoDataFolder);

  if (QFileInfo::exists(copyPath)) {
    RawFile copy(copyPath);
    // Another program kept it locked past the wait: it is the user's copy still, worked on
    // as it is; the update waits for a later start.
    if (!copy.ok() && copy.busy()) return Preparation{copyPath, false, QString(), true};
    if (!copy.ok()) return fallBack(kCopyDamaged.arg(QDir::toNativeSeparators(copyPath)));
    // A template that cannot be read leaves the copy as it is, to be brought up to date at a
    // later start; so does a failed update. Work goes on with the copy either way.
    RawFile source(haveTemplate ? templatePath : QString(), Access::kReadOnly);
    const int stamp = source.ok() ? Stamp(source) : 0;
    if (haveTemplate &&
        (!source.ok() || (stamp != 0 && stamp != Stamp(copy) && !UpdateShippedTables(copy, source, stamp))))
      return Preparation{copyPath, false, kUpdateFailed.arg(QDir::toNativeSeparators(copyPath)), true};
    return Preparation{copyPath, false, QString()};
  }

  if (!haveTemplate)
    return fallBack(
        kTemplateMissing.arg(QDir::toNativeSeparators(templatePath.isEmpty() ? kFileName : templatePath)));
  const QString folder = QFileInfo(copyPath).absolutePath();
  if (!QDir().mkpath(folder) || !MakeCopy(templatePath, copyPath)) {
    // Another start may have made it meanwhile; that copy is the user's now.
    if (QFileInfo::exists(copyPath)) return PrepareUserCopy(templatePath, copyPath);
    return fallBack(kCopyNotMade.arg(QDir::toNativeSeparators(folder)));
  }
  return Preparation{copyPath, false, QString()};
}

Preparation UseUserCopy() {
  const Preparation prepared = PrepareUserCopy(TemplatePath(), UserCopyPath());
  SetDatabasePath(prepared.path, prepared.readOnly ? Access::kReadOnly : Access::kReadWrite);
  return prepared;
}

}  // namespace DataBase
