// Text helpers behind strings.h: conversions, ASCII case, slices, search and number <-> text in the C locale.
// Called from everywhere; nothing here depends on the process locale.
#include "platform/strings.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

char16_t LowerUnit(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c - u'A' + u'a') : c; }
char16_t UpperUnit(char16_t c) { return (c >= u'a' && c <= u'z') ? char16_t(c - u'a' + u'A') : c; }
bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(char(cp));
    } else if (cp < 0x800) {
        out.push_back(char(0xC0 | (cp >> 6)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(char(0xE0 | (cp >> 12)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(char(0xF0 | (cp >> 18)));
        out.push_back(char(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(char(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(char(0x80 | (cp & 0x3F)));
    }
}

// Leading blanks of a number field (spaces and tabs, as the text files use them).
size_t SkipBlanks(const Str& s) {
    size_t i = 0;
    while (i < s.size() && IsBlank(s[i]))
        ++i;
    return i;
}

} // namespace

Str Str_FromLatin1(std::string_view bytes) {
    Str out;
    out.reserve(bytes.size());
    for (const char c : bytes)
        out.push_back(char16_t(uint8_t(c)));
    return out;
}

std::string Str_ToLatin1(const Str& s) {
    std::string out;
    out.reserve(s.size());
    for (const char16_t c : s)
        out.push_back(char(c & 0xFF));
    return out;
}

Str Str_FromUtf8(std::string_view in) {
    Str out;
    out.reserve(in.size());
    size_t i = 0;
    while (i < in.size()) {
        const uint8_t b = uint8_t(in[i]);
        int extra = 0;
        uint32_t cp = 0;
        if (b < 0x80) {
            cp = b;
        } else if ((b & 0xE0) == 0xC0) {
            cp = b & 0x1F, extra = 1;
        } else if ((b & 0xF0) == 0xE0) {
            cp = b & 0x0F, extra = 2;
        } else if ((b & 0xF8) == 0xF0) {
            cp = b & 0x07, extra = 3;
        } else {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        bool ok = i + size_t(extra) < in.size();
        for (int k = 1; ok && k <= extra; ++k) {
            const uint8_t c = uint8_t(in[i + size_t(k)]);
            if ((c & 0xC0) != 0x80)
                ok = false;
            else
                cp = (cp << 6) | (c & 0x3F);
        }
        static constexpr uint32_t kMin[4] = {0, 0x80, 0x800, 0x10000};
        if (!ok || cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        i += size_t(extra) + 1;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(char16_t(0xD800 + (cp >> 10)));
            out.push_back(char16_t(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(char16_t(cp));
        }
    }
    return out;
}

std::string Str_ToUtf8(const Str& s) {
    std::string out;
    out.reserve(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        uint32_t cp = s[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (uint32_t(s[i + 1]) - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD; // a lone surrogate
        }
        AppendUtf8(out, cp);
    }
    return out;
}

Str Str_Upper(const Str& s) {
    Str out = s;
    for (char16_t& c : out)
        c = UpperUnit(c);
    return out;
}

Str Str_Lower(const Str& s) {
    Str out = s;
    for (char16_t& c : out)
        c = LowerUnit(c);
    return out;
}

int Str_CompareNoCase(const Str& a, const Str& b) {
    const size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        const char16_t x = LowerUnit(a[i]), y = LowerUnit(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

bool Str_EqualsNoCase(const Str& a, const Str& b) { return a.size() == b.size() && Str_CompareNoCase(a, b) == 0; }

Str Str_Trim(const Str& s) {
    size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

namespace {
template <class Text> std::vector<Text> SplitLines(const Text& text) {
    std::vector<Text> lines;
    size_t start = 0;
    while (start < text.size()) {
        static constexpr typename Text::value_type kEnds[] = {'\r', '\n', 0};
        size_t end = text.find_first_of(kEnds, start);
        if (end == Text::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n') ++end;
        start = end + 1;
    }
    return lines;
}
} // namespace

std::vector<Str> Str_SplitLines(const Str& text) { return SplitLines(text); }
std::vector<std::string> Str_SplitLines(const std::string& text) { return SplitLines(text); }

int Str_Find(const Str& s, const Str& what, int from) {
    if (from < 0) from = 0;
    if (size_t(from) > s.size()) return -1;
    const size_t at = s.find(what, size_t(from));
    return at == Str::npos ? -1 : int(at);
}

Str Str_Mid(const Str& s, int pos, int count) {
    if (pos < 0) {
        if (count >= 0) count += pos;
        pos = 0;
    }
    if (size_t(pos) >= s.size() || count == 0) return Str();
    if (count < 0) return s.substr(size_t(pos));
    return s.substr(size_t(pos), size_t(count));
}

Str Str_Left(const Str& s, int count) { return count <= 0 ? Str() : s.substr(0, size_t(count)); }

Str Str_Right(const Str& s, int count) {
    if (count <= 0) return Str();
    if (size_t(count) >= s.size()) return s;
    return s.substr(s.size() - size_t(count));
}

Str Str_Replace(const Str& s, const Str& what, const Str& with) {
    if (what.empty()) return s;
    Str out;
    size_t pos = 0;
    for (size_t at; (at = s.find(what, pos)) != Str::npos; pos = at + what.size()) {
        out.append(s, pos, at - pos);
        out += with;
    }
    out.append(s, pos, Str::npos);
    return out;
}

bool Str_StartsWith(const Str& s, const Str& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

bool Str_StartsWithNoCase(const Str& s, const Str& prefix) {
    return s.size() >= prefix.size() && Str_EqualsNoCase(s.substr(0, prefix.size()), prefix);
}

Str Str_FromInt(int64_t v) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    return Str_FromLatin1(std::string_view(buf, size_t(r.ptr - buf)));
}

Str Str_FromIntPadded(int64_t v, int digits) {
    Str n = Str_FromInt(v);
    if (v >= 0 && int(n.size()) < digits) n.insert(0, size_t(digits) - n.size(), u'0');
    return n;
}

Str Str_FromFloat(double v) {
    // snprintf follows LC_NUMERIC; the game never changes it, but a library might: the decimal point is put back.
    char buf[64];
    const int n = std::snprintf(buf, sizeof buf, "%#.9g", v);
    for (char& c : buf)
        if (c == ',') c = '.';
    return Str_FromLatin1(std::string_view(buf, n > 0 ? size_t(n) : 0));
}

int32_t Str_ToInt(const Str& s) {
    size_t i = SkipBlanks(s);
    bool neg = false;
    if (i < s.size() && (s[i] == u'-' || s[i] == u'+')) neg = s[i++] == u'-';
    uint64_t acc = 0;
    for (; i < s.size() && s[i] >= u'0' && s[i] <= u'9'; ++i)
        acc = acc * 10 + uint64_t(s[i] - u'0');
    if (neg) acc = ~acc + 1; // two's complement, then cut to 32 bits
    return int32_t(uint32_t(acc & 0xFFFFFFFFu));
}

float Str_ToFloat(const Str& s) {
    size_t i = SkipBlanks(s);
    std::string ascii;
    if (i < s.size() && (s[i] == u'+')) ++i; // from_chars takes no '+'
    for (; i < s.size() && s[i] < 0x80 && ascii.size() < 400; ++i)
        ascii.push_back(char(s[i]));
    double v = 0;
    const auto r = std::from_chars(ascii.data(), ascii.data() + ascii.size(), v, std::chars_format::general);
    if (r.ec != std::errc() || !std::isfinite(v)) return 0.0f;
    return float(v);
}
