// Files that are not good DXF: each gives cad::Failed with a message naming the line, never a
// crash or a hang. Splines no one could draw (a hatch's spline edge, a SPLINE, a HELIX's spline) are
// refused so too, naming the record by its handle and the cause; nan and text where a number belongs
// are refused in records kept as read as in modelled ones. Each bound is tried at itself and one
// step past it.
#include "Sample.h"

#include "platform/cad/dxf/DxfReader.h"
#include "platform/cad/dxf/DxfWriter.h"
#include "platform/cad/engine/Database.h"

#include <gtest/gtest.h>
#include <QRandomGenerator>
#include <QStringList>
#include <optional>

using namespace cad::db;

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
        EXPECT_NE(msg.find(QStringLiteral("wiersz %1: plik kończy się").arg(5 + i).toStdString()),
                  std::string::npos)
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

QByteArray tags(const QStringList& pairs) {
    QByteArray out;
    for (qsizetype i = 0; i + 1 < pairs.size(); i += 2)
        out += pairs[i].toUtf8() + "\n" + pairs[i + 1].toUtf8() + "\n";
    return out;
}

QByteArray file(const QByteArray& entities) {
    return tags({"0", "SECTION", "2", "HEADER", "9", "$ACADVER", "1", "AC1015", "0", "ENDSEC", "0", "SECTION",
                 "2", "ENTITIES"}) +
           entities + tags({"0", "ENDSEC", "0", "EOF"});
}

// The 1-based line of the group code that starts `pairs` in `data`.
int lineOf(const QByteArray& data, const QByteArray& pairs) {
    const qsizetype at = data.indexOf("\n" + pairs);
    return at < 0 ? -1 : int(data.left(at + 1).count('\n')) + 1;
}

constexpr double X0 = 7.5e9, Y0 = 5.5e9;

struct SplineEdge {
    QString degree = QStringLiteral("3");
    QStringList knots{"0", "0", "0", "0", "1", "1", "1", "1"};
    QStringList controls{QString::number(X0 + 20, 'f', 0), QString::number(Y0, 'f', 0),
                         QString::number(X0 + 25, 'f', 0), QString::number(Y0 + 15, 'f', 0),
                         QString::number(X0 - 5, 'f', 0),  QString::number(Y0 + 15, 'f', 0),
                         QString::number(X0, 'f', 0),      QString::number(Y0, 'f', 0)};
    std::optional<int> declaredKnots, declaredControls;  // none: as many as given
    QStringList weights;  // given, the edge is rational: each point followed by its weight
    QStringList fits;     // x, y pairs after the control points, with their count

    QByteArray text() const {
        QStringList out{"72", "4", "94", degree, "73", weights.isEmpty() ? "0" : "1", "74", "0"};
        out << "95" << QString::number(declaredKnots.value_or(int(knots.size())));
        out << "96" << QString::number(declaredControls.value_or(int(controls.size() / 2)));
        for (const QString& k : knots) out << "40" << k;
        for (qsizetype i = 0; i + 1 < controls.size(); i += 2) {
            out << "10" << controls[i] << "20" << controls[i + 1];
            if (i / 2 < weights.size()) out << "42" << weights[i / 2];
        }
        if (!fits.isEmpty()) out << "97" << QString::number(fits.size() / 2);
        for (qsizetype i = 0; i + 1 < fits.size(); i += 2) out << "11" << fits[i] << "21" << fits[i + 1];
        return tags(out);
    }
};

// A solid hatch with handle 2F closed by a line and the spline edge, far from the origin.
QByteArray hatch(const SplineEdge& edge) {
    const QString x0 = QString::number(X0, 'f', 0), y0 = QString::number(Y0, 'f', 0);
    return file(tags({"0",  "HATCH", "5",         "2F", "100", "AcDbEntity", "8",
                      "0",  "100",   "AcDbHatch", "10", "0",   "20",         "0",
                      "30", "0",     "210",       "0",  "220", "0",          "230",
                      "1",  "2",     "SOLID",     "70", "1",   "71",         "0",
                      "91", "1",     "92",        "1",  "93",  "2",          "72",
                      "1",  "10",    x0,          "20", y0,    "11",         QString::number(X0 + 20, 'f', 0),
                      "21", y0}) +
                edge.text() + tags({"97", "0", "75", "0", "76", "1", "98", "0"}));
}

