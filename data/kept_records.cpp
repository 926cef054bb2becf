#include "data/kept_records.h"

#include <sqlcipher/sqlite3.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTimer>
#include <algorithm>

namespace data {

namespace {

// The layout of the file; a file of a later layout is not read.
constexpr int kFormat = 1;
// More changed records than this in one command are written as the whole list.
constexpr size_t kMostChangedRows = 4096;

const char* const kJournals[] = {"", "-wal", "-shm"};

bool Exec(sqlite3* db, const char* sql) {
  return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// One prepared statement, finalized at the end of its scope.
class Query {
 public:
  Query(sqlite3* db, const char* sql) { sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr); }
  ~Query() { sqlite3_finalize(stmt_); }
  Query(const Query&) = delete;
  Query& operator=(const Query&) = delete;
  sqlite3_stmt* get() const { return stmt_; }
  bool ok() const { return stmt_ != nullptr; }
  QString Text(int column) const {
    return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column)),
                             sqlite3_column_bytes(stmt_, column));
  }

 private:
  sqlite3_stmt* stmt_ = nullptr;
};

bool BindRecord(sqlite3_stmt* stmt, int index, const Record& record) {
  bool ok = sqlite3_bind_int(stmt, 1, index) == SQLITE_OK;
  for (int c = 0; c < kColumnCount; ++c) {
    const QByteArray text = record[c].toUtf8();
    ok = ok &&
         sqlite3_bind_text(stmt, c + 2, text.constData(), int(text.size()), SQLITE_TRANSIENT) == SQLITE_OK;
  }
  return ok && sqlite3_bind_int(stmt, kColumnCount + 2, record.postcodeGenerated ? 1 : 0) == SQLITE_OK &&
         sqlite3_step(stmt) == SQLITE_DONE && sqlite3_reset(stmt) == SQLITE_OK;
}

sqlite3* OpenForWriting(const QString& path) {
  if (!QDir().mkpath(QFileInfo(path).absolutePath())) return nullptr;
  // Names and addresses are for the user's eyes only; SQLite gives its journal the same rights.
  QFile file(path);
  if (!file.open(QIODevice::ReadWrite) ||
      !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
    return nullptr;
  file.close();
  sqlite3* db = nullptr;
  if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                      nullptr) != SQLITE_OK) {
    sqlite3_close(db);
    return nullptr;
  }
  sqlite3_busy_timeout(db, 5000);
  // WAL: a commit is whole or absent after a cut; NORMAL syncs at checkpoints, which keeps a
  // write of the whole list cheap and still never mixes two lists.
  // The tables and the format come in one transaction: a reader never sees one without the other.
  const bool ok =
      Exec(db, "PRAGMA journal_mode = WAL") && Exec(db, "PRAGMA synchronous = NORMAL") &&
      Exec(db, QByteArray("BEGIN IMMEDIATE;"
                          "CREATE TABLE IF NOT EXISTS record (position INTEGER PRIMARY KEY, number TEXT, "
                          "name TEXT, postcode TEXT, address TEXT, generated INTEGER);"
                          "CREATE TABLE IF NOT EXISTS state (count INTEGER, row INTEGER, column INTEGER);"
                          "INSERT INTO state SELECT 0, -1, -1 WHERE NOT EXISTS (SELECT * FROM state);"
                          "PRAGMA user_version = " +
                          QByteArray::number(kFormat) + ";COMMIT;")
                   .constData());
  if (!ok) {
    sqlite3_close(db);
    return nullptr;
  }
  return db;
}

