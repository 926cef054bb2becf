#pragma once
// The one door to modal questions: message boxes, yes/no questions, the input box, the file
// dialog and the font dialog. The program installs a Qt implementation at start; tests install a
// scripted one that records every message and answers every question, so no test blocks.

#include <QColor>
#include <QString>
#include <optional>

namespace common {

// Everything the font dialog offers at once.
struct FontChoice {
  QString name;
  double size = 9.75;
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeout = false;
  QColor color = Qt::black;
  bool operator==(const FontChoice&) const = default;
};

// The answer to a question with three buttons.
enum class Choice { kYes, kNo, kCancel };

class Prompts {
 public:
  virtual ~Prompts() = default;
  // A message box with an OK button.
  virtual void Message(const QString& text) = 0;
  // A yes/no question; true for yes.
  virtual bool Ask(const QString& text) = 0;
  // A question with three buttons captioned `yes`, `no` and `cancel`; closing the box cancels.
  // Implementations without such a box ask Ask() and never cancel.
  virtual Choice AskYesNoCancel(const QString& text, const QString& yes, const QString& no,
                                const QString& cancel) {
    Q_UNUSED(yes);
    Q_UNUSED(no);
    Q_UNUSED(cancel);
    return Ask(text) ? Choice::kYes : Choice::kNo;
  }
  // The same question under its own window title; implementations without titles just ask.
  virtual bool AskTitled(const QString& text, const QString& title) {
    Q_UNUSED(title);
    return Ask(text);
  }
  // An input box proposing `proposal`; nullopt when cancelled.
  virtual std::optional<QString> Input(const QString& prompt, const QString& title,
                                       const QString& proposal) = 0;
  // A file-open dialog; an empty result means cancelled.
  virtual QString OpenFileName(const QString& title, const QString& filter) = 0;
  // The same, opening in `folder` (the dialog's own choice when empty).
  virtual QString OpenFileNameIn(const QString& title, const QString& filter, const QString& folder) {
    Q_UNUSED(folder);
    return OpenFileName(title, filter);
  }
  // A file-save dialog offering the entries of `filter`; an empty result means cancelled. The
  // entry the user chose is put in *chosenFilter. Implementations without one cancel.
  virtual QString SaveFileName(const QString& title, const QString& filter, QString* chosenFilter) {
    Q_UNUSED(title);
    Q_UNUSED(filter);
    Q_UNUSED(chosenFilter);
    return {};
  }
  // A folder chooser; an empty result means cancelled.
  virtual QString FolderName(const QString& title, const QString& start) = 0;
  // The font dialog with effects and colour; nullopt when cancelled.
  virtual std::optional<FontChoice> ChooseFont(const FontChoice& current) = 0;
};

// The installed implementation. Before anything is installed, messages go to stderr and every
// question is answered "no" / cancelled, so a caller never blocks.
Prompts& prompts();
// Installs `p` (not owned) and returns the previous one; nullptr restores the fallback.
Prompts* SetPrompts(Prompts* p);

}  // namespace common
