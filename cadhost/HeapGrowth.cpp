#include "cadhost/HeapGrowth.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#include <cstdint>
#include <cstdlib>

namespace cadhost {

namespace {
constexpr int Step = 64 << 20;
constexpr std::uintptr_t PageBytes = 4096;
char* offeredUpTo = nullptr;  // the heap's end when last offered
}  // namespace

void GrowHeapInLargeSteps() {
    // Each extension of the heap reserves this much beyond the request (address space only: pages
    // are taken when touched); what is freed at the top is kept up to the same amount.
    mallopt(M_TOP_PAD, Step);
    mallopt(M_TRIM_THRESHOLD, Step);
    // Blocks below this come from the heap; above it from mappings of their own, given back (and
    // touched anew) every time.
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    free(malloc(1));  // the heap takes its first step now
    const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(sbrk(0));
    // What was allocated so far stays as it is; the free step above it is offered.
    const struct mallinfo2 info = mallinfo2();
    const std::uintptr_t top = end - info.fordblks;  // at most the free part lies above the used one
    offeredUpTo = reinterpret_cast<char*>(top < end ? top : end);
    OfferNewHeapAsHugePages();
}

void OfferNewHeapAsHugePages() {
    char* end = static_cast<char*>(sbrk(0));
    if (!offeredUpTo || end <= offeredUpTo) return;
    const std::uintptr_t from = (reinterpret_cast<std::uintptr_t>(offeredUpTo) + PageBytes - 1) & ~(PageBytes - 1);
    const std::uintptr_t to = reinterpret_cast<std::uintptr_t>(end) & ~(PageBytes - 1);
    // Refused where the system has huge pages off: the heap then stays as it was.
    if (to > from) madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
    offeredUpTo = end;
}

}  // namespace cadhost
