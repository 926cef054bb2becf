#include "editor/digits_only_key_filter.h"

#include <QKeyEvent>
#include <QKeySequence>

namespace editor {

bool DigitsOnlyKeyFilter::Accepts(const QKeyEvent& key) {
  switch (key.key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return true;
    default:
      break;
  }
  if (key.matches(QKeySequence::Paste)) return false;
  if (key.matches(QKeySequence::Copy) || key.matches(QKeySequence::Cut) ||
      key.matches(QKeySequence::SelectAll))
    return true;
  const QString text = key.text();
  // Keys without text only move the caret or select; anything else that types must be a digit.
  if (text.isEmpty()) return true;
  return text.size() == 1 && text[0] >= u'0' && text[0] <= u'9';
}

bool DigitsOnlyKeyFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && !Accepts(*static_cast<QKeyEvent*>(event))) return true;
  return QObject::eventFilter(watched, event);
}

QString OnlyDigits(const QString& text) {
  QString digits;
  for (const QChar c : text)
    if (c >= u'0' && c <= u'9') digits += c;
  return digits;
}

}  // namespace editor
