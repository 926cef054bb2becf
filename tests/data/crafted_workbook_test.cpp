// Workbooks made to break the readers: each one crafted here, at the bound it tests.
#include <gtest/gtest.h>

#include <QFile>
#include <new>

#include "data/little_endian.h"
#include "data/reading_process.h"
#include "data/workbook.h"
#include "data/workbook_package.h"
#include "data/xls_merged_cells.h"

namespace {

using namespace Qt::Literals::StringLiterals;
using data::detail::MergedArea;

constexpr quint32 kEndOfChain = 0xFFFFFFFE, kFree = 0xFFFFFFFF;

void Put(QByteArray& out, qsizetype at, quint32 value, int bytes) {
  for (int i = 0; i < bytes; ++i) out[at + i] = char((value >> (8 * i)) & 0xFF);
}
QByteArray Le(quint32 value, int bytes) {
  QByteArray out(bytes, '\0');
  Put(out, 0, value, bytes);
  return out;
}

QByteArray Record(quint16 type, const QByteArray& body) {
  return Le(type, 2) + Le(quint32(body.size()), 2) + body;
}
QByteArray Bof(quint16 substream) {
  return Record(0x0809, Le(0x0600, 2) + Le(substream, 2) + QByteArray(12, '\0'));
}
QByteArray Eof() { return Record(0x000A, {}); }

// MERGEDCELLS records, at most 1026 areas each as Excel writes them.
QByteArray MergedCells(const std::vector<MergedArea>& areas) {
  QByteArray records;
  for (size_t from = 0; from < areas.size(); from += 1026) {
    const size_t count = std::min<size_t>(1026, areas.size() - from);
    QByteArray body = Le(quint32(count), 2);
    for (size_t i = from; i < from + count; ++i)
      body += Le(areas[i].firstRow, 2) + Le(areas[i].lastRow, 2) + Le(areas[i].firstColumn, 2) +
              Le(areas[i].lastColumn, 2);
    records += Record(0x00E5, body);
  }
  return records;
}

// A BIFF8 workbook stream with one sheet, 地址, holding the given records.
QByteArray Biff(const QByteArray& sheetRecords) {
  const QString name = u"地址"_s;
  QByteArray boundSheet = Le(0, 4) + Le(0, 2) + Le(quint32(name.size()), 1) + Le(1, 1);
  for (const QChar c : name) boundSheet += Le(c.unicode(), 2);
  QByteArray globals = Bof(0x0005) + Record(0x0085, boundSheet) + Eof();
  Put(globals, 20 + 4, quint32(globals.size()), 4);  // where the sheet's BOF is
  return globals + Bof(0x0010) + sheetRecords + Eof();
}

// A compound file of 4096-byte sectors holding the stream "Workbook": in the mini stream when it
// is shorter than 4096 bytes, as writers do. The header's cutoff, the size the directory gives
// and the end of the mini stream's chain can be made to lie.
struct Compound {
  QByteArray workbook;
  quint32 headerCutoff = 4096;
  qint64 declaredSize = -1;  // the stream's own size when negative
  int miniSectorLoops = -1;  // a mini sector whose chain leads back to itself
};

QByteArray MakeCompound(const Compound& c) {
  constexpr qsizetype kSector = 4096;
  const bool mini = c.workbook.size() < 4096;
  const qsizetype miniSectors = (c.workbook.size() + 63) / 64;
  const qsizetype dataSectors =
      mini ? (miniSectors * 64 + kSector - 1) / kSector : (c.workbook.size() + kSector - 1) / kSector;
  qsizetype fatSectors = 1;
  while (fatSectors * 1024 < fatSectors + 2 + dataSectors) ++fatSectors;
  const quint32 directory = quint32(fatSectors), miniFat = directory + 1, firstData = miniFat + 1;
  const qsizetype total = firstData + dataSectors;

  QByteArray file(kSector * (total + 1), '\0');
  file.replace(0, 8, QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8));
  Put(file, 0x18, 0x3E, 2), Put(file, 0x1A, 4, 2), Put(file, 0x1C, 0xFFFE, 2), Put(file, 0x1E, 12, 2);
  Put(file, 0x20, 6, 2), Put(file, 0x2C, quint32(fatSectors), 4), Put(file, 0x30, directory, 4);
  Put(file, 0x38, c.headerCutoff, 4), Put(file, 0x3C, mini ? miniFat : kEndOfChain, 4);
  Put(file, 0x40, mini ? 1 : 0, 4), Put(file, 0x44, kEndOfChain, 4);
  for (int i = 0; i < 109; ++i) Put(file, 0x4C + 4 * i, i < fatSectors ? quint32(i) : kFree, 4);
  const auto sectorAt = [](qsizetype sector) { return (sector + 1) * kSector; };

