#pragma once
// The commands of the two popup menus, decided without a window: the box menu's font, copy and
// paste, and the canvas menu's output resolution for rotated printing.

#include <QRectF>
#include <QString>
#include <optional>

#include "common/prompts.h"
#include "editor/envelope_model.h"

namespace editor {

// A box's selection as it was when the right button went down.
struct TextSelection {
  int start = 0;
  int length = 0;
};

// What the font dialog starts from: the box's font, with "宋体" when it names none.
common::FontChoice FontDialogStart(const Box& box);

// Font (`FontStyle`): the font dialog from the menu box, applied to it and to every selected box.
class LayoutEditor;
bool ChangeFontFromDialog(LayoutEditor& editor, int menuBox);

// Copy (`mCopy`): the text to put on the clipboard, or nothing when the box is empty. With no
// selection that is the whole text, else the selected part.
std::optional<QString> CopiedText(const QString& text, TextSelection selection);

// Paste (`mPasty`): the clipboard text inserted at the selection start; a selection stays in
// place. What the box cannot take is left out, as typing would: letters in a digits-only box,
// and whatever goes beyond its maximum length.
struct Pasted {
  QString text;
  int caret;  // just after the inserted text
};
Pasted PastedText(const QString& text, TextSelection selection, const QString& clipboard,
                  const BoxRules& rules);

// Position and size (`mPlace`): shows the menu box's left, top, width and height in mm in an
// input box and sets what the user types, as one undo step. Four numbers that leave part of the
// box off the envelope, or a width or height under 1 mm, are refused with a message and asked
// for again; a cancelled or empty answer changes nothing. Returns whether the box changed.
bool PlaceBoxByNumbers(LayoutEditor& editor, int menuBox);
// The four numbers of an answer ("20, 10, 8, 10"; commas, full-width commas or blanks between),
// in mm, when they make a box on a W x H envelope.
std::optional<QRectF> PlaceInMm(const QString& answer, double W, double H);
// A length on the canvas as the dialog shows it in millimetres.
QString MmFigure(const EnvelopeModel& model, int twips);

// The output resolution of rotated printing, stored under "Envelop Collate"/"DPI".
constexpr int kMinDpi = 10;
constexpr int kMaxDpi = 2000;
constexpr int kProposedDpi = 150;
inline const QString kDpiKey = QStringLiteral("DPI");
// Set resolution (`mDPI`): asks until the answer is in range or empty and stores its numeric
// value; an empty or cancelled answer stores nothing. `title` is the input box's title.
void SetResolution(const QString& title);

}  // namespace editor
