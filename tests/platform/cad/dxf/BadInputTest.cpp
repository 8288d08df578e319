// Files that are not good DXF: each gives cad::Failed with a message naming the line, never a
// crash or a hang.
#include "Sample.h"

#include "platform/cad/dxf/DxfReader.h"
#include "platform/cad/dxf/DxfWriter.h"

#include <gtest/gtest.h>
#include <QRandomGenerator>

namespace {

// The message of the failure reading `data`, or "" when it was read.
std::string failure(const QByteArray& data) {
    try {
        cad::dxf::readBuffer(data, "bad.dxf");
    } catch (const cad::Failed& e) {
        return e.message().toStdString();
    }
    return {};
}

const QByteArray goodStart =
    "  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1015\n  0\nENDSEC\n  0\nSECTION\n  2\nENTITIES\n";

TEST(DxfBadInput, EmptyAndBlankFiles) {
    EXPECT_NE(failure(""), "");
    EXPECT_NE(failure("\n\n\n"), "");
    EXPECT_NE(failure("\xEF\xBB\xBF"), "");
}

TEST(DxfBadInput, FileCutInsideAnEntity) {
    const QByteArray cut = goodStart + "  0\nLINE\n  8\n0\n 10\n1.0\n 20\n";
    const std::string msg = failure(cut);
    EXPECT_NE(msg.find("bad.dxf, wiersz 21"), std::string::npos) << msg;
    const QByteArray noValue = goodStart + "  0\nLINE\n  8\n";
    EXPECT_NE(failure(noValue).find("kończy się po kodzie grupy 8"), std::string::npos);
}

// A file cut off anywhere between a BLOCK and its name says that the file ends, at its last line; a
// whole block without a name says so.
TEST(DxfBadInput, FileCutBeforeABlockNameSaysTheFileEnds) {
    const QByteArray blocks = "  0\nSECTION\n  2\nBLOCKS\n";
    const QByteArray block = "  0\nBLOCK\n  5\n20\n330\n1F\n100\nAcDbEntity\n  8\n0\n100\nAcDbBlockBegin\n";
    const QList<QByteArray> lines = block.split('\n');
    QByteArray cut = blocks;
    for (int i = 0; i < lines.size() - 1; ++i) {
        cut += lines[i] + '\n';
        if (i < 1) continue;  // not yet past the record's type
        const std::string msg = failure(cut);
        EXPECT_NE(msg.find(QStringLiteral("wiersz %1: plik kończy się").arg(5 + i).toStdString()), std::string::npos)
            << msg;
    }
    const std::string unnamed = failure(blocks + block + "  0\nENDBLK\n  0\nENDSEC\n  0\nEOF\n");
    EXPECT_NE(unnamed.find("wiersz 5: blok bez nazwy"), std::string::npos) << unnamed;
}

TEST(DxfBadInput, WrongGroupCodesAndNumbers) {
    std::string msg = failure(goodStart + "  0\nLINE\nxx\n0\n  0\nENDSEC\n  0\nEOF\n");
    EXPECT_NE(msg.find("wiersz 17"), std::string::npos) << msg;
    EXPECT_NE(msg.find("kodu grupy"), std::string::npos) << msg;
    msg = failure(goodStart + "  0\nLINE\n 10\n1e999\n  0\nENDSEC\n  0\nEOF\n");
    EXPECT_NE(msg.find("poza zakresem"), std::string::npos) << msg;
    msg = failure(goodStart + "  0\nLINE\n 10\nabc\n  0\nENDSEC\n  0\nEOF\n");
    EXPECT_NE(msg.find("oczekiwano liczby"), std::string::npos) << msg;
    msg = failure(goodStart + "  0\nLINE\n 70\n99999999999999999999\n  0\nENDSEC\n  0\nEOF\n");
    EXPECT_NE(msg, "");
    msg = failure(goodStart + "  0\nLINE\n123456\nx\n  0\nENDSEC\n  0\nEOF\n");
    EXPECT_NE(msg.find("kodu grupy"), std::string::npos) << msg;
    EXPECT_NE(failure("  0\nSECTION\n  2\nENTITIES\n  8\nlayer first\n  0\nENDSEC\n  0\nEOF\n"), "");
    // A comma as decimal separator is accepted, as the programs' own files use it.
    EXPECT_EQ(failure(goodStart + "  0\nPOINT\n 10\n1,5\n  0\nENDSEC\n  0\nEOF\n"), "");
}

TEST(DxfBadInput, MissingEndOfSectionOrTable) {
    EXPECT_NE(failure(goodStart + "  0\nPOINT\n 10\n1.0\n").find("nie jest zamknięta"), std::string::npos);
    EXPECT_NE(
        failure("  0\nSECTION\n  2\nTABLES\n  0\nTABLE\n  2\nLAYER\n  0\nLAYER\n  2\nA\n").find("ENDTAB"),
        std::string::npos);
    EXPECT_NE(failure("  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1015\n"), "");
    EXPECT_NE(failure("  0\nSECTION\n  2\nBLOCKS\n  0\nBLOCK\n  2\nB\n  0\nLINE\n  0\nENDSEC\n"), "");
    EXPECT_NE(failure("  0\nSECTION\n  0\nENDSEC\n"), "");  // a section without a name
    // A missing EOF after complete sections is tolerated.
    EXPECT_EQ(failure(goodStart + "  0\nENDSEC\n"), "");
}

TEST(DxfBadInput, BinaryGarbage) {
    QByteArray garbage;
    QRandomGenerator rng(7);
    for (int i = 0; i < 4096; ++i) garbage.append(char(rng.bounded(256)));
    EXPECT_NE(failure(garbage), "");
    static const char withNul[] = "  0\nTEXT\n  1\nab\0cd\n";
    EXPECT_NE(failure(goodStart + QByteArray(withNul, sizeof withNul - 1)), "");
    static const char binary[] = "AutoCAD Binary DXF\r\n\x1a\0";
    EXPECT_NE(failure(QByteArray(binary, sizeof binary - 1)), "");
}

TEST(DxfBadInput, EveryCutOfAGoodFileFailsCleanly) {
    const QByteArray good = cad::dxf::writeBuffer(*cadtest::makeSample().db);
    ASSERT_EQ(failure(good), "");
    // Cuts at many places, and single corrupted bytes: either read or refused, never a crash.
    const qsizetype step = std::max<qsizetype>(1, good.size() / 300);
    for (qsizetype cut = 0; cut < good.size(); cut += step) {
        const QByteArray part = good.left(cut);
        try {
            cad::dxf::readBuffer(part, "cut");
        } catch (const cad::Failed&) {
        }
    }
    QRandomGenerator rng(11);
    for (int i = 0; i < 200; ++i) {
        QByteArray bent = good;
        bent[rng.bounded(int(bent.size()))] = char(rng.bounded(256));
        try {
            cad::dxf::readBuffer(bent, "bent");
        } catch (const cad::Failed&) {
        } catch (const cad::Error&) {
        }
    }
    SUCCEED();
}

}  // namespace
