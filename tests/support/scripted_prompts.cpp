#include "tests/support/scripted_prompts.h"

namespace test {
namespace {
template <typename T>
T Take(std::deque<T>& queue, T fallback) {
  if (queue.empty()) return fallback;
  T value = queue.front();
  queue.pop_front();
  return value;
}
}  // namespace

void ScriptedPrompts::Message(const QString& text) { shown << text; }

bool ScriptedPrompts::Ask(const QString& text) {
  shown << text;
  return Take(answers, false);
}

common::Choice ScriptedPrompts::AskYesNoCancel(const QString& text, const QString&, const QString&,
                                               const QString&) {
  shown << text;
  return Take(choices, common::Choice::kNo);
}

bool ScriptedPrompts::AskTitled(const QString& text, const QString& title) {
  titles << title;
  return Ask(text);
}

std::optional<QString> ScriptedPrompts::Input(const QString& prompt, const QString&,
                                              const QString& proposal) {
  shown << prompt;
  proposals << proposal;
  return Take(inputs, std::optional<QString>());
}

QString ScriptedPrompts::OpenFileName(const QString& title, const QString&) {
  shown << title;
  return Take(files, QString());
}

QString ScriptedPrompts::OpenFileNameIn(const QString& title, const QString& filter, const QString& folder) {
  openFolders << folder;
  openFilters << filter;
  return OpenFileName(title, filter);
}

QString ScriptedPrompts::FolderName(const QString& title, const QString&) {
  shown << title;
  return Take(files, QString());
}

QString ScriptedPrompts::SaveFileName(const QString& title, const QString& filter, QString* chosenFilter) {
  shown << title;
  const QString chosen = Take(saveFilters, filter.section(QStringLiteral(";;"), 0, 0));
  if (chosenFilter) *chosenFilter = chosen;
  return Take(files, QString());
}

std::optional<common::FontChoice> ScriptedPrompts::ChooseFont(const common::FontChoice&) {
  return Take(fonts, std::optional<common::FontChoice>());
}

ScriptedPrompts& FreshPrompts() {
  auto* scripted = dynamic_cast<ScriptedPrompts*>(&common::prompts());
  scripted->Reset();
  return *scripted;
}

}  // namespace test
