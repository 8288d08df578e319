// Inserting, removing and re-aligning the phase-transition arrows.
#include "hatcher/core/PhaseTransitions.h"

#include "automation/Automation.h"
#include "common/NumberText.h"
#include "common/PathHelpers.h"
#include "common/SettingBindings.h"
#include "common/TextHelpers.h"
#include "hatcher/core/HatcherServices.h"
#include "platform/ui/core/Prompt.h"

#include <QMap>
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

// The arrows of one intersection (any intersection when nr is null).
QList<cad::Entity> transitions(const QString& nr) {
    QList<cad::Entity> out;
    automation::HelperSelectionSet set(QStringLiteral("SSObject"));
    set->select(cad::SelectionSet::All, automation::BuildSelectionFilter({2, QStringLiteral("`*U*")}));
    for (const cad::Entity& r : set->entities()) {
        if (!r.hasAttributes() ||
            r.effectiveName().compare(QLatin1String(TransitionBlockName), Qt::CaseInsensitive) != 0)
            continue;
        if (!nr.isNull() &&
            automation::ReadAttributeByTag(r, QStringLiteral("SKRZYZOWANIE")).toUpper() != nr.toUpper())
            continue;
        out << r;
    }
    return out;
}

// Text style, layer and CAD variables every transition command starts with.
void prepare() {
    automation::DrawingScale = automation::GetDrawingScale();
    SaveAndSetCadVariables(QString(), QString(), 0, 0);
    automation::EnsureTextStyle(QStringLiteral("ARIAL"), 1.5, QStringLiteral("arial"), true);
    automation::EnsureLayer(QLatin1String(TransitionLayerName), true, -1, -10);
}

