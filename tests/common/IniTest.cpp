// Tesmar.ini: keys read and written in their sections, every other line, encoding and line end kept.
#include "common/Ini.h"
#include "common/IniText.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QStringEncoder>
#include <fcntl.h>
#include <cstdio>
#include <future>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace common;

namespace {

QString readAll(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(f.readAll());
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class CommonIni : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("Tesmar.ini")); }
};

}  // namespace

TEST_F(CommonIni, MissingFileSectionOrKeyGivesTrimmedDefault) {
    EXPECT_EQ(GetIni(path(), QStringLiteral("Ogolne"), QStringLiteral("x"), QStringLiteral("  1000 ")),
              QStringLiteral("1000"));
    writeAll(path(), "[Ogolne]\nchkPowiazania=1\n");
    EXPECT_EQ(GetIni(path(), QStringLiteral("Inna"), QStringLiteral("chkPowiazania"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_EQ(GetIni(path(), QStringLiteral("Ogolne"), QStringLiteral("brak"), QStringLiteral("d")),
              QStringLiteral("d"));
}

TEST_F(CommonIni, ValuesTrimmedEmptyValueIsNotMissing) {
    writeAll(
        path(),
        "[Tesmar]\r\nMatrycaOdwrocona=\r\n  Okno_Glowne_Lewy =  1234  \r\nNazwa=\"  z cudzysłowem \"\r\n");
    EXPECT_EQ(
        GetIni(path(), QStringLiteral("Tesmar"), QStringLiteral("MatrycaOdwrocona"), QStringLiteral("0")),
        QString());
    EXPECT_EQ(
        GetIni(path(), QStringLiteral("Tesmar"), QStringLiteral("Okno_Glowne_Lewy"), QStringLiteral("1000")),
        QStringLiteral("1234"));
    EXPECT_EQ(GetIni(path(), QStringLiteral("Tesmar"), QStringLiteral("Nazwa"), QString()),
              QStringLiteral("z cudzysłowem"));
}

TEST_F(CommonIni, SectionAndKeyNamesIgnoreCase) {
    writeAll(path(), "[ogolne]\nCHKPOWIAZANIA=0\n[Ulice]\nŁódź=1\n");
    EXPECT_EQ(GetIni(path(), QStringLiteral("Ogolne"), QStringLiteral("chkPowiazania"), QStringLiteral("1")),
              QStringLiteral("0"));
    EXPECT_EQ(GetIni(path(), QStringLiteral("ULICE"), QStringLiteral("łÓDŹ"), QStringLiteral("0")),
              QStringLiteral("1"));
    PutIni(path(), QStringLiteral("OGOLNE"), QStringLiteral("chkpowiazania"), QStringLiteral("1"));
    EXPECT_EQ(GetIni(path(), QStringLiteral("Ogolne"), QStringLiteral("chkPowiazania"), QString()),
              QStringLiteral("1"));
    EXPECT_EQ(readAll(path()).count(QStringLiteral("hkpowiazania=")), 1);  // replaced, not added
}

TEST_F(CommonIni, LongValuesCutTo2047) {
    PutIni(path(), QStringLiteral("S"), QStringLiteral("k"), QString(3000, QLatin1Char('x')));
    EXPECT_EQ(GetIni(path(), QStringLiteral("S"), QStringLiteral("k"), QString()).size(), 2047);
}

TEST_F(CommonIni, CreatesFileSectionAndKey) {
    PutIni(path(), QStringLiteral("Tesmar Program"), QStringLiteral("NaWierzchu"), QStringLiteral("1"));
    EXPECT_EQ(readAll(path()), QStringLiteral("[Tesmar Program]\nNaWierzchu=1\n"));
    PutIni(path(), QStringLiteral("Ogolne"), QStringLiteral("chkPowiazania"), QStringLiteral("0"));
    PutIni(path(), QStringLiteral("Tesmar Program"), QStringLiteral("kmh"), QStringLiteral("1"));
    EXPECT_EQ(readAll(path()),
              QStringLiteral("[Tesmar Program]\nNaWierzchu=1\nkmh=1\n[Ogolne]\nchkPowiazania=0\n"));
}

TEST_F(CommonIni, KeepsForeignLinesCommentsAndLineEnds) {
    const QByteArray original =
        "; ustawienia pakietu\r\n[Tesmar]\r\n; komentarz w sekcji\r\nA=1\r\nlinia bez znaku\r\n\r\n; o "
        "sekcji B\r\n[B]\r\nC=3\r\n";
    writeAll(path(), original);
    PutIni(path(), QStringLiteral("Tesmar"), QStringLiteral("A"), QStringLiteral("2"));
    PutIni(path(), QStringLiteral("Tesmar"), QStringLiteral("Nowy"), QStringLiteral("x"));
    EXPECT_EQ(readAll(path()),
              QStringLiteral("; ustawienia pakietu\r\n[Tesmar]\r\n; komentarz w sekcji\r\nA=2\r\nNowy=x\r\n"
                             "linia bez znaku\r\n\r\n; o sekcji B\r\n[B]\r\nC=3\r\n"));
    EXPECT_EQ(GetIni(path(), QStringLiteral("B"), QStringLiteral("C"), QString()), QStringLiteral("3"));
}

TEST_F(CommonIni, CommentIsNeverAKey) {
    writeAll(path(), "[S]\n;k=1\n");
    EXPECT_EQ(GetIni(path(), QStringLiteral("S"), QStringLiteral(";k"), QStringLiteral("d")),
              QStringLiteral("d"));
}

TEST_F(CommonIni, LineBreakInValueStaysOneLine) {
    PutIni(path(), QStringLiteral("S"), QStringLiteral("Opis"),
           QStringLiteral("pierwsza\r\n[Wstrzyknieta]\nklucz=zly\rkoniec"));
    PutIni(path(), QStringLiteral("S"), QStringLiteral("Dalej"), QStringLiteral("2"));
    EXPECT_EQ(GetIni(path(), QStringLiteral("S"), QStringLiteral("Opis"), QString()),
              QStringLiteral("pierwsza [Wstrzyknieta] klucz=zly koniec"));
    EXPECT_EQ(GetIni(path(), QStringLiteral("Wstrzyknieta"), QStringLiteral("klucz"), QStringLiteral("brak")),
              QStringLiteral("brak"));
    EXPECT_EQ(GetIni(path(), QStringLiteral("S"), QStringLiteral("Dalej"), QString()), QStringLiteral("2"));
    EXPECT_EQ(readAll(path()).count(QLatin1Char('\n')), 3);
}

TEST_F(CommonIni, ReadsWindowsCodePageFile) {
    writeAll(path(),
             "[Ulice]\nNazwa=\xA3\xF3"
             "d\x9F\n");  // "Łódź" in code page 1250
    EXPECT_EQ(GetIni(path(), QStringLiteral("Ulice"), QStringLiteral("Nazwa"), QString()),
              QStringLiteral("Łódź"));
}

// A file of UTF-8 lines with one line of code page 1250 left by an old installation: each line is
// read in its own encoding, and a write leaves every line it does not change byte for byte.
TEST_F(CommonIni, MixedEncodingsAreReadLineByLineAndUnchangedLinesStay) {
    const QByteArray file = "[Ulice]\r\nMiasto=\xC5\x81\xC3\xB3"
                            "d\xC5\xBA\r\nStara=\xA3\xF3"
                            "d\x9F\r\n; komentarz \xB9\r\nDalej=1\r\n";
    writeAll(path(), file);
    EXPECT_EQ(GetIni(path(), QStringLiteral("Ulice"), QStringLiteral("Miasto"), QString()), QStringLiteral("Łódź"));
    EXPECT_EQ(GetIni(path(), QStringLiteral("Ulice"), QStringLiteral("Stara"), QString()), QStringLiteral("Łódź"));
    PutIni(path(), QStringLiteral("Ulice"), QStringLiteral("Dalej"), QStringLiteral("Żółć"));
    QFile f(path());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray after = f.readAll();
    EXPECT_EQ(after, file.left(file.indexOf("Dalej=")) + "Dalej=\xC5\xBB\xC3\xB3\xC5\x82\xC4\x87\r\n");
    f.close();
    // Writing a value the file already holds changes nothing.
    PutIni(path(), QStringLiteral("Ulice"), QStringLiteral("Dalej"), QStringLiteral("Żółć"));
    EXPECT_EQ(QFileInfo(path()).size(), after.size());
}

TEST_F(CommonIni, TwoWritersOfOneFileBothSurvive) {
    // Each write re-reads the file under a lock, so concurrent programs never drop each other's keys.
    PutIni(path(), QStringLiteral("Ogolne"), QStringLiteral("start"), QStringLiteral("1"));
    auto writer = [this](const QString& section) {
        for (int i = 0; i < 40; ++i)
            PutIni(path(), section, QStringLiteral("k%1").arg(i), QString::number(i));
    };
    std::thread a(writer, QStringLiteral("Tesmar"));
    std::thread b(writer, QStringLiteral("Tesmar Program"));
    a.join();
    b.join();
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(
            GetIni(path(), QStringLiteral("Tesmar"), QStringLiteral("k%1").arg(i), QStringLiteral("lost")),
            QString::number(i));
        EXPECT_EQ(GetIni(path(), QStringLiteral("Tesmar Program"), QStringLiteral("k%1").arg(i),
                         QStringLiteral("lost")),
                  QString::number(i));
    }
    EXPECT_EQ(GetIni(path(), QStringLiteral("Ogolne"), QStringLiteral("start"), QString()),
              QStringLiteral("1"));
}

TEST_F(CommonIni, LocationIsProgramFolderWhenWritableElseConfig) {
    EXPECT_EQ(IniFileLocation(dir.path()), dir.path() + QStringLiteral("/Tesmar.ini"));
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    EXPECT_EQ(IniFileLocation(dir.filePath(QStringLiteral("brak"))),
              config.path() + QStringLiteral("/Tesmar/Tesmar.ini"));
    EXPECT_TRUE(QFileInfo(config.path() + QStringLiteral("/Tesmar")).isDir());
    qunsetenv("XDG_CONFIG_HOME");
}

// A key missing from its section is missing, even when the next section holds it; a write adds it
// to its own section, never to the one after.
TEST_F(CommonIni, AKeyMissingFromItsSectionNeverComesFromTheNext) {
    writeAll(path(), "[Tesmar]\r\nInny=1\r\n[Hatcher]\r\nSkala=500\r\n[Tesmar2]\r\nSkala=7\r\n");
    EXPECT_EQ(GetIni(path(), QStringLiteral("Tesmar"), QStringLiteral("Skala"), QStringLiteral("d")),
              QStringLiteral("d"));
    EXPECT_EQ(GetIni(path(), QStringLiteral("Hatcher"), QStringLiteral("Skala"), QStringLiteral("d")),
              QStringLiteral("500"));
    // A section whose name starts like another's is another section.
    EXPECT_EQ(GetIni(path(), QStringLiteral("Tesmar2"), QStringLiteral("Inny"), QStringLiteral("d")),
              QStringLiteral("d"));
    PutIni(path(), QStringLiteral("Tesmar"), QStringLiteral("Skala"), QStringLiteral("1000"));
    EXPECT_EQ(GetIni(path(), QStringLiteral("Tesmar"), QStringLiteral("Skala"), QStringLiteral("d")),
              QStringLiteral("1000"));
    EXPECT_EQ(GetIni(path(), QStringLiteral("Hatcher"), QStringLiteral("Skala"), QStringLiteral("d")),
              QStringLiteral("500"));
    EXPECT_EQ(GetIni(path(), QStringLiteral("Tesmar2"), QStringLiteral("Skala"), QStringLiteral("d")),
              QStringLiteral("7"));
    const QString text = readAll(path());
    EXPECT_LT(text.indexOf(QStringLiteral("Skala=1000")), text.indexOf(QStringLiteral("[Hatcher]")));
}

// Notepad's "Unicode" file (UTF-16 with its byte-order mark, both byte orders) is read, and a write
// keeps it UTF-16 with its line ends; a file of CR-only line ends is read and written with them.
TEST_F(CommonIni, Utf16AndCrOnlyFilesAreReadAndWrittenInTheirOwnForm) {
    const QString text = QStringLiteral("[Tesmar Konflikty]\r\nSygnalZolty=4\r\nUlica=Łódź\r\n");
    for (const auto order : {QStringConverter::Utf16LE, QStringConverter::Utf16BE}) {
        QStringEncoder encode(order, QStringConverter::Flag::WriteBom);
        writeAll(path(), encode.encode(text));
        EXPECT_EQ(GetIni(path(), QStringLiteral("Tesmar Konflikty"), QStringLiteral("SygnalZolty"), QStringLiteral("3")),
                  QStringLiteral("4"));
        EXPECT_EQ(GetIni(path(), QStringLiteral("Tesmar Konflikty"), QStringLiteral("Ulica"), QString()),
                  QStringLiteral("Łódź"));
        PutIni(path(), QStringLiteral("Tesmar Konflikty"), QStringLiteral("Nowy"), QStringLiteral("ż"));
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        QStringEncoder again(order, QStringConverter::Flag::WriteBom);
        EXPECT_EQ(f.readAll(), QByteArray(again.encode(text + QStringLiteral("Nowy=ż\r\n"))));
    }
    writeAll(path(), "[S]\rA=1\rB=2\r");
    EXPECT_EQ(GetIni(path(), QStringLiteral("S"), QStringLiteral("B"), QStringLiteral("d")), QStringLiteral("2"));
    PutIni(path(), QStringLiteral("S"), QStringLiteral("A"), QStringLiteral("5"));
    PutIni(path(), QStringLiteral("S"), QStringLiteral("C"), QStringLiteral("3"));
    EXPECT_EQ(readAll(path()), QStringLiteral("[S]\rA=5\rB=2\rC=3\r"));
}

// A FIFO named Tesmar.ini is never opened (opening it would wait for a writer for ever): reading gives
// the defaults, writing leaves it, and the file is reported as not usable.
TEST_F(CommonIni, AFifoIsNeitherReadNorWritten) {
    const QByteArray fifo = QFile::encodeName(path());
    ASSERT_EQ(mkfifo(fifo.constData(), 0600), 0);
    auto reading = std::async(std::launch::async, [this] {
        PutIni(path(), QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("1"));
        return GetIni(path(), QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("d"));
    });
    if (reading.wait_for(std::chrono::seconds(3)) != std::future_status::ready) {
        // Release the reader so the test ends, then fail.
        for (int i = 0; i < 4 && reading.wait_for(std::chrono::milliseconds(200)) != std::future_status::ready; ++i) {
            int fd = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) ::close(fd);
        }
        ADD_FAILURE() << "the FIFO was opened";
    }
    EXPECT_EQ(reading.get(), QStringLiteral("d"));
    EXPECT_FALSE(IniFileUsable(path()));
    EXPECT_FALSE(QFileInfo(path()).isFile());  // still the FIFO
    EXPECT_TRUE(IniFileUsable(dir.filePath(QStringLiteral("brak.ini"))));
}

namespace {

// A settings file of other programs' lines: `lines` short keys in a section of its own between ours.
QByteArray largeFile(int lines, const QByteArray& eol) {
    QByteArray bytes = "[Ogolne]" + eol + "chkPowiazania=0" + eol + "[Zapas]" + eol;
    bytes.reserve(bytes.size() + qsizetype(lines) * 12);
    for (int i = 0; i < lines; ++i) bytes += "k" + QByteArray::number(i) + "=" + QByteArray::number(i % 7) + eol;
    bytes += "[Tesmar Konflikty]" + eol + "SygnalZolty=4" + eol + "[Zapas]" + eol + "k5=drugi" + eol;
    return bytes;
}

// Makes the file's last write an hour old, as a settings file written on another day.
void settle(const QString& path) {
    const struct timespec times[2] = {{0, UTIME_OMIT}, {::time(nullptr) / 60 * 60 - 3600, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
}

// The line of the first key in the first section, found the plain way: what every lookup must give.
std::optional<QString> plainLookup(const QByteArray& bytes, const QString& section, const QString& key) {
    bool in = false, seen = false;
    for (const QByteArray& raw : bytes.split('\n')) {
        const QString line = QString::fromUtf8(raw).remove(QLatin1Char('\r'));
        if (const auto name = common::ini::SectionOf(line)) {
            if (in) return std::nullopt;
            in = !seen && name->compare(section, Qt::CaseInsensitive) == 0;
            seen = seen || in;
            continue;
        }
        const auto k = common::ini::KeyOf(line);
        if (in && k && k->compare(key, Qt::CaseInsensitive) == 0) return line;
    }
    return std::nullopt;
}

}  // namespace

// A file of megabytes of other programs' lines is read once and kept while it stays as it is: each
// key comes from the first section of its name, a write of ours and a write by another program
// (in place, or a new file renamed over it) are read at the next key.
TEST_F(CommonIni, ALargeFileIsReadOnceAndEveryWriteIsSeen) {
    for (const QByteArray eol : {QByteArray("\r\n"), QByteArray("\n"), QByteArray("\r")}) {
        writeAll(path(), largeFile(200000, eol));
        settle(path());
        const QString s = QStringLiteral("Tesmar Konflikty");
        EXPECT_EQ(GetIni(path(), s, QStringLiteral("SygnalZolty"), QStringLiteral("3")), QStringLiteral("4"));
        EXPECT_EQ(GetIni(path(), QStringLiteral("zapas"), QStringLiteral("K199999"), QString()), QStringLiteral("2"));
        EXPECT_EQ(GetIni(path(), QStringLiteral("Zapas"), QStringLiteral("k5"), QString()), QStringLiteral("5"));
        EXPECT_EQ(GetIni(path(), QStringLiteral("Ogolne"), QStringLiteral("k5"), QStringLiteral("d")), QStringLiteral("d"));
        EXPECT_EQ(GetIni(path(), QStringLiteral("Brak"), QStringLiteral("k5"), QStringLiteral("d")), QStringLiteral("d"));
        EXPECT_TRUE(IniFileUsable(path()));
        PutIni(path(), s, QStringLiteral("SygnalZolty"), QStringLiteral("5"));
        PutIni(path(), s, QStringLiteral("Nowy"), QStringLiteral("1"));
        EXPECT_EQ(GetIni(path(), s, QStringLiteral("SygnalZolty"), QStringLiteral("3")), QStringLiteral("5"));
        EXPECT_EQ(GetIni(path(), s, QStringLiteral("Nowy"), QString()), QStringLiteral("1"));
        EXPECT_EQ(GetIni(path(), QStringLiteral("Zapas"), QStringLiteral("k7"), QString()), QStringLiteral("0"));
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        const QByteArray written = f.readAll();
        f.close();
        EXPECT_TRUE(written.contains("[Tesmar Konflikty]" + eol + "SygnalZolty=5" + eol + "Nowy=1" + eol + "[Zapas]"));
        // Another program writes the file in place, the same size, then through a new file.
        QByteArray edited = written;
        edited.replace("SygnalZolty=5", "SygnalZolty=6");
        settle(path());
        EXPECT_EQ(GetIni(path(), s, QStringLiteral("SygnalZolty"), QStringLiteral("3")), QStringLiteral("5"));
        {
            QFile same(path());
            ASSERT_TRUE(same.open(QIODevice::ReadWrite));
            same.write(edited);
        }
        EXPECT_EQ(GetIni(path(), s, QStringLiteral("SygnalZolty"), QStringLiteral("3")), QStringLiteral("6"));
        settle(path());
        EXPECT_EQ(GetIni(path(), s, QStringLiteral("SygnalZolty"), QStringLiteral("3")), QStringLiteral("6"));
        const QString other = dir.filePath(QStringLiteral("inny.ini"));
        writeAll(other, QByteArray(edited).replace("SygnalZolty=6", "SygnalZolty=7"));
        settle(other);
        ASSERT_EQ(::rename(QFile::encodeName(other).constData(), QFile::encodeName(path()).constData()), 0);
        EXPECT_EQ(GetIni(path(), s, QStringLiteral("SygnalZolty"), QStringLiteral("3")), QStringLiteral("7"));
        QFile::remove(path());
        EXPECT_EQ(GetIni(path(), s, QStringLiteral("SygnalZolty"), QStringLiteral("3")), QStringLiteral("3"));
    }
}

// Past the index's limit of remembered names every lookup still gives the first section and key of
// the name, as a plain reading of the text does.
TEST(CommonIniIndex, LookupsPastTheLimitGiveWhatAPlainReadingGives) {
    const QByteArray text = "[A]\nx=1\n[b]\ny=2\nX=3\n[C]\n[a]\nx=4\nz=5\n[B]\ny=6\nw=7\n;v=8\nv = 9\n[D]\nx=10";
    const QStringList sections{QStringLiteral("a"), QStringLiteral("B"), QStringLiteral("c"), QStringLiteral("D"),
                               QStringLiteral("E")};
    const QStringList keys{QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z"), QStringLiteral("w"),
                           QStringLiteral("v"), QStringLiteral(";v"), QStringLiteral("q")};
    for (const qsizetype limit : {0, 1, 2, 3, 1000}) {
        // Asked in one order and in the reverse one: what was remembered must never change an answer.
        for (const bool reverse : {false, true}) {
            common::ini::Index index(limit);
            for (int n = 0; n < sections.size() * keys.size(); ++n) {
                const int i = reverse ? int(sections.size() * keys.size()) - 1 - n : n;
                const QString& section = sections[i / keys.size()];
                const QString& key = keys[i % keys.size()];
                std::optional<QString> found;
                if (const auto body = index.sectionBody(text, section))
                    if (const auto line = index.keyLine(text, *body, key))
                        found = common::ini::DecodeLine(text, *line);
                EXPECT_EQ(found, plainLookup(text, section, key))
                    << limit << " " << section.toStdString() << " " << key.toStdString();
            }
        }
    }
}

// A file past the size a settings file reaches is neither read nor written, and named with its size;
// one at that size is read.
TEST_F(CommonIni, AFilePastTheLargestSettingsFileIsRefusedByName) {
    const qint64 largest = qint64(128) << 20;
    for (const qint64 size : {largest, largest + 1}) {
        QFile::remove(path());
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("[S]\nk=1\n");
        ASSERT_TRUE(f.resize(size));  // sparse: the rest reads as zero bytes
        f.close();
        const bool refused = size > largest;
        EXPECT_EQ(GetIni(path(), QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("d")),
                  refused ? QStringLiteral("d") : QStringLiteral("1"));
        EXPECT_EQ(IniFileUsable(path()), !refused);
        EXPECT_EQ(UnusableIniMessage(path()),
                  refused ? QStringLiteral("Plik ustawień %1 ma 128 MB, a plik ustawień pakietu ma kilka kB (przyjmowany "
                                           "jest do 128 MB); nie odczytano go i nic w nim nie zostanie zapisane, przyjęto "
                                           "ustawienia domyślne.")
                                .arg(path())
                          : QString());
        if (refused) {
            PutIni(path(), QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("2"));
            EXPECT_EQ(QFileInfo(path()).size(), size);
        }
    }
    QFile::remove(path());
}
