#include "store/database.h"

#include <sqlcipher/sqlite3.h>

#include <QCoreApplication>
#include <QFileInfo>
#include <QRegularExpression>
#include <charconv>
#include <cmath>
#include <limits>

#include "common/numbers.h"
#include "common/prompts.h"
#include "store/statement.h"
#include "store/store_texts.h"

namespace DataBase {

namespace {

const QString kFileName = QStringLiteral("Par.mdb");
const QString kSourceKey = QStringLiteral("Data Source=");
const QString kPasswordKey = QStringLiteral(";Password=");

QString& ChosenPath() {
  static QString path;
  return path;
}

Access& ChosenAccess() {
  static Access access = Access::kReadWrite;
  return access;
}

int failures = 0;
// OneMessage scopes alive, and whether one of them has shown a message.
int messageScopes = 0;
bool messageShown = false;

bool Failed() {
  ++failures;
  return false;
}

// The handle kept for the file; released when the application object goes, before the
// library's own cleanup at exit.
std::shared_ptr<KeyedHandle>& KeptHandle() {
  static std::shared_ptr<KeyedHandle> handle;
  return handle;
}

void ReleaseKeptHandle() { KeptHandle().reset(); }

bool Execute(sqlite3* db, const QString& sql) { return Statement(db, sql).Run(); }

struct ConnectionParts {
  QString path;
  QString password;
};

std::optional<ConnectionParts> Parse(const QString& connectionString) {
  const qsizetype cut = connectionString.lastIndexOf(kPasswordKey);
  if (!connectionString.startsWith(kSourceKey) || cut < 0) return std::nullopt;
  return ConnectionParts{connectionString.mid(kSourceKey.size(), cut - kSourceKey.size()),
                         connectionString.mid(cut + kPasswordKey.size())};
}

std::shared_ptr<KeyedHandle> OpenKeyed(const QString& connectionString, Access access) {
  const std::optional<ConnectionParts> parts = Parse(connectionString);
  return parts ? OpenKeyedFile(parts->path, parts->password, access) : nullptr;
}

ColumnType TypeOf(const char* declared) {
  const QString type = QString::fromUtf8(declared ? declared : "").toUpper();
  if (type == u"TEXT") return ColumnType::Text;
  if (type == u"SMALLINT") return ColumnType::Int16;
  if (type == u"INTEGER") return ColumnType::Int32;
  if (type == u"SINGLE") return ColumnType::Single;
  if (type == u"DOUBLE") return ColumnType::Double;
  if (type == u"BOOLEAN") return ColumnType::Boolean;
  return ColumnType::Other;
}

QVariant StoredValue(sqlite3_stmt* stmt, int column) {
  switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
      return QVariant(qlonglong(sqlite3_column_int64(stmt, column)));
    case SQLITE_FLOAT:
      return QVariant(sqlite3_column_double(stmt, column));
    case SQLITE_TEXT:
      return QVariant(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt, column)),
                                        sqlite3_column_bytes(stmt, column)));
    case SQLITE_BLOB:
      return QVariant(QByteArray());  // no column of ours holds one
    default:
      return QVariant();
  }
}

// A number from a stored or assigned value; a text must be a number as a whole.
std::optional<double> NumberOf(const QVariant& value) {
  switch (value.typeId()) {
    case QMetaType::Bool:
      return value.toBool() ? 1.0 : 0.0;
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Float:
    case QMetaType::Double: {
      const double d = value.toDouble();
      return std::isfinite(d) ? std::optional(d) : std::nullopt;
    }
    case QMetaType::QString: {
      bool ok = false;
      const double d = value.toString().trimmed().toDouble(&ok);
      return ok && std::isfinite(d) ? std::optional(d) : std::nullopt;
    }
    default:
      return std::nullopt;
  }
}

std::optional<qlonglong> WholeNumberOf(const QVariant& value, qlonglong low, qlonglong high) {
  const std::optional<double> d = NumberOf(value);
  if (!d) return std::nullopt;
  const double whole = common::RoundHalfEven(*d);
  if (whole < double(low) || whole > double(high)) return std::nullopt;
  return qlonglong(whole);
}

// A single-precision value as the shortest decimal that reads back as the same single, so that
// a font size of 10.3 comes back as 10.3.
double SingleToDouble(float value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  return QByteArray(text, int(result.ptr - text)).toDouble();
}

