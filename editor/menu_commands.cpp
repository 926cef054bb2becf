#include "editor/menu_commands.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <cmath>

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

std::optional<QRectF> PlaceInMm(const QString& answer, double W, double H) {
  const QStringList parts = answer.split(QRegularExpression(QStringLiteral("[\\s,，]+")), Qt::SkipEmptyParts);
  if (parts.size() != 4) return std::nullopt;
  double n[4];
  for (int i = 0; i < 4; ++i) {
    bool ok = false;
    n[i] = parts[i].toDouble(&ok);
    if (!ok || !std::isfinite(n[i])) return std::nullopt;
  }
  constexpr double kLeast = 1, kSlack = 0.005;  // what two decimals can say
  if (n[0] < 0 || n[1] < 0 || n[2] < kLeast || n[3] < kLeast || n[0] + n[2] > W + kSlack ||
      n[1] + n[3] > H + kSlack)
    return std::nullopt;
  return QRectF(n[0], n[1], n[2], n[3]);
}

QString MmFigure(const EnvelopeModel& model, int twips) {
  // The canvas holds whole twips, which on a narrow canvas are no round number of millimetres:
  // the figure shown is the shortest that, typed back, gives the same twips, so 100 mm stays 100
  // on every screen instead of 99.99.
  const double mm = model.TwipsToMm(twips);
  for (const double scale : {1.0, 10.0, 100.0}) {
    const double figure = std::round(mm * scale) / scale;
    if (model.MmToTwips(figure) == twips) return common::NumberText(figure);
  }
  return common::NumberText(mm);
}

bool PlaceBoxByNumbers(LayoutEditor& editor, int menuBox) {
  if (menuBox < 0 || menuBox >= kBoxCount) return false;
  EnvelopeModel& model = editor.model();
  const QRect& g = model.box(menuBox).geometry;
  QStringList shown;
  for (int twips : {g.left(), g.top(), g.width(), g.height()}) shown << MmFigure(model, twips);
  std::optional<QString> answer =
      common::prompts().Input(kPlacePrompt, kPlaceTitle, shown.join(QStringLiteral(", ")));
  while (answer && !answer->trimmed().isEmpty()) {
    if (const std::optional<QRectF> mm = PlaceInMm(*answer, model.W(), model.H())) {
      const QRect twips(model.MmToTwips(mm->left()), model.MmToTwips(mm->top()), model.MmToTwips(mm->width()),
                        model.MmToTwips(mm->height()));
      return editor.PlaceBox(menuBox, twips);
    }
    common::prompts().Message(
        PlaceOutOfRangeText(common::NumberText(model.W()), common::NumberText(model.H())));
    answer = common::prompts().Input(kPlacePrompt, kPlaceTitle, *answer);
  }
  return false;
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
