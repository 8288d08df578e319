// Inserting, removing and re-aligning the phase-transition arrows.
#include "hatcher/core/PhaseTransitions.h"

#include "automation/Automation.h"
#include "common/NumberText.h"
#include "common/PathHelpers.h"
#include "common/SettingBindings.h"
#include "common/TextHelpers.h"
#include "hatcher/core/HatcherServices.h"
#include "platform/cad/AttributeReads.h"
#include "platform/cad/BulkReads.h"
#include "platform/cad/CallEach.h"
#include "platform/cad/DeferredCalls.h"
#include "platform/cad/FilteredReads.h"
#include "platform/ui/core/Prompt.h"

#include <QHash>
#include <QMap>
#include <QSet>
#include <cmath>
#include <numbers>

namespace hatcher {

using automation::CadDocument;
using automation::CadModelSpace;
using common::PlanePoint;
using common::Tlumacz;

namespace {

constexpr double Pi = std::numbers::pi;

void warn(const QString& text, const HatcherForm& form) {
    ui::MsgBox(Tlumacz(text), ui::Exclamation, form.caption());
}

PlanePoint pp(const cad::Point& p) {
    return {p.x, p.y};
}
cad::Point cp(const PlanePoint& p) {
    return {p.X, p.Y, 0};
}

double textHeight() {
    double h = common::ParseDouble(common::SettingBindings[3].Value.toString());
    if (common::SettingBindings[4].Value.toInt() == 1) h *= automation::DrawingScale;
    return h;
}

// A block reference with what the transition commands read of it and of its attributes.
struct ReferenceRead {
    cad::Entity Reference;
    cad::Point InsertionPoint;
    QString EffectiveName;
    QList<cad::Entity> Attributes;
    QStringList Tags, Texts;

    // The text of the first attribute with the tag (case ignored), as ReadAttributeByTag gives it.
    QString text(const QString& tag) const {
        const QString wanted = tag.toUpper();
        for (qsizetype i = 0; i < Tags.size(); ++i)
            if (Tags[i].toUpper() == wanted) return Texts[i];
        return QString();
    }
};

// The rows of references (each an entity, then its insertion point and effective name) with their
// attributes' tags and texts. Fails as the first reference's GetAttributes would (an entity that is
// no block reference).
QList<ReferenceRead> withAttributes(const cad::VariantList& rows) {
    QList<ReferenceRead> out;
    if (rows.isEmpty()) return out;
    cad::VariantList refs;
    for (const cad::Variant& row : rows) refs << row.toArray().value(0);
    const cad::VariantList attributes =
        cad::ReadAttributes(CadDocument, refs, {QStringLiteral("TagString"), QStringLiteral("TextString")});
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const cad::VariantList row = rows[i].toArray();
        ReferenceRead r;
        r.Reference = cad::Entity(CadDocument.channel(), row.value(0).toObject());
        r.InsertionPoint = row.value(1).toPoint();
        r.EffectiveName = row.value(2).toText();
        for (const cad::Variant& a : attributes.value(i).toArray()) {
            const cad::VariantList arow = a.toArray();
            r.Attributes << cad::Entity(CadDocument.channel(), arow.value(0).toObject());
            r.Tags << arow.value(1).toText();
            r.Texts << arow.value(2).toText();
        }
        out << r;
    }
    return out;
}

const QStringList ReferenceMembers = {QStringLiteral("?InsertionPoint"), QStringLiteral("?EffectiveName")};

// The references with their insertion points, effective names and attributes.
QList<ReferenceRead> readReferences(const QList<cad::Entity>& refs) {
    if (refs.isEmpty()) return {};
    const cad::VariantList read = cad::ReadProperties(CadDocument, cad::ObjectsOf(refs), ReferenceMembers);
    cad::VariantList rows;
    for (qsizetype i = 0; i < refs.size(); ++i)
        rows << cad::Variant(cad::VariantList{refs[i].ref()} + read.value(i).toArray());
    return withAttributes(rows);
}

// The arrows of one intersection (any intersection when nr is null), with their attributes.
QList<ReferenceRead> transitions(const QString& nr) {
    QList<ReferenceRead> out;
    const cad::VariantList rows = cad::ReadSelection(
        CadDocument, automation::BuildSelectionFilter({2, QStringLiteral("`*U*")}), ReferenceMembers);
    for (const ReferenceRead& r : withAttributes(rows)) {
        if (r.Attributes.isEmpty() ||
            r.EffectiveName.compare(QLatin1String(TransitionBlockName), Qt::CaseInsensitive) != 0)
            continue;
        if (!nr.isNull() && r.text(QStringLiteral("SKRZYZOWANIE")).toUpper() != nr.toUpper()) continue;
        out << r;
    }
    return out;
}

// The scale, text style, layer and CAD variables every transition command starts with; false (said)
// when the drawing's "SKALA" cannot be read.
bool prepare(HatcherForm& form) {
    if (!automation::LoadScaleForDrawing(form.caption())) return false;
    SaveAndSetCadVariables(QString(), QString(), 0, 0);
    automation::EnsureTextStyle(QStringLiteral("ARIAL"), 1.5, QStringLiteral("arial"), true);
    automation::EnsureLayer(QLatin1String(TransitionLayerName), true, -1, -10);
    return true;
}

// Reports a missing transition drawing.
bool templateMissing(const HatcherForm& form) {
    if (common::CheckFileExists(form.transitionTemplatePath)) return false;
    warn(QStringLiteral("Nie znaleziono pliku:") + QStringLiteral("\n") +
             common::ShortForMessage(form.transitionTemplatePath),
         form);
    return true;
}

int phaseOfName(const QString& name) {
    const qsizetype f = name.indexOf(QLatin1String("_Faza"));
    if (f < 0) return 0;
    const QString rest = name.mid(f + 5);
    const qsizetype u = rest.indexOf(QLatin1Char('_'));
    if (u <= 0) return 0;
    return common::ParseLong(rest.left(u));
}

}  // namespace