// Converts an assigned value to what the column stores: qlonglong, double, QString or null.
std::optional<QVariant> ToStorage(ColumnType type, const QVariant& value) {
  if (!value.isValid() || value.isNull()) return QVariant();
  switch (type) {
    case ColumnType::Text:
      if (value.typeId() == QMetaType::Double) return QVariant(common::NumberText(value.toDouble()));
      return QVariant(value.toString());
    case ColumnType::Int16:
      if (auto n =
              WholeNumberOf(value, std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max()))
        return QVariant(*n);
      return std::nullopt;
    case ColumnType::Int32:
      if (auto n =
              WholeNumberOf(value, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()))
        return QVariant(*n);
      return std::nullopt;
    case ColumnType::Single:
      if (auto d = NumberOf(value); d && std::fabs(*d) <= std::numeric_limits<float>::max())
        return QVariant(SingleToDouble(float(*d)));
      return std::nullopt;
    case ColumnType::Double:
      if (auto d = NumberOf(value)) return QVariant(*d);
      return std::nullopt;
    case ColumnType::Boolean: {
      if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString().trimmed().toLower();
        if (text == u"true") return QVariant(qlonglong(1));
        if (text == u"false") return QVariant(qlonglong(0));
      }
      if (auto d = NumberOf(value)) return QVariant(qlonglong(*d != 0));
      return std::nullopt;
    }
    case ColumnType::Other:
      return value;
  }
  return std::nullopt;
}

// Reads a stored value as its column's type; a null QVariant when it does not fit.
QVariant FromStorage(ColumnType type, const QVariant& stored) {
  if (!stored.isValid()) return QVariant();
  switch (type) {
    case ColumnType::Text:
      return QVariant(stored.toString());
    case ColumnType::Int16:
      if (auto n =
              WholeNumberOf(stored, std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max()))
        return QVariant(int(*n));
      return QVariant();
    case ColumnType::Int32:
      if (auto n =
              WholeNumberOf(stored, std::numeric_limits<qint32>::min(), std::numeric_limits<qint32>::max()))
        return QVariant(int(*n));
      return QVariant();
    case ColumnType::Single:
      if (auto d = NumberOf(stored); d && std::fabs(*d) <= std::numeric_limits<float>::max())
        return QVariant(SingleToDouble(float(*d)));
      return QVariant();
    case ColumnType::Double:
      if (auto d = NumberOf(stored)) return QVariant(*d);
      return QVariant();
    case ColumnType::Boolean:
      if (auto d = NumberOf(stored)) return QVariant(*d != 0);
      return QVariant();
    case ColumnType::Other:
      return stored;
  }
  return QVariant();
}

}  // namespace

std::shared_ptr<KeyedHandle> OpenKeyedFile(const QString& path, const QString& password, Access access,
                                           bool* busy) {
  auto handle = std::make_shared<KeyedHandle>();
  handle->path = path;
  handle->access = access;
  // Without create: a missing file fails instead of appearing empty.
  if (sqlite3_open_v2(QFileInfo(path).absoluteFilePath().toUtf8().constData(), &handle->db,
                      access == Access::kReadOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE,
                      nullptr) != SQLITE_OK)
    return nullptr;
  // The window and the batch tool, or two batch runs, share the file: a lock held by the other
  // is waited for instead of failing the statement.
  sqlite3_busy_timeout(handle->db, kBusyWaitMs);
  if (!KeyHandle(handle->db, password)) return nullptr;
  // An empty file opens as an empty database; without tables it is no parameter database.
  Statement probe(handle->db, QStringLiteral("SELECT count(*) FROM sqlite_master"));
  const int step = probe.ok() ? sqlite3_step(probe.get()) : SQLITE_ERROR;
  if (busy) *busy = step == SQLITE_BUSY || step == SQLITE_LOCKED;
  if (step != SQLITE_ROW || sqlite3_column_int(probe.get(), 0) == 0) return nullptr;
  return handle;
}

// ---- The file ----

QString DatabasePath() {
  if (!ChosenPath().isEmpty()) return ChosenPath();
  return QCoreApplication::applicationDirPath() + u'/' + kFileName;
}

void SetDatabasePath(const QString& path, Access access) {
  ChosenPath() = path;
  ChosenAccess() = access;
  ReleaseKeptHandle();
}

int FailureCount() { return failures; }

OneMessage::OneMessage() {
  if (messageScopes++ == 0) messageShown = false;
}

OneMessage::~OneMessage() { --messageScopes; }

void Tell(const QString& text) {
  if (messageScopes > 0 && messageShown) return;
  messageShown = true;
  common::prompts().Message(text);
}

QString ConnectionString() { return kSourceKey + DatabasePath() + kPasswordKey + QStringLiteral("53108264"); }

QString ConnectionPassword() { return Parse(ConnectionString())->password; }

bool KeyHandle(sqlite3* db, const QString& password) {
  const QByteArray key = password.toUtf8();
  return sqlite3_key(db, key.constData(), int(key.size())) == SQLITE_OK &&
         Execute(db, QStringLiteral("PRAGMA kdf_iter = %1").arg(kKeyDerivationIterations));
}

