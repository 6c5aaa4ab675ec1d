// Text type of the whole game and its helpers: Latin-1/UTF-8 conversions, ASCII case, slicing, search, trim and
// number <-> text in the C locale. Used by every module; implemented in strings.cpp.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// One UTF-16 code unit per character; Latin-1 text maps one byte to one unit.
using Str = std::u16string;

// Conversions. Latin-1 output keeps the low 8 bits of every unit. UTF-8 input that is malformed yields U+FFFD for
// the bad bytes; characters beyond the BMP become surrogate pairs (and back).
Str Str_FromLatin1(std::string_view bytes);
std::string Str_ToLatin1(const Str& s);
Str Str_FromUtf8(std::string_view utf8);
std::string Str_ToUtf8(const Str& s);
// Short form for literals in code and tests: S("abc") == u"abc" (ASCII/Latin-1 bytes only).
inline Str S(std::string_view latin1) { return Str_FromLatin1(latin1); }

// ASCII-only case conversion ('a'..'z' <-> 'A'..'Z'); every other unit is left alone.
Str Str_Upper(const Str& s);
Str Str_Lower(const Str& s);
bool Str_EqualsNoCase(const Str& a, const Str& b); // ASCII case ignored
int Str_CompareNoCase(const Str& a, const Str& b); // <0, 0, >0 with ASCII case ignored

// Removes spaces, tabs, CR and LF at both ends.
Str Str_Trim(const Str& s);
// The one line reader: the text cut at each line end (CR LF, CR or LF), ends not included; a text that ends with a
// line end gives no empty last line.
std::vector<Str> Str_SplitLines(const Str& text);
std::vector<std::string> Str_SplitLines(const std::string& text); // the same for bytes (UTF-8 files, scripts)
// The number written with at least `digits` digits, zeros in front (7, 3 -> "007"; negative numbers as they are).
Str Str_FromIntPadded(int64_t v, int digits);
// Position (0-based) of the first `what` at or after `from`, or -1. An empty `what` is found at `from`.
int Str_Find(const Str& s, const Str& what, int from = 0);
// Slices that clamp to the string: never throw for out-of-range positions or counts.
Str Str_Mid(const Str& s, int pos, int count = -1); // count < 0: to the end
Str Str_Left(const Str& s, int count);
Str Str_Right(const Str& s, int count);
// Replaces every non-overlapping `what` by `with` (an empty `what` changes nothing).
Str Str_Replace(const Str& s, const Str& what, const Str& with);
bool Str_StartsWith(const Str& s, const Str& prefix);
bool Str_StartsWithNoCase(const Str& s, const Str& prefix);

// Numbers. Text is always written and read in the C locale (a dot, never a comma).
Str Str_FromInt(int64_t v);
Str Str_FromFloat(double v); // like printf("%#.9g"): 2.5 -> "2.50000000", 0.8f -> "0.800000012"
// Reads a leading number after blanks: optional sign, digits ("12abc" -> 12); no digits -> 0. Values beyond int32
// are cut to the low 32 bits.
int32_t Str_ToInt(const Str& s);
// Reads a leading decimal number after blanks ("2.5x" -> 2.5, "1e3" -> 1000); nothing readable -> 0.
float Str_ToFloat(const Str& s);
