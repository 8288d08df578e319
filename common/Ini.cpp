// Tesmar.ini read and written line by line: a write changes the one line of its key and leaves every
// other line as it was (never through QSettings, which reorders keys and quotes values).
#include "common/Ini.h"

#include "common/PathHelpers.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QStringConverter>
#include <QStringList>
#include <QTemporaryFile>

#include <optional>
#include <vector>

namespace common {

QString IniFilePath;
bool AlwaysOnTop = false;

namespace {

constexpr int kMaxValueLength = 2047;  // the longest value a settings file holds (a 2048-character buffer)

enum class IniEncoding { Bytes, Utf16LE, Utf16BE };

struct IniText {
    QStringList lines;         // decoded, without line ends
    std::vector<QByteArray> raw;  // each line as the file held it, without its end; empty for a new line
    std::vector<QByteArray> ends;  // each line's end as the file held it (CR LF, CR, LF or none)
    QByteArray eol = "\n";   // the end of a line written now: the file's own
    bool bom = false;
    IniEncoding encoding = IniEncoding::Bytes;
};

// Each line on its own: UTF-8 is ours; a line that is not valid UTF-8 is read as code page 1250, the
// encoding older installations wrote their settings in (such lines stay among ours).
QString decodeLine(const QByteArray& bytes) {
    QStringDecoder utf8(QStringConverter::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) return text;
    QStringDecoder cp1250("windows-1250");
    if (cp1250.isValid()) {
        QString t = cp1250.decode(bytes);
        if (!cp1250.hasError()) return t;
    }
    return QString::fromLatin1(bytes);
}

// Splits at every line end a Windows editor may leave: CR LF, LF, and CR alone (old Mac editors);
// calls add(line, end) for each line, the last one with an empty end when the text ends without one.
template <typename Text, typename Add>
void splitLines(const Text& text, Add add) {
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const auto c = text[i];
        if (c != u'\r' && c != u'\n') continue;
        const qsizetype endLength = (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ? 2 : 1;
        add(text.mid(start, i - start), text.mid(i, endLength));
        i += endLength - 1;
        start = i + 1;
    }
    if (start < n) add(text.mid(start), Text());
}

// The settings file is a regular file or nothing: a FIFO, a device or a folder under its name would
// block the program or be no settings at all.
bool isRegularOrMissing(const QString& path) {
    const QFileInfo info(path);
    return !info.exists() || info.isFile();
}

bool readIni(const QString& path, IniText& ini) {
    if (!QFileInfo(path).isFile()) return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        ini.bom = true;
        bytes.remove(0, 3);
    } else if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        // Notepad's "Unicode": the whole file in UTF-16, written back so.
        ini.bom = true;
        ini.encoding = bytes.startsWith("\xFF\xFE") ? IniEncoding::Utf16LE : IniEncoding::Utf16BE;
        QStringDecoder utf16(ini.encoding == IniEncoding::Utf16LE ? QStringConverter::Utf16LE
                                                                   : QStringConverter::Utf16BE);
        const QString text = utf16.decode(bytes.mid(2));
        if (text.contains(QLatin1Char('\n')) && !text.contains(QLatin1String("\r\n")))
            ini.eol = "\n";
        else if (text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n')))
            ini.eol = "\r";
        else
            ini.eol = "\r\n";  // Notepad's own
        splitLines(text, [&](const QString& line, const QString&) {
            ini.lines << line;
            ini.raw.emplace_back();  // every line is written anew, in the file's encoding
            ini.ends.emplace_back();
        });
        return true;
    }
    if (bytes.contains("\r\n"))
        ini.eol = "\r\n";
    else if (bytes.contains('\r') && !bytes.contains('\n'))
        ini.eol = "\r";
    splitLines(bytes, [&](const QByteArray& line, const QByteArray& end) {
        ini.lines << decodeLine(line);
        ini.raw.push_back(line);
        ini.ends.push_back(end);
    });
    return true;
}

// The section name of a "[name]" line; nothing when the line is no section header.
std::optional<QString> sectionOf(const QString& line) {
    QString t = line.trimmed();
    if (!t.startsWith(QLatin1Char('['))) return std::nullopt;
    qsizetype close = t.indexOf(QLatin1Char(']'));
    return (close < 0 ? t.mid(1) : t.mid(1, close - 1)).trimmed();
}

bool isComment(const QString& line) {
    return line.trimmed().startsWith(QLatin1Char(';'));
}

// The key of a "key=value" line; nothing when the line holds none.
std::optional<QString> keyOf(const QString& line) {
    if (isComment(line)) return std::nullopt;
    qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq < 0) return std::nullopt;
    return line.left(eq).trimmed();
}

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Index of the first header of the section, -1 when absent.
qsizetype findSection(const QStringList& lines, const QString& section) {
    for (qsizetype i = 0; i < lines.size(); ++i) {
        auto name = sectionOf(lines[i]);
        if (name && sameName(*name, section)) return i;
    }
    return -1;
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

}  // namespace

