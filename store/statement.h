#pragma once

// SQLite helpers shared by the store's own sources; not for use outside store/.

#include <sqlcipher/sqlite3.h>

#include <QByteArray>
#include <QString>
#include <QVariant>
#include <memory>

#include "store/database.h"

namespace DataBase {

// An open, keyed file; closed with the last reference.
struct KeyedHandle {
  sqlite3* db = nullptr;
  QString path;
  Access access = Access::kReadWrite;
  ~KeyedHandle() { sqlite3_close(db); }
};

// How long a statement waits for a lock held by another program on the same file.
constexpr int kBusyWaitMs = 15000;

// Opens and keys the file and proves the key with a first statement: a wrong key, a missing
// file or a file that is no database fails here (nullptr), not later. `busy` tells a file that
// stayed locked by another program all along, which is no damage, from one that cannot be read.
std::shared_ptr<KeyedHandle> OpenKeyedFile(const QString& path, const QString& password, Access access,
                                           bool* busy = nullptr);

// A prepared statement that finalizes itself.
class Statement {
 public:
  Statement(sqlite3* db, const QString& sql) {
    const QByteArray text = sql.toUtf8();
    status_ = sqlite3_prepare_v2(db, text.constData(), int(text.size()), &stmt_, nullptr);
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  bool ok() const { return status_ == SQLITE_OK && stmt_ != nullptr; }
  sqlite3_stmt* get() const { return stmt_; }

  bool Bind(int index, const QVariant& value) {
    int rc = SQLITE_OK;
    switch (value.typeId()) {
      case QMetaType::UnknownType:
        rc = sqlite3_bind_null(stmt_, index);
        break;
      case QMetaType::LongLong:
        rc = sqlite3_bind_int64(stmt_, index, value.toLongLong());
        break;
      case QMetaType::Double:
        rc = sqlite3_bind_double(stmt_, index, value.toDouble());
        break;
      default: {
        const QByteArray utf8 = value.toString().toUtf8();
        rc = sqlite3_bind_text(stmt_, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
      }
    }
    return rc == SQLITE_OK;
  }
  // Runs a statement that returns no rows.
  bool Run() { return ok() && sqlite3_step(stmt_) == SQLITE_DONE; }

 private:
  sqlite3_stmt* stmt_ = nullptr;
  int status_ = SQLITE_ERROR;
};

// An SQL identifier in double quotes, any quote inside doubled.
inline QString Quoted(const QString& identifier) {
  QString escaped = identifier;
  escaped.replace(u'"', QStringLiteral("\"\""));
  return u'"' + escaped + u'"';
}

}  // namespace DataBase
