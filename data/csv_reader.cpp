#include "data/csv_reader.h"

#include <QFile>
#include <QList>
#include <QStringDecoder>
#include <algorithm>
#include <limits>

#include "data/record_table.h"

namespace data {
namespace {

// Walks the decoded text line by line. A line ends at CR LF, LF or CR, whichever the writer
// used; files that mix them still give one line per line end.
class LineReader {
 public:
  explicit LineReader(QString text) : text_(std::move(text)) {}
  bool AtEnd() const { return position_ >= text_.size(); }
  QStringView ReadLine() {
    const QStringView all(text_);
    // The next CR and the next LF are each searched for once, with the library's fast search.
    const qsizetype end = std::min(Next(u'\r', nextCr_), Next(u'\n', nextLf_));
    const QStringView line = all.sliced(position_, end - position_);
    position_ = end + 1;
    if (end < all.size() && all[end] == u'\r' && position_ < all.size() && all[position_] == u'\n')
      ++position_;
    return line;
  }

 private:
  qsizetype Next(char16_t c, qsizetype& cached) const {
    if (cached < position_) {
      cached = QStringView(text_).indexOf(QChar(c), position_);
      if (cached < 0) cached = text_.size();
    }
    return cached;
  }
  QString text_;
  qsizetype position_ = 0;
  qsizetype nextCr_ = -1, nextLf_ = -1;
};

// Quote runs of odd length: each opens or closes a quoted section.
int OddQuoteRuns(QStringView line) {
  int odd = 0;
  for (qsizetype p = line.indexOf(u'"'); p >= 0;) {
    const int n = CountRun(line, u'"', p);
    odd += n % 2;
    p = line.indexOf(u'"', p + n);
  }
  return odd;
}

// The fields of one record, as views into the record itself or, when quotes had to be taken
// out, into a buffer of the unquoted text. Reused from record to record, so that a long import
// allocates little beyond the texts it keeps.
class RecordFields {
 public:
  // Splits a record. A quoted section left open by the end of the file runs to the end.
  void Split(QStringView record) {
    spans_.clear();
    if (!record.contains(u'"')) {
      base_ = record;
      qsizetype from = 0;
      for (qsizetype comma = record.indexOf(u','); comma >= 0; comma = record.indexOf(u',', from)) {
        spans_.push_back({from, comma - from});
        from = comma + 1;
      }
      spans_.push_back({from, record.size() - from});
      complete_ = true;
      return;
    }
    unquoted_.truncate(0);
    qsizetype fieldStart = 0;
    bool quoted = false;
    qsizetype p = 0;
    while (p < record.size()) {
      // Copy the plain run up to the next quote, or the next comma outside quotes, at once.
      qsizetype next = p;
      while (next < record.size() && record[next] != u'"' && (quoted || record[next] != u',')) ++next;
      unquoted_.append(record.sliced(p, next - p));
      p = next;
      if (p == record.size()) break;
      if (record[p] == u',') {
        spans_.push_back({fieldStart, unquoted_.size() - fieldStart});
        fieldStart = unquoted_.size();
        ++p;
        continue;
      }
      const int n = CountRun(record, u'"', p);
      if (n % 2) quoted = !quoted;
      for (int i = 0; i < n / 2; ++i) unquoted_.append(u'"');
      p += n;
    }
    spans_.push_back({fieldStart, unquoted_.size() - fieldStart});
    base_ = unquoted_;
    complete_ = !quoted;
  }

  bool complete() const { return complete_; }
  qsizetype size() const { return qsizetype(spans_.size()); }
  QStringView at(qsizetype i) const { return base_.sliced(spans_[i].first, spans_[i].second); }
  QStringList ToList() const {
    QStringList list;
    for (qsizetype i = 0; i < size(); ++i) list << at(i).toString();
    return list;
  }

  // A record of several lines is joined here.
  QString joined;

