// The host's heap. A cut or an import adds tens of thousands of objects in a burst, and on a
// virtual machine the first touch of each new 4 KB page costs 10 to 15 microseconds, more than the
// calls themselves (measured: 2,400 such faults in the 60-stream cut, about 40 % of the host's
// time there). So the heap grows in large steps, keeps what it frees, takes large blocks from
// itself rather than from fresh mappings, and takes each step at once, in huge pages (2 MB), in a
// thread of its own.
#pragma once

namespace cadhost {

// Called once, before the first drawing is opened.
void GrowHeapInLargeSteps();
// After a call was served: the part the heap grew by since is marked for huge pages and taken in
// the background. Cheap when it did not grow.
void TakeNewHeapInHugePages();

}  // namespace cadhost