  std::vector<quint32> fat(fatSectors * 1024, kFree);
  for (qsizetype i = 0; i < fatSectors; ++i) fat[i] = 0xFFFFFFFD;
  fat[directory] = kEndOfChain;
  fat[miniFat] = kEndOfChain;
  for (qsizetype i = 0; i < dataSectors; ++i)
    fat[firstData + i] = i + 1 < dataSectors ? quint32(firstData + i + 1) : kEndOfChain;
  for (size_t i = 0; i < fat.size(); ++i) Put(file, sectorAt(0) + 4 * qsizetype(i), fat[i], 4);

  const auto entry = [&](int index, const QString& name, int type, quint32 start, quint32 size) {
    const qsizetype at = sectorAt(directory) + 128 * index;
    for (qsizetype i = 0; i < name.size(); ++i) Put(file, at + 2 * i, name[i].unicode(), 2);
    Put(file, at + 0x40, quint32(2 * name.size() + 2), 2), Put(file, at + 0x42, type, 1);
    Put(file, at + 0x44, kFree, 4), Put(file, at + 0x48, kFree, 4),
        Put(file, at + 0x4C, type == 5 ? 1 : kFree, 4);
    Put(file, at + 0x74, start, 4), Put(file, at + 0x78, size, 4);
  };
  const quint32 size = quint32(c.declaredSize < 0 ? c.workbook.size() : c.declaredSize);
  entry(0, u"Root Entry"_s, 5, mini ? firstData : kEndOfChain, mini ? quint32(miniSectors * 64) : 0);
  entry(1, u"Workbook"_s, 2, mini ? 0 : firstData, size);
  for (int i = 2; i < 32; ++i) Put(file, sectorAt(directory) + 128 * i + 0x44, kFree, 4);
  if (mini) {
    for (qsizetype i = 0; i < 1024; ++i) {
      const quint32 next = i == c.miniSectorLoops ? quint32(i)
                           : i + 1 < miniSectors  ? quint32(i + 1)
                           : i + 1 == miniSectors ? kEndOfChain
                                                  : kFree;
      Put(file, sectorAt(miniFat) + 4 * i, next, 4);
    }
  }
  file.replace(sectorAt(firstData), c.workbook.size(), c.workbook);
  return file;
}

TEST(CraftedWorkbookTest, XlsMergedAreasAreReadWithinTheFilesOwnBounds) {
  const std::vector<MergedArea> three = {{1, 3, 2, 3}, {4, 0, 4, 2}, {6, 1, 9, 1}};
  std::vector<MergedArea> many;
  for (int i = 0; i < 600; ++i) many.push_back({i, 0, i, 1});
  const QByteArray chart = Bof(0x0020) + Record(0x1002, QByteArray(16, '\0')) + Eof();
  // Three areas alone in a mini sector of 64 bytes (a filler record before them, one after).
  const qsizetype before = Biff({}).size() - 4, pad = (64 - before % 64) % 64 + 64;
  const QByteArray alone =
      Record(0x0000, QByteArray(pad - 4, '\0')) + MergedCells(three) + Record(0x0000, QByteArray(30, '\0'));
  struct Case {
    const char* what;
    Compound file;
    std::vector<MergedArea> expected;
  } cases[] = {
      {"a chart on the sheet before its merged areas", {Biff(chart + MergedCells(three))}, three},
      {"a header whose mini-stream cutoff says every stream is small",
       {Biff(MergedCells(many)), 0xFFFFFFFF},
       many},
      // The areas' mini sector leads back to itself, and the directory claims more than the chain
      // holds: each sector is read once, not round and round up to the claimed size.
      {"a mini-FAT chain that loops", {Biff(alone), 4096, 4000, int((before + pad) / 64)}, three},
  };
  for (const Case& c : cases) {
    const std::vector<MergedArea> areas = data::detail::ReadXlsMergedAreas(MakeCompound(c.file), u"地址"_s);
    EXPECT_TRUE(areas == c.expected) << c.what << ": " << areas.size() << " areas";
  }
}

