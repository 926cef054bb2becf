#pragma once
// Breaking box text into printed lines: the same rule for envelopes on paper (widths in mm),
// rotated envelopes on a picture (widths in twips) and labels.

#include <QString>
#include <QStringList>

namespace print {

// True when the first character of `text` is an ASCII letter or digit or one of . , - ;
// Such runs (Latin words, numbers, "abc,def") are kept on one line.
bool IsWordChar(const QString& text);

// The first or last n characters; an empty or shorter text gives what there is.
QString SafeLeft(const QString& text, qsizetype n);
QString SafeRight(const QString& text, qsizetype n);

// The box text's lines: split at line breaks (CR LF, or LF as the editor keeps them). An empty
// text has no lines; a lone line break gives two empty lines.
QStringList BoxLines(const QString& text);

// The printed pieces of one line of a box `boxWidth` wide, measured by `width`. A line is
// filled while it is narrower than the box, and a word run is not split; a piece that ends one
// character past the box gives that character back unless it ends inside a word. An empty line
// prints as one space so that it still takes a line. Every piece holds at least one character
// (a surrogate pair counts as one), so even a box of no width cannot stall the filler.
template <class Width>
QStringList BreakLine(const QString& line, double boxWidth, Width width);

// ---------------------------------------------------------------------------------------------

namespace detail {
// Length of the character that starts at `i`: 2 for a surrogate pair, else 1.
inline qsizetype CharLength(const QString& s, qsizetype i) {
  return i + 1 < s.size() && s.at(i).isHighSurrogate() && s.at(i + 1).isLowSurrogate() ? 2 : 1;
}
// Length of the character that ends `s`.
inline qsizetype LastCharLength(const QString& s) {
  const qsizetype n = s.size();
  return n >= 2 && s.at(n - 1).isLowSurrogate() && s.at(n - 2).isHighSurrogate() ? 2 : 1;
}
inline bool EndsWithStop(const QString& s) {
  return s.endsWith(u',') || s.endsWith(u'.') || s.endsWith(u';');
}
}  // namespace detail

template <class Width>
QStringList BreakLine(const QString& line, double boxWidth, Width width) {
  QStringList pieces;
  QString rest = line.isEmpty() ? QStringLiteral(" ") : line;
  while (!rest.isEmpty()) {
    QString s;
    // The first character always goes in: a box too narrow for anything still takes one.
    while (!rest.isEmpty()) {
      const bool narrower = s.isEmpty() || width(s) < boxWidth;
      if (!narrower && !(IsWordChar(SafeRight(s, 1)) && IsWordChar(rest))) break;
      if (!narrower && detail::EndsWithStop(s)) break;
      const qsizetype n = detail::CharLength(rest, 0);
      s += rest.left(n);
      rest.remove(0, n);
    }
    const qsizetype last = detail::LastCharLength(s);
    if (s.size() > last && width(s) > boxWidth) {
      const QString withoutLast = s.left(s.size() - last);
      const bool endsInWord = IsWordChar(s.right(last)) && IsWordChar(withoutLast.right(1));
      if (!endsInWord) {
        rest.prepend(s.right(last));
        s = withoutLast;
      }
    }
    pieces.append(s);
  }
  return pieces;
}

}  // namespace print
