// The printer chooser, the margin dialog and the preview, driven as the user would.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QWheelEvent>

#include "print/current_printer.h"
#include "print/print_texts.h"
#include "print/ui/collate_form.h"
#include "print/ui/preview_window.h"
#include "print/ui/print_command.h"
#include "print/ui/printer_chooser.h"
#include "store/registry.h"
#include "tests/print/print_test_support.h"
#include "tests/support/scripted_prompts.h"

namespace {

TEST(PrnSel, ListsThePrintersThenThePdfPrinterAndIgnoresTyping) {
  Registry::DeleteSetting(Registry::kCollateSection, print::kPrinterKey);
  print::SetCurrentPrinterName(QString());
  print::PrnSel chooser;
  EXPECT_EQ(chooser.windowTitle(), print::kChoosePrinterCaption);
  QStringList listed;
  for (int i = 0; i < chooser.Com()->count(); ++i) listed.append(chooser.Com()->itemText(i));
  EXPECT_EQ(listed, print::PrinterNames());
  EXPECT_EQ(listed.constLast(), print::kPdfPrinterName);
  EXPECT_EQ(chooser.Com()->currentText(), print::DefaultPrinterName()) << "first use: the system's default";
  const QString before = chooser.Com()->currentText();
  QTest::keyClicks(chooser.Com(), QStringLiteral("abc"));
  QTest::keyClick(chooser.Com(), Qt::Key_Down);
  EXPECT_EQ(chooser.Com()->currentText(), before);
}

TEST(PrnSel, OkRemembersTheChoiceAndCancelChoosesNothing) {
  test::FreshPrompts();
  print::SetCurrentPrinterName(QString());
  {
    print::PrnSel chooser;
    chooser.Com()->setCurrentText(print::kPdfPrinterName);
    chooser.okButton()->click();
    EXPECT_EQ(print::ChosenPrinterName(), print::kPdfPrinterName);
    EXPECT_EQ(print::CurrentPrinterName(), print::kPdfPrinterName);
    EXPECT_EQ(Registry::GetSetting(Registry::kCollateSection, print::kPrinterKey), print::kPdfPrinterName);
  }
  {
    print::PrnSel chooser;  // the next command shows the remembered printer
    EXPECT_EQ(chooser.Com()->currentText(), print::kPdfPrinterName);
    chooser.cancelButton()->click();
    EXPECT_TRUE(print::ChosenPrinterName().isEmpty());
    EXPECT_EQ(print::CurrentPrinterName(), print::kPdfPrinterName) << "cancel keeps the current printer";
  }
}

TEST(PrnSel, AStoredPrinterThatIsGoneIsShownAndKeepsTheCurrentOne) {
  auto& prompts = test::FreshPrompts();
  print::SetCurrentPrinterName(print::kPdfPrinterName);
  Registry::SaveSetting(Registry::kCollateSection, print::kPrinterKey, QStringLiteral("Removed Printer"));
  print::PrnSel chooser;
  EXPECT_EQ(chooser.Com()->currentText(), QStringLiteral("Removed Printer"));
  chooser.okButton()->click();
  EXPECT_EQ(print::CurrentPrinterName(), print::kPdfPrinterName);
  EXPECT_EQ(print::ChosenPrinterName(), QStringLiteral("Removed Printer"));
  EXPECT_TRUE(prompts.shown.isEmpty()) << "the current printer is reachable";
  Registry::DeleteSetting(Registry::kCollateSection, print::kPrinterKey);
}

TEST(CollateForm, FiltersKeysStoresOnOkAndKeepsTextsAfterCancel) {
  auto& prompts = test::FreshPrompts();
  Registry::DeleteSetting(Registry::kCollateSection, print::kMarginXKey);
  Registry::SaveSetting(Registry::kCollateSection, print::kMarginYKey, QStringLiteral("12.50"));
  print::CollateForm form;
  form.SetPrinter(QStringLiteral("Office Laser"));
  EXPECT_EQ(form.windowTitle(), print::kCollateCaption);
  EXPECT_EQ(form.TextX()->text(), QStringLiteral("13"));
  EXPECT_EQ(form.TextY()->text(), QStringLiteral("12.5"));

  form.TextX()->clear();
  QTest::keyClicks(form.TextX(), QStringLiteral("9a.5"));
  EXPECT_EQ(form.TextX()->text(), QStringLiteral("9.5"));
  EXPECT_EQ(prompts.shown, QStringList{print::kDigitsOnly});
  QTest::keyClick(form.TextX(), Qt::Key_Backspace);
  EXPECT_EQ(form.TextX()->text(), QStringLiteral("9."));

  form.TextX()->setText(QStringLiteral("9.5"));
  form.TextY()->setText(QStringLiteral("-2"));
  form.Confirm();
  EXPECT_EQ(Registry::GetSetting(Registry::kCollateSection, print::kMarginXKey), QStringLiteral("9.5"));
  EXPECT_EQ(Registry::GetSetting(Registry::kCollateSection, print::kMarginYKey), QStringLiteral("-2"));

  form.TextX()->setText(QStringLiteral("20"));
  form.Cancel();
  EXPECT_EQ(Registry::GetSetting(Registry::kCollateSection, print::kMarginXKey), QStringLiteral("9.5"));
  form.SetPrinter(QStringLiteral("Office Laser"));
  EXPECT_EQ(form.TextX()->text(), QStringLiteral("20")) << "the edited text stays for the next showing";
  EXPECT_DOUBLE_EQ(print::ReadPrinterOffsets(QStringLiteral("Office Laser")).x, -0.5);
  form.SetPrinter(QStringLiteral("针式打印机"));
  EXPECT_EQ(form.TextX()->text(), QStringLiteral("13")) << "another printer shows its own margins";
  Registry::DeleteSetting(print::kPrinterMarginsSection, QStringLiteral("Office Laser"));
  Registry::DeleteSetting(Registry::kCollateSection, print::kMarginXKey);
  Registry::DeleteSetting(Registry::kCollateSection, print::kMarginYKey);
}

TEST(PreviewWindow, ShowsThePageWithTheEnvelopeWhereItWillPrint) {
  print::SetCurrentPrinterName(print::kPdfPrinterName);
  editor::EnvelopeModel m;
  printtest::SetUpEnvelope(m, 2);
  print::PreviewWindow window(m, nullptr);
  const print::Preview& p = window.preview();
  ASSERT_FALSE(p.page.isNull());
  EXPECT_NEAR(p.paper.width(), 297, 0.1) << "DL with 纵向打印: a landscape A4 page";
  EXPECT_NEAR(p.envelope.top(), 100, 1e-9) << "the PDF printer has no margin to correct";
  EXPECT_NEAR(p.envelope.left(), 0, 1e-9);

  editor::TabOptions o = m.options();
  o.rotate = true;
  o.centreFeed = true;
  m.SetOptions(o);  // the preview follows the options
  EXPECT_NEAR(window.preview().envelope.top(), 50, 1e-9) << "turned, at the same place as unturned";

  printtest::SetUpEnvelope(m, 5);  // C4 needs A3, which the PDF printer has
  EXPECT_NEAR(window.preview().paper.width(), 420, 0.1);
}

TEST(PreviewWindow, FitsASmallScreenWithItsCaptionShowing) {
  print::SetCurrentPrinterName(print::kPdfPrinterName);
  editor::EnvelopeModel m;
  printtest::SetUpEnvelope(m, 2);
  print::PreviewWindow window(m, nullptr);
  const QRect screen = window.screen()->availableGeometry();
  ASSERT_GE(screen.height(), 600);
  EXPECT_GE(window.y(), screen.top()) << "the title bar is above the window's client area";
  EXPECT_LE(window.y() + window.height(), screen.bottom());
  EXPECT_LE(window.height(), screen.height() - 60) << "room for the frame and caption";
}

QPushButton* Button(const QWidget& window, const QString& text) {
  for (QPushButton* b : window.findChildren<QPushButton*>())
    if (b->text() == text) return b;
  ADD_FAILURE() << text.toStdString();
  return nullptr;
}

void CtrlWheel(print::PreviewWindow& window, int delta) {
  QWidget* view = window.scrollArea()->viewport();
  const QPointF at(view->width() / 2.0, view->height() / 2.0);
  QWheelEvent wheel(at, view->mapToGlobal(at), {}, {0, delta}, Qt::NoButton, Qt::ControlModifier,
                    Qt::NoScrollPhase, false);
  QApplication::sendEvent(view, &wheel);
}

TEST(PreviewWindow, OpensFittedOnTheSmallScreenThenZoomsAndPagesThroughARun) {
  print::SetCurrentPrinterName(print::kPdfPrinterName);
  editor::EnvelopeModel m;
  printtest::SetUpEnvelope(m, 5);  // C4 on an A3 page: the tallest page there is
  std::vector<int> shownEnvelopes;
  print::PreviewWindow window(m, nullptr, {3, 1, [&](int n) { shownEnvelopes.push_back(n); }});
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  ASSERT_EQ(window.screen()->availableGeometry().size(), QSize(1366, 768));
  EXPECT_TRUE(window.screen()->availableGeometry().contains(window.frameGeometry()));
  const QSize view = window.scrollArea()->viewport()->size();
  const auto shown = [&] { return window.pageLabel()->pixmap().size(); };
  // The whole page is in view, and as large as the view allows.
  EXPECT_LE(shown().width(), view.width());
  EXPECT_LE(shown().height(), view.height());
  EXPECT_GE(shown().height(), view.height() - 8);

  const double fitted = window.zoom();
  const struct {
    const char* how;
    std::function<void()> act;
    double zoom;  // relative to the fitted page
  } steps[] = {
      {"the zoom-in button", [&] { Button(window, print::kZoomIn)->click(); }, 1.25},
      {"Ctrl+=", [&] { QTest::keyClick(&window, Qt::Key_Equal, Qt::ControlModifier); }, 1.25 * 1.25},
      {"Ctrl+-", [&] { QTest::keyClick(&window, Qt::Key_Minus, Qt::ControlModifier); }, 1.25},
      {"Ctrl+wheel away", [&] { CtrlWheel(window, 120); }, 1.25 * 1.25},
      {"Ctrl+wheel back", [&] { CtrlWheel(window, -120); }, 1.25},
      {"the zoom-out button", [&] { Button(window, print::kZoomOut)->click(); }, 1},
      {"fit page", [&] { Button(window, print::kFitPage)->click(); }, 1},
  };
  for (const auto& step : steps) {
    step.act();
    EXPECT_NEAR(window.zoom() / fitted, step.zoom, 1e-9) << step.how;
  }
  Button(window, print::kFitWidth)->click();
  // Across the whole view, less at most a scroll bar's width kept free for the bar.
  const int across = window.scrollArea()->viewport()->width();
  EXPECT_LE(shown().width(), across);
  EXPECT_GE(shown().width(), across - window.scrollArea()->verticalScrollBar()->sizeHint().width() - 8);
  EXPECT_GE(window.zoom(), fitted);

  // Pages: one envelope of the run each.
  const struct {
    QString button;
    int page;
  } turns[] = {{print::kNextPage, 2}, {print::kLastPage, 3}, {print::kNextPage, 3}, {print::kFirstPage, 1}};
  for (const auto& turn : turns) {
    if (Button(window, turn.button)->isEnabled()) Button(window, turn.button)->click();
    EXPECT_EQ(window.pageNumber()->text(), print::kPageOf.arg(turn.page).arg(3)) << turn.button.toStdString();
  }
  EXPECT_EQ(shownEnvelopes, (std::vector<int>{1, 2, 3, 1}));
}

}  // namespace
