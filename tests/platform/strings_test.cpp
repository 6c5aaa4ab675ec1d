// Text helpers: conversions that must survive a round trip, slices that must never throw, and number <-> text in
// the C locale whatever the process locale is.
#include <gtest/gtest.h>

#include <clocale>

#include "platform/strings.h"

TEST(Strings, Latin1AndUtf8Conversions) {
    const std::string latin1 = "Gr\xfc\xdf"
                               "e \xe7\xe0\xe9"; // "Grüße çàé"
    const Str s = Str_FromLatin1(latin1);
    ASSERT_EQ(s.size(), latin1.size()); // one unit per byte
    EXPECT_EQ(s[2], u'\u00fc');
    EXPECT_EQ(Str_ToLatin1(s), latin1);
    EXPECT_EQ(Str_ToUtf8(s), "Gr\xc3\xbc\xc3\x9f"
                             "e \xc3\xa7\xc3\xa0\xc3\xa9");
    EXPECT_EQ(Str_FromUtf8(Str_ToUtf8(s)), s);
    // Beyond the BMP: a surrogate pair both ways.
    const Str clef = Str_FromUtf8("\xf0\x9d\x84\x9e");
    ASSERT_EQ(clef.size(), 2u);
    EXPECT_EQ(Str_ToUtf8(clef), "\xf0\x9d\x84\x9e");
    // Writing to Latin-1 keeps the low 8 bits.
    EXPECT_EQ(Str_ToLatin1(u"\u20ac"), std::string("\xac"));
}

TEST(Strings, MalformedUtf8BecomesReplacementCharacters) {
    EXPECT_EQ(Str_FromUtf8("a\xff"
                           "b"),
              u"a\ufffdb");
    EXPECT_EQ(Str_FromUtf8("a\xc3"), u"a\ufffd");                    // truncated sequence at the end
    EXPECT_EQ(Str_FromUtf8("\xc0\xaf"), u"\ufffd\ufffd");            // overlong "/"
    EXPECT_EQ(Str_FromUtf8("\xed\xa0\x80").front(), u'\ufffd');      // encoded surrogate
    EXPECT_EQ(Str_ToUtf8(Str(1, char16_t(0xD800))), "\xef\xbf\xbd"); // lone surrogate
}

TEST(Strings, CaseIsAsciiOnly) {
    EXPECT_EQ(Str_Upper(u"abz\u00e4AZ09"), u"ABZ\u00e4AZ09");
    EXPECT_EQ(Str_Lower(u"ABZ\u00c4"), u"abz\u00c4");
    EXPECT_TRUE(Str_EqualsNoCase(u"Images/X.PNG", u"images/x.png"));
    EXPECT_FALSE(Str_EqualsNoCase(u"\u00e4", u"\u00c4"));
    EXPECT_FALSE(Str_EqualsNoCase(u"ab", u"abc"));
    EXPECT_LT(Str_CompareNoCase(u"ab", u"ABC"), 0);
    EXPECT_GT(Str_CompareNoCase(u"b", u"A"), 0);
    EXPECT_TRUE(Str_StartsWithNoCase(u"INCBIN::x", u"incbin::"));
    EXPECT_FALSE(Str_StartsWithNoCase(u"inc", u"incbin::"));
}

TEST(Strings, SlicesClampInsteadOfThrowing) {
    const Str s = u"Brisquel";
    EXPECT_EQ(Str_Mid(s, 2, 3), u"isq");
    EXPECT_EQ(Str_Mid(s, 5), u"uel");
    EXPECT_EQ(Str_Mid(s, 6, 100), u"el");
    EXPECT_EQ(Str_Mid(s, 100, 2), u"");
    EXPECT_EQ(Str_Mid(s, -2, 4), u"Br");
    EXPECT_EQ(Str_Left(s, 3), u"Bri");
    EXPECT_EQ(Str_Left(s, -1), u"");
    EXPECT_EQ(Str_Left(s, 50), s);
    EXPECT_EQ(Str_Right(s, 3), u"uel");
    EXPECT_EQ(Str_Right(s, 50), s);
    EXPECT_EQ(Str_Right(s, 0), u"");
}

