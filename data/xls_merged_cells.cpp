#include "data/xls_merged_cells.h"

#include <algorithm>
#include <optional>

#include "data/little_endian.h"

namespace data::detail {
namespace {

constexpr quint32 kEndOfChain = 0xFFFFFFFE;
// Streams shorter than this live in the mini stream; the format fixes it, whatever a header says.
constexpr quint32 kMiniStreamCutoff = 4096;

quint32 U16(QByteArrayView bytes, qsizetype at) { return U16At(bytes, at); }
quint32 U32(QByteArrayView bytes, qsizetype at) { return U32At(bytes, at); }
// `count` UTF-16 code units from `at` on, as far as the bytes go.
QString Utf16(QByteArrayView bytes, qsizetype at, qsizetype count) {
  QString text;
  for (qsizetype i = 0; i < count && at + 2 * i + 2 <= bytes.size(); ++i)
    text += QChar(char16_t(U16(bytes, at + 2 * i)));
  return text;
}

// A compound file (the container of .xls workbooks): its sectors, allocation table and streams.
class CompoundFile {
 public:
  explicit CompoundFile(const QByteArray& file) : file_(file) {
    if (!file.startsWith(QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8))) return;
    const quint32 shift = U16(file_, 0x1E), miniShift = U16(file_, 0x20);
    if ((shift != 9 && shift != 12) || miniShift != 6) return;
    sectorSize_ = qsizetype(1) << shift;
    // The allocation table's sectors: 109 in the header, the rest in a chain of DIFAT sectors.
    std::vector<quint32> fatSectors;
    for (int i = 0; i < 109; ++i) fatSectors.push_back(U32(file_, 0x4C + 4 * i));
    quint32 difat = U32(file_, 0x44);
    for (qsizetype guard = 0; difat < kEndOfChain && guard < SectorCount(); ++guard) {
      const qsizetype at = Offset(difat);
      if (at < 0) break;
      for (qsizetype i = 0; i + 1 < sectorSize_ / 4; ++i) fatSectors.push_back(U32(file_, at + 4 * i));
      difat = U32(file_, at + sectorSize_ - 4);
    }
    // Entries past the file's own sectors could name nothing: a crafted table that claims more
    // (the same sector listed again and again) is cut there.
    const quint32 fatCount = U32(file_, 0x2C);
    const size_t sectors = size_t(SectorCount());
    for (quint32 i = 0; i < fatCount && i < fatSectors.size() && fat_.size() < sectors; ++i) {
      const qsizetype at = Offset(fatSectors[i]);
      if (at < 0) break;
      for (qsizetype j = 0; j < sectorSize_ / 4 && fat_.size() < sectors; ++j)
        fat_.push_back(U32(file_, at + 4 * j));
    }
    // Every chain is cut at the size its stream declares, and no size is taken beyond the file:
    // a chain that loops, or claims more, costs at most the file's size once.
    const auto sectorBytes = [this](quint32 s) { return SectorBytes(s); };
    directory_ = Chain(U32(file_, 0x30), fat_, file_.size(), sectorBytes);
    miniFat_ = ToWords(Chain(U32(file_, 0x3C), fat_,
                             std::min(qsizetype(U32(file_, 0x40)) * sectorSize_, file_.size()), sectorBytes));
    miniStream_ = Chain(U32(directory_, 0x74), fat_, std::min(qsizetype(U32(directory_, 0x78)), file_.size()),
                        sectorBytes);
  }

  // The stream of that name; nullopt when there is none.
  std::optional<QByteArray> Stream(const QString& name) const {
    for (qsizetype at = 0; at + 128 <= directory_.size(); at += 128) {
      const qsizetype length = qsizetype(U16(directory_, at + 0x40));
      if (directory_[at + 0x42] != 2 || length < 2 || length > 64) continue;
      if (Utf16(directory_, at, length / 2 - 1) != name) continue;
      const quint32 start = U32(directory_, at + 0x74), size = U32(directory_, at + 0x78);
      if (size < kMiniStreamCutoff)
        return Chain(start, miniFat_, qsizetype(size), [this](quint32 s) { return MiniSectorBytes(s); });
      return Chain(start, fat_, std::min(qsizetype(size), file_.size()),
                   [this](quint32 s) { return SectorBytes(s); });
    }
    return std::nullopt;
  }

