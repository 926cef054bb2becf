#pragma once
// The modal questions as Qt dialogs. On a platform nobody can see (offscreen, minimal) a modal
// dialog would wait for ever, so messages go to stderr and questions are answered "no".

#include "common/prompts.h"

class QWidget;

namespace app {

class QtPrompts final : public common::Prompts {
 public:
  void Message(const QString& text) override;
  bool Ask(const QString& text) override;
  common::Choice AskYesNoCancel(const QString& text, const QString& yes, const QString& no,
                                const QString& cancel) override;
  bool AskTitled(const QString& text, const QString& title) override;
  std::optional<QString> Input(const QString& prompt, const QString& title, const QString& proposal) override;
  QString OpenFileName(const QString& title, const QString& filter) override;
  QString OpenFileNameIn(const QString& title, const QString& filter, const QString& folder) override;
  QString SaveFileName(const QString& title, const QString& filter, QString* chosenFilter) override;
  QString FolderName(const QString& title, const QString& start) override;
  std::optional<common::FontChoice> ChooseFont(const common::FontChoice& current) override;

 private:
  static bool Unseen();
  static QWidget* Owner();
};

}  // namespace app
