// The head tables and command texts.
#include "headplacer/logic/HeadTables.h"

#include "common/NumberText.h"
#include "headplacer/logic/Folders.h"

#include <QHash>
#include <cmath>
#include <numbers>

namespace headplacer {

const QStringList HeadKindLetters = {QStringLiteral("K"), QStringLiteral("B"),  QStringLiteral("T"),
                                     QStringLiteral("P"), QStringLiteral("PR"), QStringLiteral("R")};

const QStringList VehicleHeadNames = {
    QStringLiteral("Ogólny"),
    QStringLiteral("Z sygnałem dop. warunkowe skręcanie w prawo"),
    QStringLiteral("Z sygnałem dop. warunkowe skręcanie w lewo"),
    QStringLiteral("Z sygnałem dop. warunkowe skręcanie w prawo i w lewo"),
    QStringLiteral("Kierunkowy na wprost"),
    QStringLiteral("Kierunkowy w lewo"),
    QStringLiteral("Kierunkowy w prawo"),
    QStringLiteral("Kierunkowy na wprost i w lewo"),
    QStringLiteral("Kierunkowy na wprost i w prawo"),
    QStringLiteral("Kierunkowy w prawo i w lewo"),
    QStringLiteral("Kierunkowy w lewo i do zawracania"),
    QStringLiteral("Kierunkowy do zawracania"),
    QStringLiteral("Z sygnałami dla pasów ruchu"),
    QStringLiteral("Z sygnałem nakazującym opuszczenie pasa ruchu"),
    QStringLiteral("Jednokomorowy"),
    QStringLiteral("Pomocniczy"),
    QStringLiteral("Ostrzegawczy z migającą sylwetką pieszego"),
};
const QStringList VehicleHeadSymbols = {
    QStringLiteral("S-1"),   QStringLiteral("S-2p"),  QStringLiteral("S-2l"),   QStringLiteral("S-2lp"),
    QStringLiteral("S-3w"),  QStringLiteral("S-3l"),  QStringLiteral("S-3p"),   QStringLiteral("S-3lw"),
    QStringLiteral("S-3wp"), QStringLiteral("S-3lp"), QStringLiteral("S-3lz"),  QStringLiteral("S-3z"),
    QStringLiteral("S-4"),   QStringLiteral("S-7"),   QStringLiteral("S-1KOM"), QStringLiteral("S-pomocn"),
    QStringLiteral("S-osp"),
};
const QStringList TramHeadNames = {
    QStringLiteral("Ogólny dla tramwajów"),
    QStringLiteral("Kierunkowy dla tramwajów na wprost"),
    QStringLiteral("Kierunkowy dla tramwajów w lewo"),
    QStringLiteral("Kierunkowy dla tramwajów w prawo"),
    QStringLiteral("Kierunkowy na wprost i w lewo"),
    QStringLiteral("Kierunkowy dla tramwajów na wprost i w prawo"),
    QStringLiteral("Kierunkowy dla tramwajów w lewo i w prawo"),
    QStringLiteral("Sygnalizator typu T"),
};
const QStringList TramHeadSymbols = {
    QStringLiteral("ST"),     QStringLiteral("STK-W"),  QStringLiteral("STK-L"),  QStringLiteral("STK-P"),
    QStringLiteral("STK-LW"), QStringLiteral("STK-WP"), QStringLiteral("STK-LP"), QStringLiteral("STT")};
const QStringList PedestrianHeadNames = {QStringLiteral("Dla pieszych"),
                                         QStringLiteral("Dla pieszych (półokrągły)")};
const QStringList PedestrianHeadSymbols = {QStringLiteral("S-5"), QStringLiteral("S-5plk")};
const QStringList ScreenSymbols = {QStringLiteral("EKP"), QStringLiteral("EKO")};
const int LensDiameters[3] = {300, 200, 100};
const int InsertCodes[4] = {0, 1, 2, 3};

QStringList AllHeadSymbols() {
    return VehicleHeadSymbols + TramHeadSymbols + PedestrianHeadSymbols +
           QStringList{QStringLiteral("S-B"), QStringLiteral("S-5pr"), QStringLiteral("S-6")};
}

QString CanonicalHeadSymbol(const QString& symbol) {
    for (const QString& s : AllHeadSymbols() + ScreenSymbols)
        if (s.compare(symbol, Qt::CaseInsensitive) == 0) return s;
    return symbol;
}

int SetListPoz(QString& sDanSymb) {
    sDanSymb = GetFileBaseName(sDanSymb);
    static const QHash<QString, int> positions = {
        {QStringLiteral("S-1"), 0},       {QStringLiteral("S-2P"), 1},   {QStringLiteral("S-2L"), 2},
        {QStringLiteral("S-2LP"), 3},     {QStringLiteral("S-3W"), 4},   {QStringLiteral("S-3WP"), 8},
        {QStringLiteral("S-3LW"), 7},     {QStringLiteral("S-3LZ"), 10}, {QStringLiteral("S-3Z"), 11},
        {QStringLiteral("S-3LP"), 9},     {QStringLiteral("S-3P"), 6},   {QStringLiteral("S-3L"), 5},
        {QStringLiteral("S-4"), 12},      {QStringLiteral("S-7"), 13},   {QStringLiteral("S-1KOM"), 14},
        {QStringLiteral("S-POMOCN"), 15}, {QStringLiteral("S-OSP"), 16}, {QStringLiteral("ST"), 0},
        {QStringLiteral("STK-W"), 1},     {QStringLiteral("STK-L"), 2},  {QStringLiteral("STK-P"), 3},
        {QStringLiteral("STK-LW"), 4},    {QStringLiteral("STK-WP"), 5}, {QStringLiteral("STK-LP"), 6},
        {QStringLiteral("STT"), 7},       {QStringLiteral("S-5"), 0},    {QStringLiteral("S-5PLK"), 1},
    };
    return positions.value(sDanSymb, 0);
}

bool HeadSymbolAttributes(const QString& blockName, QString& obiekt, QString& rodzaj, QString& symbol) {
    struct Row {
        const char16_t* obiekt;
        const char16_t* rodzaj;
        const char16_t* symbol;
    };
    static const QHash<QString, Row> rows = {
        {QStringLiteral("EKO"), {u"ekran", u"owalny", u"EKO"}},
        {QStringLiteral("EKP"), {u"ekran", u"prostokątny", u"EKP"}},
        {QStringLiteral("S-1"), {u"sygnalizator", u"ogólny", u"S-1"}},
        {QStringLiteral("S-1KOM"), {u"sygnalizator", u"jednokomorowy", u"S-1KOM"}},
        {QStringLiteral("S-2L"), {u"sygnalizator", u"jazdy.war.lewo", u"S-2l"}},
        {QStringLiteral("S-2LP"), {u"sygnalizator", u"jazdy.war.lewo i prawo", u"S-2lp"}},
        {QStringLiteral("S-2P"), {u"sygnalizator", u"jazdy.war.prawo", u"S-2p"}},
        {QStringLiteral("S-3L"), {u"sygnalizator", u"kier.lewo", u"S-3l"}},
        {QStringLiteral("S-3LP"), {u"sygnalizator", u"kier.lewo.prawo", u"S-3lp"}},
        {QStringLiteral("S-3LZ"), {u"sygnalizator", u"kier.lewo.zawr.", u"S-3lz"}},
        {QStringLiteral("S-3P"), {u"sygnalizator", u"kier.prawo", u"S-3p"}},
        {QStringLiteral("S-3W"), {u"sygnalizator", u"kier.wprost", u"S-3w"}},
        {QStringLiteral("S-3WP"), {u"sygnalizator", u"kier.wprost.prawo", u"S-3wp"}},
        {QStringLiteral("S-3Z"), {u"sygnalizator", u"kier.zawr.", u"S-3z"}},
        {QStringLiteral("S-4"), {u"sygnalizator", u"dla pasow ruchu", u"S-4"}},
        {QStringLiteral("S-5"), {u"sygnalizator", u"pieszy", u"S-5"}},
        {QStringLiteral("S-5PLK"), {u"sygnalizator", u"pieszy polokragly", u"S-5plk"}},
        {QStringLiteral("S-5PR"), {u"sygnalizator", u"pieszy i rowerowy", u"S-5/6"}},
        {QStringLiteral("S-6"), {u"sygnalizator", u"rowerowy", u"S-6"}},
        {QStringLiteral("S-7"), {u"sygnalizator", u"nakazujacy opuszczenie pasa ruchu", u"S-7"}},
        {QStringLiteral("S-B"), {u"sygnalizator", u"autobusowy", u"SB"}},
        {QStringLiteral("S-OSP"), {u"sygnalizator", u"ostrz. z mig. sylw. pieszego", u"S-"}},
        {QStringLiteral("S-POMOCN"), {u"sygnalizator", u"pomocniczy", u"S-Pom"}},
        {QStringLiteral("ST"), {u"sygnalizator tramwajowy", u"ogolny", u"ST"}},
        {QStringLiteral("STK-L"), {u"sygnalizator tramwajowy", u"kier.lewo", u"STK-L"}},
        {QStringLiteral("STK-LP"), {u"sygnalizator tramwajowy", u"kier.lewo i prawo", u"STK-LP"}},
        {QStringLiteral("STK-LW"), {u"sygnalizator tramwajowy", u"kier.lewo i wprost", u"STK-LW"}},
        {QStringLiteral("STK-P"), {u"sygnalizator tramwajowy", u"kier.prawo", u"STK-P"}},
        {QStringLiteral("STK-W"), {u"sygnalizator tramwajowy", u"kier.wprost", u"STK-W"}},
        {QStringLiteral("STK-WP"), {u"sygnalizator tramwajowy", u"kier.wprost i prawo", u"STK-WP"}},
        {QStringLiteral("STT"), {u"sygnalizator tramwajowy", u"typu \"T\"", u"STT"}},
    };
    const auto it = rows.constFind(blockName.toUpper());
    if (it == rows.cend()) return false;
    obiekt = QString::fromUtf16(it->obiekt);
    rodzaj = QString::fromUtf16(it->rodzaj);
    symbol = QString::fromUtf16(it->symbol);
    return true;
}

const QStringList HeadCommonTags = {
    QStringLiteral("INWENT_NUMER"),   QStringLiteral("NUMER_SKRZYZ"),   QStringLiteral("TYP"),
    QStringLiteral("SREDN_SOCZ"),     QStringLiteral("ZRODLO_SW"),      QStringLiteral("WKLADY_ANTYZL"),
    QStringLiteral("SYGN_AKUST"),     QStringLiteral("KTO_NANIOSL"),    QStringLiteral("NAZWA_ULICY"),
    QStringLiteral("ZLECENIE_WNIOS"), QStringLiteral("REALIZACJA_WYK"), QStringLiteral("REALIZACJA_DATA"),
    QStringLiteral("ZLECENIE_DATA"),  QStringLiteral("ZLECENIE_NUMER"), QStringLiteral("INWENT_DATA"),
    QStringLiteral("UWAGI"),
};
const QStringList ScreenTags = {
    QStringLiteral("INWENT_NUMER"),    QStringLiteral("NUMER_SKRZYZ"),   QStringLiteral("KTO_NANIOSL"),
    QStringLiteral("NAZWA_ULICY"),     QStringLiteral("ZLECENIE_WNIOS"), QStringLiteral("REALIZACJA_WYK"),
    QStringLiteral("REALIZACJA_DATA"), QStringLiteral("ZLECENIE_DATA"),  QStringLiteral("ZLECENIE_NUMER"),
    QStringLiteral("INWENT_DATA"),
};
const QStringList PushButtonTags = {QStringLiteral("RODZAJ"), QStringLiteral("TYP"),
                                    QStringLiteral("PRODUCENT")};

QString PushButtonBlockName() {
    return QStringLiteral("sygnprzycisk");
}

QChar KindCharacter(const QString& fileName) {
    QChar c = fileName.size() >= 3 ? fileName.at(2) : QChar(QLatin1Char('.'));
    if (c == QLatin1Char('.')) c = fileName.size() >= 2 ? fileName.at(1) : QChar();
    return c.toUpper();
}

HeadKindChoice KindForSymbolFile(const QString& fileName, int formatPR) {
    HeadKindChoice k;
    const QChar c = KindCharacter(fileName);
    const QString base = GetFileBaseName(fileName);
    if (c == QLatin1Char('5')) {
        if (fileName.mid(3, 2).compare(QLatin1String("pr"), Qt::CaseInsensitive) != 0) {
            k.kindOption = 3;
            k.kindLetter = QStringLiteral("P");
            k.nameList = 3;
        } else {
            k.kindOption = 4;
            if (formatPR == 0) k.kindLetter = QStringLiteral("PR");
        }
        k.insertCode = 2;
        k.lensIndex = 1;
        k.acousticEnabled = true;
    } else if (c == QLatin1Char('6')) {
        k.kindOption = 5;
        k.kindLetter = QStringLiteral("R");
        k.insertCode = 2;
        k.lensIndex = 1;
        k.acousticEnabled = true;
    } else if (c == QLatin1Char('B')) {
        k.kindOption = 1;
        k.kindLetter = QStringLiteral("B");
        k.insertCode = 3;
        k.lensIndex = 1;
    } else if (c == QLatin1Char('T') || c == QLatin1Char('K')) {
        k.kindOption = 2;
        k.kindLetter = QStringLiteral("T");
        k.insertCode = 2;
        k.lensIndex = 1;
        k.nameList = 2;
    } else {
        k.kindOption = 0;
        k.kindLetter = QStringLiteral("K");
        k.lensIndex = 0;
        if (base == QLatin1String("S-4"))
            k.insertCode = 2;
        else if (base == QLatin1String("S-7") || base == QLatin1String("S-1KOM"))
            k.insertCode = 1;
        else
            k.insertCode = 3;
        k.nameList = 1;
    }
    return k;
}

QString HeadBlockPattern() {
    return QStringLiteral("S-*,STK-*,STT,ST");
}

QString HeadScaleText(int drawingScale) {
    return common::FormatNumberWithDot(drawingScale * 10.0 / 1000.0, QString());
}

QString PushButtonScaleText(int drawingScale) {
    return common::FormatNumberWithDot(drawingScale * 10.0 / 2000.0, QString());
}

QString HeadInsertCommand(const QString& blockName, int drawingScale) {
    const QString cr(QLatin1Char('\r'));
    return QStringLiteral("_-insert") + cr + blockName + cr + QStringLiteral("S") + cr +
           HeadScaleText(drawingScale) + cr;
}

QString PushButtonInsertCommand(double rotationRadians, int drawingScale) {
    const QString cr(QLatin1Char('\r'));
    const QString scale = PushButtonScaleText(drawingScale);
    const QString degrees =
        common::FormatNumberWithDot(rotationRadians * 180.0 / std::numbers::pi, QString());
    return QStringLiteral("_-insert") + cr + PushButtonBlockName() + cr + QStringLiteral("_R") + cr +
           degrees + cr + QStringLiteral("X") + cr + scale + cr + QStringLiteral("Y") + cr + scale + cr;
}

}  // namespace headplacer
