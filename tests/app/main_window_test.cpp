#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QEnterEvent>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTimer>
#include <QUrl>

#include "app/app_texts.h"
#include "app/user_guide.h"
#include "editor/editor_texts.h"
#include "editor/ui/envelope_canvas.h"
#include "print/current_printer.h"
#include "print/print_texts.h"
#include "store/registry.h"
#include "store/store_texts.h"
#include "tests/support/par_database.h"
#include "tests/support/scripted_prompts.h"

namespace {

const QString kX = QStringLiteral("X");
const QString kY = QStringLiteral("Y");

void ForgetMargins() {
  Registry::DeleteSetting(Registry::kCollateSection, kX);
  Registry::DeleteSetting(Registry::kCollateSection, kY);
}

double Proportion(const QWidget* w) { return double(w->width()) / w->height(); }

class MainWindowTest : public testing::Test {
 protected:
  MainWindowTest() {
    test::FreshPrompts();
    ForgetMargins();
  }
  ~MainWindowTest() override { ForgetMargins(); }

  // Loads and shows the window as the program does, active so that focus moves for real.
  void Start() {
    window.Load();
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  }
  void ChooseSize(int index) { QTest::mouseClick(window.O1(index), Qt::LeftButton, {}, QPoint(6, 6)); }
  // Types into the custom size boxes as a user does, one after the other with the program
  // running in between, and leaves the pair with a click on "保存 当前格式".
  void EnterCustomSize(const QString& width, const QString& height) {
    for (int i = 0; i < 2; ++i) {
      QLineEdit* box = window.T1(i);
      box->setFocus(Qt::TabFocusReason);
      QCoreApplication::processEvents();
      box->selectAll();
      QTest::keyClick(box, Qt::Key_Backspace);
      QTest::keyClicks(box, i == 0 ? width : height);
      QCoreApplication::processEvents();
    }
    QTest::mouseClick(window.CB(12), Qt::LeftButton);
    QCoreApplication::processEvents();
  }

  test::ParDatabase database;  // outlives the window
  MF window;
};

TEST_F(MainWindowTest, StartOpensOnTheEnvelopeTabWithDlAndTheCaption) {
  Start();
  EXPECT_EQ(window.windowTitle(), QStringLiteral("Kovapost envelope printer4.39"));
  EXPECT_EQ(window.SST()->currentIndex(), MF::kEnvelopeTab);
  EXPECT_EQ(window.SST()->count(), 4);
  EXPECT_TRUE(window.O1(editor::kDefaultSize)->isChecked());
  EXPECT_NEAR(Proportion(window.EP()), 2.0, 0.01);
  EXPECT_FALSE(window.T1(0)->isEnabled());
  EXPECT_EQ(window.T1(0)->text(), QStringLiteral("220"));
  EXPECT_EQ(window.T1(1)->text(), QStringLiteral("110"));
  EXPECT_EQ(window.T2()->text(), QStringLiteral("提示："));
  EXPECT_EQ(window.envelope().canvasSize(), window.EP()->size() * 15);
  // The window fits the screen and the canvas, panel and tip line stand inside it.
  const QRect screen = window.screen()->availableGeometry();
  EXPECT_LE(window.width(), screen.width());
  EXPECT_LE(window.height(), screen.height());
  EXPECT_LE(window.EP()->mapTo(&window, QPoint(window.EP()->width(), 0)).x(),
            window.PIC1()->mapTo(&window, QPoint(0, 0)).x());
  EXPECT_LE(window.T2()->geometry().bottom(), window.height());
}

TEST(CalibrationMarkTest, CalibrateButtonIsBoldWhileTheChosenPrinterWasNeverCalibrated) {
  const QString laser = QStringLiteral("Office Laser");
  const struct {
    const char* x;
    const char* y;
    const char* ownMargins;  // of another printer
    QString printer;
    bool bold;
  } cases[] = {
      {nullptr, nullptr, nullptr, laser, true},
      {"13", "13", nullptr, laser, false},  // stored before margins were kept per printer
      {"12.5", nullptr, nullptr, laser, false},
      {nullptr, "-1", nullptr, laser, false},
      {"13", "13", "11 12", laser, true},                          // another printer was calibrated since
      {nullptr, nullptr, nullptr, print::kPdfPrinterName, false},  // needs no calibration
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.x ? c.x : "-") + "/" + (c.y ? c.y : "-") + " " + c.printer.toStdString());
    ForgetMargins();
    if (c.x) Registry::SaveSetting(Registry::kCollateSection, kX, QString::fromLatin1(c.x));
    if (c.y) Registry::SaveSetting(Registry::kCollateSection, kY, QString::fromLatin1(c.y));
    if (c.ownMargins)
      Registry::SaveSetting(print::kPrinterMarginsSection, QStringLiteral("Dot Matrix"),
                            QString::fromLatin1(c.ownMargins));
    print::SetCurrentPrinterName(c.printer);
    test::ParDatabase database;
    MF window;
    window.Load();
    EXPECT_EQ(window.CB(2)->font().bold(), c.bold);
  }
  Registry::DeleteSetting(print::kPrinterMarginsSection, QStringLiteral("Dot Matrix"));
  print::SetCurrentPrinterName(QString());
  ForgetMargins();
}

