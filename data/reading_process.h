#pragma once
// Workbook libraries are fed files from anywhere, and they are not all safe on damaged ones:
// FreeXL trusts the record lengths a file gives and can crash inside freexl_open; liborcus stops
// the program on a failed assertion. Each workbook is therefore read in a short-lived child
// process (where the platform has fork) that sends its sheet names and cells back through a
// pipe. A child that crashes, breaks off its answer or has not answered in time leaves the file
// reported as damaged, and the program goes on.

#include <QStringList>
#include <functional>

#include "data/workbook.h"

namespace data::detail {

// The largest workbook the import is meant for (a million rows of ten columns) takes the reading
// process under 30 s of processor time, and over a minute of wall time when the machine is busy:
// a child that has used a minute of processor time, or is still silent after three minutes, is
// caught in a loop of a crafted file.
constexpr int kReadLimitMs = 180000;

// The memory a reading process may take beyond what it starts with (the program's own, shared
// with it by fork), and its processor time. The largest workbook the import is meant for (a
// million rows of ten columns) needs well under this; a file that asks for more reads as damaged.
constexpr qint64 kReadMemoryBytes = qint64(3) << 30;
constexpr int kReadCpuSeconds = 60;
// The largest answer taken from a reading process (a million rows of ten columns of addresses
// take about a third of it).
constexpr qsizetype kMaxAnswerBytes = qsizetype(1) << 30;

using WorkbookReader = std::function<int(QStringList& names, Worksheet* sheet)>;

// `read`'s result, names and cells, as if it had run here; kWorkbookCannotOpen when the child
// fails. Without fork, `read` runs in this process.
int ReadInChildProcess(const WorkbookReader& read, QStringList& names, Worksheet* sheet,
                       int limitMs = kReadLimitMs);

}  // namespace data::detail