bool PobierzNrSkrzyzFaze(const QString& name, QString& nr, int& phase) {
    const QString prefix = QStringLiteral("Schemat_");
    if (!name.startsWith(prefix)) return false;
    const QString rest = name.mid(prefix.size());
    const qsizetype u = rest.indexOf(QLatin1Char('_'));
    if (u <= 0) return false;
    nr = rest.left(u);
    const qsizetype f = name.indexOf(QLatin1String("_Faza"));
    if (f < 1) return false;
    const QString after = name.mid(f + 5);
    const qsizetype v = after.indexOf(QLatin1Char('_'));
    if (v <= 0) return false;
    phase = common::ParseLong(after.left(v));
    return phase != 0;
}

bool TransitionExists(const QString& nr, int k, int l) {
    const QString text = QStringLiteral("PF %1-%2").arg(k).arg(l);
    for (const ReferenceRead& r : transitions(nr))
        if (r.text(QStringLiteral("OPIS")).compare(text, Qt::CaseInsensitive) == 0) return true;
    return false;
}

namespace {

struct TransitionPlan {
    cad::Entity From, To;
    int K = 0, L = 0;
};

// Where one arrow goes: stretched between two pictures, its description beside its middle.
struct Arrow {
    PlanePoint Middle, TextPoint;
    double Length = 0, Angle = 0, TextAngle = 0;
    bool Above = true;
    QString Description;
};

// The arrow from one picture to another: it starts and ends outside the pictures' circles (RADIUS,
// else a quarter of their distance), shifted to the right of its direction so that the arrows of
// k-l and l-k lie side by side; the description reads from left to right.
Arrow arrowBetween(const ReferenceRead& from, const ReferenceRead& to, const TransitionPlan& plan) {
    const double s = automation::DrawingScale / 1000.0;
    const double h = textHeight();
    const double a = 6000 * s;
    const double b = 0.75 * a;
    const PlanePoint c1 = pp(from.InsertionPoint), c2 = pp(to.InsertionPoint);
    const double d = common::GetDistance(c1, c2);
    const QString radius = from.text(QStringLiteral("RADIUS"));
    double r = radius.trimmed().isEmpty() ? d / 4 : common::ParseDouble(radius);
    r += a / 2;
    const double angle = common::GetDirectionAngle(c1, c2);
    PlanePoint p1 = common::GetPolarPoint(c1, angle, r);
    PlanePoint p2 = common::GetPolarPoint(c2, angle + Pi, r);
    p1 = common::GetPolarPoint(p1, angle + Pi / 2, b);
    p2 = common::GetPolarPoint(p2, angle + Pi / 2, b);
    double t = angle, y = 2000 * s;
    if (angle > Pi / 2 && angle < 3 * Pi / 2) {
        t = angle - Pi;
        y = -(h + 2000) * s;
    }
    Arrow arrow;
    arrow.Length = common::GetDistance(p1, p2);
    arrow.Middle = common::GetPolarPoint(p1, angle, arrow.Length / 2);
    arrow.Angle = angle;
    arrow.TextAngle = t;
    arrow.Above = y > 0;
    arrow.TextPoint = common::GetPolarPoint(arrow.Middle, angle + Pi / 2, std::abs(y));
    arrow.Description = QStringLiteral("PF %1-%2").arg(plan.K).arg(plan.L);
    return arrow;
}

// The arrows of the plans, in order, each picture read once.
QList<Arrow> arrowsOf(const QList<TransitionPlan>& plans) {
    QList<cad::Entity> pictures;
    QHash<cad::ObjectId, qsizetype> pictureIndex;
    for (const TransitionPlan& plan : plans)
        for (const cad::Entity& e : {plan.From, plan.To})
            if (!pictureIndex.contains(e.id())) {
                pictureIndex.insert(e.id(), pictures.size());
                pictures << e;
            }
    const QList<ReferenceRead> facts = readReferences(pictures);
    QList<Arrow> arrows;
    for (const TransitionPlan& plan : plans)
        arrows << arrowBetween(facts[pictureIndex.value(plan.From.id())],
                               facts[pictureIndex.value(plan.To.id())], plan);
    return arrows;
}

// The arrow block, loaded from the transition drawing when the drawing lacks it; said and thrown
// when it cannot be had.
void ensureTransitionBlock(HatcherForm& form) {
    const QString blockName = QLatin1String(TransitionBlockName);
    LoadBlockFromDrawingFile(blockName, form.transitionTemplatePath, form.caption(), QString());
    if (!automation::CheckBlockExists(blockName)) {
        warn(QStringLiteral("Nie znaleziono bloku: ") + blockName, form);
        throw cad::Failed(QString());
    }
}

// Stretches and turns each arrow (a reference of a block that is not dynamic has no properties and
// stays as inserted). The kinds of the references, in their order.
QStringList stretchArrows(const QList<cad::Entity>& refs, const QList<Arrow>& arrows) {
    const cad::VariantList properties =
        cad::CallEach(CadDocument, cad::ObjectsOf(refs), QStringLiteral("GetDynamicBlockProperties"));
    cad::VariantList propertyObjects;
    for (const cad::Variant& list : properties) propertyObjects << list.toArray();
    const cad::VariantList names =
        cad::ReadProperties(CadDocument, propertyObjects + cad::ObjectsOf(refs),
                            {QStringLiteral("?PropertyName"), QStringLiteral("?ObjectName")});
    qsizetype next = 0;
    for (qsizetype i = 0; i < arrows.size(); ++i) {
        const cad::VariantList own = properties.value(i).toArray();
        for (const cad::Variant& v : own) {
            const cad::DynamicProperty prop(CadDocument.channel(), v.toObject());
            const QString n = names.value(next++).toArray().value(0).toText();
            if (n == QLatin1String("Distance") || n == QLatin1String("Distance2"))
                prop.setValue(arrows[i].Length);
            else if (n == QLatin1String("Angle"))
                prop.setValue(arrows[i].Angle);
        }
        if (!own.isEmpty()) refs[i].setInsertionPoint(cp(arrows[i].Middle));
    }
    QStringList kinds;
    for (qsizetype i = 0; i < refs.size(); ++i) kinds << names.value(next + i).toArray().value(1).toText();
    return kinds;
}

// Shows the description and places it as SetAttributeTextPlacement places a visible text.
void placeDescription(const cad::Entity& description, const Arrow& arrow) {
    description.setInvisible(false);
    if (arrow.TextAngle != -1) description.setRotation(arrow.TextAngle);
    description.setInsertionPoint(cp(arrow.TextPoint));
    description.setStyleName(QStringLiteral("ARIAL"));
    description.setHeight(textHeight());
    description.setColor(7);
    description.setAlignment(arrow.Above ? 13 : 7);
    description.setTextAlignmentPoint(cp(arrow.TextPoint));
    description.update();
}

// Writes each arrow's intersection and description and places the description of every arrow
// that is a block reference with attributes.
void labelArrows(const QList<cad::Entity>& refs, const QList<Arrow>& arrows, const QStringList& kinds,
                 const QString& nr) {
    const cad::VariantList attributes =
        cad::ReadAttributes(CadDocument, cad::ObjectsOf(refs), {QStringLiteral("TagString")});
    for (qsizetype i = 0; i < arrows.size(); ++i) {
        cad::Entity description;
        const cad::VariantList own = attributes.value(i).toArray();
        for (const cad::Variant& v : own) {
            const cad::VariantList row = v.toArray();
            const cad::Entity att(CadDocument.channel(), row.value(0).toObject());
            const QString tag = row.value(1).toText().toUpper();
            if (tag == QLatin1String("SKRZYZOWANIE")) {
                att.setTextString(nr);
            } else if (tag == QLatin1String("OPIS")) {
                att.setTextString(arrows[i].Description);
                if (description.isNull()) description = att;
            }
        }
        if (kinds.value(i) == QLatin1String("AcDbBlockReference") && !own.isEmpty()) {
            if (!description.isNull()) placeDescription(description, arrows[i]);
            refs[i].update();
        }
        refs[i].update();
    }
}

// Inserts the arrows on the transition block, stretched and labelled. Nothing here traps a CAD
// error: a failure reaches the command's own trap.
void insertArrows(const QList<Arrow>& arrows, const QString& nr) {
    const QString blockName = QLatin1String(TransitionBlockName);
    const double scale = automation::DrawingScale;
    QList<cad::Entity> refs;
    for (const Arrow& arrow : arrows)
        refs << CadModelSpace.insertBlock(cp(arrow.Middle), blockName, scale, scale, scale, 0);
    labelArrows(refs, arrows, stretchArrows(refs, arrows), nr);
}

}  // namespace

