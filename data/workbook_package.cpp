#include "data/workbook_package.h"

#include <QSet>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <algorithm>
#include <array>
#include <orcus/zip_archive.hpp>
#include <orcus/zip_archive_stream.hpp>
#include <string_view>

#include "data/workbook_errors.h"

namespace data::detail {
namespace {

using namespace Qt::Literals::StringLiterals;

const QString kRelationshipsNs = u"http://schemas.openxmlformats.org/officeDocument/2006/relationships"_s;
const QString kPackageRelationshipsNs = u"http://schemas.openxmlformats.org/package/2006/relationships"_s;

QString RelationshipsPart(const QString& part) {
  const qsizetype slash = part.lastIndexOf(u'/');
  return part.left(slash + 1) + u"_rels/"_s + part.mid(slash + 1) + u".rels"_s;
}

// A relationship target is relative to the folder of the part that names it, or absolute.
QString ResolvePart(const QString& fromPart, const QString& target) {
  QStringList parts = fromPart.split(u'/');
  parts.removeLast();
  if (target.startsWith(u'/')) parts.clear();
  for (const QString& step : target.split(u'/')) {
    if (step == u"..") {
      if (!parts.isEmpty()) parts.removeLast();
    } else if (!step.isEmpty() && step != u".") {
      parts << step;
    }
  }
  return parts.join(u'/');
}

// The target as liborcus finds it: relative to the folder of the part that names it.
QString RelativeTarget(const QString& fromPart, const QString& target) {
  QStringList from = fromPart.split(u'/');
  from.removeLast();
  const QStringList to = target.split(u'/');
  qsizetype common = 0;
  while (common < from.size() && common + 1 < to.size() && from[common] == to[common]) ++common;
  QStringList steps;
  for (qsizetype i = common; i < from.size(); ++i) steps << u".."_s;
  steps += to.mid(common);
  return steps.join(u'/');
}

QByteArray RelationshipsXml(const QString& part, const std::vector<Relationship>& relationships) {
  QByteArray xml;
  QXmlStreamWriter writer(&xml);
  writer.writeStartDocument();
  writer.writeDefaultNamespace(kPackageRelationshipsNs);
  writer.writeStartElement(kPackageRelationshipsNs, u"Relationships"_s);
  for (const Relationship& r : relationships) {
    writer.writeStartElement(kPackageRelationshipsNs, u"Relationship"_s);
    writer.writeAttribute(u"Id"_s, r.id);
    writer.writeAttribute(u"Type"_s, r.type);
    writer.writeAttribute(u"Target"_s, r.external ? r.target : RelativeTarget(part, r.target));
    if (r.external) writer.writeAttribute(u"TargetMode"_s, u"External"_s);
    writer.writeEndElement();
  }
  writer.writeEndDocument();
  return xml;
}

quint32 Crc32(const QByteArray& bytes) {
  static const std::array<quint32, 256> table = [] {
    std::array<quint32, 256> t{};
    for (quint32 n = 0; n < 256; ++n) {
      quint32 c = n;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  quint32 crc = 0xFFFFFFFFu;
  for (const char b : bytes) crc = table[(crc ^ quint8(b)) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

// A zip archive whose entries are stored as they are, which is all a reader needs.
class StoredZip {
 public:
  void Add(const QString& name, const QByteArray& data) {
    const QByteArray utf8 = name.toUtf8();
    const quint32 offset = quint32(zip_.size());
    const quint32 crc = Crc32(data);
    // Local header: version 2.0, names in UTF-8, stored, no time.
    Put(zip_, 0x04034b50, 4), Put(zip_, 20, 2), Put(zip_, 0x0800, 2), Put(zip_, 0, 2), Put(zip_, 0, 4);
    Put(zip_, crc, 4), Put(zip_, quint32(data.size()), 4), Put(zip_, quint32(data.size()), 4);
    Put(zip_, quint32(utf8.size()), 2), Put(zip_, 0, 2);
    zip_ += utf8;
    zip_ += data;
    Put(directory_, 0x02014b50, 4), Put(directory_, 20, 2), Put(directory_, 20, 2),
        Put(directory_, 0x0800, 2);
    Put(directory_, 0, 2), Put(directory_, 0, 4), Put(directory_, crc, 4);
    Put(directory_, quint32(data.size()), 4), Put(directory_, quint32(data.size()), 4);
    Put(directory_, quint32(utf8.size()), 2), Put(directory_, 0, 2), Put(directory_, 0, 2);
    Put(directory_, 0, 2), Put(directory_, 0, 2), Put(directory_, 0, 4), Put(directory_, offset, 4);
    directory_ += utf8;
    ++entries_;
  }
  QByteArray Finish() {
    const quint32 offset = quint32(zip_.size());
    zip_ += directory_;
    Put(zip_, 0x06054b50, 4), Put(zip_, 0, 2), Put(zip_, 0, 2), Put(zip_, entries_, 2),
        Put(zip_, entries_, 2);
    Put(zip_, quint32(directory_.size()), 4), Put(zip_, offset, 4), Put(zip_, 0, 2);
    return zip_;
  }
  qsizetype size() const { return zip_.size(); }

 private:
  static void Put(QByteArray& out, quint32 value, int bytes) {
    for (int i = 0; i < bytes; ++i) out += char((value >> (8 * i)) & 0xFF);
  }
  QByteArray zip_, directory_;
  quint32 entries_ = 0;
};

// Walks the relationships from the package root, keeping those liborcus can follow: to a part
// that exists and not back to a part on the way there. Real packages are a few steps deep; a
// chain deeper than any of them is cut. Notes where a copy must differ.
class Walk {
 public:
  explicit Walk(const WorkbookPackage& package) : package_(package) { Visit({}, 0); }
  bool changed = false;
  QHash<QString, std::vector<Relationship>> kept;  // by source part

 private:
  static constexpr int kMaxDepth = 32;
  void Visit(const QString& part, int depth) {
    visited_.insert(part);
    onPath_.insert(part);
    std::vector<Relationship> keep;
    for (const Relationship& r : package_.Relationships(part)) {
      if (r.external) {
        keep.push_back(r);
        continue;
      }
      if (!package_.HasPart(r.target) || onPath_.contains(r.target) || depth >= kMaxDepth) {
        changed = true;
        continue;
      }
      keep.push_back(r);
      if (!visited_.contains(r.target)) Visit(r.target, depth + 1);
    }
    kept.insert(part, std::move(keep));
    onPath_.remove(part);
  }
  const WorkbookPackage& package_;
  QSet<QString> visited_, onPath_;
};

bool HasAbsoluteTarget(const QByteArray& relationshipsXml) {
  QXmlStreamReader xml(relationshipsXml);
  while (!xml.atEnd()) {
    xml.readNext();
    if (!xml.isStartElement() || xml.name() != u"Relationship") continue;
    const QXmlStreamAttributes a = xml.attributes();
    if (a.value(u"Target"_s).startsWith(u'/') && a.value(u"TargetMode"_s) != u"External") return true;
  }
  return false;
}

// A count attribute of an .ods table: at least 1, at most a sheet's size.
int Count(const QXmlStreamAttributes& a, const QString& name) {
  return std::clamp(a.value(name).toInt(), 1, 1 << 20);
}

// The merged areas of the named table: cells that span rows or columns.
std::vector<MergedArea> OdsMergedAreas(const QByteArray& content, const QString& sheetName) {
  std::vector<MergedArea> areas;
  QXmlStreamReader xml(content);
  bool wanted = false;
  int row = 0, column = 0, rowRepeat = 1;
  while (!xml.atEnd()) {
    xml.readNext();
    const QStringView name = xml.name();
    if (xml.isEndElement()) {
      if (wanted && name == u"table-row") row = std::min(row + rowRepeat, 1 << 20);
      if (name == u"table") wanted = false;
      continue;
    }
    if (!xml.isStartElement()) continue;
    const QXmlStreamAttributes a = xml.attributes();
    if (name == u"table") {
      wanted = a.value(u"table:name"_s) == sheetName;
      row = 0;
    } else if (wanted && name == u"table-row") {
      column = 0;
      rowRepeat = Count(a, u"table:number-rows-repeated"_s);
    } else if (wanted && (name == u"table-cell" || name == u"covered-table-cell")) {
      const int rows = Count(a, u"table:number-rows-spanned"_s),
                columns = Count(a, u"table:number-columns-spanned"_s);
      if (name == u"table-cell" && (rows > 1 || columns > 1))
        areas.push_back({row, column, row + rows - 1, column + columns - 1});
      column = std::min(column + Count(a, u"table:number-columns-repeated"_s), 1 << 20);
    }
  }
  return areas;
}

// The package with some parts replaced, stored uncompressed; nullopt when it would outgrow the
// 32-bit sizes of the zip format.
std::optional<QByteArray> Copy(const WorkbookPackage& package, const QHash<QString, QByteArray>& replaced) {
  StoredZip zip;
  for (const QString& name : package.PartNames()) {
    const auto found = replaced.constFind(name);
    const QByteArray data = found == replaced.cend() ? package.Part(name) : *found;
    if (zip.size() + data.size() > 0x7FFF0000) return std::nullopt;
    zip.Add(name, data);
  }
  return zip.Finish();
}

}  // namespace

bool DeclaresHugeZipEntry(const QByteArray& bytes) {
  constexpr quint64 kMaxEntry = 512ull * 1024 * 1024;
  const auto u16 = [&](qsizetype at) -> quint32 {
    return at + 2 <= bytes.size() ? quint32(quint8(bytes[at])) | quint32(quint8(bytes[at + 1])) << 8 : 0;
  };
  const auto u32 = [&](qsizetype at) -> quint32 { return u16(at) | u16(at + 2) << 16; };
  // The end-of-central-directory record sits within the last 64 KB + 22 bytes.
  qsizetype end = -1;
  for (qsizetype at = bytes.size() - 22; at >= 0 && at >= bytes.size() - 22 - 65535; --at) {
    if (u32(at) == 0x06054b50) {
      end = at;
      break;
    }
  }
  if (end < 0) return false;  // not a zip: the parser's own checks apply
  const quint32 entries = u16(end + 10);
  qsizetype at = qsizetype(u32(end + 16));
  for (quint32 i = 0; i < entries && at >= 0 && at + 46 <= bytes.size(); ++i) {
    if (u32(at) != 0x02014b50) return false;
    // A packed size beyond the file itself, or an unpacked size beyond any worksheet, is damage.
    if (u32(at + 20) > quint64(bytes.size()) || u32(at + 24) > kMaxEntry) return true;
    at += 46 + qsizetype(u16(at + 28)) + qsizetype(u16(at + 30)) + qsizetype(u16(at + 32));
  }
  return false;
}

WorkbookPackage::WorkbookPackage() = default;
WorkbookPackage::~WorkbookPackage() = default;

bool WorkbookPackage::Load(const QByteArray& bytes) {
  bytes_ = bytes;
  if (DeclaresHugeZipEntry(bytes_)) return false;
  try {
    blob_ = std::make_unique<orcus::zip_archive_stream_blob>(
        reinterpret_cast<const uint8_t*>(bytes_.constData()), size_t(bytes_.size()));
    archive_ = std::make_unique<orcus::zip_archive>(blob_.get());
    archive_->load();
    for (size_t i = 0; i < archive_->get_file_entry_count(); ++i) {
      const std::string_view name = archive_->get_file_entry_name(i);
      names_.push_back(QString::fromUtf8(name.data(), qsizetype(name.size())));
      parts_.insert(names_.back(), int(i));
    }
  } catch (const std::exception&) {
    archive_.reset();
    return false;
  }
  return true;
}

std::vector<unsigned char> WorkbookPackage::PartBytes(const QString& name) const {
  std::vector<unsigned char> bytes;
  if (!archive_ || !HasPart(name)) return bytes;
  const QByteArray utf8 = name.toUtf8();
  try {
    if (!archive_->read_file_entry(std::string_view(utf8.constData(), size_t(utf8.size())), bytes))
      bytes.clear();
  } catch (const std::exception&) {
    bytes.clear();
  }
  return bytes;
}

QByteArray WorkbookPackage::Part(const QString& name) const {
  const std::vector<unsigned char> bytes = PartBytes(name);
  return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

std::vector<Relationship> WorkbookPackage::Relationships(const QString& part) const {
  std::vector<Relationship> relationships;
  QXmlStreamReader xml(Part(RelationshipsPart(part)));
  while (!xml.atEnd()) {
    xml.readNext();
    if (!xml.isStartElement() || xml.name() != u"Relationship") continue;
    const QXmlStreamAttributes a = xml.attributes();
    Relationship r{a.value(u"Id"_s).toString(), a.value(u"Type"_s).toString(),
                   a.value(u"Target"_s).toString(), a.value(u"TargetMode"_s) == u"External"};
    if (!r.external) r.target = ResolvePart(part, r.target);
    relationships.push_back(std::move(r));
  }
  return relationships;
}

QString WorkbookPackage::WorkbookPart() const {
  for (const Relationship& r : Relationships({}))
    if (!r.external && r.type.endsWith(u"/officeDocument")) return r.target;
  return {};
}

std::optional<QString> WorkbookPackage::SheetRelationshipId(const QString& sheetName) const {
  QXmlStreamReader xml(Part(WorkbookPart()));
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement() && xml.name() == u"sheet" && xml.attributes().value(u"name"_s) == sheetName)
      return xml.attributes().value(kRelationshipsNs, u"id"_s).toString();
  }
  return std::nullopt;
}

QString WorkbookPackage::SheetPart(const QString& sheetName) const {
  const QString workbook = WorkbookPart();
  const std::optional<QString> id = SheetRelationshipId(sheetName);
  if (workbook.isEmpty() || !id || id->isEmpty()) return {};
  for (const Relationship& r : Relationships(workbook))
    if (r.id == *id && !r.external) return r.target;
  return {};
}

int ReadableXlsx(const QByteArray& bytes, const QString* sheetName, QByteArray& readable) {
  readable = bytes;
  WorkbookPackage package;
  if (!package.Load(bytes)) return kWorkbookCannotOpen;

  // The workbook, the wanted sheet, its shared strings and styles must be reached by
  // relationships the copy keeps: a part that is named but missing, or only reached by going
  // round in a circle, would read as a sheet without cells.
  const Walk walk(package);
  const auto keeps = [&walk](const QString& part, const QString& id) {
    const std::vector<Relationship> kept = walk.kept.value(part);
    return std::any_of(kept.cbegin(), kept.cend(), [&id](const Relationship& r) { return r.id == id; });
  };
  const QString workbook = package.WorkbookPart();
  const std::vector<Relationship> root = package.Relationships({});
  const auto toWorkbook = std::find_if(root.cbegin(), root.cend(), [&](const Relationship& r) {
    return !r.external && r.target == workbook && r.type.endsWith(u"/officeDocument");
  });
  if (workbook.isEmpty() || toWorkbook == root.cend() || !keeps({}, toWorkbook->id))
    return kWorkbookCannotOpen;
  if (sheetName) {
    const std::optional<QString> sheet = package.SheetRelationshipId(*sheetName);
    if (sheet && !keeps(workbook, *sheet)) return kWorkbookCannotOpen;
    for (const Relationship& r : package.Relationships(workbook))
      if ((r.type.endsWith(u"/sharedStrings") || r.type.endsWith(u"/styles")) && !keeps(workbook, r.id))
        return kWorkbookCannotOpen;
  }

  bool changed = walk.changed;
  for (auto it = walk.kept.cbegin(); it != walk.kept.cend() && !changed; ++it)
    changed = HasAbsoluteTarget(package.Part(RelationshipsPart(it.key())));
  if (!changed) return kWorkbookOk;

  // The copy: the relationships of the walked parts rewritten.
  QHash<QString, QByteArray> replaced;
  for (auto it = walk.kept.cbegin(); it != walk.kept.cend(); ++it)
    replaced.insert(RelationshipsPart(it.key()), RelationshipsXml(it.key(), it.value()));
  std::optional<QByteArray> copy = Copy(package, replaced);
  if (!copy) return kWorkbookCannotOpen;
  readable = std::move(*copy);
  return kWorkbookOk;
}

void ReadableOds(const QByteArray& bytes, const QString* sheetName, QByteArray& readable,
                 std::vector<MergedArea>& merged) {
  readable = bytes;
  merged.clear();
  WorkbookPackage package;
  if (!package.Load(bytes)) return;  // the parser says what is wrong
  const QString contentPart = u"content.xml"_s;
  QByteArray content = package.Part(contentPart);
  if (sheetName && content.contains("-spanned=")) merged = OdsMergedAreas(content, *sheetName);
  if (!content.contains("covered-table-cell") && !content.contains("<text:line-break/>")) return;
  content.replace("<table:covered-table-cell", "<table:table-cell")
      .replace("</table:covered-table-cell>", "</table:table-cell>")
      .replace("<text:line-break/>", "&#10;");
  if (std::optional<QByteArray> copy = Copy(package, {{contentPart, content}})) readable = std::move(*copy);
}

}  // namespace data::detail
