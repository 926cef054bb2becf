// One stored format, one print: the window at two canvas widths, after a resize, and the batch
// tool without a display print the same envelope from the same Par.mdb, read back from the PDFs.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "app/main_window.h"
#include "data/show_record.h"
#include "editor/envelope_guide.h"
#include "print/envelope_renderer.h"
#include "print/pdf_device.h"
#include "print/pdf_printer.h"
#include "print/print_texts.h"
#include "print/ui/printer_chooser.h"
#include "store/registry.h"
#include "tests/print/print_test_support.h"
#include "tests/support/par_database.h"
#include "tests/support/scripted_prompts.h"

namespace {

const QString kName = QStringLiteral("欧阳建国");
const QString kPostcode = QStringLiteral("310012");
const QString kAddress = QStringLiteral("浙江省杭州市西湖区文三路188号华星科技大厦十二楼");

QString RecordsCsv(const QString& dir) {
  const QString path = dir + QStringLiteral("/records.csv");
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  file.write((QStringLiteral("姓名,邮编,地址\r\n") + kName + u',' + kPostcode + u',' + kAddress +
              QStringLiteral("\r\n"))
                 .toUtf8());
  return path;
}

// The window's envelope showing the record, printed as the user prints it: "打印单个" clicked,
// "PDF 文件" confirmed in the printer chooser, the PDF read back.
QList<printtest::Word> PrintFromWindow(MF& window, const QString& folder) {
  editor::EnvelopeModel& m = window.envelope();
  const std::array<QString, 6> digits = data::PostcodeDigits(kPostcode);
  for (int i = 0; i < 6; ++i) m.SetBoxText(i, digits[i]);
  m.SetBoxText(editor::kAddressBox, kAddress);
  m.SetBoxText(editor::kNameBox, kName);
  QDir(folder).removeRecursively();
  QDir().mkpath(folder);
  Registry::SaveSetting(Registry::kCollateSection, print::kPdfFolderKey, folder);
  Registry::SaveSetting(Registry::kCollateSection, print::kPrinterKey, print::kPdfPrinterName);
  QTimer::singleShot(0, [] {
    if (auto* chooser = qobject_cast<print::PrnSel*>(QApplication::activeModalWidget()))
      chooser->okButton()->click();
  });
  window.SST()->setCurrentIndex(MF::kEnvelopeTab);
  QTest::mouseClick(window.CB(0), Qt::LeftButton);
  const QStringList written = QDir(folder).entryList({QStringLiteral("*.pdf")}, QDir::Files);
  EXPECT_EQ(written.size(), 1);
  return written.isEmpty() ? QList<printtest::Word>()
                           : printtest::ReadWords(QDir(folder).filePath(written[0]));
}

QList<printtest::Word> PrintFromBatch(const QString& dir, const QString& size) {
  const QString pdf = dir + QStringLiteral("/batch-") + size + QStringLiteral(".pdf");
  QProcess tool;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir);
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  tool.setProcessEnvironment(env);
  tool.start(QStringLiteral(KOVA_BUILD_DIR "/kovapost-batch"),
             {QStringLiteral("envelopes"), RecordsCsv(dir), QStringLiteral("--size"), size,
              QStringLiteral("--margins"), QStringLiteral("10,10"), QStringLiteral("--database"),
              DataBase::DatabasePath(), QStringLiteral("-o"), pdf});
  EXPECT_TRUE(tool.waitForFinished(120000));
  EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
  return printtest::ReadWords(pdf);
}

void ExpectSamePrint(const QList<printtest::Word>& a, const QList<printtest::Word>& b) {
  ASSERT_EQ(a.size(), b.size());
  ASSERT_FALSE(a.isEmpty());
  for (qsizetype i = 0; i < a.size(); ++i) {
    SCOPED_TRACE(a[i].text.toStdString());
    EXPECT_EQ(a[i].text, b[i].text);
    EXPECT_NEAR(a[i].mm.left(), b[i].mm.left(), 0.1);
    EXPECT_NEAR(a[i].mm.top(), b[i].mm.top(), 0.1);
    EXPECT_NEAR(a[i].mm.height(), b[i].mm.height(), 0.02 * a[i].mm.height());  // the font size
  }
}

