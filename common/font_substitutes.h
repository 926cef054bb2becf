#pragma once
// Layouts name Windows faces ("宋体", "黑体"...). Without a mapping, fontconfig would pick a sans
// face with Japanese glyph forms for them; these map each to the matching Chinese face.
//
// First in each list comes the program's own copy of that face (made at build time by
// tools/make_print_fonts.py), in which no glyph is shared between a radical and its ideograph,
// so that text read back from a PDF is the text printed. The system faces follow, and draw the
// few code points the copy leaves out.

namespace common {

// Loads the program's print faces (once) and installs the substitutions; safe to call more
// than once.
void InstallFontSubstitutes();

}  // namespace common
