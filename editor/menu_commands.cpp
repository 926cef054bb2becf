#include "editor/menu_commands.h"

#include <algorithm>

#include "common/numbers.h"
#include "editor/editor_texts.h"
#include "editor/layout_editor.h"
#include "store/registry.h"

namespace editor {

common::FontChoice FontDialogStart(const Box& box) {
  common::FontChoice start = box.font;
  if (start.name.isEmpty()) start.name = QStringLiteral("宋体");
  return start;
}

bool ChangeFontFromDialog(LayoutEditor& editor, int menuBox) {
  if (menuBox < 0 || menuBox >= kBoxCount) return false;
  const std::optional<common::FontChoice> chosen =
      common::prompts().ChooseFont(FontDialogStart(editor.model().box(menuBox)));
  return chosen && editor.ChangeFont(menuBox, *chosen);
}

std::optional<QString> CopiedText(const QString& text, TextSelection selection) {
  if (text.isEmpty()) return std::nullopt;
  if (selection.length <= 0) return text;
  return text.mid(std::clamp<qsizetype>(selection.start, 0, text.size()), selection.length);
}

Pasted PastedText(const QString& text, TextSelection selection, const QString& clipboard,
                  const BoxRules& rules) {
  QString inserted = clipboard;
  inserted.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  if (!rules.multiLine) inserted.remove(u'\n').remove(u'\r');
  if (rules.digitsOnly) inserted.removeIf([](QChar c) { return c < u'0' || c > u'9'; });
  if (rules.maxLength > 0) inserted.truncate(std::max<qsizetype>(0, rules.maxLength - text.size()));
  const qsizetype at = std::clamp<qsizetype>(selection.start, 0, text.size());
  return {text.left(at) + inserted + text.mid(at), int(at + inserted.size())};
}

void SetResolution(const QString& title) {
  const QString stored = Registry::GetSetting(Registry::kCollateSection, kDpiKey);
  const QString proposal =
      stored.isEmpty() ? QString::number(kProposedDpi) : common::NumberText(common::Val(stored));
  std::optional<QString> answer = common::prompts().Input(kDpiPrompt + u'\n' + kDpiRange, title, proposal);
  while (answer && !answer->isEmpty()) {
    const double dpi = common::Val(*answer);
    if (dpi >= kMinDpi && dpi <= kMaxDpi) {
      Registry::SaveSetting(Registry::kCollateSection, kDpiKey, common::NumberText(dpi));
      return;
    }
    common::prompts().Message(kDpiOutOfRange);
    answer = common::prompts().Input(kDpiPrompt, title, *answer);
  }
}

}  // namespace editor
