// Installed printers with real drivers, end to end. A private CUPS server gets queues made from
// Debian's driver packages: an HP PostScript laser, an OKI PostScript laser (whose name makes
// the program keep its paper), a Brother laser by brlaser and an OKI 24-pin dot-matrix printer
// (both with unprintable margins, no custom sizes and no A3), and an Epson by gutenprint.
// Envelopes and the check page are printed to them through QPrinter; what each driver receives
// (the spooled job after CUPS's own pdftopdf, made by cupsfilter with the job's own options) is
// rasterised and its ink compared with "打印预览" box by box: same paper, same orientation,
// every box within 0.5 mm on all four sides, so nothing the preview shows is cut off.
//
// Skipped, saying why, only where cupsd cannot start. About 40 s on a quiet machine.
//
// This is its own test program because the CUPS client library fixes its server at first use.
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/stat.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QTransform>
#include <csignal>

#include "print/calibration.h"
#include "print/current_printer.h"
#include "print/preview.h"
#include "print/print_run.h"
#include "print/rotated_renderer.h"
#include "print/ui/preview_window.h"
#include "print/ui/print_command.h"
#include "tests/print/print_test_support.h"
#include "tests/support/scripted_prompts.h"

namespace {

const QString kCupsd = QStringLiteral("/usr/sbin/cupsd");
constexpr int kDpi = 150;
constexpr double kTolerance = 0.5;  // mm

struct Queue {
  QString name;
  QString model;  // as lpinfo -m lists it
  bool takesA3;
};

// Queue names carry Chinese characters as users name their printers.
const Queue kQueues[] = {
    {QStringLiteral("HP-LaserJet-4250"),
     QStringLiteral("postscript-hp:0/ppd/hplip/HP/hp-laserjet_4250-ps.ppd"), true},
    {QStringLiteral("OKI-B6300-办公室"), QStringLiteral("lsb/usr/okidata/B6300PS.ppd"), true},
    {QStringLiteral("Brother-HL-1200"), QStringLiteral("drv:///brlaser.drv/br1200.ppd"), false},
    {QStringLiteral("针式打印机-24针"), QStringLiteral("lsb/usr/okidata/okdotmatrix24.ppd"), false},
    {QStringLiteral("Epson-Stylus-Photo-1400"), QStringLiteral("gutenprint.5.3://escp2-1400/expert"), true},
};

void WriteFile(const QString& path, const QString& text) {
  QFile f(path);
  if (f.open(QIODevice::WriteOnly)) f.write(text.toUtf8());
}

// A cupsd of its own: configuration, spool and socket in a temporary folder. Jobs go to the
// file backend (discarded) and their spooled documents are kept.
class PrivateCups {
 public:
  QString Start() {
    if (!QFile::exists(kCupsd)) return kCupsd + QStringLiteral(" is not installed");
    if (!dir_.isValid()) return QStringLiteral("no temporary folder");
    const QString d = dir_.path();
    for (const char* sub : {"spool", "tmp", "cache", "state", "ppd"})
      QDir(d).mkpath(QString::fromLatin1(sub));
    // Filters run as an unprivileged user: they must reach the folder and write temporary files.
    ::chmod(QFile::encodeName(d).constData(), 0755);
    ::chmod(QFile::encodeName(d + QStringLiteral("/tmp")).constData(), 01777);
    socket_ = d + QStringLiteral("/cups.sock");
    WriteFile(d + QStringLiteral("/cupsd.conf"),
              QStringLiteral("Listen %1\nLogLevel debug\nMaxLogSize 0\nWebInterface No\nDefaultAuthType "
                             "None\nPreserveJobFiles Yes\n"
                             "<Location />\n  Order allow,deny\n  Allow all\n</Location>\n"
                             "<Location /admin>\n  Order allow,deny\n  Allow all\n</Location>\n"
                             "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n")
                  .arg(socket_));
    WriteFile(
        d + QStringLiteral("/cups-files.conf"),
        QStringLiteral(
            "ServerRoot %1\nRequestRoot %1/spool\nTempDir %1/tmp\nCacheDir %1/cache\nStateDir %1/state\n"
            "ErrorLog %1/error_log\nAccessLog %1/access_log\nPageLog %1/page_log\n"
            "ServerBin /usr/lib/cups\nDataDir /usr/share/cups\nFileDevice Yes\n")
            .arg(d));
    // A test that dies must not leave its server behind.
    cupsd_.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    cupsd_.start(kCupsd, {QStringLiteral("-f"), QStringLiteral("-c"), d + QStringLiteral("/cupsd.conf"),
                          QStringLiteral("-s"), d + QStringLiteral("/cups-files.conf")});
    if (!cupsd_.waitForStarted(5000)) return QStringLiteral("cupsd did not start: ") + cupsd_.errorString();
    QElapsedTimer waited;
    waited.start();
    while (!QFile::exists(socket_) && waited.elapsed() < 10000 && cupsd_.state() == QProcess::Running)
      QThread::msleep(50);
    if (!QFile::exists(socket_)) return QStringLiteral("cupsd did not open its socket: ") + Log().right(2000);
    qputenv("CUPS_SERVER", socket_.toLocal8Bit());
    return {};
  }

