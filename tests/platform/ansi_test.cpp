#include "platform/ansi.h"

#include <gtest/gtest.h>

#include <string>

namespace toa {
namespace {

struct Conversion {
    std::string utf8;
    std::string ansi;
};

TEST(AnsiText, SpanishLettersAndEuroSurviveBothWays) {
    const Conversion cases[] = {
        {"Educación Física",
         "Educaci\xF3n F\xED"
         "sica"},
        {"Ñandú",
         "\xD1"
         "and\xFA"},
        {"€ 20", "\x80 20"},
        {"«Lengua» – 1º", "\xABLengua\xBB \x96 1\xBA"},
        {"Š Œ Ž Ÿ", "\x8A \x8C \x8E \x9F"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ansiFromUtf8(c.utf8), c.ansi) << c.utf8;
        EXPECT_EQ(utf8FromAnsi(c.ansi), c.utf8) << c.utf8;
    }
}

TEST(AnsiText, WhatTheCodePageLacksBecomesQuestionMark) {
    EXPECT_EQ(ansiFromUtf8("Ελλάδα"), "??????");
    EXPECT_EQ(ansiFromUtf8("漢字 ok"), "?? ok");
    EXPECT_EQ(ansiFromUtf8("\xF0\x9F\x98\x80"), "?");  // outside the BMP
    EXPECT_EQ(ansiFromUtf8("a\xC3"), "a?");            // cut sequence
    EXPECT_EQ(ansiFromUtf8("\xC0\xAF"), "?");          // overlong form
    EXPECT_EQ(ansiFromUtf8("\xED\xA0\x80"), "?");      // surrogate
    // The undefined bytes never come out of a conversion, and never go in.
    EXPECT_EQ(ansiFromUtf8("\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D"), "?????");
    EXPECT_EQ(utf8FromAnsi("\x81\x8D\x8F\x90\x9D"), "?????");
}

TEST(AnsiText, TrimRemovesBlanksAndControlsAtBothEndsOnly) {
    EXPECT_EQ(trimControls(" \t\r\n Lengua  Castellana \x01\x1F "), "Lengua  Castellana");
    EXPECT_EQ(trimControls(" \t "), "");
    EXPECT_EQ(trimControls("\xA0x\xA0"), "\xA0x\xA0");  // no-break space is a character
}

TEST(AnsiText, CaseFoldingFollowsTheCodePageLetters) {
    struct Pair {
        std::string a, b;
        bool equal;
    };
    const Pair cases[] = {
        {"LENG", "leng", true}, {"\xD1", "\xF1", true},  // Ñ ñ
        {"A", "\xC1", false},   {"\xC1", "\xE1", true},  // Á á
        {"\x8A", "\x9A", true}, {"\x8C", "\x9C", true},  {"\x8E", "\x9E", true},
        {"\x9F", "\xFF", true}, {"\xD7", "\xF7", false},  // × ÷ are no letters
        {"ab", "abc", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(equalsIgnoringCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
        EXPECT_EQ(foldCase(c.a) == foldCase(c.b), c.equal) << c.a << " / " << c.b;
    }
}

TEST(AnsiText, AsciiCaseChangesLeaveOtherLettersAlone) {
    EXPECT_EQ(upperAsciiLetters("Guardia de biblioteca \xF1"), "GUARDIA DE BIBLIOTECA \xF1");
    EXPECT_EQ(lowerAsciiLetters("IMPORTAR \xD1"), "importar \xD1");
}

}  // namespace
}  // namespace toa
