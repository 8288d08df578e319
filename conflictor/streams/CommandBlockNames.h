// The drawing's block names read once for a command that makes many blocks (the cut, through its
// CutContext), so that every new name is chosen from them instead of asking the drawing for each.
// The names are exactly those MakeUniqueStreamBlockName and automation::MakeUniqueBlockName would
// choose against the drawing while nothing but the command adds blocks: the command is one user
// action, and another program's change between two commands is still seen, as each command reads
// the names afresh.
#pragma once

#include <QSet>
#include <QString>
#include <QStringList>

namespace conflictor {

class CommandBlockNames {
public:
    // Reads every block name of the active drawing (one call).
    CommandBlockNames();
    ~CommandBlockNames();
    CommandBlockNames(const CommandBlockNames&) = delete;
    CommandBlockNames& operator=(const CommandBlockNames&) = delete;

    // As MakeUniqueStreamBlockName: prefix, n and suffix for the first n from the block count plus 1
    // that no block of the prefix holds. The name counts as taken (the caller makes its block).
    QString componentName(const QString& prefix, const QString& suffix);
    // As automation::MakeUniqueBlockName: prefix and the first n from the block count plus 1 for
    // which no block is so named. Taken as above.
    QString blockName(const QString& prefix);

private:
    void take(const QString& name);

    int count_ = 0;         // blocks in the drawing, with the ones this scope named
    QStringList names_;     // every block name, in the order of the table
    QSet<QString> keys_;    // the same, case folded (block names ignore case)
    QString prefix_;        // the component prefix `used_` was gathered for
    QSet<qint64> used_;     // component numbers taken in that prefix
};

}  // namespace conflictor
