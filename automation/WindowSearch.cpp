// The CAD window search and the raise of the drawing window.
#include "automation/WindowSearch.h"

#include "automation/CadConnection.h"

namespace automation {

namespace {

// State of the one search in progress.
struct SearchState {
    QString titlePattern;
    QString classPattern;
    quintptr found = 0;
};
SearchState search;

// Handle of the drawing window of the connected CAD in the default source.
constexpr quintptr DrawingWindowHandle = 1;

QList<TopLevelWindow> drawingWindowOfCad() {
    QList<TopLevelWindow> out;
    if (CadApplication.isNull()) return out;
    TopLevelWindow w;
    w.handle = DrawingWindowHandle;
    // The CAD's title begins with its name; the drawing's name after it is not asked for: the
    // search looks at the stem only.
    w.title = QStringLiteral("AutoCAD");
    w.className = QStringLiteral("Afx:cadhost");
    out.append(w);
    return out;
}

TopLevelWindowSource& source() {
    static TopLevelWindowSource s;
    return s;
}

// One character class starting after "[" at `pos`; sets `end` to the index after "]".
// A class without its closing bracket matches nothing.
bool matchClass(QChar c, const QString& pattern, int pos, int& end) {
    bool negate = pos < pattern.size() && pattern[pos] == QLatin1Char('!');
    if (negate) ++pos;
    bool hit = false;
    int i = pos;
    bool first = true;
    while (i < pattern.size() && (pattern[i] != QLatin1Char(']') || first)) {
        first = false;
        if (i + 2 < pattern.size() && pattern[i + 1] == QLatin1Char('-') &&
            pattern[i + 2] != QLatin1Char(']')) {
            if (c >= pattern[i] && c <= pattern[i + 2]) hit = true;
            i += 3;
        } else {
            if (c == pattern[i]) hit = true;
            ++i;
        }
    }
    if (i >= pattern.size()) {
        end = -1;
        return false;
    }
    end = i + 1;
    return hit != negate;
}

bool matchFrom(const QString& text, int t, const QString& pattern, int p) {
    while (p < pattern.size()) {
        const QChar pc = pattern[p];
        if (pc == QLatin1Char('*')) {
            while (p < pattern.size() && pattern[p] == QLatin1Char('*')) ++p;
            if (p == pattern.size()) return true;
            for (int k = t; k <= text.size(); ++k)
                if (matchFrom(text, k, pattern, p)) return true;
            return false;
        }
        if (t >= text.size()) return false;
        const QChar tc = text[t];
        if (pc == QLatin1Char('?')) {
            ++p;
        } else if (pc == QLatin1Char('#')) {
            if (!tc.isDigit()) return false;
            ++p;
        } else if (pc == QLatin1Char('[')) {
            int end = 0;
            if (!matchClass(tc, pattern, p + 1, end)) return false;
            p = end;
        } else {
            if (tc != pc) return false;
            ++p;
        }
        ++t;
    }
    return t == text.size();
}

}  // namespace

TopLevelWindowSource SetTopLevelWindowSource(TopLevelWindowSource s) {
    TopLevelWindowSource previous = source();
    source() = std::move(s);
    return previous;
}

bool MatchWindowPattern(const QString& text, const QString& pattern) {
    return matchFrom(text, 0, pattern, 0);
}

int MatchTopLevelWindowProc(const TopLevelWindow& window, int caseSensitiveFlag) {
    if (!window.visible || window.parent != 0) return 1;
    // The title as a 128-character buffer gives it: at most 127 characters.
    QString title = window.title.left(127);
    if (title.isEmpty()) return 1;
    if (caseSensitiveFlag == 0) title = title.toUpper();
    if (!MatchWindowPattern(title, search.titlePattern)) return 1;
    if (!MatchWindowPattern(window.className.left(255), search.classPattern)) return 1;
    search.found = window.handle;
    return 0;
}

quintptr FindTopLevelWindow(const QString& titlePattern, bool caseSensitive, const QString& classPattern) {
    search.titlePattern = caseSensitive ? titlePattern : titlePattern.toUpper();
    search.classPattern = classPattern;
    search.found = 0;
    try {
        const QList<TopLevelWindow> windows = source() ? source()() : drawingWindowOfCad();
        for (const TopLevelWindow& w : windows)
            if (MatchTopLevelWindowProc(w, caseSensitive ? -1 : 0) == 0) break;
    } catch (const cad::Error&) {
        // No window list, no window found: the caller then only leaves the CAD's window where the
        // user has it, which costs nothing of the drawing.
    }
    return search.found;
}

void ActivateCadWindow(const QString& applicationName) {
    QString classPattern;
    if (applicationName == QLatin1String("AutoCAD"))
        classPattern = QStringLiteral("Afx:*");
    else if (applicationName == QLatin1String("ZWCAD"))
        classPattern = QStringLiteral("ZwCAD*");
    // An empty class pattern matches no window.
    if (classPattern.isEmpty()) return;
    const quintptr window = FindTopLevelWindow(applicationName + QLatin1Char('*'), true, classPattern);
    if (window == 0 || CadApplication.isNull()) return;
    // The CAD keeps the rule: a normal window stays normal, a minimised or maximised one comes back
    // maximised.
    CadApplication.raiseDrawingWindow();
}

void RaiseCadWindow() {
    try {
        ActivateCadWindow(QStringLiteral("AutoCAD"));
    } catch (const cad::Error&) {
        // Not raised: the user finds the window himself; the command's own calls still reach the
        // CAD, and a host gone fails the first of them, which says so.
    }
}

}  // namespace automation
