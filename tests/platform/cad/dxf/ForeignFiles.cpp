// Fixtures of drawings written by other programs, made from pair lists, and handle checks.
#include "ForeignFiles.h"

#include "platform/cad/dxf/DxfTokenizer.h"

#include <QList>
#include <cstring>

namespace cadtest {

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
    return dxfFromPairs(R"(0 SECTION
2 HEADER
9 $ACADVER
1 AC1032
9 $DWGCODEPAGE
3 ANSI_1250
9 $HANDSEED
5 20
0 ENDSEC
0 SECTION
2 CLASSES
0 ENDSEC
0 SECTION
2 TABLES
0 TABLE
2 VPORT
5 8
330 0
100 AcDbSymbolTable
70 0
0 ENDTAB
0 TABLE
2 LTYPE
5 5
102 {ACAD_XDICTIONARY
360 90
102 }
330 0
100 AcDbSymbolTable
70 2
0 LTYPE
5 14
330 5
100 AcDbSymbolTableRecord
100 AcDbLinetypeTableRecord
2 Continuous
70 0
3 Solid line
72 65
73 0
40 0.0
0 LTYPE
5 15
330 5
100 AcDbSymbolTableRecord
100 AcDbLinetypeTableRecord
2 BATTERY
70 0
3 Battery ---- | ---- | ----
72 65
73 2
40 1.5
49 1.0
74 0
49 -0.5
74 4
75 1
340 16
46 0.1
50 0.0
44 -0.1
45 -0.05
0 ENDTAB
0 TABLE
2 LAYER
5 2
330 0
100 AcDbSymbolTable
70 1
0 LAYER
5 1F
330 2
100 AcDbSymbolTableRecord
100 AcDbLayerTableRecord
2 0
70 0
62 7
6 Continuous
370 -3
0 ENDTAB
0 TABLE
2 STYLE
5 3
330 0
100 AcDbSymbolTable
70 2
0 STYLE
5 11
330 3
100 AcDbSymbolTableRecord
100 AcDbTextStyleTableRecord
2 Standard
70 0
40 0.0
41 1.0
50 0.0
71 0
42 2.5
3 txt
4 
0 STYLE
5 16
330 3
100 AcDbSymbolTableRecord
100 AcDbTextStyleTableRecord
2 
70 1
40 0.0
41 1.0
50 0.0
71 0
42 1.0
3 ltypeshp.shx
4 
0 ENDTAB
0 TABLE
2 APPID
5 9
330 0
100 AcDbSymbolTable
70 1
0 APPID
5 12
330 9
100 AcDbSymbolTableRecord
100 AcDbRegAppTableRecord
2 ACAD
70 0
0 ENDTAB
0 TABLE
2 BLOCK_RECORD
5 1
330 0
100 AcDbSymbolTable
70 3
0 BLOCK_RECORD
5 1A
330 1
100 AcDbSymbolTableRecord
100 AcDbBlockTableRecord
2 *Model_Space
340 1F
0 BLOCK_RECORD
5 1B
330 1
100 AcDbSymbolTableRecord
100 AcDbBlockTableRecord
2 *Paper_Space
340 1E
0 BLOCK_RECORD
5 30
330 1
100 AcDbSymbolTableRecord
100 AcDbBlockTableRecord
2 ZNAK
0 ENDTAB
0 ENDSEC
0 SECTION
2 BLOCKS
0 BLOCK
5 1C
330 1A
100 AcDbEntity
8 0
100 AcDbBlockBegin
2 *Model_Space
70 0
10 0.0
20 0.0
30 0.0
3 *Model_Space
1 
0 ENDBLK
330 1A
100 AcDbEntity
8 0
100 AcDbBlockEnd
0 BLOCK
5 1D
330 1B
100 AcDbEntity
67 1
8 0
100 AcDbBlockBegin
2 *Paper_Space
70 0
10 0.0
20 0.0
30 0.0
3 *Paper_Space
1 
0 ENDBLK
330 1B
100 AcDbEntity
67 1
8 0
100 AcDbBlockEnd
0 BLOCK
330 30
100 AcDbEntity
8 0
100 AcDbBlockBegin
2 ZNAK
70 2
10 0.0
20 0.0
30 0.0
3 ZNAK
1 
0 ATTDEF
5 60
330 30
100 AcDbEntity
8 0
100 AcDbText
10 1.0
20 2.0
30 0.0
40 2.5
1 DOMYSLNA
7 Standard
72 4
11 3.0
21 4.0
31 0.0
100 AcDbAttributeDefinition
280 0
3 Podaj numer
2 NUMER
70 0
73 0
74 2
280 0
72 0
0 ENDBLK
330 30
100 AcDbEntity
8 0
100 AcDbBlockEnd
0 BLOCK
8 0
2 STARY
70 0
10 0.0
20 0.0
30 0.0
3 STARY
0 LINE
8 0
10 0.0
20 0.0
30 0.0
11 1.0
21 1.0
31 0.0
0 ENDBLK
8 0
0 ENDSEC
0 SECTION
2 ENTITIES
0 MTEXT
5 31
330 1A
100 AcDbEntity
8 0
100 AcDbMText
10 5.0
20 6.0
30 0.0
40 2.5
41 30.0
46 0.0
71 1
72 5
1 Opis skrzyzowania
7 Standard
11 0.0
21 1.0
31 0.0
73 1
44 1.0
101 Embedded Object
70 1
10 1.0
20 0.0
30 0.0
11 5.0
21 6.0
31 0.0
40 30.0
41 0.0
42 28.0
43 2.5
71 2
72 1
44 30.0
45 0.0
73 0
74 0
46 0.0
0 LINE
5 41
330 1A
100 AcDbEntity
8 0
440 33554661
100 AcDbLine
10 0.0
20 0.0
30 0.0
11 10.0
21 0.0
31 0.0
0 SPLINE
5 42
330 1A
100 AcDbEntity
8 0
420 16711680
48 2.5
100 AcDbSpline
210 0.0
220 0.0
230 1.0
70 8
71 3
72 8
73 4
74 0
42 1e-07
43 1e-07
40 0.0
40 0.0
40 0.0
40 0.0
40 1.0
40 1.0
40 1.0
40 1.0
10 0.0
20 0.0
30 0.0
10 1.0
20 1.0
30 0.0
10 2.0
20 1.0
30 0.0
10 3.0
20 0.0
30 0.0
0 LEADER
5 43
330 1A
100 AcDbEntity
8 0
48 4.0
100 AcDbLeader
3 Standard
71 1
72 0
73 3
74 1
75 0
40 1.0
41 1.0
76 2
10 0.0
20 0.0
30 0.0
10 5.0
20 5.0
30 0.0
0 DIMENSION
5 44
330 1A
100 AcDbEntity
8 0
48 3.0
420 255
100 AcDbDimension
2 *D1
10 0.0
20 5.0
30 0.0
11 5.0
21 6.0
31 0.0
70 32
71 5
3 Standard
100 AcDbAlignedDimension
13 0.0
23 0.0
33 0.0
14 10.0
24 0.0
34 0.0
50 0.0
100 AcDbRotatedDimension
0 HATCH
5 45
330 1A
100 AcDbEntity
8 0
420 65280
100 AcDbHatch
10 0.0
20 0.0
30 0.0
210 0.0
220 0.0
230 1.0
2 SOLID
70 1
71 0
91 1
92 1
93 1
72 4
94 3
73 0
74 0
95 8
96 4
40 0.0
40 0.0
40 0.0
40 0.0
40 1.0
40 1.0
40 1.0
40 1.0
10 0.0
20 0.0
10 5.0
20 5.0
10 10.0
20 0.0
10 0.0
20 0.0
97 0
75 1
76 1
98 0
0 VIEWPORT
5 46
330 1B
100 AcDbEntity
67 1
8 0
420 8421504
48 0.5
100 AcDbViewport
10 5.0
20 5.0
30 0.0
40 10.0
41 10.0
68 1
69 1
0 3DSOLID
5 47
330 1A
100 AcDbEntity
8 0
100 AcDbModelerGeometry
290 0
2 {00000000-0000-0000-0000-000000000000}
100 AcDb3dSolid
350 0
0 ENDSEC
0 SECTION
2 OBJECTS
0 DICTIONARY
5 C
330 0
100 AcDbDictionary
281 1
3 ACAD_LAYOUT
350 50
0 DICTIONARY
5 50
330 C
100 AcDbDictionary
281 1
3 Layout1
350 1E
3 Model
350 1F
0 DICTIONARY
5 90
330 5
100 AcDbDictionary
281 1
0 LAYOUT
5 1E
330 50
100 AcDbPlotSettings
1 
70 688
100 AcDbLayout
1 Layout1
70 1
71 1
330 1B
0 LAYOUT
5 1F
330 50
100 AcDbPlotSettings
1 
70 1712
100 AcDbLayout
1 Model
70 1
71 0
330 1A
0 ENDSEC
0 SECTION
2 ACDSDATA
70 2
71 2
0 ACDSSCHEMA
90 0
1 AcDb3DSolid_ASM_Data
2 AcDbDs::ID
280 10
91 8
0 ACDSRECORD
90 0
2 AcDbDs::ID
280 10
320 47
2 ASM_Data
280 15
94 4
310 41434953
0 ENDSEC
0 EOF
)");
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
