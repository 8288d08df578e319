// The naming dialog's checks and the new stream record.
#include "conflictor/streams/StreamNaming.h"

#include "automation/CadConnection.h"
#include "automation/WindowSearch.h"
#include "common/NumberText.h"
#include "common/TextHelpers.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamReading.h"
#include "conflictor/streams/StreamRecords.h"
#include "conflictor/streams/StreamWindow.h"
#include "platform/ui/core/Prompt.h"

#include <QRegularExpression>

namespace conflictor {

namespace {

void say(const QString& text, int flags, const QString& title = QString()) {
    ui::MsgBox(text, flags, title);
}

bool isDigits(const QString& text) {
    if (text.isEmpty()) return false;
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return false;
    return true;
}

}  // namespace

bool IsStreamNameText(const QString& name) {
    static const QRegularExpression grammar(
        QStringLiteral("^[^\\s\\^:_*?#@~,`.\\[\\]][^\\s\\^:_*?#@~,`.\\[\\]]*(\\[[0-9]+\\])?$"));
    for (const QChar c : name)
        if (c.category() == QChar::Other_Control) return false;
    return grammar.match(name).hasMatch();
}

bool IsStreamDescriptionText(const QString& description) {
    for (const QChar c : description)
        if (c == QLatin1Char('^') || c == QLatin1Char(':') || c.category() == QChar::Other_Control)
            return false;
    return true;
}

int AcceptStreamName(const QString& nameText, const QString& groupText, const QString& descriptionText,
                     const QString& dialogCaption, NamingFocus* focus) {
    NamingFocus dummy;
    NamingFocus& f = focus ? *focus : dummy;
    f = NamingFocus::None;
    const QString name = nameText.trimmed();
    if (name.contains(QLatin1Char(' '))) {
        say(common::Tlumacz(QStringLiteral("Nazwa strumienia nie może zawierać spacji.")), ui::Exclamation,
            dialogCaption);
        f = NamingFocus::Name;
        return -1;
    }
    if (name.isEmpty()) return -1;

    QString base = name;
    int variant = 0;
    const int p = int(name.lastIndexOf(QLatin1Char('[')));
    const int q = int(name.lastIndexOf(QLatin1Char(']')));
    if (p >= 0 && q > p) {
        variant = common::ParseInteger(name.mid(p + 1, q - p - 1));
        base = name.left(p);
    }
    const QChar letter = name.at(0).toUpper();
    if (!QStringLiteral("KSPRBT").contains(letter)) {
        say(common::Tlumacz(QStringLiteral("Niepoprawna pierwsza litera nazwy strumienia!")) +
                QLatin1Char('\n') + common::Tlumacz(QStringLiteral("Dozwolone litery to:")) +
                QStringLiteral(" \"K\", \"S\", \"P\", \"R\", \"B\", \"T\""),
            ui::OkOnly);
        f = NamingFocus::Name;
        return -1;
    }
    const int number = common::ParseInteger(name.mid(1));
    if (number <= 0) {
        say(common::Tlumacz(QStringLiteral("Niepoprawna nazwa strumienia!")) + QLatin1Char('\n') +
                common::Tlumacz(QStringLiteral(
                    "Za pierwszą literą nazwa powinna zawierać wartość numeryczną większą od zera.")),
            ui::OkOnly);
        f = NamingFocus::Name;
        return -1;
    }
    // Characters that separate the parts of block, marker and attribute names cannot be in a name.
    if (!IsStreamNameText(name)) {
        say(common::Tlumacz(QStringLiteral("Niepoprawna nazwa strumienia!")) + QLatin1Char('\n') +
                common::Tlumacz(QStringLiteral("Nazwa nie może zawierać znaków ^ : _ * ? # @ ~ , ` . [ ] "
                                               "(poza numerem wariantu na końcu, np. K1[2]).")),
            ui::OkOnly);
        f = NamingFocus::Name;
        return -1;
    }
    const QString groupTrimmed = groupText.trimmed();
    if (!groupTrimmed.isEmpty() && !isDigits(groupTrimmed)) {
        say(common::Tlumacz(QStringLiteral("Numer grupy musi być liczbą całkowitą nieujemną.")),
            ui::Exclamation, dialogCaption);
        f = NamingFocus::Group;
        return -1;
    }
    const QString description = descriptionText.trimmed();
    if (!IsStreamDescriptionText(description)) {
        say(common::Tlumacz(QStringLiteral("Opis strumienia nie może zawierać znaków \"^\", \":\" "
                                           "ani znaków sterujących.")),
            ui::Exclamation, dialogCaption);
        f = NamingFocus::Description;
        return -1;
    }
    int group = common::ParseInteger(groupTrimmed);

    const QString upperBase = base.toUpper();
    QString phases;
    int baseGroup = 0;
    for (const StreamRecord& r : StreamTable) {
        if (r.BaseName.toUpper() == upperBase) {
            phases = r.Phases;
            if (baseGroup == 0) baseGroup = r.Group;
        }
        if (r.Name.toUpper() == name.toUpper()) {
            say(common::Tlumacz(QStringLiteral("Istnieje już strumień o takiej nazwie!")), ui::OkOnly);
            f = NamingFocus::Name;
            return -1;
        }
    }
    // A name whose group box was left empty keeps the group its base name already has.
    if (groupTrimmed.isEmpty() && baseGroup > 0) group = baseGroup;

    // The drawing first: a write that fails leaves the table as it was, so the name stays free.
    if (automation::CheckDocumentOpen(false)) {
        ReadIntersectionAttributeBlock();
        SetStreamAttribute(QStringLiteral("GRUPY"), base, QString::number(group), false);
        // An empty box leaves a stored description alone (a name used before keeps its text).
        if (!description.isEmpty()) SetStreamAttribute(QStringLiteral("OPISY"), name, description, false);
        WriteIntersectionAttributeBlock(StreamAttributeBlockHandle);
    }

    StreamRecord r;
    SetStreamName(r, name);
    r.BaseName = base;
    r.Variant = variant >= 1 ? variant : 1;
    r.Group = group;
    r.Phases = phases;
    r.Description = description;
    r.Number = number;
    StreamTable.push_back(r);
    const int newIndex = int(StreamTable.size()) - 1;

    // The group belongs to the base name: every variant shows it.
    StreamWindow& window = MainWindow();
    for (size_t i = 0; i < StreamTable.size(); ++i) {
        if (StreamTable[i].BaseName.toUpper() != upperBase) continue;
        StreamTable[i].Group = group;
        if (int(i) != newIndex)
            window.UstalWartoscWGridzie(int(i), group > 0 ? QString::number(group) : QString(), 2);
    }

    StreamRecord& added = StreamTable[size_t(newIndex)];
    if (added.Description.isEmpty()) added.Description = GetStreamAttribute(QStringLiteral("OPISY"), name);
    ReadKinematicValues(added);

    window.setGridRedraw(false);
    window.DodajStrumienDoGrida(newIndex);
    window.setGridRedraw(true);
    return newIndex;
}

QString ProposeVariantName(int index, int& group) {
    group = 0;
    if (index < 0 || index >= int(StreamTable.size())) return QString();
    const StreamRecord& selected = StreamTable[size_t(index)];
    const QString base = selected.BaseName;
    int highest = 0;
    for (const StreamRecord& r : StreamTable)
        if (r.BaseName.toUpper() == base.toUpper()) highest = std::max(highest, r.Variant);
    if (selected.Group >= 1) group = selected.Group;
    return base + QLatin1Char('[') + QString::number(highest + 1) + QLatin1Char(']');
}

QString CopyNameProposal(const QString& sourceName) {
    return sourceName.size() > 1 ? QStringLiteral("S") + sourceName.mid(1) : QString();
}

QString PickSignalHeadName() {
    if (!automation::CheckDocumentOpen(true)) return QString();
    automation::ActivateCadWindow(QStringLiteral("AutoCAD"));
    QString text;
    try {
        const cad::Utility utility = automation::CadDocument.utility();
        utility.initializeUserInput(1);
        const auto [picked, at] = utility.getEntity(common::Tlumacz(QStringLiteral("Wskaż sygnalizator...")));
        (void)at;
        if (picked.objectName() == QLatin1String("AcDbBlockReference") &&
            picked.name().startsWith(QLatin1String("S-")) && picked.hasAttributes()) {
            for (const cad::Entity& att : picked.attributes())
                if (att.tagString().startsWith(QLatin1String("INWENT_NUMER"))) {
                    text = att.textString();
                    break;
                }
        }
    } catch (const cad::ConnectionLost&) {
        throw;  // no cancel: the command's guard says the host is gone
    } catch (const cad::Error&) {
        // A cancelled pick, or a pick of something that is no head, gives no name: the user is
        // asked for the name as without a pick.
    }
    const int slash = int(text.lastIndexOf(QLatin1Char('/')));
    return slash >= 0 ? text.mid(slash + 1) : text;
}

}  // namespace conflictor
