#pragma once
// A Prompts implementation for tests: records every message and question and answers from a
// script. Unscripted questions are answered "no" and unscripted inputs are cancelled.

#include <QStringList>
#include <deque>

#include "common/prompts.h"

namespace test {

class ScriptedPrompts final : public common::Prompts {
 public:
  void Message(const QString& text) override;
  bool Ask(const QString& text) override;
  // Answers from `choices`; unscripted, "no".
  common::Choice AskYesNoCancel(const QString& text, const QString& yes, const QString& no,
                                const QString& cancel) override;
  bool AskTitled(const QString& text, const QString& title) override;
  std::optional<QString> Input(const QString& prompt, const QString& title, const QString& proposal) override;
  QString OpenFileName(const QString& title, const QString& filter) override;
  // Records the folder and filter offered, then answers as OpenFileName.
  QString OpenFileNameIn(const QString& title, const QString& filter, const QString& folder) override;
  QString FolderName(const QString& title, const QString& start) override;
  // Answers from `files`, choosing the filter entry from `saveFilters` (the first entry offered
  // when none is scripted).
  QString SaveFileName(const QString& title, const QString& filter, QString* chosenFilter) override;
  std::optional<common::FontChoice> ChooseFont(const common::FontChoice& current) override;

  // What was shown, in order: messages, questions and input prompts alike.
  QStringList shown;
  // The titles of the questions asked with one.
  QStringList titles;
  // The proposals the input box offered.
  QStringList proposals;
  // The folders and filters the file-open dialog was offered.
  QStringList openFolders, openFilters;
  // The answers still to give.
  std::deque<bool> answers;
  std::deque<common::Choice> choices;
  std::deque<std::optional<QString>> inputs;
  std::deque<QString> files;
  std::deque<QString> saveFilters;
  std::deque<std::optional<common::FontChoice>> fonts;

  void Reset() { *this = ScriptedPrompts(); }
};

// The scripted prompts installed by the test main, emptied.
ScriptedPrompts& FreshPrompts();

}  // namespace test