// ---- Connection ----

Connection::~Connection() { Close(); }

void Connection::Close() {
  RollbackTrans();
  handle_.reset();
}

bool Connection::BeginTrans() {
  if (!handle_ || inTransaction_) return Failed();
  // Immediate: the write lock is taken, or waited for, at the start. A deferred transaction
  // that read first could not wait for it later and would fail halfway.
  inTransaction_ = Execute(handle_->db, QStringLiteral("BEGIN IMMEDIATE"));
  return inTransaction_ || Failed();
}

bool Connection::CommitTrans() {
  if (!handle_ || !inTransaction_) return Failed();
  if (!Execute(handle_->db, QStringLiteral("COMMIT"))) {
    RollbackTrans();
    return Failed();
  }
  inTransaction_ = false;
  return true;
}

void Connection::RollbackTrans() {
  if (!handle_ || !inTransaction_) return;
  inTransaction_ = false;
  // A failed statement may already have ended the transaction; then there is nothing to undo.
  if (!sqlite3_get_autocommit(handle_->db)) Execute(handle_->db, QStringLiteral("ROLLBACK"));
}

bool OpenConnection(Connection& connection) {
  connection.Close();
  static const bool cleanupRegistered = (qAddPostRoutine(ReleaseKeptHandle), true);
  (void)cleanupRegistered;

  const QString path = DatabasePath();
  std::shared_ptr<KeyedHandle>& kept = KeptHandle();
  // A file that went away must fail like a missing one, not live on in the kept handle.
  if (!QFileInfo::exists(path)) {
    kept.reset();
    return false;
  }
  if (!kept || kept->path != path || kept->access != ChosenAccess())
    kept = OpenKeyed(ConnectionString(), ChosenAccess());
  connection.handle_ = kept;
  return connection.isOpen();
}

bool ConnectDatabase(Connection& connection) {
  if (OpenConnection(connection)) return true;
  Failed();
  Tell(kConnectError);
  return false;
}

// ---- Recordset ----

