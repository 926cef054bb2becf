#include "store/user_copy.h"

#include <sqlcipher/sqlite3.h>

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryFile>
#include <QtEndian>

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
  explicit RawFile(const QString& path)
      : handle_(OpenKeyedFile(path, ConnectionPassword(), Access::kReadWrite)) {}

  bool ok() const { return handle_ != nullptr; }

  bool Run(const QString& sql, const QString& bound = QString()) {
    Statement statement(handle_->db, sql);
    return statement.ok() && (bound.isNull() || statement.Bind(1, bound)) && statement.Run();
  }

  // The first column of every row.
  QStringList Rows(const QString& sql) {
    QStringList rows;
    Statement statement(handle_->db, sql);
    if (statement.ok())
      while (sqlite3_step(statement.get()) == SQLITE_ROW)
        rows << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement.get(), 0)));
    return rows;
  }

 private:
  std::shared_ptr<KeyedHandle> handle_;
};

// The template's identity: a change of the shipped file changes it. Never 0, which a copy made
// before stamps existed would carry.
int TemplateStamp(const QString& templatePath) {
  QFile file(templatePath);
  if (!file.open(QIODevice::ReadOnly)) return 0;
  QCryptographicHash hash(QCryptographicHash::Sha256);
  if (!hash.addData(&file)) return 0;
  return int(qFromBigEndian<quint32>(hash.result().constData()) & 0x7fffffff) | 1;
}

int Stamp(RawFile& file) { return file.Rows(QStringLiteral("PRAGMA user_version")).value(0).toInt(); }

// Replaces the copy's shipped tables by the template's, and adds any table the copy lacks, in
// one transaction: either the copy is up to date afterwards or it is as it was.
bool UpdateShippedTables(RawFile& copy, const QString& templatePath, int stamp) {
  if (!copy.Run(QStringLiteral("ATTACH DATABASE ? AS template"), templatePath)) return false;
  const QStringList tables =
      copy.Rows(QStringLiteral("SELECT name FROM template.sqlite_master WHERE type = 'table' AND name NOT "
                               "LIKE 'sqlite\\_%' ESCAPE '\\'"));
  const QStringList present =
      copy.Rows(QStringLiteral("SELECT name FROM main.sqlite_master WHERE type = 'table'"));
  bool ok = !tables.isEmpty() && copy.Run(QStringLiteral("BEGIN"));
  for (const QString& table : tables) {
    const bool shipped = !kUserTables.contains(table);
    if (!ok || (!shipped && present.contains(table))) continue;
    const QString name = Quoted(table);
    ok = copy.Run(QStringLiteral("DROP TABLE IF EXISTS main.") + name);
    // The template's own definitions: the table, then its indexes.
    const QStringList definitions = copy.Rows(
        QStringLiteral("SELECT sql FROM template.sqlite_master WHERE tbl_name = %1 AND sql IS NOT NULL "
                       "ORDER BY type = 'index'")
            .arg(u'\'' + QString(table).replace(u'\'', QStringLiteral("''")) + u'\''));
    for (const QString& definition : definitions) ok = ok && copy.Run(definition);
    ok = ok && copy.Run(QStringLiteral("INSERT INTO main.%1 SELECT * FROM template.%1").arg(name));
  }
  ok = ok && copy.Run(QStringLiteral("PRAGMA main.user_version = %1").arg(stamp)) &&
       copy.Run(QStringLiteral("COMMIT"));
  if (!ok) copy.Run(QStringLiteral("ROLLBACK"));
  copy.Run(QStringLiteral("DETACH DATABASE template"));
  return ok;
}

// Writes a whole copy of the template under a temporary name beside `copyPath` and renames it,
// never over a file that is there.
bool MakeCopy(const QString& templatePath, const QString& copyPath, int stamp) {
  QFile source(templatePath);
  QTemporaryFile part(copyPath + QStringLiteral(".XXXXXX"));
  if (!source.open(QIODevice::ReadOnly) || !part.open()) return false;
  while (!source.atEnd()) {
    const QByteArray block = source.read(1 << 20);
    if (block.isEmpty() || part.write(block) != block.size()) return false;
  }
  if (!part.flush()) return false;
  part.close();
  {
    RawFile copy(part.fileName());
    if (!copy.ok() || !copy.Run(QStringLiteral("PRAGMA user_version = %1").arg(stamp))) return false;
  }
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
    if (!copy.ok()) return fallBack(kCopyDamaged.arg(QDir::toNativeSeparators(copyPath)));
    const int stamp = haveTemplate ? TemplateStamp(templatePath) : 0;
    if (stamp != 0 && stamp != Stamp(copy) && !UpdateShippedTables(copy, templatePath, stamp))
      return Preparation{copyPath, false, kUpdateFailed.arg(QDir::toNativeSeparators(copyPath))};
    return Preparation{copyPath, false, QString()};
  }

  if (!haveTemplate)
    return fallBack(
        kTemplateMissing.arg(QDir::toNativeSeparators(templatePath.isEmpty() ? kFileName : templatePath)));
  const QString folder = QFileInfo(copyPath).absolutePath();
  if (!QDir().mkpath(folder) || !MakeCopy(templatePath, copyPath, TemplateStamp(templatePath))) {
    // Another start may have made it meanwhile; that copy is the user's now.
    if (QFileInfo::exists(copyPath)) return PrepareUserCopy(templatePath, copyPath);
    return fallBack(kCopyNotMade.arg(QDir::toNativeSeparators(folder)));
  }
  return Preparation{copyPath, false, QString()};
}

QString UseUserCopy() {
  const Preparation prepared = PrepareUserCopy(TemplatePath(), UserCopyPath());
  SetDatabasePath(prepared.path, prepared.readOnly ? Access::kReadOnly : Access::kReadWrite);
  return prepared.problem;
}

}  // namespace DataBase
