// The host's heap grows in large steps, offered to the system as huge pages: the blocks a burst of
// calls allocates come from the heap (not from mappings of their own) and lie in memory marked so.
#include "cadhost/HeapGrowth.h"

#include <gtest/gtest.h>
#include <QFile>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

// The flags and name of the mapping that holds `address`, from /proc/self/smaps.
std::pair<QByteArray, QByteArray> mappingOf(const void* address) {
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    if (!smaps.open(QIODevice::ReadOnly)) return {};
    const auto at = reinterpret_cast<std::uintptr_t>(address);
    bool inside = false;
    QByteArray name;
    for (const QByteArray& line : smaps.readAll().split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        const int dash = f[0].indexOf('-');
        bool fromOk = false, toOk = false;
        const std::uintptr_t from = dash > 0 ? f[0].left(dash).toULongLong(&fromOk, 16) : 0;
        const std::uintptr_t to = dash > 0 ? f[0].mid(dash + 1).toULongLong(&toOk, 16) : 0;
        if (fromOk && toOk) {  // a mapping's first line: its range, then its attributes below
            inside = at >= from && at < to;
            name = f.size() > 5 ? f[5] : QByteArray();
        } else if (inside && line.startsWith("VmFlags:")) {
            return {line, name};
        }
    }
    return {};
}

TEST(HeapGrowth, ABurstsBlocksComeFromTheHeapOfferedAsHugePages) {
    if (!QFile::exists(QStringLiteral("/sys/kernel/mm/transparent_hugepage/enabled")))
        GTEST_SKIP() << "this system has no huge pages";
    cadhost::GrowHeapInLargeSteps();
    std::vector<void*> blocks;
    for (int i = 0; i < 48; ++i) blocks.push_back(std::malloc(2 << 20));  // 96 MB: the heap grows
    cadhost::OfferNewHeapAsHugePages();
    const auto [flags, name] = mappingOf(blocks.back());
    EXPECT_EQ(name, "[heap]");
    EXPECT_TRUE(flags.contains(" hg")) << flags.constData();
    for (void* b : blocks) std::free(b);
}

}  // namespace
