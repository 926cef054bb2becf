// Print runs over records: order, the shown record, failures that do not end a run, stopping.
#include "print/print_run.h"

#include <gtest/gtest.h>

#include "print/calibration.h"
#include "print/print_texts.h"
#include "print/recording_device.h"
#include "print/rotated_renderer.h"
#include "tests/print/print_test_support.h"
#include "tests/support/scripted_prompts.h"

namespace {

struct RunFixture {
  editor::EnvelopeModel envelope;
  print::RecordingDevice device;
  QList<int> shown;
  QList<int> progress;
  int pauses = 0;
  int stopAfter = -1;  // envelopes printed before the user stops

  RunFixture() { printtest::SetUpEnvelope(envelope, 2); }

  print::RunWindow Window() {
    return {[this](int n) {
              shown.append(n);
              envelope.SetBoxText(editor::kNameBox, QStringLiteral("收件人%1").arg(n));
            },
            [this] { ++pauses; }, [this] { return stopAfter >= 0 && device.jobsEnded >= stopAfter; },
            [this](int done, int total) { progress.append(done * 100 + total); }};
  }
  QStringList NamesPrinted() const {
    QStringList names;
    for (const auto& t : device.texts)
      if (t.text.startsWith(QStringLiteral("收件人"))) names.append(t.text);
    return names;
  }
};

TEST(PrintRun, PrintsEachRecordInOrderAsItsOwnJob) {
  struct Row {
    int first, last;
    QList<int> shown;
  };
  const Row rows[] = {{5, 8, {5, 6, 7, 8}}, {1, 1, {}}, {3, 2, {}}};
  for (const Row& r : rows) {
    test::FreshPrompts();
    RunFixture run;
    const print::RunResult result =
        print::RunEnvelopes(run.device, run.envelope, r.first, r.last, run.Window());
    EXPECT_EQ(run.shown, r.shown);
    EXPECT_EQ(result.printed, std::max(0, r.last - r.first + 1));
    EXPECT_EQ(run.device.jobsEnded, result.printed) << "one job per envelope";
    EXPECT_EQ(run.pauses, result.printed) << "the window repaints before every envelope";
  }
}

TEST(PrintRun, OneRecordPrintsTheCanvasAsShown) {
  RunFixture run;
  print::RunEnvelopes(run.device, run.envelope, 1, 1, run.Window());
  EXPECT_TRUE(run.shown.isEmpty());
  EXPECT_TRUE(run.NamesPrinted().isEmpty()) << "the record is not loaded anew";
  EXPECT_EQ(run.device.jobsEnded, 1);
}

TEST(PrintRun, AFailedEnvelopeIsReportedWithItsNumberAndTheRunGoesOn) {
  auto& prompts = test::FreshPrompts();
  RunFixture run;
  print::RunWindow window = run.Window();
  window.showRecord = [&](int n) {
    run.device.failUnit = n == 6;  // the printer trips on the second envelope
    run.envelope.SetBoxText(editor::kNameBox, QStringLiteral("收件人%1").arg(n));
  };
  print::RunEnvelopes(run.device, run.envelope, 5, 8, window);
  EXPECT_EQ(prompts.shown, (QStringList{print::kPrintError, print::EnvelopeFailedText(6, 0)}));
  EXPECT_EQ(print::EnvelopeFailedText(6, 0), QStringLiteral("打印第6个信封出现未知错误！（错误号：0）"));
  EXPECT_EQ(run.NamesPrinted(),
            (QStringList{QStringLiteral("收件人5"), QStringLiteral("收件人7"), QStringLiteral("收件人8")}));
}

TEST(PrintRun, StopsBetweenEnvelopesWhenAsked) {
  RunFixture run;
  run.stopAfter = 2;
  const print::RunResult result = print::RunEnvelopes(run.device, run.envelope, 1, 5, run.Window());
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(result.printed, 2);
  EXPECT_EQ(run.NamesPrinted(), (QStringList{QStringLiteral("收件人1"), QStringLiteral("收件人2")}));
  EXPECT_EQ(run.progress, (QList<int>{105, 205})) << "n / m before each envelope";
}

TEST(PrintRun, RotatedEnvelopesGoThroughThePicture) {
  RunFixture run;
  editor::TabOptions o = run.envelope.options();
  o.rotate = true;
  run.envelope.SetOptions(o);
  EXPECT_EQ(print::PrintCurrentEnvelope(run.device, run.envelope, 1), print::PrintStatus::kPrinted);
  EXPECT_TRUE(run.device.texts.isEmpty());
  ASSERT_EQ(run.device.images.size(), 1);
  EXPECT_LT(run.device.images[0].extent.width(), 0);
  EXPECT_LT(run.device.images[0].extent.height(), 0);
}

TEST(PrintRun, AGridSelectionMadeUpwardPrintsTopToBottom) {
  RunFixture run;
  const auto [first, last] = print::SelectedRecords(/*row*/ 7, /*rowSel*/ 5, /*fixedRows*/ 1);
  print::RunEnvelopes(run.device, run.envelope, first, last, run.Window());
  EXPECT_EQ(run.NamesPrinted(),
            (QStringList{QStringLiteral("收件人5"), QStringLiteral("收件人6"), QStringLiteral("收件人7")}));
}

TEST(PrintRun, APrinterWithoutA3EndsTheRunWithOneMessageNamingIt) {
  auto& prompts = test::FreshPrompts();
  RunFixture run;
  printtest::SetUpEnvelope(run.envelope, 5);  // C4 with 纵向打印 needs A3
  run.device.refuseA3 = true;
  const print::RunResult result = print::RunEnvelopes(run.device, run.envelope, 1, 4, run.Window());
  EXPECT_TRUE(result.paperRefused);
  EXPECT_EQ(run.device.endDocCalls, 0) << "nothing cut off on A4";
  EXPECT_EQ(prompts.shown, QStringList{print::PaperRefusedText(QStringLiteral("Recorder"), 324, 229)});
}

// Calibrate printer A, print on B, then on A: each printer gets its own shift, the PDF printer none.
TEST(PrintRun, EachPrinterPrintsWithItsOwnMargins) {
  printtest::ForgetAllMargins();
  print::StoreMargins(QStringLiteral("激光 A"), QStringLiteral("12"), QStringLiteral("9"));
  struct Row {
    QString printer;
    QPointF shift;  // of the name's first line against the PDF printer's
  };
  const Row rows[] = {{QStringLiteral("针式 B"), {-3, -3}},
                      {QStringLiteral("激光 A"), {-2, 1}},
                      {print::kPdfPrinterName, {0, 0}}};
  QPointF unshifted;
  for (int pass = 0; pass < 2; ++pass) {
    for (const Row& r : rows) {
      editor::EnvelopeModel m;
      printtest::SetUpEnvelope(m, 2);
      print::RecordingDevice d(r.printer);
      ASSERT_EQ(print::PrintCurrentEnvelope(d, m, 1), print::PrintStatus::kPrinted);
      const auto name = std::find_if(d.texts.begin(), d.texts.end(),
                                     [](const auto& t) { return t.text == QStringLiteral("张三"); });
      ASSERT_NE(name, d.texts.end());
      if (r.printer == print::kPdfPrinterName) unshifted = name->at;
      if (pass == 1) {
        EXPECT_EQ(name->at - unshifted, r.shift) << qPrintable(r.printer);
      }
    }
  }
  printtest::ForgetAllMargins();
}

}  // namespace

