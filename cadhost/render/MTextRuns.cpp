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

}  // namespace

std::vector<MTextLine> ParseMText(const QString& raw, double height) {
    std::vector<MTextLine> lines(1);
    MTextRun state;
    state.height = height;
    std::vector<MTextRun> saved;
    auto put = [&](const QString& s) {
        MTextLine& line = lines.back();
        if (!line.empty() && sameFormat(line.back(), state)) {
            line.back().text += s;
        } else {
            MTextRun run = state;
            run.text = s;
            line.push_back(run);
        }
    };
    const qsizetype n = raw.size();
    // The argument of a code: up to its ';' (or the end).
    auto argument = [&](qsizetype& i) {
        const qsizetype end = raw.indexOf(QLatin1Char(';'), i);
        const QString a = raw.mid(i, end < 0 ? -1 : end - i);
        i = end < 0 ? n : end + 1;
        return a;
    };
    for (qsizetype i = 0; i < n;) {
        const QChar ch = raw[i];
        if (ch == QLatin1Char('{')) {
            saved.push_back(state);
            ++i;
            continue;
        }
        if (ch == QLatin1Char('}')) {
            if (!saved.empty()) state = saved.back(), saved.pop_back();
            ++i;
            continue;
        }
        if (ch == QLatin1Char('\n')) {
            lines.emplace_back();
            ++i;
            continue;
        }
        if (ch == QLatin1Char('%') && i + 2 < n && raw[i + 1] == QLatin1Char('%')) {
            const QChar c = raw[i + 2].toLower();
            const QString sym = c == QLatin1Char('d')   ? QStringLiteral("°")
                                : c == QLatin1Char('p') ? QStringLiteral("±")
                                : c == QLatin1Char('c') ? QStringLiteral("⌀")
                                : c == QLatin1Char('%') ? QStringLiteral("%")
                                                        : QString();
            if (!sym.isEmpty()) {
                put(sym);
                i += 3;
                continue;
            }
        }
        if (ch != QLatin1Char('\\') || i + 1 >= n) {
            put(QString(ch));
            ++i;
            continue;
        }
        const QChar code = raw[i + 1];
        i += 2;
        switch (code.unicode()) {
            case 'P':
            case 'X':
            case 'N':
                lines.emplace_back();
                break;
            case '~':
                put(QStringLiteral("\u00a0"));
                break;
            case '\\':
            case '{':
            case '}':
                put(QString(code));
                break;
            case 'L':
                state.underline = true;
                break;
            case 'l':
                state.underline = false;
                break;
            case 'O':
                state.overline = true;
                break;
            case 'o':
                state.overline = false;
                break;
            case 'K':
                state.strike = true;
                break;
            case 'k':
                state.strike = false;
                break;
            case 'H':
                state.height = scaled(argument(i), state.height);
                break;
            case 'W':
                state.widthFactor = scaled(argument(i), state.widthFactor);
                break;
            case 'T':
                state.tracking = scaled(argument(i), state.tracking);
                break;
            case 'Q':
                state.oblique = argument(i).toDouble() * std::numbers::pi / 180;
                break;
            case 'C': {
                bool ok = false;
                const int aci = argument(i).toInt(&ok);
                if (ok) state.aci = aci, state.trueColor = -1;
                break;
            }
            case 'c': {
                bool ok = false;
                const int rgb = argument(i).toInt(&ok);
                if (ok) state.trueColor = rgb & 0xffffff;
                break;
            }
            case 'f':
            case 'F': {
                const QStringList parts = argument(i).split(QLatin1Char('|'));
                // Every text is drawn in one font; the code's bold and italic flags are kept.
                state.bold = state.italic = false;
                for (const QString& p : parts.mid(1)) {
                    if (p.startsWith(QLatin1Char('b'))) state.bold = p.mid(1).toInt() != 0;
                    if (p.startsWith(QLatin1Char('i'))) state.italic = p.mid(1).toInt() != 0;
                }
                break;
            }
            case 'S':
                put(stacked(argument(i)));
                break;
            case 'A':
            case 'p':
                argument(i);
                break;
            case 'U':
                if (i + 5 <= n && raw[i] == QLatin1Char('+')) {
                    bool ok = false;
                    const uint cp = raw.mid(i + 1, 4).toUInt(&ok, 16);
                    if (ok) {
                        put(QString(QChar(char16_t(cp))));
                        i += 5;
                        break;
                    }
                }
                put(QStringLiteral("U"));
                break;
            default:
                put(QString(code));  // not a code: the character itself
                break;
        }
    }
    return lines;
}

}  // namespace cadhost::render
