#pragma once
// The label sheet as the user left it: counts, shrink factor, paper, margins and gaps, landscape
// and the items ticked, kept in the per-user settings (section "Label Sheet") so that the next
// start, and the batch tool, take the same sheet. The start cell is for one print only.

#include "labels/label_sheet.h"

namespace labels {

inline const QString kLabelSection = QStringLiteral("Label Sheet");

// The stored sheet; the design values where nothing is stored.
LabelSheet LoadLabelSheet();
void SaveLabelSheet(const LabelSheet& sheet);

}  // namespace labels
