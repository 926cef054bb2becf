#pragma once
// The posting list (交寄清单) handed in at the post office counter with a bulk or registered
// mailing: every item with its number, recipient, postcode and address, an empty column for the
// registered-mail number, sorted by postcode, then the count per postal zone (the postcode's first
// three digits) and the total. Drawn on A4 through the printer device, or written as a workbook
// or CSV with the same rows.

#include <QDate>
#include <QString>
#include <vector>

#include "data/record_table.h"
#include "editor/envelope_model.h"
#include "print/printer_device.h"

namespace print {

struct PostingList {
  QString sender;  // the sender's name and address as one line
  QDate date;
  std::vector<data::Record> items;             // sorted by postcode; column 0 is the item's 序号
  std::vector<std::pair<QString, int>> zones;  // zone (first three digits) and its count, ascending
  int total() const { return int(items.size()); }
};

// The sender's line of the header: the envelope's sender address (which carries the name) and
// sender postcode.
QString SenderOf(const editor::EnvelopeModel& envelope);

// The list for `records` (the last run's, or the shown ones), numbered 1.. in postcode order.
// Postcodes without three leading digits count in a zone of their own, named last.
PostingList MakePostingList(const std::vector<data::Record>& records, const QString& sender, QDate date);

// Draws the list on A4 pages, a header on each; returns the number of pages.
int DrawPostingList(PrinterDevice& device, const PostingList& list);

// The list as a PDF, a workbook or a CSV file by the path's suffix (.pdf, .xlsx, anything else
// CSV). Returns the empty text on success, else the reason for the user.
QString WritePostingList(const QString& path, const PostingList& list);
// Whether a file of this suffix (without the dot, any case) is one the posting list is written as.
bool IsPostingListSuffix(const QString& suffix);

}  // namespace print