  // A queue with the driver `model`; the error of lpadmin otherwise.
  QString AddQueue(const Queue& q) {
    QProcess lpadmin;
    lpadmin.start(QStringLiteral("lpadmin"),
                  {QStringLiteral("-p"), q.name, QStringLiteral("-E"), QStringLiteral("-v"),
                   QStringLiteral("file:///dev/null"), QStringLiteral("-m"), q.model});
    if (!lpadmin.waitForFinished(60000) || lpadmin.exitCode() != 0)
      return QString::fromUtf8(lpadmin.readAllStandardError());
    return {};
  }

  QString Log() const {
    QFile f(dir_.path() + QStringLiteral("/error_log"));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
  }

  // What the driver of `queue` receives of job `id`, rasterised: the spooled document, once cupsd
  // has started its filters, through CUPS's pdftopdf with the job's own options. Null and a
  // failure added to the test if it never arrives.
  QImage Received(int id, const QString& queue) const {
    const QString document = dir_.path() + QStringLiteral("/spool/d%1-001").arg(id, 5, 10, QLatin1Char('0'));
    const QRegularExpression argv(QStringLiteral(R"re(\[Job %1\] argv\[5\]="([^"]*)")re").arg(id));
    QElapsedTimer waited;
    waited.start();
    QRegularExpressionMatch m;
    while (!(m = argv.match(Log())).hasMatch() || !QFile::exists(document)) {
      if (waited.elapsed() > 60000) {
        ADD_FAILURE() << "job " << id << " never reached its filters: " << qPrintable(Log().right(3000));
        return {};
      }
      QThread::msleep(100);
    }
    const QString out = dir_.filePath(QStringLiteral("job%1.pdf").arg(id));
    QProcess p;
    p.setStandardOutputFile(out);
    p.start(QStringLiteral("cupsfilter"),
            {QStringLiteral("-p"), dir_.filePath(QStringLiteral("ppd/") + queue + QStringLiteral(".ppd")),
             QStringLiteral("-i"), QStringLiteral("application/pdf"), QStringLiteral("-m"),
             QStringLiteral("application/vnd.cups-pdf"), QStringLiteral("-o"), m.captured(1), document});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
      ADD_FAILURE() << "cupsfilter: " << p.readAllStandardError().toStdString();
      return {};
    }
    return printtest::RasterPage(out, 0, kDpi, dir_.filePath(QStringLiteral("job%1").arg(id)));
  }

  ~PrivateCups() {
    if (cupsd_.state() == QProcess::Running) {
      cupsd_.terminate();
      if (!cupsd_.waitForFinished(5000)) cupsd_.kill();
      cupsd_.waitForFinished(2000);
    }
  }

 private:
  QTemporaryDir dir_;
  QString socket_;
  QProcess cupsd_;
};

struct Case {
  const char* name;
  int size;  // size option: 2 DL, 4 C5, 5 C4
  bool portraitOption, centreFeed, rotate;
};

const Case kCases[] = {
    {"DL 纵向", 2, true, false, false},
    {"DL 横向", 2, false, false, false},
    {"DL 纵向 centre feed", 2, true, true, false},
    {"DL 纵向 rotated", 2, true, false, true},
    {"C5 纵向", 4, true, false, false},
    {"C5 横向 centre feed rotated", 4, false, true, true},  // 229 mm across: A3
    {"C4 纵向", 5, true, false, false},                     // 229 mm across: A3
};

// The boxes whose first lines are compared, as rectangles on the page in mm.
QList<QRectF> BoxRegions(const editor::EnvelopeModel& m, const QRectF& onPage, bool rotated) {
  const double perTwip = m.W() / m.canvasSize().width();
  QList<QRectF> regions;
  for (int i : {0, 3, int(editor::kAddressBox), int(editor::kNameBox), int(editor::kSenderAddressBox),
                int(editor::kSenderPostcodeBox), int(editor::kTagBox)}) {
    const QRect g = m.box(i).geometry;
    QRectF local(g.left() * perTwip - 2, g.top() * perTwip - 2, g.width() * perTwip + 4, 11);
    if (rotated)  // turned about the envelope's centre
      local.moveTopLeft(QPointF(m.W() - local.right(), m.H() - local.bottom()));
    regions.append(local.translated(onPage.topLeft()));
  }
  return regions;
}

// The black ink of `page` inside `region` (mm), leaving out what the printer cannot reach and
// the preview's coloured envelope outline.
QRectF PrintableInk(const QImage& page, const QRectF& region, const QRectF& printable) {
  const double perMm = kDpi / 25.4;
  const QRectF within = region & printable;
  const QRect area = QRectF(within.topLeft() * perMm, within.size() * perMm).toAlignedRect() & page.rect();
  QRect ink;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      const QRgb c = page.pixel(x, y);
      if (qGray(c) < 128 && std::abs(qRed(c) - qBlue(c)) < 40) ink |= QRect(x, y, 1, 1);
    }
  return ink.isNull()
             ? QRectF()
             : QRectF(QPointF(ink.left(), ink.top()) / perMm, QSizeF(ink.width(), ink.height()) / perMm);
}

class CupsQueues : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    cups_ = new PrivateCups;
    problem_ = new QString(cups_->Start());
  }
  static void TearDownTestSuite() {
    delete cups_;
    delete problem_;
  }
  void SetUp() override {
    if (!problem_->isEmpty()) GTEST_SKIP() << "no private CUPS server: " << qPrintable(*problem_);
  }

