// liborcus 0.17 passes over .xlsx cells that keep their text in the sheet itself
// (t="inlineStr") instead of in the shared string table. Excel and LibreOffice never write
// them, but many export tools do, so they are read here from the sheet's own XML.
#include "data/xlsx_inline_strings.h"

#include <QXmlStreamReader>
#include <orcus/zip_archive.hpp>
#include <orcus/zip_archive_stream.hpp>
#include <string_view>
#include <vector>

namespace data::detail {
namespace {

using namespace Qt::Literals::StringLiterals;

const QString kRelationshipsNs = u"http://schemas.openxmlformats.org/officeDocument/2006/relationships"_s;

std::vector<unsigned char> EntryBytes(const orcus::zip_archive& archive, const QString& name) {
  std::vector<unsigned char> bytes;
  const QByteArray utf8 = name.toUtf8();
  if (!archive.read_file_entry(std::string_view(utf8.constData(), size_t(utf8.size())), bytes)) bytes.clear();
  return bytes;
}

QByteArray Entry(const orcus::zip_archive& archive, const QString& name) {
  const std::vector<unsigned char> bytes = EntryBytes(archive, name);
  return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

// A relationship target is relative to the folder of the part that names it, or absolute.
QString ResolvePart(const QString& fromPart, const QString& target) {
  if (target.startsWith(u'/')) return target.mid(1);
  QStringList parts = fromPart.split(u'/');
  parts.removeLast();
  for (const QString& step : target.split(u'/')) {
    if (step == u"..") {
      if (!parts.isEmpty()) parts.removeLast();
    } else if (!step.isEmpty() && step != u".") {
      parts << step;
    }
  }
  return parts.join(u'/');
}

// The target of one of a part's relationships (the package's own for an empty part): the one
// with `id`, or else the first whose type ends with `typeSuffix`.
QString RelationshipTarget(const orcus::zip_archive& archive, const QString& part, const QString& id,
                           const QString& typeSuffix) {
  const int slash = int(part.lastIndexOf(u'/'));
  const QString relsName = part.left(slash + 1) + u"_rels/"_s + part.mid(slash + 1) + u".rels"_s;
  QXmlStreamReader xml(Entry(archive, relsName));
  while (!xml.atEnd()) {
    xml.readNext();
    if (!xml.isStartElement() || xml.name() != u"Relationship") continue;
    const QXmlStreamAttributes a = xml.attributes();
    if ((!id.isEmpty() && a.value(u"Id"_s) == id) || (!typeSuffix.isEmpty() && a.value(u"Type"_s).endsWith(typeSuffix)))
      return ResolvePart(part, a.value(u"Target"_s).toString());
  }
  return {};
}

QString SheetPart(const orcus::zip_archive& archive, const QString& sheetName) {
  const QString workbook = RelationshipTarget(archive, {}, {}, QStringLiteral("/officeDocument"));
  if (workbook.isEmpty()) return {};
  QXmlStreamReader xml(Entry(archive, workbook));
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement() && xml.name() == u"sheet" && xml.attributes().value(u"name"_s) == sheetName)
      return RelationshipTarget(archive, workbook, xml.attributes().value(kRelationshipsNs, u"id"_s).toString(), {});
  }
  return {};
}

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
      if (xml.name() == u"rPh") ++phonetic;
      else if (xml.name() == u"t" && phonetic == 0) text += xml.readElementText(QXmlStreamReader::IncludeChildElements);
    } else if (xml.isEndElement()) {
      if (xml.name() == u"rPh") --phonetic;
      else if (xml.name() == u"is") break;
    }
  }
  return text;
}

}  // namespace

void ReadXlsxInlineStrings(const QByteArray& bytes, const QString& sheetName,
                           const std::function<void(int row, int column, QString text)>& add) {
  std::vector<unsigned char> sheetXml;
  try {
    orcus::zip_archive_stream_blob blob(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
    orcus::zip_archive archive(&blob);
    archive.load();
    const QString part = SheetPart(archive, sheetName);
    if (part.isEmpty()) return;
    sheetXml = EntryBytes(archive, part);
  } catch (const std::exception&) {
    return;
  }
  const std::string_view text(reinterpret_cast<const char*>(sheetXml.data()), sheetXml.size());
  if (text.find("inlineStr") == std::string_view::npos) return;

  // Rows and cells without a reference follow the one before them.
  QXmlStreamReader xml(QByteArray::fromRawData(text.data(), qsizetype(text.size())));
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
