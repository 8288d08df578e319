// libFuzzer entry for the workbook reader from the zip up: any bytes must be read or refused with
// sheet::Error, and a workbook read must survive being written again.
#include "platform/sheet/Application.h"
#include "platform/sheet/Errors.h"
#include "platform/sheet/Package.h"
#include "platform/sheet/Xlsx.h"

#include <QTemporaryDir>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static sheet::Application app;
    try {
        auto pkg = std::make_unique<sheet::Package>(sheet::Package::fromBuffer(
            QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)), "fuzz.xlsx"));
        auto book = sheet::readXlsxPackage(app, std::move(pkg), "fuzz.xlsx");
    } catch (const sheet::Error&) {
    }
    return 0;
}
