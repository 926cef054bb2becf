// .xls workbooks (BIFF in a compound file) through FreeXL.
//
// FreeXL trusts the lengths a file gives its records, and some crafted files crash it inside
// freexl_open. On POSIX systems the reading therefore happens in a forked child that sends the
// sheet names and cells back through a pipe; a child that crashes, hangs or breaks off its answer
// leaves the file reported as damaged, and the program goes on.
#include <freexl.h>

#include <QDataStream>
#include <QDeadlineTimer>
#include <QFile>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#endif

#include "common/numbers.h"
#include "data/workbook.h"

namespace data::detail {
namespace {

// The largest sheet of the BIFF8 format.
constexpr int kXlsRows = 65536;
constexpr int kXlsColumns = 256;

// FreeXL's failures as the import's error numbers.
int ErrorFor(int freexlCode) {
  switch (freexlCode) {
    case FREEXL_FILE_NOT_FOUND:
      return kWorkbookCannotOpen;
    case FREEXL_INSUFFICIENT_MEMORY:
      return 7;  // out of memory
    case FREEXL_INVALID_CFBF_HEADER:
    case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
      return kWorkbookWrongType;  // a compound file without a workbook, such as a .doc
    default:
      return kWorkbookCannotOpen;  // damaged or truncated
  }
}

class Handle {
 public:
  ~Handle() {
    if (handle_) freexl_close(handle_);
  }
  const void** out() { return &handle_; }
  const void* get() const { return handle_; }

