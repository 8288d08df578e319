// Drawings as other programs write them (R2018 structures, R12 leftovers, binary encoding) must
// come back from a save with everything they held: texts in place, handles unique, pointers
// leading where they led, sections, styles and common entity fields kept.
#include "ForeignFiles.h"

#include "platform/cad/dxf/DxfReader.h"
#include "platform/cad/dxf/DxfTokenizer.h"
#include "platform/cad/dxf/DxfWriter.h"
#include "platform/cad/engine/Database.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>

using namespace cad::db;
using cadtest::danglingPointers;
using cadtest::handleUse;

namespace {

QByteArray withoutDates(QByteArray data) {
    // The drawing properties carry the time of saving as Julian days.
    static const QRegularExpression date(QStringLiteral("\n24\\d{5}\\.\\d*\n"));
    return QString::fromLatin1(data).replace(date, QStringLiteral("\nDATE\n")).toLatin1();
}

// The text of the first record of that type holding `marker`, up to the next record.
QByteArray recordText(const QByteArray& dxf, const QByteArray& type, const QByteArray& marker) {
    qsizetype from = 0;
    for (;;) {
        const qsizetype at = dxf.indexOf("  0\n" + type + "\n", from);
        if (at < 0) return {};
        const qsizetype end = dxf.indexOf("  0\n", at + 4);
        const QByteArray rec = dxf.mid(at, end < 0 ? -1 : end - at);
        if (rec.contains(marker)) return rec;
        from = at + 4;
    }
}

Entity* byHandle(Database& db, const char* handle) {
    return db.entityByHandle(QString::fromLatin1(handle));
}

class DxfForeign : public ::testing::Test {
protected:
    void SetUp() override {
        input = cadtest::foreignR2018();
        db = cad::dxf::readBuffer(input, "r2018");
        out = cad::dxf::writeBuffer(*db);
        back = cad::dxf::readBuffer(out, "saved");
    }
    QByteArray input, out;
    std::unique_ptr<Database> db, back;
};

TEST_F(DxfForeign, EmbeddedMTextObjectIsReadApartAndWrittenBack) {
    for (Database* d : {db.get(), back.get()}) {
        Entity* m = byHandle(*d, "31");
        ASSERT_NE(m, nullptr);
        const auto& t = m->as<MTextData>();
        EXPECT_DOUBLE_EQ(t.position.x, 5);
        EXPECT_DOUBLE_EQ(t.position.y, 6);
        EXPECT_DOUBLE_EQ(t.height, 2.5);
        EXPECT_NEAR(t.rotation, M_PI / 2, 1e-12);
        EXPECT_EQ(t.attachment, 1);
        EXPECT_EQ(t.drawingDirection, 5);
        EXPECT_EQ(t.text, "Opis skrzyzowania");
    }
    // The embedded object follows the text's own data, whole.
    const QByteArray rec = recordText(out, "MTEXT", "Opis");
    const qsizetype embedded = rec.indexOf("101\nEmbedded Object\n");
    ASSERT_GT(embedded, 0);
    EXPECT_GT(embedded, rec.indexOf(" 71\n1\n"));
    EXPECT_TRUE(rec.mid(embedded).contains(" 40\n30.0\n"));
    EXPECT_TRUE(rec.mid(embedded).contains(" 42\n28.0\n"));
}

TEST_F(DxfForeign, NewHandlesGoAboveTheHighestAndPointersFollowARenumberedDuplicate) {
    // The text after the handle-less blocks keeps its handle.
    ASSERT_NE(byHandle(*db, "31"), nullptr);
    EXPECT_EQ(byHandle(*db, "31")->kind(), EntityKind::MText);
    BlockDefinition* old = db->findBlock("STARY");
    ASSERT_NE(old, nullptr);
    EXPECT_GT(old->handle(), 0x90u);
    EXPECT_GT(old->blockEntityHandle, 0x90u);
    EXPECT_GT(db->modelSpace()->endblkHandle, 0x90u);
    EXPECT_NE(db->modelSpace()->endblkHandle, old->endblkHandle);

    for (Database* d : {db.get(), back.get()}) {
        // The model layout shares handle 1F with layer "0" in the file: the block record and
        // the layout dictionary lead to the layout, not to the layer.
        auto* layout = dynamic_cast<RawObject*>(d->objectByHandle(d->modelSpace()->layoutHandle));
        ASSERT_NE(layout, nullptr);
        EXPECT_EQ(layout->dxfName, "LAYOUT");
        EXPECT_TRUE(std::count(layout->tags.begin(), layout->tags.end(), Tag{1, "Model"}));
        auto* layouts = dynamic_cast<Dictionary*>(
            d->dictionaryObject(d->rootDictionary(), QStringLiteral("ACAD_LAYOUT")));
        ASSERT_NE(layouts, nullptr);
        EXPECT_EQ(d->dictionaryObject(layouts, QStringLiteral("Model")), layout);
        EXPECT_EQ(d->layers().find("0")->handle(), 0x1Fu);
    }
    // Every handle once, and no pointer dangles that did not dangle before.
    for (const QByteArray& file : {out, cad::dxf::writeBuffer(*back)}) {
        const auto use = handleUse(file);
        EXPECT_EQ(use.all.size(), use.defined.size());
        const auto before = danglingPointers(input);
        for (const QString& p : danglingPointers(file)) EXPECT_TRUE(before.count(p)) << p.toStdString();
    }
    EXPECT_EQ(withoutDates(cad::dxf::writeBuffer(*back)), withoutDates(out));
}

TEST_F(DxfForeign, UnknownSectionsShapeStylesAndTableHeadDictionariesAreKept) {
    ASSERT_EQ(db->extraSections.size(), 1u);
    EXPECT_EQ(db->extraSections.front().first, "ACDSDATA");
    const qsizetype section = out.indexOf("  2\nACDSDATA\n");
    ASSERT_GT(section, out.indexOf("  2\nOBJECTS\n"));
    EXPECT_TRUE(out.mid(section).startsWith("  2\nACDSDATA\n 70\n2\n"));
    EXPECT_TRUE(out.mid(section).contains("310\n41434953\n"));
    EXPECT_TRUE(out.mid(section).contains("320\n47\n"));
    EXPECT_NE(byHandle(*back, "47"), nullptr);  // the solid the data belongs to

    // The shape file the complex linetype points at (340 16) is a STYLE record of the file.
    EXPECT_EQ(back->shapeStyles().count(), 1);
    EXPECT_TRUE(handleUse(out).defined.count("16"));
    EXPECT_TRUE(recordText(out, "STYLE", "ltypeshp.shx").contains("  5\n16\n"));
    EXPECT_TRUE(recordText(out, "LTYPE", "BATTERY").contains("340\n16\n"));

    // The linetype table's extension dictionary.
    const QByteArray head = recordText(out, "TABLE", "\nLTYPE\n");
    EXPECT_TRUE(head.contains("102\n{ACAD_XDICTIONARY\n360\n90\n102\n}\n"));
}

TEST_F(DxfForeign, AttributeDefinitionKeepsAlignmentAgainstALaterCode72) {
    for (Database* d : {db.get(), back.get()}) {
        BlockDefinition* b = d->findBlock("ZNAK");
        ASSERT_NE(b, nullptr);
        ASSERT_EQ(b->count(), 1);
        Entity* def = b->item(0);
        ASSERT_EQ(def->kind(), EntityKind::AttributeDefinition);
        const auto& a = def->as<AttributeData>();
        EXPECT_EQ(a.horizontal, 4);
        EXPECT_EQ(a.vertical, 2);
        EXPECT_DOUBLE_EQ(a.alignmentPoint.x, 3);
        EXPECT_DOUBLE_EQ(a.alignmentPoint.y, 4);
        EXPECT_EQ(a.tag, "NUMER");
        EXPECT_EQ(a.prompt, "Podaj numer");
    }
}

TEST_F(DxfForeign, CommonEntityFieldsAreKeptForEveryKind) {
    struct Expect {
        const char* handle;
        int trueColor;
        double ltScale;
    };
    for (Database* d : {db.get(), back.get()}) {
        for (const Expect& x : {Expect{"42", 0xFF0000, 2.5}, Expect{"43", -1, 4.0}, Expect{"44", 255, 3.0},
                                Expect{"45", 0x00FF00, 1.0}, Expect{"46", 0x808080, 0.5}}) {
            Entity* e = byHandle(*d, x.handle);
            ASSERT_NE(e, nullptr) << x.handle;
            EXPECT_EQ(e->trueColor, x.trueColor) << x.handle;
            EXPECT_DOUBLE_EQ(e->linetypeScale, x.ltScale) << x.handle;
        }
        // Transparency stays in the common part of a modelled kind.
        EXPECT_EQ(byHandle(*d, "41")->commonTags, (Tags{{440, "33554661"}}));
    }
    const QByteArray line = recordText(out, "LINE", "440\n");
    ASSERT_FALSE(line.isEmpty());
    EXPECT_LT(line.indexOf("440\n33554661\n"), line.indexOf("100\nAcDbLine\n"));
    EXPECT_GT(line.indexOf("440\n33554661\n"), line.indexOf("100\nAcDbEntity\n"));
    const QByteArray viewport = recordText(out, "VIEWPORT", "AcDbViewport");
    EXPECT_TRUE(viewport.contains("420\n8421504\n"));
    EXPECT_TRUE(viewport.contains(" 48\n0.5\n"));
}

TEST_F(DxfForeign, BinaryFilesReadAsTheirTextForm) {
    auto fromBinary = cad::dxf::readBuffer(cadtest::binaryDxf(input), "binary");
    EXPECT_EQ(withoutDates(cad::dxf::writeBuffer(*fromBinary)), withoutDates(out));

    // R12: one-byte group codes, no handles, no subclass markers.
    const QByteArray r12 = cadtest::testData("cad/r12_line_and_text.dxf");
    auto old = cad::dxf::readBuffer(cadtest::binaryDxf(r12, true), "r12");
    ASSERT_EQ(old->modelSpace()->count(), 2);
    Entity* line = old->modelSpace()->item(0);
    EXPECT_EQ(line->layer(), "DROGI");
    EXPECT_EQ(line->color, 3);
    EXPECT_DOUBLE_EQ(line->as<LineData>().end.x, -4.25);
    Entity* text = old->modelSpace()->item(1);
    EXPECT_EQ(text->as<TextData>().text, "K1");
    EXPECT_EQ(text->xdata, (Tags{{1001, "ACAD"}, {1071, "70000"}}));

    // A binary file cut short is refused, not read past its end.
    QByteArray cut = cadtest::binaryDxf(r12, true);
    cut.chop(40);
    EXPECT_THROW(cad::dxf::readBuffer(cut, "cut"), cad::Failed);
}

TEST_F(DxfForeign, EzdxfReadsTheSavedDrawing) {
    if (!QFile::exists("/usr/bin/python3")) GTEST_SKIP() << "no /usr/bin/python3";
    QTemporaryDir dir;
    const QString path = dir.filePath("foreign.dxf");
    cad::dxf::writeFile(*db, path);
    QProcess p;
    p.start(
        "/usr/bin/python3",
        {"-c",
         "import sys, ezdxf\n"
         "doc = ezdxf.readfile(sys.argv[1])\n"
         "msp = doc.modelspace()\n"
         "m = doc.entitydb['31']\n"
         "print(m.dxftype(), m.dxf.insert[0], m.dxf.insert[1], m.dxf.char_height)\n"
         "print(doc.entitydb['42'].dxf.true_color, doc.entitydb['43'].dxf.ltscale)\n"
         "print(doc.entitydb['41'].dxf.transparency)\n"
         "print(doc.blocks.get('ZNAK').query('ATTDEF')[0].dxf.halign)\n"
         "print(doc.block_records.get('*Model_Space').dxf.layout == doc.layouts.get('Model').dxf.handle)\n",
         path});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString err = QString::fromUtf8(p.readAllStandardError());
    if (err.contains("No module named")) GTEST_SKIP() << "python3-ezdxf is not installed";
    ASSERT_EQ(p.exitCode(), 0) << err.toStdString();
    const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split('\n');
    ASSERT_GE(lines.size(), 5);
    EXPECT_EQ(lines[0], "MTEXT 5.0 6.0 2.5");
    EXPECT_EQ(lines[1], "16711680 4.0");
    EXPECT_EQ(lines[2], "33554661");
    EXPECT_EQ(lines[3], "4");
    EXPECT_EQ(lines[4], "True");
}

// Line breaks in a text, an attribute value or a custom property never split a group pair:
// the saved file reads back pair by pair, with the same values as far as one line holds them.
TEST(DxfFiles, LineBreaksInValuesKeepTheirPairIntact) {
    Database db;
    BlockDefinition* ms = db.modelSpace();
    Entity* text = db.addText(ms, "pierwsza\ndruga", {0, 0, 0}, 2.5);
    BlockDefinition* b = db.addBlock("ZNAK");
    db.addAttributeDefinition(b, 2.5, 0, "Numer", {0, 0, 0}, "NR", "1");
    Entity* ref = db.insertBlock(ms, {10, 10, 0}, "ZNAK", 1, 1, 1, 0);
    db.attributes(ref).front()->as<AttributeData>().text = "K1\r\nK2";
    db.summaryInfo().addCustom("GRUPA_1", "a\nb\rc");
    db.summaryInfo().title = "tytuł\r\nciąg dalszy";

    const QByteArray out = cad::dxf::writeBuffer(db);
    cad::dxf::Tokenizer tk(out, "lines");
    cad::dxf::RawTag t;
    int pairs = 0;
    EXPECT_NO_THROW(while (tk.next(t))++ pairs);
    EXPECT_GT(pairs, 100);
    auto back = cad::dxf::readBuffer(out, "lines");
    Entity* text2 = back->entityByHandle(text->handleText());
    ASSERT_NE(text2, nullptr);
    EXPECT_EQ(text2->as<TextData>().text, "pierwsza druga");
    Entity* ref2 = back->entityByHandle(ref->handleText());
    ASSERT_NE(ref2, nullptr);
    EXPECT_EQ(back->attributes(ref2).front()->as<AttributeData>().text, "K1  K2");
    EXPECT_EQ(back->summaryInfo().custom(), (std::vector<std::pair<QString, QString>>{{"GRUPA_1", "a b c"}}));
    EXPECT_EQ(back->summaryInfo().title, "tytuł  ciąg dalszy");
}

}  // namespace