  static PrivateCups* cups_;
  static QString* problem_;
};
PrivateCups* CupsQueues::cups_ = nullptr;
QString* CupsQueues::problem_ = nullptr;

TEST_F(CupsQueues, EnvelopesAndTheCheckPageLandWhereThePreviewPutsThemOnRealDrivers) {
  for (const Queue& q : kQueues) ASSERT_EQ(cups_->AddQueue(q), QString()) << qPrintable(q.name);
  for (const Queue& q : kQueues)
    ASSERT_TRUE(QPrinterInfo::availablePrinterNames().contains(q.name)) << qPrintable(q.name);
  int jobs = 0;
  for (const Queue& q : kQueues) {
    print::SetCurrentPrinterName(q.name);
    const print::PrinterOffsets offsets = print::ReadPrinterOffsets(q.name);
    const print::PreviewTarget target = print::CurrentPreviewTarget();
    EXPECT_GT(target.unprintable.left() + target.unprintable.top(), q.model.contains(u"gutenprint") ? -1 : 1)
        << qPrintable(q.name) << ": the driver's margins are known";
    for (const Case& c : kCases) {
      SCOPED_TRACE(testing::Message() << qPrintable(q.name) << " " << c.name);
      auto& prompts = test::FreshPrompts();
      editor::EnvelopeModel m;
      printtest::SetUpEnvelope(m, c.size);
      const editor::TabOptions o = printtest::Options(c.portraitOption, c.centreFeed, c.rotate);
      m.SetOptions(o);
      const print::Preview preview = print::RenderPreview(m, target, offsets, print::RotationDpi(), kDpi);
      const bool needsA3 = print::NeedsA3(m.W(), m.H(), o) && !q.name.startsWith(u"OKI");
      print::PrintStatus status;
      {
        auto command = print::PrintCommand::Open(QStringLiteral("信封"));
        ASSERT_NE(command, nullptr);
        status = print::PrintCurrentEnvelope(command->device(), m, 1);
      }
      if (needsA3 && !q.takesA3) {
        EXPECT_EQ(status, print::PrintStatus::kPaperRefused);
        EXPECT_TRUE(preview.paperRefused) << "the preview says so too";
        EXPECT_EQ(prompts.shown, QStringList{print::PaperRefusedText(q.name, m.W(), m.H())});
        continue;
      }
      ASSERT_EQ(status, print::PrintStatus::kPrinted) << qPrintable(prompts.shown.join(u'\n'));
      ASSERT_FALSE(preview.page.isNull());
      QImage page = cups_->Received(++jobs, q.name);
      ASSERT_FALSE(page.isNull());
      // Paper goes through the printer upright; a landscape page reaches the driver turned a
      // quarter to the left on it. Turn it back to compare.
      if (preview.paper.width() > preview.paper.height()) {
        EXPECT_LT(page.width(), page.height()) << "the paper is fed upright";
        page = page.transformed(QTransform().rotate(90));
      }
      EXPECT_NEAR(page.width(), preview.page.width(), 2) << "the paper and its orientation";
      EXPECT_NEAR(page.height(), preview.page.height(), 2) << "the paper and its orientation";

      // The printer cannot put ink beyond its printable area, and the preview leaves it out; ink
      // is compared a little inside, where neither is cut by that edge.
      const QRectF printable = preview.printable.marginsRemoved(QMarginsF(1, 1, 1, 1) * kTolerance);
      int compared = 0;
      for (const QRectF& region : BoxRegions(m, preview.envelope, c.rotate)) {
        const QRectF shown = PrintableInk(preview.page, region, printable);
        // Nothing of this box reaches the paper, or only a speck at the printable edge, finer
        // than the comparison can tell.
        if (shown.isNull() || (shown.width() < kTolerance && shown.height() < kTolerance)) continue;
        ++compared;
        SCOPED_TRACE(testing::Message() << "region " << region.x() << "," << region.y());
        const QRectF got = PrintableInk(page, region, printable);
        ASSERT_FALSE(got.isNull());
        EXPECT_NEAR(got.left(), shown.left(), kTolerance);
        EXPECT_NEAR(got.top(), shown.top(), kTolerance);
        // Nothing the preview shows is cut off. (Poppler draws glyphs a pixel or two wider than
        // the preview does, so the far edges are only held from below, and only where the ink
        // ends inside the region rather than where the region cuts it.)
        const QRectF cut = region & printable;
        if (shown.right() < cut.right() - 0.3) {
          EXPECT_GE(got.right(), shown.right() - kTolerance);
        }
        if (shown.bottom() < cut.bottom() - 0.3) {
          EXPECT_GE(got.bottom(), shown.bottom() - kTolerance);
        }
      }
      if (!print::NeedsA3(m.W(), m.H(), o)) {
        EXPECT_GE(compared, 5);  // else an OKI printer keeps its own, smaller paper
      }
    }

    // The check page: the square 10 mm from the paper's corner, where the offsets assume it.
    SCOPED_TRACE(testing::Message() << qPrintable(q.name) << " check page");
    {
      auto command = print::PrintCommand::Open(QStringLiteral("校准"));
      print::PrintCalibrationSquare(command->device());
      // What rotated printing and the preview see of the page: the paper less the driver's margins.
      const QSizeF drawable = command->device().DrawableSize();
      EXPECT_NEAR(drawable.width() + target.unprintable.left() + target.unprintable.right(), 210, 0.5);
      EXPECT_NEAR(drawable.height() + target.unprintable.top() + target.unprintable.bottom(), 297, 0.5);
    }
    const QImage page = cups_->Received(++jobs, q.name);
    ASSERT_FALSE(page.isNull());
    EXPECT_NEAR(page.width() * 25.4 / kDpi, 210, 1) << "A4 portrait";
    const QRectF square = printtest::InkBox(page, kDpi, QRectF(5, 5, 20, 18));
    EXPECT_NEAR(square.left(), 10, kTolerance);
    EXPECT_NEAR(square.top(), 10, kTolerance);
    EXPECT_NEAR(square.width(), 10, kTolerance);
    EXPECT_FALSE(printtest::InkBox(page, kDpi, QRectF(8, 24, 190, 8)).isNull())
        << "the line saying what to measure";
  }
  print::SetCurrentPrinterName(QString());
}

}  // namespace
