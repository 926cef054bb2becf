// liborcus 0.17 passes over .xlsx cells that keep their text in the sheet itself
// (t="inlineStr") instead of in the shared string table. Excel and LibreOffice never write
// them, but many export tools do, so they are read here from the sheet's own XML.
#include "data/xlsx_inline_strings.h"

#include <QXmlStreamReader>

#include "data/workbook_package.h"

namespace data::detail {
namespace {

using namespace Qt::Literals::StringLiterals;

// "B12" as 0-based row and column; false for anything else.
bool ParseReference(QStringView reference, int& row, int& column) {
  int letters = 0, digits = 0, r = 0, c = 0;
  for (const QChar ch : reference) {
    const char16_t u = ch.toUpper().unicode();
    if (u >= u'A' && u <= u'Z' && digits == 0 && letters < 3) {
      c = c * 26 + (u - u'A' + 1);
      ++letters;
    } else if (u >= u'0' && u <= u'9' && letters > 0 && digits < 7) {
      r = r * 10 + (u - u'0');
      ++digits;
    } else if (u != u'$') {
      return false;
    }
  }
  if (r < 1 || c < 1) return false;
  row = r - 1;
  column = c - 1;
  return true;
}

// The text of an <is> element: its <t> elements, leaving out phonetic runs (<rPh>).
QString InlineText(QXmlStreamReader& xml) {
  QString text;
  int phonetic = 0;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement()) {
      if (xml.name() == u"rPh")
        ++phonetic;
      else if (xml.name() == u"t" && phonetic == 0)
        text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
    } else if (xml.isEndElement()) {
      if (xml.name() == u"rPh")
        --phonetic;
      else if (xml.name() == u"is")
        break;
    }
  }
  return text;
}

}  // namespace

void ReadXlsxInlineStrings(const QByteArray& bytes, const QString& sheetName,
                           const std::function<void(int row, int column, QString text)>& add) {
  WorkbookPackage package;
  if (!package.Load(bytes)) return;
  const QString part = package.SheetPart(sheetName);
  if (part.isEmpty()) return;
  const std::vector<unsigned char> bytesOfSheet = package.PartBytes(part);
  const QByteArray sheetXml = QByteArray::fromRawData(reinterpret_cast<const char*>(bytesOfSheet.data()),
                                                      qsizetype(bytesOfSheet.size()));
  if (!sheetXml.contains("inlineStr")) return;

  // Rows and cells without a reference follow the one before them.
  QXmlStreamReader xml(sheetXml);
  int row = -1, column = -1;
  bool inlineCell = false;
  while (!xml.atEnd()) {
    xml.readNext();
    if (!xml.isStartElement()) continue;
    const QXmlStreamAttributes a = xml.attributes();
    if (xml.name() == u"row") {
      bool ok = false;
      const int number = a.value(u"r"_s).toInt(&ok);
      row = ok && number > 0 ? number - 1 : row + 1;
      column = -1;
    } else if (xml.name() == u"c") {
      int cellRow = row, cellColumn = column + 1;
      const bool placed = !a.hasAttribute(u"r"_s) || ParseReference(a.value(u"r"_s), cellRow, cellColumn);
      if (placed) {
        row = cellRow;
        column = cellColumn;
      }
      inlineCell = placed && row >= 0 && a.value(u"t"_s) == u"inlineStr";
    } else if (xml.name() == u"is" && inlineCell) {
      add(row, column, InlineText(xml));
      inlineCell = false;
    }
  }
}

}  // namespace data::detail
