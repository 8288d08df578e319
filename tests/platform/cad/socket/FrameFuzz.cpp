// libFuzzer entry for the host socket's frame decoder: any byte stream must be cut into payloads
// and each decoded or refused, never read out of bounds or recurse without limit.
#include "platform/cad/socket/Frame.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    // The whole input as one payload, then as a stream of frames.
    (void)cad::socket::DecodeRequest(bytes);
    (void)cad::socket::DecodeReply(bytes);
    cad::socket::FrameReader reader;
    reader.append(bytes);
    QByteArray payload;
    while (reader.next(payload) == cad::socket::FrameReader::Ready) {
        if (auto r = cad::socket::DecodeRequest(payload))
            (void)cad::socket::EncodeRequest(r->sequence, r->call);
        if (auto r = cad::socket::DecodeReply(payload)) (void)cad::socket::EncodeReply(r->sequence, r->reply);
    }
    return 0;
}