TEST_F(MainWindowTest, EveryCommandButtonHasItsCaptionNameAndTipLine) {
  Start();
  EXPECT_EQ(window.CB(app::kUnusedCommand), nullptr);
  for (int i = 0; i < app::kCommandCount; ++i) {
    if (i == app::kUnusedCommand) continue;
    SCOPED_TRACE(i);
    QPushButton* button = window.findChild<QPushButton*>(QStringLiteral("CB(%1)").arg(i));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button, window.CB(i));
    EXPECT_EQ(button->text(), app::kCommands[i].caption);
    window.SetTip(QStringLiteral("提示："));
    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
    QCoreApplication::sendEvent(button, &enter);
    EXPECT_EQ(window.T2()->text(),
              app::kCommands[i].tipLine.isEmpty() ? QStringLiteral("提示：") : app::kCommands[i].tipLine);
  }
  EXPECT_EQ(window.CB(1)->text(), QStringLiteral("当前信封开始 打 印"));
  EXPECT_EQ(window.CB(12)->toolTip(),
            QStringLiteral("保存当前调整好的位置格式（每种信封标准可保存一种格式）。"));
  QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
  QCoreApplication::sendEvent(window.F(1), &enter);
  EXPECT_EQ(window.T2()->text(), editor::kSizeFrameTip);
}

