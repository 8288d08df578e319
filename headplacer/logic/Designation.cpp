// Designation, inventory number, detector description and the number checks.
#include "headplacer/logic/Designation.h"

#include "common/NumberText.h"
#include "headplacer/logic/HeadState.h"
#include "headplacer/logic/Settings.h"

#include <limits>

namespace headplacer {

DesignationTexts ComposeDesignation(const DesignationParts& p) {
    const QString d = p.StopLineNumber + QString::number(p.OrientationNumber) + p.AdditionalHeadSuffix;
    DesignationTexts t;
    if (p.PedestrianAndCyclist && p.FormatPR == 1) {
        t.HeadDesignation = QStringLiteral("P") + d + QStringLiteral("R") + d;
    } else {
        t.HeadDesignation = p.HeadKindLetter + d;
        t.ConditionalDesignation = QStringLiteral("S") + t.HeadDesignation;
        t.conditionalSet = true;
    }
    t.InventoryNumber =
        p.SectionNumber + QLatin1Char('/') + p.IntersectionNumber + QLatin1Char('/') + t.HeadDesignation;
    return t;
}

void BuildHeadDescriptionTexts() {
    DesignationParts p;
    p.SectionNumber = SectionNumber;
    p.IntersectionNumber = IntersectionNumber;
    p.HeadKindLetter = HeadKindLetter;
    p.StopLineNumber = StopLineNumber;
    p.OrientationNumber = OrientationNumber;
    p.AdditionalHeadSuffix = AdditionalHeadSuffix;
    p.PedestrianAndCyclist = HeadKindOption == 4;
    p.FormatPR = HeadPlacerSettings.FormatPR;
    const DesignationTexts t = ComposeDesignation(p);
    HeadDesignation = t.HeadDesignation;
    InventoryNumber = t.InventoryNumber;
    if (t.conditionalSet) ConditionalDesignation = t.ConditionalDesignation;
}

namespace {

// The leading whole number as the 16-bit conversion reads it; false when none or out of range.
bool positivePart(const QString& part) {
    const QString t = part.trimmed();
    int i = 0;
    if (i < t.size() && (t[i] == QLatin1Char('+') || t[i] == QLatin1Char('-'))) ++i;
    const int digitsFrom = i;
    while (i < t.size() && t[i].isDigit()) ++i;
    if (i == digitsFrom) return false;
    bool ok = false;
    const qlonglong v = t.left(i).toLongLong(&ok);
    return ok && v > 0 && v <= std::numeric_limits<qint16>::max();
}

}  // namespace

bool IsSectionNumberValid(const QString& text) {
    if (text.size() < 3) return false;
    const int dash = int(text.indexOf(QLatin1Char('-')));
    if (dash < 0) return false;
    return positivePart(text.left(dash)) && positivePart(text.mid(dash + 1));
}

bool IsIntersectionNumberValid(const QString& text) {
    if (text.isEmpty()) return false;
    for (const QChar c : text)
        if (!c.isLetterOrNumber() && c != QLatin1Char('-')) return false;
    return true;
}

QString ComposeDetectorDescription(const QString& prefix, const QString& stopLine, int orientation, int tab,
                                   const QString& areaCode, const QString& aboveRoadSuffix,
                                   const QString& additionalSuffix) {
    QString tail;
    if (tab == 2)
        tail = areaCode;
    else if (tab == 1)
        tail = aboveRoadSuffix;
    else
        tail = additionalSuffix;
    return prefix + stopLine + QString::number(orientation) + tail;
}

}  // namespace headplacer
