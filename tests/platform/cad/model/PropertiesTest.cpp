// Drawing properties, system variables, the draw order.
#include "ModelFixture.h"

using namespace cadtest;

class CadModelProperties : public ModelTest {};
CADMODEL_CHANNELS(CadModelProperties);

TEST_P(CadModelProperties, CustomPropertiesKeepTheirOrder) {
    const cad::SummaryInfo info = doc.summaryInfo();
    EXPECT_THROW(info.getCustomByKey(QStringLiteral("SKALA")), cad::NotFound);
    EXPECT_THROW(info.setCustomByKey(QStringLiteral("SKALA"), QStringLiteral("500")), cad::NotFound);
    info.addCustomInfo(QStringLiteral("SKALA"), QStringLiteral("500"));
    info.addCustomInfo(QStringLiteral("GRUPA_K1"), QStringLiteral("1"));
    info.addCustomInfo(QStringLiteral("WERSJA_DOKUMENTU"), QStringLiteral("1"));
    info.addCustomInfo(QStringLiteral("FAZA_K1"), QStringLiteral("2"));
    info.setCustomByKey(QStringLiteral("WERSJA_DOKUMENTU"), QStringLiteral("4"));
    ASSERT_EQ(info.numCustomInfo(), 4);
    EXPECT_EQ(info.getCustomByIndex(2),
              std::make_pair(QStringLiteral("WERSJA_DOKUMENTU"), QStringLiteral("4")));

    // The format upgrade: last to first, removing the old keys.
    for (int i = info.numCustomInfo() - 1; i >= 0; --i) {
        const QString key = info.getCustomByIndex(i).first;
        if (key.startsWith(QStringLiteral("GRUPA_")) || key.startsWith(QStringLiteral("FAZA_")))
            info.removeCustomByIndex(i);
    }
    ASSERT_EQ(info.numCustomInfo(), 2);
    EXPECT_EQ(info.getCustomByIndex(0).first, QStringLiteral("SKALA"));
    EXPECT_EQ(info.getCustomByIndex(1).first, QStringLiteral("WERSJA_DOKUMENTU"));
    EXPECT_THROW(info.getCustomByIndex(2), cad::NotFound);

    info.setTitle(QStringLiteral("Skrzyżowanie 12"));
    EXPECT_EQ(doc.summaryInfo().title(), QStringLiteral("Skrzyżowanie 12"));
}

TEST_P(CadModelProperties, SystemVariablesAreCoercedAndChecked) {
    EXPECT_EQ(doc.getVariable(QStringLiteral("CLAYER")).toText(), QStringLiteral("0"));
    doc.setVariable(QStringLiteral("CECOLOR"), QStringLiteral("256"));
    EXPECT_EQ(doc.getVariable(QStringLiteral("CECOLOR")).toText().toUpper(), QStringLiteral("BYLAYER"));
    doc.setVariable(QStringLiteral("CELWEIGHT"), -1.0);  // a whole number passed as a double
    EXPECT_EQ(doc.getVariable(QStringLiteral("CELWEIGHT")).toInt(), -1);
    doc.setVariable(QStringLiteral("ANGBASE"), 0);
    EXPECT_DOUBLE_EQ(doc.getVariable(QStringLiteral("ANGBASE")).toDouble(), 0.0);
    doc.setVariable(QStringLiteral("LTSCALE"), 50.0);
    EXPECT_DOUBLE_EQ(doc.getVariable(QStringLiteral("ltscale")).toDouble(), 50.0);

    // A value the drawing refuses raises: a layer deleted meanwhile, an unknown style.
    EXPECT_THROW(doc.setVariable(QStringLiteral("CLAYER"), QStringLiteral("BRAK")), cad::InvalidArgument);
    EXPECT_THROW(doc.setVariable(QStringLiteral("TEXTSTYLE"), QStringLiteral("BRAK")), cad::InvalidArgument);
    EXPECT_THROW(doc.setVariable(QStringLiteral("LASTPROMPT"), QStringLiteral("x")), cad::InvalidArgument);
    EXPECT_THROW(doc.getVariable(QStringLiteral("NO_SUCH_VARIABLE")), cad::NotFound);

    doc.setVariable(QStringLiteral("LASTPOINT"), cad::Point{3, 4, 0});
    EXPECT_EQ(doc.getVariable(QStringLiteral("LASTPOINT")).toPoint(), (cad::Point{3, 4, 0}));
}