TEST(CraftedWorkbookTest, AMillionMergedAreasAreEachFoundAtOnce) {
  // 128 areas of two columns side by side in bands of eight rows, one to eight rows tall.
  std::vector<MergedArea> written;
  for (int k = 0; k < 1000000; ++k) {
    const int band = k / 128, pair = k % 128;
    written.push_back({band * 8, 2 * pair, band * 8 + k % 8, 2 * pair + 1});
  }
  const std::vector<MergedArea> areas =
      data::detail::ReadXlsMergedAreas(MakeCompound({Biff(MergedCells(written))}), u"地址"_s);
  ASSERT_EQ(areas.size(), written.size());
  data::Worksheet sheet;
  for (const MergedArea& a : areas) {
    sheet.SetCell(a.firstRow, a.firstColumn,
                  QString::number(a.firstRow) + u',' + QString::number(a.firstColumn));
    sheet.AddMergedArea(a.firstRow, a.firstColumn, a.lastRow, a.lastColumn);
  }
  for (int k = 0; k < 1000000; k += 997) {
    const MergedArea& a = written[k];
    const QString top = QString::number(a.firstRow) + u',' + QString::number(a.firstColumn);
    QString bottomRight, below;
    sheet.CellText(a.lastRow + 1, a.lastColumn + 1, bottomRight);
    EXPECT_EQ(bottomRight, top) << k;
    // The row under an area shorter than its band belongs to no area.
    if (k % 8 < 7) {
      sheet.CellText(a.lastRow + 2, a.firstColumn + 1, below);
      EXPECT_EQ(below, QString()) << k;
    }
  }
}

// A zip archive of the given parts, each deflated unless its text is empty.
struct Part {
  QString name;
  QByteArray data;
  qint64 declaredSize = -1;  // the data's own size when negative
};
QByteArray Deflated(const QByteArray& data) {
  const QByteArray zlib = qCompress(data, 9);  // 4 bytes of length, then a zlib stream
  return zlib.mid(6, zlib.size() - 10);
}
QByteArray Zip(const std::vector<Part>& parts) {
  data::detail::ZipWriter zip;
  for (const Part& p : parts)
    zip.Add(p.name, 8, 0, Deflated(p.data), p.declaredSize < 0 ? p.data.size() : p.declaredSize);
  return zip.Finish();
}
// The bytes with a little-endian field changed, found from the end-of-directory record.
QByteArray Patched(QByteArray zip, int centralEntry, int field, quint32 value, int bytes) {
  const qsizetype end = zip.lastIndexOf(QByteArray("PK\x05\x06", 4));
  qsizetype at = data::detail::U32At(zip, end + 16);
  for (int i = 0; i < centralEntry; ++i)
    at += 46 + data::detail::U16At(zip, at + 28) + data::detail::U16At(zip, at + 30) +
          data::detail::U16At(zip, at + 32);
  Put(zip, centralEntry < 0 ? end + field : at + field, value, bytes);
  return zip;
}

// The same archive ended the ZIP64 way, its entry count given there.
QByteArray Zip64Ended(const QByteArray& zip, quint64 count) {
  const auto le64 = [](quint64 v) { return Le(quint32(v), 4) + Le(quint32(v >> 32), 4); };
  const qsizetype end = zip.lastIndexOf(QByteArray("PK\x05\x06", 4));
  const quint32 size = data::detail::U32At(zip, end + 12), offset = data::detail::U32At(zip, end + 16);
  QByteArray out = zip.left(end);
  const qsizetype record = out.size();
  out += Le(0x06064b50, 4) + le64(44) + Le(45, 2) + Le(45, 2) + Le(0, 4) + Le(0, 4) + le64(count) +
         le64(count) + le64(size) + le64(offset);
  out += Le(0x07064b50, 4) + Le(0, 4) + le64(quint64(record)) + Le(1, 4);
  return out + Le(0x06054b50, 4) + Le(0, 4) + Le(0xFFFF, 2) + Le(0xFFFF, 2) + Le(0xFFFFFFFF, 4) +
         Le(0xFFFFFFFF, 4) + Le(0, 2);
}

