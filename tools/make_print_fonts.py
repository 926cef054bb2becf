#!/usr/bin/python3
"""Makes the fonts envelopes and labels are printed in: copies of the system's Chinese faces in
which every glyph is reached from one code point only.

A CJK font draws a Kangxi radical and its ideograph (⼈ and 人) with one glyph. A PDF writer that
reads the text back from the glyphs takes the first code point pointing at it, so a printed 人
would be copied, searched and read aloud as ⼈. In the copy each shared glyph keeps the code
point Chinese text uses (one of GB 2312, else of GBK, else a unified ideograph, else the lowest);
the others are left to the next font in the list, the original face, which draws them the same.

usage: make_print_fonts.py OUTPUT_DIR SOURCE:FACE:COPY ...
  SOURCE a font file or collection, FACE the family of the face in it to copy, COPY the copy's family
"""
import os
import sys
from collections import defaultdict

from fontTools.ttLib import TTFont


def encodable(code_point, codec):
    try:
        chr(code_point).encode(codec)
        return True
    except UnicodeEncodeError:
        return False


def preference(code_point):
    unified = 0x4E00 <= code_point <= 0x9FFF or 0x3400 <= code_point <= 0x4DBF
    return (encodable(code_point, "gb2312"), encodable(code_point, "gbk"), unified, -code_point)


def single_code_points(font):
    """Drops from every cmap subtable the code points whose glyph another, preferred one shows."""
    best = font.getBestCmap()
    by_glyph = defaultdict(list)
    for code_point, glyph in best.items():
        by_glyph[glyph].append(code_point)
    dropped = set()
    for code_points in by_glyph.values():
        if len(code_points) > 1:
            kept = max(code_points, key=preference)
            dropped.update(c for c in code_points if c != kept)
    for table in font["cmap"].tables:
        if table.isUnicode() and hasattr(table, "cmap"):
            for code_point in dropped & table.cmap.keys():
                del table.cmap[code_point]
    # Variation sequences would lead straight back to the dropped code points' glyphs.
    font["cmap"].tables = [t for t in font["cmap"].tables if t.format != 14]
    # Reading the glyph order decompiled the outlines; written back unchanged they are copied
    # as they are instead of being compiled again, which takes minutes.
    for tag in ("CFF ", "glyf", "loca"):
        if font.isLoaded(tag):
            del font.tables[tag]
    return len(dropped)


def reachable_local_forms(font):
    """Keeps the local forms (the 'locl' feature) to glyphs a code point reaches.

    In Latin text the faces swap the digits for proportional ones that no code point reaches,
    and a PDF writer then has nothing to read them back as: "Room 1203" would read "Room ".
    Latin text keeps the digits every other text prints with. Returns how many forms were dropped."""
    if "GSUB" not in font:
        return 0
    gsub = font["GSUB"].table
    reached = set(font.getBestCmap().values())
    dropped = 0
    for record in gsub.FeatureList.FeatureRecord:
        if record.FeatureTag != "locl":
            continue
        for index in record.Feature.LookupListIndex:
            for table in gsub.LookupList.Lookup[index].SubTable:
                table = getattr(table, "ExtSubTable", table)
                mapping = getattr(table, "mapping", None)
                if not mapping:
                    continue
                for glyph in [g for g, form in mapping.items() if form not in reached]:
                    del mapping[glyph]
                    dropped += 1
    return dropped


def rename(font, family):
    name = font["name"]
    style = name.getDebugName(2) or "Regular"
    postscript = (family + "-" + style).replace(" ", "")
    for record in list(name.names):
        if record.nameID in (1, 16):
            record.string = family
        elif record.nameID == 4:
            record.string = family + " " + style
        elif record.nameID in (3, 6):
            record.string = postscript


def open_face(source, family):
    with open(source, "rb") as f:
        header = f.read(12)
    faces = int.from_bytes(header[8:12], "big") if header[:4] == b"ttcf" else 1
    for index in range(faces):
        font = TTFont(source, fontNumber=index if faces > 1 else -1, lazy=True)
        if font["name"].getDebugName(1) == family:
            return font
    sys.exit(f"{source} holds no face of the family {family}")


def main():
    out_dir = sys.argv[1]
    os.makedirs(out_dir, exist_ok=True)
    for request in sys.argv[2:]:
        source, face, family = request.split(":")
        font = open_face(source, face)
        dropped = single_code_points(font)
        forms = reachable_local_forms(font)
        rename(font, family)
        style = font["name"].getDebugName(2) or "Regular"
        target = os.path.join(out_dir, (family + "-" + style).replace(" ", "") + ".otf")
        font.save(target + ".part")
        os.replace(target + ".part", target)
        print(f"{target}: {dropped} code points left to the original face, {forms} local forms dropped")


if __name__ == "__main__":
    main()