TEST_F(MainWindowTest, ControlsCarryTheirNamesCaptionsAndTips) {
  Start();
  const struct {
    const char16_t* name;
    const char16_t* caption;
    const char16_t* tip;
  } cases[] = {
      {u"O2(1)", u"锁定格式", u"选中时无法移动输入框"},
      {u"O2(0)", u"显示标尺(厘米)",
       u"在信封上显示标尺，方便用户移动输入框校准位置(输入框在屏幕上的位置就是它打印在信封上的位置)。"},
      {u"CRotate", u"旋转180度打印", nullptr},
      {u"CHK", u"进纸器两边向中间收缩", nullptr},
      {u"O3(0)", u"纵向打印", nullptr},
      {u"O3(1)", u"横向打印", nullptr},
      {u"O1(0)", u"C6: 162*114 毫米", nullptr},
      {u"O1(1)", u"B6: 176*125 毫米", u"3号信封"},
      {u"O1(2)", u"DL: 220*110 毫米", u"5号信封"},
      {u"O1(5)", u"C4: 324*229 毫米", u"9号信封"},
      {u"O1(6)", u"自定义：220*111", nullptr},
      {u"Option1(0)", u"清除无姓名数据", nullptr},
      {u"Option1(1)", u"清除无邮编数据", nullptr},
      {u"Option1(2)", u"清除无地址数据", nullptr},
  };
  for (const auto& c : cases) {
    const QString name = QString::fromUtf16(c.name);
    SCOPED_TRACE(name.toStdString());
    auto* button = window.findChild<QAbstractButton*>(name);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->text(), QString::fromUtf16(c.caption));
    EXPECT_EQ(button->toolTip(), c.tip ? QString::fromUtf16(c.tip) : QString());
  }
  const struct {
    const char16_t* name;
    const char16_t* caption;
  } frames[] = {{u"F1", u"信 封 规 格"},
                {u"F2", u"打 印 信 封"},
                {u"F3", u"打 印 校 准"},
                {u"F4", u"信 封 数 量"},
                {u"Frame1", u"数据清除规则"}};
  for (const auto& f : frames) {
    auto* frame = window.findChild<QGroupBox*>(QString::fromUtf16(f.name));
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->title(), QString::fromUtf16(f.caption));
  }
  for (const char16_t* name :
       {u"EP", u"NS", u"PIC1", u"PIC2", u"MSF", u"TT", u"THP", u"T2", u"SST", u"PostCode", u"Num(0)",
        u"Num(1)", u"T1(0)", u"T1(1)", u"P1(0)", u"P1(10)", u"Label4"})
    EXPECT_NE(window.findChild<QWidget*>(QString::fromUtf16(name)), nullptr)
        << QString::fromUtf16(name).toStdString();
  EXPECT_EQ(window.O1(5)->property("Tag").toInt(), 7);
  EXPECT_EQ(window.T1(0)->maxLength(), 3);
  EXPECT_EQ(window.T1(0)->toolTip(), editor::kCustomWidthTip);
  EXPECT_EQ(window.NS()->minimum(), 1);
  EXPECT_EQ(window.MSF()->model(), &window.records());
  EXPECT_FALSE(window.THP()->toPlainText().isEmpty());
}

TEST_F(MainWindowTest, SizeOptionsReproportionTheCanvas) {
  Start();
  const struct {
    int option;
    double proportion;
    const char* w;
    const char* h;
  } cases[] = {{5, 324.0 / 229, "324", "229"},
               {2, 2.0, "220", "110"},
               {0, 162.0 / 114, "162", "114"},
               {6, 220.0 / 111, "220", "111"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.option);
    ChooseSize(c.option);
    EXPECT_EQ(window.envelope().chosenSize(), c.option);
    EXPECT_NEAR(Proportion(window.EP()), c.proportion, 0.01);
    EXPECT_EQ(window.NS()->width(), window.EP()->width());
    EXPECT_EQ(window.T1(0)->text(), QString::fromLatin1(c.w));
    EXPECT_EQ(window.T1(1)->text(), QString::fromLatin1(c.h));
    EXPECT_EQ(window.T1(0)->isEnabled(), c.option == editor::kCustomSize);
  }
}

TEST_F(MainWindowTest, CustomSizeIsTakenWhenTheBoxLosesTheFocus) {
  Start();
  ChooseSize(editor::kCustomSize);
  // 220 x 111 to 324 x 229: the width alone (324 x 111) would be far too long; the pair is fine.
  // The click on "保存 当前格式" that ends the typing saves the new size.
  for (const auto& [w, h, caption] : {std::tuple{"324", "229", "自定义：324*229"},
                                      {"25x0", "176", "自定义：250*176"},
                                      {"90", "45", "自定义：90*45"}}) {
    SCOPED_TRACE(caption);
    test::ScriptedPrompts& prompts = test::FreshPrompts();
    EnterCustomSize(QString::fromLatin1(w), QString::fromLatin1(h));
    const QString expected = QString::fromUtf8(caption);
    EXPECT_EQ(window.O1(6)->text(), expected);
    EXPECT_NEAR(Proportion(window.EP()), window.envelope().W() / window.envelope().H(), 0.01);
    EXPECT_EQ(prompts.shown, QStringList{DataBase::FormatSavedText(expected)});
    EXPECT_EQ(test::RawSql(database.path(), DataBase::ConnectionPassword(),
                           QStringLiteral("SELECT DISTINCT Name FROM 格式 WHERE Name LIKE '自定义%'")),
              QStringList{expected});
  }
}

