// Reading and appending list files.
#include "headplacer/logic/ListFiles.h"

#include "platform/cad/dxf/CodePage.h"

#include <QFile>
#include <QStringDecoder>

namespace headplacer {

namespace {

const cad::dxf::CodePage& cp1250() {
    static const cad::dxf::CodePage page(QStringLiteral("ANSI_1250"), false);
    return page;
}

bool readBytes(const QString& path, QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    bytes = f.readAll();
    return true;
}

}  // namespace

QString DecodeListBytes(const QByteArray& bytes, bool* wasUtf8) {
    QByteArray b = bytes;
    if (b.startsWith("\xEF\xBB\xBF")) b.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(b);
    if (!utf8.hasError()) {
        if (wasUtf8) *wasUtf8 = true;
        return text;
    }
    if (wasUtf8) *wasUtf8 = false;
    return cp1250().decode(b.constData(), b.size());
}

QStringList ParseListItems(const QString& text, bool commentLines) {
    QStringList items;
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const int n = int(t.size());
    int i = 0;
    bool lineStart = true;
    while (i < n) {
        if (lineStart && commentLines && t[i] == QLatin1Char(';')) {
            while (i < n && t[i] != QLatin1Char('\n')) ++i;
            ++i;
            continue;
        }
        lineStart = false;
        // Blanks before the item.
        while (i < n && (t[i] == QLatin1Char(' ') || t[i] == QLatin1Char('\t'))) ++i;
        QString item;
        if (i < n && t[i] == QLatin1Char('"')) {
            const int close = int(t.indexOf(QLatin1Char('"'), i + 1));
            const int end = close < 0 ? n : close;
            item = t.mid(i + 1, end - i - 1);
            i = close < 0 ? n : close + 1;
            // Whatever follows the closing quote up to the separator is dropped.
            while (i < n && t[i] != QLatin1Char(',') && t[i] != QLatin1Char('\n')) ++i;
        } else {
            const int start = i;
            while (i < n && t[i] != QLatin1Char(',') && t[i] != QLatin1Char('\n')) ++i;
            item = t.mid(start, i - start).trimmed();
        }
        items.append(item);
        if (i < n) {
            if (t[i] == QLatin1Char('\n')) lineStart = true;
            ++i;
        }
    }
    return items;
}

bool ReadListItems(const QString& path, bool commentLines, QStringList& items) {
    QByteArray bytes;
    if (!readBytes(path, bytes)) return false;
    items = ParseListItems(DecodeListBytes(bytes), commentLines);
    return true;
}

bool ReadListLines(const QString& path, QStringList& lines) {
    QByteArray bytes;
    if (!readBytes(path, bytes)) return false;
    QString text = DecodeListBytes(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    lines.clear();
    for (const QString& l : text.split(QLatin1Char('\n'))) {
        const QString t = l.trimmed();
        if (!t.isEmpty()) lines.append(t);
    }
    return true;
}

bool AppendListLine(const QString& path, const QString& line) {
    QByteArray existing;
    const bool exists = QFile::exists(path);
    if (exists && !readBytes(path, existing)) return false;
    bool utf8 = true;
    if (!existing.isEmpty()) DecodeListBytes(existing, &utf8);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append)) return false;
    QByteArray out;
    const bool crlf = existing.contains("\r\n");
    const QByteArray eol = crlf ? QByteArray("\r\n") : QByteArray("\n");
    if (!existing.isEmpty() && !existing.endsWith('\n')) out += eol;
    out += utf8 ? line.toUtf8() : cp1250().encode(line);
    out += eol;
    return f.write(out) == out.size();
}

bool AppendListLineOnce(const QString& path, const QString& line, bool commentLines) {
    QStringList items;
    if (ReadListItems(path, commentLines, items))
        for (const QString& it : items)
            if (it.trimmed() == line.trimmed()) return true;
    return AppendListLine(path, line);
}

}  // namespace headplacer
