#pragma once
// Text that needs no shaping: the characters of one face whose glyphs Qt would draw one by one.
//
// Chinese text in the print faces is one glyph per character with a fixed advance: no kerning,
// no ligatures, no contextual forms. Asking Qt for a width shapes the text anew each time, and
// label fitting asks about twenty times per label. Each character's glyph is looked up here once
// per face and numbered; the printer device keeps the advances by that number for each font
// size (print/painter_device.h). Everything else (Latin letters, which the faces kern; spaces;
// characters the face lacks and Qt finds in another one) is left to Qt's shaping.

#include <QFont>
#include <QRawFont>
#include <map>
#include <vector>

namespace print {

class PlainTextFace {
 public:
  // The face Qt draws `font` with; unusable when that face has no Chinese characters, or when
  // Qt would fake its style (a slanted or emboldened face) or add lines, which the glyphs
  // alone would not show.
  explicit PlainTextFace(const QFont& font);

  bool usable() const { return raw_.isValid(); }

  // A number of the character's glyph, from 0 and dense, or -1 when the character needs
  // shaping.
  int Slot(char16_t c) const {
    const int known = c < slots_.size() ? slots_[c] : kUnknown;
    return known != kUnknown ? known : LookUp(c);
  }
  quint32 Glyph(int slot) const { return glyphs_[size_t(slot)]; }
  // The number of glyphs numbered so far.
  size_t Slots() const { return glyphs_.size(); }
  // The face at a pixel size, to draw glyphs with.
  const QRawFont& At(double pixelSize) const;

 private:
  static constexpr int kUnknown = -2;
  int LookUp(char16_t c) const;

  QRawFont raw_;
  mutable std::vector<int> slots_;            // by UTF-16 unit
  mutable std::vector<quint32> glyphs_;       // by slot
  mutable std::map<double, QRawFont> sized_;  // by pixel size
};

}  // namespace print
