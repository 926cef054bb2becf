#pragma once
// Text that needs no shaping, measured and laid out from the glyphs of one face.
//
// Chinese text in the print faces is one glyph per character with a fixed advance: no kerning,
// no ligatures, no contextual forms. Asking Qt for a width shapes the text anew each time, and
// label fitting asks about twenty times per label. Here each character's glyph and advance are
// looked up once per face, in ems, so a width at any size is a sum, and printing places the
// glyphs where the measurement put them. Everything else (Latin letters, which the faces kern;
// spaces; characters the face lacks and Qt finds in another one) is left to Qt's shaping.
//
// The advances are the face's own, unhinted: what Qt draws with on a printer and in a PDF, at
// any size. (Qt's measurements round them to the device's pixels, a hair off what it then draws.)

#include <QFont>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QStringView>
#include <map>
#include <vector>

namespace print {

class PlainTextFace {
 public:
  // The face Qt draws `font` with; unusable when Qt would fake its style (a slanted or
  // emboldened face) or add lines, which the glyphs alone would not show.
  explicit PlainTextFace(const QFont& font);

  bool usable() const { return upem_ > 0; }

  // The width of `text` in ems, or a negative number when some character needs shaping.
  double EmWidth(QStringView text) const;
  // The glyphs of `text` and their pen positions in ems from its start; false when some
  // character needs shaping.
  bool Glyphs(QStringView text, QList<quint32>* glyphs, QList<QPointF>* emPositions) const;
  // The face at a pixel size, to draw glyphs with.
  const QRawFont& At(double pixelSize) const;

 private:
  struct Glyph {
    quint32 index = 0;
    float em = -1;  // advance; -1 not looked up yet, -2 needs shaping
  };
  const Glyph& Lookup(char16_t c) const;

  QRawFont raw_;  // at one pixel per font unit
  double upem_ = 0;
  mutable std::vector<Glyph> glyphs_;  // by UTF-16 unit, filled as characters come
  mutable std::map<double, QRawFont> sized_;
};

}  // namespace print
