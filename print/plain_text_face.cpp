#include "print/plain_text_face.h"

#include <QFontDatabase>
#include <QFontInfo>

namespace print {
namespace {

// Characters drawn by one glyph of their own that no feature Qt applies by default changes or
// moves: ideographs, Chinese punctuation, full-width forms, digits and the ellipsis. The print
// faces kern Latin letters, kana and ASCII punctuation, compose two vertical kana marks and
// change the space in context; those stay with Qt.
bool IsPlain(char16_t c) {
  return (c >= u'0' && c <= u'9') || c == u'…' ||
         (c >= 0x3000 && c <= 0x303F && c != 0x3033 && c != 0x3034) || (c >= 0x3400 && c <= 0x4DBF) ||
         (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFF01 && c <= 0xFF5E) ||
         (c >= 0xFFE0 && c <= 0xFFE6);
}

constexpr int kNeedsShaping = -1;
// Sizes kept per face at most; a size search passes through many.
constexpr size_t kMostSizes = 64;

}  // namespace

PlainTextFace::PlainTextFace(const QFont& font) {
  if (font.italic() || font.underline() || font.strikeOut()) return;
  const QRawFont raw = QRawFont::fromFont(font, QFontDatabase::SimplifiedChinese);
  if (!raw.isValid()) return;
  // A face other than the font's own would be one Qt falls back to for some characters only.
  if (raw.familyName() != QFontInfo(font).family()) return;
  if (font.bold() && raw.weight() < QFont::DemiBold) return;  // Qt would embolden a regular face
  raw_ = raw;
}

int PlainTextFace::LookUp(char16_t c) const {
  if (slots_.empty()) slots_.assign(0x10000, kUnknown);
  int& slot = slots_[c];
  if (slot != kUnknown) return slot;
  slot = kNeedsShaping;
  const QChar ch(c);
  quint32 index = 0;
  int count = 1;
  if (IsPlain(c) && raw_.glyphIndexesForChars(&ch, 1, &index, &count) && count == 1 && index != 0) {
    slot = int(glyphs_.size());
    glyphs_.push_back(index);
  }
  return slot;
}

const QRawFont& PlainTextFace::At(double pixelSize) const {
  auto known = sized_.find(pixelSize);
  if (known == sized_.end()) {
    if (sized_.size() >= kMostSizes) sized_.clear();
    QRawFont raw = raw_;
    raw.setPixelSize(pixelSize);
    known = sized_.emplace(pixelSize, raw).first;
  }
  return known->second;
}

}  // namespace print