void InsertPhaseTransition(HatcherForm& form, const cad::Entity& pictureK, const cad::Entity& pictureL,
                           const QString& nr, int k, int l) {
    const QList<Arrow> arrows = arrowsOf({TransitionPlan{pictureK, pictureL, k, l}});
    ensureTransitionBlock(form);
    insertArrows(arrows, nr);
}

void RemovePrzejscia(const QString& nr) {
    const QList<ReferenceRead> found = transitions(nr.isNull() ? QStringLiteral("") : nr);
    QList<cad::Entity> refs;
    for (const ReferenceRead& r : found) refs << r.Reference;
    if (!refs.isEmpty()) cad::CallEach(CadDocument, cad::ObjectsOf(refs), QStringLiteral("Delete"));
}

void cmdConnect_Click(HatcherForm& form) {
    if (templateMissing(form)) return;
    if (!automation::CheckDocumentOpen(true)) return;
    if (!prepare(form)) return;
    automation::ActivateCadWindow(QStringLiteral("AutoCAD"));
    QString inserting;  // the arrow under way, as its description names it
    try {
        for (;;) {
            form.setStatus(Tlumacz(QStringLiteral("Wybierz fazę początkową ...")));
            cad::Entity first;
            if (common::IsMissingPoint(
                    automation::PickEntity(Tlumacz(QStringLiteral("Wybierz fazę początkową ...")), first)))
                break;
            if (first.objectName() != QLatin1String("AcDbBlockReference")) {
                warn(QStringLiteral("Nie wskazano poprawnie pierwszego obiektu."), form);
                break;
            }
            QString nr, nr2;
            int k = 0, l = 0;
            if (!PobierzNrSkrzyzFaze(first.name(), nr, k)) {
                warn(QStringLiteral("Wskazano niewłaściwy obiekt."), form);
                break;
            }
            form.setStatus(Tlumacz(QStringLiteral("Wybierz fazę kolejną ...")));
            cad::Entity second;
            if (common::IsMissingPoint(
                    automation::PickEntity(Tlumacz(QStringLiteral("Wybierz fazę kolejną ...")), second)) ||
                second.objectName() != QLatin1String("AcDbBlockReference")) {
                warn(QStringLiteral("Nie wskazano poprawnie drugiego obiektu."), form);
                break;
            }
            if (!PobierzNrSkrzyzFaze(second.name(), nr2, l)) {
                warn(QStringLiteral("Wskazano niewłaściwy obiekt."), form);
                break;
            }
            if (nr2 != nr) {
                warn(QStringLiteral("Wskazane obrazy faz należą do różnych skrzyżowań."), form);
                break;
            }
            if (TransitionExists(nr, k, l)) {
                warn(QStringLiteral("Istnieje już przejście fazowe PF %1-%2").arg(k).arg(l), form);
                break;
            }
            inserting = QStringLiteral("PF %1-%2").arg(k).arg(l);
            InsertPhaseTransition(form, first, second, nr, k, l);
            inserting.clear();
        }
    } catch (const cad::ConnectionLost&) {
        form.setStatus(form.statusText);
        throw;  // the window's guard says the CAD is gone
    } catch (const cad::Error& e) {
        // Without a message it has been shown already (the arrow block cannot be had). What was
        // inserted before stays.
        if (!e.message().isEmpty())
            warn(inserting.isEmpty() ? QStringLiteral("Program CAD odmówił: %1").arg(e.message())
                                     : QStringLiteral("Nie utworzono przejścia fazowego %1 (albo jest "
                                                      "niepełne).\nProgram CAD odmówił: %2")
                                           .arg(inserting, e.message()),
                 form);
    }
    form.setStatus(form.statusText);
    RestoreCadVariables();
}