bool Recordset::Open(const std::shared_ptr<KeyedHandle>& handle, const QString& sql) {
  Close();
  // "SELECT * FROM table rest" is read with the row ids, so that its rows can be written back.
  static const QRegularExpression writable(
      QStringLiteral("^\\s*SELECT\\s+\\*\\s+FROM\\s+([^\\s;]+)(.*)$"),
      QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
  const QRegularExpressionMatch match = writable.match(sql);
  const QString table = match.hasMatch() ? match.captured(1) : QString();
  const QString text =
      match.hasMatch() ? QStringLiteral("SELECT rowid, * FROM ") + table + match.captured(2) : sql;
  Statement select(handle->db, text);
  if (!select.ok()) return false;

  const int first = table.isEmpty() ? 0 : 1;
  const int count = sqlite3_column_count(select.get());
  for (int c = first; c < count; ++c) {
    columns_.push_back(QString::fromUtf8(sqlite3_column_name(select.get(), c)));
    types_.push_back(TypeOf(sqlite3_column_decltype(select.get(), c)));
  }
  int rc;
  while ((rc = sqlite3_step(select.get())) == SQLITE_ROW) {
    Row row;
    if (first) row.rowid = sqlite3_column_int64(select.get(), 0);
    for (int c = first; c < count; ++c) row.values.push_back(StoredValue(select.get(), c));
    rows_.push_back(std::move(row));
  }
  if (rc != SQLITE_DONE) {
    Close();
    return false;
  }
  handle_ = handle;
  table_ = table;
  open_ = true;
  current_ = 0;
  return true;
}

void Recordset::Close() {
  handle_.reset();
  open_ = false;
  table_.clear();
  columns_.clear();
  types_.clear();
  rows_.clear();
  current_ = 0;
  DiscardPending();
}

int Recordset::RecordCount() const {
  int n = 0;
  for (const Row& row : rows_) n += row.deleted ? 0 : 1;
  return n;
}

bool Recordset::AtEnd() const { return current_ >= int(rows_.size()); }

void Recordset::MoveFirst() {
  DiscardPending();
  current_ = 0;
  while (current_ < int(rows_.size()) && rows_[current_].deleted) ++current_;
}

void Recordset::MoveNext() {
  DiscardPending();
  if (AtEnd()) return;
  do ++current_;
  while (current_ < int(rows_.size()) && rows_[current_].deleted);
}

void Recordset::MoveLast() {
  DiscardPending();
  for (current_ = int(rows_.size()) - 1; current_ >= 0; --current_)
    if (!rows_[current_].deleted) return;
  current_ = int(rows_.size());
}

int Recordset::ColumnIndex(const QString& column) const {
  for (size_t c = 0; c < columns_.size(); ++c)
    if (columns_[c].compare(column, Qt::CaseInsensitive) == 0) return int(c);
  return -1;
}

QVariant Recordset::Value(const QString& column) const {
  const int c = ColumnIndex(column);
  if (c < 0) return QVariant();
  if (pending_ != Pending::None && assigned_[c]) return FromStorage(types_[c], buffer_[c]);
  if (pending_ == Pending::Adding || !ValidRow()) return QVariant();
  return FromStorage(types_[c], rows_[current_].values[c]);
}

bool Recordset::SetValue(const QString& column, const QVariant& value) {
  const int c = ColumnIndex(column);
  if (c < 0 || table_.isEmpty()) return false;
  if (pending_ == Pending::None) {
    if (!ValidRow()) return false;
    pending_ = Pending::Editing;
    buffer_.assign(columns_.size(), QVariant());
    assigned_.assign(columns_.size(), false);
  }
  const std::optional<QVariant> stored = ToStorage(types_[c], value);
  if (!stored) return false;
  buffer_[c] = *stored;
  assigned_[c] = true;
  return true;
}

void Recordset::AddNew() {
  if (!open_ || table_.isEmpty()) return;
  pending_ = Pending::Adding;
  buffer_.assign(columns_.size(), QVariant());
  assigned_.assign(columns_.size(), false);
}

void Recordset::DiscardPending() {
  pending_ = Pending::None;
  buffer_.clear();
  assigned_.clear();
}

bool Recordset::Update() {
  if (pending_ == Pending::None) return open_;
  QStringList names;
  std::vector<QVariant> values;
  for (size_t c = 0; c < columns_.size(); ++c) {
    if (!assigned_[c]) continue;
    names << Quoted(columns_[c]);
    values.push_back(buffer_[c]);
  }
  QString sql;
  if (pending_ == Pending::Adding) {
    sql = names.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(Quoted(table_))
                          : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                .arg(Quoted(table_), names.join(u','),
                                     QStringList(names.size(), QStringLiteral("?")).join(u','));
  } else {
    sql = QStringLiteral("UPDATE %1 SET %2 = ? WHERE rowid = ?")
              .arg(Quoted(table_), names.join(QStringLiteral(" = ?, ")));
    values.push_back(QVariant(qlonglong(rows_[current_].rowid)));
  }
  Statement write(handle_->db, sql);
  for (size_t i = 0; i < values.size(); ++i)
    if (!write.Bind(int(i) + 1, values[i])) return Failed();
  if (!write.Run()) return Failed();

  if (pending_ == Pending::Adding) {
    Row row;
    row.rowid = sqlite3_last_insert_rowid(handle_->db);
    row.values = buffer_;
    rows_.push_back(std::move(row));
    current_ = int(rows_.size()) - 1;
  } else {
    for (size_t c = 0; c < columns_.size(); ++c)
      if (assigned_[c]) rows_[current_].values[c] = buffer_[c];
  }
  DiscardPending();
  return true;
}

bool Recordset::Delete() {
  DiscardPending();
  if (!ValidRow() || table_.isEmpty()) return false;
  Statement remove(handle_->db, QStringLiteral("DELETE FROM %1 WHERE rowid = ?").arg(Quoted(table_)));
  if (!remove.Bind(1, QVariant(qlonglong(rows_[current_].rowid))) || !remove.Run()) return Failed();
  rows_[current_].deleted = true;
  return true;
}

// ---- The four operations ----

bool OpenRecordset(Connection& connection, Recordset& recordset, const QString& sql) {
  CloseRecordset(connection, recordset);
  if (OpenConnection(connection) && recordset.Open(connection.handle_, sql)) {
    recordset.MoveFirst();
    return true;
  }
  // The next attempt starts from the file again rather than from a handle that failed.
  recordset.Close();
  connection.Close();
  ReleaseKeptHandle();
  Failed();
  Tell(kOpenError);
  return false;
}

void CloseRecordset(Connection& connection, Recordset& recordset) {
  recordset.Close();
  connection.Close();
}

bool TableExists(const QString& name) {
  Connection connection;
  if (!ConnectDatabase(connection)) return false;
  Recordset tables;
  bool found = false;
  if (tables.Open(connection.handle_,
                  QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"))) {
    for (tables.MoveFirst(); !tables.AtEnd() && !found; tables.MoveNext())
      found = tables.Value(QStringLiteral("name")).toString() == name;
  }
  CloseRecordset(connection, tables);
  return found;
}

}  // namespace DataBase
