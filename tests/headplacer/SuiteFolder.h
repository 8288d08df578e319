// A suite folder of headplacer's window tests' own: the built resources, the city's lists of
// streets and intersections copied (the tests append to them), the program folder set and a private
// registry stand-in naming the data folder.
#pragma once

#include "headplacer/logic/Folders.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace headplacer::test {

// The suite's folder under `dir`; empty when a step failed.
inline QString MakeSuiteFolder(const QTemporaryDir& dir) {
    const QString suite = dir.filePath(QStringLiteral("suite"));
    const QString lists = suite + QStringLiteral("/aDane/Miasto/Ulic/");
    if (!QDir().mkpath(suite + QStringLiteral("/Tesmar/bin")) || !QDir().mkpath(lists) ||
        !QFile::link(QStringLiteral(SUITE_BINARY_DIR "/suite/aZasoby"), suite + QStringLiteral("/aZasoby")))
        return {};
    for (const char* f : {"Ulice.lst", "Skrzyzowania.lst"})
        if (!QFile::copy(QStringLiteral(SUITE_SOURCE_DIR "/resources/aDane/Miasto/Ulic/") + QLatin1String(f),
                         lists + QLatin1String(f)))
            return {};
    SetProgramFolder(suite + QStringLiteral("/Tesmar/bin"));
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8());
    if (!QDir().mkpath(dir.filePath(QStringLiteral("config/Morvane")))) return {};
    QFile reg(RegistryFilePath());
    if (!reg.open(QIODevice::WriteOnly)) return {};
    reg.write(QStringLiteral("[Software\\Morvane\\Directories]\naDane=%1/aDane\nCity=Miasto\n").arg(suite).toUtf8());
    return suite;
}

}  // namespace headplacer::test
