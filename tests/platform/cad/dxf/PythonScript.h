// Runs one of the tests' Python scripts (ezdxf, the independent reader and writer) and gives what it
// printed; a script that does not finish or fails is a test failure.
#pragma once

#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>

namespace cadtest {

inline QByteArray RunPythonScript(const QString& script, const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), QStringList{script} + args);
    EXPECT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return p.readAllStandardOutput();
}

}  // namespace cadtest