// Reports a missing transition drawing.
bool templateMissing(const HatcherForm& form) {
    if (common::CheckFileExists(form.transitionTemplatePath)) return false;
    warn(QStringLiteral("Nie znaleziono pliku:") + QStringLiteral("\n") + form.transitionTemplatePath, form);
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
    for (const cad::Entity& r : transitions(nr))
        if (automation::ReadAttributeByTag(r, QStringLiteral("OPIS")).compare(text, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

void InsertPhaseTransition(HatcherForm& form, const cad::Entity& pictureK, const cad::Entity& pictureL,
                           const QString& nr, int k, int l) {
    const double s = automation::DrawingScale / 1000.0;
    const double h = textHeight();
    const double a = 6000 * s;
    const double b = 0.75 * a;
    const PlanePoint c1 = pp(pictureK.insertionPoint()), c2 = pp(pictureL.insertionPoint());
    const double d = common::GetDistance(c1, c2);
    const QString radius = automation::ReadAttributeByTag(pictureK, QStringLiteral("RADIUS"));
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
    const double d2 = common::GetDistance(p1, p2);
    const PlanePoint m = common::GetPolarPoint(p1, angle, d2 / 2);
    const QString blockName = QLatin1String(TransitionBlockName);
    if (!automation::CheckBlockExists(blockName))
        LoadBlockFromDrawingFile(blockName, form.transitionTemplatePath, form.caption(), QString());
    if (!automation::CheckBlockExists(blockName)) {
        warn(QStringLiteral("Nie znaleziono bloku: ") + blockName, form);
        throw cad::Failed(QString());
    }
    const double scale = automation::DrawingScale;
    const cad::Entity ref = CadModelSpace.insertBlock(cp(m), blockName, scale, scale, scale, 0);
    if (ref.isDynamicBlock()) {
        for (const cad::DynamicProperty& prop : ref.dynamicBlockProperties()) {
            const QString n = prop.propertyName();
            if (n == QLatin1String("Distance") || n == QLatin1String("Distance2"))
                prop.setValue(d2);
            else if (n == QLatin1String("Angle"))
                prop.setValue(angle);
        }
        ref.setInsertionPoint(cp(m));
    }
    for (const cad::Entity& attr : ref.attributes()) {
        const QString tag = attr.tagString().toUpper();
        if (tag == QLatin1String("SKRZYZOWANIE"))
            attr.setTextString(nr);
        else if (tag == QLatin1String("OPIS"))
            attr.setTextString(QStringLiteral("PF %1-%2").arg(k).arg(l));
    }
    const PlanePoint textPoint = common::GetPolarPoint(m, angle + Pi / 2, std::abs(y));
    SetAttributeTextPlacement(ref, QStringLiteral("OPIS"), cp(textPoint), t, h, true, QStringLiteral("ARIAL"),
                              QString(), y > 0 ? 13 : 7);
    ref.update();
}

void RemovePrzejscia(const QString& nr) {
    for (const cad::Entity& r : transitions(nr.isNull() ? QStringLiteral("") : nr)) r.erase();
}

void cmdConnect_Click(HatcherForm& form) {
    if (templateMissing(form)) return;
    if (!automation::CheckDocumentOpen(true)) return;
    prepare();
    automation::ActivateCadWindow(QStringLiteral("AutoCAD"));
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
            InsertPhaseTransition(form, first, second, nr, k, l);
        }
    } catch (const cad::Error&) {
        // the message, where there is one, has been shown; what was inserted stays
    }
    form.setStatus(form.statusText);
    RestoreCadVariables();
}

void cmdConnectAll_Click(HatcherForm& form) {
    if (!form.hasChosenIntersection()) {
        warn(QStringLiteral("Nie określono numeru skrzyżowania!"), form);
        return;
    }
    if (templateMissing(form)) return;
    if (!automation::CheckDocumentOpen(true)) return;
    prepare();
    const QString nr = form.intersectionText();
    try {
        automation::HelperSelectionSet set(QStringLiteral("SSSchemat"));
        set->select(
            cad::SelectionSet::All,
            automation::BuildSelectionFilter(
                {0, QStringLiteral("INSERT"), 2,
                 QStringLiteral("Schemat_") + automation::EscapeFilterText(nr) + QStringLiteral("_Faza*")}));
        // One picture per phase: the latest made (the highest handle).
        QMap<int, cad::Entity> pictures;
        for (const cad::Entity& r : set->entities()) {
            const int phase = phaseOfName(r.name());
            if (phase <= 0) continue;
            auto it = pictures.find(phase);
            if (it == pictures.end() ||
                r.handle().toULongLong(nullptr, 16) > it->handle().toULongLong(nullptr, 16))
                pictures[phase] = r;
        }
        set.remove();
        if (!pictures.isEmpty()) {
            form.setStatus(Tlumacz(QStringLiteral("Tworzenie wszystkich przejść międzyfazowych ...")));
            RemovePrzejscia(nr);
            const QList<int> keys = pictures.keys();
            const int total = int(keys.size());
            ProgressInit(1, form.progressBar());
            ProgressSetStepCount(total);
            form.setCountText(QStringLiteral("0 / %1").arg(total));
            for (int i = 0; i < total; ++i) {
                for (int j = i + 1; j < total; ++j) {
                    InsertPhaseTransition(form, pictures[keys[i]], pictures[keys[j]], nr, keys[i], keys[j]);
                    InsertPhaseTransition(form, pictures[keys[j]], pictures[keys[i]], nr, keys[j], keys[i]);
                }
                ProgressStep();
                form.setCountText(QStringLiteral("%1 / %2").arg(i + 1).arg(total));
                form.processEvents();
            }
        }
    } catch (const cad::Error&) {
    }
    form.progressBar().setValue(0);
    form.setCountText(QString());
    form.setStatus(form.statusText);
    RestoreCadVariables();
}

void cmdAtrrsAngle_Click(HatcherForm& /*form*/) {
    if (!automation::CheckDocumentOpen(true)) return;
    for (const cad::Entity& r : transitions(QString())) {
        double angle = -1;
        for (const cad::DynamicProperty& p : r.dynamicBlockProperties())
            if (p.propertyName() == QLatin1String("Angle")) angle = p.value().toDouble();
        if (angle == -1) continue;
        if (angle > Pi / 2 && angle < 3 * Pi / 2) angle -= Pi;
        for (const cad::Entity& a : r.attributes())
            if (a.tagString().toUpper() == QLatin1String("OPIS")) a.setRotation(angle);
        r.update();
    }
}

}  // namespace hatcher
