#pragma once
// The working record list kept on disk while the program runs, so that a crash, a kill or a
// power cut loses nothing: the next start offers the list back. The file is a SQLite database in
// WAL mode (records.db in the user's data folder); each write is one transaction, so a cut
// leaves the old list or the new one, never a mix.
//
// KeptRecords watches a RecordTable through its model signals only. The window thread merely
// takes a snapshot of what changed (the texts are shared, not copied); a writer thread of its
// own puts it in the file. A command that replaced or moved records writes the whole list, an
// edit of some cells writes only their records.

#include <QObject>
#include <QString>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "data/record_table.h"

namespace data {

// records.db in the user's data folder; empty when there is none.
QString KeptRecordsPath();

// The grid's current cell: model row and column, -1 when none.
struct GridPosition {
  int row = -1;
  int column = -1;
  bool operator==(const GridPosition&) const = default;
};

// What a kept file holds. `setAsideAs` names where an unreadable file (damaged, or written by a
// newer version) was moved; the records are then empty.
struct KeptList {
  std::vector<Record> records;
  GridPosition position;
  QString setAsideAs;
};

// Reads the file at `path`. A file that cannot be read whole is renamed beside itself (never
// deleted) and reported in setAsideAs. No file: an empty list.
KeptList ReadKeptRecords(const QString& path);
// Removes the file and its journal: the list is no longer needed.
void RemoveKeptRecords(const QString& path);

class KeptRecords : public QObject {
  Q_OBJECT

 public:
  // Keeps `table` in `path` from now on, starting with what it holds.
  KeptRecords(const RecordTable& table, const QString& path, QObject* parent = nullptr);
  // Finishes the writes begun; the file stays.
  ~KeptRecords() override;

  void SetPosition(GridPosition position);
  // Waits for every write begun; for tests and benchmarks.
  void Flush();
  // A normal close: stops keeping and removes the file.
  void Discard();

 signals:
  // The file could not be written (a full disk, a read-only folder); sent once, after which
  // the list is no longer kept.
  void failed();

 private:
  struct Job {
    std::optional<std::vector<Record>> whole;  // the whole list, or
    std::vector<std::pair<int, Record>> rows;  // some records by index
    int count = 0;
    GridPosition position;
  };

  void WholeChanged();
  void RowsChanged(int first, int last);
  void ScheduleWrite();
  void TakeSnapshot();
  void WriterLoop();

  const RecordTable& table_;
  const QString path_;
  GridPosition position_;
  bool wholeChanged_ = false;
  std::vector<int> changedRows_;
  bool scheduled_ = false;

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Job> jobs_;
  bool busy_ = false;
  bool stopping_ = false;
  bool broken_ = false;
  std::thread writer_;
};

}  // namespace data
