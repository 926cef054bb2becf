// The installed-printer path end to end: a private CUPS server with a PDF-writing queue, an
// envelope printed to it through QPrinter, and the positions read back from what the queue
// wrote. Skipped, saying why, where cupsd or the PDF queue cannot be set up.
//
// This is its own test program because the CUPS client library fixes its server at first use.
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QPrinterInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/numbers.h"
#include "print/current_printer.h"
#include "print/envelope_renderer.h"
#include "print/pdf_device.h"
#include "print/print_texts.h"
#include "print/ui/print_command.h"
#include "tests/print/print_test_support.h"

namespace {

const QString kCupsd = QStringLiteral("/usr/sbin/cupsd");
const QString kBackend = QStringLiteral("/usr/lib/cups/backend/cups-pdf");
const QString kPpd = QStringLiteral("/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd");
const QString kQueue = QStringLiteral("kovapost-test");

bool WriteFile(const QString& path, const QString& text) {
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(text.toUtf8()) >= 0;
}

// A cupsd of its own: configuration, spool and socket in a temporary folder.
class PrivateCups {
 public:
  QString Start() {
    for (const QString& needed : {kCupsd, kBackend, kPpd})
      if (!QFile::exists(needed)) return needed + QStringLiteral(" is not installed");
    if (!dir_.isValid()) return QStringLiteral("no temporary folder");
    const QString d = dir_.path();
    for (const char* sub : {"spool", "tmp", "cache", "state", "ppd"}) QDir(d).mkpath(QString::fromLatin1(sub));
    // Filters run as an unprivileged user: they must reach the folder and write temporary files.
    ::chmod(QFile::encodeName(d).constData(), 0755);
    ::chmod(QFile::encodeName(d + QStringLiteral("/tmp")).constData(), 01777);
    socket_ = d + QStringLiteral("/cups.sock");
    WriteFile(d + QStringLiteral("/cupsd.conf"), QStringLiteral(
        "Listen %1\nLogLevel warn\nWebInterface No\nDefaultAuthType None\n"
        "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
        "<Location /admin>\n  Order allow,deny\n  Allow all\n</Location>\n"
        "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n").arg(socket_));
    WriteFile(d + QStringLiteral("/cups-files.conf"), QStringLiteral(
        "ServerRoot %1\nRequestRoot %1/spool\nTempDir %1/tmp\nCacheDir %1/cache\nStateDir %1/state\n"
        "ErrorLog %1/error_log\nAccessLog %1/access_log\nPageLog %1/page_log\n"
        "ServerBin /usr/lib/cups\nDataDir /usr/share/cups\n").arg(d));
    cupsd_.start(kCupsd, {QStringLiteral("-f"), QStringLiteral("-c"), d + QStringLiteral("/cupsd.conf"),
                          QStringLiteral("-s"), d + QStringLiteral("/cups-files.conf")});
    if (!cupsd_.waitForStarted(5000)) return QStringLiteral("cupsd did not start: ") + cupsd_.errorString();
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(socket_) && waited.elapsed() < 10000 && cupsd_.state() == QProcess::Running)
      QThread::msleep(50);
    if (!QFile::exists(socket_)) return QStringLiteral("cupsd did not open its socket: ") + ErrorLog();
    QProcess lpadmin;
    lpadmin.setProcessEnvironment(Environment());
    lpadmin.start(QStringLiteral("lpadmin"), {QStringLiteral("-p"), kQueue, QStringLiteral("-E"), QStringLiteral("-v"),
                                              QStringLiteral("cups-pdf:/"), QStringLiteral("-P"), kPpd});
    if (!lpadmin.waitForFinished(20000) || lpadmin.exitCode() != 0)
      return QStringLiteral("lpadmin failed: ") + QString::fromUtf8(lpadmin.readAllStandardError());
    qputenv("CUPS_SERVER", socket_.toLocal8Bit());
    return {};
  }

  ~PrivateCups() {
    if (cupsd_.state() == QProcess::Running) {
      cupsd_.terminate();
      if (!cupsd_.waitForFinished(5000)) cupsd_.kill();
      cupsd_.waitForFinished(2000);
    }
  }

  QString ErrorLog() const {
    QFile f(dir_.path() + QStringLiteral("/error_log"));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll().right(2000)) : QString();
  }

 private:
  QProcessEnvironment Environment() const {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("CUPS_SERVER"), socket_);
    return env;
  }

  QTemporaryDir dir_;
  QString socket_;
  QProcess cupsd_;
};

