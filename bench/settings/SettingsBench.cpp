// Times the settings reads of a program's start from a Tesmar.ini of 100 MB (short lines of another
// program in a section of their own, between the sections ours read), each start in a process of its
// own as a program starts: the check that the file can be read, conflictor's program settings, its
// bound dialog values and its window position. A start should take well under a second.
#include "common/Ini.h"
#include "common/ProgramSettings.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>

namespace {

const QString Section = QStringLiteral("Tesmar Ziziro Zedivir");

// A start's reads, as conflictor's start makes them.
void startReads(const QString& path) {
    if (!common::UnusableIniMessage(path).isEmpty()) qFatal("the settings file was refused");
    common::ProgramSettings settings;
    bool onTop = false;
    if (!common::LoadProgramSettings(settings, onTop, path, Section).isEmpty()) qFatal("settings refused");
    for (const char* key : {"MatrycaOdwrocona", "cmbZestaw", "optWarstwy", "kmh", "edtWspPoczatek", "edtWspKoniec",
                            "edtWspPojazdPojazd", "edtWspPojazdPiesi"}) {
        common::GetIni(path, Section, QString::fromLatin1(key), QStringLiteral("0"));
    }
    if (common::GetIni(path, QStringLiteral("Ogolne"), QStringLiteral("chkPowiazania"), QStringLiteral("1")) !=
        QLatin1String("0"))
        qFatal("the shared section was not read");
    for (const char* key : {"Okno_Glowne_Lewy", "Okno_Glowne_Gora"}) {
        if (common::GetIni(path, Section, QString::fromLatin1(key), QStringLiteral("1000")) != QLatin1String("1200"))
            qFatal("the window position was not read");
    }
}

void writeFile(const QString& path, qint64 size) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly)) qFatal("cannot write the settings file");
    f.write("[Ogolne]\r\nchkPowiazania=0\r\n[Zapas]\r\n");
    QByteArray chunk;
    for (int i = 0; chunk.size() < (1 << 20); ++i) chunk += "k" + QByteArray::number(i) + "=1\r\n";
    while (f.size() < size) f.write(chunk);
    f.write("[" + Section.toUtf8() + "]\r\nSygnalZolty=4\r\nOkno_Glowne_Lewy=1200\r\nOkno_Glowne_Gora=1200\r\n");
    f.close();
    // Written on another day, as a settings file is when a program starts.
    const struct timespec times[2] = {{0, UTIME_OMIT}, {::time(nullptr) - 3600, 0}};
    ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    const QStringList args = app.arguments();
    if (args.value(1) == QLatin1String("--start")) {
        QElapsedTimer clock;
        clock.start();
        startReads(args.value(2));
        out << clock.elapsed() << '\n';
        return 0;
    }
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Tesmar.ini"));
    writeFile(path, qint64(100) << 20);
    out << "Tesmar.ini of " << (QFile(path).size() >> 20) << " MB\n";
    qint64 worst = 0;
    for (int start = 1; start <= 3; ++start) {
        QProcess child;
        child.start(app.applicationFilePath(), {QStringLiteral("--start"), path});
        if (!child.waitForFinished(300000) || child.exitCode() != 0) qFatal("a start failed");
        const qint64 ms = child.readAllStandardOutput().trimmed().toLongLong();
        worst = std::max(worst, ms);
        out << "start " << start << ": conflictor's settings read in " << ms << " ms\n";
        out.flush();
    }
    out << "settings reads of a start from a 100 MB Tesmar.ini: at most " << worst << " ms ("
        << (worst < 1000 ? "under" : "NOT under") << " 1 s)\n";
    return 0;
}