QString GetIni(const QString& filePath, const QString& section, const QString& key,
               const QString& defaultValue) {
    IniText ini;
    if (readIni(filePath, ini)) {
        qsizetype start = findSection(ini.lines, section);
        if (start >= 0) {
            for (qsizetype i = start + 1; i < ini.lines.size(); ++i) {
                const QString& line = ini.lines[i];
                if (sectionOf(line)) break;
                auto k = keyOf(line);
                if (k && sameName(*k, key)) return profileValue(line.mid(line.indexOf(QLatin1Char('=')) + 1));
            }
        }
    }
    return defaultValue.trimmed().left(kMaxValueLength).trimmed();
}

void PutIni(const QString& filePath, const QString& section, const QString& key, const QString& value) {
    QString sectionName = oneLine(section).trimmed();
    QString keyName = oneLine(key).trimmed();
    if (sectionName.isEmpty() || keyName.isEmpty()) return;
    QString newLine = keyName + QLatin1Char('=') + oneLine(value);
    if (!isRegularOrMissing(filePath)) return;  // nothing to write into, and nothing to replace

    // Serialise the read-modify-write with other programs writing the same file.
    QLockFile lock(filePath + QStringLiteral(".lock"));
    lock.setStaleLockTime(5000);
    bool locked = lock.tryLock(6000);  // longer than the stale time, so a crashed writer cannot block us

    IniText ini;
    if (!readIni(filePath, ini) && QFileInfo::exists(filePath)) {  // never replace what could not be read
        if (locked) lock.unlock();
        return;
    }
    // Lines written now are new; every other line goes back as the file held it.
    auto setLine = [&](qsizetype i, const QString& text) {
        ini.lines[i] = text;
        ini.raw[size_t(i)].clear();
        ini.ends[size_t(i)].clear();
    };
    auto insertLine = [&](qsizetype i, const QString& text) {
        ini.lines.insert(i, text);
        ini.raw.insert(ini.raw.begin() + i, QByteArray());
        ini.ends.insert(ini.ends.begin() + i, QByteArray());
    };
    qsizetype start = findSection(ini.lines, sectionName);
    if (start < 0) {
        insertLine(ini.lines.size(), QLatin1Char('[') + sectionName + QLatin1Char(']'));
        insertLine(ini.lines.size(), newLine);
    } else {
        qsizetype insertAt = start + 1;  // after the last key of the section, or right after its header
        bool replaced = false;
        for (qsizetype i = start + 1; i < ini.lines.size(); ++i) {
            const QString& line = ini.lines[i];
            if (sectionOf(line)) break;
            auto k = keyOf(line);
            if (!k) continue;
            if (sameName(*k, keyName)) {
                if (line == newLine) {  // already so: the file stays as it is
                    if (locked) lock.unlock();
                    return;
                }
                setLine(i, newLine);
                replaced = true;
                break;
            }
            insertAt = i + 1;
        }
        if (!replaced) insertLine(insertAt, newLine);
    }

    QByteArray bytes;
    if (ini.encoding == IniEncoding::Bytes) {
        if (ini.bom) bytes = QByteArray("\xEF\xBB\xBF");
        for (qsizetype i = 0; i < ini.lines.size(); ++i) {
            const QByteArray& raw = ini.raw[size_t(i)];
            const QByteArray& end = ini.ends[size_t(i)];
            bytes += (raw.isEmpty() && !ini.lines[i].isEmpty()) ? ini.lines[i].toUtf8() : raw;
            bytes += end.isEmpty() ? ini.eol : end;
        }
    } else {
        const bool le = ini.encoding == IniEncoding::Utf16LE;
        QStringEncoder utf16(le ? QStringConverter::Utf16LE : QStringConverter::Utf16BE);
        bytes = le ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
        const QString eol = QString::fromLatin1(ini.eol);
        for (const QString& line : std::as_const(ini.lines)) bytes += utf16.encode(line + eol);
    }
    QSaveFile out(filePath);
    out.setDirectWriteFallback(true);  // a writable file in a folder that is not
    if (out.open(QIODevice::WriteOnly)) {
        out.write(bytes);
        out.commit();
    }
    if (locked) lock.unlock();
}

bool IniFileUsable(const QString& filePath) {
    if (!QFileInfo::exists(filePath)) return true;
    IniText ini;
    return readIni(filePath, ini);
}

QString UnusableIniMessage(const QString& filePath) {
    if (IniFileUsable(filePath)) return QString();
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
