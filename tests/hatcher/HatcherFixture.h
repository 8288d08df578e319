// A drawing in the in-process CAD with scripted picks and prompts, hatcher's settings bound as at
// start-up, and helpers that turn entities into WKT for the shapely checks.
#pragma once

#include "tests/automation/CadFixture.h"

#include "common/SettingBindings.h"
#include "hatcher/core/HatcherForm.h"
#include "hatcher/core/HatcherServices.h"
#include "hatcher/core/HatcherSettings.h"
#include "hatcher/core/LayerSets.h"
#include "hatcher/core/PatternArea.h"

#include <QProcess>
#include <QTemporaryDir>
#include <cmath>
#include <numbers>

namespace hatcher::test {

class HatcherFixture : public automation::test::CadFixture {
protected:
    void SetUp() override {
        CadFixture::SetUp();
        FillSettingBindings(true);
        PatternCopyHandles.clear();
        form.intersection = QStringLiteral("7");
        form.transitionTemplatePath =
            QStringLiteral(SUITE_SOURCE_DIR "/resources/Tesmar/Zasoby/dyn_wzorzec.dwg");
    }

    // Every handle of model space.
    QStringList handles() const {
        QStringList out;
        for (const cad::Entity& e : automation::CadModelSpace.entities()) out << e.handle();
        return out;
    }

    HeadlessForm form;
};

// Points along an arc, counter-clockwise from start to end, at most half a degree apart.
inline QString ArcPoints(double cx, double cy, double r, double a0, double a1) {
    const double two = 2 * std::numbers::pi;
    double sweep = a1 - a0;
    while (sweep <= 0) sweep += two;
    const int n = std::max(2, int(std::ceil(sweep / (std::numbers::pi / 360))));
    QStringList pts;
    for (int i = 0; i <= n; ++i) {
        const double a = a0 + sweep * i / n;
        pts << QStringLiteral("%1 %2")
                   .arg(cx + r * std::cos(a), 0, 'f', 7)
                   .arg(cy + r * std::sin(a), 0, 'f', 7);
    }
    return pts.join(QStringLiteral(", "));
}

// The entity as WKT linework shifted by (-dx, -dy): lines, arcs and circles.
inline QString Wkt(const cad::Entity& e, double dx = 0, double dy = 0) {
    const QString kind = e.objectName();
    if (kind == QLatin1String("AcDbLine")) {
        const cad::Point a = e.startPoint(), b = e.endPoint();
        return QStringLiteral("LINESTRING (%1 %2, %3 %4)")
            .arg(a.x - dx, 0, 'f', 7)
            .arg(a.y - dy, 0, 'f', 7)
            .arg(b.x - dx, 0, 'f', 7)
            .arg(b.y - dy, 0, 'f', 7);
    }
    if (kind == QLatin1String("AcDbArc") || kind == QLatin1String("AcDbCircle")) {
        const cad::Point c = e.center();
        const bool circle = kind == QLatin1String("AcDbCircle");
        const double a0 = circle ? 0 : e.startAngle();
        const double a1 = circle ? 2 * std::numbers::pi : e.endAngle();
        return QStringLiteral("LINESTRING (%1)").arg(ArcPoints(c.x - dx, c.y - dy, e.radius(), a0, a1));
    }
    return {};
}

// Runs the shapely check over the case file; the script's report is given back in `report`.
inline bool RunShapelyCheck(const QString& casesPath, QString& report) {
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"),
            {QStringLiteral(SUITE_SOURCE_DIR "/tests/hatcher/clip_check.py"), casesPath});
    if (!p.waitForFinished(60000)) {
        report = QStringLiteral("the check did not finish");
        return false;
    }
    report = QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError());
    return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

}  // namespace hatcher::test