 private:
  const void* handle_ = nullptr;
};

QString CellText(const FreeXL_CellValue& value) {
  switch (value.type) {
    case FREEXL_CELL_INT:
      return QString::number(value.value.int_value);
    case FREEXL_CELL_DOUBLE:
      return common::NumberText(value.value.double_value);
    case FREEXL_CELL_TEXT:
    case FREEXL_CELL_SST_TEXT:
    case FREEXL_CELL_DATE:
    case FREEXL_CELL_DATETIME:
    case FREEXL_CELL_TIME:
      return value.value.text_value ? QString::fromUtf8(value.value.text_value) : QString();
    default:
      return {};
  }
}

int ReadInProcess(const QByteArray& path, const QString* sheetName, QStringList& names, Worksheet* sheet) {
  Handle xls;
  if (const int code = freexl_open(path.constData(), xls.out()); code != FREEXL_OK)
    return ErrorFor(code);
  unsigned int info = 0;
  // An encrypted workbook cannot be read.
  if (freexl_get_info(xls.get(), FREEXL_BIFF_PASSWORD, &info) == FREEXL_OK && info == FREEXL_BIFF_OBFUSCATED)
    return kWorkbookCannotOpen;
  unsigned int count = 0;
  if (const int code = freexl_get_info(xls.get(), FREEXL_BIFF_SHEET_COUNT, &count); code != FREEXL_OK)
    return ErrorFor(code);
  int wanted = -1;
  for (unsigned int i = 0; i < count; ++i) {
    const char* name = nullptr;
    if (const int code = freexl_get_worksheet_name(xls.get(), (unsigned short)i, &name); code != FREEXL_OK)
      return ErrorFor(code);
    names << QString::fromUtf8(name ? name : "");
    if (sheetName && wanted < 0 && names.back() == *sheetName) wanted = int(i);
  }
  if (!sheet) return kWorkbookOk;
  if (wanted < 0) return kWorkbookNoSuchSheet;

  if (const int code = freexl_select_active_worksheet(xls.get(), (unsigned short)wanted); code != FREEXL_OK)
    return ErrorFor(code);
  unsigned int rows = 0;
  unsigned short columns = 0;
  if (const int code = freexl_worksheet_dimensions(xls.get(), &rows, &columns); code != FREEXL_OK)
    return ErrorFor(code);
  sheet->SetLimits(kXlsRows, kXlsColumns);
  for (unsigned int r = 0; r < rows && r < unsigned(kXlsRows); ++r) {
    for (unsigned short c = 0; c < columns && c < kXlsColumns; ++c) {
      FreeXL_CellValue value;
      if (freexl_get_cell_value(xls.get(), r, c, &value) != FREEXL_OK) continue;
      sheet->SetCell(int(r), int(c), CellText(value));
    }
  }
  return kWorkbookOk;
}

#ifdef Q_OS_UNIX

constexpr qint32 kEndOfCells = -1;

QByteArray EncodeAnswer(int code, const QStringList& names, const Worksheet* sheet) {
  QByteArray answer;
  QDataStream out(&answer, QIODevice::WriteOnly);
  out << qint32(code) << names;
  if (sheet) {
    sheet->ForEachCell([&out](int row, int column, const QString& text) {
      out << qint32(row) << qint32(column) << text;
    });
  }
  out << kEndOfCells;
  return answer;
}

// The child's answer as the reader's result; kWorkbookCannotOpen when it is cut off or garbled.
int DecodeAnswer(const QByteArray& answer, QStringList& names, Worksheet* sheet) {
  QDataStream in(answer);
  qint32 code = kWorkbookCannotOpen;
  QStringList sentNames;
  in >> code >> sentNames;
  if (sheet) sheet->SetLimits(kXlsRows, kXlsColumns);
  for (;;) {
    qint32 row = kEndOfCells;
    in >> row;
    if (in.status() != QDataStream::Ok) return kWorkbookCannotOpen;
    if (row == kEndOfCells) break;
    qint32 column = 0;
    QString text;
    in >> column >> text;
    if (sheet) sheet->SetCell(row, column, std::move(text));
  }
  names = sentNames;
  return code;
}

bool WriteAll(int fd, const QByteArray& bytes) {
  for (qsizetype done = 0; done < bytes.size();) {
    const ssize_t n = write(fd, bytes.constData() + done, size_t(bytes.size() - done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    done += n;
  }
  return true;
}

// Everything the child writes until it closes the pipe; false when the deadline passes first.
bool ReadUntilClosed(int fd, const QDeadlineTimer& deadline, QByteArray& bytes) {
  char chunk[65536];
  for (;;) {
    pollfd ready{fd, POLLIN, 0};
    const int polled = poll(&ready, 1, int(qBound(qint64(0), deadline.remainingTime(), qint64(1000))));
    if (polled < 0 && errno == EINTR) continue;
    if (polled < 0) return false;
    if (polled == 0) {
      if (deadline.hasExpired()) return false;
      continue;
    }
    const ssize_t n = read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    bytes.append(chunk, n);
  }
}

void Reap(pid_t child) {
  while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
  }
}

#endif

}  // namespace

int ReadXlsFile(const QString& path, const QString* sheetName, QStringList& names, Worksheet* sheet,
                int limitMs) {
  const QByteArray encodedPath = QFile::encodeName(path);
#ifdef Q_OS_UNIX
  int pipeEnds[2];
  if (pipe2(pipeEnds, O_CLOEXEC) != 0) return kWorkbookCannotOpen;
  const pid_t child = fork();
  if (child < 0) {
    close(pipeEnds[0]);
    close(pipeEnds[1]);
    return kWorkbookCannotOpen;
  }
  if (child == 0) {
    // The child only reads and writes its answer; _exit skips the parent's exit handlers.
    close(pipeEnds[0]);
    QStringList childNames;
    Worksheet childSheet;
    const int code = ReadInProcess(encodedPath, sheetName, childNames, sheet ? &childSheet : nullptr);
    const bool sent = WriteAll(pipeEnds[1], EncodeAnswer(code, childNames, sheet ? &childSheet : nullptr));
    _exit(sent ? 0 : 1);
  }
  close(pipeEnds[1]);
  QByteArray answer;
  const bool complete = ReadUntilClosed(pipeEnds[0], QDeadlineTimer(limitMs), answer);
  close(pipeEnds[0]);
  if (!complete) kill(child, SIGKILL);
  Reap(child);
  return complete ? DecodeAnswer(answer, names, sheet) : kWorkbookCannotOpen;
#else
  Q_UNUSED(limitMs);
  return ReadInProcess(encodedPath, sheetName, names, sheet);
#endif
}

}  // namespace data::detail
