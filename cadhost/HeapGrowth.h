// The host's heap. A cut or an import adds tens of thousands of objects in a burst, and on a
// virtual machine the first touch of each new 4 KB page costs tens of microseconds, more than the
// calls themselves (measured: 2,400 such faults in the 60-stream cut, about 40 % of the host's
// time). So the heap grows in large steps, keeps what it frees, takes large blocks from itself
// rather than from fresh mappings, and is offered to the system as huge pages (2 MB a touch).
#pragma once

namespace cadhost {

// Called once, before the first drawing is opened.
void GrowHeapInLargeSteps();
// After calls were served: the part the heap grew by since is offered as huge pages too. Cheap
// when it did not grow.
void OfferNewHeapAsHugePages();

}  // namespace cadhost
