#include "print/plain_text_face.h"

#include <QFontDatabase>

namespace print {
namespace {

// Characters drawn by one glyph of their own that no feature Qt applies by default changes or
// moves: ideographs, Chinese punctuation, full-width forms and digits. The print faces kern
// Latin letters, kana and ASCII punctuation, compose two vertical kana marks and change the
// space in context; those stay with Qt.
bool IsPlain(char16_t c) {
  return (c >= u'0' && c <= u'9') || (c >= 0x3000 && c <= 0x303F && c != 0x3033 && c != 0x3034) ||
         (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFF01 && c <= 0xFF5E) || (c >= 0xFFE0 && c <= 0xFFE6);
}

constexpr float kUnknown = -1;
constexpr float kNeedsShaping = -2;

}  // namespace

PlainTextFace::PlainTextFace(const QFont& font) {
  if (font.italic() || font.underline() || font.strikeOut()) return;
  QRawFont raw = QRawFont::fromFont(font, QFontDatabase::SimplifiedChinese);
  if (!raw.isValid() || raw.unitsPerEm() <= 0) return;
  if (font.bold() && raw.weight() < QFont::DemiBold) return;  // Qt would embolden a regular face
  raw.setPixelSize(raw.unitsPerEm());
  raw_ = raw;
  upem_ = raw.unitsPerEm();
}

const PlainTextFace::Glyph& PlainTextFace::Lookup(char16_t c) const {
  if (glyphs_.empty()) glyphs_.resize(0x10000);
  Glyph& g = glyphs_[c];
  if (g.em != kUnknown) return g;
  g.em = kNeedsShaping;
  if (!IsPlain(c)) return g;
  const QChar ch(c);
  quint32 index = 0;
  int count = 1;
  if (!raw_.glyphIndexesForChars(&ch, 1, &index, &count) || count != 1 || index == 0) return g;
  QPointF advance;
  if (!raw_.advancesForGlyphIndexes(&index, &advance, 1, QRawFont::UseDesignMetrics)) return g;
  g.index = index;
  g.em = float(advance.x() / upem_);
  return g;
}

double PlainTextFace::EmWidth(QStringView text) const {
  if (!usable()) return -1;
  double em = 0;
  for (const QChar c : text) {
    const Glyph& g = Lookup(c.unicode());
    if (g.em < 0) return -1;
    em += g.em;
  }
  return em;
}

bool PlainTextFace::Glyphs(QStringView text, QList<quint32>* glyphs, QList<QPointF>* emPositions) const {
  if (!usable()) return false;
  glyphs->resize(text.size());
  emPositions->resize(text.size());
  double x = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const Glyph& g = Lookup(text[i].unicode());
    if (g.em < 0) return false;
    (*glyphs)[i] = g.index;
    (*emPositions)[i] = QPointF(x, 0);
    x += g.em;
  }
  return true;
}

const QRawFont& PlainTextFace::At(double pixelSize) const {
  auto known = sized_.find(pixelSize);
  if (known == sized_.end()) {
    if (sized_.size() >= 64) sized_.clear();  // a size search passes through many sizes
    QRawFont sized = raw_;
    sized.setPixelSize(pixelSize);
    known = sized_.emplace(pixelSize, sized).first;
  }
  return known->second;
}

}  // namespace print