namespace {

// One picture per phase of the intersection: the latest made (the highest handle).
QMap<int, cad::Entity> latestPictures(const QString& nr) {
    const cad::VariantList rows = cad::ReadSelection(
        CadDocument,
        automation::BuildSelectionFilter(
            {0, QStringLiteral("INSERT"), 2,
             QStringLiteral("Schemat_") + automation::EscapeFilterText(nr) + QStringLiteral("_Faza*")}),
        {QStringLiteral("Name"), QStringLiteral("Handle")});
    QMap<int, std::pair<cad::Entity, quint64>> latest;
    for (const cad::Variant& r : rows) {
        const cad::VariantList row = r.toArray();
        const int phase = phaseOfName(row.value(1).toText());
        if (phase <= 0) continue;
        const quint64 handle = row.value(2).toText().toULongLong(nullptr, 16);
        auto it = latest.find(phase);
        if (it == latest.end() || handle > it->second)
            latest[phase] = {cad::EntityOfRow(CadDocument, r), handle};
    }
    QMap<int, cad::Entity> pictures;
    for (auto it = latest.cbegin(); it != latest.cend(); ++it) pictures.insert(it.key(), it->first);
    return pictures;
}

// An arrow each way between every two phases, in the phases' order.
QList<TransitionPlan> plansBetween(const QMap<int, cad::Entity>& pictures) {
    const QList<int> keys = pictures.keys();
    QList<TransitionPlan> plans;
    for (qsizetype i = 0; i < keys.size(); ++i)
        for (qsizetype j = i + 1; j < keys.size(); ++j) {
            const cad::Entity& pi = pictures[keys[i]];
            const cad::Entity& pj = pictures[keys[j]];
            plans << TransitionPlan{pi, pj, keys[i], keys[j]} << TransitionPlan{pj, pi, keys[j], keys[i]};
        }
    return plans;
}

// Says which of the planned arrows the drawing lacks after the CAD refused part of "connect all",
// and the CAD's reason; an arrow counts as made when it carries its "PF a-b" description.
void reportMissingArrows(HatcherForm& form, const QString& nr, const QList<TransitionPlan>& plans,
                         const QString& reason) {
    QStringList missing;
    try {
        QSet<QString> made;
        for (const ReferenceRead& r : transitions(nr)) made.insert(r.text(QStringLiteral("OPIS")));
        for (const TransitionPlan& p : plans) {
            const QString name = QStringLiteral("PF %1-%2").arg(p.K).arg(p.L);
            if (!made.contains(name)) missing << name;
        }
    } catch (const cad::ConnectionLost&) {
        throw;
    } catch (const cad::Error& e) {
        warn(QStringLiteral(
                 "Program CAD odmówił utworzenia przejść fazowych: %1\nNie sprawdzono, które przejścia "
                 "powstały: %2")
                 .arg(reason, e.message()),
             form);
        return;
    }
    if (missing.isEmpty() && !plans.isEmpty()) {
        warn(QStringLiteral("Program CAD odmówił części zmian przejść fazowych: %1").arg(reason), form);
        return;
    }
    if (missing.isEmpty()) {
        warn(QStringLiteral("Nie utworzono przejść fazowych.\nProgram CAD odmówił: %1").arg(reason), form);
        return;
    }
    warn(QStringLiteral("Nie utworzono przejść fazowych: %1.\nProgram CAD odmówił: %2")
             .arg(missing.join(QStringLiteral(", ")), reason),
         form);
}

}  // namespace