 private:
  qsizetype SectorCount() const { return sectorSize_ ? file_.size() / sectorSize_ : 0; }
  qsizetype Offset(quint32 sector) const {
    const qsizetype at = (qsizetype(sector) + 1) * sectorSize_;
    return sector < kEndOfChain && at + sectorSize_ <= file_.size() ? at : -1;
  }
  QByteArrayView SectorBytes(quint32 sector) const {
    const qsizetype at = Offset(sector);
    return at < 0 ? QByteArrayView() : QByteArrayView(file_).sliced(at, sectorSize_);
  }
  QByteArrayView MiniSectorBytes(quint32 sector) const {
    const qsizetype at = qsizetype(sector) * 64;
    return at + 64 <= miniStream_.size() ? QByteArrayView(miniStream_).sliced(at, 64) : QByteArrayView();
  }
  // The sectors of a chain joined up to `size` bytes; a chain that ends early, or comes back to
  // a sector it has been through (a loop), gives less.
  template <typename Sector>
  static QByteArray Chain(quint32 start, const std::vector<quint32>& table, qsizetype size, Sector sector) {
    QByteArray bytes;
    std::vector<bool> visited(table.size());
    while (start < table.size() && !visited[start] && bytes.size() < size) {
      visited[start] = true;
      const QByteArrayView part = sector(start);
      if (part.isEmpty()) break;
      bytes += part.first(std::min(part.size(), size - bytes.size()));
      start = table[start];
    }
    return bytes;
  }
  static std::vector<quint32> ToWords(const QByteArray& bytes) {
    std::vector<quint32> words;
    for (qsizetype at = 0; at + 4 <= bytes.size(); at += 4) words.push_back(U32(bytes, at));
    return words;
  }

  const QByteArray& file_;
  qsizetype sectorSize_ = 0;
  std::vector<quint32> fat_, miniFat_;
  QByteArray directory_, miniStream_;
};

constexpr quint32 kBof = 0x0809, kEof = 0x000A, kBoundSheet = 0x0085, kMergedCells = 0x00E5;

// A BIFF8 sheet name: a length in characters, a flag for 16-bit characters, the characters.
QString SheetName(QByteArrayView record) {
  const qsizetype length = qsizetype(U16(record, 6) & 0xFF);
  if (record.size() < 8) return {};
  if (record[7] & 1) return Utf16(record, 8, length);
  return QString::fromLatin1(record.sliced(8).first(std::min(length, record.size() - 8)));
}

}  // namespace

std::vector<MergedArea> ReadXlsMergedAreas(const QByteArray& file, const QString& sheetName) {
  const CompoundFile compound(file);
  // Merged areas were first stored by the 97 format (BIFF8, the "Workbook" stream); the older
  // "Book" stream never holds any, so it is not looked at.
  const std::optional<QByteArray> stream = compound.Stream(QStringLiteral("Workbook"));
  if (!stream) return {};
  const QByteArrayView biff(*stream);
  const auto recordAt = [&](qsizetype at) {
    const qsizetype length = qsizetype(U16(biff, at + 2));
    return at + 4 + length <= biff.size() ? biff.sliced(at + 4, length) : QByteArrayView();
  };
  // The globals name each sheet and where its records begin.
  qsizetype sheetStart = -1;
  for (qsizetype at = 0; at + 4 <= biff.size() && sheetStart < 0; at += 4 + qsizetype(U16(biff, at + 2))) {
    const quint32 type = U16(biff, at);
    if (type == kEof) break;
    if (type == kBoundSheet && SheetName(recordAt(at)) == sheetName)
      sheetStart = qsizetype(U32(recordAt(at), 0));
  }
  std::vector<MergedArea> areas;
  if (sheetStart < 0 || U16(biff, sheetStart) != kBof) return areas;
  // The sheet's records run from its BOF to the matching EOF: a chart on the sheet brings its own
  // BOF ... EOF, and merged areas may come after it.
  int depth = 0;
  for (qsizetype at = sheetStart; at + 4 <= biff.size(); at += 4 + qsizetype(U16(biff, at + 2))) {
    const quint32 type = U16(biff, at);
    if (type == kBof) ++depth;
    if (type == kEof && --depth == 0) break;
    if (type != kMergedCells || depth != 1) continue;
    const QByteArrayView record = recordAt(at);
    const qsizetype count = qsizetype(U16(record, 0));
    for (qsizetype i = 0; i < count && 2 + 8 * (i + 1) <= record.size(); ++i) {
      const qsizetype a = 2 + 8 * i;
      areas.push_back(
          {int(U16(record, a)), int(U16(record, a + 4)), int(U16(record, a + 2)), int(U16(record, a + 6))});
    }
  }
  return areas;
}

}  // namespace data::detail
