// Every tab on every common office screen: 1366 x 768, 1280 x 720 and 1920 x 1080 at 100, 125, 150
// and 200 %. A screen and its scale are fixed when the program starts, so each one is tried in a
// program of its own: this test starts its own binary once per screen and scale.
//
// The walk tells two faults apart:
//  - squashed: a control is smaller than its size hint (a layout gave it too little room, so
//    its text is cut inside it);
//  - clipped: a control has its size, but part of it lies outside one of its parents or the
//    screen, and no scroll bar can bring it in.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextDocument>

#include "app/main_window.h"
#include "app/program.h"
#include "editor/ui/box_widget.h"
#include "editor/ui/envelope_canvas.h"
#include "tests/support/par_database.h"
#include "tests/support/scripted_prompts.h"

namespace {

const char kChildVariable[] = "KOVA_SCREEN_WALK";

QString Name(const QWidget* w) {
  QString name =
      w->objectName().isEmpty() ? QString::fromLatin1(w->metaObject()->className()) : w->objectName();
  if (const auto* button = qobject_cast<const QAbstractButton*>(w))
    name += QStringLiteral(" \"") + button->text() + u'"';
  if (const auto* label = qobject_cast<const QLabel*>(w))
    name += QStringLiteral(" \"") + label->text().left(12) + u'"';
  return name;
}

bool IsControl(const QWidget* w) {
  if (const auto* label = qobject_cast<const QLabel*>(w)) return !label->text().isEmpty();
  return qobject_cast<const QAbstractButton*>(w) || qobject_cast<const QLineEdit*>(w) ||
         qobject_cast<const QComboBox*>(w) || qobject_cast<const QAbstractSpinBox*>(w);
}

// Drawn by the program itself rather than laid out: the canvas with its boxes, and the inner
// parts of tables, combo boxes and spin boxes.
bool DrawnByTheProgram(const QWidget* w, const MF& window) {
  for (const QWidget* p = w->parentWidget(); p && p != &window; p = p->parentWidget())
    if (p == window.EP() || qobject_cast<const QAbstractItemView*>(p) || qobject_cast<const QComboBox*>(p) ||
        qobject_cast<const QAbstractSpinBox*>(p))
      return true;
  return false;
}

QString Squashed(const QWidget* w) {
  const auto* label = qobject_cast<const QLabel*>(w);
  const int hintHeight =
      label && label->wordWrap() ? label->heightForWidth(w->width()) : w->sizeHint().height();
  int hintWidth = label && label->wordWrap() ? 0 : w->minimumSizeHint().width();
  if (const auto* box = qobject_cast<const QLineEdit*>(w)) {
    // A box needs room for its text (Qt's hint asks for several of the widest characters).
    const int frame = box->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, box);
    hintWidth = box->fontMetrics().horizontalAdvance(box->text()) + 2 * frame + 4;
  }
  if (w->height() < hintHeight || w->width() < hintWidth)
    return QStringLiteral("squashed to %1x%2, needs %3x%4")
        .arg(w->width())
        .arg(w->height())
        .arg(hintWidth)
        .arg(hintHeight);
  return {};
}

QString Clipped(const QWidget* w, const QWidget* window) {
  QRect r = w->rect();
  const QWidget* child = w;
  for (const QWidget* p = w->parentWidget(); p; child = p, p = p->parentWidget()) {
    r.translate(child->pos());
    const auto* area = p->parentWidget() ? qobject_cast<const QScrollArea*>(p->parentWidget()) : nullptr;
    if (area && p == area->viewport()) {
      // Scrolled content: reachable when it fits across and the vertical bar shows when needed.
      const QWidget* content = area->widget();
      if (content->width() > p->width()) return u"wider than the scroll area "_qs + Name(area);
      if (content->height() > p->height() && !area->verticalScrollBar()->isVisible())
        return u"below the fold of "_qs + Name(area) + u" without a scroll bar"_qs;
      r = QRect(QPoint(r.left(), 0), QSize(r.width(), std::min(r.height(), p->height())));
      continue;
    }
    if (!p->rect().contains(r)) return u"cut off by "_qs + Name(p);
    if (p == window) break;
  }
  return {};
}

QStringList Walk(MF& window) {
  QStringList faults;
  const QRect screen = window.screen()->availableGeometry();
  if (!screen.contains(window.frameGeometry()))
    faults << QStringLiteral("the window %1,%2 %3x%4 is not inside the screen's %5x%6")
                  .arg(window.frameGeometry().x())
                  .arg(window.frameGeometry().y())
                  .arg(window.frameGeometry().width())
                  .arg(window.frameGeometry().height())
                  .arg(screen.width())
                  .arg(screen.height());
  for (int tab = 0; tab < window.SST()->count(); ++tab) {
    window.SST()->setCurrentIndex(tab);
    QCoreApplication::processEvents();
    for (QWidget* w : window.findChildren<QWidget*>()) {
      if (!w->isVisible() || !IsControl(w) || DrawnByTheProgram(w, window)) continue;
      QString fault = Squashed(w);
      if (fault.isEmpty()) fault = Clipped(w, &window);
      if (!fault.isEmpty()) faults << QStringLiteral("tab %1: %2 %3").arg(tab).arg(Name(w), fault);
    }
  }
  return faults;
}