 private:
  QStringView base_;
  QString unquoted_;
  std::vector<std::pair<qsizetype, qsizetype>> spans_;
  bool complete_ = true;
};

// Reads one record into `fields`; false for an empty line, which leaves its row empty.
bool ReadRecord(LineReader& lines, RecordFields& fields) {
  const QStringView first = lines.ReadLine();
  if (first.isEmpty()) return false;
  int odd = OddQuoteRuns(first);
  if (odd % 2 == 0) {
    fields.Split(first);
    return true;
  }
  fields.joined = first.toString();
  while (odd % 2 && !lines.AtEnd()) {
    const QStringView next = lines.ReadLine();
    // A line break inside quotes is one line feed, whatever its form in the file.
    fields.joined += u'\n';
    fields.joined += next;
    odd += OddQuoteRuns(next);
  }
  fields.Split(fields.joined);
  return true;
}

void Append(QString& field, QStringView text, bool filterLineBreaks) {
  if (!filterLineBreaks) {
    field += text;
    return;
  }
  for (qsizetype p = 0; p < text.size();) {
    qsizetype next = p;
    while (next < text.size() && text[next] != u'\r' && text[next] != u'\n') ++next;
    field += text.sliced(p, next - p);
    p = next + 1;
  }
}

template <typename Fields>
MappedFields MapFields(const CompiledExpressions& compiled, const Fields& fields, bool filterLineBreaks) {
  MappedFields result;
  for (int e = 0; e < 3; ++e) {
    QString& field = result[e];
    qsizetype length = 0;
    for (const CompiledItem& item : compiled[e])
      length += item.isLiteral
                    ? item.literal.size()
                    : (item.field >= 0 && item.field < fields.size() ? fields.at(item.field).size() : 0);
    field.reserve(length);
    for (const CompiledItem& item : compiled[e]) {
      if (item.isLiteral) {
        field += item.literal;
      } else if (item.field >= 0 && item.field < fields.size()) {
        Append(field, fields.at(item.field), filterLineBreaks);
      }
    }
    if (field.contains(u'\n')) field = MarkLineBreaks(std::move(field));
  }
  result[kPostcodeField] = PadPostcode(std::move(result[kPostcodeField]));
  return result;
}

// UTF-16 without a byte-order mark, when the file plainly is: GB18030 and UTF-8 text has no zero
// bytes, while the commas and line ends of a UTF-16 file each bring one. Read in the right byte
// order they are commas and line ends; read in the wrong one they become U+2C00, U+0D00 and
// U+0A00, which no address list holds.
std::optional<QString> PlainUtf16(const QByteArray& bytes) {
  if (bytes.size() < 2 || bytes.size() % 2 || !bytes.contains('\0')) return std::nullopt;
  for (const QStringConverter::Encoding encoding : {QStringConverter::Utf16LE, QStringConverter::Utf16BE}) {
    QStringDecoder decoder(encoding);
    QString text = decoder(bytes);
    const bool separated = text.contains(u',') || text.contains(u'\n') || text.contains(u'\r');
    const bool swapped =
        text.contains(QChar(0x2C00)) || text.contains(QChar(0x0D00)) || text.contains(QChar(0x0A00));
    if (!decoder.hasError() && separated && !swapped) return text;
  }
  return std::nullopt;
}

// Calls `line` with each line's bytes and `end` with each run of line-end bytes. CR and LF
// never occur inside a GB18030 or UTF-8 character, so the bytes can be cut there.
template <typename Line, typename End>
void ForEachByteLine(QByteArrayView bytes, Line line, End end) {
  qsizetype nextCr = -1, nextLf = -1;
  const auto next = [&](char c, qsizetype& cached, qsizetype from) {
    if (cached < from) {
      cached = bytes.indexOf(c, from);
      if (cached < 0) cached = bytes.size();
    }
    return cached;
  };
  for (qsizetype p = 0; p < bytes.size();) {
    qsizetype q = std::min(next('\r', nextCr, p), next('\n', nextLf, p));
    if (line(bytes.sliced(p, q - p))) return;
    p = q;
    while (q < bytes.size() && (bytes[q] == '\r' || bytes[q] == '\n')) ++q;
    end(bytes.sliced(p, q - p));
    p = q;
  }
}

bool IsIdeograph(char32_t c) { return (c >= 0x3400 && c <= 0x9FFF) || (c >= 0x20000 && c <= 0x3134F); }

// A file put together from a UTF-8 and a GB18030 export: some line is valid UTF-8 with Chinese
// in it. Four ideographs in a row of GB18030 bytes that also happen to be valid UTF-8 do not occur
// in practice, so a GB18030 file is never taken for one.
bool HasUtf8Lines(const QByteArray& bytes) {
  bool found = false;
  ForEachByteLine(
      bytes,
      [&](QByteArrayView line) {
        if (!line.isValidUtf8()) return false;
        int ideographs = 0;
        for (const char32_t c : QString::fromUtf8(line).toUcs4()) ideographs += IsIdeograph(c);
        found = ideographs >= 4;
        return found;
      },
      [](QByteArrayView) {});
  return found;
}

// Each line in the encoding it was written in: UTF-8 where it is valid UTF-8, else GB18030.
QString DecodeLineByLine(const QByteArray& bytes) {
  QString text;
  text.reserve(bytes.size());
  QStringDecoder gb18030("GB18030");
  ForEachByteLine(
      bytes,
      [&](QByteArrayView line) {
        if (line.isValidUtf8()) {
          text += QString::fromUtf8(line);
        } else {
          text += gb18030(line);
          gb18030.resetState();
        }
        return false;
      },
      [&](QByteArrayView end) { text += QLatin1StringView(end.data(), end.size()); });
  if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
  return text;
}

std::optional<QString> ReadCsvFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray bytes = file.readAll();
  if (file.error() != QFileDevice::NoError) return std::nullopt;
  return DecodeCsvBytes(bytes);
}

}  // namespace

int CountRun(QStringView text, QChar c, qsizetype start) {
  qsizetype p = std::max<qsizetype>(start, 0);
  const qsizetype from = p;
  while (p < text.size() && text[p] == c) ++p;
  return int(p - from);
}

int CountOccurrences(QStringView text, QStringView search) {
  if (search.isEmpty()) return 0;
  int count = 0;
  for (qsizetype p = text.indexOf(search); p >= 0; p = text.indexOf(search, p + search.size())) ++count;
  return count;
}