TEST_F(MainWindowTest, LopsidedOrEmptyCustomSizeIsRefusedAndTheLastOneKept) {
  Start();
  ChooseSize(editor::kCustomSize);
  const QSize canvas = window.EP()->size();
  for (const auto& [w, h] :
       {std::pair{"300", "100"}, {"100", "200"}, {"0", "110"}, {"", "110"}, {"220", ""}}) {
    SCOPED_TRACE(std::string(w) + " x " + h);
    test::ScriptedPrompts& prompts = test::FreshPrompts();
    EnterCustomSize(QString::fromLatin1(w), QString::fromLatin1(h));
    // Refused as the pair is left; the click then saves the size kept.
    EXPECT_EQ(prompts.shown, (QStringList{DataBase::FormatSavedText(QStringLiteral("自定义：220*111")),
                                          editor::kBadProportions}));
    EXPECT_EQ(window.O1(6)->text(), QStringLiteral("自定义：220*111"));
    EXPECT_EQ(window.T1(0)->text(), QStringLiteral("220"));
    EXPECT_EQ(window.T1(1)->text(), QStringLiteral("111"));
    EXPECT_EQ(window.EP()->size(), canvas);
  }
}

TEST_F(MainWindowTest, UserResizeKeepsTheCanvasProportionsAndEveryBoxInPlaceInMillimetres) {
  Start();
  ChooseSize(5);  // C4
  const editor::EnvelopeModel& m = window.envelope();
  const auto mm = [&m](int i) {
    const QRect& g = m.box(i).geometry;
    return QRectF(m.TwipsToMm(g.left()), m.TwipsToMm(g.top()), m.TwipsToMm(g.width()),
                  m.TwipsToMm(g.height()));
  };
  std::array<QRectF, editor::kBoxCount> before;
  for (int i = 0; i < editor::kBoxCount; ++i) before[i] = mm(i);
  const double fontPerPixel = double(window.P1(editor::kNameBox)->font().pixelSize()) / window.EP()->width();
  const double nameShare = double(window.P1(editor::kNameBox)->width()) / window.EP()->width();
  for (const QSize& size : {QSize(900, 500), QSize(1200, 700), QSize(400, 300), QSize(1200, 700)}) {
    SCOPED_TRACE(size.width());
    window.resize(size);
    QCoreApplication::processEvents();
    EXPECT_NEAR(Proportion(window.EP()), 324.0 / 229, 0.02);
    EXPECT_LE(window.SST()->geometry().right(), window.width());
    EXPECT_LE(window.T2()->geometry().bottom(), window.height());
    EXPECT_EQ(window.envelope().canvasSize(), window.EP()->size() * 15);
    // The boxes keep their place and size on the envelope; the screen font grows with the canvas.
    // Within a twip, which on the smallest canvas is a tenth of a millimetre.
    const double tolerance = std::max(0.1, m.W() / m.canvasSize().width()) + 0.005;
    for (int i = 0; i < editor::kBoxCount; ++i) {
      EXPECT_NEAR(mm(i).left(), before[i].left(), tolerance) << i;
      EXPECT_NEAR(mm(i).top(), before[i].top(), tolerance) << i;
      EXPECT_NEAR(mm(i).width(), before[i].width(), tolerance) << i;
      EXPECT_NEAR(mm(i).height(), before[i].height(), tolerance) << i;
    }
    EXPECT_NEAR(double(window.P1(editor::kNameBox)->width()) / window.EP()->width(), nameShare, 0.01);
    EXPECT_NEAR(window.P1(editor::kNameBox)->font().pixelSize(), fontPerPixel * window.EP()->width(), 1.0);
  }
}