// A SPLINE (handle 3A) of the given degree, knots and control points (x, y pairs); `declared` overrides
// its control point count.
QByteArray spline(const QString& degree, const QStringList& knots, const QStringList& controls,
                  int declared = -1, const QStringList& more = {}) {
    QStringList out{"0",   "SPLINE",
                    "5",   "3A",
                    "100", "AcDbEntity",
                    "8",   "0",
                    "100", "AcDbSpline",
                    "70",  "8",
                    "71",  degree,
                    "72",  QString::number(knots.size()),
                    "73",  QString::number(declared < 0 ? controls.size() / 2 : declared),
                    "74",  "0"};
    for (const QString& k : knots) out << "40" << k;
    for (qsizetype i = 0; i + 1 < controls.size(); i += 2)
        out << "10" << controls[i] << "20" << controls[i + 1] << "30"
            << "0";
    return file(tags(out + more));
}

const QStringList cubicKnots{"0", "0", "0", "0", "1", "1", "1", "1"};
const QStringList cubicControls{"0", "0", "5", "10", "15", "10", "20", "0"};

TEST(DxfBadInput, AHatchSplineEdgeThatCannotBeDrawnIsNamedWithItsCause) {
    ASSERT_EQ(failure(hatch({})), "");
    const auto db = cad::dxf::readBuffer(hatch({}), "good.dxf");
    EXPECT_EQ(db->modelSpace()->entities().front()->kind(), EntityKind::Hatch);
    // The bounds themselves: degree 1 over two points, equal neighbouring knots.
    SplineEdge line;
    line.degree = "1";
    line.knots = {"0", "0", "1", "1"};
    line.controls = line.controls.mid(0, 2) + line.controls.mid(6, 2);
    EXPECT_EQ(failure(hatch(line)), "");

    // A rational edge, and one through fit points alone (no knots, no control points).
    SplineEdge rational;
    rational.weights = {"1", "2", "2", "1"};
    EXPECT_EQ(failure(hatch(rational)), "");
    SplineEdge fitted;
    fitted.knots.clear();
    fitted.controls.clear();
    fitted.fits = {QString::number(X0 + 20, 'f', 0), QString::number(Y0, 'f', 0),
                   QString::number(X0 + 10, 'f', 0), QString::number(Y0 + 9, 'f', 0),
                   QString::number(X0, 'f', 0),      QString::number(Y0, 'f', 0)};
    EXPECT_EQ(failure(hatch(fitted)), "");

    struct Case {
        const char* cause;
        SplineEdge edge;
    };
    std::vector<Case> cases;
    auto add = [&](const char* cause, auto change) {
        SplineEdge e;
        change(e);
        cases.push_back({cause, e});
    };
    add("stopień 0 (najmniejszy możliwy to 1)", [](SplineEdge& e) { e.degree = "0"; });
    add("stopień -1 (najmniejszy możliwy to 1)", [](SplineEdge& e) { e.degree = "-1"; });
    // A degree above what the four points and eight knots allow.
    add("za mało punktów kontrolnych dla stopnia 4: jest 4, potrzeba co najmniej 5",
        [](SplineEdge& e) { e.degree = "4"; });
    add("wektor węzłów jest za krótki: węzły: 7, potrzeba 8 (stopień 3, punkty kontrolne: 4)",
        [](SplineEdge& e) { e.knots.removeLast(); });
    add("wektor węzłów jest za długi: węzły: 9, potrzeba 8 (stopień 3, punkty kontrolne: 4)",
        [](SplineEdge& e) { e.knots << "1"; });
    add("węzły maleją: po 1 następuje 0.5", [](SplineEdge& e) { e.knots[5] = "0.5"; });
    add("węzły nie wyznaczają żadnego odcinka krzywej (od 1 do 1)", [](SplineEdge& e) { e.knots.fill("1"); });
    add("punkty kontrolne: zadeklarowano 5, jest 4", [](SplineEdge& e) { e.declaredControls = 5; });
    add("węzły: zadeklarowano 9, jest 8", [](SplineEdge& e) { e.declaredKnots = 9; });
    add("węzły: zadeklarowano -1, jest 0", [](SplineEdge& e) { e.declaredKnots = -1; });
    add("punkty kontrolne: zadeklarowano -1, jest 0", [](SplineEdge& e) { e.declaredControls = -1; });
    // A rational edge gives every control point its weight: the first one without is named.
    add("punkt kontrolny 2 bez wagi", [](SplineEdge& e) { e.weights = {"1"}; });
    for (const Case& c : cases) {
        const QByteArray data = hatch(c.edge);
        const std::string msg = failure(data);
        const std::string where = "bad.dxf, wiersz " + std::to_string(lineOf(data, "72\n4\n")) + ": ";
        EXPECT_EQ(msg,
                  where +
                      "kreskowanie (HATCH) o uchwycie 2F ma krawędź splajnu, której nie można narysować: " +
                      c.cause);
    }
    // nan, an infinity or text among the curve's numbers: refused at its own line, as elsewhere.
    for (const char* bad : {"nan", "inf", "-nan", "x"}) {
        SplineEdge e;
        e.knots[4] = QString::fromLatin1(bad);
        const QByteArray data = hatch(e);
        const std::string msg = failure(data);
        EXPECT_NE(msg.find("wiersz " + std::to_string(lineOf(data, "40\n" + QByteArray(bad) + "\n")) + ": "),
                  std::string::npos)
            << msg;
        EXPECT_TRUE(msg.find("poza zakresem") != std::string::npos ||
                    msg.find("oczekiwano liczby") != std::string::npos)
            << msg;
        e = {};
        e.controls[3] = QString::fromLatin1(bad);
        EXPECT_NE(failure(hatch(e)), "") << bad;
    }
}

