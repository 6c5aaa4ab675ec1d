// Text layout in the current image font: centring, word wrapping at blanks and CR, and fitting a text into a box
// through the font table. Called by the dialogs, message boxes, tutorial frame and tips.
#include "main/text_layout.h"

#include "main/fonts.h"
#include "platform/graphics.h"
#include "platform/system.h"

void Text_DrawCenteredAt(const Str& text, float x, float y) {
    const int w = Text_Width(text);
    const int h = Text_Height(text);
    Draw_Text(text, x - static_cast<float>(w / 2), y - static_cast<float>(h / 2));
}

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

Str TrimBlanksRight(const Str& s) {
    size_t end = s.size();
    while (end > 0 && IsBlank(s[end - 1]))
        --end;
    return s.substr(0, end);
}

// Wraps one paragraph (no CR, no LF) into `out`. An empty paragraph gives one empty line.
void WrapParagraph(const Str& para, int width, std::vector<Str>& out) {
    size_t start = 0;
    const size_t n = para.size();
    if (n == 0) {
        out.emplace_back();
        return;
    }
    while (start < n) {
        while (start < n && IsBlank(para[start]))
            ++start; // blanks at a break are dropped
        if (start >= n) break;
        // Extend word by word while the line fits; the first word always stays, however wide.
        size_t lineEnd = start;
        size_t pos = start;
        while (pos < n) {
            size_t wordEnd = pos;
            while (wordEnd < n && IsBlank(para[wordEnd]))
                ++wordEnd;
            while (wordEnd < n && !IsBlank(para[wordEnd]))
                ++wordEnd;
            const Str candidate = para.substr(start, wordEnd - start);
            if (lineEnd > start && Text_Width(candidate) > width) break;
            lineEnd = wordEnd;
            pos = wordEnd;
        }
        out.push_back(TrimBlanksRight(para.substr(start, lineEnd - start)));
        start = lineEnd;
    }
}

} // namespace

std::vector<Str> Text_WrapLines(const Str& text, int width) {
    std::vector<Str> lines;
    Str para;
    size_t i = 0;
    bool pending = false; // a paragraph has begun (text or a CR)
    for (; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c == u'\n') continue;
        if (c == u'\r') {
            WrapParagraph(para, width, lines);
            para.clear();
            pending = false;
            continue;
        }
        para.push_back(c);
        pending = true;
    }
    if (pending) WrapParagraph(para, width, lines);
    return lines;
}

int Text_DrawWrapped(const Str& text, float x, float y, int width, int measureOnly, int centred) {
    const std::vector<Str> lines = Text_WrapLines(text, width);
    const int lineHeight = Text_Height(text);
    if (measureOnly != 1) {
        float ly = y;
        for (const Str& line : lines) {
            float lx = x;
            if (centred == 1) lx += static_cast<float>((width - Text_Width(line)) / 2);
            Draw_Text(line, lx, ly);
            ly += static_cast<float>(lineHeight);
        }
    }
    return static_cast<int>(lines.size()) * lineHeight;
}

namespace {

bool FitsIn(const Str& text, int width, int height) {
    const std::vector<Str> lines = Text_WrapLines(text, width);
    if (static_cast<int>(lines.size()) * Text_Height(text) > height) return false;
    for (const Str& line : lines)
        if (Text_Width(line) > width) return false;
    return true;
}

} // namespace

int Text_FitFont(const Str& text, int firstFont, int width, int height) {
    if (firstFont < 0 || firstFont >= kFontCount) {
        Sys_Print(u"Text_FitFont: no font " + Str_FromInt(firstFont));
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
        Sys_Print(u"no font is small enough");
        result = index; // the smallest of the family
    }
    return result;
}
