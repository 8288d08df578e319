// Reads the format codes of multiline text, keeping the format in force through brace groups.
#include "cadhost/render/MTextRuns.h"

#include <QStringList>
#include <cmath>
#include <numbers>

namespace cadhost::render {

namespace {

bool sameFormat(const MTextRun& a, const MTextRun& b) {
    return a.height == b.height && a.bold == b.bold && a.italic == b.italic && a.underline == b.underline &&
           a.overline == b.overline && a.strike == b.strike && a.aci == b.aci && a.trueColor == b.trueColor &&
           a.widthFactor == b.widthFactor && a.tracking == b.tracking && a.oblique == b.oblique;
}

// A value that may be relative ("0.5x" scales the current one).
double scaled(const QString& arg, double current) {
    QString s = arg.trimmed();
    const bool relative = s.endsWith(QLatin1Char('x'), Qt::CaseInsensitive);
    if (relative) s.chop(1);
    bool ok = false;
    const double v = s.toDouble(&ok);
    if (!ok || !(v > 0)) return current;
    return relative ? current * v : v;
}

// A stacked fraction "1^2", "1/2" or "1#2" shown on one line.
QString stacked(QString arg) {
    arg.replace(QLatin1String("\\;"), QLatin1String(";"));
    for (QChar sep : {QLatin1Char('^'), QLatin1Char('/'), QLatin1Char('#')}) {
        const qsizetype at = arg.indexOf(sep);
        if (at < 0) continue;
        const QString top = arg.left(at).trimmed(), bottom = arg.mid(at + 1).trimmed();
        if (top.isEmpty() || bottom.isEmpty()) return top + bottom;
        return top + QLatin1Char('/') + bottom;
    }
    return arg;
}

// Reads one text from start to end, keeping the format in force and the formats saved by the
// brace groups around it.
class Reader {
public:
    Reader(const QString& raw, double height) : raw_(raw), n_(raw.size()), lines_(1) { state_.height = height; }

    std::vector<MTextLine> read() {
        while (i_ < n_) {
            const QChar ch = raw_[i_];
            if (readStructure(ch)) continue;
            if (ch != QLatin1Char('\\') || i_ + 1 >= n_) {
                put(QString(ch));
                ++i_;
                continue;
            }
            const QChar code = raw_[i_ + 1];
            i_ += 2;
            if (!readFormat(code)) readCharacter(code);
        }
        return std::move(lines_);
    }

private:
    void put(const QString& s) {
        MTextLine& line = lines_.back();
        if (!line.empty() && sameFormat(line.back(), state_)) {
            line.back().text += s;
        } else {
            MTextRun run = state_;
            run.text = s;
            line.push_back(run);
        }
    }
    // The argument of a code: up to its ';' (or the end).
    QString argument() {
        const qsizetype end = raw_.indexOf(QLatin1Char(';'), i_);
        const QString a = raw_.mid(i_, end < 0 ? -1 : end - i_);
        i_ = end < 0 ? n_ : end + 1;
        return a;
    }
    // Brace groups, line breaks and the %% symbols; false for anything else.
    bool readStructure(QChar ch) {
        if (ch == QLatin1Char('{')) {
            saved_.push_back(state_);
        } else if (ch == QLatin1Char('}')) {
            if (!saved_.empty()) state_ = saved_.back(), saved_.pop_back();
        } else if (ch == QLatin1Char('\n')) {
            lines_.emplace_back();
        } else if (ch == QLatin1Char('%') && i_ + 2 < n_ && raw_[i_ + 1] == QLatin1Char('%')) {
            const QChar c = raw_[i_ + 2].toLower();
            const QString sym = c == QLatin1Char('d')   ? QStringLiteral("°")
                                : c == QLatin1Char('p') ? QStringLiteral("±")
                                : c == QLatin1Char('c') ? QStringLiteral("⌀")
                                : c == QLatin1Char('%') ? QStringLiteral("%")
                                                        : QString();
            if (sym.isEmpty()) return false;
            put(sym);
            i_ += 2;
        } else {
            return false;
        }
        ++i_;
        return true;
    }
    // A code that changes the format in force; false for any other.
    bool readFormat(QChar code) {
        switch (code.unicode()) {
            case 'L':
            case 'l':
                state_.underline = code == QLatin1Char('L');
                return true;
            case 'O':
            case 'o':
                state_.overline = code == QLatin1Char('O');
                return true;
            case 'K':
            case 'k':
                state_.strike = code == QLatin1Char('K');
                return true;
            case 'H':
                state_.height = scaled(argument(), state_.height);
                return true;
            case 'W':
                state_.widthFactor = scaled(argument(), state_.widthFactor);
                return true;
            case 'T':
                state_.tracking = scaled(argument(), state_.tracking);
                return true;
            case 'Q':
                state_.oblique = argument().toDouble() * std::numbers::pi / 180;
                return true;
            case 'C': {
                bool ok = false;
                const int aci = argument().toInt(&ok);
                if (ok) state_.aci = aci, state_.trueColor = -1;
                return true;
            }
            case 'c': {
                bool ok = false;
                const int rgb = argument().toInt(&ok);
                if (ok) state_.trueColor = rgb & 0xffffff;
                return true;
            }
            case 'f':
            case 'F': {
                const QStringList parts = argument().split(QLatin1Char('|'));
                // Every text is drawn in one font; the code's bold and italic flags are kept.
                state_.bold = state_.italic = false;
                for (const QString& p : parts.mid(1)) {
                    if (p.startsWith(QLatin1Char('b'))) state_.bold = p.mid(1).toInt() != 0;
                    if (p.startsWith(QLatin1Char('i'))) state_.italic = p.mid(1).toInt() != 0;
                }
                return true;
            }
            default:
                return false;
        }
    }
    // A code that stands for characters, a break, or nothing shown.
    void readCharacter(QChar code) {
        switch (code.unicode()) {
            case 'P':
            case 'X':
            case 'N':
                lines_.emplace_back();
                return;
            case '~':
                put(QStringLiteral("\u00a0"));
                return;
            case 'S':
                put(stacked(argument()));
                return;
            case 'A':
            case 'p':
                argument();
                return;
            case 'U':
                if (i_ + 5 <= n_ && raw_[i_] == QLatin1Char('+')) {
                    bool ok = false;
                    const uint cp = raw_.mid(i_ + 1, 4).toUInt(&ok, 16);
                    if (ok) {
                        put(QString(QChar(char16_t(cp))));
                        i_ += 5;
                        return;
                    }
                }
                put(QStringLiteral("U"));
                return;
            default:
                put(QString(code));  // \\, \{, \} and anything not a code: the character itself
                return;
        }
    }

    const QString& raw_;
    const qsizetype n_;
    qsizetype i_ = 0;
    std::vector<MTextLine> lines_;
    MTextRun state_;
    std::vector<MTextRun> saved_;
};

}  // namespace

std::vector<MTextLine> ParseMText(const QString& raw, double height) {
    return Reader(raw, height).read();
}

}  // namespace cadhost::render
