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

 private:
  QByteArray bytes_;
  std::unique_ptr<orcus::zip_archive_stream_blob> blob_;
  std::unique_ptr<orcus::zip_archive> archive_;
  std::vector<QString> names_;
  QHash<QString, int> parts_;
};

// A zip entry declares its packed and unpacked sizes, and a zip reader sets aside that much
// memory before it reads anything: true when an entry claims more than any real workbook part
// needs, or a packed size beyond the file itself.
bool DeclaresHugeZipEntry(const QByteArray& bytes);

// The package liborcus is to read: `bytes` itself when it reads as it is, else a repaired copy.
// Returns 0, or kWorkbookCannotOpen for a damaged package: one without a workbook, or whose
// wanted sheet (`sheetName`, when given), shared strings or styles are missing.
int ReadableXlsx(const QByteArray& bytes, const QString* sheetName, QByteArray& readable);
// The same for an .ods package, never reported damaged here, with the merged areas of the named
// sheet, which liborcus does not report for .ods files.
void ReadableOds(const QByteArray& bytes, const QString* sheetName, QByteArray& readable,
                 std::vector<MergedArea>& merged);

}  // namespace data::detail
