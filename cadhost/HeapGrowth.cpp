#include "cadhost/HeapGrowth.h"

#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>
#include <condition_variable>
#include <cstdint>
#include <cstdlib>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace cadhost {

namespace {
constexpr int Step = 32 << 20;
// Blocks below this come from the heap; above it from mappings of their own, given back (and
// touched anew) every time.
constexpr int LargestHeapBlock = 32 << 20;
constexpr std::uintptr_t PageBytes = 4096;
char* takenUpTo = nullptr;  // the heap's end when last taken

// Takes the pages of the heap's new steps in a thread of its own: where the system has no huge
// page free, a step is taken in 4 KB pages, about 50 ms for 32 MB, which must not hold up a call.
// Taking a page the program touches meanwhile changes nothing in it. Never destroyed: it may be
// at work when the program ends.
class Taker {
public:
    void take(std::uintptr_t from, std::size_t bytes) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (!started_) {
                try {
                    std::thread([this] { run(); }).detach();
                    started_ = true;
                } catch (const std::system_error&) {
                    return;  // no thread to be had: the pages are taken as they are touched
                }
            }
            steps_.emplace_back(from, bytes);
        }
        wake_.notify_one();
    }

private:
    void run() {
        for (;;) {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [this] { return !steps_.empty(); });
            const auto [from, bytes] = steps_.front();
            steps_.erase(steps_.begin());
            lock.unlock();
            madvise(reinterpret_cast<void*>(from), bytes, MADV_POPULATE_WRITE);
        }
    }
    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<std::pair<std::uintptr_t, std::size_t>> steps_;
    bool started_ = false;
};

Taker& taker() {
    static Taker* t = new Taker;
    return *t;
}
}  // namespace

void GrowHeapInLargeSteps() {
    // Each extension of the heap reserves this much beyond the request; what is freed at the top
    // is kept up to the same amount.
    mallopt(M_TOP_PAD, Step);
    mallopt(M_TRIM_THRESHOLD, Step);
    mallopt(M_MMAP_THRESHOLD, LargestHeapBlock);
    free(malloc(1));  // the heap takes its first step now
    // What was allocated so far stays as it is; the free top of the heap above it is taken.
    takenUpTo = static_cast<char*>(sbrk(0)) - mallinfo2().keepcost;
    TakeNewHeapInHugePages();
}

void TakeNewHeapInHugePages() {
    char* end = static_cast<char*>(sbrk(0));
    if (!takenUpTo) return;
    if (end <= takenUpTo) {
        takenUpTo = end;  // the heap gave back its top: when it grows there again, it is new
        return;
    }
    const std::uintptr_t from = (reinterpret_cast<std::uintptr_t>(takenUpTo) + PageBytes - 1) & ~(PageBytes - 1);
    const std::uintptr_t to = reinterpret_cast<std::uintptr_t>(end) & ~(PageBytes - 1);
    // Both refused where the system has no huge pages or no populating: the heap then stays as it
    // was. Measured here: 64 MB touched page by page took 190 ms in 4 KB pages and 10 to 90 ms
    // in huge pages (a huge page's first touch can stall for milliseconds); taken at once in huge
    // pages, 3 ms, and in 4 KB pages (no huge page free) about 100 ms, hence the thread.
    if (to > from) {
        madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
        taker().take(from, to - from);
    }
    takenUpTo = end;
}

}  // namespace cadhost
