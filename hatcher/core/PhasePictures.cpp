// The phase-picture command and the readers of phases, streams and crossing links it uses.
#include "hatcher/core/PhasePictures.h"

#include "automation/Automation.h"
#include "common/NumberText.h"
#include "common/SettingBindings.h"
#include "common/TextHelpers.h"
#include "hatcher/core/HatcherServices.h"
#include "hatcher/core/PatternArea.h"
#include "platform/cad/BulkReads.h"
#include "platform/cad/CallEach.h"
#include "platform/cad/DeferredCalls.h"
#include "platform/ui/core/Prompt.h"

#include <QHash>
#include <QSet>

namespace hatcher {

using automation::CadDocument;
using automation::CadModelSpace;
using common::Tlumacz;

double DrawingScaleFactor = 0.001;

namespace {

const QString StreamLayer = QStringLiteral("113-STRUMIENIE_RUCHU");

bool phasesContain(const QString& phases, int phase) {
    for (const QString& part : phases.split(QLatin1Char(',')))
        if (common::ParseLong(part) >= 1 && common::ParseLong(part) == phase) return true;
    return false;
}

QString cutVariant(const QString& name) {
    const qsizetype i = name.lastIndexOf(QLatin1Char('['));
    return i >= 0 ? name.left(i) : name;
}

cad::Point cp(double x, double y) {
    return {x, y, 0};
}

// The names (case folded) of the entries whose phases hold `phase`: a record is in the phase when
// one of its names (up to the first empty one) is among them.
QSet<QString> namesInPhase(const QList<PhaseEntry>& entries, int phase) {
    QSet<QString> out;
    for (const PhaseEntry& e : entries)
        if (phasesContain(e.Phases, phase)) out.insert(e.StreamName.toCaseFolded());
    return out;
}

bool recordInPhase(const PhaseStreamRecord& r, const QSet<QString>& names, bool& isS) {
    isS = false;
    for (const QString& name : r.StreamNames) {
        if (name.isEmpty()) break;
        if (names.contains(name.toCaseFolded())) {
            isS = name.startsWith(QLatin1Char('S'));
            return true;
        }
    }
    return false;
}

}  // namespace

bool IsNameInList(const QString& name, const QStringList& list) {
    return !name.isEmpty() && list.contains(name, Qt::CaseSensitive);
}

bool ParsePhaseText(const QString& source, std::vector<int>& phases, QList<PhaseEntry>& entries) {
    phases.clear();
    entries.clear();
    QString text = source;
    QStringList values;
    while (!text.isEmpty()) {
        const qsizetype p = text.toUpper().indexOf(QLatin1Char(':'));
        if (p < 0) break;
        const QString name = text.left(p);
        text = text.mid(p + 1);
        const qsizetype q = text.indexOf(QLatin1Char('^'));
        if (q < 0) break;
        if (q == 0) {
            text = text.mid(1);
            continue;
        }
        const QString value = text.left(q);
        text = text.mid(q + 1);
        if (value.isEmpty()) continue;
        values << value;
        if (!name.isEmpty()) entries.append({name, value});
    }
    std::vector<int> numbers;
    for (const QString& v : values)
        for (const QString& part : v.split(QLatin1Char(',')))
            if (const int n = common::ParseLong(part); n >= 1) numbers.push_back(n);
    if (numbers.empty()) return false;
    common::SortIntegerArray(numbers);
    for (int n : numbers)
        if (phases.empty() || phases.back() != n) phases.push_back(n);
    return true;
}

bool ReadPhaseList(std::vector<int>& phases, const QString& nr, QList<PhaseEntry>& entries) {
    phases.clear();
    entries.clear();
    cad::Entity block;
    if (!automation::FindFirstInsert(QStringLiteral("ATRYBUTY_STRUMIENI_") + automation::EscapeFilterText(nr),
                                     block))
        return false;
    return ParsePhaseText(automation::ReadAttributeByTag(block, QStringLiteral("FAZY")), phases, entries);
}

int CountPhaseStreams(const QList<PhaseStreamRecord>& records, const QList<PhaseEntry>& entries, int phase) {
    const QSet<QString> names = namesInPhase(entries, phase);
    int n = 0;
    for (const PhaseStreamRecord& r : records) {
        bool isS = false;
        if (recordInPhase(r, names, isS)) ++n;
    }
    return n;
}

bool IsStreamBlockInPhase(const QString& handle, const QList<PhaseStreamRecord>& records,
                          const QList<PhaseEntry>& entries, int phase, bool& isS) {
    isS = false;
    for (const PhaseStreamRecord& r : records)
        if (r.Handle == handle) return recordInPhase(r, namesInPhase(entries, phase), isS);
    return false;
}

bool IsCrossingLinkInPhase(const automation::CrossingLinkRecord& link, const QList<PhaseEntry>& entries,
                           int phase) {
    if (entries.isEmpty()) return false;
    for (const QString& field : {link.InnerStreams, link.OuterStreams}) {
        const QStringList parts = field.split(QLatin1Char(':'), Qt::SkipEmptyParts);
        if (parts.isEmpty()) return false;
        for (const QString& part : parts)
            for (const PhaseEntry& e : entries)
                if (e.StreamName.compare(part, Qt::CaseInsensitive) == 0) {
                    if (!phasesContain(e.Phases, phase)) return false;
                    break;
                }
    }
    return true;
}

QList<PhaseStreamRecord> ReadPhaseStreamRecords(const QString& nr) {
    QList<PhaseStreamRecord> records;
    automation::HelperSelectionSet set(QStringLiteral("SSStrumienie"));
    set->select(cad::SelectionSet::All,
                automation::BuildSelectionFilter(
                    {0, QStringLiteral("INSERT"), 2,
                     automation::EscapeFilterText(nr) + QStringLiteral("^*STRUMIEN_*"), 8, StreamLayer}));
    const QString start = nr + QStringLiteral("^POCZATEK_STRUMIEN_");
    const QString end = nr + QStringLiteral("^KONIEC_STRUMIEN_");
    const QList<cad::Entity> found = set->entities();
    // Every reference's name and handle in one read.
    const cad::VariantList rows = cad::ReadProperties(CadDocument, cad::ObjectsOf(found),
                                                      {QStringLiteral("Name"), QStringLiteral("Handle")});
    for (qsizetype i = 0; i < found.size(); ++i) {
        const cad::VariantList row = rows.value(i).toArray();
        PhaseStreamRecord rec;
        rec.BlockName = row.value(0).toText();
        rec.Handle = row.value(1).toText();
        rec.Reference = found[i];
        QStringList names;
        if (rec.BlockName.startsWith(start, Qt::CaseInsensitive) ||
            rec.BlockName.startsWith(end, Qt::CaseInsensitive)) {
            const QString rest = rec.BlockName.mid(
                rec.BlockName.startsWith(start, Qt::CaseInsensitive) ? start.size() : end.size());
            const qsizetype u = rest.indexOf(QLatin1Char('_'));
            names << (u >= 0 ? rest.left(u) : rest);
            rec.IsStreamBody = false;
        } else {
            names = automation::SplitCaretList(rec.BlockName, nr + QStringLiteral("^STRUMIEN"));
            rec.IsStreamBody = true;
        }
        names.removeAll(QString());
        if (names.isEmpty()) continue;
        for (const QString& n : names) rec.StreamNames << cutVariant(n);
        records.append(rec);
    }
    return records;
}

namespace {

struct PatternCopies {
    QList<cad::Entity> Entities;
    bool Recorded = false;  // the pattern area's own copies, erased once the pictures hold them
};

// The pattern copies: those the pattern area recorded (this run, or an earlier one through the drawing
// property), or, for a pattern made before copies were recorded, what lies in its square apart from
// pictures, transitions and the pattern block itself; those are only read, never erased, since the
// square may hold the user's own drawing.
PatternCopies patternCopies(const QString& nr, const std::pair<cad::Point, cad::Point>& box,
                            const QString& patternName) {
    PatternCopies out;
    QStringList recorded = PatternCopyHandles.value(nr);
    if (!PatternCopyHandles.contains(nr))
        recorded =
            automation::GetDrawingProperty(PatternCopiesKey(nr)).split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (!recorded.isEmpty()) {
        out.Recorded = true;
        // The copies still in the drawing, in the recorded order: their objects in one call and
        // their kinds in one read (an erased copy answers neither and is left out).
        cad::VariantList targets;
        QList<cad::VariantList> handles;
        for (const QString& h : recorded) {
            targets << CadDocument.ref();
            handles << cad::VariantList{h.trimmed()};
        }
        const cad::VariantList found =
            cad::CallEachWith(CadDocument, targets, QStringLiteral("?HandleToObject"), handles);
        QList<cad::Entity> standing;
        for (const cad::Variant& v : found)
            if (!v.isEmpty()) standing << cad::Entity(CadDocument.channel(), v.toObject());
        const cad::VariantList kinds =
            standing.isEmpty()
                ? cad::VariantList()
                : cad::ReadProperties(CadDocument, cad::ObjectsOf(standing), {QStringLiteral("?ObjectName")});
        for (qsizetype i = 0; i < standing.size(); ++i)
            if (!kinds.value(i).toArray().value(0).isEmpty()) out.Entities << standing[i];
        return out;
    }
    automation::HelperSelectionSet set(QStringLiteral("SSWzorzec"));
    set->select(cad::SelectionSet::Crossing, box.first, box.second,
                automation::BuildSelectionFilter({-4, QStringLiteral("<and"), -4, QStringLiteral("<not"), 2,
                                                  QStringLiteral("Schemat_*"), -4, QStringLiteral("not>"), -4,
                                                  QStringLiteral("<not"), 2, QStringLiteral("`*U*"), -4,
                                                  QStringLiteral("not>"), -4, QStringLiteral("and>")}));
    Q_UNUSED(patternName);
    out.Entities = set->entities();
    return out;
}

// Each erasure ignores its own failure: in one call.
void eraseAll(const QList<cad::Entity>& entities) {
    if (!entities.isEmpty()) cad::CallEach(CadDocument, cad::ObjectsOf(entities), QStringLiteral("?Delete"));
}

}  // namespace

QStringList frmMain_cmdTworzObrazyFaz_Click(HatcherForm& form) {
    QStringList inserted;
    auto finish = [&] {
        if (!form.lockedLayers.isEmpty())
            ui::MsgBox(Tlumacz(QStringLiteral("Program nie mógł utworzyć schematu z obiektów znajdujących "
                                              "się na zablokowanych warstwach:")) +
                           QStringLiteral("\n") + form.lockedLayers.join(QStringLiteral(", ")),
                       ui::Exclamation, form.caption());
        form.progressBar().setValue(0);
        form.setCountText(QString());
        form.setStatus(form.statusText);
        form.processEvents();
    };
    if (!automation::CheckDocumentOpen(true)) {
        form.progressBar().setValue(0);
        form.setCountText(QString());
        form.setStatus(form.statusText);
        return inserted;
    }
    if (!automation::LoadDrawingScale(form.caption())) {
        finish();
        return inserted;
    }
    DrawingScaleFactor = automation::DrawingScale / 1000.0;
    const QString nr = form.intersectionText().trimmed();
    const QString patternName = QStringLiteral("Schemat_wzorzec_") + nr;
    std::vector<int> phases;
    QList<PhaseEntry> entries;
    if (!ReadPhaseList(phases, nr, entries)) {
        ui::MsgBox(Tlumacz(QStringLiteral("Brak zdefiniowanych faz")), ui::OkOnly,
                   QLatin1String(ProgramTitleText));
        return inserted;
    }
    form.lockedLayers.clear();
    form.unlockedLayers.clear();
    automation::EnsureLayer(QStringLiteral("SCHEMAT_FAZY"), true, -1, -10);
    frmMain_cmdDefObszar_Click(form);

    cad::Entity pattern;
    if (!automation::FindFirstInsert(automation::EscapeFilterText(patternName), pattern)) {
        finish();
        return inserted;
    }
    SaveAndSetCadVariables(QString(), QString(), 0, 0);
    QList<cad::Entity> copies;
    bool copiesRecorded = false;
    try {
        form.setStatus(Tlumacz(QStringLiteral("Tworzenie schematów faz")));
        ProgressInit(int(phases.size()) + 1, form.progressBar());
        const auto box = pattern.boundingBox();
        const double r = std::abs(box.second.x - box.first.x) / 2;
        const QString xs = automation::ReadAttributeByTag(pattern, QStringLiteral("PT_CENTER_X"));
        const QString ys = automation::ReadAttributeByTag(pattern, QStringLiteral("PT_CENTER_Y"));
        if (xs.trimmed().isEmpty() || ys.trimmed().isEmpty()) {
            ui::MsgBox(Tlumacz(QStringLiteral("Niepoprawne wartości atrybutów w bloku: ")) + patternName,
                       ui::OkOnly, QLatin1String(ProgramTitleText));
            throw cad::Failed(QString());
        }
        const cad::Point c0{common::ParseDouble(xs), common::ParseDouble(ys), 0};
        const cad::Point t0 = pattern.insertionPoint();
        pattern.erase();
        if (automation::GetBlockDefinition(patternName).isNull()) throw cad::Failed(QString());
        const PatternCopies found = patternCopies(nr, box, patternName);
        copies = found.Entities;
        copiesRecorded = found.Recorded;
        if (copies.isEmpty()) throw cad::Failed(QString());
        ProgressSetStepCount(int(copies.size()));
        form.setCountText(QStringLiteral("0 / %1").arg(phases.size()));
        form.processEvents();
        for (int i = 0; i < copies.size(); ++i) ProgressStep();

        const QList<PhaseStreamRecord> records = ReadPhaseStreamRecords(nr);
        if (records.isEmpty()) {
            ui::MsgBox(Tlumacz(QStringLiteral("Brak strumieni dla skrzyżowania: ")) + nr, ui::OkOnly,
                       QLatin1String(ProgramTitleText));
            throw cad::Failed(QString());
        }
        automation::ReadCrossingLinks(nr);
        cad::Point p = t0;
        ProgressNextStage();
        automation::EnsureTextStyle(QStringLiteral("ARIAL"), 1.5, QStringLiteral("arial"), true);
        automation::SetLinetypeScale();
        const bool links = common::SettingBindings[5].Value.toInt() == 1;
        double h = common::ParseDouble(common::SettingBindings[2].Value.toString());
        if (common::SettingBindings[4].Value.toInt() == 1) h *= automation::DrawingScale;
        int done = 0;
        QHash<QString, cad::Entity> linkReferences;  // by handle, each found once
        for (int phase : phases) {
            form.processEvents();
            QStringList sStreams;
            const QString name =
                automation::MakeUniqueBlockName(QStringLiteral("Schemat_%1_Faza%2_").arg(nr).arg(phase));
            const QSet<QString> inPhase = namesInPhase(entries, phase);
            int n = 0;
            for (const PhaseStreamRecord& rec : records) {
                bool isS = false;
                if (recordInPhase(rec, inPhase, isS)) ++n;
            }
            if (n == 0 || automation::CheckBlockExists(name)) continue;
            ProgressSetStepCount(n);
            cad::Block block = CadDocument.blocks().add(cp(0, 0), name);
            block.addCircle(cp(0, 0), r).setColor(7);
            // The moves, erasures and property sets of the picture travel with the next call that
            // needs an answer, and the copies' names, explosions and pieces' kinds are read for all
            // copies at once, so a picture costs a few round trips whatever its size. Nothing inside
            // traps a CAD error of its own but the linetype test (sent after a flush) and the copies'
            // explosions (CallEach's "?" answers a refused one with nothing, the failure dropped as
            // the single call's trap dropped it); every other failure reaches the command's trap.
            cad::DeferredCalls held(CadDocument);
            for (const cad::Entity& e : CadDocument.copyObjects(copies, block)) e.move(t0, cp(0, 0));
            QList<cad::Entity> toCopy;
            for (const PhaseStreamRecord& rec : records) {
                bool isS = false;
                if (!recordInPhase(rec, inPhase, isS)) continue;
                if (isS && rec.IsStreamBody) sStreams << rec.BlockName;
                toCopy << rec.Reference;
                ProgressStep();
            }
            if (links)
                for (const automation::CrossingLinkRecord& link : automation::CrossingLinkTable)
                    if (IsCrossingLinkInPhase(link, entries, phase)) {
                        auto known = linkReferences.find(link.Handle);
                        if (known == linkReferences.end())
                            known =
                                linkReferences.insert(link.Handle, CadDocument.handleToObject(link.Handle));
                        toCopy << *known;
                    }
            held.flush();  // the linetype test traps failures of its own
            const bool dashed = automation::EnsureLinetypeLoaded(QStringLiteral("ACAD_ISO03W100"));
            const QList<cad::Entity> made = CadDocument.copyObjects(toCopy, block);
            for (const cad::Entity& copy : made) copy.move(c0, cp(0, 0));
            const cad::VariantList names =
                cad::ReadProperties(CadDocument, cad::ObjectsOf(made), {QStringLiteral("Name")});
            const cad::VariantList exploded =
                cad::CallEach(CadDocument, cad::ObjectsOf(made), QStringLiteral("?Explode"));
            QList<cad::Entity> pieces;
            QList<bool> dashedPieces;
            for (qsizetype i = 0; i < made.size(); ++i) {
                const cad::Variant& answer = exploded.value(i);
                if (answer.isEmpty()) continue;  // stays in the picture as a reference
                made[i].send(QStringLiteral("Delete"));
                const bool inS = dashed && IsNameInList(names.value(i).toArray().value(0).toText(), sStreams);
                for (const cad::Variant& piece : answer.toArray()) {
                    pieces << cad::Entity(CadDocument.channel(), piece.toObject());
                    dashedPieces << inS;
                }
            }
            // The pieces' kinds in one read.
            const cad::VariantList kinds =
                cad::ReadProperties(CadDocument, cad::ObjectsOf(pieces), {QStringLiteral("ObjectName")});
            for (qsizetype i = 0; i < pieces.size(); ++i) {
                const cad::Entity& piece = pieces[i];
                const QString kind = kinds.value(i).toArray().value(0).toText();
                if (kind != QLatin1String("AcDbLine") && kind != QLatin1String("AcDbArc") &&
                    kind != QLatin1String("AcDbCircle"))
                    continue;
                piece.setColor(256);
                piece.setLayer(StreamLayer);
                if (dashedPieces[i]) piece.setLinetype(QStringLiteral("ACAD_ISO03W100"));
            }
            automation::AddAttributeToBlock(block, QStringLiteral("WID_OPIS"),
                                            QStringLiteral("Faza %1").arg(phase), cp(-r, r), h, 0);
            automation::AddAttributeDefinition(
                block, QStringLiteral("RADIUS"),
                common::FormatNumberWithDot(r, QStringLiteral("#######0.0000")), 0, 0);
            const cad::Entity ref = CadModelSpace.insertBlock(p, name, 1, 1, 1, 0);
            ref.update();
            inserted << ref.handle();
            p.x += 3 * r;
            ProgressNextStage();
            ++done;
            form.setCountText(QStringLiteral("%1 / %2").arg(done).arg(phases.size()));
            form.processEvents();
        }
        if (copiesRecorded) eraseAll(copies);
        PatternCopyHandles.remove(nr);
        if (!automation::GetDrawingProperty(PatternCopiesKey(nr)).isEmpty())
            automation::SetDrawingProperty(PatternCopiesKey(nr), QString());
    } catch (const cad::Error& e) {
        const QString what = QString::fromUtf8(e.what());
        if (!what.isEmpty())
            ui::MsgBox(
                Tlumacz(QStringLiteral("Nie udało się utworzyć obrazów faz:")) + QStringLiteral("\n") + what,
                ui::Exclamation, form.caption());
    }
    RestoreCadVariables();
    finish();
    return inserted;
}

}  // namespace hatcher
