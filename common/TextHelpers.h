// Character and substring replacement, the last position of a character and the translation hook.
// Positions are 1-based and every comparison is exact, as the suite's callers expect.
#pragma once

#include <QString>

namespace common {

// Replaces every occurrence of `ch` in `text` (as passed in) by `replacement`, writes the result back
// into `text` and returns it. Inserted text is never scanned again.
QString ReplaceCharInText(QString& text, QChar ch, const QString& replacement);
// The same on a copy.
QString ReplaceCharInCopy(const QString& text, QChar ch, const QString& replacement);
// Each occurrence of `oldChar` overwritten by `newChar`; equal characters show a message and change nothing.
QString ReplaceChr(const QString& text, QChar oldChar, QChar newChar);
// Replaces every occurrence of `search`, restarting at the first character after each replacement, so
// occurrences formed by a replacement and its neighbours are replaced too. An empty search changes
// nothing. A replacement that contains the search text is done in one left-to-right pass instead
// (restarting would never end).
QString ReplaceSubstring(QString& text, const QString& search, const QString& replacement);
// 1-based position of the last occurrence of `ch`; 0 when absent.
int FindLastChar(const QString& text, QChar ch);

// An intersection number the user gives: one or more letters, digits and "-", nothing else (it becomes
// part of block names and selection patterns, where other characters have meanings of their own).
bool IsValidIntersectionNumber(const QString& number);

// A count with its noun in the Polish form the number asks for: "1 blok", "2 bloki", "5 bloków",
// "22 bloki", "234 znaki", "12 znaków".
QString PolishCount(long long n, const QString& one, const QString& few, const QString& many);

// A name, label, cell text or path read from a file, as a message quotes it: at most `limit`
// characters (its start, then "…"), so a hostile or broken file cannot fill the screen. Line breaks
// are shown as spaces for the same reason.
QString ShortForMessage(const QString& text, int limit = 40);
// The same in double quotes, as a message names a block, layer or label.
QString QuotedForMessage(const QString& text);

// The suite's single translation hook: every shown text passes through it; it returns the text unchanged.
QString Tlumacz(const QString& text);

}  // namespace common
