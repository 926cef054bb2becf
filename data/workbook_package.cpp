#include "data/workbook_package.h"

#include <QSet>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>
#include <algorithm>
#include <array>
#include <orcus/zip_archive.hpp>
#include <orcus/zip_archive_stream.hpp>
#include <string_view>

#include "data/little_endian.h"
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

// The package with some parts replaced (stored uncompressed) and the others copied packed, so
// that parts no reader looks at (pictures, charts) are never unpacked; nullopt when it would
// outgrow the 32-bit sizes or 16-bit count of the zip format.
std::optional<QByteArray> Copy(const WorkbookPackage& package, const QHash<QString, QByteArray>& replaced) {
  if (qsizetype(package.PartNames().size()) > ZipWriter::kMaxEntries) return std::nullopt;
  ZipWriter zip;
  for (const QString& name : package.PartNames()) {
    const auto found = replaced.constFind(name);
    const ZipEntry* stored = package.StoredPart(name);
    const qsizetype size = found != replaced.cend() ? found->size() : stored ? stored->packedSize : 0;
    if (zip.size() + size > 0x7FFF0000) return std::nullopt;
    if (found != replaced.cend())
      zip.Add(name, *found);
    else if (stored)
      zip.Add(name, stored->method, stored->crc,
              QByteArrayView(package.bytes()).sliced(stored->dataAt, stored->packedSize), stored->size);
  }
  return zip.Finish();
}

constexpr quint32 kLocalHeader = 0x04034b50, kCentralHeader = 0x02014b50, kEndOfDirectory = 0x06054b50,
                  kZip64End = 0x06064b50, kZip64Locator = 0x07064b50;

// The end-of-central-directory record, within the last 64 KB + 22 bytes; -1 when there is none.
qsizetype EndOfDirectory(QByteArrayView bytes) {
  for (qsizetype at = bytes.size() - 22; at >= 0 && at >= bytes.size() - 22 - 65535; --at)
    if (U32At(bytes, at) == kEndOfDirectory) return at;
  return -1;
}

}  // namespace

std::optional<std::vector<ZipEntry>> ReadZipDirectory(const QByteArray& file) {
  const QByteArrayView bytes(file);
  const qsizetype end = EndOfDirectory(bytes);
  if (end < 0) return std::nullopt;
  quint64 count = U16At(bytes, end + 10), directorySize = U32At(bytes, end + 12),
          directoryAt = U32At(bytes, end + 16);
  quint64 directoryEnd = quint64(end);
  // Figures too large for the plain record are in a ZIP64 record, found through a locator.
  if ((count == 0xFFFF || directorySize == 0xFFFFFFFF || directoryAt == 0xFFFFFFFF) && end >= 76 &&
      U32At(bytes, end - 20) == kZip64Locator) {
    const quint64 at = U64At(bytes, end - 20 + 8);
    if (at > quint64(end - 20 - 56) || U32At(bytes, qsizetype(at)) != kZip64End) return std::nullopt;
    count = U64At(bytes, qsizetype(at) + 32);
    directorySize = U64At(bytes, qsizetype(at) + 40);
    directoryAt = U64At(bytes, qsizetype(at) + 48);
    directoryEnd = at;
  }
  // The directory ends where the end records begin, and each of its entries takes at least 46
  // bytes. (A directory with more in it than its count says would be read by liborcus as it
  // finds it, entries this check never saw.)
  if (directoryAt > directoryEnd || directorySize != directoryEnd - directoryAt || count > directorySize / 46)
    return std::nullopt;

  std::vector<ZipEntry> entries;
  entries.reserve(size_t(count));
  std::vector<std::pair<quint64, quint64>> spans;  // each entry's local header and data
  const qsizetype stop = qsizetype(directoryAt + directorySize);
  qsizetype at = qsizetype(directoryAt);
  for (quint64 i = 0; i < count; ++i) {
    if (at + 46 > stop || U32At(bytes, at) != kCentralHeader) return std::nullopt;
    const qsizetype nameLength = U16At(bytes, at + 28), extraLength = U16At(bytes, at + 30);
    const qsizetype next = at + 46 + nameLength + extraLength + U16At(bytes, at + 32);
    if (next > stop) return std::nullopt;
    ZipEntry entry;
    entry.method = U16At(bytes, at + 10);
    entry.crc = U32At(bytes, at + 16);
    quint64 packed = U32At(bytes, at + 20), size = U32At(bytes, at + 24), local = U32At(bytes, at + 42);
    // A ZIP64 extra field holds, in this order, the 64-bit figures of those that read all ones.
    const qsizetype extraEnd = at + 46 + nameLength + extraLength;
    for (qsizetype x = at + 46 + nameLength; x + 4 <= extraEnd; x += 4 + U16At(bytes, x + 2)) {
      if (U16At(bytes, x) != 0x0001) continue;
      qsizetype value = x + 4;
      const qsizetype valueEnd = std::min(value + qsizetype(U16At(bytes, x + 2)), extraEnd);
      for (quint64* figure : {&size, &packed, &local}) {
        if (*figure != 0xFFFFFFFF || value + 8 > valueEnd) continue;
        *figure = U64At(bytes, value);
        value += 8;
      }
      break;
    }
    entry.name = QString::fromUtf8(bytes.sliced(at + 46, nameLength));
    // The local header and the packed data lie before the directory.
    if (local > directoryAt || directoryAt - local < 30 || U32At(bytes, qsizetype(local)) != kLocalHeader)
      return std::nullopt;
    const quint64 dataAt =
        local + 30 + U16At(bytes, qsizetype(local) + 26) + U16At(bytes, qsizetype(local) + 28);
    if (dataAt > directoryAt || packed > directoryAt - dataAt) return std::nullopt;
    // Unpacked sizes a reader would set aside, and what the packed bytes can really give.
    if (size > quint64(kMaxPartBytes)) return std::nullopt;
    if (entry.method == 0 && size != packed) return std::nullopt;
    if (entry.method == 8 && size > packed * 1032 + 1024) return std::nullopt;
    entry.dataAt = qint64(dataAt);
    entry.packedSize = qint64(packed);
    entry.size = qint64(size);
    entries.push_back(std::move(entry));
    spans.emplace_back(local, dataAt + packed);
    at = next;
  }
  if (at != stop) return std::nullopt;
  // Entries that share bytes make a small file unpack to many times its size.
  std::sort(spans.begin(), spans.end());
  for (size_t i = 1; i < spans.size(); ++i)
    if (spans[i].first < spans[i - 1].second) return std::nullopt;
  return entries;
}

