#include "data/reading_process.h"

#include <QByteArray>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QIODevice>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#endif

namespace data::detail {

#ifdef Q_OS_UNIX
#if defined(__has_feature)
#define KOVA_HAS_ADDRESS_SANITIZER __has_feature(address_sanitizer)
#else
#define KOVA_HAS_ADDRESS_SANITIZER 0
#endif

namespace {

QByteArray EncodeAnswer(int code, const QStringList& names, const Worksheet* sheet) {
  QByteArray answer;
  QDataStream out(&answer, QIODevice::WriteOnly);
  out.setByteOrder(QDataStream::LittleEndian);  // the machine's own: no byte swapping
  out << qint32(code) << names << bool(sheet);
  if (sheet) out << *sheet;
  return answer;
}

// The child's answer as the reader's result; kWorkbookCannotOpen when it is cut off or garbled.
int DecodeAnswer(const QByteArray& answer, QStringList& names, Worksheet* sheet) {
  QDataStream in(answer);
  in.setByteOrder(QDataStream::LittleEndian);
  qint32 code = kWorkbookCannotOpen;
  QStringList sentNames;
  bool hasSheet = false;
  in >> code >> sentNames >> hasSheet;
  if (in.status() != QDataStream::Ok || hasSheet != bool(sheet)) return kWorkbookCannotOpen;
  if (sheet) {
    Worksheet sent;
    in >> sent;
    if (in.status() != QDataStream::Ok) return kWorkbookCannotOpen;
    *sheet = std::move(sent);
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

// Everything the child writes until it closes the pipe; false when the deadline passes first or
// the answer grows beyond any real sheet's.
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
    if (bytes.size() + n > kMaxAnswerBytes) return false;
    bytes.append(chunk, n);
  }
}

// The child's limits: its address space as it starts plus kReadMemoryBytes, and its processor
// time. A reader that reaches one fails (an allocation refused, or SIGXCPU) and the child dies
// without an answer. Address sanitizer reserves terabytes of address space up front, so
// sanitized builds keep only the time limit.
void LimitThisProcess() {
#if !defined(__SANITIZE_ADDRESS__) && !KOVA_HAS_ADDRESS_SANITIZER
  unsigned long pages = 0;
  if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(statm, "%lu", &pages) != 1) pages = 0;
    std::fclose(statm);
  }
  const rlim_t memory = rlim_t(pages) * rlim_t(sysconf(_SC_PAGESIZE)) + rlim_t(kReadMemoryBytes);
  const rlimit addressSpace{memory, memory};
  setrlimit(RLIMIT_AS, &addressSpace);
#endif
  const rlimit cpu{rlim_t(kReadCpuSeconds), rlim_t(kReadCpuSeconds)};
  setrlimit(RLIMIT_CPU, &cpu);
}

void Reap(pid_t child) {
  while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
  }
}

}  // namespace
#endif

int ReadInChildProcess(const WorkbookReader& read, QStringList& names, Worksheet* sheet, int limitMs) {
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
    LimitThisProcess();
    QStringList childNames;
    Worksheet childSheet;
    const int code = read(childNames, sheet ? &childSheet : nullptr);
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
  return read(names, sheet);
#endif
}

}  // namespace data::detail
