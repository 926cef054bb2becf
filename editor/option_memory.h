#pragma once
// The option memory: every option of the envelope tab is restored at start as it was at exit.
// The table 默认 holds one row per option, keyed by the ordinal its control carries in its Tag:
// option buttons are stored as "True"/"False", check boxes as "0"/"1".

#include <QVariant>
#include <functional>

#include "editor/envelope_model.h"

namespace OptionMemory {

// The ordinals (Tags) of the controls; the size options O1(0)..O1(6) carry 2..8, see
// editor::DesignSizeOptions().
enum Ordinal : int {
  kPortraitOrd = 0,     // O3(0) "纵向打印"
  kLandscapeOrd = 1,    // O3(1) "横向打印"
  kRulerOrd = 9,        // O2(0) "显示标尺(厘米)"
  kLockOrd = 10,        // O2(1) "锁定格式"
  kCentreFeedOrd = 11,  // CHK "进纸器两边向中间收缩"
  kRotateOrd = 12,      // CRotate "旋转180度打印"
  kGuideOrd = 13,       // O2(2) "显示标准格线"; a table without it keeps the guide on
};

// The click on a size option that a restored value chose: the main window chooses it and
// loads its format (格式模块::SizeOptionClick).
using SizeClick = std::function<void(int index)>;

// Rewrites the whole table from the model, in one transaction.
void SaveLastSet(const editor::EnvelopeModel& model);

// Sets every option from the table. A size option that becomes chosen runs `sizeClick`; a value
// equal to the current one changes nothing. A missing row reads as false or 0; but a table that
// chooses no size at all leaves the chosen size as it is, since an envelope always has one.
// When the file cannot be opened nothing changes (and the message is shown once).
void LoadLastSet(editor::EnvelopeModel& model, const SizeClick& sizeClick);

// One stored value: a bool for "true"/"false" in any letter case, otherwise the text's numeric
// value as a double (0 for a missing row, two rows with the ordinal, or a text that is no
// number). A null QVariant when the file could not be opened.
QVariant GetLastValue(int ordinal);

}  // namespace OptionMemory