bool ReadWhole(const QString& path, KeptList& list) {
  sqlite3* db = nullptr;
  // Read-write: after a crash the journal is folded into the file on opening.
  bool ok =
      sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK;
  if (ok) sqlite3_busy_timeout(db, 5000);
  int format = 0;
  if (ok) {
    Query version(db, "PRAGMA user_version");
    ok = version.ok() && sqlite3_step(version.get()) == SQLITE_ROW;
    format = ok ? sqlite3_column_int(version.get(), 0) : 0;
  }
  if (ok && format == 0) {
    // Made and cut off before its first list was in: nothing was kept.
    Query tables(db, "SELECT count(*) FROM sqlite_master");
    if (tables.ok() && sqlite3_step(tables.get()) == SQLITE_ROW && sqlite3_column_int(tables.get(), 0) == 0) {
      sqlite3_close(db);
      return true;
    }
  }
  ok = ok && format == kFormat;
  if (ok) {
    Query check(db, "PRAGMA quick_check");
    ok = check.ok() && sqlite3_step(check.get()) == SQLITE_ROW && check.Text(0) == u"ok";
  }
  int count = -1;
  if (ok) {
    Query state(db, "SELECT count, row, column FROM state");
    ok = state.ok() && sqlite3_step(state.get()) == SQLITE_ROW;
    if (ok) {
      count = sqlite3_column_int(state.get(), 0);
      list.position = {sqlite3_column_int(state.get(), 1), sqlite3_column_int(state.get(), 2)};
    }
  }
  if (ok) {
    Query rows(db,
               "SELECT position, number, name, postcode, address, generated FROM record ORDER BY position");
    ok = rows.ok() && count >= 0;
    if (ok) list.records.reserve(size_t(count));
    int step = SQLITE_ROW;
    while (ok && (step = sqlite3_step(rows.get())) == SQLITE_ROW) {
      // Positions run 0, 1, 2… without gaps; anything else is no list this program wrote.
      ok = sqlite3_column_int(rows.get(), 0) == int(list.records.size());
      Record record;
      for (int c = 0; c < kColumnCount; ++c) record[c] = rows.Text(c + 1);
      record.postcodeGenerated = sqlite3_column_int(rows.get(), kColumnCount + 1) != 0;
      list.records.push_back(std::move(record));
    }
    ok = ok && step == SQLITE_DONE && int(list.records.size()) == count;
  }
  sqlite3_close(db);
  return ok;
}

}  // namespace

QString KeptRecordsPath() {
  const QString dataHome = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  return dataHome.isEmpty() ? QString() : dataHome + QStringLiteral("/kovapost/records.db");
}

KeptList ReadKeptRecords(const QString& path) {
  KeptList list;
  if (path.isEmpty() || !QFileInfo::exists(path)) return list;
  if (ReadWhole(path, list)) return list;
  // Set aside under a name of its own, with its journal, for the user to keep.
  const QString aside = path + QStringLiteral(".unreadable-") +
                        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
  for (const char* journal : kJournals)
    if (QFileInfo::exists(path + QLatin1String(journal)))
      QFile::rename(path + QLatin1String(journal), aside + QLatin1String(journal));
  return KeptList{{}, {}, aside};
}

void RemoveKeptRecords(const QString& path) {
  for (const char* journal : kJournals) QFile::remove(path + QLatin1String(journal));
}

KeptRecords::KeptRecords(const RecordTable& table, const QString& path, QObject* parent)
    : QObject(parent), table_(table), path_(path) {
  connect(&table_, &QAbstractItemModel::modelReset, this, &KeptRecords::WholeChanged);
  connect(&table_, &QAbstractItemModel::rowsInserted, this, &KeptRecords::WholeChanged);
  connect(&table_, &QAbstractItemModel::rowsRemoved, this, &KeptRecords::WholeChanged);
  connect(&table_, &QAbstractItemModel::rowsMoved, this, &KeptRecords::WholeChanged);
  connect(&table_, &QAbstractItemModel::layoutChanged, this, &KeptRecords::WholeChanged);
  connect(&table_, &QAbstractItemModel::dataChanged, this,
          [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
            RowsChanged(topLeft.row(), bottomRight.row());
          });
  writer_ = std::thread(&KeptRecords::WriterLoop, this);
  // Nothing is written before there is something to keep.
  if (table_.totalCount() > 0) WholeChanged();
}

KeptRecords::~KeptRecords() {
  if (scheduled_) TakeSnapshot();
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  if (writer_.joinable()) writer_.join();
}

void KeptRecords::SetPosition(GridPosition position) {
  if (position == position_) return;
  position_ = position;
  ScheduleWrite();
}

void KeptRecords::Flush() {
  if (scheduled_) TakeSnapshot();
  std::unique_lock lock(mutex_);
  wake_.wait(lock, [this] { return jobs_.empty() && !busy_; });
}