bool IsDamagedZip(const QByteArray& bytes) { return EndOfDirectory(bytes) >= 0 && !ReadZipDirectory(bytes); }

void ZipWriter::Add(const QString& name, const QByteArray& data) {
  Add(name, 0, Crc32(data), data, data.size());
}

void ZipWriter::Add(const QString& name, quint32 method, quint32 crc, QByteArrayView packed, qint64 size) {
  const QByteArray utf8 = name.toUtf8();
  const quint32 offset = quint32(zip_.size());
  // Local header: version 2.0, names in UTF-8, no time.
  Put(zip_, 0x04034b50, 4), Put(zip_, 20, 2), Put(zip_, 0x0800, 2), Put(zip_, method, 2), Put(zip_, 0, 4);
  Put(zip_, crc, 4), Put(zip_, quint32(packed.size()), 4), Put(zip_, quint32(size), 4);
  Put(zip_, quint32(utf8.size()), 2), Put(zip_, 0, 2);
  zip_ += utf8;
  zip_ += packed;
  Put(directory_, 0x02014b50, 4), Put(directory_, 20, 2), Put(directory_, 20, 2), Put(directory_, 0x0800, 2);
  Put(directory_, method, 2), Put(directory_, 0, 4), Put(directory_, crc, 4);
  Put(directory_, quint32(packed.size()), 4), Put(directory_, quint32(size), 4);
  Put(directory_, quint32(utf8.size()), 2), Put(directory_, 0, 2), Put(directory_, 0, 2);
  Put(directory_, 0, 2), Put(directory_, 0, 2), Put(directory_, 0, 4), Put(directory_, offset, 4);
  directory_ += utf8;
  ++entries_;
}

QByteArray ZipWriter::Finish() {
  const quint32 offset = quint32(zip_.size());
  zip_ += directory_;
  Put(zip_, 0x06054b50, 4), Put(zip_, 0, 2), Put(zip_, 0, 2), Put(zip_, entries_, 2), Put(zip_, entries_, 2);
  Put(zip_, quint32(directory_.size()), 4), Put(zip_, offset, 4), Put(zip_, 0, 2);
  return zip_;
}

void ZipWriter::Put(QByteArray& out, quint32 value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += char((value >> (8 * i)) & 0xFF);
}

WorkbookPackage::WorkbookPackage() = default;
WorkbookPackage::~WorkbookPackage() = default;

bool WorkbookPackage::Load(const QByteArray& bytes) {
  bytes_ = bytes;
  std::optional<std::vector<ZipEntry>> entries = ReadZipDirectory(bytes_);
  if (!entries) return false;
  entries_ = std::move(*entries);
  for (int i = 0; i < int(entries_.size()); ++i) entryOf_.insert(entries_[i].name, i);
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

const ZipEntry* WorkbookPackage::StoredPart(const QString& name) const {
  const auto found = entryOf_.constFind(name);
  return found == entryOf_.cend() ? nullptr : &entries_[*found];
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