TEST_F(MainWindowTest, GridTabLaysOutTheGridBesideItsPanel) {
  Start();
  window.SST()->setCurrentIndex(MF::kGridTab);
  EXPECT_GT(window.MSF()->width(), 0);
  EXPECT_NEAR(window.PIC2()->x() - window.MSF()->geometry().right(), 60 / 15, 1);
  EXPECT_NEAR(window.PIC2()->width(), MF::kGridPanelWidth / 15, 1);
  // The filter bar takes the top of the grid's place.
  const auto* bar = window.findChild<QWidget*>(QStringLiteral("FilterBar"));
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->geometry().bottom() + 1, window.MSF()->y());
  EXPECT_NEAR(window.PIC2()->height(), bar->height() + window.MSF()->height() + 100 / 15, 1);
  window.SST()->setCurrentIndex(MF::kEnvelopeTab);
  EXPECT_NEAR(Proportion(window.EP()), 2.0, 0.01);
}

TEST_F(MainWindowTest, EditKeysOfTheEnvelopeButtonsBoxesAndWindowReachTheCanvas) {
  Start();
  QSignalSpy keys(window.EP(), &editor::EnvelopeCanvas::editKey);
  const auto press = [](QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers) {
    widget->setFocus(Qt::TabFocusReason);
    QTest::keyClick(widget, key, modifiers);
  };
  for (int index : {0, 1, 2, 12}) press(window.CB(index), Qt::Key_Left, Qt::ShiftModifier);
  window.SST()->setCurrentIndex(MF::kGridTab);
  press(window.CB(3), Qt::Key_Left, {});  // a data-tab button does not edit the envelope
  window.SST()->setCurrentIndex(MF::kEnvelopeTab);
  press(window.P1(7), Qt::Key_Down, Qt::ControlModifier);
  // The modifier keys go down first and are passed on too; the arrows are what counts.
  QList<QList<QVariant>> arrows;
  for (const QList<QVariant>& key : keys)
    if (key[0].toInt() != Qt::Key_Shift && key[0].toInt() != Qt::Key_Control) arrows << key;
  ASSERT_EQ(arrows.size(), 5);
  EXPECT_EQ(arrows[0][0].toInt(), int(Qt::Key_Left));
  EXPECT_EQ(arrows[0][1].value<Qt::KeyboardModifiers>(), Qt::ShiftModifier);
  EXPECT_EQ(arrows[4][0].toInt(), int(Qt::Key_Down));
  EXPECT_EQ(arrows[4][1].value<Qt::KeyboardModifiers>(), Qt::ControlModifier);
}

TEST_F(MainWindowTest, AboutBoxNamesVersionLicenceAndLibraries) {
  Start();
  test::ScriptedPrompts& prompts = test::FreshPrompts();
  window.CB(10)->click();
  ASSERT_EQ(prompts.shown.size(), 1);
  for (const char* part : {"4.39", "MIT", "Qt", "LGPL", "SQLCipher", "FreeXL", "liborcus", "Noto"})
    EXPECT_TRUE(prompts.shown[0].contains(QString::fromLatin1(part))) << part;
}

TEST_F(MainWindowTest, MoreHelpShowsTheGuideInTheProgramAndTheBrowserStaysAnOption) {
  Start();
  QList<QUrl> opened;
  window.SetUrlOpener([&](const QUrl& url) {
    opened << url;
    return true;
  });
  window.CB(11)->click();
  auto* help = window.findChild<app::HelpWindow*>();
  ASSERT_NE(help, nullptr);
  EXPECT_TRUE(help->isVisible());
  EXPECT_TRUE(opened.isEmpty()) << "no browser needed";
  QTextDocument* guide = help->page()->document();
  EXPECT_TRUE(guide->toPlainText().contains(QStringLiteral("使用手册")));
  // Every picture of the guide loads, and a link inside it leads to its place.
  int pictures = 0;
  for (QTextBlock block = guide->begin(); block.isValid(); block = block.next())
    for (auto it = block.begin(); !it.atEnd(); ++it)
      if (it.fragment().charFormat().isImageFormat()) {
        const QString name = it.fragment().charFormat().toImageFormat().name();
        EXPECT_FALSE(guide->resource(QTextDocument::ImageResource, QUrl(name)).isNull())
            << name.toStdString();
        ++pictures;
      }
  EXPECT_GE(pictures, 4);
  emit help->page()->anchorClicked(QUrl(QStringLiteral("#preview")));
  EXPECT_EQ(help->page()->source().fragment(), QStringLiteral("preview"));

  // The browser: a copy of the guide on disk, with its pictures beside it.
  help->OpenInBrowser();
  ASSERT_EQ(opened.size(), 1);
  ASSERT_TRUE(opened[0].isLocalFile());
  EXPECT_TRUE(QFile::exists(
      QFileInfo(opened[0].toLocalFile()).dir().filePath(QStringLiteral("images/envelope-tab.png"))));
  // A desktop without a browser gets told so instead of silence.
  test::ScriptedPrompts& prompts = test::FreshPrompts();
  window.SetUrlOpener([](const QUrl&) { return false; });
  help->OpenInBrowser();
  ASSERT_EQ(prompts.shown.size(), 1);
  EXPECT_TRUE(prompts.shown[0].contains(opened[0].toLocalFile()));
}