TEST(DxfBadInput, ASplineOrAHelixThatCannotBeDrawnIsNamedWithItsCause) {
    EXPECT_EQ(failure(spline("3", cubicKnots, cubicControls)), "");
    const std::string named = "bad.dxf, wiersz 15: splajnu (SPLINE) o uchwycie 3A nie można narysować: ";
    EXPECT_EQ(failure(spline("0", cubicKnots, cubicControls)),
              named + "stopień 0 (najmniejszy możliwy to 1)");
    // The highest degree a CAD program writes, and one past it, which no drawing could afford to draw.
    const auto ofDegree = [](int p) {
        QStringList knots, controls;
        for (int i = 0; i < 2 * (p + 1); ++i) knots << (i <= p ? "0" : "1");
        for (int i = 0; i <= p; ++i) controls << QString::number(i * 7.5e9) << QString::number(i % 2);
        return spline(QString::number(p), knots, controls);
    };
    EXPECT_EQ(failure(ofDegree(25)), "");
    EXPECT_EQ(failure(ofDegree(26)), named + "stopień 26 (największy możliwy to 25)");
    EXPECT_EQ(failure(spline("3", cubicKnots, cubicControls, 5)),
              named + "punkty kontrolne: zadeklarowano 5, jest 4");
    EXPECT_EQ(failure(spline("3", cubicKnots.mid(1), cubicControls)),
              named + "wektor węzłów jest za krótki: węzły: 7, potrzeba 8 (stopień 3, punkty kontrolne: 4)");
    // Weights: one positive value for each control point.
    EXPECT_EQ(
        failure(spline("3", cubicKnots, cubicControls, -1, {"41", "1", "41", "2", "41", "2", "41", "1"})),
        "");
    EXPECT_EQ(failure(spline("3", cubicKnots, cubicControls, -1, {"41", "1", "41", "2", "41", "2"})),
              named + "wagi: jest 3, punkty kontrolne: 4");
    EXPECT_EQ(
        failure(spline("3", cubicKnots, cubicControls, -1, {"41", "1", "41", "0", "41", "2", "41", "1"})),
        named + "waga 0 nie jest dodatnia");
    // Through fit points alone: two are a curve, one is none.
    EXPECT_EQ(failure(spline("3", {}, {}, -1, {"11", "0", "21", "0", "11", "5", "21", "1"})), "");
    EXPECT_EQ(
        failure(spline("3", {}, {}, -1, {"11", "0", "21", "0"})),
        named + "brak punktów kontrolnych i za mało punktów dopasowania: jest 1, potrzeba co najmniej 2");
    // nan anywhere in it, knots and points alike, refuses the file at the value's line.
    for (int at : {4, 13}) {
        QStringList knots = cubicKnots, controls = cubicControls;
        (at < 8 ? knots[at] : controls[at - 8]) = QStringLiteral("nan");
        const QByteArray data = spline("3", knots, controls);
        const std::string msg = failure(data);
        EXPECT_NE(msg.find("liczba \"nan\" jest poza zakresem"), std::string::npos) << msg;
        EXPECT_NE(msg.find("wiersz " +
                           std::to_string(lineOf(data, (at < 8 ? "40" : "20") + QByteArray("\nnan\n")))),
                  std::string::npos)
            << msg;
    }

    // A HELIX: its own radius (40), turns (41) and turn height (42) are no knots or weights of its
    // spline, which alone decides whether it can be drawn.
    const QStringList helixPart{"100", "AcDbHelix", "90", "29", "91", "63", "10",  "0", "20",  "0", "30", "0",
                                "11",  "10",        "21", "0",  "31", "0",  "12",  "0", "22",  "0", "32", "1",
                                "40",  "10",        "41", "2",  "42", "5",  "290", "1", "280", "1"};
    auto helix = [&](const QStringList& knots) {
        QByteArray data = spline("3", knots, cubicControls, -1, helixPart);
        data.replace("\nSPLINE\n", "\nHELIX\n");
        return data;
    };
    EXPECT_EQ(failure(helix(cubicKnots)), "");
    EXPECT_EQ(
        failure(helix(cubicKnots.mid(1))),
        "bad.dxf, wiersz 15: helisy (HELIX) o uchwycie 3A nie można narysować: wektor węzłów jest za krótki: "
        "węzły: 7, potrzeba 8 (stopień 3, punkty kontrolne: 4)");
}

