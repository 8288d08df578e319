// Placeholder handles of the components the cut writes, and their one read.
#include "conflictor/streams/PendingComponentHandles.h"

#include "automation/CadConnection.h"
#include "conflictor/streams/StreamRecords.h"
#include "platform/cad/BulkReads.h"
#include "platform/cad/Channel.h"

#include <QStringBuilder>
#include <algorithm>

namespace conflictor {

namespace {

// Handles are hexadecimal: a placeholder starts with a character no handle holds.
constexpr QChar PlaceholderMark(u'~');

}  // namespace

bool PendingComponentHandles::isPlaceholder(const QString& handle) {
    return !handle.isEmpty() && handle.front() == PlaceholderMark;
}

QString PendingComponentHandles::add(cad::ObjectId reference, cad::ObjectId curve) {
    pending_.push_back(Pending{reference, curve});
    return PlaceholderMark % QString::number(first_ + qint64(pending_.size()) - 1);
}

void PendingComponentHandles::resolve() {
    if (pending_.empty()) return;
    cad::VariantList references;
    references.reserve(qsizetype(pending_.size()));
    bool provisional = false;
    for (const Pending& p : pending_) {
        references.append(cad::Variant(cad::ObjectRef{p.reference}));
        provisional = provisional || cad::IsProvisionalId(p.curve);
    }
    // The curves' ids are read only where the ids given were provisional.
    const cad::VariantList rows =
        provisional ? cad::ReadProperties(automation::CadDocument, references, {QStringLiteral("Handle")},
                                          {QStringLiteral("ObjectName")})
                    : cad::ReadProperties(automation::CadDocument, references, {QStringLiteral("Handle")});
    struct Real {
        QString handle;
        cad::ObjectId curve = 0;
    };
    std::vector<Real> real(pending_.size());
    for (size_t i = 0; i < pending_.size(); ++i) {
        const cad::VariantList row = rows.value(qsizetype(i)).toArray();
        real[i] = Real{row.value(0).toText(), pending_[i].curve};
        if (!provisional) continue;
        // The curve written is the block's only line or arc.
        real[i].curve = 0;
        for (const cad::Variant& part : row.value(1).toArray()) {
            const cad::VariantList p = part.toArray();
            const QString kind = p.value(1).toText();
            if (kind != QLatin1String("AcDbLine") && kind != QLatin1String("AcDbArc")) continue;
            real[i].curve = p.value(0).toObject();
            break;
        }
    }
    const qint64 first = first_;
    first_ += qint64(pending_.size());
    pending_.clear();
    for (StreamRecord& s : StreamTable) {
        const int count = std::min(s.SegmentCount, MaxSegments);
        for (int k = 1; k <= count; ++k) {
            SegmentRecord& segment = s.Segments[size_t(k)];
            if (!isPlaceholder(segment.Handle)) continue;
            const qint64 n = QStringView(segment.Handle).mid(1).toLongLong() - first;
            if (n < 0 || n >= qint64(real.size())) continue;
            segment.Handle = real[size_t(n)].handle;
            segment.Curve = real[size_t(n)].curve;
        }
    }
}

}  // namespace conflictor
