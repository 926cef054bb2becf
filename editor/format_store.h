#pragma once
// The envelope format store: the geometry and fonts of the eleven boxes kept per envelope size
// in the table 格式 (in millimetres of the envelope, so a format loads to the same places
// whatever the canvas size), and the box texts and the chosen size kept in 内容 between runs.
//
// Everything works on the envelope model. The one window step involved, laying out the envelope
// tab for a new size before boxes are placed, is handed in by the caller.

#include <functional>

#include "editor/envelope_model.h"

namespace 格式模块 {

// LayoutEnvelopeTab of the main window: fits the tab and the canvas to the model's W and H.
using LayoutStep = std::function<void()>;

// Applies the stored format of the chosen size. The caption stored with the format (for the
// custom size it carries W and H) becomes the option's caption, the custom size boxes show its
// W and H, and the tab is laid out for them before any box is placed; each box then takes its
// place and font, and the "邮政编码" label follows box 9. A damaged value leaves that property
// as it was. A size without a stored format keeps its caption and boxes; the tab is still laid
// out for its W and H, so the canvas always shows the chosen size's proportions.
void LoadEnvelopeFormat(editor::EnvelopeModel& model, const LayoutStep& layoutEnvelopeTab = {});

// Stores the current format under the chosen size, replacing that size's eleven rows in one
// transaction, and confirms "信封格式 “…” 保存成功！". When the rows cannot be written the old
// format stays and the user is told so.
void SaveEnvelopeFormat(const editor::EnvelopeModel& model);

// The box texts: loaded at start after the chosen size was applied, saved at exit.
void LoadBoxContents(editor::EnvelopeModel& model);
void SaveBoxContents(const editor::EnvelopeModel& model);

// The size index stored at the last exit; DL (2) when none, or a damaged one, is stored.
int LoadChosenSize();
// Stores the chosen size index (nothing is written when no size is chosen).
void SaveChosenSize(const editor::EnvelopeModel& model);

// The click on the size option O1(index): chooses it and loads its format. The main window
// enables the custom size boxes from the model's chosen size.
void SizeOptionClick(editor::EnvelopeModel& model, int index, const LayoutStep& layoutEnvelopeTab = {});

}  // namespace 格式模块