class SamePrintTest : public testing::Test {
 protected:
  SamePrintTest() { test::FreshPrompts(); }
  void Start() {
    window.Load();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }

  QTemporaryDir dir;
  test::ParDatabase database;
  MF window;
};

TEST_F(SamePrintTest, WindowAtTwoCanvasWidthsAndTheBatchToolPrintTheSameEnvelope) {
  if (!qEnvironmentVariableIsSet("QT_SCALE_FACTOR")) {
    // The same at 150 %, where the canvas has other whole pixels: in a program of its own, since
    // the scale is fixed when a program starts.
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_SCALE_FACTOR"), QStringLiteral("1.5"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(
        QCoreApplication::applicationFilePath(),
        {QStringLiteral(
            "--gtest_filter=SamePrintTest.WindowAtTwoCanvasWidthsAndTheBatchToolPrintTheSameEnvelope")});
    EXPECT_TRUE(child.waitForFinished(300000));
    EXPECT_EQ(child.exitCode(), 0) << "at 150 %:\n" << child.readAll().toStdString();
  }
  printtest::MapSongTi();
  Start();
  for (const auto& [index, size] : {std::pair{2, "DL"}, {5, "C4"}}) {
    SCOPED_TRACE(size);
    QTest::mouseClick(window.O1(index), Qt::LeftButton, {}, QPoint(6, 6));
    const QList<printtest::Word> batch = PrintFromBatch(dir.path(), QString::fromLatin1(size));
    // A small screen, a large one, and back to small.
    for (const QSize& screen : {QSize(1000, 560), QSize(1900, 1040), QSize(1000, 560)}) {
      window.resize(screen);
      QCoreApplication::processEvents();
      SCOPED_TRACE(window.envelope().canvasSize().width());
      ExpectSamePrint(PrintFromWindow(window, dir.filePath(QStringLiteral("window"))), batch);
    }
  }
}

TEST_F(SamePrintTest, FirstStartPrintsEveryPostcodeDigitInsideItsPreprintedBox) {
  printtest::MapSongTi();
  Start();
  for (int size = 0; size < 6; ++size) {
    QTest::mouseClick(window.O1(size), Qt::LeftButton, {}, QPoint(6, 6));
    const editor::EnvelopeModel& m = window.envelope();
    SCOPED_TRACE(m.sizeCaption(size).toStdString());
    const QList<printtest::Word> words = PrintFromWindow(window, dir.filePath(QStringLiteral("first")));
    // Where the envelope lies on the landscape A4 page: against the far edge of the short side.
    const QPointF corner(0, 210 - m.H() > 0 ? 210 - m.H() : 297 - m.H());
    const editor::EnvelopeGuide guide = editor::EnvelopeGuideOf(m.W(), m.H());
    int found = 0;
    for (const printtest::Word& w : words) {
      const QRectF onEnvelope = w.mm.translated(-corner);
      if (w.text.size() == 1 && w.text[0].isDigit()) {
        ASSERT_LT(found, 6);
        EXPECT_EQ(w.text, kPostcode.mid(found, 1));
        EXPECT_TRUE(guide.postcodeBoxes[found].contains(onEnvelope))
            << onEnvelope.x() << "," << onEnvelope.y() << " " << onEnvelope.width() << "x"
            << onEnvelope.height();
        // Centred: as much room on the left as on the right.
        const QRectF& box = guide.postcodeBoxes[found];
        EXPECT_NEAR(onEnvelope.center().x(), box.center().x(), 0.6);
        ++found;
      } else {
        // Nothing else in the stamp area, the bar-code strip or the postcode zone.
        EXPECT_FALSE(onEnvelope.intersects(guide.stampArea)) << w.text.toStdString();
        EXPECT_FALSE(onEnvelope.intersects(guide.barcodeStrip)) << w.text.toStdString();
        EXPECT_FALSE(onEnvelope.intersects(QRectF(0, 0, 90, 26 + guide.postcodeBoxes[0].top() - 10)))
            << w.text.toStdString();
      }
    }
    EXPECT_EQ(found, 6);
  }
}

}  // namespace
