// The intergreen export: checks of the streams, groups and phases, the conflict-point markers read
// back, worksheet 1 (parameters, stream rows, pair rows), worksheet 2, and the save.
#include "conflictor/conflicts/IntergreenExport.h"

#include "automation/Automation.h"
#include "automation/CrossingLinks.h"
#include "automation/WorkbookLock.h"
#include "common/NumberText.h"
#include "common/PathHelpers.h"
#include "common/ProgramSettings.h"
#include "common/SettingBindings.h"
#include "common/TextHelpers.h"
#include "conflictor/conflicts/ConflictMarkers.h"
#include "conflictor/conflicts/CrossingPairs.h"
#include "conflictor/conflicts/DrawingUnits.h"
#include "conflictor/conflicts/PhaseExport.h"
#include "conflictor/conflicts/StaleCut.h"
#include "conflictor/conflicts/StreamValueCheck.h"
#include "conflictor/phases/PhaseSets.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamReading.h"
#include "conflictor/streams/StreamShape.h"
#include "conflictor/streams/StreamWindow.h"
#include "platform/sheet/Application.h"
#include "platform/sheet/Errors.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Worksheet.h"
#include "platform/ui/core/Prompt.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <memory>

namespace conflictor {

namespace {

QString T(const char* text) {
    return common::Tlumacz(QString::fromUtf8(text));
}

// Ends the command as every later stop does: flash off, normal pointer.
class BusyGuard {
public:
    BusyGuard() {
        MainWindow().setBusyCursor(true);
        MainWindow().StartPanelFlash(T("Trwa eksport danych do programu Excel ..."));
    }
    ~BusyGuard() {
        MainWindow().StopPanelFlash();
        MainWindow().setBusyCursor(false);
    }
};

void warn(const QString& text, int icon = ui::Exclamation) {
    ui::MsgBox(text, icon, MainWindow().caption());
}

// The variant suffix "[2]" removed.
QString baseName(const QString& name) {
    const int bracket = name.lastIndexOf(QLatin1Char('['));
    return bracket > 0 ? name.left(bracket) : name;
}

// Group and phase checks; false after the message.
bool checkGroupsAndPhases(int n) {
    std::vector<bool> seen(size_t(n), false);
    for (const StreamRecord& s : StreamTable) {
        // A negative group would fall outside the group matrix: it is no group either.
        if (s.Group <= 0) {
            warn(T("Nie zdefiniowano wszystkich grup!"), ui::Critical);
            return false;
        }
        if (s.Group >= 1 && s.Group <= n) seen[size_t(s.Group - 1)] = true;
    }
    QStringList missing;
    for (int g = 1; g <= n; ++g)
        if (!seen[size_t(g - 1)]) missing.append(QString::number(g));
    if (!missing.isEmpty()) {
        warn(T("Nie zachowana kolejność grup!") + QStringLiteral("\n") + T("Brak grupy: ") +
                 missing.join(QStringLiteral(", ")),
             ui::Critical);
        return false;
    }
    for (const StreamRecord& s : StreamTable)
        if (s.Phases.isEmpty()) {
            warn(T("Nie zdefiniowano wszystkich faz!"), ui::Critical);
            return false;
        }
    return true;
}

// Every marker names two streams of the table; false after the message when one is stale. Every
// marker is checked before any is used: a stale one stops the export with nothing written.
bool markersNameKnownStreams(const QList<ConflictMarker>& markers) {
    for (const ConflictMarker& m : markers)
        if (FindStreamIndex(m.Stream1) == -1 || FindStreamIndex(m.Stream2) == -1) {
            warn(T("Eksport do programu Excel został przerwany z powodu nieaktualnych punktów kolizji.") +
                 QStringLiteral("\n") + T("Należy wykonać operację cięcia a następnie eksport."));
            return false;
        }
    return true;
}

// A clearance over a pedestrian or bicycle crossing is measured over the whole crossing, the longer
// of the stream and its associated crossing; the longest clearance time of each group is kept.
void measureWholeCrossing(IntergreenData& data, const ConflictMarker& m, const PlanePoint& at, int s1,
                          double& d1, QString& text1, QHash<double, QString>& partTexts) {
    const StreamRecord& clearing = StreamTable[size_t(s1)];
    ExtendToWholeCrossing(s1, d1, text1);
    const int associated = m.AssociatedPedestrian.isEmpty() ? -1 : FindStreamIndex(m.AssociatedPedestrian);
    if (associated >= 0) {
        bool arcA = false;
        double dA = 0;
        QString textA;
        const bool measuredA = GetConflictDistanceText(at, associated, arcA, dA, textA, &partTexts);
        if (measuredA) ExtendToWholeCrossing(associated, dA, textA);
        if (measuredA && dA > d1) {
            d1 = dA;
            text1 = textA;
        }
    }
    const double scale = automation::DrawingScale > 0 ? automation::DrawingScale : 1;
    const bool pedestrian = clearing.Kind == KindPedestrian;
    const double metres = common::RoundToDecimals(d1 / scale, 1);
    const double time = common::RoundToDecimals(metres / (pedestrian ? 1.4 : 2.8), 2);
    const int g = clearing.Group;
    if (g >= 1 && g <= data.n) {
        GroupClearanceRecord& kept = data.GroupClearance[size_t(g)];
        const double keptTime = kept.Distance < 0 ? 0 : kept.Distance / (kept.IsPedestrian ? 1.4 : 2.8);
        if (time > keptTime) kept = {metres, pedestrian, time};
    }
}

// The pair (two for two vehicle streams, one each way) of one marker, or its streams among the
// problems when a distance cannot be measured.
void addPairOfMarker(IntergreenData& data, const ConflictMarker& m, QHash<double, QString>& partTexts) {
    QString name1 = m.Stream1, name2 = m.Stream2;
    int s1 = FindStreamIndex(name1), s2 = FindStreamIndex(name2);
    const QString kind = ConflictKindName(m.Kind);
    const bool v1 = IsVehicleStream(StreamTable[size_t(s1)]);
    const bool v2 = IsVehicleStream(StreamTable[size_t(s2)]);
    if ((m.Kind == 2 && !v1 && v2) || (m.Kind == 1 && !v2 && v1)) {
        std::swap(name1, name2);
        std::swap(s1, s2);
    }
    PlanePoint at = m.Position;
    bool arc1 = false, arc2 = false;
    double d1 = 0, d2 = 0;
    QString text1, text2;
    bool measured = GetConflictDistanceText(at, s1, arc1, d1, text1, &partTexts);
    if (measured && m.Kind == 1 && !IsVehicleStream(StreamTable[size_t(s1)]))
        measureWholeCrossing(data, m, at, s1, d1, text1, partTexts);
    if (m.Kind == 2) {
        text2 = QStringLiteral("0");
        arc2 = false;
    } else if (measured) {
        measured = GetConflictDistanceText(at, s2, arc2, d2, text2, &partTexts);
    }
    if (!measured) {
        // A vehicle stream that does not end a component at the point cannot be measured.
        data.Problems.append(name1 + QStringLiteral(" - ") + name2);
        return;
    }
    IntergreenPair pair{name1, name2, QStringLiteral("=") + text1, QStringLiteral("=") + text2, s1, s2, arc1,
                        arc2,  kind};
    if (m.Kind == 3) {
        data.VehiclePairs.push_back(pair);
        data.VehiclePairs.push_back({name2, name1, QStringLiteral("=") + text2, QStringLiteral("=") + text1,
                                     s2, s1, arc2, arc1, kind});
    } else {
        data.OtherPairs.push_back(pair);
    }
}

// The pairs of the intersection's markers; false (after the message) when a marker is stale.
bool readPairs(IntergreenData& data, const QList<ConflictMarker>& markers) {
    if (!markersNameKnownStreams(markers)) return false;
    QHash<double, QString> partTexts;  // the components' lengths as texts, each formatted once
    for (const ConflictMarker& m : markers) addPairOfMarker(data, m, partTexts);
    return true;
}

void writeParameters(sheet::Worksheet& ws) {
    const common::ProgramSettings& s = common::Settings;
    ws.cells(2, 3).setValue(IntersectionNumber);
    const double column24[] = {s.DlugoscPojazd,   s.PredkDojazdProsta, s.PredkDojazdLuk,
                               s.PredkEwakProsta, s.PredkEwakLuk,      s.PredkPiesi,
                               s.PredkRowery,     s.SygnalZolty,       s.MaksPrzysp};
    for (int i = 0; i < 9; ++i) ws.cells(2 + i, 24).setValue(column24[i]);
    const double column32[] = {s.DlugoscAutobus,   s.PredkDojazdProsta2, s.PredkDojazdLuk2,
                               s.PredkEwakProsta2, s.PredkEwakLuk2,      s.MaksPrzyspAutobus};
    for (int i = 0; i < 6; ++i) ws.cells(3 + i, 32).setValue(column32[i]);
    const double column40[] = {s.TramLength(),     s.PredkDojazdProsta3, s.PredkDojazdLuk3,
                               s.PredkEwakProsta3, s.PredkEwakLuk3,      s.MaksPrzyspTramwaj};
    for (int i = 0; i < 6; ++i) ws.cells(3 + i, 40).setValue(column40[i]);
}

// The streams in the order of the grid's rows; a stream the grid does not show follows in table order.
std::vector<int> streamRowOrder() {
    std::vector<int> order;
    std::vector<bool> taken(StreamTable.size(), false);
    for (const QString& name : MainWindow().gridStreamNames()) {
        const int i = FindStreamIndex(name);
        if (i < 0 || taken[size_t(i)]) continue;  // a row the table does not know is left out
        taken[size_t(i)] = true;
        order.push_back(i);
    }
    for (size_t i = 0; i < StreamTable.size(); ++i)
        if (!taken[i]) order.push_back(int(i));
    return order;
}

// One row per stream from row 24, in the grid's order; returns the last stream row.
int writeStreamRows(sheet::Worksheet& ws) {
    int row = 23;
    for (const int i : streamRowOrder()) {
        StreamRecord& s = StreamTable[size_t(i)];
        ++row;
        ws.cells(row, 17).setValue(s.Name);
        ws.cells(row, 18).setValue(s.VehicleLength);
        ws.cells(row, 21).setValue(s.ClearStraightSpeed);
        if (s.Kind != KindPedestrian && s.Kind != KindBicycle) {
            ws.cells(row, 19).setValue(s.ApproachStraightSpeed);
            ws.cells(row, 20).setValue(s.ApproachArcSpeed);
            ws.cells(row, 22).setValue(s.ClearArcSpeed);
            ws.cells(row, 23).setValue(s.MaxAcceleration);
        }
        s.SheetIndex = row;
    }
    return row;
}

// The markers must be those of the streams as they stand: a stream drawn or changed after the cut
// has no markers of its own, and its conflicts would read as "no conflict". They come back standing
// at the crossings of their streams.
bool markersOfTheStreams(const IntergreenExportOptions& options, QList<ConflictMarker>& markers,
                         bool& cutWanted) {
    const CutCheck check = ConfirmCutCurrent(
        MainWindow().caption(),
        T("Eksport do programu Excel został przerwany z powodu nieaktualnych punktów kolizji."), markers,
        bool(options.CutAgain));
    cutWanted = check == CutCheck::CutWanted;
    return check == CutCheck::Current;
}

QString saveWorkbook(sheet::Workbook& book) {
    const QString drawing = automation::CadDocument.fullName();
    const QFileInfo info(drawing);
    ui::FileRequest req;
    req.kind = ui::FileRequest::Save;
    req.title = T("Zapisz skoroszyt czasów międzyzielonych");
    req.filter = T("Skoroszyt programu Excel (*.xlsx)|*.xlsx");
    req.initialFolder = info.absolutePath();
    const QString stem =
        info.completeBaseName().isEmpty() ? T("Czasy miedzyzielone") : info.completeBaseName();
    req.fileName = stem + QStringLiteral("_") + IntersectionNumber + QStringLiteral(".xlsx");
    req.confirmOverwrite = true;
    QString target;
    // A workbook another program holds open is written over only after asking; No chooses again.
    do {
        const std::optional<QString> path = ui::Prompts().file(req);
        if (!path || path->isEmpty()) return QString();
        target = *path;
        if (QFileInfo(target).suffix().isEmpty()) target += QStringLiteral(".xlsx");
    } while (!automation::ConfirmWritingLockedWorkbook(target, MainWindow().caption()));
    try {
        book.saveAs(target);
    } catch (const std::exception& e) {
        warn(T("Nie można zapisać skoroszytu:") + QStringLiteral("\r\n") + target + QStringLiteral("\r\n") +
             QString::fromUtf8(e.what()));
        return QString();
    }
    return target;
}

}  // namespace

namespace {

// The streams read afresh and their shapes checked; false after the message.
bool readAndCheckStreams() {
    StreamWindow& window = MainWindow();
    window.commitPendingEdit();
    if (!OdczytajStrumienie(false, -1) || StreamTable.empty()) {
        // Pieces the reading passes over are no absence of streams.
        if (!CheckStreamsOutsideTheTable(T("Skoroszyt nie został zapisany."))) return false;
        warn(T("Nie wrysowano strumieni!"));
        return false;
    }
    if (const QString& problem = IntersectionAttributeBlockProblem(); !problem.isEmpty()) {
        warn(problem, ui::Critical);
        return false;
    }
    if (!CheckStreamShapes(
            T("Skoroszyt nie został zapisany. Należy poprawić strumień, wykonać cięcie, a następnie "
              "eksport.")))
        return false;
    return true;
}

// Why no stream has a group. A group is read from the stream's entry in the attribute GRUPY as a whole
// number: an entry the streams hold that gives none (a value no group number is, or one too long to read
// as one, such as megabytes of digits) is named with its stream, never told as groups not defined.
QString noGroupsMessage() {
    constexpr int Longest = 40;  // characters of an entry quoted; a longer one is too long to read
    QStringList unread;
    for (const StreamRecord& r : StreamTable) {
        const QString value = GetStreamAttribute(QStringLiteral("GRUPY"), r.BaseName).trimmed();
        if (value.isEmpty()) continue;
        const QString said = value.size() > Longest
                                 ? T("wartość za długa, by ją odczytać (%1 znaków)").arg(value.size())
                                 : QStringLiteral("\"%1\"").arg(value);
        const QString line =
            QStringLiteral("- ") + common::ShortForMessage(r.BaseName) + QStringLiteral(": ") + said;
        if (!unread.contains(line)) unread << line;
    }
    if (unread.isEmpty()) return T("Nie zdefiniowano grup!");
    constexpr int Listed = 10;
    if (unread.size() > Listed) unread = unread.mid(0, Listed) << QStringLiteral("…");
    return T("Nie odczytano numerów grup: atrybut GRUPY bloku %1 podaje dla strumieni wartości, które nie są "
             "numerami grup:")
               .arg(IntersectionBlockPrefix() + IntersectionNumber) +
           QLatin1Char('\n') + unread.join(QLatin1Char('\n')) + QStringLiteral("\n\n") +
           T("Skoroszyt nie został zapisany. Popraw numery grup strumieni i wykonaj eksport ponownie.");
}

// The groups, phases, values and phase sets of the streams read; false after the message.
bool checkStreamValues(IntergreenData& data) {
    StreamWindow& window = MainWindow();
    data.n = window.MaxGroupNumber;
    if (data.n <= 0) {
        warn(noGroupsMessage(), ui::Critical);
        return false;
    }
    const size_t size = size_t(data.n + 1);
    data.GroupMatrix.assign(size, std::vector<int>(size, -111));
    data.GroupStreamNames = QStringList(qsizetype(size));
    data.GroupClearance.assign(size, GroupClearanceRecord{});
    if (!checkGroupsAndPhases(data.n)) return false;
    if (const QStringList faults = UnusableStreamValues(); !faults.isEmpty()) {
        warn(T("Wartości strumieni muszą być większe od zera:") + QStringLiteral("\n") +
                 faults.join(QStringLiteral("\n")) + QStringLiteral("\n\n") +
                 T("Skoroszyt nie został zapisany. Popraw dane strumieni i wykonaj eksport ponownie."),
             ui::Critical);
        return false;
    }
    data.SetCount = StworzZestawyFaz(data.Sets);
    return data.SetCount != -1;
}

// Orders every stream's components and lists each group's streams (a variant under its base name,
// once).
void listGroupStreams(IntergreenData& data) {
    QStringList seenBases;
    for (int i = 0; i < int(StreamTable.size()); ++i) {
        QCoreApplication::processEvents();
        SortujOdcinkiStrumienia(i);
        const StreamRecord& s = StreamTable[size_t(i)];
        const QString base = baseName(s.Name);
        if (seenBases.contains(base, Qt::CaseInsensitive)) continue;
        seenBases.append(base);
        if (s.Group < 1 || s.Group > data.n) continue;
        QString& names = data.GroupStreamNames[s.Group];
        names = names.isEmpty() ? base : names + QStringLiteral(", ") + base;
    }
}

// The markers, read once for the checks and the pairs (nothing in between changes them): those of
// the streams as they stand. False after the message.
bool readCheckedMarkers(const IntergreenExportOptions& options, QList<ConflictMarker>& markers,
                        bool& cutWanted) {
    markers = ReadConflictMarkers();
    for (int i = 0; i < int(StreamTable.size()); ++i) SortujOdcinkiStrumienia(i);
    return markersOfTheStreams(options, markers, cutWanted);
}

// The markers of the streams as they stand measured: lengths and distances "SKALA" gets right, and
// every crossing drawn by both edges. False after the message.
bool markersMeasured(QList<ConflictMarker>& markers) {
    if (!ConfirmDrawingUnits(MainWindow().caption(), MeasureStreams(), MeasureConflictDistances(markers)))
        return false;
    // A crossing drawn so that one intergreen direction is lost gives no workbook: a missing cell
    // would read as "no conflict".
    const QStringList crossingFaults = CheckCrossingPairs(markers);
    if (crossingFaults.isEmpty()) return true;
    warn(CrossingPairsMessage(crossingFaults) + QStringLiteral("\n\n") +
         T("Skoroszyt nie został zapisany. Należy poprawić przejścia, wykonać cięcie, a następnie "
           "eksport."));
    return false;
}

// A new workbook from the template; null after the message.
sheet::Workbook* openTemplate(sheet::Application& app, const QString& templatePath) {
    try {
        app.setVisible(true);
        sheet::Workbook* book = &app.workbooks().add(templatePath);
        if (book->worksheetCount() < 2) throw sheet::NotFound(T("Szablon nie ma arkusza matrycy kolizji."));
        return book;
    } catch (const std::exception& e) {
        warn(T("Nie można otworzyć szablonu skoroszytu:") + QStringLiteral("\r\n") + templatePath +
             QStringLiteral("\r\n") + QString::fromUtf8(e.what()));
        return nullptr;
    }
}

// Worksheet 1 (parameters, stream rows, pair rows, print area) and the group matrix sheet; false
// after the message, also when a conflict has no time: its empty matrix cell would read as "no
// conflict", so such a workbook is never written.
bool fillWorkbook(sheet::Application& app, sheet::Workbook& book, IntergreenData& data) {
    try {
        sheet::Worksheet& ws = book.worksheets(1);
        ws.activate();
        writeParameters(ws);
        const int lastStreamRow = writeStreamRows(ws);
        QStringList computeProblems;
        const int freeRow = WriteIntergreenRows(app, ws, data.VehiclePairs, data.OtherPairs, data.GroupMatrix,
                                                computeProblems);
        ws.range(QStringLiteral("A") + QString::number(freeRow)).select();
        ws.pageSetup().setPrintArea(
            ws.range(ws.cells(1, 1), ws.cells(std::max(freeRow - 1, 1), 15)).address() + QLatin1Char(',') +
            ws.range(ws.cells(1, 16), ws.cells(lastStreamRow, 24)).address());
        WriteGroupMatrixSheet(app, book, data);
        QStringList unusable;
        if (!data.Problems.isEmpty())
            unusable
                << T("Nie można zmierzyć odległości do punktu kolizji (strumień pojazdów nie kończy się w "
                     "nim):") +
                       QStringLiteral("\n") + data.Problems.join(QStringLiteral("\n"));
        if (!computeProblems.isEmpty())
            unusable << T("Nie można obliczyć czasu międzyzielonego (sprawdź prędkości strumieni):") +
                            QStringLiteral("\n") + computeProblems.join(QStringLiteral("\n"));
        if (unusable.isEmpty()) return true;
        warn(unusable.join(QStringLiteral("\n\n")) + QStringLiteral("\n\n") +
             T("Skoroszyt nie został zapisany: kolizja bez czasu międzyzielonego dałaby w matrycy kolizji "
               "puste pole, które oznacza brak kolizji. Popraw dane strumieni i wykonaj eksport "
               "ponownie."));
    } catch (const sheet::MacroNotFound& e) {
        warn(QString::fromUtf8(e.what()));
    } catch (const std::exception& e) {
        warn(T("Błąd podczas wypełniania skoroszytu:") + QStringLiteral("\r\n") +
             QString::fromUtf8(e.what()));
    }
    return false;
}

QString exportWorkbook(const IntergreenExportOptions& options, bool& cutWanted) {
    IntergreenData data;
    data.MatrixInverted = common::SettingBindings[0].Value.toInt() == 1;
    if (IntersectionNumber.isEmpty()) {
        MainWindow().focusIntersectionCombo();
        warn(T("Nieprawidłowy numer skrzyżowania!"));
        return QString();
    }
    const QString templatePath = common::JoinPath(options.ResourceFolder, IntergreenTemplateName());
    if (!QFileInfo(templatePath).isFile()) {
        warn(T("Nie znaleziono pliku ze znakiem: ") + QStringLiteral("\r\n") + templatePath);
        return QString();
    }
    BusyGuard busy;
    if (!automation::CheckDocumentOpen(true)) return QString();
    if (!readAndCheckStreams()) return QString();
    // A cut that no longer matches the streams is named before their groups: a stream erased since
    // the cut leaves a gap in the groups that is not the cause.
    QList<ConflictMarker> markers;
    if (!readCheckedMarkers(options, markers, cutWanted)) return QString();
    if (!checkStreamValues(data)) return QString();
    listGroupStreams(data);
    if (!markersMeasured(markers)) return QString();

    auto app = std::make_unique<sheet::Application>();
    sheet::Workbook* book = openTemplate(*app, templatePath);
    if (!book) return QString();
    automation::DrawingScale = automation::GetDrawingScale();
    if (!readPairs(data, markers)) return QString();
    QCoreApplication::processEvents();
    if (!fillWorkbook(*app, *book, data)) return QString();

    const QString saved = saveWorkbook(*book);
    if (!saved.isEmpty()) LastIntergreenWorkbook = saved;
    if (!saved.isEmpty() && options.OpenSavedWorkbook) options.OpenSavedWorkbook(saved);
    return saved;
}

}  // namespace

QString mnuNarzedzia_EksportExcel_Click(const IntergreenExportOptions& options) {
    bool cutWanted = false;
    const QString saved = exportWorkbook(options, cutWanted);
    if (!cutWanted || !options.CutAgain()) return saved;
    IntergreenExportOptions again = options;
    again.CutAgain = nullptr;  // once: a cut that leaves the drawing stale is told, not repeated
    return exportWorkbook(again, cutWanted);
}

}  // namespace conflictor