TEST_P(CadModelProperties, SaveSetAndRestoreAsTheProgramsDo) {
    doc.layers().add(QStringLiteral("113-STRUMIENIE_RUCHU"));
    doc.setVariable(QStringLiteral("CLAYER"), QStringLiteral("113-STRUMIENIE_RUCHU"));
    const QStringList names{QStringLiteral("CECOLOR"),   QStringLiteral("CLAYER"),
                            QStringLiteral("TEXTSTYLE"), QStringLiteral("CELTYPE"),
                            QStringLiteral("CELWEIGHT"), QStringLiteral("ANGBASE"),
                            QStringLiteral("CELTSCALE")};
    QList<cad::Variant> saved;
    for (const QString& n : names) saved << doc.getVariable(n);
    doc.setVariable(QStringLiteral("CECOLOR"), QStringLiteral("7"));
    doc.setVariable(QStringLiteral("CELTYPE"), QStringLiteral("Continuous"));
    doc.setVariable(QStringLiteral("CELWEIGHT"), 0);
    doc.setVariable(QStringLiteral("ANGBASE"), 0);
    doc.setVariable(QStringLiteral("CELTSCALE"), 1);
    EXPECT_EQ(ms.addLine({0, 0, 0}, {1, 0, 0}).color(), 7);
    for (int i = 0; i < names.size(); ++i) doc.setVariable(names[i], saved[i]);
    for (int i = 0; i < names.size(); ++i)
        EXPECT_EQ(doc.getVariable(names[i]), saved[i]) << names[i].toStdString();
    EXPECT_EQ(ms.addLine({0, 0, 0}, {1, 0, 0}).layer(), QStringLiteral("113-STRUMIENIE_RUCHU"));

    // The dimension variables set before "DIM_STYLE" is made.
    doc.textStyles().add(QStringLiteral("DIM_TXT"));
    const QList<std::pair<QString, cad::Variant>> dims{
        {QStringLiteral("DIMTXSTY"), QStringLiteral("DIM_TXT")},
        {QStringLiteral("DIMASZ"), 0.5},
        {QStringLiteral("DIMTVP"), 0.0},
        {QStringLiteral("DIMALTF"), 25.4},
        {QStringLiteral("DIMCEN"), 0.09},
        {QStringLiteral("DIMCLRD"), 5},
        {QStringLiteral("DIMCLRE"), 5},
        {QStringLiteral("DIMCLRT"), 5},
        {QStringLiteral("DIMDLI"), 0.38},
        {QStringLiteral("DIMEXE"), 0.18},
        {QStringLiteral("DIMEXO"), 0.0625},
        {QStringLiteral("DIMSAH"), 0},
        {QStringLiteral("DIMDEC"), 0},
        {QStringLiteral("DIMTIH"), 1},
        {QStringLiteral("DIMTOH"), 1},
        {QStringLiteral("DIMGAP"), 0.09}};
    for (const auto& [name, value] : dims) {
        doc.setVariable(name, value);
        const cad::Variant back = doc.getVariable(name);
        if (value.type() == cad::Variant::Text)
            EXPECT_EQ(back.toText(), value.toText()) << name.toStdString();
        else
            EXPECT_DOUBLE_EQ(back.toDouble(), value.toDouble()) << name.toStdString();
    }
    EXPECT_THROW(doc.setVariable(QStringLiteral("DIMTXSTY"), QStringLiteral("BRAK")), cad::InvalidArgument);
    EXPECT_THROW(doc.setVariable(QStringLiteral("CECOLOR"), QStringLiteral("300")), cad::InvalidArgument);
    EXPECT_THROW(doc.setVariable(QStringLiteral("CELWEIGHT"), 33), cad::InvalidArgument);
    EXPECT_THROW(doc.setVariable(QStringLiteral("ANGBASE"), QStringLiteral("abc")), cad::InvalidArgument);
}

TEST_P(CadModelProperties, DrawOrderTable) {
    const cad::Entity first = ms.addCircle({0, 0, 0}, 1);
    const cad::Entity second = ms.addCircle({0, 0, 0}, 2);
    const cad::Dictionary dict = ms.extensionDictionary();
    EXPECT_THROW(dict.getObject(QStringLiteral("ACAD_SORTENTS")), cad::NotFound);
    const cad::SortentsTable table =
        dict.addObject(QStringLiteral("ACAD_SORTENTS"), QStringLiteral("AcDbSortentsTable"));
    EXPECT_EQ(cad::SortentsTable(dict.getObject(QStringLiteral("ACAD_SORTENTS"))), table);
    table.moveToTop({first});
    EXPECT_EQ(table.fullDrawOrder(), (QList<cad::Entity>{second, first}));
    // The draw order is not the model-space order.
    EXPECT_EQ(ms.item(1), second);
}
