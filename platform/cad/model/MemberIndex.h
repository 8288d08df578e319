// The exact-spelling look-up of a dispatch table's member names. Every call through either channel
// looks its member up, so the name is hashed from a few of its characters and the slots are probed
// in place, rather than through the library's general string hash over the whole name.
#pragma once

#include <QString>
#include <QStringView>
#include <cstring>
#include <vector>

namespace cad {

class MemberIndex {
public:
    // The position given to the name when it was added, or -1.
    int find(QStringView name) const {
        if (slots_.empty()) return -1;
        const quint32 h = hashOf(name);
        for (size_t i = h & mask_;; i = (i + 1) & mask_) {
            const Slot& s = slots_[i];
            if (s.position < 0) return -1;
            if (s.hash == h && equal(names_[size_t(s.position)], name)) return s.position;
        }
    }
    // Adds a name not added before; its position is the number of names added before it.
    int add(const QString& name) {
        const int position = int(names_.size());
        names_.push_back(name);
        // At most half the slots in use, so that a miss ends after a probe or two.
        if (names_.size() * 2 > slots_.size()) {
            rebuild(slots_.empty() ? 16 : slots_.size() * 2);
        } else {
            place(position);
        }
        return position;
    }
    size_t size() const { return names_.size(); }
    const QString& name(int position) const { return names_[size_t(position)]; }

    // The length and four characters spread over the name (the first, the last and two between):
    // enough to tell a table's hundred-odd names apart, the rare equal hash settled by comparing.
    static quint32 hashOf(QStringView name) {
        const qsizetype n = name.size();
        if (n == 0) return 0;
        const char16_t* p = name.utf16();
        quint32 h = quint32(n) * 0x9E3779B1u;
        h = (h ^ p[0]) * 0x85EBCA77u;
        h = (h ^ p[n / 3]) * 0xC2B2AE3Du;
        h = (h ^ p[(2 * n) / 3]) * 0x27D4EB2Fu;
        h = (h ^ p[n - 1]) * 0x165667B1u;
        return h ^ (h >> 15);
    }

private:
    struct Slot {
        quint32 hash = 0;
        int position = -1;
    };
    static bool equal(const QString& a, QStringView b) {
        // An empty name may have no characters at all (a null data pointer), which memcmp must not see.
        return a.size() == b.size() &&
               (b.isEmpty() || std::memcmp(a.constData(), b.data(), size_t(b.size()) * sizeof(QChar)) == 0);
    }
    void place(int position) {
        const quint32 h = hashOf(names_[size_t(position)]);
        size_t i = h & mask_;
        while (slots_[i].position >= 0) i = (i + 1) & mask_;
        slots_[i] = Slot{h, position};
    }
    void rebuild(size_t slotCount) {
        slots_.assign(slotCount, Slot{});
        mask_ = slotCount - 1;
        for (int p = 0; p < int(names_.size()); ++p) place(p);
    }

    std::vector<QString> names_;
    std::vector<Slot> slots_;
    size_t mask_ = 0;
};

}  // namespace cad
