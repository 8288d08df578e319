// What every drawing holds: the standard records, model and paper space with their layouts, the
// root dictionary, the header defaults, and the linetypes the engine defines itself.
#include "platform/cad/engine/Database.h"

#include "platform/cad/engine/DatabaseImpl.h"

namespace cad::db {

namespace {

struct LinetypeDef {
    const char* name;
    const char* description;
    std::vector<double> pattern;
};

// Dash patterns in drawing units (the ISO ones in millimetres at pen width 1.00).
const std::vector<LinetypeDef>& linetypeDefs() {
    static const std::vector<LinetypeDef> defs = {
        {"ACAD_ISO02W100", "ISO dash __ __ __ __ __ __ __ __ __ __ __ __ __", {12, -3}},
        {"ACAD_ISO03W100", "ISO dash space __    __    __    __    __    __", {12, -18}},
        {"ACAD_ISO04W100", "ISO long-dash dot ____ . ____ . ____ . ____ . _", {24, -3, 0, -3}},
        {"ACAD_ISO05W100", "ISO long-dash double-dot ____ .. ____ .. ____ . ", {24, -3, 0, -3, 0, -3}},
        {"ACAD_ISO07W100", "ISO dot . . . . . . . . . . . . . . . . . . . . ", {0, -3}},
        {"ACAD_ISO10W100", "ISO dash dot __ . __ . __ . __ . __ . __ . __ . ", {12, -3, 0, -3}},
        {"DASHED", "Dashed __ __ __ __ __ __ __ __ __ __ __ __ __ _", {0.5, -0.25}},
        {"HIDDEN", "Hidden __ __ __ __ __ __ __ __ __ __ __ __ __ __", {0.25, -0.125}},
        {"CENTER", "Center ____ _ ____ _ ____ _ ____ _ ____ _ ____", {1.25, -0.25, 0.25, -0.25}},
        {"DOT", "Dot . . . . . . . . . . . . . . . . . . . . . . . .", {0, -0.25}},
        {"DASHDOT", "Dash dot __ . __ . __ . __ . __ . __ . __ . __", {0.5, -0.25, 0, -0.25}},
    };
    return defs;
}

Tags activeViewportTags() {
    auto t = [](int c, const char* v) { return Tag{c, QString::fromLatin1(v)}; };
    return {t(100, "AcDbSymbolTableRecord"),
            t(100, "AcDbViewportTableRecord"),
            t(2, "*Active"),
            t(70, "0"),
            t(10, "0.0"),
            t(20, "0.0"),
            t(11, "1.0"),
            t(21, "1.0"),
            t(12, "0.0"),
            t(22, "0.0"),
            t(13, "0.0"),
            t(23, "0.0"),
            t(14, "10.0"),
            t(24, "10.0"),
            t(15, "10.0"),
            t(25, "10.0"),
            t(16, "0.0"),
            t(26, "0.0"),
            t(36, "1.0"),
            t(17, "0.0"),
            t(27, "0.0"),
            t(37, "0.0"),
            t(40, "1000.0"),
            t(41, "1.5"),
            t(42, "50.0"),
            t(43, "0.0"),
            t(44, "0.0"),
            t(50, "0.0"),
            t(51, "0.0"),
            t(71, "0"),
            t(72, "1000"),
            t(73, "1"),
            t(74, "3"),
            t(75, "0"),
            t(76, "0"),
            t(77, "0"),
            t(78, "0")};
}

Tags layoutTags(const QString& name, int tabOrder, quint64 blockRecord, bool model) {
    auto t = [](int c, const QString& v) { return Tag{c, v}; };
    auto n = [](int c, const char* v) { return Tag{c, QString::fromLatin1(v)}; };
    return {n(100, "AcDbPlotSettings"),
            n(1, ""),
            n(2, "none_device"),
            n(4, ""),
            n(6, ""),
            n(40, "0.0"),
            n(41, "0.0"),
            n(42, "0.0"),
            n(43, "0.0"),
            n(44, "0.0"),
            n(45, "0.0"),
            n(46, "0.0"),
            n(47, "0.0"),
            n(48, "0.0"),
            n(49, "0.0"),
            n(140, "0.0"),
            n(141, "0.0"),
            n(142, "1.0"),
            n(143, "1.0"),
            t(70, model ? QStringLiteral("1712") : QStringLiteral("688")),
            n(72, "0"),
            n(73, "0"),
            n(74, "5"),
            n(7, ""),
            n(75, "16"),
            n(147, "1.0"),
            n(148, "0.0"),
            n(149, "0.0"),
            n(100, "AcDbLayout"),
            t(1, name),
            t(70, model ? QStringLiteral("1") : QStringLiteral("0")),
            t(71, QString::number(tabOrder)),
            n(10, "0.0"),
            n(20, "0.0"),
            n(11, "420.0"),
            n(21, "297.0"),
            n(12, "0.0"),
            n(22, "0.0"),
            n(32, "0.0"),
            n(14, "0.0"),
            n(24, "0.0"),
            n(34, "0.0"),
            n(15, "0.0"),
            n(25, "0.0"),
            n(35, "0.0"),
            n(146, "0.0"),
            n(13, "0.0"),
            n(23, "0.0"),
            n(33, "0.0"),
            n(16, "1.0"),
            n(26, "0.0"),
            n(36, "0.0"),
            n(17, "0.0"),
            n(27, "1.0"),
            n(37, "0.0"),
            n(76, "0"),
            t(330, handleToText(blockRecord))};
}

}  // namespace

QStringList Database::knownLinetypes() {
    QStringList out;
    for (const auto& def : linetypeDefs()) out << QString::fromLatin1(def.name);
    return out;
}

Linetype* Database::loadLinetype(const QString& name) {
    if (Linetype* lt = linetypes_.find(name)) return lt;
    for (const auto& def : linetypeDefs()) {
        if (name.compare(QLatin1String(def.name), Qt::CaseInsensitive) == 0)
            return addLinetype(QString::fromLatin1(def.name), QString::fromLatin1(def.description),
                               def.pattern);
    }
    throw NotFound(QStringLiteral("Rodzaj linii %1 nie jest zdefiniowany").arg(name));
}

void Database::ensureDefaults() {
    for (quint64* h : {&layers_.tableHandle, &linetypes_.tableHandle, &textStyles_.tableHandle,
                       &dimStyles_.tableHandle, &appIds_.tableHandle, &vports_.tableHandle,
                       &views_.tableHandle, &ucss_.tableHandle, &blockRecordTableHandle})
        if (*h == 0) *h = nextHandle_++;

    {
        auto def = [&](const char* name, Tags tags) {
            if (!headerVariable(QLatin1String(name))) setHeaderVariable(QLatin1String(name), tags);
        };
        auto tag = [](int c, const char* v) { return Tag{c, QString::fromLatin1(v)}; };
        def("$ACADVER", {tag(1, "AC1015")});
        def("$ACADMAINTVER", {tag(70, "6")});
        def("$DWGCODEPAGE", {tag(3, "ANSI_1250")});
        def("$INSBASE", {tag(10, "0.0"), tag(20, "0.0"), tag(30, "0.0")});
        def("$EXTMIN", {tag(10, "0.0"), tag(20, "0.0"), tag(30, "0.0")});
        def("$EXTMAX", {tag(10, "0.0"), tag(20, "0.0"), tag(30, "0.0")});
        def("$LIMMIN", {tag(10, "0.0"), tag(20, "0.0")});
        def("$LIMMAX", {tag(10, "420.0"), tag(20, "297.0")});
        def("$LTSCALE", {tag(40, "1.0")});
        def("$TEXTSIZE", {tag(40, "2.5")});
        def("$CLAYER", {tag(8, "0")});
        def("$CELTYPE", {tag(6, "ByLayer")});
        def("$CECOLOR", {tag(62, "256")});
        def("$CELTSCALE", {tag(40, "1.0")});
        def("$CELWEIGHT", {tag(370, "-1")});
        def("$TEXTSTYLE", {tag(7, "Standard")});
        def("$DIMSTYLE", {tag(2, "Standard")});
        def("$ANGBASE", {tag(50, "0.0")});
        def("$ANGDIR", {tag(70, "0")});
        def("$MEASUREMENT", {tag(70, "1")});
        def("$INSUNITS", {tag(70, "0")});  // a file that declares no units keeps declaring none
    }

    if (!layers_.find(QStringLiteral("0"))) newRecord(layers_, QStringLiteral("0"), 0);
    for (const char* n : {"ByBlock", "ByLayer", "Continuous"}) {
        if (!linetypes_.find(QLatin1String(n))) {
            Linetype* lt = newRecord(linetypes_, QLatin1String(n), 0);
            if (QLatin1String(n) == QLatin1String("Continuous"))
                lt->description = QStringLiteral("Solid line");
        }
    }
    if (!textStyles_.find(QStringLiteral("Standard"))) {
        TextStyle* s = newRecord(textStyles_, QStringLiteral("Standard"), 0);
        s->font = QStringLiteral("arial.ttf");
    }
    if (!dimStyles_.find(QStringLiteral("Standard"))) newRecord(dimStyles_, QStringLiteral("Standard"), 0);
    if (!appIds_.find(QStringLiteral("ACAD"))) newRecord(appIds_, QStringLiteral("ACAD"), 0);
    if (!vports_.find(QStringLiteral("*Active"))) {
        RawTableRecord* vp = newRecord(vports_, QStringLiteral("*Active"), 0);
        vp->tableName = QStringLiteral("VPORT");
        vp->tags = activeViewportTags();
    }

    if (!modelSpace_) modelSpace_ = findBlock(QStringLiteral("*Model_Space"));
    if (!modelSpace_) modelSpace_ = adoptBlock(QStringLiteral("*Model_Space"), 0);
    if (!paperSpace_) paperSpace_ = findBlock(QStringLiteral("*Paper_Space"));
    if (!paperSpace_) paperSpace_ = adoptBlock(QStringLiteral("*Paper_Space"), 0);
    for (const auto& b : d->blocks) {
        if (b->blockEntityHandle == 0) b->blockEntityHandle = nextHandle_++;
        if (b->endblkHandle == 0) b->endblkHandle = nextHandle_++;
    }

    if (!root_) {
        root_ = addDictionary(0);
        root_->hardOwner = 0;
    }
    if (!dictionaryObject(root_, QStringLiteral("ACAD_GROUP"))) {
        addDictionaryObject(root_, QStringLiteral("ACAD_GROUP"), QStringLiteral("AcDbDictionary"));
    }
    auto* layouts = dictionaryObject(root_, QStringLiteral("ACAD_LAYOUT"));
    if (!layouts) {
        auto* dict = static_cast<Dictionary*>(
            addDictionaryObject(root_, QStringLiteral("ACAD_LAYOUT"), QStringLiteral("AcDbDictionary")));
        int tab = 0;
        for (BlockDefinition* b : {modelSpace_, paperSpace_}) {
            const bool model = b == modelSpace_;
            const QString name = model ? QStringLiteral("Model") : QStringLiteral("Layout1");
            RawObject* layout = addRawObject(QStringLiteral("LAYOUT"), 0);
            layout->ownerHandle = dict->handle();
            layout->reactors.push_back(dict->handle());
            layout->tags = layoutTags(name, tab++, b->handle(), model);
            dict->entries.push_back({name, layout->handle(), true});
            b->layoutHandle = layout->handle();
        }
    }
    if (summaryInfoHandle == 0) summaryInfoHandle = nextHandle_++;
    rebuildIndexes();
}

}  // namespace cad::db
