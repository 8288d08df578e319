// The settings file's text and its index of sections and keys.
#include "common/IniText.h"

#include <QStringConverter>
#include <QStringList>

#include <cstring>

namespace common::ini {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

// The first character of the line that is no ASCII blank; 0 for a blank line.
unsigned char firstChar(const QByteArray& bytes, const Line& line) {
    for (qsizetype i = line.begin; i < line.end; ++i)
        if (!isBlank(bytes[i])) return static_cast<unsigned char>(bytes[i]);
    return 0;
}

// Whether the line may be a section header: its first character is "[", or a byte of a character
// that is no ASCII (a Unicode blank may stand before the "[").
bool mayBeHeader(const QByteArray& bytes, const Line& line) {
    const unsigned char c = firstChar(bytes, line);
    return c == '[' || c >= 0x80;
}

std::optional<QString> headerOf(const QByteArray& bytes, const Line& line) {
    if (!mayBeHeader(bytes, line)) return std::nullopt;
    return SectionOf(DecodeLine(bytes, line));
}

bool holdsEquals(const QByteArray& bytes, const Line& line) {
    // "=" is one byte in UTF-8 and in code page 1250 and is part of no other character.
    return std::memchr(bytes.constData() + line.begin, '=', size_t(line.end - line.begin)) != nullptr;
}

}  // namespace

Text FromFileBytes(QByteArray bytes) {
    Text t;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        t.bom = true;
        bytes.remove(0, 3);
    } else if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        // Notepad's "Unicode": the whole file in UTF-16, written back so.
        t.bom = true;
        t.encoding = bytes.startsWith("\xFF\xFE") ? Encoding::Utf16LE : Encoding::Utf16BE;
        QStringDecoder utf16(t.encoding == Encoding::Utf16LE ? QStringConverter::Utf16LE
                                                             : QStringConverter::Utf16BE);
        const QString text = utf16.decode(QByteArrayView(bytes.constData() + 2, bytes.size() - 2));
        if (text.contains(QLatin1Char('\n')) && !text.contains(QLatin1String("\r\n")))
            t.eol = "\n";
        else if (text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n')))
            t.eol = "\r";
        else
            t.eol = "\r\n";  // Notepad's own
        t.bytes = text.toUtf8();
        return t;
    }
    if (bytes.contains("\r\n"))
        t.eol = "\r\n";
    else if (bytes.contains('\r') && !bytes.contains('\n'))
        t.eol = "\r";
    t.bytes = std::move(bytes);
    return t;
}

QByteArray ToFileBytes(const Text& t) {
    if (t.encoding == Encoding::Bytes) {
        QByteArray out;
        if (t.bom) out = QByteArray("\xEF\xBB\xBF");
        out += t.bytes;
        if (!out.isEmpty() && !out.endsWith('\n') && !out.endsWith('\r')) out += t.eol;
        return out;
    }
    // Every line is written anew in UTF-16, each with the file's own line end.
    const bool le = t.encoding == Encoding::Utf16LE;
    QStringEncoder utf16(le ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
    QByteArray out = le ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
    const QString eol = QString::fromLatin1(t.eol);
    for (qsizetype pos = 0; pos < t.bytes.size();) {
        const Line l = LineAt(t.bytes, pos);
        out += utf16.encode(QString::fromUtf8(t.bytes.constData() + l.begin, l.end - l.begin) + eol);
        pos = l.next;
    }
    return out;
}

// Splits at every line end a Windows editor may leave: CR LF, LF, and CR alone (old Mac editors).
Line LineAt(const QByteArray& bytes, qsizetype pos) {
    const char* data = bytes.constData();
    const qsizetype n = bytes.size();
    qsizetype i = pos;
    while (i < n && data[i] != '\n' && data[i] != '\r') ++i;
    Line l{pos, i, i};
    if (i < n) l.next = (data[i] == '\r' && i + 1 < n && data[i + 1] == '\n') ? i + 2 : i + 1;
    return l;
}

QString DecodeLine(const QByteArray& bytes, const Line& line) {
    const QByteArrayView view(bytes.constData() + line.begin, line.end - line.begin);
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8.decode(view);
    if (!utf8.hasError()) return text;
    QStringDecoder cp1250("windows-1250");
    if (cp1250.isValid()) {
        QString t = cp1250.decode(view);
        if (!cp1250.hasError()) return t;
    }
    return QString::fromLatin1(view);
}

std::optional<QString> SectionOf(const QString& line) {
    const QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('['))) return std::nullopt;
    const qsizetype close = t.indexOf(QLatin1Char(']'));
    return (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
}

std::optional<QString> KeyOf(const QString& line) {
    if (line.trimmed().startsWith(QLatin1Char(';'))) return std::nullopt;
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0) return std::nullopt;
    return line.left(eq).trimmed();
}

std::optional<qsizetype> Index::sectionBody(const QByteArray& bytes, const QString& section) {
    const QString wanted = section.toCaseFolded();
    if (const auto it = sections_.constFind(wanted); it != sections_.cend()) return *it;
    // Not among the headers before scanned_: the first one after it is the section's first header.
    for (qsizetype pos = scanned_; pos < bytes.size();) {
        const Line l = LineAt(bytes, pos);
        const bool remembering = pos == scanned_ && sections_.size() < limit_;
        if (const auto name = headerOf(bytes, l)) {
            const QString folded = name->toCaseFolded();
            if (remembering && !sections_.contains(folded)) sections_.insert(folded, l.next);
            if (folded == wanted) {
                if (remembering) scanned_ = l.next;
                return l.next;
            }
        }
        if (remembering) scanned_ = l.next;
        pos = l.next;
    }
    return std::nullopt;
}

std::optional<Line> Index::keyLine(const QByteArray& bytes, qsizetype body, const QString& key) {
    Keys& keys = keys_[body];
    if (keys.scanned < 0) keys.scanned = body;
    const QString wanted = key.toCaseFolded();
    if (const auto it = keys.first.constFind(wanted); it != keys.first.cend()) return *it;
    if (keys.complete) return std::nullopt;
    for (qsizetype pos = keys.scanned; pos < bytes.size();) {
        const Line l = LineAt(bytes, pos);
        const bool remembering = pos == keys.scanned && keyCount_ < limit_;
        if (headerOf(bytes, l)) {  // the section ends here
            if (remembering) keys.complete = true;
            return std::nullopt;
        }
        if (holdsEquals(bytes, l)) {
            if (const auto k = KeyOf(DecodeLine(bytes, l))) {
                const QString folded = k->toCaseFolded();
                if (remembering && !keys.first.contains(folded)) {
                    keys.first.insert(folded, l);
                    ++keyCount_;
                }
                if (folded == wanted) {
                    if (remembering) keys.scanned = l.next;
                    return l;
                }
            }
        }
        if (remembering) keys.scanned = l.next;
        pos = l.next;
    }
    if (keys.scanned >= bytes.size()) keys.complete = true;
    return std::nullopt;
}

}  // namespace common::ini
