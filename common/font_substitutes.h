#pragma once
// Layouts name Windows faces ("宋体", "黑体"...). Without a mapping, fontconfig would pick a sans
// face with Japanese glyph forms for them; these map each to the matching Chinese face.

namespace common {

// Installs the substitutions; safe to call more than once.
void InstallFontSubstitutes();

}  // namespace common
