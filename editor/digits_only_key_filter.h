#pragma once
// DigitsOnlyKeyFilter: installed on a text box, lets through the digits 0 to 9 and Backspace
// and drops every other key that would type something, Ctrl+V included. Keys that only move the
// caret, select or leave the box (arrows, Home, Delete, Tab, Ctrl+C) still work. Text pasted from
// a menu or dropped is not a key; the boxes keep only its digits themselves (OnlyDigits).

#include <QObject>
#include <QString>

class QKeyEvent;

namespace editor {

class DigitsOnlyKeyFilter : public QObject {
  Q_OBJECT

 public:
  using QObject::QObject;
  // True when the key press may reach the box.
  static bool Accepts(const QKeyEvent& key);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
};

// The digits 0 to 9 of `text`, in order.
QString OnlyDigits(const QString& text);

}  // namespace editor
