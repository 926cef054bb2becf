// The kept record list: what one run writes the next reads back whole, and a file that cannot be
// read whole is set aside under another name, never deleted, never half read.
#include "data/kept_records.h"

#include <gtest/gtest.h>
#include <sqlcipher/sqlite3.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

using namespace Qt::Literals::StringLiterals;

namespace data {
namespace {

std::vector<Record> Numbered(int n) {
  std::vector<Record> records;
  for (int i = 1; i <= n; ++i) {
    Record record{QString::number(i), u"收件人%1"_s.arg(i), u"3100%1"_s.arg(i % 100, 2, 10, QChar(u'0')),
                  u"浙江省杭州市西湖区文三路%1号"_s.arg(i)};
    record.postcodeGenerated = i % 3 == 0;
    records.push_back(record);
  }
  return records;
}

// Writes a list as the program does: an import, then an edit of one cell.
QString Kept(const QTemporaryDir& dir, int n) {
  const QString path = dir.filePath(u"kovapost/records.db"_s);
  RecordTable table;
  KeptRecords keeper(table, path);
  table.ReplaceAll(Numbered(n));
  QCoreApplication::processEvents();
  table.setData(table.index(1, kNameColumn), u"改过的名字"_s);
  keeper.SetPosition({4, kAddressColumn});
  keeper.Flush();
  return path;
}

QByteArray Bytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(KeptRecordsTest, TheNextStartReadsTheListBackWhole) {
  QTemporaryDir dir;
  const QString path = Kept(dir, 500);
  const KeptList read = ReadKeptRecords(path);
  std::vector<Record> expected = Numbered(500);
  expected[1][kNameColumn] = u"改过的名字"_s;
  EXPECT_EQ(read.records, expected);
  EXPECT_EQ(read.position, (GridPosition{4, kAddressColumn}));
  EXPECT_EQ(read.setAsideAs, QString());
}

// A write cut short, a file of a later version, and something that is no database at all: each
// is moved aside with its bytes as they were, and the start goes on with no list.
TEST(KeptRecordsTest, AFileThatCannotBeReadWholeIsSetAside) {
  struct Case {
    const char* what;
    std::function<void(const QString&)> spoil;
  } cases[] = {
      {"cut short mid-file",
       [](const QString& path) {
         QFile file(path);
         ASSERT_TRUE(file.resize(file.size() / 2));
       }},
      {"a later version",
       [](const QString& path) {
         sqlite3* db = nullptr;
         sqlite3_open(QFile::encodeName(path).constData(), &db);
         EXPECT_EQ(sqlite3_exec(db, "PRAGMA user_version = 2", nullptr, nullptr, nullptr), SQLITE_OK);
         sqlite3_close(db);
       }},
      {"no database",
       [](const QString& path) {
         QFile file(path);
         ASSERT_TRUE(file.open(QIODevice::WriteOnly));
         file.write(QByteArray(3000, 'x'));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QTemporaryDir dir;
    const QString path = Kept(dir, 2000);
    c.spoil(path);
    const QByteArray spoilt = Bytes(path);

    const KeptList read = ReadKeptRecords(path);
    EXPECT_TRUE(read.records.empty());
    ASSERT_FALSE(read.setAsideAs.isEmpty());
    EXPECT_FALSE(QFile::exists(path));
    EXPECT_EQ(Bytes(read.setAsideAs), spoilt);
    EXPECT_TRUE(ReadKeptRecords(path).setAsideAs.isEmpty()) << "said once: the next start finds nothing";
  }
}

}  // namespace
}  // namespace data
