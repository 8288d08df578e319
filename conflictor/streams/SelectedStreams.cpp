// Group or phase of the highlighted streams.
#include "conflictor/streams/SelectedStreams.h"

#include "automation/CadConnection.h"
#include "automation/CaretNames.h"
#include "common/NumberText.h"
#include "common/ProgramSettings.h"
#include "common/TextHelpers.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/SetGuard.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamRecords.h"
#include "conflictor/streams/StreamWindow.h"
#include "platform/ui/core/Prompt.h"

#include <QRegularExpression>
#include <vector>

namespace conflictor {

namespace {

constexpr int GroupColumn = 2;
constexpr int PhaseColumn = 3;

// Gives the value to every record of the base name, in the table and the grid.
void setForBaseName(const QString& upperBase, bool group, int g, const QString& phases) {
    StreamWindow& window = MainWindow();
    for (size_t j = 0; j < StreamTable.size(); ++j) {
        StreamRecord& r = StreamTable[j];
        if (r.BaseName.toUpper() != upperBase) continue;
        if (group) {
            r.Group = g;
            window.UstalWartoscWGridzie(int(j), QString::number(g), GroupColumn);
        } else {
            r.Phases = phases;
            window.UstalWartoscWGridzie(int(j), phases, PhaseColumn);
        }
    }
}

}  // namespace

void AddSelectedStreamsToPhaseOrGroup(bool group) {
    if (!automation::CheckDocumentOpen(true)) return;
    StreamWindow& window = MainWindow();
    const QString prompt =
        group ? common::Tlumacz(
                    QStringLiteral("Podaj nr grupy, do której zostaną przypisane zaznaczone strumienie."))
              : common::Tlumacz(
                    QStringLiteral("Podaj nr fazy, do której zostaną przypisane zaznaczone strumienie."));
    const QString answer = ui::InputBox(prompt, window.caption(), QString());
    if (answer.isEmpty()) return;
    const QString trimmed = answer.trimmed();
    static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
    // A group is a whole number; text is refused rather than read as its leading digits.
    if (group && !digits.match(trimmed).hasMatch()) {
        ui::MsgBox(common::Tlumacz(QStringLiteral("Numer grupy musi być liczbą całkowitą nieujemną.")),
                   ui::Exclamation, window.caption());
        return;
    }
    const int g = common::ParseInteger(trimmed);
    const int p = common::ParseInteger(trimmed);
    if (StreamTable.empty()) return;

    CommandBlock block;
    window.StartPanelFlash(common::Tlumacz(QStringLiteral("Trwa operacja dodawania ...")));
    window.yieldToMessageLoop();
    window.setBusyCursor(true);
    window.yieldToMessageLoop();
    struct Back {
        StreamWindow& w;
        ~Back() {
            w.StopPanelFlash();
            w.setBusyCursor(false);
        }
    } back{window};

    ReadIntersectionAttributeBlock();
    std::vector<int> done;
    {
        SetGuard ss(QStringLiteral("SSZaznaczone"));
        cad::SelectionFilter f;
        f.add(0, QStringLiteral("INSERT"))
            .add(2, PatternText(IntersectionNumber) + QStringLiteral("^STRUMIEN*"))
            .add(62, common::Settings.PisakZaznaczenia);
        const QList<cad::Entity> refs = ss.select(f);
        const QString prefix = IntersectionNumber + QStringLiteral("^STRUMIEN");
        for (const cad::Entity& ref : refs) {
            window.yieldToMessageLoop();
            for (const QString& name : automation::SplitCaretList(ref.name(), prefix)) {
                const int i = FindStreamIndex(name);
                if (i < 0 || std::find(done.begin(), done.end(), i) != done.end()) continue;
                done.push_back(i);
                const QString base = StreamTable[size_t(i)].BaseName.toUpper();
                if (group) {
                    SetStreamAttribute(QStringLiteral("GRUPY"), base, QString::number(g), false);
                    setForBaseName(base, true, g, QString());
                } else {
                    // The phase list belongs to the base name: every variant shares it.
                    const QString list = AddNumberToList(i, p);
                    SetStreamAttribute(QStringLiteral("FAZY"), base, list, false);
                    setForBaseName(base, false, 0, list);
                }
            }
        }
    }
    WriteIntersectionAttributeBlock(StreamAttributeBlockHandle);
}

}  // namespace conflictor
