// A drawing open in the in-process CAD, scripted prompts, a temporary folder for workbooks, and the
// workbook connection and editor state reset around each test.
#pragma once

#include "CadFixture.h"
#define PHASEPLANNER_QSTRING_PRINT
#include "EditorFixture.h"
#include "IntergreenBooks.h"
#include "phaseplanner/workbook/IntergreenMatrix.h"
#include "phaseplanner/workbook/IntergreenWorkbook.h"

#include <QProcess>
#include <QTemporaryDir>

namespace phaseplanner::test {

class WorkbookFixture : public automation::test::CadFixture {
protected:
    void SetUp() override {
        CadFixture::SetUp();
        ResetEditorState();
        ResetIntergreenWorkbook();
        IntergreenSheet = nullptr;
        ASSERT_TRUE(dir.isValid());
    }
    void TearDown() override {
        ResetIntergreenWorkbook();
        IntergreenSheet = nullptr;
        ResetEditorState();
        CadFixture::TearDown();
    }
    QString write(const IntergreenBook& b, const QString& name = QStringLiteral("czasy.xlsx")) {
        const QString path = dir.filePath(name);
        WriteIntergreenBook(b, path);
        return path;
    }
    // Settles the workbook with the scripted answers given before; the book or nullptr.
    sheet::Workbook* open(bool expectSuccess = true) {
        sheet::Workbook* book = nullptr;
        const bool ok = OpenIntergreenWorkbook(book, true, QString());
        EXPECT_EQ(ok, expectSuccess);
        return ok ? book : nullptr;
    }
    // A cell of a saved workbook as openpyxl reads it.
    static QString OpenpyxlCell(const QString& path, int sheet, int row, int column) {
        QProcess p;
        p.start(QStringLiteral("/usr/bin/python3"),
                {QStringLiteral("-c"),
                 QStringLiteral("import openpyxl,sys\n"
                                "wb=openpyxl.load_workbook(sys.argv[1])\n"
                                "v=wb.worksheets[int(sys.argv[2])-1].cell(row=int(sys.argv[3]),column=int("
                                "sys.argv[4])).value\n"
                                "print('' if v is None else v)"),
                 path, QString::number(sheet), QString::number(row), QString::number(column)});
        if (!p.waitForFinished(60000) || p.exitCode() != 0) {
            ADD_FAILURE() << "openpyxl failed: " << p.readAllStandardError().toStdString();
            return {};
        }
        return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }

    QTemporaryDir dir;
};

}  // namespace phaseplanner::test
