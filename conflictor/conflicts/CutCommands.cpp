// The conflict-point commands and their entries.
#include "conflictor/conflicts/CutCommands.h"

#include "conflictor/conflicts/Cut.h"
#include "conflictor/conflicts/Legend.h"

namespace conflictor {

void TnijWszystkie() {
    CutStreams(true);
}

void TnijZaznaczone() {
    CutStreams(false);
}

void UstawLegendeCommand() {
    UstawLegende();
}

const QList<ConflictCommand>& ConflictCommands() {
    static const QList<ConflictCommand> commands{
        {QStringLiteral("mnuNarzedzia_TnijWszystkie"), QStringLiteral("Tnij wszystkie strumienie"),
         QStringLiteral("TnijWszystkie"), QStringLiteral("Tnij wszystkie strumienie"), &TnijWszystkie},
        {QStringLiteral("mnuNarzedzia_TnijZaznaczone"), QStringLiteral("Tnij zaznaczone strumienie"),
         QStringLiteral("TnijZaznaczone"), QStringLiteral("Tnij zaznaczone strumienie"), &TnijZaznaczone},
        {QStringLiteral("mnuNarzedzia_UstawLegende"), QStringLiteral("&Ustaw legendę"),
         QStringLiteral("Legenda"), QStringLiteral("Ustaw legendę"), &UstawLegendeCommand},
    };
    return commands;
}

}  // namespace conflictor
