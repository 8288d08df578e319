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
    // The argument of a numeric code: its number (with the 'x' of a relative value when `relative`),
    // and the ';' closing it when one follows at once. Files that leave the ';' out go on with
    // their text right after the number.
    QString number(bool relative) {
        const qsizetype from = i_;
        auto digits = [&] {
            while (i_ < n_ && raw_[i_].isDigit()) ++i_;
        };
        if (i_ < n_ && (raw_[i_] == QLatin1Char('-') || raw_[i_] == QLatin1Char('+'))) ++i_;
        digits();
        if (i_ < n_ && raw_[i_] == QLatin1Char('.')) ++i_, digits();
        if (relative && i_ < n_ && (raw_[i_] == QLatin1Char('x') || raw_[i_] == QLatin1Char('X'))) ++i_;
        const QString a = raw_.mid(from, i_ - from);
        if (i_ < n_ && raw_[i_] == QLatin1Char(';')) ++i_;
        return a;
    }
    // A paragraph code's alignment (q followed by l, c, r or j among its comma-separated parts,
    // after the 'x' of the extended form), for the paragraph it is in and those after it.
    void paragraph(const QString& arg) {
        for (QString part : arg.split(QLatin1Char(','))) {
            if (part.startsWith(QLatin1Char('x'))) part.remove(0, 1);
            if (part.size() < 2 || part[0] != QLatin1Char('q')) continue;
            const char16_t a = part[1].unicode();
            align_ = a == 'l'   ? MTextAlign::Left
                     : a == 'c' ? MTextAlign::Centre
                     : a == 'r' ? MTextAlign::Right
                     : a == 'j' ? MTextAlign::Justified
                                : MTextAlign::Default;
            lines_.back().align = align_;
        }
    }
    void newLine(bool column = false) {
        lines_.emplace_back();
        lines_.back().align = align_;
        lines_.back().newColumn = column;
    }
    // Brace groups, line breaks and the %% symbols; false for anything else.
    bool readStructure(QChar ch) {
        if (ch == QLatin1Char('{')) {
            saved_.push_back(state_);
        } else if (ch == QLatin1Char('}')) {
            if (!saved_.empty()) state_ = saved_.back(), saved_.pop_back();
        } else if (ch == QLatin1Char('\n')) {
            newLine();
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
                state_.height = scaled(number(true), state_.height);
                return true;
            case 'W':
                state_.widthFactor = scaled(number(true), state_.widthFactor);
                return true;
            case 'T':
                state_.tracking = scaled(number(true), state_.tracking);
                return true;
            case 'Q':
                state_.oblique = number(false).toDouble() * std::numbers::pi / 180;
                return true;
            case 'C': {
                bool ok = false;
                const int aci = number(false).toInt(&ok);
                if (ok) state_.aci = aci, state_.trueColor = -1;
                return true;
            }
            case 'c': {
                bool ok = false;
                const int rgb = number(false).toInt(&ok);
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
                newLine();
                return;
            case 'N':
                newLine(true);
                return;
            case '~':
                put(QStringLiteral("\u00a0"));
                return;
            case 'S':
                put(stacked(argument()));
                return;
            case 'A':
                number(false);
                return;
            case 'p':
                paragraph(argument());
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
    MTextAlign align_ = MTextAlign::Default;
};

}  // namespace

std::vector<MTextLine> ParseMText(const QString& raw, double height) {
    return Reader(raw, height).read();
}

MTextColumns ColumnsOfTags(const cad::db::Tags& extra) {
    MTextColumns c;
    double defined = 0;
    bool embedded = false;
    for (const auto& t : extra) {
        if (t.code == 101) {
            embedded = true;
            continue;
        }
        const double v = t.value.trimmed().toDouble();
        if (!embedded) {
            if (t.code == 46) defined = v;
            continue;
        }
        switch (t.code) {
            case 71:
                c.type = v == 1 ? MTextColumns::Static : v == 2 ? MTextColumns::Dynamic : MTextColumns::None;
                break;
            case 72:
                c.count = int(v);
                break;
            case 44:
                c.width = v;
                break;
            case 45:
                c.gutter = v;
                break;
            case 41:
                c.height = v;
                break;
            case 46:
                if (v > 0) c.heights.push_back(v);
                break;
            default:
                break;
        }
    }
    if (!(c.height > 0)) c.height = defined;
    if (c.type == MTextColumns::None || !(c.width > 0) || !std::isfinite(c.width) || (c.heights.empty() && !(c.height > 0))) return {};
    return c;
}

}  // namespace cadhost::render