TEST_F(MainWindowTest, RepeatedInstanceTestClosesOnlyWhenAnotherProgramHoldsTheLock) {
  EXPECT_TRUE(window.ADRun()->isSingleShot());
  EXPECT_EQ(window.ADRun()->interval(), 1000);
  for (const bool another : {false, true}) {
    SCOPED_TRACE(another);
    MF second;
    second.SetInstanceCheck([another] { return another; });
    test::ScriptedPrompts& prompts = test::FreshPrompts();
    second.Load();
    second.show();
    ASSERT_TRUE(second.ADRun()->isActive());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !second.ADRun()->isActive(); }, 5000));
    QCoreApplication::processEvents();
    EXPECT_EQ(second.isVisible(), !another);
    EXPECT_EQ(prompts.shown, another ? QStringList{app::kAlreadyRunningLater} : QStringList{});
  }
}

TEST_F(MainWindowTest, FirstStartShowsTheStandardDlEnvelopeWithItsGuide) {
  Start();
  // The shipped DL format (its postcode digits are checked on paper in the same-print test): the
  // sender postcode at the bottom right, the guide drawn and its check box ticked.
  const editor::EnvelopeModel& m = window.envelope();
  const QRect& sender = m.box(editor::kSenderPostcodeBox).geometry;
  EXPECT_GT(m.TwipsToMm(sender.left()), m.W() / 2);
  EXPECT_GT(m.TwipsToMm(sender.top()), m.H() / 2);
  EXPECT_FALSE(m.box(editor::kSenderAddressBox).text.isEmpty());
  EXPECT_TRUE(window.O2(2)->isChecked());
  // The guide shows in faint red on the canvas, and goes with its check box.
  const auto reddish = [this] {
    const QImage canvas = window.EP()->grab().toImage();
    int count = 0;
    for (int y = 0; y < canvas.height(); ++y)
      for (int x = 0; x < canvas.width(); ++x)
        count += qRed(canvas.pixel(x, y)) > qGreen(canvas.pixel(x, y)) + 40;
    return count;
  };
  EXPECT_GT(reddish(), 100);
  QTest::mouseClick(window.O2(2), Qt::LeftButton, {}, QPoint(6, 6));
  EXPECT_FALSE(m.options().guide);
  EXPECT_EQ(reddish(), 0);
  QTest::mouseClick(window.O2(2), Qt::LeftButton, {}, QPoint(6, 6));
  // Pictures for the README.
  for (const auto& [tab, file] : {std::pair{MF::kHelpTab, "main_window_help.png"},
                                  {MF::kGridTab, "main_window_grid.png"},
                                  {MF::kEnvelopeTab, "main_window.png"}}) {
    window.SST()->setCurrentIndex(tab);
    QCoreApplication::processEvents();
    EXPECT_TRUE(window.grab().save(QStringLiteral(KOVA_BUILD_DIR "/") + QString::fromLatin1(file)));
  }
}

}  // namespace
