#pragma once
// The parameter database Par.mdb: a password-protected SQLCipher file that holds the option
// values (默认), the box texts and chosen size (内容), the stored envelope formats (格式) and the
// postcode table (邮编). The file is built with the program and shipped as a read-only template;
// each user works on a copy of it (store/user_copy.h). The program never creates its tables.
//
// Every user works per operation: it opens its own connection and recordset, walks the rows,
// and closes both before it returns. Behind that interface one keyed handle per file is kept and
// reused, because the first statement on a fresh SQLCipher connection derives the key, which
// costs tens of milliseconds, and the start alone opens the file more than a dozen times; the
// file's lower key-derivation cost (below) makes the one derivation that remains cheap.

#include <QString>
#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3;

namespace DataBase {

// Par.mdb beside the executable, unless another file was chosen (the user's copy, a test's).
QString DatabasePath();
// Whether the chosen file may be written. A template used in place of a user's copy is opened
// read-only, so that every save fails and says so instead of changing the shipped file.
enum class Access { kReadWrite, kReadOnly };
// Chooses the file (empty: back to the default) and forgets any kept handle.
void SetDatabasePath(const QString& path, Access access = Access::kReadWrite);

// Operations that failed since the program started: a file that would not open, a row that
// could not be written, a transaction that did not commit. Callers that must tell the user
// about a failure of several operations compare it before and after.
int FailureCount();

// While one lives, the database's own failure messages ("数据库打开错误！", "无法建立数据库连接！")
// and Tell() are shown at most once, so that the start's dozen reads or the exit's saves on an
// unusable file say so once, not a dozen times.
class OneMessage {
 public:
  OneMessage();
  ~OneMessage();
  OneMessage(const OneMessage&) = delete;
  OneMessage& operator=(const OneMessage&) = delete;
};
// Shows a database failure message, once within a OneMessage.
void Tell(const QString& text);

// The connection string, the one place that holds the database password.
QString ConnectionString();
// The password inside it, for the build tool that makes the file.
QString ConnectionPassword();

// Keys a raw SQLite handle the way the file is built and read: the password, then the file's
// key-derivation cost. Par.mdb is built with a lower cost than SQLCipher's default, because the
// password ships inside the program anyway and every derivation delays the start. For the build
// tool and tests; the program itself goes through Connection.
constexpr int kKeyDerivationIterations = 4000;
bool KeyHandle(sqlite3* db, const QString& password);

struct KeyedHandle;
class Recordset;

// An open connection to the file. Closing it, or letting it go, rolls back a transaction that
// was begun and not committed.
class Connection {
 public:
  Connection() = default;
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  bool isOpen() const { return handle_ != nullptr; }
  void Close();

  // Rewrites that delete rows and add them again run in one transaction, so a failing step
  // leaves the previous rows whole.
  bool BeginTrans();
  bool CommitTrans();
  void RollbackTrans();

 private:
  friend bool OpenConnection(Connection& connection);
  friend bool OpenRecordset(Connection& connection, Recordset& recordset, const QString& sql);
  friend bool TableExists(const QString& name);
  std::shared_ptr<KeyedHandle> handle_;
  bool inTransaction_ = false;
};

// How the program reads and writes a column; taken from the column's declared type in the file.
enum class ColumnType { Text, Int16, Int32, Single, Double, Boolean, Other };

// The rows a SELECT returned, with a current row, as the recordset users know it: moves, the end
// test, the record count, field access by column name, add-new and update, delete of the current
// row. Rows are read when it opens; writes go to the file at once (within the connection's
// transaction, if one was begun). Only "SELECT * FROM table ..." recordsets can be written.
class Recordset {
 public:
  Recordset() = default;
  Recordset(const Recordset&) = delete;
  Recordset& operator=(const Recordset&) = delete;

  bool isOpen() const { return open_; }
  void Close();

  // Rows not deleted, the added ones included.
  int RecordCount() const;
  // No current row: past the last row, or no rows at all.
  bool AtEnd() const;
  void MoveFirst();
  void MoveNext();
  void MoveLast();

  // The current row's value by column name (any letter case), typed by its column: QString,
  // int, double or bool. A null QVariant when the column is unknown, there is no current row,
  // the value is empty, or the stored value does not fit the column's type (a damaged row).
  QVariant Value(const QString& column) const;
  // Assigns a field of the new row (after AddNew) or of the current row; written by Update.
  // False when the column is unknown or the value does not fit its type.
  bool SetValue(const QString& column, const QVariant& value);

  // Starts a new row; a move or Close before Update discards it, as it does an unfinished edit.
  void AddNew();
  bool Update();
  // Deletes the current row. It stays current, without values, until the next move.
  bool Delete();

 private:
  friend bool OpenRecordset(Connection& connection, Recordset& recordset, const QString& sql);
  friend bool TableExists(const QString& name);

  struct Row {
    qint64 rowid = 0;
    std::vector<QVariant> values;  // as stored
    bool deleted = false;
  };
  enum class Pending { None, Adding, Editing };

  bool Open(const std::shared_ptr<KeyedHandle>& handle, const QString& sql);
  int ColumnIndex(const QString& column) const;
  bool ValidRow() const { return current_ >= 0 && current_ < int(rows_.size()) && !rows_[current_].deleted; }
  void DiscardPending();

  std::shared_ptr<KeyedHandle> handle_;
  bool open_ = false;
  QString table_;  // empty for a recordset that cannot be written
  std::vector<QString> columns_;
  std::vector<ColumnType> types_;
  std::vector<Row> rows_;
  int current_ = 0;
  Pending pending_ = Pending::None;
  std::vector<QVariant> buffer_;  // the pending row's values, as they will be stored
  std::vector<bool> assigned_;
};

// Closes what the two handles hold, connects, opens the recordset on `sql` and moves to its
// first row. On failure shows "数据库打开错误！" and returns false; the handles are then closed.
bool OpenRecordset(Connection& connection, Recordset& recordset, const QString& sql);
// Closes the recordset, then the connection; errors while closing are passed over.
void CloseRecordset(Connection& connection, Recordset& recordset);
// Closes what the handle holds and connects; on failure shows "无法建立数据库连接！".
bool ConnectDatabase(Connection& connection);
// Connects without a message; the building block of the two above.
bool OpenConnection(Connection& connection);
// True when the file has a table of exactly this name (case and blanks count).
bool TableExists(const QString& name);

}  // namespace DataBase
