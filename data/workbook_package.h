#pragma once
// The parts of a workbook package (.xlsx, .ods) and the relationships between them, and a copy
// of the package that liborcus can read.
//
// liborcus 0.17 finds a part only by a target relative to the part that names it: a package
// whose relationships name parts by absolute paths (Target="/xl/worksheets/sheet1.xml", as
// openpyxl and so pandas write them) reads as a workbook without cells. Such a package is
// handed to liborcus as a copy with every target relative. Relationships to parts that do not
// exist, or that lead back to a part on their own way from the package root, are left out of
// the copy; a workbook whose sheet, shared strings or styles are missing is damaged.
//
// In an .ods file liborcus 0.17 skips the cells a merged area covers, so that the cells right
// of them move left, reports no merged areas, and drops line breaks inside a paragraph
// (<text:line-break/>, as Gnumeric writes them): the copy has plain empty cells and line feeds
// there, and the merged areas are read here.

#include <QByteArray>
#include <QHash>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

#include "data/xls_merged_cells.h"

namespace orcus {
class zip_archive;
class zip_archive_stream_blob;
}  // namespace orcus

namespace data::detail {

// An entry of a zip archive as its central directory gives it, checked against the file.
struct ZipEntry {
  QString name;
  quint32 method = 0, crc = 0;  // method: 0 stored, 8 deflated
  qint64 dataAt = 0;            // where the packed bytes begin in the file
  qint64 packedSize = 0, size = 0;
};

// The entries of a zip archive; nullopt when the bytes are no zip archive or a damaged one. A
// size or place a zip reader would act on is checked before anyone does: entries inside the file
// and apart from each other and from the directory, an unpacked size no part of a workbook needs
// (kMaxPartBytes), or beyond what the packed bytes can give (deflate packs at most 1032 to 1),
// counts and ZIP64 records that fit the file.
constexpr qint64 kMaxPartBytes = qint64(512) << 20;
std::optional<std::vector<ZipEntry>> ReadZipDirectory(const QByteArray& bytes);
// True for bytes that end like a zip archive (an end-of-central-directory record) whose
// directory ReadZipDirectory does not accept.
bool IsDamagedZip(const QByteArray& bytes);

// A zip archive written entry by entry: new parts stored as they are, parts of another archive
// copied packed as they were.
class ZipWriter {
 public:
  void Add(const QString& name, const QByteArray& data);
  void Add(const QString& name, quint32 method, quint32 crc, QByteArrayView packed, qint64 size);
  QByteArray Finish();
  qsizetype size() const { return zip_.size() + directory_.size(); }
  // The plain end record counts entries in 16 bits; no workbook comes near that many parts.
  static constexpr qsizetype kMaxEntries = 0xFFFF;

 private:
  static void Put(QByteArray& out, quint32 value, int bytes);
  QByteArray zip_, directory_;
  quint32 entries_ = 0;
};

struct Relationship {
  QString id, type, target;  // target: the part's full name in the package, or an external URI
  bool external = false;
};

class WorkbookPackage {
 public:
  WorkbookPackage();
  ~WorkbookPackage();
  // False when the bytes are no readable zip archive.
  bool Load(const QByteArray& bytes);

  bool HasPart(const QString& name) const { return parts_.contains(name); }
  QByteArray Part(const QString& name) const;
  // The same without a copy, for a part that may be large.
  std::vector<unsigned char> PartBytes(const QString& name) const;
  // A part's relationships (the package's own for the empty name), targets resolved.
  std::vector<Relationship> Relationships(const QString& part) const;
  // The workbook part; empty when the package names none.
  QString WorkbookPart() const;
  // The relationship id the workbook gives the named sheet; nullopt when it lists no such sheet.
  std::optional<QString> SheetRelationshipId(const QString& sheetName) const;
  // The part of the named sheet; empty when the workbook does not say where it is.
  QString SheetPart(const QString& sheetName) const;
  // The parts in the archive's order.
  const std::vector<QString>& PartNames() const { return names_; }
  // The part as it is stored in the file, packed; nullptr when the name is not in the directory.
  const ZipEntry* StoredPart(const QString& name) const;
  const QByteArray& bytes() const { return bytes_; }

 private:
  QByteArray bytes_;
  std::unique_ptr<orcus::zip_archive_stream_blob> blob_;
  std::unique_ptr<orcus::zip_archive> archive_;
  std::vector<QString> names_;
  QHash<QString, int> parts_;
  std::vector<ZipEntry> entries_;
  QHash<QString, int> entryOf_;
};

// The package liborcus is to read: `bytes` itself when it reads as it is, else a repaired copy.
// Returns 0, or kWorkbookCannotOpen for a damaged package: one without a workbook, or whose
// wanted sheet (`sheetName`, when given), shared strings or styles are missing.
int ReadableXlsx(const QByteArray& bytes, const QString* sheetName, QByteArray& readable);
// The same for an .ods package, never reported damaged here, with the merged areas of the named
// sheet, which liborcus does not report for .ods files.
void ReadableOds(const QByteArray& bytes, const QString* sheetName, QByteArray& readable,
                 std::vector<MergedArea>& merged);

}  // namespace data::detail
