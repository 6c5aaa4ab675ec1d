// Text layout in the current image font: centring, word wrapping at blanks and CR, and fitting a text into a box
// through the font table. Called by the dialogs, message boxes, tutorial frame and tips.
#include "main/text_layout.h"

#include <cmath>

#include "main/fonts.h"
#include "platform/graphics.h"
#include "platform/system.h"

void Text_DrawCenteredAt(const Str& text, float x, float y) {
    const int w = Text_Width(text);
    const int h = Text_Height(text);
    Draw_Text(text, x - static_cast<float>(w / 2), y - static_cast<float>(h / 2));
}

float Text_FitScale(const Str& text, int width) {
    const int w = Text_Width(text);
    return w > width && w > 0 && width > 0 ? float(width) / float(w) : 1.0f;
}

void Text_DrawFitted(const Str& text, float x, float y, int width) {
    const float scale = Text_FitScale(text, width);
    if (scale == 1.0f) {
        Draw_Text(text, x, y);
        return;
    }
    float sx = 1, sy = 1;
    Draw_GetScale(sx, sy);
    Draw_SetScale(scale, scale);
    Draw_Text(text, x, y + float(Text_Height(text)) * (1 - scale) / 2);
    Draw_SetScale(sx, sy);
}

void Text_DrawFittedCentred(const Str& text, float x, float y, int width) {
    const float drawn = float(Text_Width(text)) * Text_FitScale(text, width);
    Text_DrawFitted(text, x - std::floor(drawn / 2), y - float(Text_Height(text) / 2), width);
}

namespace {

// One wrapped line: a range of the text. LF characters inside it are skipped when it is measured or drawn.
struct LineRange {
    size_t begin, end;
};

// Scratch buffers reused by every call, so that a dialog drawing its wrapped text each frame allocates nothing
// once they have grown to its longest text.
std::vector<LineRange>& Lines() {
    static std::vector<LineRange> lines;
    return lines;
}
Str& Scratch() {
    static Str scratch;
    return scratch;
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// The characters of text[b, e) without LF, in the scratch text.
const Str& LineText(const Str& text, size_t b, size_t e) {
    Str& out = Scratch();
    out.clear();
    for (size_t i = b; i < e; ++i)
        if (text[i] != u'\n') out.push_back(text[i]);
    return out;
}

int RangeWidth(const Str& text, size_t b, size_t e) { return Text_Width(LineText(text, b, e)); }

// Wraps the paragraph text[b, e) (no CR inside) into `out`.
void WrapParagraph(const Str& text, size_t b, size_t e, int width, std::vector<LineRange>& out) {
    size_t start = b;
    while (start < e) {
        while (start < e && IsBlank(text[start]))
            ++start; // blanks at a break are dropped
        if (start >= e) break;
        // Extend word by word while the line fits; the first word always stays, however wide.
        size_t lineEnd = start;
        while (lineEnd < e) {
            size_t wordEnd = lineEnd;
            while (wordEnd < e && IsBlank(text[wordEnd]))
                ++wordEnd;
            while (wordEnd < e && !IsBlank(text[wordEnd]))
                ++wordEnd;
            if (lineEnd > start && RangeWidth(text, start, wordEnd) > width) break;
            lineEnd = wordEnd;
        }
        size_t trimmed = lineEnd;
        while (trimmed > start && IsBlank(text[trimmed - 1]))
            --trimmed;
        out.push_back({start, trimmed});
        start = lineEnd;
    }
}

bool OnlyLineFeeds(const Str& text, size_t b, size_t e) {
    for (size_t i = b; i < e; ++i)
        if (text[i] != u'\n') return false;
    return true;
}

// All lines of the text: CR ends a paragraph; an empty paragraph is an empty line, except after the last CR.
void Wrap(const Str& text, int width, std::vector<LineRange>& out) {
    out.clear();
    size_t b = 0;
    const size_t n = text.size();
    for (;;) {
        size_t e = text.find(u'\r', b);
        const bool last = e == Str::npos;
        if (last) e = n;
        if (OnlyLineFeeds(text, b, e)) {
            if (!last) out.push_back({b, b});
        } else {
            WrapParagraph(text, b, e, width, out);
        }
        if (last) break;
        b = e + 1;
    }
}

bool FitsIn(const Str& text, int width, int height) {
    std::vector<LineRange>& lines = Lines();
    Wrap(text, width, lines);
    if (static_cast<int>(lines.size()) * Text_Height(text) > height) return false;
    for (const LineRange& line : lines)
        if (RangeWidth(text, line.begin, line.end) > width) return false;
    return true;
}

} // namespace

std::vector<Str> Text_WrapLines(const Str& text, int width) {
    std::vector<LineRange> ranges;
    Wrap(text, width, ranges);
    std::vector<Str> lines;
    for (const LineRange& r : ranges)
        lines.push_back(LineText(text, r.begin, r.end));
    return lines;
}

int Text_DrawWrapped(const Str& text, float x, float y, int width, int measureOnly, int centred) {
    std::vector<LineRange>& lines = Lines();
    Wrap(text, width, lines);
    const int lineHeight = Text_Height(text);
    if (measureOnly != 1) {
        float ly = y;
        for (const LineRange& r : lines) {
            const Str& line = LineText(text, r.begin, r.end);
            float lx = x;
            if (centred == 1) lx += static_cast<float>((width - Text_Width(line)) / 2);
            Draw_Text(line, lx, ly);
            ly += static_cast<float>(lineHeight);
        }
    }
    return static_cast<int>(lines.size()) * lineHeight;
}

int Text_FitFont(const Str& text, int firstFont, int width, int height) {
    if (firstFont < 0 || firstFont >= kFontCount) {
        Log_Print(u"Text_FitFont: no font " + Str_FromInt(firstFont));
        return firstFont < 0 ? 0 : kFontCount - 1;
    }
    const FontPtr previous = Draw_GetImageFont();
    int index = firstFont;
    int result = -1;
    while (index >= 0) {
        Draw_SetImageFont(Font_Get(index));
        if (FitsIn(text, width, height)) {
            result = index;
            break;
        }
        const int next = Font_NextSmaller(index);
        if (next < 0) break;
        index = next;
    }
    Draw_SetImageFont(previous);
    if (result < 0) {
        Log_Print(u"no font is small enough");
        result = index; // the smallest of the family
    }
    return result;
}
