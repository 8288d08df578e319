// Custom properties of the active drawing and the drawing scale.
#include "automation/DrawingProperties.h"

#include "automation/CadConnection.h"
#include "automation/CadTables.h"
#include "automation/Selection.h"
#include "common/TextHelpers.h"
#include "platform/ui/core/Prompt.h"

namespace automation {

cad::SummaryInfo DrawingSummaryInfo;
QList<CustomPropertyEntry> CustomPropertyCache{CustomPropertyEntry{}};
int DrawingScale = 1;

namespace {

QString readKey(const cad::SummaryInfo& info, const QString& key) {
    try {
        return info.getCustomByKey(key);
    } catch (const std::exception&) {
        return QString();
    }
}

// The drawing is read into a database document of the CAD, released again whatever happens, so that
// no read leaves a whole drawing held in the CAD.
QString readFromFile(const QString& key, const QString& path) {
    cad::DatabaseDocument db{cad::Object()};
    QString value;
    try {
        db = cad::DatabaseDocument(
            CadApplication.getInterfaceObject(QStringLiteral("ObjectDBX.AxDbDocument.") + CadMajorVersion));
        db.open(path);
        value = readKey(db.summaryInfo(), key);
    } catch (const std::exception&) {
        value.clear();
    }
    if (!db.isNull()) {
        try {
            db.close();
        } catch (const cad::Error&) {
            // Already gone: the file is not held open, and the value was read (or not) above.
        }
    }
    return value;
}

void refreshCache() {
    DrawingSummaryInfo = CadDocument.summaryInfo();
    CustomPropertyCache = {CustomPropertyEntry{}};
    const int n = DrawingSummaryInfo.numCustomInfo();
    if (n == 0) return;
    QList<CustomPropertyEntry> entries(n);
    int stored = 0;
    for (int i = 0; i < n; ++i) {
        const auto [key, value] = DrawingSummaryInfo.getCustomByIndex(i);
        if (key.startsWith(QLatin1String("GRUPA_")) || key.startsWith(QLatin1String("FAZA_")))
            entries[stored++] = CustomPropertyEntry{key, value};
    }
    if (stored > 0) entries.resize(stored);
    CustomPropertyCache = entries;
}

}  // namespace

QString GetDrawingProperty(const QString& key, const QString& drawingFile) {
    if (!drawingFile.isEmpty()) return readFromFile(key, drawingFile);
    try {
        if (key.isEmpty()) {
            refreshCache();
            return QString();
        }
        DrawingSummaryInfo = CadDocument.summaryInfo();
        return readKey(DrawingSummaryInfo, key);
    } catch (const std::exception&) {
        return QString();
    }
}

void SetDrawingProperty(const QString& key, const QString& value, bool keep) {
    if (!keep || DrawingSummaryInfo.isNull()) DrawingSummaryInfo = CadDocument.summaryInfo();
    if (key.isEmpty()) return;
    try {
        DrawingSummaryInfo.setCustomByKey(key, value);
    } catch (const cad::Error&) {
        // Absent key: added at the end.
        DrawingSummaryInfo.addCustomInfo(key, value);
    }
}

bool TrySetDrawingProperty(const QString& key, const QString& value, bool keep) {
    try {
        SetDrawingProperty(key, value, keep);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

DrawingScaleReading ReadDrawingScale() {
    DrawingScaleReading r;
    r.Found = GetDrawingProperty(QStringLiteral("SKALA"));
    if (r.Found.trimmed().isEmpty()) return r;  // absent: a drawing in metres
    const std::optional<int> v = ParseDrawingScale(r.Found);
    if (!v) {
        r.Readable = false;
        try {
            r.Drawing = CadDocument.name();
        } catch (const cad::Error&) {
            // No drawing to name: the message about the unreadable scale goes without the name.
        }
        return r;
    }
    r.Value = *v;
    return r;
}

std::optional<int> ParseDrawingScale(const QString& found) {
    const QString text = found.trimmed();
    // Digits only: no sign, exponent, hexadecimal prefix, fraction or "nan" reaches the conversion.
    bool digits = !text.isEmpty() && text.size() <= 5;
    for (const QChar c : text) digits = digits && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    const int v = digits ? text.toInt() : 0;
    if (v < 1 || v > 32767) return std::nullopt;
    return v;
}

QString TypedDrawingScaleProblem() {
    return common::Tlumacz(QStringLiteral(
        "Skala musi być liczbą całkowitą od 1 do 32767 (liczba jednostek rysunku na metr: 1 dla "
        "rysunku w metrach, 1000 dla rysunku w milimetrach)!"));
}

bool LoadDrawingScale(const QString& title) {
    const DrawingScaleReading r = ReadDrawingScale();
    DrawingScale = r.Value;
    if (r.Readable) return true;
    ui::MsgBox(DrawingScaleProblem(r), ui::Exclamation, title);
    return false;
}

bool LoadScaleForDrawing(const QString& title) {
    const DrawingScaleReading r = ReadDrawingScale();
    DrawingScale = r.Value;
    if (!r.Readable) {
        ui::MsgBox(DrawingScaleProblem(r), ui::Exclamation, title);
        return false;
    }
    int insunits = 0;
    try {
        insunits = CadDocument.getVariable(QStringLiteral("INSUNITS")).toInt();
    } catch (const cad::ConnectionLost&) {
        throw;  // the command stops as it stops at any lost call
    } catch (const cad::Error&) {
        // A drawing whose units cannot be read declares none: "SKALA" is then taken as it stands.
    }
    const auto drawingName = [] {
        try {
            return CadDocument.fullName();
        } catch (const cad::Error&) {
            // An unnamed drawing keys the answer by its value and units alone: at worst the question
            // is not asked again for another unnamed drawing with the same value and units.
            return QString();
        }
    };
    return common::ConfirmScaleBeforeDrawing(r, insunits, drawingName, title);
}

int GetDrawingScale() {
    return ReadDrawingScale().Value;
}

void SetLinetypeScale() {
    CadDocument.setVariable(QStringLiteral("LTSCALE"), double(DrawingScale) * 0.1);
}

bool MigrateDrawingAttributeBlock() {
    const QString blockName = QStringLiteral("ATRYBUTY_RYSUNKU");
    try {
        if (!CheckBlockExists(blockName)) return true;
        cad::Block block = CadDocument.blocks().item(blockName);
        SetDrawingProperty(QString(), QString(), false);
        for (const cad::Entity& e : block.entities()) {
            if (e.objectName() == QLatin1String("AcDbAttributeDefinition"))
                SetDrawingProperty(e.tagString(), e.textString(), true);
        }
        try {
            block.erase();
            return true;
        } catch (const cad::Error&) {
            // Still referenced: the references go first, then the definition.
        }
        EraseBlockReferencesOnLayer(EscapeFilterText(blockName), QStringLiteral("*"));
        block.erase();
        return true;
    } catch (const std::exception&) {
        // Left in the drawing; its values are in the custom properties already, so start-up goes on.
        return false;
    }
}

}  // namespace automation
