// Fixtures of drawings written by other programs (files under tests/data, or made from pair lists),
// and handle checks.
#include "ForeignFiles.h"

#include "platform/cad/dxf/DxfTokenizer.h"

#include <QFile>
#include <QList>
#include <cstring>
#include <stdexcept>

namespace cadtest {

QByteArray testData(const char* name) {
    QFile f(QStringLiteral(SUITE_TEST_DATA "/") + QLatin1String(name));
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("test data not readable: " + f.fileName().toStdString());
    return f.readAll();
}

QByteArray dxfFromPairs(const char* pairs) {
    QByteArray out;
    for (QByteArray l : QByteArray(pairs).split('\n')) {
        while (l.startsWith(' ')) l.remove(0, 1);
        if (l.trimmed().isEmpty()) continue;
        const qsizetype sp = l.indexOf(' ');
        out += (sp < 0 ? l : l.left(sp)) + '\n' + (sp < 0 ? QByteArray() : l.mid(sp + 1)) + '\n';
    }
    return out;
}

namespace {

enum class Kind { Text, Double, Int16, Int32, Int64, Bool, Binary };

Kind kindOf(int c) {
    if ((c >= 10 && c <= 59) || (c >= 110 && c <= 149) || (c >= 210 && c <= 239) || (c >= 460 && c <= 469) ||
        (c >= 1010 && c <= 1059))
        return Kind::Double;
    if ((c >= 60 && c <= 79) || (c >= 170 && c <= 179) || (c >= 270 && c <= 289) || (c >= 370 && c <= 389) ||
        (c >= 400 && c <= 409) || (c >= 1060 && c <= 1070))
        return Kind::Int16;
    if ((c >= 90 && c <= 99) || (c >= 420 && c <= 429) || (c >= 440 && c <= 459) || c == 1071)
        return Kind::Int32;
    if (c >= 160 && c <= 169) return Kind::Int64;
    if (c >= 290 && c <= 299) return Kind::Bool;
    if ((c >= 310 && c <= 319) || c == 1004) return Kind::Binary;
    return Kind::Text;
}

template <class T>
void little(QByteArray& out, T v) {
    for (size_t i = 0; i < sizeof(T); ++i) out.append(char((quint64(v) >> (8 * i)) & 0xFF));
}

}  // namespace

QByteArray binaryDxf(const QByteArray& text, bool oneByteCodes) {
    QByteArray out("AutoCAD Binary DXF\r\n\x1a", 21);
    out.append('\0');
    QList<QByteArray> lines = text.split('\n');
    for (qsizetype i = 0; i + 1 < lines.size(); i += 2) {
        const int code = lines[i].trimmed().toInt();
        const QByteArray value = lines[i + 1].endsWith('\r') ? lines[i + 1].chopped(1) : lines[i + 1];
        if (oneByteCodes) {
            if (code < 255) {
                out.append(char(code));
            } else {
                out.append(char(255));
                little<quint16>(out, quint16(code));
            }
        } else {
            little<quint16>(out, quint16(qint16(code)));
        }
        switch (kindOf(code)) {
            case Kind::Text:
                out.append(value);
                out.append('\0');
                break;
            case Kind::Double: {
                const double d = value.trimmed().toDouble();
                quint64 bits;
                std::memcpy(&bits, &d, sizeof bits);
                little<quint64>(out, bits);
                break;
            }
            case Kind::Int16:
                little<quint16>(out, quint16(qint16(value.trimmed().toInt())));
                break;
            case Kind::Int32:
                little<quint32>(out, quint32(value.trimmed().toLongLong()));
                break;
            case Kind::Int64:
                little<quint64>(out, quint64(value.trimmed().toLongLong()));
                break;
            case Kind::Bool:
                out.append(char(value.trimmed().toInt()));
                break;
            case Kind::Binary: {
                const QByteArray bytes = QByteArray::fromHex(value.trimmed());
                out.append(char(bytes.size()));
                out.append(bytes);
                break;
            }
        }
    }
    return out;
}

QByteArray foreignR2018() {
    return testData("cad/foreign_r2018.dxf");
}

HandleUse handleUse(const QByteArray& dxf) {
    HandleUse use;
    cad::dxf::Tokenizer tk(dxf, "check");
    cad::dxf::RawTag t;
    bool recordStart = false;
    bool afterSeed = false;
    while (tk.next(t)) {
        const QString value = QString::fromLatin1(t.value.data(), qsizetype(t.value.size())).trimmed();
        if (t.code == 0) {
            recordStart = true;
            continue;
        }
        if (t.code == 9) {
            afterSeed = value == QLatin1String("$HANDSEED");
            continue;
        }
        if ((t.code == 5 || t.code == 105) && recordStart && !afterSeed) {
            use.defined.insert(value.toUpper());
            use.all.insert(value.toUpper());
            recordStart = false;
            continue;
        }
        afterSeed = false;
        const int c = t.code;
        const bool pointer =
            (c >= 320 && c <= 369) || (c >= 390 && c <= 399) || c == 480 || c == 481 || c == 1005;
        if (pointer && value != QLatin1String("0") && !value.isEmpty()) use.pointers.insert(value.toUpper());
    }
    return use;
}

std::set<QString> danglingPointers(const QByteArray& dxf) {
    const HandleUse use = handleUse(dxf);
    std::set<QString> out;
    for (const QString& p : use.pointers)
        if (!use.defined.count(p)) out.insert(p);
    return out;
}

std::set<QString> duplicateHandles(const QByteArray& dxf) {
    cad::dxf::Tokenizer tk(dxf, "check");
    cad::dxf::RawTag t;
    std::set<QString> seen, twice;
    bool afterSeed = false;
    while (tk.next(t)) {
        const QString value = QString::fromLatin1(t.value.data(), qsizetype(t.value.size())).trimmed().toUpper();
        if (t.code == 9) {
            afterSeed = value == QLatin1String("$HANDSEED");
            continue;
        }
        if ((t.code == 5 || t.code == 105) && !afterSeed && !seen.insert(value).second) twice.insert(value);
        afterSeed = false;
    }
    return twice;
}

}  // namespace cadtest
