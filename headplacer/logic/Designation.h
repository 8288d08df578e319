// The head's designation, its inventory number "<section>/<intersection>/<designation>", the
// description of a detector, and the checks of the section and intersection numbers.
#pragma once

#include <QString>

namespace headplacer {

struct DesignationParts {
    QString SectionNumber;
    QString IntersectionNumber;
    QString HeadKindLetter;
    QString StopLineNumber;
    int OrientationNumber = 1;
    QString AdditionalHeadSuffix;
    bool PedestrianAndCyclist = false;  // kind option 4
    int FormatPR = 0;
};

struct DesignationTexts {
    QString HeadDesignation;
    QString InventoryNumber;
    QString ConditionalDesignation;
    bool conditionalSet = false;  // the two-part form leaves it as it was
};

DesignationTexts ComposeDesignation(const DesignationParts& parts);
// The program-wide values into the program-wide results.
void BuildHeadDescriptionTexts();
// Two positive whole numbers (16-bit) joined by "-", at least three characters.
bool IsSectionNumberValid(const QString& text);
// Letters, digits and "-", not empty and not "???": the text between the two "/" of an inventory
// number, which conflictor splits at "/".
bool IsIntersectionNumberValid(const QString& text);

// Prefix, stop line, orientation and the tail of the detector tab (2 area code, 1 above-road
// suffix, 0 and 3 the additional-head suffix).
QString ComposeDetectorDescription(const QString& prefix, const QString& stopLine, int orientation, int tab,
                                   const QString& areaCode, const QString& aboveRoadSuffix,
                                   const QString& additionalSuffix);

}  // namespace headplacer
