// The CAD wildcard dialect: every construct, the characters the suite's names hold, and case.
#include "platform/cad/engine/Selection.h"

#include <gtest/gtest.h>

using cad::db::wildcardMatch;
using cad::db::WildcardPattern;

namespace {

TEST(CadWildcard, RunsAndSingleCharacters) {
    EXPECT_TRUE(wildcardMatch("*", ""));
    EXPECT_TRUE(wildcardMatch("12^STRUMIEN_*", "12^STRUMIEN_3^K1"));
    EXPECT_FALSE(wildcardMatch("12^STRUMIEN_*", "121^STRUMIEN_3^K1"));
    EXPECT_TRUE(wildcardMatch("12^*POJ*_STRUMIEN*", "12^POJPIESZ_STRUMIEN_4"));
    EXPECT_TRUE(wildcardMatch("*^*STRUMIEN_*", "7^KONIEC_STRUMIEN_K2_3"));
    EXPECT_FALSE(wildcardMatch("*^*STRUMIEN_*", "KONIEC_STRUMIEN_K2_3"));
    EXPECT_TRUE(wildcardMatch("S-?", "S-1"));
    EXPECT_FALSE(wildcardMatch("S-?", "S-12"));
    EXPECT_TRUE(wildcardMatch("a*b*c", "aXXbYYbZc"));
    EXPECT_FALSE(wildcardMatch("a*b*c", "aXXbYYbZ"));
}

TEST(CadWildcard, CharacterKinds) {
    EXPECT_TRUE(wildcardMatch("AKTUALNY_CZAS_##", "AKTUALNY_CZAS_12"));
    EXPECT_FALSE(wildcardMatch("AKTUALNY_CZAS_##", "AKTUALNY_CZAS_1A"));
    EXPECT_TRUE(wildcardMatch("@@", "Żą"));
    EXPECT_FALSE(wildcardMatch("@", "1"));
    EXPECT_TRUE(wildcardMatch("A.B", "A-B"));
    EXPECT_TRUE(wildcardMatch("A.B", "A^B"));
    EXPECT_FALSE(wildcardMatch("A.B", "AxB"));
    EXPECT_FALSE(wildcardMatch("A.B", "A5B"));
}

TEST(CadWildcard, ClassesAndNegation) {
    EXPECT_TRUE(wildcardMatch("K[123]", "K2"));
    EXPECT_FALSE(wildcardMatch("K[123]", "K4"));
    EXPECT_TRUE(wildcardMatch("K[1-3]", "K3"));
    EXPECT_TRUE(wildcardMatch("K[~1-3]", "K4"));
    EXPECT_FALSE(wildcardMatch("K[~1-3]", "K2"));
    EXPECT_TRUE(wildcardMatch("~S-*", "ST"));
    EXPECT_FALSE(wildcardMatch("~S-*", "S-1"));
    EXPECT_TRUE(wildcardMatch("[ąż]x", "Żx"));
    // A "[" without its "]" is an ordinary character.
    EXPECT_TRUE(wildcardMatch("K1[", "K1["));
}

TEST(CadWildcard, EscapesAndAlternatives) {
    EXPECT_TRUE(wildcardMatch("`*U*", "*U12"));
    EXPECT_FALSE(wildcardMatch("`*U*", "XU12"));
    EXPECT_FALSE(wildcardMatch("`*U*", "*D1"));
    EXPECT_TRUE(wildcardMatch("K1`[2`]", "K1[2]"));
    EXPECT_FALSE(wildcardMatch("K1[2]", "K1[2]"));  // "[2]" is a class of one character
    EXPECT_TRUE(wildcardMatch("S-*,STK-*,STT,ST", "STT"));
    EXPECT_TRUE(wildcardMatch("S-*,STK-*,STT,ST", "stk-lw"));
    EXPECT_FALSE(wildcardMatch("S-*,STK-*,STT,ST", "STX"));
    EXPECT_TRUE(wildcardMatch("a`,b", "a,b"));
}

TEST(CadWildcard, CaseAndPolishLettersAndLiterals) {
    EXPECT_TRUE(wildcardMatch("schemat_12_faza*", "Schemat_12_Faza3_1"));
    EXPECT_TRUE(wildcardMatch("ZIELEŃ", "zieleń"));
    EXPECT_TRUE(wildcardMatch("ATRYBUTY_PROGRAMU_^", "atrybuty_programu_^"));
    EXPECT_FALSE(wildcardMatch("ATRYBUTY_PROGRAMU_^", "ATRYBUTY_PROGRAMU_"));
    EXPECT_TRUE(wildcardMatch("Text", "TEXT"));
    const WildcardPattern exact("ATRYBUTY_STRUMIENI_12");
    EXPECT_TRUE(exact.isLiteral());
    EXPECT_EQ(exact.literal(), "atrybuty_strumieni_12");
    EXPECT_FALSE(WildcardPattern("A*").isLiteral());
    EXPECT_FALSE(WildcardPattern("A,B").isLiteral());
    EXPECT_FALSE(WildcardPattern("~A").isLiteral());
}

}  // namespace
