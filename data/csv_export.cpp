#include "data/csv_export.h"

#include <QSaveFile>
#include <QStringEncoder>

#include "data/data_texts.h"

namespace data {
namespace {

void AppendField(QString& out, const QString& field) {
  const bool quoted =
      field.contains(u',') || field.contains(u'"') || field.contains(u'\n') || field.contains(u'\r');
  if (!quoted) {
    out += field;
    return;
  }
  out += u'"';
  for (QChar ch : field) {
    if (ch == u'"') out += u'"';
    out += ch;
  }
  out += u'"';
}

void AppendLine(QString& out, const Record& fields) {
  for (int c = 0; c < kColumnCount; ++c) {
    if (c > 0) out += u',';
    AppendField(out, fields[c]);
  }
  out += u"\r\n";
}

QString WriteBytes(const QString& path, const QByteArray& bytes) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
    return file.errorString();
  return {};
}

}  // namespace

QByteArray RecordsToCsv(const std::vector<Record>& records, CsvEncoding encoding) {
  QString text;
  text.reserve(qsizetype(records.size()) * 40);
  AppendLine(text, Record{kHeaderTexts[0], kHeaderTexts[1], kHeaderTexts[2], kHeaderTexts[3]});
  for (const Record& record : records) AppendLine(text, record);
  if (encoding == CsvEncoding::kGb18030) {
    QStringEncoder encoder("GB18030");
    return encoder.encode(text);
  }
  return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

QString ExportRecords(const QString& path, const std::vector<Record>& records, CsvEncoding encoding) {
  return WriteBytes(path, RecordsToCsv(records, encoding));
}

QString WriteCsvRows(const QString& path, const std::vector<QStringList>& rows) {
  QString text;
  for (const QStringList& row : rows) {
    for (qsizetype c = 0; c < row.size(); ++c) {
      if (c > 0) text += u',';
      AppendField(text, row[c]);
    }
    text += u"\r\n";
  }
  return WriteBytes(path, QByteArray("\xEF\xBB\xBF") + text.toUtf8());
}

}  // namespace data
