#include "store/postcode_source.h"

#include <QFile>
#include <QSet>
#include <QStringDecoder>

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
  const QStringList lines = text.split(u'\n');
  for (qsizetype i = 0; i < lines.size(); ++i) {
    const int number = int(i) + 1;
    QString line = lines[i];
    if (i == 0 && line.startsWith(QChar(0xFEFF))) line.remove(0, 1);
    if (line.endsWith(u'\r')) line.chop(1);
    if (line.trimmed().isEmpty() || line.startsWith(u'#')) continue;

    const QStringList fields = line.split(u'\t');
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
    PostcodeRow row{fields[0].trimmed(), fields[1].trimmed(), fields[2].trimmed(), number};
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
