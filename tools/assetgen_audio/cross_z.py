#!/usr/bin/python3
# The uncial display face's "Z" and "z" read as a "2" in the game's captions ("2urück", "Level 2eit"): this writes
# a copy of the font whose Z and z carry a bar across their middle, the crossed Z of handwriting, which no 2 has.
# Called at configure time by CMakeLists.txt: cross_z.py SOURCE.ttf OUTPUT.ttf. Needs python3-fonttools.
import sys

from fontTools.pens.ttGlyphPen import TTGlyphPen
from fontTools.ttLib import TTFont


def cross(font, name):
    glyf = font["glyf"]
    glyph = glyf[name]
    glyph.recalcBounds(glyf)
    width, height = glyph.xMax - glyph.xMin, glyph.yMax - glyph.yMin
    pen = TTGlyphPen(glyf)
    glyph.draw(pen, glyf)
    # a bar over the middle 64 % of the letter's width, 9 % of its height thick, at half its height
    x0, x1 = glyph.xMin + round(width * 0.18), glyph.xMax - round(width * 0.18)
    y0 = glyph.yMin + round(height * 0.5 - height * 0.045)
    y1 = y0 + round(height * 0.09)
    pen.moveTo((x0, y0))  # clockwise, as TrueType's outer contours run
    pen.lineTo((x0, y1))
    pen.lineTo((x1, y1))
    pen.lineTo((x1, y0))
    pen.closePath()
    glyf[name] = pen.glyph()


def main():
    source, output = sys.argv[1], sys.argv[2]
    font = TTFont(source, recalcTimestamp=False)  # the same bytes on every run
    cmap = font.getBestCmap()
    for letter in "Zz":
        cross(font, cmap[ord(letter)])
    font.save(output)


if __name__ == "__main__":
    main()
