// The CAD wildcard dialect, compiled once into token lists and matched without regard to case.
#include "platform/cad/engine/Errors.h"
#include "platform/cad/engine/Selection.h"

#include <vector>

namespace cad::db {

namespace {

enum class Tok { Literal, One, Run, Digit, Letter, NonAlnum, Class };

struct Range {
    char16_t lo, hi;
};

struct Token {
    Tok kind = Tok::Literal;
    char16_t ch = 0;  // folded literal
    bool negated = false;
    std::vector<Range> ranges;  // folded class members
};

struct Alternative {
    bool negated = false;
    std::vector<Token> tokens;
};

char16_t fold(QChar c) {
    // Every character of every name a pattern is tried on: ASCII folds in place, the rest as Unicode does.
    const char16_t u = c.unicode();
    if (u < 0x80) return u >= u'A' && u <= u'Z' ? char16_t(u + 32) : u;
    return c.toCaseFolded().unicode();
}

bool tokenMatches(const Token& t, QChar c) {
    switch (t.kind) {
        case Tok::Literal:
            return fold(c) == t.ch;
        case Tok::One:
            return true;
        case Tok::Digit:
            return c.isDigit();
        case Tok::Letter:
            return c.isLetter();
        case Tok::NonAlnum:
            return !c.isLetterOrNumber();
        case Tok::Class: {
            const char16_t f = fold(c);
            bool in = false;
            for (const Range& r : t.ranges)
                if (f >= r.lo && f <= r.hi) {
                    in = true;
                    break;
                }
            return in != t.negated;
        }
        case Tok::Run:
            break;
    }
    return false;
}

// Greedy matching with back-tracking to the last run, linear for the usual patterns.
bool matchTokens(const std::vector<Token>& toks, QStringView text) {
    size_t ti = 0, si = 0;
    size_t starTok = size_t(-1), starPos = 0;
    const size_t n = size_t(text.size());
    while (si < n) {
        if (ti < toks.size() && toks[ti].kind == Tok::Run) {
            starTok = ti++;
            starPos = si;
        } else if (ti < toks.size() && tokenMatches(toks[ti], text.at(qsizetype(si)))) {
            ++ti;
            ++si;
        } else if (starTok != size_t(-1)) {
            ti = starTok + 1;
            si = ++starPos;
        } else {
            return false;
        }
    }
    while (ti < toks.size() && toks[ti].kind == Tok::Run) ++ti;
    return ti == toks.size();
}

}  // namespace

struct WildcardPattern::Impl {
    std::vector<Alternative> alternatives;
};

WildcardPattern::WildcardPattern(const QString& pattern) : d(std::make_unique<Impl>()) {
    Alternative current;
    bool atStart = true;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        Token t;
        if (c == '`') {
            if (i + 1 < pattern.size()) ++i;
            t.ch = fold(pattern.at(i));
        } else if (c == ',') {
            d->alternatives.push_back(std::move(current));
            current = Alternative{};
            atStart = true;
            continue;
        } else if (c == '~' && atStart) {
            current.negated = true;
            atStart = false;
            continue;
        } else if (c == '*') {
            t.kind = Tok::Run;
        } else if (c == '?') {
            t.kind = Tok::One;
        } else if (c == '#') {
            t.kind = Tok::Digit;
        } else if (c == '@') {
            t.kind = Tok::Letter;
        } else if (c == '.') {
            t.kind = Tok::NonAlnum;
        } else if (c == '[') {
            const qsizetype close = pattern.indexOf(']', i + 2);
            if (close < 0) {
                t.ch = fold(c);  // an unclosed bracket is an ordinary character
            } else {
                t.kind = Tok::Class;
                qsizetype j = i + 1;
                if (pattern.at(j) == '~' && j + 1 < close) {
                    t.negated = true;
                    ++j;
                }
                for (; j < close; ++j) {
                    QChar lo = pattern.at(j);
                    if (lo == '`' && j + 1 < close) lo = pattern.at(++j);
                    if (j + 2 < close && pattern.at(j + 1) == '-') {
                        const QChar hi = pattern.at(j + 2);
                        char16_t a = fold(lo), b = fold(hi);
                        if (a > b) std::swap(a, b);
                        t.ranges.push_back({a, b});
                        j += 2;
                    } else {
                        t.ranges.push_back({fold(lo), fold(lo)});
                    }
                }
                i = close;
            }
        } else {
            t.ch = fold(c);
        }
        atStart = false;
        current.tokens.push_back(std::move(t));
    }
    d->alternatives.push_back(std::move(current));
}

WildcardPattern::~WildcardPattern() = default;
WildcardPattern::WildcardPattern(WildcardPattern&&) noexcept = default;
WildcardPattern& WildcardPattern::operator=(WildcardPattern&&) noexcept = default;

bool WildcardPattern::matches(QStringView text) const {
    for (const Alternative& a : d->alternatives)
        if (matchTokens(a.tokens, text) != a.negated) return true;
    return false;
}

bool WildcardPattern::isLiteral() const {
    if (d->alternatives.size() != 1 || d->alternatives[0].negated) return false;
    for (const Token& t : d->alternatives[0].tokens)
        if (t.kind != Tok::Literal) return false;
    return true;
}

QString WildcardPattern::literal() const {
    QString out;
    if (!isLiteral()) return out;
    for (const Token& t : d->alternatives[0].tokens) out.append(QChar(t.ch));
    return out;
}

bool wildcardMatch(const QString& pattern, const QString& text) {
    return WildcardPattern(pattern).matches(text);
}

}  // namespace cad::db