namespace {

TEST(RotatedPrinting, BigPicturesArePlacedInBandsThatTileTheTurnedEnvelope) {
  RunFixture run;
  printtest::SetUpEnvelope(run.envelope, 5);  // C4
  const double dpi = 600;                     // some 41 million pixels: more than one band
  ASSERT_EQ(print::RenderRotated(run.device, run.envelope, 3, 3, dpi), print::PrintStatus::kPrinted);
  const auto& images = run.device.images;
  ASSERT_GT(images.size(), 1);
  const print::RotationCanvas canvas = print::SizeRotationCanvas(324, 229, dpi);
  const QRectF place = print::EnvelopeOnPage(run.device, run.envelope, 3, 3);
  double covered = 0;
  for (int i = 0; i < images.size(); ++i) {
    const auto& band = images[i];
    EXPECT_EQ(band.imageSize.width(), canvas.pixels.width());
    EXPECT_LE(qint64(band.imageSize.width()) * band.imageSize.height(), 16 * 1024 * 1024) << "bounded memory";
    EXPECT_DOUBLE_EQ(band.corner.x(), place.right());
    EXPECT_NEAR(band.corner.y(), place.bottom() - covered, 1e-9) << "each band below the last, turned";
    EXPECT_DOUBLE_EQ(band.extent.width(), -324);
    covered -= band.extent.height();
  }
  EXPECT_NEAR(covered, 229, 1e-9);
  EXPECT_EQ(run.device.jobsEnded, 1);
}

TEST(RotatedPrinting, APictureTooLargeToMakeIsRefusedWithAMessage) {
  auto& prompts = test::FreshPrompts();
  RunFixture run;
  printtest::SetUpEnvelope(run.envelope, 5);
  EXPECT_EQ(print::RenderRotated(run.device, run.envelope, 3, 3, 5000), print::PrintStatus::kPictureTooLarge);
  ASSERT_EQ(prompts.shown.size(), 1);
  EXPECT_TRUE(prompts.shown[0].startsWith(QStringLiteral("旋转180度打印的分辨率太高")));
  EXPECT_TRUE(run.device.images.isEmpty());
  EXPECT_EQ(print::SizeRotationCanvas(220, 110, 150).pixels, QSize(1299, 650))
      << "DL at the default resolution";
}

}  // namespace
