// Sort key, kinematic cell texts and the editing rules of the stream grid.
#include "conflictor/mainwindow/StreamGridRules.h"

#include "common/NumberText.h"
#include "common/SettingBindings.h"

#include <algorithm>
#include <vector>

namespace conflictor {

namespace {

QString padded(int n) {
    return QStringLiteral("%1").arg(n, 5, 10, QLatin1Char('0'));
}

}  // namespace

QString StreamSortKey(const StreamRecord& stream) {
    static const char* const letters[] = {"", "A", "C", "B", "D", "F", "E"};  // by StreamKind
    QString key = stream.Kind >= 1 && stream.Kind <= 6 ? QLatin1String(letters[stream.Kind]) : QString();
    key += padded(stream.Number);
    const int open = int(stream.Name.lastIndexOf(QLatin1Char('[')));
    if (open > 0) {
        const int close = int(stream.Name.indexOf(QLatin1Char(']'), open));
        const QString variant = stream.Name.mid(open + 1, close < 0 ? -1 : close - open - 1);
        bool ok = false;
        const int v = variant.toInt(&ok);
        key += QLatin1Char('[') + (ok ? padded(v) : variant) + QLatin1Char(']');
    }
    return key;
}

QStringList GridStreamOrder() {
    std::vector<std::pair<QString, QString>> rows;  // sort key, name
    for (const StreamRecord& s : StreamTable)
        if (!s.Name.isEmpty()) rows.emplace_back(StreamSortKey(s), s.Name);
    std::stable_sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) {
        return QString::compare(a.first, b.first, Qt::CaseInsensitive) < 0;
    });
    QStringList names;
    for (const auto& row : rows) names << row.second;
    return names;
}

bool SpeedsInKmh() {
    return common::ParseInteger(common::SettingBindings[3].Value.toString()) == 1;
}

void FillSettingBindings() {
    using namespace common;
    struct Row {
        const char* form;
        const char* control;
        int kind;
        const char* key;
        const char* def;
        const char* section;
    };
    static const Row rows[] = {
        {"frmKonfiguracja", "chkMatrycaOdwrocona", KindCheckBox, "MatrycaOdwrocona", "0", ""},
        {"frmKonfSchematFaz", "cmbZestaw", KindListIndex, "cmbZestaw", "0", ""},
        {"frmKonfSchematFaz", "optWarstwy", KindOptionArray, "optWarstwy", "0", ""},
        {"frmMain", "", KindInteger, "kmh", "0", ""},
        {"frmKonfiguracja", "edtWspPoczatek", KindText, "edtWspPoczatek", "1", ""},
        {"frmKonfiguracja", "edtWspKoniec", KindText, "edtWspKoniec", "1", ""},
        {"frmKonfiguracja", "edtWspPojazdPojazd", KindText, "edtWspPojazdPojazd", "1", ""},
        {"frmKonfiguracja", "edtWspPojazdPiesi", KindText, "edtWspPojazdPiesi", "1", ""},
        {"frmKonfiguracja", "chkPowiazania", KindCheckBox, "chkPowiazania", "1", "Ogolne"},
    };
    SettingBindings = {};
    for (size_t i = 0; i < std::size(rows); ++i) {
        SettingBinding& b = SettingBindings[i];
        b.FormName = QString::fromLatin1(rows[i].form);
        b.ControlName = QString::fromLatin1(rows[i].control);
        b.Kind = rows[i].kind;
        b.Key = QString::fromLatin1(rows[i].key);
        b.Default = QString::fromLatin1(rows[i].def);
        b.Section = QString::fromLatin1(rows[i].section);
        b.Value = b.Kind == KindText || b.Kind == KindControlValue || b.Kind == KindString
                      ? QVariant(b.Default)
                      : QVariant(b.Default.toInt());
    }
}

bool IsSpeedColumn(int column) {
    return column >= 5 && column <= 8;
}

QString KinematicCellText(double value, int column, bool kmh) {
    if (IsSpeedColumn(column) && kmh)
        return common::FormatNumber(value / 1000.0 * 3600.0, QStringLiteral("#######0"));
    return common::FormatNumber(value, QStringLiteral("#######0.00"));
}

double KinematicValueOfCell(const QString& text, int column, bool kmh) {
    const double v = common::ParseDouble(text);
    return IsSpeedColumn(column) && kmh ? v * 1000.0 / 3600.0 : v;
}

double* KinematicField(StreamRecord& s, int column) {
    switch (column) {
        case 4:
            return &s.VehicleLength;
        case 5:
            return &s.ApproachStraightSpeed;
        case 6:
            return &s.ApproachArcSpeed;
        case 7:
            return &s.ClearStraightSpeed;
        case 8:
            return &s.ClearArcSpeed;
        case 9:
            return &s.MaxAcceleration;
        default:
            return nullptr;
    }
}

QString ColumnAttributeTag(int column) {
    switch (column) {
        case 0:
            return QStringLiteral("OPISY");
        case 2:
            return QStringLiteral("GRUPY");
        case 3:
            return QStringLiteral("FAZY");
        case 4:
            return QStringLiteral("DLUG_POJ");
        case 5:
            return QStringLiteral("PROSTA_DOJAZD");
        case 6:
            return QStringLiteral("LUK_DOJAZD");
        case 7:
            return QStringLiteral("PROSTA_EWAK");
        case 8:
            return QStringLiteral("LUK_EWAK");
        case 9:
            return QStringLiteral("MAKS_PRZYSP");
        default:
            return QString();
    }
}

bool IsStreamCellEditable(const StreamRecord* stream, int column) {
    if (column == 0 || column == 2 || column == 3) return true;
    if (column < 4 || column > 9 || !stream) return false;
    return IsVehicleStream(*stream) || column == 7;
}

bool CellAcceptsChar(int column, QChar ch) {
    if (ch.isDigit() && ch.unicode() < 128) return true;
    if (ch == QLatin1Char('.')) return true;
    if (ch == QLatin1Char(',')) return column == 0 || (column >= 3 && column <= 9);
    if (column != 0) return false;
    return ch != QLatin1Char('^') && ch != QLatin1Char(':') && ch.category() != QChar::Other_Control &&
           !ch.isNull() && ch != QChar::LineSeparator && ch != QChar::ParagraphSeparator;
}

}  // namespace conflictor