TEST(CraftedWorkbookTest, ZipArchivesThatClaimMoreThanTheyHoldAreDamaged) {
  const std::vector<Part> parts = {{u"[Content_Types].xml"_s, QByteArray(2000, 'a')},
                                   {u"xl/worksheets/sheet1.xml"_s, QByteArray(1 << 20, 'b')}};
  const QByteArray sound = Zip(parts);
  ASSERT_TRUE(data::detail::ReadZipDirectory(sound));
  const std::optional<std::vector<data::detail::ZipEntry>> zip64 =
      data::detail::ReadZipDirectory(Zip64Ended(sound, 2));
  ASSERT_TRUE(zip64);
  EXPECT_EQ(zip64->size(), 2u);
  std::vector<Part> bomb = parts;
  bomb[1].declaredSize = 400 << 20;  // more than 1 MB packed to 1 KB can give
  struct Case {
    const char* what;
    QByteArray bytes;
  } cases[] = {
      {"a deflate bomb", Zip(bomb)},
      {"a part beyond any sheet", Patched(sound, 1, 24, 600u << 20, 4)},
      {"overlapping entries", Patched(sound, 1, 42, 0, 4)},
      {"a packed size beyond the file", Patched(sound, 0, 20, 0x7FFFFFFF, 4)},
      {"more entries than the directory holds", Patched(Patched(sound, -1, 8, 60000, 2), -1, 10, 60000, 2)},
      {"a directory holding more entries than its count", Patched(Patched(sound, -1, 8, 1, 2), -1, 10, 1, 2)},
      {"a ZIP64 count beyond the file", Zip64Ended(sound, quint64(1) << 40)},
  };
  for (const Case& c : cases) {
    EXPECT_FALSE(data::detail::ReadZipDirectory(c.bytes)) << c.what;
    QStringList names;
    data::Worksheet sheet;
    const QString wanted = u"地址"_s;
    EXPECT_EQ(data::ReadWorkbookBytes(c.bytes, &wanted, names, &sheet), 5) << c.what;
  }
}

TEST(CraftedWorkbookTest, PicturesAreCopiedPackedNeverUnpacked) {
  // An openpyxl workbook (its absolute part names make the import read a repaired copy) with a
  // picture of 64 MB that packs to 64 KB.
  QFile fixture(QStringLiteral(KOVA_FIXTURES "/import/writers/openpyxl.xlsx"));
  ASSERT_TRUE(fixture.open(QIODevice::ReadOnly));
  const QByteArray original = fixture.readAll();
  data::detail::WorkbookPackage package;
  ASSERT_TRUE(package.Load(original));
  data::detail::ZipWriter zip;
  for (const QString& name : package.PartNames()) zip.Add(name, package.Part(name));
  const QByteArray picture(64 << 20, '\0');
  zip.Add(u"xl/media/image1.png"_s, 8, 0, Deflated(picture), picture.size());
  const QByteArray withPicture = zip.Finish();

  QByteArray readable;
  const QString wanted = u"地址"_s;
  ASSERT_EQ(data::detail::ReadableXlsx(withPicture, &wanted, readable), 0);
  EXPECT_NE(readable, withPicture);  // repaired
  EXPECT_LT(readable.size(), 2 * withPicture.size());
  QStringList names;
  data::Worksheet fromOriginal, fromCopy;
  ASSERT_EQ(data::ReadWorkbookBytes(original, &wanted, names, &fromOriginal), 0);
  ASSERT_EQ(data::ReadWorkbookBytes(withPicture, &wanted, names, &fromCopy), 0);
  ASSERT_GT(fromOriginal.LastRow(), 1);
  for (int row = 1; row <= fromOriginal.LastRow(); ++row) {
    QString a, b;
    fromOriginal.CellText(row, 1, a);
    fromCopy.CellText(row, 1, b);
    EXPECT_EQ(a, b) << row;
  }
}

TEST(CraftedWorkbookTest, AReaderThatWantsTooMuchMemoryIsStopped) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "address sanitizer keeps no memory limit";
#else
  // As a reader led on by a file would: more memory than the reading process may have, all used.
  const auto greedy = [](QStringList&, data::Worksheet*) {
    const size_t bytes = size_t(data::detail::kReadMemoryBytes) + (size_t(1) << 30);
    char* memory = new (std::nothrow) char[bytes];
    if (!memory) return 5;  // refused: the reader reports damage itself
    for (size_t i = 0; i < bytes; i += 4096) memory[i] = 1;
    delete[] memory;
    return 0;
  };
  QStringList names;
  data::Worksheet sheet;
  EXPECT_EQ(data::detail::ReadInChildProcess(greedy, names, &sheet), 5);
#endif
}

}  // namespace