TEST(Strings, TrimFindReplace) {
    EXPECT_EQ(Str_Trim(u" \t a b \r\n"), u"a b");
    EXPECT_EQ(Str_Trim(u"   "), u"");
    EXPECT_EQ(Str_Find(u"abcabc", u"c"), 2);
    EXPECT_EQ(Str_Find(u"abcabc", u"c", 3), 5);
    EXPECT_EQ(Str_Find(u"abc", u"x"), -1);
    EXPECT_EQ(Str_Find(u"abc", u"a", 10), -1);
    EXPECT_EQ(Str_Find(u"abc", u"", 1), 1);
    EXPECT_EQ(Str_Replace(u"a\\b\\c", u"\\", u"/"), u"a/b/c");
    EXPECT_EQ(Str_Replace(u"aaa", u"aa", u"b"), u"ba"); // non-overlapping, left to right
    EXPECT_EQ(Str_Replace(u"abc", u"", u"x"), u"abc");
    EXPECT_EQ(Str_Replace(u"xx", u"x", u"xx"), u"xxxx"); // replacement is not rescanned
}

TEST(Strings, NumbersToText) {
    EXPECT_EQ(Str_FromInt(0), u"0");
    EXPECT_EQ(Str_FromInt(-42), u"-42");
    EXPECT_EQ(Str_FromInt(INT64_MIN), u"-9223372036854775808");
    EXPECT_EQ(Str_FromFloat(2.5), u"2.50000000");
    EXPECT_EQ(Str_FromFloat(0.8f), u"0.800000012");
    EXPECT_EQ(Str_FromFloat(1e10), u"1.00000000e+10");
    EXPECT_EQ(Str_FromFloat(0.0), u"0.00000000");
    EXPECT_EQ(Str_FromFloat(-1.0), u"-1.00000000");
}

TEST(Strings, TextToNumbersReadsTheLeadingNumber) {
    EXPECT_EQ(Str_ToInt(u"12abc"), 12);
    EXPECT_EQ(Str_ToInt(u"abc"), 0);
    EXPECT_EQ(Str_ToInt(u"  -7"), -7);
    EXPECT_EQ(Str_ToInt(u"+5"), 5);
    EXPECT_EQ(Str_ToInt(u"-"), 0);
    EXPECT_EQ(Str_ToInt(u""), 0);
    EXPECT_EQ(Str_ToInt(u"2147483647"), 2147483647);
    EXPECT_EQ(Str_ToInt(u"-2147483648"), INT32_MIN);
    EXPECT_EQ(Str_ToInt(u"4294967297"), 1); // cut to 32 bits, no undefined overflow
    EXPECT_EQ(Str_ToInt(u"99999999999999999999999"), Str_ToInt(u"99999999999999999999999")); // no trap
    EXPECT_FLOAT_EQ(Str_ToFloat(u"2.5x"), 2.5f);
    EXPECT_FLOAT_EQ(Str_ToFloat(u" -0.75"), -0.75f);
    EXPECT_FLOAT_EQ(Str_ToFloat(u"1e3"), 1000.0f);
    EXPECT_FLOAT_EQ(Str_ToFloat(u"+3"), 3.0f);
    EXPECT_FLOAT_EQ(Str_ToFloat(u".5"), 0.5f);
    EXPECT_EQ(Str_ToFloat(u"abc"), 0.0f);
    EXPECT_EQ(Str_ToFloat(u"1e999"), 0.0f);
    EXPECT_EQ(Str_ToFloat(u"inf"), 0.0f);
    // What Str_FromFloat writes reads back as the same float.
    EXPECT_EQ(Str_ToFloat(Str_FromFloat(0.8f)), 0.8f);
}

TEST(Strings, NumbersIgnoreTheProcessLocale) {
    // A German locale would write and read commas; the helpers must not notice it.
    const char* const old = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = old ? old : "C";
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE"))
        GTEST_SKIP() << "no German locale installed";
    const Str written = Str_FromFloat(2.5);
    const float read = Str_ToFloat(u"2.5");
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_EQ(read, 2.5f);
    EXPECT_EQ(written, u"2.50000000");
}

TEST(Strings, SplitLinesKnowsEveryLineEnd) {
    EXPECT_EQ(Str_SplitLines(u"a\r\nb\nc\rd"), (std::vector<Str>{u"a", u"b", u"c", u"d"}));
    EXPECT_EQ(Str_SplitLines(u"a\n\nb\r\n"), (std::vector<Str>{u"a", u"", u"b"})); // empty line kept, none at the end
    EXPECT_EQ(Str_SplitLines(u"\r\n"), (std::vector<Str>{u""}));
    EXPECT_EQ(Str_SplitLines(u"\n\r"), (std::vector<Str>{u"", u""})); // LF then CR: two ends, not one
    EXPECT_TRUE(Str_SplitLines(u"").empty());
    EXPECT_EQ(Str_FromIntPadded(7, 3), Str(u"007"));
    EXPECT_EQ(Str_FromIntPadded(1234, 3), Str(u"1234"));
    EXPECT_EQ(Str_FromIntPadded(-5, 3), Str(u"-5"));
}
