// Inventory attributes of heads and screens.
#include "headplacer/logic/Inventory.h"

#include "automation/CadConnection.h"
#include "automation/DrawingProperties.h"
#include "common/Ini.h"
#include "headplacer/logic/HeadState.h"
#include "headplacer/logic/Settings.h"
#include "platform/cad/AttributeReads.h"
#include "platform/cad/BulkReads.h"
#include "platform/cad/Document.h"
#include "platform/cad/engine/Errors.h"

namespace headplacer {

QString FormatInventoryDate(const QDate& date) {
    return date.toString(QLatin1String(InventoryDateFormat));
}

namespace {
AttributeValues dialogValues(const InventoryValues& v) {
    return {
        {QStringLiteral("KTO_NANIOSL"), v.EnteredBy},
        {QStringLiteral("NAZWA_ULICY"), v.StreetName},
        {QStringLiteral("ZLECENIE_WNIOS"), v.Applicant},
        {QStringLiteral("REALIZACJA_WYK"), v.Contractor},
        {QStringLiteral("REALIZACJA_DATA"), v.RealisationDate},
        {QStringLiteral("ZLECENIE_DATA"), v.OrderDate},
        {QStringLiteral("ZLECENIE_NUMER"), v.OrderNumber},
        {QStringLiteral("INWENT_DATA"), v.InventoryDate},
    };
}
}  // namespace

AttributeValues HeadAttributeValues(const InventoryValues& v) {
    AttributeValues a = {
        {QStringLiteral("INWENT_NUMER"), InventoryNumber},
        {QStringLiteral("NUMER_SKRZYZ"), IntersectionNumber},
        {QStringLiteral("TYP"), HeadTypeText},
        {QStringLiteral("SREDN_SOCZ"), QString::number(LensDiameter)},
        {QStringLiteral("ZRODLO_SW"), LightSourceCode},
        {QStringLiteral("WKLADY_ANTYZL"), QString::number(InsertCode)},
        {QStringLiteral("SYGN_AKUST"), AcousticSignals ? QStringLiteral("TAK") : QString()},
    };
    a += dialogValues(v);
    a.append({QStringLiteral("UWAGI"), v.Remarks});
    return a;
}

AttributeValues ScreenAttributeValues(const InventoryValues& v) {
    AttributeValues a = {{QStringLiteral("INWENT_NUMER"), InventoryNumber},
                         {QStringLiteral("NUMER_SKRZYZ"), IntersectionNumber}};
    return a + dialogValues(v);
}

int WriteAttributeValues(const cad::Entity& reference, const AttributeValues& values) {
    // The attributes and their tags in one read.
    const cad::Document& doc = automation::CadDocument;
    const cad::VariantList rows =
        cad::ReadAttributes(doc, {cad::Variant(reference.ref())}, {QStringLiteral("TagString")}).value(0).toArray();
    if (rows.isEmpty()) return 0;
    cad::VariantList attributes, tags;
    for (const cad::Variant& r : rows) {
        const cad::VariantList row = r.toArray();
        attributes << row.value(0);
        tags << cad::Variant(cad::VariantList{row.value(1)});
    }
    int written = 0;
    for (qsizetype i = 0; i < attributes.size(); ++i) {
        const QString tag = tags.value(i).toArray().value(0).toText().toUpper();
        for (const auto& [t, value] : values) {
            if (t != tag) continue;
            if (!value.isEmpty()) {
                cad::Entity(doc.channel(), attributes[i].toObject()).setTextString(value);
                ++written;
            }
            break;
        }
    }
    reference.update();
    return written;
}

QStringList ApplyInventory(const InventoryValues& values) {
    using automation::CadDocument;
    QStringList notWritten;
    // A head or screen erased meanwhile (or refused) misses its values, and is named; the street
    // and the remembered values are still kept. A lost host is thrown: nothing more can be written.
    const auto write = [&](const QString& handle, const AttributeValues& v, const QString& what) {
        try {
            WriteAttributeValues(CadDocument.handleToObject(handle), v);
        } catch (const cad::ConnectionLost&) {
            throw;
        } catch (const cad::Error& e) {
            notWritten << what + QStringLiteral(": ") + e.message();
        }
    };
    write(HeadHandle, HeadAttributeValues(values), QStringLiteral("sygnalizator %1").arg(InventoryNumber));
    if (ContrastScreens && !ScreenHandle.isEmpty())
        write(ScreenHandle, ScreenAttributeValues(values), QStringLiteral("ekran %1").arg(InventoryNumber));
    if (!automation::TrySetDrawingProperty(QStringLiteral("OSTULICA"), values.StreetName))
        notWritten << QStringLiteral("nazwa ulicy we właściwościach rysunku");
    common::PutIni(common::IniFilePath, SettingsSection(), QStringLiteral("NumerZlecenia00"),
                   values.OrderNumber);
    common::PutIni(common::IniFilePath, SettingsSection(), QStringLiteral("Operator00"), values.EnteredBy);
    SaveLastOrientation(OrientationNumber);
    return notWritten;
}

}  // namespace headplacer
