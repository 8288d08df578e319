// The phase-picture command and the readers of phases, streams and crossing links it uses.
#include "hatcher/core/PhasePictures.h"

#include "automation/Automation.h"
#include "automation/StreamReferences.h"
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

// The names (case folded) of the entries whose phases include `phase`: a record is in the phase when
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
    bool Recorded = false;  // the pattern area's own copies, erased once the pictures contain them
};

// The pattern copies: those the pattern area recorded (this run, or an earlier one through the drawing
// property), or, for a pattern made before copies were recorded, what lies in its square apart from
// pictures, transitions and the pattern block itself; those are only read, never erased, since the
// square may contain the user's own drawing.
PatternCopies patternCopies(const QString& nr, const std::pair<cad::Point, cad::Point>& box,
                            const QString& patternName) {
    PatternCopies out;
    QStringList recorded = PatternCopyHandles.value(nr);
    if (!PatternCopyHandles.contains(nr))
        recorded =
            automation::GetDrawingProperty(PatternCopiesKey(nr)).split(QLatin1Char(','), Qt::SkipEmptyParts);
    if (!recorded.isEmpty()) {
        out.Recorded = true;
        // The copies still in the drawing, in the recorded order ("?": an erased copy is found
        // as nothing, or cannot be read, and is left out).
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

// Erases them all, each erasure ignoring its own failure.
// Layer names from the drawing as a message lists them: each cut, at most ten, then "…".
QString shortNames(const QStringList& names) {
    QStringList shown;
    for (const QString& n : names.mid(0, 10)) shown << common::ShortForMessage(n);
    if (names.size() > 10) shown << QStringLiteral("…");
    return shown.join(QStringLiteral(", "));
}

void eraseAll(const QList<cad::Entity>& entities) {
    if (!entities.isEmpty()) cad::CallEach(CadDocument, cad::ObjectsOf(entities), QStringLiteral("?Delete"));
}

// Empties the progress bar and the count, puts the status back and names the locked layers whose
// entities the pattern could not take.
void finishPictures(HatcherForm& form) {
    if (!form.lockedLayers.isEmpty())
        ui::MsgBox(Tlumacz(QStringLiteral("Program nie mógł utworzyć schematu z obiektów znajdujących "
                                          "się na zablokowanych warstwach:")) +
                       QStringLiteral("\n") + shortNames(form.lockedLayers),
                   ui::Exclamation, form.caption());
    form.progressBar().setValue(0);
    form.setCountText(QString());
    form.setStatus(form.statusText);
    form.processEvents();
}

// What the pictures take of the pattern block: its radius, the pattern area's centre (its
// attributes PT_CENTER_X/Y) and where the block stands (the first picture's place).
struct PatternPlace {
    std::pair<cad::Point, cad::Point> Box;
    double Radius = 0;
    cad::Point Centre, Insertion;
};

// Reads the pattern block's place; said and thrown when its centre attributes are empty.
PatternPlace readPatternPlace(const cad::Entity& pattern, const QString& patternName) {
    PatternPlace place;
    place.Box = pattern.boundingBox();
    place.Radius = std::abs(place.Box.second.x - place.Box.first.x) / 2;
    const QString xs = automation::ReadAttributeByTag(pattern, QStringLiteral("PT_CENTER_X"));
    const QString ys = automation::ReadAttributeByTag(pattern, QStringLiteral("PT_CENTER_Y"));
    if (xs.trimmed().isEmpty() || ys.trimmed().isEmpty()) {
        ui::MsgBox(Tlumacz(QStringLiteral("Niepoprawne wartości atrybutów w bloku: ")) +
                       common::ShortForMessage(patternName),
                   ui::OkOnly, QLatin1String(ProgramTitleText));
        throw cad::Failed(QString());
    }
    place.Centre = {common::ParseDouble(xs), common::ParseDouble(ys), 0};
    place.Insertion = pattern.insertionPoint();
    return place;
}

// The intersection's streams; said and thrown when it has none.
QList<PhaseStreamRecord> readStreams(const QString& nr) {
    const QList<PhaseStreamRecord> records = ReadPhaseStreamRecords(nr);
    if (records.isEmpty()) {
        ui::MsgBox(Tlumacz(QStringLiteral("Brak strumieni dla skrzyżowania: ")) + common::ShortForMessage(nr),
                   ui::OkOnly, QLatin1String(ProgramTitleText));
        throw cad::Failed(QString());
    }
    return records;
}

// What every picture shares: the pattern's copies and place, the streams, the label height and
// whether the crossing links and dashed conditional streams are drawn.
struct PictureSource {
    QString Nr;
    QList<PhaseEntry> Entries;
    QList<PhaseStreamRecord> Records;
    QList<cad::Entity> Copies;
    PatternPlace Place;
    bool Links = false;
    bool Dashed = false;
    double LabelHeight = 0;
    QHash<QString, cad::Entity> LinkReferences;  // by handle, each found once
};

// The references a phase's picture copies (its streams and markers, and its crossing links when they
// are drawn), and the names of its conditional "S" stream bodies.
QList<cad::Entity> phaseReferences(PictureSource& source, const QSet<QString>& inPhase, int phase,
                                   QStringList& sStreams) {
    QList<cad::Entity> toCopy;
    for (const PhaseStreamRecord& rec : source.Records) {
        bool isS = false;
        if (!recordInPhase(rec, inPhase, isS)) continue;
        if (isS && rec.IsStreamBody) sStreams << rec.BlockName;
        toCopy << rec.Reference;
        ProgressStep();
    }
    if (!source.Links) return toCopy;
    for (const automation::CrossingLinkRecord& link : automation::CrossingLinkTable)
        if (IsCrossingLinkInPhase(link, source.Entries, phase)) {
            auto known = source.LinkReferences.find(link.Handle);
            if (known == source.LinkReferences.end())
                known = source.LinkReferences.insert(link.Handle, CadDocument.handleToObject(link.Handle));
            toCopy << *known;
        }
    return toCopy;
}

// Copies the references into the picture's block and explodes them there: their lines, arcs and
// circles go on the stream layer by layer colour, those of conditional streams dashed. A reference
// that cannot be exploded stays in the picture as it is.
void copyExploded(const QList<cad::Entity>& references, const cad::Block& block, const PictureSource& source,
                  const QStringList& sStreams) {
    const QList<cad::Entity> made = CadDocument.copyObjects(references, block);
    for (const cad::Entity& copy : made) copy.move(source.Place.Centre, cp(0, 0));
    const cad::VariantList names =
        cad::ReadProperties(CadDocument, cad::ObjectsOf(made), {QStringLiteral("Name")});
    const cad::VariantList exploded =
        cad::CallEach(CadDocument, cad::ObjectsOf(made), QStringLiteral("?Explode"));
    QList<cad::Entity> explodedCopies, pieces;
    QList<bool> dashedPieces;
    for (qsizetype i = 0; i < made.size(); ++i) {
        const cad::Variant& answer = exploded.value(i);
        if (answer.isEmpty()) continue;
        explodedCopies << made[i];
        const bool inS = source.Dashed && IsNameInList(names.value(i).toArray().value(0).toText(), sStreams);
        for (const cad::Variant& piece : answer.toArray()) {
            pieces << cad::Entity(CadDocument.channel(), piece.toObject());
            dashedPieces << inS;
        }
    }
    if (!explodedCopies.isEmpty())
        cad::CallEach(CadDocument, cad::ObjectsOf(explodedCopies), QStringLiteral("Delete"));
    const cad::VariantList kinds =
        cad::ReadProperties(CadDocument, cad::ObjectsOf(pieces), {QStringLiteral("ObjectName")});
    for (qsizetype i = 0; i < pieces.size(); ++i) {
        const QString kind = kinds.value(i).toArray().value(0).toText();
        if (kind != QLatin1String("AcDbLine") && kind != QLatin1String("AcDbArc") &&
            kind != QLatin1String("AcDbCircle"))
            continue;
        pieces[i].setColor(256);
        pieces[i].setLayer(StreamLayer);
        if (dashedPieces[i]) pieces[i].setLinetype(QStringLiteral("ACAD_ISO03W100"));
    }
}

// The picture of one phase: a block "Schemat_<nr>_Faza<k>_<n>" with the pattern's circle and copies,
// the phase's streams and links, its label and radius, inserted at `at`. Its reference's handle; an
// empty one for a phase without streams (or whose name is taken), which gets no picture.
QString drawPicture(PictureSource& source, int phase, const cad::Point& at) {
    const QString name =
        automation::MakeUniqueBlockName(QStringLiteral("Schemat_%1_Faza%2_").arg(source.Nr).arg(phase));
    const QSet<QString> inPhase = namesInPhase(source.Entries, phase);
    int n = 0;
    for (const PhaseStreamRecord& rec : source.Records) {
        bool isS = false;
        if (recordInPhase(rec, inPhase, isS)) ++n;
    }
    if (n == 0 || automation::CheckBlockExists(name)) return QString();
    ProgressSetStepCount(n);
    const double r = source.Place.Radius;
    cad::Block block = CadDocument.blocks().add(cp(0, 0), name);
    block.addCircle(cp(0, 0), r).setColor(7);
    for (const cad::Entity& e : CadDocument.copyObjects(source.Copies, block))
        e.move(source.Place.Insertion, cp(0, 0));
    QStringList sStreams;
    const QList<cad::Entity> references = phaseReferences(source, inPhase, phase, sStreams);
    copyExploded(references, block, source, sStreams);
    automation::AddAttributeToBlock(block, QStringLiteral("WID_OPIS"), QStringLiteral("Faza %1").arg(phase),
                                    cp(-r, r), source.LabelHeight, 0);
    automation::AddAttributeDefinition(block, QStringLiteral("RADIUS"),
                                       common::FormatNumberWithDot(r, QStringLiteral("#######0.0000")), 0, 0);
    const cad::Entity ref = CadModelSpace.insertBlock(at, name, 1, 1, 1, 0);
    ref.update();
    return ref.handle();
}

// Whether any phase has a stream to draw.
bool anyPhaseWithStreams(const std::vector<int>& phases, const QList<PhaseEntry>& entries,
                         const QList<PhaseStreamRecord>& records) {
    for (int phase : phases)
        if (CountPhaseStreams(records, entries, phase) > 0) return true;
    return false;
}

// The pattern's copies the pictures are made of: erases the pattern's reference and throws when
// its block is gone or nothing of the pattern is left.
PatternCopies takePattern(const cad::Entity& pattern, const QString& nr, const PatternPlace& place,
                          const QString& patternName) {
    pattern.erase();
    if (automation::GetBlockDefinition(patternName).isNull()) throw cad::Failed(QString());
    PatternCopies found = patternCopies(nr, place.Box, patternName);
    if (found.Entities.isEmpty()) throw cad::Failed(QString());
    return found;
}

// Draws a picture for each phase, in a row to the right of the pattern's place, and appends the
// handles of the pictures' references to `inserted`.
void drawPictures(HatcherForm& form, PictureSource& source, const std::vector<int>& phases,
                  QStringList& inserted, std::vector<int>& pending) {
    cad::Point at = source.Place.Insertion;
    int done = 0;
    // The pictures' changes may reach the drawing together, at their next read. Each picture ends by
    // reading its reference's handle, before the next one's name is looked up (a look-up that traps
    // errors of its own), so a refusal in a picture reaches the command's trap from that picture.
    const cad::DeferredCalls together(CadDocument, cad::DeferredCalls::NewObjectsToo);
    for (int phase : phases) {
        form.processEvents();
        const QString handle = drawPicture(source, phase, at);
        pending.erase(pending.begin());
        if (handle.isEmpty()) continue;
        inserted << handle;
        at.x += 3 * source.Place.Radius;
        ProgressNextStage();
        ++done;
        form.setCountText(QStringLiteral("%1 / %2").arg(done).arg(phases.size()));
        form.processEvents();
    }
}

// The pattern's copies go once the pictures contain them (copies the pattern area recorded only), and
// with them the record of them.
void dropPatternCopies(const PatternCopies& copies, const QString& nr) {
    if (copies.Recorded) eraseAll(copies.Entities);
    PatternCopyHandles.remove(nr);
    if (!automation::GetDrawingProperty(PatternCopiesKey(nr)).isEmpty())
        automation::SetDrawingProperty(PatternCopiesKey(nr), QString());
}

// Makes the pictures from the pattern block: its copies, the streams and links, the label style.
// The handles of the pictures' references are appended to `inserted` as they are made.
void picturesFromPattern(HatcherForm& form, const cad::Entity& pattern, const QString& nr,
                         const std::vector<int>& phases, const QList<PhaseEntry>& entries,
                         QStringList& inserted, std::vector<int>& pending) {
    const QString patternName = QStringLiteral("Schemat_wzorzec_") + nr;
    form.setStatus(Tlumacz(QStringLiteral("Tworzenie schematów faz")));
    ProgressInit(int(phases.size()) + 1, form.progressBar());
    PictureSource source;
    source.Nr = nr;
    source.Entries = entries;
    source.Place = readPatternPlace(pattern, patternName);
    const PatternCopies copies = takePattern(pattern, nr, source.Place, patternName);
    source.Copies = copies.Entities;
    ProgressSetStepCount(int(source.Copies.size()));
    form.setCountText(QStringLiteral("0 / %1").arg(phases.size()));
    form.processEvents();
    for (int i = 0; i < source.Copies.size(); ++i) ProgressStep();

    source.Records = readStreams(nr);
    automation::ReadCrossingLinks(nr);
    ProgressNextStage();
    automation::EnsureTextStyle(QStringLiteral("ARIAL"), 1.5, QStringLiteral("arial"), true);
    automation::SetLinetypeScale();
    source.Links = common::SettingBindings[5].Value.toInt() == 1;
    source.LabelHeight = common::ParseDouble(common::SettingBindings[2].Value.toString());
    if (common::SettingBindings[4].Value.toInt() == 1) source.LabelHeight *= automation::DrawingScale;
    source.Dashed = anyPhaseWithStreams(phases, entries, source.Records) &&
                    automation::EnsureLinetypeLoaded(QStringLiteral("ACAD_ISO03W100"));
    drawPictures(form, source, phases, inserted, pending);
    dropPatternCopies(copies, nr);
}

}  // namespace

namespace {

// The command up to its pictures; `pending` holds the phases whose pictures are not made yet.
QStringList makePictures(HatcherForm& form, std::optional<std::vector<int>>& pending) {
    if (!automation::CheckDocumentOpen(true)) {
        form.progressBar().setValue(0);
        form.setCountText(QString());
        form.setStatus(form.statusText);
        return {};
    }
    if (!automation::LoadScaleForDrawing(form.caption())) {
        finishPictures(form);
        return {};
    }
    DrawingScaleFactor = automation::DrawingScale / 1000.0;
    const QString nr = form.intersectionText().trimmed();
    std::vector<int> phases;
    QList<PhaseEntry> entries;
    if (!ReadPhaseList(phases, nr, entries)) {
        ui::MsgBox(Tlumacz(QStringLiteral("Brak zdefiniowanych faz")), ui::OkOnly,
                   QLatin1String(ProgramTitleText));
        return {};
    }
    // A piece the stream search passes over would be missing from every picture of its phases: told
    // before the user draws the pattern's circle.
    if (const QStringList passed = automation::PassedOverStreamReferences(nr, StreamLayer);
        !passed.isEmpty()) {
        ui::MsgBox(Tlumacz(QStringLiteral("Obrazy faz pokazałyby strumienie bez tych składowych:")) +
                       QLatin1Char('\n') + automation::PassedOverListText(passed) + QLatin1Char('\n') +
                       Tlumacz(QStringLiteral("Popraw rysunek i utwórz obrazy faz ponownie.")),
                   ui::Exclamation, QLatin1String(ProgramTitleText));
        return {};
    }
    pending = phases;
    form.lockedLayers.clear();
    form.unlockedLayers.clear();
    automation::EnsureLayer(QStringLiteral("SCHEMAT_FAZY"), true, -1, -10);
    frmMain_cmdDefObszar_Click(form);

    cad::Entity pattern;
    if (!automation::FindFirstInsert(automation::EscapeFilterText(QStringLiteral("Schemat_wzorzec_") + nr),
                                     pattern)) {
        finishPictures(form);
        return {};
    }
    SaveAndSetCadVariables(QString(), QString(), 0, 0);
    QStringList inserted;
    try {
        picturesFromPattern(form, pattern, nr, phases, entries, inserted, *pending);
    } catch (const cad::ConnectionLost&) {
        throw;  // said with the pictures not made
    } catch (const cad::Error& e) {
        const QString what = QString::fromUtf8(e.what());
        if (!what.isEmpty())
            ui::MsgBox(
                Tlumacz(QStringLiteral("Nie udało się utworzyć obrazów faz:")) + QStringLiteral("\n") + what,
                ui::Exclamation, form.caption());
    }
    RestoreCadVariables();
    finishPictures(form);
    return inserted;
}

}  // namespace

QString PicturesStoppedText(const QString& reason, const std::optional<std::vector<int>>& pending) {
    QString text =
        Tlumacz(QStringLiteral("Polecenie \"Twórz obrazy faz\" zostało przerwane: %1")).arg(reason);
    if (!pending)
        return text + QStringLiteral("\n") + Tlumacz(QStringLiteral("Nie utworzono żadnego obrazu faz."));
    if (pending->empty()) return text;
    QStringList numbers;
    for (int phase : *pending) numbers << QString::number(phase);
    return text + QStringLiteral("\n") +
           Tlumacz(QStringLiteral("Nie utworzono obrazów faz: %1.")).arg(numbers.join(QStringLiteral(", ")));
}

QStringList frmMain_cmdTworzObrazyFaz_Click(HatcherForm& form) {
    std::optional<std::vector<int>> pending;  // none until the phases are read
    try {
        return makePictures(form, pending);
    } catch (const cad::ConnectionLost& e) {
        // The host is gone: nothing more can be drawn or put back. The user is told which pictures are
        // missing, and the status line no longer shows a stage that is not running.
        form.lockedLayers.clear();
        form.progressBar().setValue(0);
        form.setCountText(QString());
        form.setStatus(form.statusText);
        form.showForm();
        ui::MsgBox(PicturesStoppedText(e.message(), pending), ui::Exclamation, form.caption());
        return {};
    }
}

}  // namespace hatcher
