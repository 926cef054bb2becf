#include "print/line_filler.h"

namespace print {

bool IsWordChar(const QString& text) {
  if (text.isEmpty()) return false;
  const char16_t c = text.front().unicode();
  return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'.' ||
         c == u',' || c == u'-' || c == u';';
}

QString SafeLeft(const QString& text, qsizetype n) { return n <= 0 ? QString() : text.left(n); }

QString SafeRight(const QString& text, qsizetype n) { return n <= 0 ? QString() : text.right(n); }

QStringList BoxLines(const QString& text) {
  if (text.isEmpty()) return {};
  QString t = text;
  t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return t.split(u'\n');
}

}  // namespace print
