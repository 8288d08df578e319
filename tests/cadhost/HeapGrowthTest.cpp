// The host's heap grows in large steps taken at once in huge pages: the blocks a burst of calls
// allocates come from the heap (not from mappings of their own) and lie in memory taken so.
#include "cadhost/HeapGrowth.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QThread>

#include <cstdint>
#include <cstdlib>
#include <vector>

// AddressSanitizer replaces malloc with its own allocator: the blocks never come from the heap.
#if defined(__SANITIZE_ADDRESS__)
#define HEAP_OWNED_BY_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HEAP_OWNED_BY_SANITIZER 1
#endif
#endif
#ifndef HEAP_OWNED_BY_SANITIZER
#define HEAP_OWNED_BY_SANITIZER 0
#endif

namespace {

struct Mapping {
    QByteArray flags, name;
    qint64 hugeKb = 0;  // of it in huge pages
};

// What /proc/self/smaps tells of the mapping that holds `address`.
Mapping mappingOf(const void* address) {
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    if (!smaps.open(QIODevice::ReadOnly)) return {};
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    bool inside = false;
    Mapping m;
    for (const QByteArray& line : smaps.readAll().split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        const int dash = f[0].indexOf('-');
        bool fromOk = false, toOk = false;
        const std::uintptr_t from = dash > 0 ? f[0].left(dash).toULongLong(&fromOk, 16) : 0;
        const std::uintptr_t to = dash > 0 ? f[0].mid(dash + 1).toULongLong(&toOk, 16) : 0;
        if (fromOk && toOk) {  // a mapping's first line: its range, then its attributes below
            if (inside) return m;  // its lines ended
            inside = at >= from && at < to;
            m.name = f.size() > 5 ? f[5] : QByteArray();
        } else if (inside && line.startsWith("AnonHugePages:")) {
            m.hugeKb = f.value(1).toLongLong();
        } else if (inside && line.startsWith("VmFlags:")) {
            m.flags = line;
        }
    }
    return inside ? m : Mapping{};
}

TEST(HeapGrowth, ABurstsBlocksComeFromTheHeapTakenInHugePages) {
    if (HEAP_OWNED_BY_SANITIZER) GTEST_SKIP() << "the address sanitizer serves every block itself";
    if (!QFile::exists(QStringLiteral("/sys/kernel/mm/transparent_hugepage/enabled")))
        GTEST_SKIP() << "this system has no huge pages";
    cadhost::GrowHeapInLargeSteps();
    std::vector<void*> blocks;
    for (int i = 0; i < 48; ++i) blocks.push_back(std::malloc(2 << 20));  // 96 MB: the heap grows
    cadhost::TakeNewHeapInHugePages();
    Mapping m = mappingOf(blocks.back());
    EXPECT_EQ(m.name, "[heap]");
    EXPECT_TRUE(m.flags.contains(" hg")) << m.flags.constData();
    // Taken in the background, in huge pages where the system gives them.
    QFile mode(QStringLiteral("/sys/kernel/mm/transparent_hugepage/enabled"));
    if (mode.open(QIODevice::ReadOnly) && !mode.readAll().contains("[never]")) {
        for (int wait = 0; wait < 200 && m.hugeKb == 0; ++wait, m = mappingOf(blocks.back()))
            QThread::msleep(10);
        EXPECT_GT(m.hugeKb, 0);
    }
    for (void* b : blocks) std::free(b);
}

}  // namespace
