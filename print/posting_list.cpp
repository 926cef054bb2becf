#include "print/posting_list.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <map>

#include "common/line_break.h"
#include "data/csv_export.h"
#include "data/record_view.h"
#include "data/xlsx_export.h"
#include "print/pdf_device.h"
#include "print/print_texts.h"

namespace print {
namespace {

constexpr double kMargin = 15;        // mm around the page
constexpr double kRowHeight = 6;      // mm per item
constexpr double kHeaderHeight = 30;  // title, sender, date line and column heads
constexpr double kFontSize = 9;
constexpr double kTitleSize = 15;
// Column widths in mm; the address takes what is left.
constexpr double kNumberWidth = 14, kNameWidth = 32, kPostcodeWidth = 18, kRegisteredWidth = 32;

QString Zone(const QString& postcode) {
  const QString trimmed = postcode.trimmed();
  if (trimmed.size() < 3 ||
      !std::all_of(trimmed.begin(), trimmed.begin() + 3, [](QChar c) { return c.isDigit(); }))
    return {};
  return trimmed.left(3);
}

QString OneLine(QString text) { return text.replace(common::kLineBreakMark, QStringLiteral(" ")); }

// The text cut to `width` with an ellipsis, in the device's current font.
QString Fit(const PrinterDevice& device, const QString& text, double width) {
  if (device.TextWidth(text) <= width) return text;
  QString cut = text;
  while (cut.size() > 1) {
    const double w = device.TextWidth(cut + u'…');
    if (w <= width) break;
    cut.chop(std::max<qsizetype>(1, qsizetype(cut.size() * (1 - width / w))));
  }
  return cut + u'…';
}

void TextAt(PrinterDevice& device, double x, double y, const QString& text) {
  device.SetCurrentPosition({x, y});
  device.PrintText(text);
}

// The rows of the list's table and summary, as the workbook and CSV have them.
std::vector<QStringList> Rows(const PostingList& list) {
  std::vector<QStringList> rows;
  rows.push_back(
      {kPostingTitle, list.sender, list.date.toString(Qt::ISODate), kPostingTotal.arg(list.total())});
  rows.push_back(kPostingColumns);
  for (const data::Record& item : list.items)
    rows.push_back({item[data::kNumberColumn], item[data::kNameColumn], item[data::kPostcodeColumn],
                    OneLine(item[data::kAddressColumn]), QString()});
  rows.push_back({});
  rows.push_back({kPostingZoneHead, kPostingCountHead});
  for (const auto& [zone, count] : list.zones)
    rows.push_back({zone.isEmpty() ? kPostingNoZone : zone, QString::number(count)});
  rows.push_back({kPostingTotalHead, QString::number(list.total())});
  return rows;
}

}  // namespace

QString SenderOf(const editor::EnvelopeModel& envelope) {
  const QString address = OneLine(envelope.box(editor::kSenderAddressBox).text).simplified();
  const QString postcode = envelope.box(editor::kSenderPostcodeBox).text.simplified();
  return postcode.isEmpty() ? address : address + QStringLiteral("　") + postcode;
}

PostingList MakePostingList(const std::vector<data::Record>& records, const QString& sender, QDate date) {
  PostingList list{sender, date, {}, {}};
  for (int i : data::SortOrder(records, data::kPostcodeColumn, false))
    list.items.push_back(records[std::size_t(i)]);
  std::map<QString, int> zones;
  for (std::size_t i = 0; i < list.items.size(); ++i) {
    list.items[i][data::kNumberColumn] = QString::number(i + 1);
    ++zones[Zone(list.items[i][data::kPostcodeColumn])];
  }
  for (const auto& [zone, count] : zones)
    if (!zone.isEmpty()) list.zones.emplace_back(zone, count);
  if (zones.count(QString())) list.zones.emplace_back(QString(), zones[QString()]);
  return list;
}

int DrawPostingList(PrinterDevice& device, const PostingList& list) {
  device.SetPaperSize(QPageSize::A4);
  device.SetOrientation(QPageLayout::Portrait);
  device.SetUnitMillimetres();
  device.SetOrigin({0, 0});
  const double pageHeight = 297, pageWidth = 210;
  const double bodyTop = kMargin + kHeaderHeight;
  const int rowsPerPage = int((pageHeight - kMargin - bodyTop) / kRowHeight);
  const int summaryRows = int(list.zones.size()) + 3;  // a gap, the heads and the total
  const int pages = std::max(1, (list.total() + summaryRows + rowsPerPage - 1) / rowsPerPage);
  const double addressWidth =
      pageWidth - 2 * kMargin - kNumberWidth - kNameWidth - kPostcodeWidth - kRegisteredWidth;
  const double columnX[] = {kMargin, kMargin + kNumberWidth, kMargin + kNumberWidth + kNameWidth,
                            kMargin + kNumberWidth + kNameWidth + kPostcodeWidth,
                            pageWidth - kMargin - kRegisteredWidth};
  const double widths[] = {kNumberWidth, kNameWidth, kPostcodeWidth, addressWidth, kRegisteredWidth};
  common::FontChoice font{kPostingFont, kFontSize};
  const QColor rule(0x80, 0x80, 0x80);

  int row = 0;  // over items, then summary lines
  const int lines = list.total() + summaryRows;
  for (int page = 1; page <= pages; ++page) {
    if (page > 1) device.NewPage();
    font.size = kTitleSize;
    device.SetFont(font);
    TextAt(device, kMargin, kMargin, kPostingTitle);
    font.size = kFontSize;
    device.SetFont(font);
    TextAt(device, kMargin, kMargin + 9, Fit(device, kPostingSender + list.sender, pageWidth - 2 * kMargin));
    TextAt(device, kMargin, kMargin + 15,
           kPostingDateLine.arg(list.date.toString(QStringLiteral("yyyy年M月d日")))
               .arg(list.total())
               .arg(page)
               .arg(pages));
    for (int c = 0; c < 5; ++c) TextAt(device, columnX[c] + 1, bodyTop - 6, kPostingColumns[c]);
    device.DrawLine({kMargin, bodyTop - 0.5}, {pageWidth - kMargin, bodyTop - 0.5}, rule);
    for (int r = 0; r < rowsPerPage && row < lines; ++r, ++row) {
      const double y = bodyTop + r * kRowHeight;
      if (row < list.total()) {
        const data::Record& item = list.items[std::size_t(row)];
        const QString cells[] = {item[data::kNumberColumn], OneLine(item[data::kNameColumn]),
                                 item[data::kPostcodeColumn], OneLine(item[data::kAddressColumn])};
        for (int c = 0; c < 4; ++c)
          TextAt(device, columnX[c] + 1, y + 1, Fit(device, cells[c], widths[c] - 2));
        device.DrawLine({kMargin, y + kRowHeight - 0.3}, {pageWidth - kMargin, y + kRowHeight - 0.3}, rule);
        continue;
      }
      const int s = row - list.total();  // 0: gap, 1: heads, then zones, then the total
      if (s == 1) {
        TextAt(device, columnX[0] + 1, y + 1, kPostingZoneHead);
        TextAt(device, columnX[2] + 1, y + 1, kPostingCountHead);
      } else if (s >= 2 && s < summaryRows - 1) {
        const auto& [zone, count] = list.zones[std::size_t(s - 2)];
        TextAt(device, columnX[0] + 1, y + 1, zone.isEmpty() ? kPostingNoZone : zone);
        TextAt(device, columnX[2] + 1, y + 1, QString::number(count));
      } else if (s == summaryRows - 1) {
        TextAt(device, columnX[0] + 1, y + 1, kPostingTotalHead);
        TextAt(device, columnX[2] + 1, y + 1, QString::number(list.total()));
      }
    }
  }
  device.EndDoc();
  return pages;
}

bool IsPostingListSuffix(const QString& suffix) {
  const QString s = suffix.toLower();
  return s == u"pdf" || s == u"xlsx" || s == u"csv";
}

QString WritePostingList(const QString& path, const PostingList& list) {
  if (list.total() == 0) return kPostingEmpty;
  const QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix == QStringLiteral("pdf")) {
    // Drawn beside the target and renamed: a failed run leaves no half file.
    const QString temp = path + QStringLiteral(".part");
    {
      PdfDevice device(temp, kPdfPrinterName);
      DrawPostingList(device, list);
      if (!device.Finish()) {
        QFile::remove(temp);
        return kPostingNotWritten;
      }
    }
    if (std::rename(QFile::encodeName(temp).constData(), QFile::encodeName(path).constData()) != 0) {
      QFile::remove(temp);
      return kPostingNotWritten;
    }
    return {};
  }
  const std::vector<QStringList> rows = Rows(list);
  if (suffix == QStringLiteral("xlsx"))
    return data::WriteTextWorkbook(path, kPostingTitle, int(rows.size()),
                                   [&](int r, QStringList& cells) { cells = rows[std::size_t(r)]; });
  return data::WriteCsvRows(path, rows);
}

}  // namespace print
