#include "store/postcode_source.h"

#include <QFile>
#include <QSet>
#include <QStringDecoder>

#include "common/tsv.h"

namespace DataBase {
namespace {

bool IsSixDigits(const QString& code) {
  if (code.size() != 6) return false;
  for (const QChar c : code)
    if (c < u'0' || c > u'9') return false;
  return true;
}

QString LineError(int line, const QString& what) { return QStringLiteral("line %1: %2").arg(line).arg(what); }

}  // namespace

PostcodeSource ParsePostcodeSource(const QString& text) {
  PostcodeSource source;
  QSet<QString> seen;
  bool headerAllowed = true;
  for (const common::TsvLine& line : common::SplitTsv(text)) {
    const int number = line.number;
    const QStringList& fields = line.fields;
    if (headerAllowed &&
        fields == QStringList{QStringLiteral("省份"), QStringLiteral("地区"), QStringLiteral("邮编")}) {
      headerAllowed = false;
      continue;
    }
    headerAllowed = false;
    if (fields.size() != 3) {
      source.errors << LineError(
          number, QStringLiteral("expected 3 tab-separated fields, found %1").arg(fields.size()));
      continue;
    }
    PostcodeRow row{fields[0], fields[1], fields[2], number};
    if (row.province.isEmpty() || row.region.isEmpty()) {
      source.errors << LineError(number, QStringLiteral("empty province or region"));
      continue;
    }
    if (!IsSixDigits(row.postcode)) {
      source.errors << LineError(number,
                                 QStringLiteral("postcode \"%1\" is not six digits").arg(row.postcode));
      continue;
    }
    const QString pair = row.province + u'\t' + row.region;
    if (seen.contains(pair)) {
      source.errors << LineError(number,
                                 QStringLiteral("%1 / %2 occurs twice").arg(row.province, row.region));
      continue;
    }
    seen.insert(pair);
    source.rows.push_back(std::move(row));
  }
  return source;
}

PostcodeSource ReadPostcodeSource(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    PostcodeSource source;
    source.errors << QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
    return source;
  }
  QStringDecoder utf8(QStringDecoder::Utf8);
  const QString text = utf8(file.readAll());
  if (utf8.hasError()) {
    PostcodeSource source;
    source.errors << QStringLiteral("%1 is not UTF-8 text").arg(path);
    return source;
  }
  return ParsePostcodeSource(text);
}

}  // namespace DataBase