// Records kept as read hold numbers too: nan, an infinity or text where the code holds a number
// refuses the file at its line, as it does in every record the reader models.
TEST(DxfBadInput, NumbersOfRecordsKeptAsReadAreNumbers) {
    const QStringList ellipse{"0",  "ELLIPSE", "5",           "4B", "100", "AcDbEntity", "8",
                              "0",  "100",     "AcDbEllipse", "10", "1",   "20",         "2",
                              "30", "0",       "11",          "5",  "21",  "0",          "31",
                              "0",  "40",      "0.5",         "41", "0",   "42",         "6.283185307179586"};
    EXPECT_EQ(failure(file(tags(ellipse))), "");
    for (const char* bad : {"nan", "inf", "1.#QNAN"}) {
        QStringList broken = ellipse;
        broken[broken.indexOf("0.5")] = QString::fromLatin1(bad);
        const QByteArray data = file(tags(broken));
        const std::string msg = failure(data);
        EXPECT_NE(msg.find("bad.dxf, wiersz " + std::to_string(lineOf(data, "40\n" + QByteArray(bad)))),
                  std::string::npos)
            << msg;
    }
    // Every range of number codes, at its first and last code; the codes just outside them hold
    // text, integers and handles, read as they stand.
    for (int code : {10, 59, 110, 149, 210, 239, 460, 469}) {
        QStringList broken = ellipse;
        broken << QString::number(code) << "nan";
        EXPECT_NE(failure(file(tags(broken))), "") << code;
    }
    for (int code : {9, 60, 109, 150, 209, 240, 459, 470}) {
        QStringList other = ellipse;
        other << QString::number(code) << "x";
        EXPECT_EQ(failure(file(tags(other))), "") << code;
    }
    // Text of the extended data is text, "nan" too.
    QStringList named = ellipse;
    named << "1001"
          << "ACAD"
          << "1000"
          << "nan";
    EXPECT_EQ(failure(file(tags(named))), "");
}

}  // namespace
