// Upgrade of drawings made by older versions of the program.
#include "conflictor/streams/FormatUpgrade.h"

#include "automation/CadConnection.h"
#include "automation/CadTables.h"
#include "automation/DrawingProperties.h"
#include "automation/Selection.h"
#include "common/ProgramSettings.h"
#include "common/TextHelpers.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/SetGuard.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamWindow.h"
#include "platform/ui/core/Prompt.h"

#include <QHash>
#include <QSet>

namespace conflictor {

int DrawingFormatVersion = 0;

namespace {

const QString VersionKey = QStringLiteral("WERSJA_DOKUMENTU");

void ensureTags() {
    if (StreamAttributeTags[0].Tag.isEmpty()) InitStreamAttributeTags();
}

// Whether the component block name lists the stream, whatever intersection it belongs to.
bool blockListsStream(const QString& blockName, const QString& streamName) {
    const int at = int(blockName.indexOf(QStringLiteral("^STRUMIEN_"), 0, Qt::CaseInsensitive));
    if (at < 0) return false;
    const QString rest = blockName.mid(at + 10);
    const int caret = int(rest.indexOf(QLatin1Char('^')));
    if (caret < 0) return false;
    for (const QString& item : rest.mid(caret + 1).split(QLatin1Char('^'), Qt::SkipEmptyParts))
        if (item.compare(streamName, Qt::CaseInsensitive) == 0) return true;
    return false;
}

// A new reference of the block in place of the old one, on the stream layer.
cad::Entity reinsert(const cad::Entity& old, const QString& blockName, double scale) {
    const cad::Point p = old.insertionPoint();
    automation::DeleteEntity(old);
    const cad::Entity ref =
        automation::CadDocument.modelSpace().insertBlock(p, blockName, scale, scale, scale, 0);
    ref.setLayer(common::Settings.StreamLayerName);
    ref.update();
    return ref;
}

// Renames a block definition; false when the CAD refuses the name (taken, not allowed).
bool renameBlock(const QString& oldName, const QString& newName) {
    try {
        const cad::Block b = automation::GetBlockDefinition(oldName);
        if (b.isNull()) return false;
        b.setName(newName);
        return true;
    } catch (const cad::Error&) {
        return false;
    }
}

// Format 1 without old block names: every intersection attribute block gains the six kinematic
// attribute definitions, and each of its references is replaced by one that carries them.
void completeAttributeBlocks() {
    const QStringList& tags = StreamAttributeTagNames();
    QList<cad::Entity> refs;
    {
        SetGuard ss(QStringLiteral("SSObject"));
        cad::SelectionFilter f;
        f.add(2, IntersectionBlockPrefix() + QLatin1Char('*'));
        refs = ss.select(f);
    }
    QSet<QString> completedBlocks;  // upper-cased names of definitions that needed completing
    QSet<QString> checkedBlocks;
    bool numberTaken = false;
    for (const cad::Entity& ref : refs) {
        const QString name = ref.name();
        const QString key = name.toUpper();
        if (!checkedBlocks.contains(key)) {
            checkedBlocks.insert(key);
            const cad::Block block = automation::GetBlockDefinition(name);
            if (block.isNull()) continue;
            QSet<QString> present;
            for (const cad::Entity& e : block.entities())
                if (e.objectName() == QLatin1String("AcDbAttributeDefinition")) present.insert(e.tagString());
            bool added = false;
            for (int i = 3; i < StreamAttributeTagUsed; ++i) {
                if (present.contains(tags[i])) continue;
                automation::AddAttributeDefinition(block, tags[i], QString(), 0, 0);
                added = true;
            }
            if (added) completedBlocks.insert(key);
        }
        if (!completedBlocks.contains(key)) continue;
        if (!numberTaken) {
            const QString number = name.mid(name.lastIndexOf(QLatin1Char('_')) + 1);
            if (number.isEmpty()) continue;
            IntersectionNumber = number;
            numberTaken = true;
        }
        QHash<QString, QString> values;
        if (ref.hasAttributes())
            for (const cad::Entity& att : ref.attributes()) values.insert(att.tagString(), att.textString());
        const cad::Entity fresh = reinsert(ref, name, ref.xScaleFactor());
        if (fresh.hasAttributes()) {
            for (const cad::Entity& att : fresh.attributes()) {
                const QString v = values.value(att.tagString()).trimmed();
                if (!v.isEmpty()) att.setTextString(v);
            }
            fresh.update();
        }
    }
}

// The attribute text with its spaces removed; descriptions keep the spaces inside their values,
// only the stream names of their entries lose them.
QString withoutSpaces(const QString& tag, const QString& text) {
    if (tag != QLatin1String("OPISY")) {
        QString t = text;
        t.remove(QLatin1Char(' '));
        return t;
    }
    QStringList entries = text.split(QLatin1Char('^'));
    for (QString& entry : entries) {
        const int colon = int(entry.indexOf(QLatin1Char(':')));
        if (colon < 0) {
            entry.remove(QLatin1Char(' '));
            continue;
        }
        QString name = entry.left(colon);
        name.remove(QLatin1Char(' '));
        entry = name + QLatin1Char(':') + entry.mid(colon + 1).trimmed();
    }
    return entries.join(QLatin1Char('^'));
}

}  // namespace

bool UpdateDrawingProgram() {
    if (DrawingFormatVersion >= 2) return true;
    if (!automation::CheckDocumentOpen(false)) return true;
    ensureTags();
    ForgetComponentNumbers();
    StreamWindow& window = MainWindow();

    QList<cad::Entity> oldRefs;
    {
        SetGuard ss(QStringLiteral("SSAtrWid"));
        cad::SelectionFilter f;
        f.add(0, QStringLiteral("INSERT")).add(-4, QStringLiteral("<or"));
        for (const char* p : {"STRUMIEN_*", "POCZATEK_STRUMIEN_*", "POJPIESZ_STRUMIEN_*",
                              "PIESZPOJ_STRUMIEN_*", "POJPOJ_STRUMIEN_*", "KONIEC_STRUMIEN_*"})
            f.add(2, QString::fromLatin1(p));
        f.add(-4, QStringLiteral("or>"));
        oldRefs = ss.select(f);
    }

    if (oldRefs.isEmpty()) {
        completeAttributeBlocks();
        automation::SetDrawingProperty(VersionKey, QStringLiteral("2"));
        return true;
    }

    const QString question =
        common::Tlumacz(QStringLiteral("Wykryto strumienie ruchu wrysowane w starszej wersji programu.")) +
        QLatin1Char('\n') + common::Tlumacz(QStringLiteral("Czy chcesz zaktualizować rysunek?"));
    if (ui::MsgBox(question, ui::YesNo | ui::Question, window.caption()) != ui::Yes) return false;
    if (!AskIntersectionNumber(true)) return false;
    QString handle;
    DodajAtrStrumieni(IntersectionBlockPrefix() + IntersectionNumber, handle);
    // Without the attribute block the groups and phases would have nowhere to go: the step is left
    // undone, to be offered again.
    if (handle.isEmpty()) return false;

    // An attribute block that was there already keeps the entries of its other streams: the
    // properties' entries are merged into its texts rather than replacing them. A new block starts
    // with empty texts, so it gets exactly the properties' entries.
    for (int i = 0; i < StreamAttributeTagUsed; ++i) StreamAttributeTags[size_t(i)].Value.clear();
    {
        const QString kept = StreamAttributeBlockHandle;
        ReadIntersectionAttributeBlock();
        StreamAttributeBlockHandle = kept;
    }
    automation::GetDrawingProperty(QString());
    QSet<QString> notMoved;  // properties whose name no entry can hold stay in the drawing
    for (const automation::CustomPropertyEntry& e : automation::CustomPropertyCache) {
        bool moved = true;
        if (e.Key.startsWith(QLatin1String("GRUPA_")))
            moved = SetStreamAttribute(QStringLiteral("GRUPY"), e.Key.mid(6), e.Value, false);
        else if (e.Key.startsWith(QLatin1String("FAZA_")))
            moved = SetStreamAttribute(QStringLiteral("FAZY"), e.Key.mid(5), e.Value, false);
        if (!moved) notMoved.insert(e.Key);
    }
    WriteIntersectionAttributeBlock(handle);

    const cad::SummaryInfo info = automation::CadDocument.summaryInfo();
    for (int i = info.numCustomInfo() - 1; i >= 0; --i) {
        const QString key = info.getCustomByIndex(i).first;
        if ((key.startsWith(QLatin1String("GRUPA_")) || key.startsWith(QLatin1String("FAZA_"))) &&
            !notMoved.contains(key))
            info.removeCustomByIndex(i);
    }

    const QString prefix = IntersectionNumber + QLatin1Char('^');
    QSet<QString> renamed;
    for (const cad::Entity& ref : oldRefs) {
        const QString name = ref.name();
        if (renamed.contains(name.toUpper())) continue;  // a second reference of a renamed block
        // A name the CAD refuses leaves that block as it was; the others are still renamed.
        if (renameBlock(name, prefix + name)) renamed.insert((prefix + name).toUpper());
    }
    automation::SetDrawingProperty(VersionKey, QStringLiteral("2"));
    return true;
}

bool UpdateDrawingProgram2() {
    if (!automation::CheckDocumentOpen(false)) return true;
    ensureTags();
    ForgetComponentNumbers();
    const QString layer = common::Settings.StreamLayerName;

    if (DrawingFormatVersion < 3) {
        QList<cad::Entity> refs;
        {
            SetGuard ss(QStringLiteral("SSUpdate2"));
            refs = ss.select(InsertFilter(QStringLiteral("*^STRUMIEN_*")));
        }
        // Every reference that carries stream attributes is converted; one without them (already
        // converted, or never given any) is passed over rather than ending the step.
        for (const cad::Entity& ref : refs) {
            if (!ref.hasAttributes()) continue;
            const QString name = ref.name();
            QString suffix;
            for (const cad::Entity& att : ref.attributes()) {
                const QString text = att.textString();
                if (!att.tagString().startsWith(QLatin1String("STRUMIEN")) ||
                    !text.startsWith(QLatin1Char('^')) || text.size() <= 1)
                    continue;
                const QString stream = text.mid(1);
                if (!blockListsStream(name + suffix, stream)) suffix += text;
            }
            const cad::Block block = automation::GetBlockDefinition(name);
            if (block.isNull()) continue;
            // A name the CAD refuses leaves block and reference as they were: their attributes are
            // then the only record of the streams listed there.
            QString newName = name;
            if (!suffix.isEmpty()) {
                if (!renameBlock(name, name + suffix)) continue;
                newName = name + suffix;
            }
            for (const cad::Entity& e : block.entities())
                if (e.objectName() == QLatin1String("AcDbAttributeDefinition")) e.erase();
            reinsert(ref, newName, 1);
        }
        automation::SetDrawingProperty(VersionKey, QStringLiteral("3"));
    }

    if (DrawingFormatVersion < 4) {
        SprawdzSkrzyzowania();
        if (IntersectionNumber.isEmpty()) return true;
        QList<cad::Entity> refs;
        {
            SetGuard ss(QStringLiteral("SSUpdate3"));
            refs = ss.select(InsertFilter(QStringLiteral("*^*STRUMIEN_*")));
        }
        for (const cad::Entity& ref : refs) {
            const QString name = ref.name();
            if (!name.contains(QLatin1Char(' '))) continue;
            QString newName = name;
            newName.remove(QLatin1Char(' '));
            if (automation::GetBlockDefinition(name).isNull()) continue;
            if (!renameBlock(name, newName)) continue;
            reinsert(ref, newName, ref.xScaleFactor());
        }

        // The attribute texts of every intersection, not only the current one.
        QList<cad::Entity> blocks;
        {
            SetGuard ss(QStringLiteral("SSAtrStrum"));
            blocks = ss.select(InsertFilter(IntersectionBlockPrefix() + QLatin1Char('*')));
        }
        for (const cad::Entity& ref : blocks) {
            if (!ref.hasAttributes()) continue;
            bool changed = false;
            for (const cad::Entity& att : ref.attributes()) {
                const QString text = att.textString();
                const QString clean = withoutSpaces(att.tagString(), text.trimmed());
                if (clean != text) {
                    att.setTextString(clean);
                    changed = true;
                }
            }
            if (changed) ref.update();
        }
        ReadIntersectionAttributeBlock();
        automation::SetDrawingProperty(VersionKey, QStringLiteral("4"));
    }
    return true;
}

}  // namespace conflictor