void cmdConnectAll_Click(HatcherForm& form) {
    if (!form.hasChosenIntersection()) {
        warn(QStringLiteral("Nie określono numeru skrzyżowania!"), form);
        return;
    }
    if (templateMissing(form)) return;
    if (!automation::CheckDocumentOpen(true)) return;
    if (!prepare(form)) return;
    const QString nr = form.intersectionText();
    QList<TransitionPlan> plans;
    QString refused;  // the CAD's reason when it refused part of the work
    const auto resetProgress = [&] {
        form.progressBar().setValue(0);
        form.setCountText(QString());
        form.setStatus(form.statusText);
    };
    try {
        const QMap<int, cad::Entity> pictures = latestPictures(nr);
        if (!pictures.isEmpty()) {
            form.setStatus(Tlumacz(QStringLiteral("Tworzenie wszystkich przejść międzyfazowych ...")));
            RemovePrzejscia(nr);
            const int total = int(pictures.size());
            ProgressInit(1, form.progressBar());
            ProgressSetStepCount(total);
            form.setCountText(QStringLiteral("0 / %1").arg(total));
            plans = plansBetween(pictures);
            if (!plans.isEmpty()) {
                const QList<Arrow> arrows = arrowsOf(plans);
                ensureTransitionBlock(form);
                // The arrows' insertions and changes may reach the drawing together: nothing in them
                // traps a CAD error, a refusal reaching this command's trap.
                const cad::DeferredCalls together(CadDocument, cad::DeferredCalls::NewObjectsToo);
                insertArrows(arrows, nr);
            }
            for (int i = 0; i < total; ++i) {
                ProgressStep();
                form.setCountText(QStringLiteral("%1 / %2").arg(i + 1).arg(total));
                form.processEvents();
            }
        }
    } catch (const cad::ConnectionLost&) {
        resetProgress();
        throw;  // the window's guard says the CAD is gone
    } catch (const cad::Error& e) {
        // Without a message it has been shown already (the arrow block cannot be had).
        refused = e.message();
    }
    resetProgress();
    if (!refused.isEmpty()) reportMissingArrows(form, nr, plans, refused);
    RestoreCadVariables();
}

void cmdAtrrsAngle_Click(HatcherForm& /*form*/) {
    if (!automation::CheckDocumentOpen(true)) return;
    for (const ReferenceRead& r : transitions(QString())) {
        double angle = -1;
        for (const cad::DynamicProperty& p : r.Reference.dynamicBlockProperties())
            if (p.propertyName() == QLatin1String("Angle")) angle = p.value().toDouble();
        if (angle == -1) continue;
        if (angle > Pi / 2 && angle < 3 * Pi / 2) angle -= Pi;
        for (qsizetype i = 0; i < r.Attributes.size(); ++i)
            if (r.Tags[i].toUpper() == QLatin1String("OPIS")) r.Attributes[i].setRotation(angle);
        r.Reference.update();
    }
}

}  // namespace hatcher
