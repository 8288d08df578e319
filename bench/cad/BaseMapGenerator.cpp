// Deterministic content so that runs compare: a fixed pseudo-random sequence places everything.
#include "BaseMapGenerator.h"

#include <cmath>

namespace cadbench {

using namespace cad::db;

std::unique_ptr<Database> generateBaseMap(int entityCount) {
    auto db = std::make_unique<Database>();
    quint32 state = 12345;
    auto rnd = [&]() {
        state = state * 1664525u + 1013904223u;
        return double(state >> 8) / double(1 << 24);
    };
    const QStringList layers = {"0",
                                "113-STRUMIENIE_RUCHU",
                                "114-PUNKTY_KOLIZJI",
                                "400-DLUGOSCI_STRUMIENI",
                                "MAPA-BUDYNKI",
                                "MAPA-JEZDNIE",
                                "MAPA-OPISY",
                                "MAPA-ZIELEŃ"};
    for (const QString& l : layers) db->addLayer(l)->color = 1 + int(rnd() * 200);
    db->addTextStyle("SYGN_TXT")->height = 1.5;
    // Stream blocks with attributes and markers, 200 names.
    QStringList blockNames;
    for (int i = 1; i <= 200; ++i) {
        const QString name = i % 2 ? QStringLiteral("12^STRUMIEN_%1^K%2").arg(i).arg(i % 17)
                                   : QStringLiteral("12^POCZATEK_STRUMIEN_K%1_%2").arg(i % 17).arg(i);
        BlockDefinition* b = db->addBlock(name);
        db->addLine(b, {0, 0, 0}, {1000.0 + i, 500, 0})->color = 0;
        db->addArc(b, {0, 0, 0}, 375, 0, M_PI);
        db->addAttributeDefinition(b, 3.5, 9, "", {0, 0, 0}, "GRUPY", "K1");
        db->addAttributeDefinition(b, 3.5, 0, "FAZY", {0, 5, 0}, "FAZY", "1,2");
        blockNames << name;
    }
    BlockDefinition* ms = db->modelSpace();
    for (int i = 0; i < entityCount; ++i) {
        const double x = rnd() * 100000, y = rnd() * 100000;
        const QString layer = layers[int(rnd() * layers.size()) % layers.size()];
        db->setVariable("CLAYER", layer);
        Entity* e = nullptr;
        switch (i % 10) {
            case 0:
            case 1:
            case 2:
                e = db->addLine(ms, {x, y, 0}, {x + rnd() * 50, y + rnd() * 50, 0});
                break;
            case 3:
                e = db->addArc(ms, {x, y, 0}, 1 + rnd() * 30, rnd() * 6, rnd() * 6);
                break;
            case 4:
                e = db->addCircle(ms, {x, y, 0}, 1 + rnd() * 10);
                break;
            case 5: {
                std::vector<Vertex> v;
                for (int k = 0; k < 6; ++k)
                    v.push_back(Vertex{x + k * 3, y + rnd() * 5, k == 2 ? 0.4 : 0, 0, 0});
                e = db->addLwPolyline(ms, v, i % 20 == 5);
                break;
            }
            case 6:
                e = db->addText(ms, QStringLiteral("Ulica Żółkiewskiego %1").arg(i), {x, y, 0}, 2.5);
                break;
            case 7:
            case 8:
                e = db->insertBlock(ms, {x, y, 0},
                                    blockNames[int(rnd() * blockNames.size()) % blockNames.size()], 1, 1, 1,
                                    rnd() * 6);
                break;
            case 9:
                e = db->addPoint(ms, {x, y, 0});
                break;
        }
        (void)e;
    }
    db->setVariable("CLAYER", "0");
    db->summaryInfo().addCustom("SKALA", "500");
    db->summaryInfo().addCustom("WERSJA_DOKUMENTU", "4");
    return db;
}

}  // namespace cadbench
