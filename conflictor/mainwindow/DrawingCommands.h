// The commands of conflictor's table that work on the drawing through the context: the cut (its
// outcome left in the context for the caller), the legend and the stream's start point.
#pragma once

namespace conflictor {

struct CommandContext;

// "Narzędzia > Tnij i ustaw ziziro zedivir > Tnij wszystkie strumienie" / "... Tnij zaznaczone strumienie".
void mnuNarzedzia_TnijWszystkie(CommandContext& context);
void mnuNarzedzia_TnijZaznaczone(CommandContext& context);
// "Narzędzia > Ustaw legendę".
void mnuNarzedzia_UstawLegende(CommandContext& context);
// "Strumień > Ustaw punkt początkowy" / "Zamień punkt początkowy", with the hourglass while it works.
void mnuEdycja_UstawPunktPoczatkowy(CommandContext& context);
void mnuEdycja_ZamienPunktPoczatkowy(CommandContext& context);

}  // namespace conflictor
