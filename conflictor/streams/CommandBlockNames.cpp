// Block names chosen from one read of the drawing's names.
#include "conflictor/streams/CommandBlockNames.h"

#include "conflictor/streams/StreamBlocks.h"

#include <QStringBuilder>

namespace conflictor {

namespace {

// As QString::toCaseFolded folds, ASCII names (all the block names made) in one plain pass: a cut
// makes thousands of names.
QString folded(const QString& name) {
    const qsizetype n = name.size();
    QString out(n, Qt::Uninitialized);
    const QChar* p = name.constData();
    QChar* q = out.data();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = p[i].unicode();
        if (c >= 0x80) return name.toCaseFolded();
        q[i] = QChar(c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c);
    }
    return out;
}

}  // namespace

CommandBlockNames::CommandBlockNames() {
    // A reply of NamesFrom: the count, then block and name pairs.
    const cad::VariantList reply = ComponentBlockTable().namesFrom(0);
    count_ = int(reply.value(0).toInt());
    names_.reserve(reply.size() / 2);
    for (qsizetype i = 2; i < reply.size(); i += 2) {
        names_.append(reply[i].toText());
        keys_.insert(folded(names_.back()));
    }
}

CommandBlockNames::~CommandBlockNames() {
    // The blocks named here were added without the remembered numbers seeing them.
    ForgetComponentNumbers();
}

void CommandBlockNames::take(const QString& name) {
    names_.append(name);
    keys_.insert(folded(name));
    ++count_;
    if (const qint64 n = ComponentNumberOf(prefix_, name); !prefix_.isEmpty() && n >= 0) used_.insert(n);
}

QString CommandBlockNames::componentName(const QString& prefix, const QString& suffix) {
    if (prefix_.isEmpty() || (prefix_ != prefix && prefix_.compare(prefix, Qt::CaseInsensitive) != 0)) {
        prefix_ = prefix;
        used_.clear();
        for (const QString& name : names_)
            if (const qint64 n = ComponentNumberOf(prefix, name); n >= 0) used_.insert(n);
    }
    // A name prefix & n & suffix read from the drawing has its n in `used_`: the numbers suffice.
    qint64 n = qint64(count_) + 1;
    while (used_.contains(n)) ++n;
    const QString name = prefix % QString::number(n) % suffix;
    take(name);
    return name;
}

QString CommandBlockNames::blockName(const QString& prefix) {
    qint32 n = qint32(count_);
    QString candidate;
    do {
        ++n;
        candidate = prefix % QString::number(n);
    } while (keys_.contains(folded(candidate)));
    take(candidate);
    return candidate;
}

}  // namespace conflictor
