// libFuzzer entry for the DXF reader: any input must be read or refused with cad::Failed.
#include "platform/cad/dxf/DxfReader.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        cad::dxf::readBuffer(QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)),
                             "fuzz");
    } catch (const cad::Error&) {
    }
    return 0;
}