std::optional<QStringList> SplitCsvRecord(QStringView record) {
  RecordFields fields;
  fields.Split(record);
  if (!fields.complete()) return std::nullopt;
  return fields.ToList();
}

QString DecodeCsvBytes(const QByteArray& bytes) {
  if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
    QStringDecoder utf16(QStringConverter::Utf16);
    return utf16(bytes);
  }
  if (std::optional<QString> utf16 = PlainUtf16(bytes)) return std::move(*utf16);
  // The check stops at the first byte that cannot be UTF-8, which in a Chinese file comes early.
  if (QByteArrayView(bytes).isValidUtf8()) {
    QStringDecoder utf8(QStringConverter::Utf8);
    return utf8(bytes);
  }
  if (HasUtf8Lines(bytes)) return DecodeLineByLine(bytes);
  QStringDecoder gb18030("GB18030");
  return gb18030(bytes);
}

bool IsCsvPath(const QString& path) { return path.endsWith(u".csv", Qt::CaseInsensitive); }

int ImportRowCount(int start, int end) {
  const qint64 count = qint64(end) - qint64(start) + 1;
  return int(std::clamp<qint64>(count, 0, kMaxImportRows));
}

PreviewCells PreviewCsv(const QString& path, int* rowCount) {
  PreviewCells cells;
  if (rowCount) *rowCount = 0;
  if (!IsCsvPath(path)) return cells;
  const std::optional<QString> text = ReadCsvFile(path);
  if (!text) return cells;
  LineReader lines(*text);
  RecordFields fields;
  for (int r = 0; !lines.AtEnd() && (r < kPreviewRows || rowCount); ++r) {
    if (!ReadRecord(lines, fields)) continue;
    if (rowCount) *rowCount = r + 1;
    for (int c = 0; r < kPreviewRows && c < kPreviewColumns && c < fields.size(); ++c)
      cells[r][c] = fields.at(c).toString();
  }
  return cells;
}

MappedFields MapCsvRecord(const Expressions& normalised, const QStringList& fields, bool filterLineBreaks) {
  return MapCsvRecord(CompileCsvExpressions(normalised), fields, filterLineBreaks);
}

CompiledExpressions CompileCsvExpressions(const Expressions& normalised) {
  CompiledExpressions compiled;
  for (int e = 0; e < 3; ++e) {
    if (normalised[e].isEmpty()) continue;
    for (QStringView item : QStringView(normalised[e]).split(u',')) {
      // Unlike a workbook item, a CSV item is not trimmed before the literal test.
      if (IsLiteral(item)) {
        compiled[e].push_back({true, LiteralText(item).toString(), -1});
      } else {
        const std::optional<int> column = ColumnNumber(item);
        compiled[e].push_back({false, QString(), column ? *column - 1 : -1});
      }
    }
  }
  return compiled;
}

MappedFields MapCsvRecord(const CompiledExpressions& compiled, const QStringList& fields,
                          bool filterLineBreaks) {
  return MapFields(compiled, fields, filterLineBreaks);
}

bool ImportCsv(RecordTable& grid, const QString& path, int start, std::optional<int> end,
               Expressions& expressions, bool filterLineBreaks) {
  if (!IsCsvPath(path)) return true;
  std::optional<QString> text = ReadCsvFile(path);
  if (!text) return false;
  for (QString& expression : expressions) expression = NormaliseExpression(expression);
  grid.ReplaceAll(CsvRecords(std::move(*text), start, end, expressions, filterLineBreaks));
  return true;
}

std::vector<Record> CsvRecords(QString text, int start, std::optional<int> end, const Expressions& normalised,
                               bool filterLineBreaks) {
  LineReader lines(std::move(text));
  for (int skipped = 1; skipped < start && !lines.AtEnd(); ++skipped) lines.ReadLine();
  const CompiledExpressions compiled = CompileCsvExpressions(normalised);

  // Rows are set aside as records are read, never for the whole range asked for at once.
  const qsizetype wanted = end ? ImportRowCount(start, *end) : kMaxImportRows;
  std::vector<Record> records;
  size_t filled = 0;
  RecordFields fields;
  while (qsizetype(records.size()) < wanted && !lines.AtEnd()) {
    Record& record = records.emplace_back();
    record[kNumberColumn] = QString::number(records.size());
    if (!ReadRecord(lines, fields)) continue;
    filled = records.size();
    const MappedFields mapped = MapFields(compiled, fields, filterLineBreaks);
    record[kNameColumn] = mapped[kRecipientField];
    record[kPostcodeColumn] = mapped[kPostcodeField];
    record[kAddressColumn] = mapped[kAddressField];
  }
  if (end) {
    // The rows asked for beyond the end of the file stay empty, numbered.
    while (qsizetype(records.size()) < wanted) {
      Record& record = records.emplace_back();
      record[kNumberColumn] = QString::number(records.size());
    }
  } else {
    records.resize(filled);  // blank lines at the end of the file hold no row
  }
  return records;
}

}  // namespace data
