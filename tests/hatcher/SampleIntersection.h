// The sample base map with the streams of intersection 7 drawn as conflictor stores them: stream
// blocks, start and end markers on "113-STRUMIENIE_RUCHU" and the attribute block with the phases
// K1:1,3  K2:2  S1:2 (conditional, dashed)  P1:4 (a variant, P1[2]).
#pragma once

#include "automation/Automation.h"

#include <map>
#include <numbers>

namespace hatcher::test {

inline const char* SampleMapPath() {
    return SUITE_SOURCE_DIR "/resources/Tesmar/Zasoby/Przyklad.dxf";
}

// Adds the streams to the active drawing; returns the number of stream-layer pieces per phase.
inline std::map<int, int> AddSampleStreams() {
    using automation::CadDocument;
    using automation::CadModelSpace;
    const QString layer = QStringLiteral("113-STRUMIENIE_RUCHU");
    automation::EnsureLayer(layer, false, 5, -10);
    auto block = [&](const QString& name) { return CadDocument.blocks().add(cad::Point{0, 0, 0}, name); };
    auto place = [&](const QString& name) {
        cad::Entity r = CadModelSpace.insertBlock(cad::Point{0, 0, 0}, name, 1, 1, 1, 0);
        r.setLayer(layer);
        return r;
    };
    cad::Block k1 = block(QStringLiteral("7^STRUMIEN_1^K1"));
    k1.addLine({-45, -3.5, 0}, {45, -3.5, 0});
    cad::Block k2 = block(QStringLiteral("7^STRUMIEN_2^K2"));
    k2.addLine({1.75, -45, 0}, {1.75, -8.25, 0});
    k2.addArc({-8.25, -8.25, 0}, 10, 0, std::numbers::pi / 2);
    k2.addLine({-8.25, 1.75, 0}, {-45, 1.75, 0});
    cad::Block s1 = block(QStringLiteral("7^STRUMIEN_3^S1"));
    s1.addLine({-45, -5.25, 0}, {-6, -5.25, 0});
    s1.addLine({-6, -5.25, 0}, {-1.75, -45, 0});
    cad::Block p1 = block(QStringLiteral("7^STRUMIEN_4^P1[2]"));
    p1.addLine({-20, -9, 0}, {-20, 9, 0});
    for (const QString& name :
         {QStringLiteral("7^POCZATEK_STRUMIEN_K1_5"), QStringLiteral("7^KONIEC_STRUMIEN_K1_6")}) {
        cad::Block m = block(name);
        const double x = name.contains(QLatin1String("POCZATEK")) ? -25 : 25;
        m.addCircle({x, -3.5, 0}, 0.8);
        m.addLine({x - 0.8, -3.5, 0}, {x + 0.8, -3.5, 0});
    }
    for (const QString& name :
         {QStringLiteral("7^STRUMIEN_1^K1"), QStringLiteral("7^STRUMIEN_2^K2"),
          QStringLiteral("7^STRUMIEN_3^S1"), QStringLiteral("7^STRUMIEN_4^P1[2]"),
          QStringLiteral("7^POCZATEK_STRUMIEN_K1_5"), QStringLiteral("7^KONIEC_STRUMIEN_K1_6")})
        place(name);
    cad::Block attrs = block(QStringLiteral("ATRYBUTY_STRUMIENI_7"));
    automation::AddAttributeDefinition(attrs, QStringLiteral("FAZY"),
                                       QStringLiteral("K1:1,3^K2:2^S1:2^P1:4^"), 0, 0);
    place(QStringLiteral("ATRYBUTY_STRUMIENI_7"));
    return {{1, 5}, {2, 5}, {3, 5}, {4, 1}};
}

}  // namespace hatcher::test