// The PDF queue writes into the job owner's ~/PDF, named after the job.
QString OutputFolder() {
  const passwd* pw = getpwuid(getuid());
  return QString::fromLocal8Bit(pw ? pw->pw_dir : qgetenv("HOME").constData()) + QStringLiteral("/PDF");
}

QStringList JobFiles() {
  return QDir(OutputFolder()).entryList({QStringLiteral("Kovapost*.pdf")}, QDir::Files, QDir::Time);
}

TEST(CupsQueue, AnEnvelopePrintedThroughAnInstalledPrinterLandsWhereTheCanvasPutsIt) {
  PrivateCups cups;
  const QString problem = cups.Start();
  if (!problem.isEmpty()) GTEST_SKIP() << "no private CUPS server: " << qPrintable(problem);
  ASSERT_TRUE(QPrinterInfo::availablePrinterNames().contains(kQueue)) << qPrintable(cups.ErrorLog());
  const QStringList before = JobFiles();

  editor::EnvelopeModel m;
  printtest::SetUpEnvelope(m, 2);
  editor::TabOptions o;
  o.portrait = false;  // 横向打印: the envelope down a portrait page
  o.landscape = true;
  m.SetOptions(o);
  print::SetCurrentPrinterName(kQueue);
  {
    auto command = print::PrintCommand::Open(QStringLiteral("信封"));
    ASSERT_NE(command, nullptr);
    EXPECT_EQ(command->device().DeviceName(), kQueue);
    ASSERT_EQ(print::RenderEnvelope(command->device(), m, 3, 3), print::PrintStatus::kPrinted);
    EXPECT_TRUE(command->Finish().isEmpty()) << "no PDF file of ours to name";
  }

  QString written;
  QElapsedTimer waited;
  waited.start();
  while (written.isEmpty() && waited.elapsed() < 90000) {
    for (const QString& f : JobFiles())
      if (!before.contains(f)) written = QDir(OutputFolder()).filePath(f);
    QThread::msleep(200);
  }
  ASSERT_FALSE(written.isEmpty()) << "the queue wrote nothing: " << qPrintable(cups.ErrorLog());
  QThread::msleep(500);  // let the backend finish the file

  // The queue's PDF filters turn the fonts into outlines without text, so compare ink: each box's
  // first line must start where the same envelope printed by the PDF printer starts it.
  QTemporaryDir scratch;
  const QString reference = scratch.filePath(QStringLiteral("reference.pdf"));
  {
    print::PdfDevice pdf(reference, print::kPdfPrinterName);
    ASSERT_EQ(print::RenderEnvelope(pdf, m, 3, 3), print::PrintStatus::kPrinted);
    ASSERT_TRUE(pdf.Finish());
  }
  constexpr int kDpi = 150;
  const QImage got = printtest::RasterPage(written, 0, kDpi, scratch.filePath(QStringLiteral("queue")));
  const QImage want = printtest::RasterPage(reference, 0, kDpi, scratch.filePath(QStringLiteral("reference")));
  ASSERT_FALSE(got.isNull());
  ASSERT_EQ(got.size(), want.size()) << "the same paper";
  const double mmPerTwip = m.W() / m.canvasSize().width();
  for (int i : {0, 3, int(editor::kAddressBox), int(editor::kNameBox), int(editor::kSenderAddressBox),
                int(editor::kSenderPostcodeBox), int(editor::kTagBox)}) {
    const QRect g = m.box(i).geometry;
    // The box on the page, a little larger: its first line starts inside.
    const QRectF around(QPointF(g.left() * mmPerTwip - 3, g.top() * mmPerTwip - 3),
                        QSizeF(g.width() * mmPerTwip + 4, 10));
    const QRectF inkGot = printtest::InkBox(got, kDpi, around);
    const QRectF inkWant = printtest::InkBox(want, kDpi, around);
    ASSERT_FALSE(inkWant.isNull()) << "box " << i;
    ASSERT_FALSE(inkGot.isNull()) << "box " << i << " missing from " << qPrintable(written);
    EXPECT_NEAR(inkGot.left(), inkWant.left(), 0.5) << "box " << i;
    EXPECT_NEAR(inkGot.top(), inkWant.top(), 0.5) << "box " << i;
  }
  if (!HasFailure()) QFile::remove(written);
}

}  // namespace
