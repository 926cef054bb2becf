#include "common/prompts.h"

#include <cstdio>

namespace common {
namespace {

class StderrPrompts final : public Prompts {
 public:
  void Message(const QString& text) override { std::fprintf(stderr, "%s\n", qUtf8Printable(text)); }
  bool Ask(const QString& text) override {
    Message(text);
    return false;
  }
  std::optional<QString> Input(const QString&, const QString&, const QString&) override { return {}; }
  QString OpenFileName(const QString&, const QString&) override { return {}; }
  QString FolderName(const QString&, const QString&) override { return {}; }
  std::optional<FontChoice> ChooseFont(const FontChoice&) override { return {}; }
};

StderrPrompts fallback;
Prompts* installed = &fallback;

}  // namespace

Prompts& prompts() { return *installed; }

Prompts* SetPrompts(Prompts* p) {
  Prompts* previous = installed;
  installed = p ? p : &fallback;
  return previous;
}

}  // namespace common
