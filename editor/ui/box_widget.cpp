#include "editor/ui/box_widget.h"

#include <QContextMenuEvent>
#include <QMetaMethod>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextFrame>
#include <cmath>

#include "common/numbers.h"
#include "editor/digits_only_key_filter.h"
#include "editor/window_layout.h"

namespace editor {

const QColor BoxWidget::kWhite{255, 255, 255};
const QColor BoxWidget::kSelectedBackColor{208, 208, 208};

QFont ScreenFont(const common::FontChoice& choice, double zoom) {
  QFont font(choice.name);
  font.setPixelSize(std::max(1, common::RoundToInt(choice.size * zoom * 96.0 / 72.0)));
  font.setBold(choice.bold);
  font.setItalic(choice.italic);
  font.setUnderline(choice.underline);
  font.setStrikeOut(choice.strikeout);
  return font;
}

namespace {

// Records and stored texts may carry Windows line ends; the box shows plain line feeds.
QString Displayed(const QString& text) {
  QString shown = text;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  shown.replace(u'\r', u'\n');
  return shown;
}

}  // namespace

BoxWidget::BoxWidget(int index, EnvelopeModel& model, QWidget* parent)
    : QTextEdit(parent), index_(index), model_(model), rules_(RulesOf(index)) {
  setObjectName(QStringLiteral("P1(%1)").arg(index));
  setAcceptRichText(false);
  setFrameShape(QFrame::Box);
  setLineWidth(1);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setLineWrapMode(rules_.multiLine ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
  document()->setDocumentMargin(1);
  QTextOption option = document()->defaultTextOption();
  option.setAlignment(rules_.centred ? Qt::AlignHCenter : Qt::AlignLeft);
  document()->setDefaultTextOption(option);
  viewport()->setMouseTracking(true);
  if (rules_.digitsOnly) {
    installEventFilter(new DigitsOnlyKeyFilter(this));
    setInputMethodHints(Qt::ImhDigitsOnly);
  }
  connect(this, &QTextEdit::textChanged, this, &BoxWidget::WriteBack);
  connect(&model_, &EnvelopeModel::boxChanged, this, [this](int changed) {
    if (changed == index_) Refresh();
  });
  // The font is zoomed with the canvas.
  connect(&model_, &EnvelopeModel::canvasChanged, this, &BoxWidget::Refresh);
  connect(&model_, &EnvelopeModel::sizeChanged, this, &BoxWidget::Refresh);
  Refresh();
}

void BoxWidget::Refresh() {
  const editor::Box& box = model_.box(index_);
  refreshing_ = true;
  setGeometry(TwipsToPixels(box.geometry));
  const QFont font = ScreenFont(box.font, model_.FontZoom());
  if (this->font() != font) {
    setFont(font);
    document()->setDefaultFont(font);
  }
  QPalette colours = palette();
  colours.setColor(QPalette::Base, box.selected ? kSelectedBackColor : kWhite);
  colours.setColor(QPalette::Text, box.font.color);
  setPalette(colours);
  const QString shown = Displayed(box.text);
  if (toPlainText() != shown) setPlainText(shown);
  FitToText();
  refreshing_ = false;
}

void BoxWidget::FitToText() {
  const QRect place = TwipsToPixels(model_.box(index_).geometry);
  const int frame = 2 * frameWidth();
  if (rules_.multiLine) {
    // Text longer than the box runs on below it on paper; the canvas shows it the same way.
    document()->setTextWidth(std::max(0, place.width() - frame));
    const int needed = int(std::ceil(document()->size().height())) + frame;
    if (needed > place.height()) resize(place.width(), needed);
  } else if (RulesOf(index_).centred) {
    // A postcode digit sits in the middle of its box, as it prints.
    QTextFrameFormat format = document()->rootFrame()->frameFormat();
    const double line = QFontMetricsF(font()).height();
    const double top = std::max(1.0, (place.height() - frame - line) / 2 - 1);
    if (format.topMargin() != top) {
      format.setTopMargin(top);
      document()->rootFrame()->setFrameFormat(format);
    }
  }
  if (!rules_.multiLine && !RulesOf(index_).centred) {
    // A line taller than its box prints whole, running over the box's lower edge; so does the
    // canvas, instead of scrolling the text inside the box and cutting it off. (A postcode
    // square keeps its size: it stands for the printed square.)
    const int needed = int(std::ceil(document()->size().height() - document()->documentMargin())) + frame;
    if (needed > place.height()) resize(place.width(), needed);
  }
  verticalScrollBar()->setValue(0);
}

void BoxWidget::WriteBack() {
  if (refreshing_) return;
  QString text = toPlainText();
  if (rules_.maxLength > 0 && text.size() > rules_.maxLength) {
    // Typing past the limit keeps the first characters, as a text box with a maximum length does.
    text.truncate(rules_.maxLength);
    QTextCursor cursor = textCursor();
    const int position = std::min<int>(cursor.position(), rules_.maxLength);
    refreshing_ = true;
    setPlainText(text);
    cursor = textCursor();
    cursor.setPosition(position);
    setTextCursor(cursor);
    refreshing_ = false;
  }
  model_.SetBoxText(index_, text);
}

void BoxWidget::insertFromMimeData(const QMimeData* source) {
  if (!rules_.digitsOnly && rules_.multiLine) return QTextEdit::insertFromMimeData(source);
  // Pasted text obeys the same rules as typed text: digits only, and one line.
  QString text = source->text();
  text = rules_.digitsOnly ? OnlyDigits(text) : Displayed(text).replace(u'\n', u' ');
  if (!text.isEmpty()) insertPlainText(text);
}

QPoint BoxWidget::ToTwips(QPoint viewportPos) const {
  const QPoint inBox = viewport()->mapTo(this, viewportPos);
  return {PixelsToTwips(inBox.x()), PixelsToTwips(inBox.y())};
}

void BoxWidget::mousePressEvent(QMouseEvent* event) {
  emit pointerPressed(index_, ToTwips(event->position().toPoint()), event->button(), event->modifiers());
  QTextEdit::mousePressEvent(event);
}

void BoxWidget::mouseMoveEvent(QMouseEvent* event) {
  emit pointerMoved(index_, ToTwips(event->position().toPoint()), event->buttons());
  QTextEdit::mouseMoveEvent(event);
}

void BoxWidget::mouseReleaseEvent(QMouseEvent* event) {
  emit pointerReleased(index_, ToTwips(event->position().toPoint()), event->button());
  QTextEdit::mouseReleaseEvent(event);
}

void BoxWidget::keyPressEvent(QKeyEvent* event) {
  emit keyPressed(event->key(), event->modifiers());
  QTextEdit::keyPressEvent(event);
}

void BoxWidget::contextMenuEvent(QContextMenuEvent* event) {
  if (isSignalConnected(QMetaMethod::fromSignal(&BoxWidget::contextMenuRequested))) {
    emit contextMenuRequested(index_, ToTwips(event->pos()));  // viewport coordinates
    event->accept();
    return;
  }
  QTextEdit::contextMenuEvent(event);
}

}  // namespace editor
