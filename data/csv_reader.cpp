#include "data/csv_reader.h"

#include <QFile>
#include <QList>
#include <QStringDecoder>

#include "data/record_table.h"

namespace data {
namespace {

// Walks the decoded text line by line.
class LineReader {
 public:
  explicit LineReader(QString text) : text_(std::move(text)) {}
  bool AtEnd() const { return position_ >= text_.size(); }
  QStringView ReadLine() {
    const QStringView all(text_);
    qsizetype end = all.indexOf(u'\r', position_);
    if (end < 0) end = all.size();
    const QStringView line = all.sliced(position_, end - position_);
    position_ = end + 1;
    if (position_ < all.size() && all[position_] == u'\n') ++position_;
    return line;
  }

 private:
  QString text_;
  qsizetype position_ = 0;
};

// Quote runs of odd length: each opens or closes a quoted section.
int OddQuoteRuns(QStringView line) {
  int odd = 0;
  for (qsizetype p = line.indexOf(u'"'); p >= 0; ) {
    const int n = CountRun(line, u'"', p);
    odd += n % 2;
    p = line.indexOf(u'"', p + n);
  }
  return odd;
}

// Splits a record into fields. A quoted section left open by the end of the file runs to the
// end of the record.
QStringList SplitFields(QStringView record, bool* complete) {
  QStringList fields;
  QString field;
  bool quoted = false;
  for (qsizetype p = 0; p < record.size();) {
    const QChar c = record[p];
    if (c == u'"') {
      const int n = CountRun(record, u'"', p);
      if (n % 2) quoted = !quoted;
      field.append(QString(n / 2, u'"'));
      p += n;
      continue;
    }
    if (c == u',' && !quoted) {
      fields.append(std::move(field));
      field = QString();
    } else {
      field.append(c);
    }
    ++p;
  }
  fields.append(std::move(field));
  if (complete) *complete = !quoted;
  return fields;
}

// One record: nullopt for an empty line, which leaves its row empty.
std::optional<QStringList> ReadRecord(LineReader& lines) {
  const QStringView first = lines.ReadLine();
  if (first.isEmpty()) return std::nullopt;
  int odd = OddQuoteRuns(first);
  if (odd % 2 == 0) return SplitFields(first, nullptr);
  QString record = first.toString();
  while (odd % 2 && !lines.AtEnd()) {
    const QStringView next = lines.ReadLine();
    record += u"\r\n";
    record += next;
    odd += OddQuoteRuns(next);
  }
  return SplitFields(record, nullptr);
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
  bool complete = false;
  QStringList fields = SplitFields(record, &complete);
  if (!complete) return std::nullopt;
  return fields;
}

QString DecodeCsvBytes(const QByteArray& bytes) {
  if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
    QStringDecoder utf16(QStringConverter::Utf16);
    return utf16(bytes);
  }
  QStringDecoder utf8(QStringConverter::Utf8);
  QString text = utf8(bytes);
  if (!utf8.hasError()) return text;
  QStringDecoder gb18030("GB18030");
  if (gb18030.isValid()) return gb18030(bytes);
  return text;
}

bool IsCsvPath(const QString& path) { return path.endsWith(u".csv", Qt::CaseInsensitive); }

int ImportRowCount(int start, int end) {
  const qint64 count = qint64(end) - qint64(start) + 1;
  return int(std::clamp<qint64>(count, 0, kMaxImportRows));
}

PreviewCells PreviewCsv(const QString& path) {
  PreviewCells cells;
  if (!IsCsvPath(path)) return cells;
  const std::optional<QString> text = ReadCsvFile(path);
  if (!text) return cells;
  LineReader lines(*text);
  for (int r = 0; r < kPreviewRows && !lines.AtEnd(); ++r) {
    const std::optional<QStringList> fields = ReadRecord(lines);
    if (!fields) continue;
    for (int c = 0; c < kPreviewColumns && c < fields->size(); ++c) cells[r][c] = fields->at(c);
  }
  return cells;
}

MappedFields MapCsvRecord(const Expressions& normalised, const QStringList& fields, bool filterLineBreaks) {
  MappedFields result;
  for (int e = 0; e < 3; ++e) {
    const QString& expression = normalised[e];
    QString& field = result[e];
    if (expression.isEmpty()) continue;
    for (QStringView item : QStringView(expression).split(u',')) {
      // Unlike a workbook item, a CSV item is not trimmed before the literal test.
      if (IsLiteral(item)) {
        field += LiteralText(item);
        continue;
      }
      const std::optional<int> column = ColumnNumber(item);
      const qsizetype k = column ? *column - 1 : -1;
      if (k < 0 || k >= fields.size()) continue;
      field += filterLineBreaks ? WithoutLineBreaks(fields[k]) : fields[k];
    }
    field = MarkLineBreaks(std::move(field));
  }
  result[kPostcodeField] = PadPostcode(std::move(result[kPostcodeField]));
  return result;
}

bool ImportCsv(RecordTable& grid, const QString& path, int start, int end, Expressions& expressions,
               bool filterLineBreaks) {
  if (!IsCsvPath(path)) return true;
  const std::optional<QString> text = ReadCsvFile(path);
  if (!text) return false;

  std::vector<Record> records(ImportRowCount(start, end));
  for (size_t i = 0; i < records.size(); ++i) records[i][kNumberColumn] = QString::number(i + 1);

  LineReader lines(*text);
  for (int skipped = 1; skipped < start && !lines.AtEnd(); ++skipped) lines.ReadLine();
  for (QString& expression : expressions) expression = NormaliseExpression(expression);

  for (Record& record : records) {
    if (lines.AtEnd()) break;
    const std::optional<QStringList> fields = ReadRecord(lines);
    if (!fields) continue;
    const MappedFields mapped = MapCsvRecord(expressions, *fields, filterLineBreaks);
    record[kNameColumn] = mapped[kRecipientField];
    record[kPostcodeColumn] = mapped[kPostcodeField];
    record[kAddressColumn] = mapped[kAddressField];
  }
  grid.ReplaceAll(std::move(records));
  return true;
}

}  // namespace data
