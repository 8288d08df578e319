// Tesmar.ini read and written line by line: a write changes the one line of its key and leaves every
// other line as it was (never through QSettings, which reorders keys and quotes values).
#include "common/Ini.h"

#include "common/IniText.h"
#include "common/PathHelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMutex>
#include <QSaveFile>
#include <QTemporaryFile>

#include <map>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <time.h>

namespace common {

QString IniFilePath;
bool AlwaysOnTop = false;

namespace {

constexpr int kMaxValueLength = 2047;  // the longest value a settings file holds (a 2048-character buffer)

// A settings file of the suite holds a few kilobytes; one past this size is no settings file, and
// reading it would hold that much memory for the whole run.
constexpr qint64 kMaxIniSize = qint64(128) << 20;
// Files from this size on are read once and kept while they stay as they are; smaller ones are read
// again for every key, which costs nothing and sees every change at once.
constexpr qint64 kKeptFrom = qint64(64) << 10;
// A file's times move in steps (a few milliseconds here, two seconds on a FAT stick): a file written
// within the last step may be written again without its times changing, so it is kept only once its
// last write is older than that.
constexpr qint64 kSettledNs = qint64(2) * 1000000000;

// What tells one state of the file from another: a write by any program changes its size, its times
// (to the nanosecond) or, written to a new file and renamed as ours are, its inode.
struct Identity {
    dev_t device = 0;
    ino_t inode = 0;
    qint64 size = 0;
    qint64 modified = 0;
    qint64 changed = 0;
    bool operator==(const Identity&) const = default;
};

std::optional<Identity> identityOf(const QString& path) {
    struct stat st{};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) return std::nullopt;
    return Identity{st.st_dev, st.st_ino, qint64(st.st_size),
                    qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec,
                    qint64(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec};
}

enum class FileState { Missing, Read, NotRegular, Unreadable, TooLarge };

struct Reading {
    Identity identity;
    ini::Text text;
    ini::Index index;
};

// Guards the kept readings; the index of a reading grows as keys are asked for.
QMutex readingsMutex;
std::map<QString, std::shared_ptr<Reading>> keptReadings;

qint64 nowNs() {
    struct timespec t{};
    ::clock_gettime(CLOCK_REALTIME, &t);
    return qint64(t.tv_sec) * 1000000000 + t.tv_nsec;
}

void keep(const QString& path, std::shared_ptr<Reading> r) {
    if (!r || r->identity.size < kKeptFrom || nowNs() - r->identity.modified < kSettledNs) {
        keptReadings.erase(path);
        return;
    }
    if (keptReadings.size() >= 4 && !keptReadings.count(path)) keptReadings.erase(keptReadings.begin());
    keptReadings[path] = std::move(r);
}

// The file as it is now: the kept reading while the file is unchanged, else read again. Caller holds
// readingsMutex. A FIFO, a device or a folder under the name is never opened (it would block the
// program or be no settings at all).
std::shared_ptr<Reading> readingOf(const QString& path, FileState& state) {
    const QFileInfo info(path);
    if (!info.exists()) {
        state = FileState::Missing;
        keptReadings.erase(path);
        return nullptr;
    }
    if (!info.isFile()) {
        state = FileState::NotRegular;
        return nullptr;
    }
    const std::optional<Identity> before = identityOf(path);
    if (!before) {
        state = FileState::Unreadable;
        return nullptr;
    }
    if (before->size > kMaxIniSize) {
        state = FileState::TooLarge;
        keptReadings.erase(path);
        return nullptr;
    }
    if (const auto it = keptReadings.find(path); it != keptReadings.end() && it->second->identity == *before) {
        state = FileState::Read;
        return it->second;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        state = FileState::Unreadable;
        return nullptr;
    }
    auto r = std::make_shared<Reading>();
    // Read no more than the limit even when the file grew since it was measured.
    QByteArray bytes;
    bytes.reserve(qsizetype(before->size));
    while (bytes.size() <= kMaxIniSize) {
        const QByteArray chunk = file.read(qint64(1) << 20);
        if (chunk.isEmpty()) break;
        bytes += chunk;
    }
    if (bytes.size() > kMaxIniSize) {
        state = FileState::TooLarge;
        return nullptr;
    }
    r->text = ini::FromFileBytes(std::move(bytes));
    // Changed while it was read: kept under the older identity, so the next look reads it again.
    r->identity = *before;
    state = FileState::Read;
    keep(path, r);
    return r;
}

// One line break (CR LF, CR or LF) becomes one blank.
QString oneLine(const QString& text) {
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String(" "));
    t.replace(QLatin1Char('\r'), QLatin1Char(' '));
    t.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return t;
}

QString profileValue(QString value) {
    value = value.trimmed();
    if (value.size() >= 2) {
        QChar q = value.front();
        if ((q == QLatin1Char('"') || q == QLatin1Char('\'')) && value.back() == q)
            value = value.mid(1, value.size() - 2);
    }
    return value.left(kMaxValueLength).trimmed();
}

bool folderIsWritable(const QString& folder) {
    if (!QFileInfo(folder).isDir()) return false;
    QTemporaryFile probe(folder + QStringLiteral("/.tesmar-probe-XXXXXX"));
    return probe.open();
}

// The text with key=value set in the section: the key's line replaced, or a line added after the
// section's last key (right after its header when it has none), or the section added at the end.
// False when the line is already so.
bool setKey(ini::Text& text, ini::Index& index, const QString& section, const QString& key,
            const QString& newLine) {
    QByteArray& bytes = text.bytes;
    const QByteArray line = newLine.toUtf8() + text.eol;
    // A line added after one that ends the file without a line end first gets its end.
    auto insertAt = [&](qsizetype pos, const ini::Line& before) {
        bytes.insert(pos, before.next == before.end ? text.eol + line : line);
    };
    const std::optional<qsizetype> body = index.sectionBody(bytes, section);
    if (!body) {
        if (!bytes.isEmpty() && !bytes.endsWith('\n') && !bytes.endsWith('\r')) bytes += text.eol;
        bytes += (QLatin1Char('[') + section + QLatin1Char(']')).toUtf8() + text.eol + line;
        return true;
    }
    if (const std::optional<ini::Line> at = index.keyLine(bytes, *body, key)) {
        if (ini::DecodeLine(bytes, *at) == newLine) return false;
        bytes.replace(at->begin, at->next - at->begin, line);
        return true;
    }
    // After the header, or after the section's last key line. Only the header at the very end of the
    // file can lack its line end.
    const bool headerEnded = *body < bytes.size() || bytes.endsWith('\n') || bytes.endsWith('\r');
    ini::Line last{*body, headerEnded ? qsizetype(-1) : *body, *body};
    for (qsizetype pos = *body; pos < bytes.size();) {
        const ini::Line l = ini::LineAt(bytes, pos);
        const QString decoded = ini::DecodeLine(bytes, l);
        if (ini::SectionOf(decoded)) break;
        if (ini::KeyOf(decoded)) last = l;
        pos = l.next;
    }
    insertAt(last.next, last);
    return true;
}

}  // namespace

