// Structures real drawings of other programs hold, each in a fixture of our own: many hatches
// under a drawing order, a minimal file of a small C++ writer with block records lacking handles,
// R2018 solid-model data in the ACDSDATA section, and an MTEXT whose rotation is given twice.
// A saved file never repeats a handle, leaves no new pointer dangling and keeps what it was given.
#include "ForeignFiles.h"

#include "platform/cad/dxf/DxfReader.h"
#include "platform/cad/dxf/DxfWriter.h"
#include "platform/cad/engine/Database.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cmath>

using namespace cad::db;
using cadtest::danglingPointers;
using cadtest::dxfFromPairs;
using cadtest::duplicateHandles;

namespace {

// ezdxf's answer to `code` run on the file (sys.argv[1]); empty with `skip` set when ezdxf is
// missing.
QString ezdxf(const QByteArray& dxf, const char* code, bool& skip) {
    skip = false;
    if (!QFile::exists("/usr/bin/python3")) return skip = true, QString();
    QTemporaryDir dir;
    const QString path = dir.filePath("saved.dxf");
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return {};
    f.write(dxf);
    f.close();
    QProcess p;
    p.start("/usr/bin/python3", {"-c", QString::fromLatin1("import sys, ezdxf\ndoc = ezdxf.readfile(sys.argv[1])\n") +
                                           QString::fromLatin1(code),
                                 path});
    p.waitForFinished(60000);
    const QString err = QString::fromUtf8(p.readAllStandardError());
    if (err.contains("No module named")) return skip = true, QString();
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed() + err.trimmed();
}

// Hatches (pattern and gradient, polyline and edge boundaries tied to their source polylines),
// sent under the polylines by a sort table whose keys are no handles of the file.
QByteArray hatches() {
    QByteArray entities, sortKeys;
    for (int i = 0; i < 6; ++i) {
        const QByteArray pl = QByteArray::number(0x40 + 2 * i, 16).toUpper();
        const QByteArray h = QByteArray::number(0x41 + 2 * i, 16).toUpper();
        const QByteArray x = QByteArray::number(10 * i);
        const QByteArray x8 = QByteArray::number(10 * i + 8);
        entities += "0 LWPOLYLINE\n5 " + pl + "\n102 {ACAD_REACTORS\n330 " + h +
                    "\n102 }\n330 1F\n100 AcDbEntity\n8 0\n100 AcDbPolyline\n90 4\n70 1\n10 " + x +
                    "\n20 0\n10 " + x8 + "\n20 0\n10 " + x8 + "\n20 8\n10 " + x + "\n20 8\n";
        entities += "0 HATCH\n5 " + h + "\n330 1F\n100 AcDbEntity\n8 0\n62 2\n100 AcDbHatch\n10 0\n20 0\n30 0\n" +
                    (i % 2 ? "2 ANSI31\n70 0\n" : "2 SOLID\n70 1\n") +
                    "71 1\n91 2\n92 7\n72 0\n73 1\n93 4\n10 " + x + "\n20 0\n10 " + x8 + "\n20 0\n10 " + x8 +
                    "\n20 8\n10 " + x + "\n20 8\n97 1\n330 " + pl +
                    "\n92 1\n93 2\n72 1\n10 " + x + "\n20 1\n11 " + x8 + "\n21 1\n72 1\n10 " + x8 + "\n20 1\n11 " + x +
                    "\n21 1\n97 0\n75 1\n76 1\n" +
                    (i % 2 ? "52 0\n41 0.5\n77 0\n78 1\n53 45\n43 0\n44 0\n45 -0.088\n46 0.088\n79 0\n"
                           : QByteArray()) +
                    "98 1\n10 " + x + "\n20 4\n" +
                    (i % 2 ? QByteArray()
                           : "450 1\n451 0\n452 0\n453 2\n460 0\n461 0\n462 1\n463 0\n63 5\n421 255\n463 1\n63 "
                             "2\n421 16776960\n470 LINEAR\n");
        // Hatches first, then their polylines: keys in the file's own, unused range.
        sortKeys += "331 " + h + "\n5 " + QByteArray::number(0x200 + i, 16).toUpper() + "\n";
        sortKeys += "331 " + pl + "\n5 " + QByteArray::number(0x300 + i, 16).toUpper() + "\n";
    }
    return dxfFromPairs("0 SECTION\n2 HEADER\n9 $ACADVER\n1 AC1032\n9 $HANDSEED\n5 400\n0 ENDSEC\n"
                        "0 SECTION\n2 TABLES\n0 TABLE\n2 BLOCK_RECORD\n5 1\n330 0\n100 AcDbSymbolTable\n70 1\n"
                        "0 BLOCK_RECORD\n5 1F\n102 {ACAD_XDICTIONARY\n360 30\n102 }\n330 1\n"
                        "100 AcDbSymbolTableRecord\n100 AcDbBlockTableRecord\n2 *Model_Space\n0 ENDTAB\n0 ENDSEC\n"
                        "0 SECTION\n2 ENTITIES\n" +
                        entities +
                        "0 ENDSEC\n0 SECTION\n2 OBJECTS\n0 DICTIONARY\n5 C\n330 0\n100 AcDbDictionary\n281 1\n"
                        "0 DICTIONARY\n5 30\n330 1F\n100 AcDbDictionary\n281 1\n3 ACAD_SORTENTS\n360 31\n"
                        "0 SORTENTSTABLE\n5 31\n330 30\n100 AcDbSortentsTable\n330 1F\n" +
                        sortKeys + "0 ENDSEC\n0 EOF\n");
}

TEST(DxfRealFiles, HatchesUnderADrawingOrderSaveWithoutARepeatedHandle) {
    const QByteArray input = hatches();
    ASSERT_TRUE(duplicateHandles(input).empty());
    auto db = cad::dxf::readBuffer(input, "hatches");
    auto order = [](Database& d) {
        QStringList handles;
        for (Entity* e : d.drawOrder(d.modelSpace())) handles << e->handleText();
        return handles;
    };
    const QStringList given = order(*db);
    ASSERT_EQ(given.size(), 12);
    EXPECT_EQ(db->modelSpace()->item(1)->kind(), EntityKind::Hatch);
    EXPECT_EQ(given.front(), QStringLiteral("41"));  // the hatches go first
    const QByteArray out = cad::dxf::writeBuffer(*db);
    EXPECT_EQ(duplicateHandles(out), std::set<QString>{});
    EXPECT_EQ(danglingPointers(out), std::set<QString>{});
    auto back = cad::dxf::readBuffer(out, "saved");
    EXPECT_EQ(order(*back), given);

    // A new order, too: its keys repeat no handle either.
    db->moveToTop({db->modelSpace()->item(1), db->modelSpace()->item(3)});
    const QStringList moved = order(*db);
    const QByteArray again = cad::dxf::writeBuffer(*db);
    EXPECT_EQ(duplicateHandles(again), std::set<QString>{});
    EXPECT_EQ(order(*cad::dxf::readBuffer(again, "again")), moved);

    bool skip = false;
    const QString seen = ezdxf(out, "print(len(doc.modelspace().query('HATCH')), len(doc.entitydb))\n", skip);
    if (!skip) EXPECT_TRUE(seen.startsWith(QStringLiteral("6 "))) << seen.toStdString();
}

// As a small C++ writer leaves a file: a minimal header, table heads and block records without
// handles; the blocks and the layouts name the records by handles no record carries.
// `blocksNameRecords` false: the BLOCK and ENDBLK entities name no record either.
QByteArray minimalWriterDrawing(bool blocksNameRecords = true) {
    QByteArray dxf = cadtest::testData("cad/minimal_writer.dxf");
    if (!blocksNameRecords)
        for (const char* owned :
             {"5\n20\n330\n1F\n", "5\n21\n330\n1F\n", "5\n1C\n330\n1B\n", "5\n1D\n330\n1B\n"})
            dxf.replace(owned, QByteArray(owned).left(5));
    return dxf;
}

// Also when nothing but the records' own layout pointers (340) ties a layout to its record: the
// blocks name no record, and the layouts name handles no record has.
TEST(DxfRealFiles, BlockRecordsWithoutHandlesStayTheLayoutsRecords) {
    for (const bool blocksNameRecords : {true, false}) {
        SCOPED_TRACE(blocksNameRecords);
        const QByteArray drawing = minimalWriterDrawing(blocksNameRecords);
        auto db = cad::dxf::readBuffer(drawing, "minimal");
        const QByteArray out = cad::dxf::writeBuffer(*db);
        EXPECT_EQ(duplicateHandles(out), std::set<QString>{});
        EXPECT_EQ(danglingPointers(out), std::set<QString>{});
        auto back = cad::dxf::readBuffer(out, "saved");
        for (Database* d : {db.get(), back.get()}) {
            // Each layout leads to its own space's block record and back.
            for (BlockDefinition* space : {d->modelSpace(), d->paperSpace()}) {
                auto* layout = dynamic_cast<RawObject*>(d->objectByHandle(space->layoutHandle));
                ASSERT_NE(layout, nullptr) << space->name().toStdString();
                bool inLayout = false;
                QString record;
                for (const Tag& t : layout->tags) {
                    if (t.code == 100) inLayout = t.value == QLatin1String("AcDbLayout");
                    if (inLayout && t.code == 330) record = t.value;
                }
                EXPECT_EQ(record, space->handleText()) << space->name().toStdString();
            }
        }
        bool skip = false;
        const QString seen = ezdxf(out, "print(sorted(l.name for l in doc.layouts))\n", skip);
        if (!skip) EXPECT_EQ(seen, QStringLiteral("['Layout1', 'Model']"));
    }
}

// A 3DSOLID and a REGION of R2018 whose modeller data (SAB) lies in the ACDSDATA section.
QByteArray solids() {
    QByteArray sab = "414349532042696E61727946696C65";  // "ACIS BinaryFile"
    for (int i = 0; i < 300; ++i) sab += QByteArray::number(0x10 + i % 0xE0, 16).toUpper();
    const QByteArray chunk1 = sab.left(254), chunk2 = sab.mid(254);
    const auto record = [&](const char* handle) -> QByteArray {
        return "0 ACDSRECORD\n90 0\n2 AcDbDs::ID\n280 10\n320 " + QByteArray(handle) +
               "\n2 ASM_Data\n280 15\n94 " + QByteArray::number(sab.size() / 2) + "\n310 " + chunk1 + "\n310 " +
               chunk2 + "\n";
    };
    return dxfFromPairs("0 SECTION\n2 HEADER\n9 $ACADVER\n1 AC1032\n9 $HANDSEED\n5 100\n0 ENDSEC\n"
                        "0 SECTION\n2 ENTITIES\n"
                        "0 3DSOLID\n5 2F\n330 1F\n100 AcDbEntity\n8 0\n100 AcDbModelerGeometry\n290 1\n"
                        "2 {67215A7F-C966-4304-8518-F85CC1CB7D9A}\n100 AcDb3dSolid\n350 0\n"
                        "0 REGION\n5 30\n330 1F\n100 AcDbEntity\n8 0\n100 AcDbModelerGeometry\n290 1\n"
                        "2 {11111111-2222-3333-4444-555555555555}\n"
                        "0 ENDSEC\n0 SECTION\n2 OBJECTS\n0 DICTIONARY\n5 C\n330 0\n100 AcDbDictionary\n281 1\n"
                        "0 ENDSEC\n"
                        "0 SECTION\n2 ACDSDATA\n70 2\n71 2\n"
                        "0 ACDSSCHEMA\n90 0\n1 AcDb3DSolid_ASM_Data\n2 AcDbDs::ID\n280 10\n91 8\n"
                        "2 ASM_Data\n280 15\n91 0\n101 ACDSRECORD\n95 0\n90 2\n2 AcDbDs::TreatedAsObjectData\n"
                        "280 1\n291 1\n" +
                        record("2F") + record("30") + "0 ENDSEC\n0 EOF\n");
}

QByteArray section(const QByteArray& dxf, const QByteArray& name) {
    const qsizetype at = dxf.indexOf("  2\n" + name + "\n");
    return at < 0 ? QByteArray() : dxf.mid(at, dxf.indexOf("  0\nENDSEC\n", at) - at);
}

TEST(DxfRealFiles, SolidModelDataOfR2018IsKeptByteForByte) {
    const QByteArray input = solids();
    auto db = cad::dxf::readBuffer(input, "solids");
    const QByteArray out = cad::dxf::writeBuffer(*db);
    // The data is only the solids' in a file of a version that keeps it there.
    EXPECT_TRUE(out.contains("$ACADVER\n  1\nAC1032\n"));
    const QByteArray kept = section(out, "ACDSDATA");
    ASSERT_FALSE(kept.isEmpty());
    EXPECT_EQ(kept, section(cad::dxf::writeBuffer(*cad::dxf::readBuffer(out, "saved")), "ACDSDATA"));
    EXPECT_TRUE(kept.contains("320\n2F\n") && kept.contains("320\n30\n"));
    bool skip = false;
    const QString seen = ezdxf(out,
                               "for h in ('2F', '30'):\n"
                               "    print(doc.entitydb[h].sab.hex().upper())\n",
                               skip);
    if (skip) return;
    QByteArray sab;
    for (const QByteArray& line : section(input, "ACDSDATA").split('\n'))
        if (line.startsWith("414349")) sab = line;
    const QStringList lines = seen.split('\n');
    ASSERT_EQ(lines.size(), 2) << seen.toStdString();
    for (const QString& l : lines) EXPECT_TRUE(l.startsWith(QString::fromLatin1(sab))) << l.toStdString();
}

TEST(DxfRealFiles, MTextRotationGivenByDirectionAndAngleIsKeptAsGiven) {
    const QByteArray input = cadtest::testData("cad/mtext_direction_and_angle.dxf");
    auto db = cad::dxf::readBuffer(input, "mtext");
    Entity* m = db->entityByHandle(QStringLiteral("2F"));
    ASSERT_NE(m, nullptr);
    EXPECT_NEAR(m->as<MTextData>().rotation, M_PI / 2, 1e-12);  // the direction decides
    const QByteArray out = cad::dxf::writeBuffer(*db);
    const qsizetype at = out.indexOf("AcDbMText");
    const QByteArray rec = out.mid(at, out.indexOf("  0\n", at) - at);
    EXPECT_TRUE(rec.contains(" 11\n0.0\n 21\n1.0\n")) << rec.toStdString();
    EXPECT_TRUE(rec.contains(" 50\n30.0\n")) << rec.toStdString();

    // A text turned since: both say the new angle.
    m->as<MTextData>().rotation = 0;
    const QByteArray turned = cad::dxf::writeBuffer(*db);
    const qsizetype t = turned.indexOf("AcDbMText");
    const QByteArray rec2 = turned.mid(t, turned.indexOf("  0\n", t) - t);
    EXPECT_TRUE(rec2.contains(" 11\n1.0\n 21\n0.0\n")) << rec2.toStdString();
    EXPECT_TRUE(rec2.contains(" 50\n0.0\n")) << rec2.toStdString();
}

// An R12 drawing without handles ($HANDLING 0, none on table entries, blocks or entities): the
// saved file gives every object one handle of its own, points nowhere unknown, and keeps the
// attribute definitions' alignments (72 horizontal, 74 vertical; 73 is the field length) and the
// second point a left-aligned text was given.
TEST(DxfRealFiles, R12DrawingWithoutHandlesKeepsAlignmentsAndGetsUniqueHandles) {
    const QByteArray input = cadtest::testData("cad/r12_without_handles.dxf");
    auto db = cad::dxf::readBuffer(input, "r12");
    const QByteArray out = cad::dxf::writeBuffer(*db);
    EXPECT_EQ(duplicateHandles(out), std::set<QString>{});
    EXPECT_EQ(danglingPointers(out), std::set<QString>{});
    bool skip = false;
    const QString seen = ezdxf(out,
                               "for a in doc.blocks.get('ZNAK').query('ATTDEF'):\n"
                               "    print(a.dxf.tag, a.dxf.halign, a.dxf.valign, a.dxf.get('field_length', 0))\n"
                               "r = doc.modelspace().query('INSERT')[0].attribs[0]\n"
                               "print(r.dxf.tag, r.dxf.halign, r.dxf.valign)\n"
                               "t = doc.modelspace().query('TEXT')[0]\n"
                               "print(t.dxf.halign, t.dxf.get('align_point'))\n"
                               "print(doc.layers.get('OPISY').dxf.color)\n",
                               skip);
    if (skip) GTEST_SKIP() << "python3-ezdxf is not installed";
    EXPECT_EQ(seen, QStringLiteral("NAZWA 4 0 12\nNR 2 3 0\nNR 1 2\n0 (3.0, 3.0, 0.0)\n3"));
}

// A binary R2000 file of ezdxf holding dictionaries, xrecords, layouts with a viewport, hatches,
// an image with its definition, a group, a multiline and its style, a dimension with its
// anonymous block and a leader: saved, it leaves no pointer dangling and repeats no handle, and
// reads as its text form does.
TEST(DxfRealFiles, BinaryR2000FileOfManyObjectKindsLeavesNoPointerDangling) {
    QFile f(QStringLiteral(SUITE_TEST_DATA "/cad/objects_r2000_binary.dxf"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray input = f.readAll();
    ASSERT_TRUE(input.startsWith("AutoCAD Binary DXF"));
    auto db = cad::dxf::readBuffer(input, "binary");
    const QByteArray out = cad::dxf::writeBuffer(*db);
    EXPECT_EQ(duplicateHandles(out), std::set<QString>{});
    EXPECT_EQ(danglingPointers(out), std::set<QString>{});
    auto back = cad::dxf::readBuffer(out, "saved");
    EXPECT_EQ(back->modelSpace()->count(), db->modelSpace()->count());
    bool skip = false;
    const QString seen = ezdxf(out,
                               "a = doc.audit()\n"
                               "print(len(a.errors), sorted(set(e.dxftype() for e in doc.modelspace())))\n"
                               "print(len(doc.groups), doc.rootdict['MOJE'].dxftype(), 'Arkusz2' in doc.layouts.names())\n",
                               skip);
    if (skip) GTEST_SKIP() << "python3-ezdxf is not installed";
    EXPECT_EQ(seen, QStringLiteral("0 ['CIRCLE', 'DIMENSION', 'HATCH', 'IMAGE', 'INSERT', 'LEADER', "
                                   "'LINE', 'LWPOLYLINE', 'MLINE', 'MTEXT']\n1 XRECORD True"));
}

}  // namespace
