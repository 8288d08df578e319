// libFuzzer entry for each XML part of a workbook: the first byte chooses the part (workbook,
// sheet, shared strings, styles, relationships, core properties) that the rest of the input
// replaces in an otherwise valid package. Reading, then writing and reading back, must either
// succeed or throw sheet::Error.
#include "platform/sheet/Application.h"
#include "platform/sheet/Errors.h"
#include "platform/sheet/Package.h"
#include "platform/sheet/Workbook.h"
#include "platform/sheet/Xlsx.h"

#include <QDir>
#include <QTemporaryDir>
#include <cstdint>

namespace {

const char* const ContentTypes =
    R"(<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"><Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/><Default Extension="xml" ContentType="application/xml"/><Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/><Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/></Types>)";
const char* const RootRels =
    R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/><Relationship Id="rId2" Type="http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties" Target="docProps/core.xml"/></Relationships>)";
const char* const Workbook =
    R"(<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets><sheet name="A" sheetId="1" r:id="rId1"/><sheet name="B" sheetId="2" r:id="rId4"/></sheets><definedNames><definedName name="X">A!$A$1:$B$2</definedName><definedName name="_xlnm.Print_Area" localSheetId="1">B!$A$1</definedName></definedNames></workbook>)";
const char* const WorkbookRels =
    R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="sharedStrings.xml"/><Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/><Relationship Id="rId4" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/chartsheet" Target="chartsheets/sheet1.xml"/></Relationships>)";
const char* const Sheet =
    R"(<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><cols><col min="1" max="2" width="12"/></cols><sheetData><row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1"><f>SUM(A2:A3)+X</f><v>3</v></c></row><row r="2"><c r="A2"><v>1</v></c><c r="B2" t="d"><v>2024-01-02</v></c></row></sheetData><mergeCells count="1"><mergeCell ref="C1:D2"/></mergeCells><hyperlinks><hyperlink ref="A1" r:id="rId1"/></hyperlinks></worksheet>)";
const char* const SheetRels =
    R"(<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships"><Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/hyperlink" Target="http://example.com/" TargetMode="External"/></Relationships>)";
const char* const Strings =
    R"(<?xml version="1.0" encoding="UTF-8"?><sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="1" uniqueCount="1"><si><t>a_x000D_b</t></si></sst>)";
const char* const Styles =
    R"(<?xml version="1.0" encoding="UTF-8"?><styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><fonts count="1"><font><sz val="11"/></font></fonts><fills count="1"><fill><patternFill patternType="none"/></fill></fills><borders count="1"><border/></borders><cellXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellXfs></styleSheet>)";
const char* const Core =
    R"(<?xml version="1.0" encoding="UTF-8"?><cp:coreProperties xmlns:cp="http://schemas.openxmlformats.org/package/2006/metadata/core-properties" xmlns:dc="http://purl.org/dc/elements/1.1/"><dc:title>T</dc:title></cp:coreProperties>)";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static sheet::Application app;
    static QTemporaryDir dir;
    if (size < 1) return 0;
    const char* names[] = {"xl/workbook.xml",
                           "xl/worksheets/sheet1.xml",
                           "xl/sharedStrings.xml",
                           "xl/styles.xml",
                           "xl/_rels/workbook.xml.rels",
                           "xl/worksheets/_rels/sheet1.xml.rels",
                           "docProps/core.xml",
                           "_rels/.rels",
                           "[Content_Types].xml"};
    const size_t which = data[0] % (sizeof names / sizeof *names);
    auto pkg = std::make_unique<sheet::Package>();
    pkg->setPart("[Content_Types].xml", ContentTypes);
    pkg->setPart("_rels/.rels", RootRels);
    pkg->setPart("xl/workbook.xml", Workbook);
    pkg->setPart("xl/_rels/workbook.xml.rels", WorkbookRels);
    pkg->setPart("xl/worksheets/sheet1.xml", Sheet);
    pkg->setPart("xl/worksheets/_rels/sheet1.xml.rels", SheetRels);
    pkg->setPart("xl/sharedStrings.xml", Strings);
    pkg->setPart("xl/styles.xml", Styles);
    pkg->setPart("docProps/core.xml", Core);
    pkg->setPart(names[which], QByteArray(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1)));
    try {
        auto book = sheet::readXlsxPackage(app, std::move(pkg), "fuzz.xlsx");
        const QString out = dir.filePath("out.xlsx");
        sheet::writeXlsx(*book, out);
        auto again = sheet::readXlsx(app, out);
    } catch (const sheet::Error&) {
    }
    return 0;
}