void KeptRecords::Discard() {
  disconnect(&table_, nullptr, this, nullptr);
  scheduled_ = false;
  {
    std::lock_guard lock(mutex_);
    jobs_.clear();
    stopping_ = true;
  }
  wake_.notify_all();
  if (writer_.joinable()) writer_.join();
  RemoveKeptRecords(path_);
}

void KeptRecords::WholeChanged() {
  // A new filter changes only which records the grid shows; the list itself is as kept.
  if (table_.refilteringOnly()) return;
  wholeChanged_ = true;
  changedRows_.clear();
  ScheduleWrite();
}

void KeptRecords::RowsChanged(int first, int last) {
  if (!wholeChanged_) {
    for (int row = first; row <= last && changedRows_.size() <= kMostChangedRows; ++row)
      changedRows_.push_back(row);
    if (changedRows_.size() > kMostChangedRows) WholeChanged();
  }
  ScheduleWrite();
}

// The snapshot is taken once the command that changed the records has finished, so a command
// that sends many signals is written once.
void KeptRecords::ScheduleWrite() {
  if (scheduled_) return;
  scheduled_ = true;
  QTimer::singleShot(0, this, [this] {
    if (scheduled_) TakeSnapshot();
  });
}

void KeptRecords::TakeSnapshot() {
  scheduled_ = false;
  Job job;
  // The whole list is kept, shown or not; the grid's rows are the shown records.
  job.count = table_.totalCount();
  job.position = position_;
  if (wholeChanged_) {
    job.whole = table_.records();  // shares the texts
  } else {
    std::sort(changedRows_.begin(), changedRows_.end());
    changedRows_.erase(std::unique(changedRows_.begin(), changedRows_.end()), changedRows_.end());
    for (const int row : changedRows_)
      if (row >= 0 && row < table_.recordCount()) {
        const int index = table_.shownIndices()[size_t(row)];
        job.rows.emplace_back(index, table_.records()[size_t(index)]);
      }
  }
  wholeChanged_ = false;
  changedRows_.clear();
  {
    std::lock_guard lock(mutex_);
    if (broken_ || stopping_) return;
    if (job.whole) jobs_.clear();  // superseded
    jobs_.push_back(std::move(job));
  }
  wake_.notify_all();
}

void KeptRecords::WriterLoop() {
  sqlite3* db = nullptr;
  for (;;) {
    Job job;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
      if (jobs_.empty()) break;
      job = std::move(jobs_.front());
      jobs_.pop_front();
      busy_ = true;
    }
    if (!db) db = OpenForWriting(path_);
    bool ok = db && Exec(db, "BEGIN IMMEDIATE");
    if (ok && job.whole) ok = Exec(db, "DELETE FROM record");
    if (ok) {
      Query insert(db, "INSERT OR REPLACE INTO record VALUES (?, ?, ?, ?, ?, ?)");
      ok = insert.ok();
      if (job.whole)
        for (int i = 0; ok && i < int(job.whole->size()); ++i)
          ok = BindRecord(insert.get(), i, (*job.whole)[size_t(i)]);
      for (const auto& [row, record] : job.rows)
        if (ok) ok = BindRecord(insert.get(), row, record);
    }
    if (ok) {
      Query state(db, "UPDATE state SET count = ?, row = ?, column = ?");
      ok = state.ok() && sqlite3_bind_int(state.get(), 1, job.count) == SQLITE_OK &&
           sqlite3_bind_int(state.get(), 2, job.position.row) == SQLITE_OK &&
           sqlite3_bind_int(state.get(), 3, job.position.column) == SQLITE_OK &&
           sqlite3_step(state.get()) == SQLITE_DONE;
    }
    ok = ok && Exec(db, "COMMIT");
    if (!ok && db) Exec(db, "ROLLBACK");
    job = Job();  // the texts are released here, off the window thread
    bool tell = false;
    {
      std::lock_guard lock(mutex_);
      busy_ = false;
      if (!ok && !broken_) {
        broken_ = tell = true;
        jobs_.clear();
      }
    }
    wake_.notify_all();
    if (tell) QMetaObject::invokeMethod(this, &KeptRecords::failed, Qt::QueuedConnection);
  }
  sqlite3_close(db);
}

}  // namespace data