// Every box on the canvas shows its whole text at the size it prints: for every envelope size,
// and again after the window was shrunk and restored. (The postcode squares keep the printed
// square's size and centre their digit in it.)
QStringList CanvasFaults(MF& window) {
  QStringList faults;
  window.SST()->setCurrentIndex(MF::kEnvelopeTab);
  const QSize full = window.size();
  for (int size = 0; size < editor::kSizeCount; ++size) {
    QTest::mouseClick(window.O1(size), Qt::LeftButton, {}, QPoint(6, 6));
    for (const char* when : {"", " after a shrink"}) {
      if (*when) {
        window.resize(full * 2 / 3);
        QCoreApplication::processEvents();
        window.resize(full);
      }
      QCoreApplication::processEvents();
      for (int b = 0; b < editor::kBoxCount; ++b) {
        const editor::BoxWidget* box = window.P1(b);
        if (!box->isVisible() || box->toPlainText().isEmpty() || editor::RulesOf(b).centred) continue;
        const double text = box->document()->size().height() - box->document()->documentMargin();
        if (box->verticalScrollBar()->value() != 0 || box->viewport()->height() < text)
          faults << QStringLiteral("size %1%2: box %3 \"%4\" shows %5 of %6 px, scrolled %7")
                        .arg(window.O1(size)->text(), QString::fromLatin1(when))
                        .arg(b)
                        .arg(box->toPlainText())
                        .arg(box->viewport()->height())
                        .arg(text)
                        .arg(box->verticalScrollBar()->value());
      }
    }
  }
  return faults;
}

QString ScreenFile(const QString& dir, QSize size) {
  const QString path = dir + QStringLiteral("/screen-%1x%2.json").arg(size.width()).arg(size.height());
  QFile file(path);
  EXPECT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(QStringLiteral(R"({"screens": [{"name": "office", "x": 0, "y": 0, "width": %1, "height": %2,
    "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                 .arg(size.width())
                 .arg(size.height())
                 .toUtf8());
  return path;
}

TEST(ScreensTest, EveryTabFitsEveryCommonScreenAtEveryScale) {
  if (qEnvironmentVariableIsSet(kChildVariable)) {
    // One screen and scale, as set up by the parent run below, in the program's own font.
    app::UseProgramFont();
    test::ParDatabase database;
    MF window;
    window.Load();
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QStringList faults = Walk(window) + CanvasFaults(window);
    EXPECT_TRUE(faults.isEmpty()) << faults.join(u'\n').toStdString();
    return;
  }
  QTemporaryDir dir;
  const struct {
    QSize screen;
    const char* variable;
    const char* scale;
  } cases[] = {
      {{1366, 768}, "QT_SCALE_FACTOR", "1"},
      {{1366, 768}, "QT_SCALE_FACTOR", "1.25"},
      {{1366, 768}, "QT_SCALE_FACTOR", "1.5"},
      {{1366, 768}, "QT_SCALE_FACTOR", "2"},
      {{1280, 720}, "QT_SCALE_FACTOR", "1"},
      {{1280, 720}, "QT_SCALE_FACTOR", "1.25"},
      {{1280, 720}, "QT_SCALE_FACTOR", "1.5"},
      {{1280, 720}, "QT_SCALE_FACTOR", "2"},
      {{1920, 1080}, "QT_SCALE_FACTOR", "1"},
      {{1920, 1080}, "QT_SCALE_FACTOR", "1.25"},
      {{1920, 1080}, "QT_SCALE_FACTOR", "1.5"},
      {{1920, 1080}, "QT_SCALE_FACTOR", "2"},
      {{1366, 768}, "QT_SCREEN_SCALE_FACTORS", "office=1.5"},
  };
  for (const auto& c : cases) {
    const std::string title = std::to_string(c.screen.width()) + "x" + std::to_string(c.screen.height()) +
                              " " + c.variable + "=" + c.scale;
    SCOPED_TRACE(title);
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kChildVariable), QStringLiteral("1"));
    env.insert(QStringLiteral("KOVA_TEST_SCREEN"), ScreenFile(dir.path(), c.screen));
    env.insert(QString::fromLatin1(c.variable), QString::fromLatin1(c.scale));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=ScreensTest.EveryTabFitsEveryCommonScreenAtEveryScale")});
    ASSERT_TRUE(child.waitForFinished(120000));
    const QString output = QString::fromUtf8(child.readAll());
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
  }
}

}  // namespace
