// Every modelled kind with non-default values in every field the writer handles.
#include "Sample.h"

#include <cmath>

using namespace cad::db;

namespace cadtest {

Sample makeSample() {
    Sample s;
    s.db = std::make_unique<Database>();
    Database& db = *s.db;
    BlockDefinition* ms = db.modelSpace();

    Layer* streams = db.addLayer("113-STRUMIENIE_RUCHU");
    streams->color = 5;
    streams->lineweight = 30;
    Layer* green = db.addLayer("MAPA-ZIELEŃ");
    green->trueColor = 0x12AB34;
    green->on = false;
    green->locked = true;
    Layer* frozen = db.addLayer("000-OSNOWA");
    frozen->frozen = true;
    db.loadLinetype("ACAD_ISO03W100");
    frozen->linetype = "ACAD_ISO03W100";
    TextStyle* style = db.addTextStyle("SYGN_TXT");
    style->height = 1.5;
    style->font = "arial.ttf";
    style->typeface = "Arial";
    db.addAppId("TESMAR");
    db.setVariable("DIMASZ", 0.5);
    db.copyDimVariablesTo(db.addDimStyle("DIM_STYLE"));

    s.line = db.addLine(ms, {1, 2, 0}, {3.25, -4.5, 0});
    db.setLayer(s.line, "113-STRUMIENIE_RUCHU");
    s.line->color = 0;
    s.line->linetype = "ACAD_ISO03W100";
    s.line->lineweight = 30;
    s.line->linetypeScale = 2.5;
    s.line->xdata = {{1001, "TESMAR"}, {1000, "strumień K1"}, {1040, "3.5"}};
    s.arc = db.addArc(ms, {10, 10, 0}, 375, 0.25, 5.5);
    s.arc->trueColor = 0xFF0000;
    s.arc->color = 1;
    s.circle = db.addCircle(ms, {-5, 7, 0}, 150);
    s.circle->visible = false;
    s.lw = db.addLwPolyline(
        ms, {{0, 0, 0, 0, 0}, {8000, 0, 0.5, 0, 0}, {8000, 4000, 0, 1, 2}, {0, 4000, 0, 0, 0}}, true);
    s.pl2d = db.addEntity(ms, EntityKind::Polyline2d);
    s.pl2d->as<Polyline2dData>().vertices = {{0, 0, 0, 0, 0}, {5, 5, -0.25, 0, 0}, {10, 0, 0, 0, 0}};
    s.pl2d->as<Polyline2dData>().closed = true;
    db.setVariable("TEXTSTYLE", QString("SYGN_TXT"));
    s.text = db.addText(ms, "Zażółć gęślą jaźń Ω", {100, 200, 0}, 2.5);
    auto& td = s.text->as<TextData>();
    td.setAlignment(13);
    td.alignmentPoint = {110, 205, 0};
    td.rotation = M_PI / 2;
    td.widthFactor = 0.8;
    s.mtext = db.addMText(ms, {50, 60, 0}, 11.55,
                          "Faza /\r\nprzejście\r\nmiędzy-\r\nfazowe\r\n(s)" + QString(300, 'x'));
    s.mtext->as<MTextData>().height = 1.5;
    s.mtext->as<MTextData>().attachment = 5;
    s.mtext->color = 7;
    s.point = db.addPoint(ms, {1.5, 2.5, 0});

    Entity* boundary = db.addCircle(ms, {0, 0, 0}, 150);
    s.solid = db.addHatch(ms, 1, "SOLID", true);
    db.appendHatchLoop(s.solid, {boundary});
    s.solid->color = 2;
    Entity* frame =
        db.addLwPolyline(ms, {{0, 0, 0, 0, 0}, {20, 0, 0, 0, 0}, {20, -4, 0, 0, 0}, {0, -4, 0, 0, 0}}, true);
    s.pattern = db.addHatch(ms, 0, "ANSI31", true);
    db.appendHatchLoop(s.pattern, {frame});
    s.pattern->as<HatchData>().patternScale = 0.314;
    s.pattern->as<HatchData>().patternAngle = 0.785;
    Entity* l1 = db.addLine(ms, {0, 0, 0}, {10, 0, 0});
    Entity* a1 = db.addArc(ms, {0, 0, 0}, 10, 0, M_PI / 2);
    Entity* l2 = db.addLine(ms, {0, 10, 0}, {0, 0, 0});
    s.region = db.addRegions(ms, {l1, a1, l2}).front();

    BlockDefinition* b = db.addBlock("12^POJPIESZ_STRUMIEN_3");
    db.addCircle(b, {0, 0, 0}, 150)->color = 0;
    s.attdef = db.addAttributeDefinition(b, 3.5, 9, "", {1, 2, 0}, "POJPIESZ_STRUMIEN1", "^K1");
    Entity* visible = db.addAttributeDefinition(b, 2.0, 0, "OPIS", {0, -3.25, 0}, "OPIS", "opis");
    visible->as<AttributeData>().setAlignment(13);
    visible->as<AttributeData>().alignmentPoint = {4, -3.25, 0};
    db.addAttributeDefinition(b, 1, 2, "", {0, 0, 0}, "STALY", "c");
    db.addLayer("114-PUNKTY_KOLIZJI");
    db.setVariable("CLAYER", QString("114-PUNKTY_KOLIZJI"));
    s.ref = db.insertBlock(ms, {500, 600, 0}, "12^POJPIESZ_STRUMIEN_3", 2, 3, 1, 0.5);
    db.attributes(s.ref)[0]->as<AttributeData>().text = "^P2";
    db.setVariable("CLAYER", QString("0"));

    db.setActiveDimStyle(db.dimStyles().find("DIM_STYLE"));
    s.aligned = db.addDimAligned(ms, {0, 0, 0}, {30, 0, 0}, {15, -5, 0});
    s.ordinate = db.addDimOrdinate(ms, {12, 3, 0}, {12, 10, 0}, true);
    s.ordinate->as<DimensionData>().textOverride = "12";

    SummaryInfo& info = db.summaryInfo();
    info.title = "Skrzyżowanie 12";
    info.author = "Projektant";
    info.comments = "uwagi";
    for (int i = 0; i < 13; ++i) info.addCustom(QString("KLUCZ_%1").arg(i), QString("wartość=%1").arg(i));
    info.addCustom("SKALA", "500");
    db.moveToTop({s.circle, s.line});
    return s;
}

}  // namespace cadtest