QString GetIni(const QString& filePath, const QString& section, const QString& key,
               const QString& defaultValue) {
    const QMutexLocker locker(&readingsMutex);
    FileState state;
    if (const std::shared_ptr<Reading> r = readingOf(filePath, state)) {
        const QByteArray& bytes = r->text.bytes;
        if (const auto body = r->index.sectionBody(bytes, section)) {
            if (const auto line = r->index.keyLine(bytes, *body, key)) {
                const QString text = ini::DecodeLine(bytes, *line);
                return profileValue(text.mid(text.indexOf(QLatin1Char('=')) + 1));
            }
        }
    }
    return defaultValue.trimmed().left(kMaxValueLength).trimmed();
}

void PutIni(const QString& filePath, const QString& section, const QString& key, const QString& value) {
    QString sectionName = oneLine(section).trimmed();
    QString keyName = oneLine(key).trimmed();
    if (sectionName.isEmpty() || keyName.isEmpty()) return;
    const QString newLine = keyName + QLatin1Char('=') + oneLine(value);
    {
        const QFileInfo info(filePath);
        if (info.exists() && !info.isFile()) return;  // nothing to write into, and nothing to replace
    }

    // Serialise the read-modify-write with other programs writing the same file.
    QLockFile lock(filePath + QStringLiteral(".lock"));
    lock.setStaleLockTime(5000);
    const bool locked = lock.tryLock(6000);  // longer than the stale time, so a crashed writer cannot block us

    const QMutexLocker locker(&readingsMutex);
    FileState state;
    const std::shared_ptr<Reading> current = readingOf(filePath, state);
    if (state != FileState::Read && state != FileState::Missing) {  // never replace what could not be read
        if (locked) lock.unlock();
        return;
    }
    // The kept reading stays as the file is until the write has happened.
    ini::Text text = current ? current->text : ini::Text();
    ini::Index scratch;
    if (!setKey(text, current ? current->index : scratch, sectionName, keyName, newLine)) {
        if (locked) lock.unlock();
        return;
    }
    QSaveFile out(filePath);
    out.setDirectWriteFallback(true);  // a writable file in a folder that is not
    if (out.open(QIODevice::WriteOnly)) {
        out.write(ini::ToFileBytes(text));
        out.commit();
    }
    // Just written, the file is read again at the next key (see kSettledNs).
    keptReadings.erase(filePath);
    if (locked) lock.unlock();
}

bool IniFileUsable(const QString& filePath) {
    const QMutexLocker locker(&readingsMutex);
    FileState state;
    readingOf(filePath, state);
    return state == FileState::Read || state == FileState::Missing;
}

QString UnusableIniMessage(const QString& filePath) {
    FileState state;
    {
        const QMutexLocker locker(&readingsMutex);
        readingOf(filePath, state);
    }
    if (state == FileState::TooLarge)
        return QStringLiteral("Plik ustawień %1 ma %2 MB, a plik ustawień pakietu ma kilka kB (przyjmowany jest "
                              "do %3 MB); nie odczytano go i nic w nim nie zostanie zapisane, przyjęto "
                              "ustawienia domyślne.")
            .arg(filePath)
            .arg(QFileInfo(filePath).size() >> 20)
            .arg(kMaxIniSize >> 20);
    if (state == FileState::Read || state == FileState::Missing) return QString();
    return QStringLiteral("Nie można odczytać pliku ustawień %1 (nie jest zwykłym plikiem albo brak dostępu); "
                          "przyjęto ustawienia domyślne.")
        .arg(filePath);
}

QString IniFileLocation(const QString& programFolder) {
    QString inFolder = JoinPath(programFolder, QStringLiteral("Tesmar.ini"));
    QFileInfo existing(inFolder);
    if (folderIsWritable(programFolder) || (existing.exists() && existing.isWritable())) return inFolder;
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (config.isEmpty()) config = QDir::homePath() + QStringLiteral("/.config");
    QString folder = JoinPath(config, QStringLiteral("Tesmar"));
    QDir().mkpath(folder);
    return JoinPath(folder, QStringLiteral("Tesmar.ini"));
}

}  // namespace common
