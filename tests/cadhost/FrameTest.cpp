// The socket frames: round trip, partial arrival, and refusal of what a host must not trust.
#include "platform/cad/socket/Frame.h"

#include <gtest/gtest.h>
#include <QDataStream>
#include <QIODevice>
#include <QtEndian>
#include <vector>

using namespace cad;
using namespace cad::socket;

namespace {
QByteArray payloadOf(const QByteArray& frame) {
    return frame.mid(4);
}
}  // namespace

TEST(CadHostFrame, RequestAndReplyRoundTripInPieces) {
    Call c;
    c.object = 42;
    c.member = QStringLiteral("AddLine");
    c.args = {Variant(Point{1, 2, 0}), Variant(VariantList{Variant(1), Variant(QStringLiteral("Łódź"))})};
    const QByteArray a = EncodeRequest(7, c), b = EncodeRequest(8, c);
    FrameReader reader;
    QByteArray payload;
    const QByteArray both = a + b;
    // Byte by byte: nothing is ready before a frame is complete.
    int ready = 0;
    for (char ch : both) {
        reader.append(QByteArray(1, ch));
        while (reader.next(payload) == FrameReader::Ready) {
            auto rq = DecodeRequest(payload);
            ASSERT_TRUE(rq);
            EXPECT_EQ(rq->sequence, quint64(7 + ready));
            EXPECT_EQ(rq->call.member, c.member);
            EXPECT_EQ(rq->call.args, c.args);
            ++ready;
        }
    }
    EXPECT_EQ(ready, 2);

    Reply r;
    r.failed = true;
    r.errorKind = Error::CancelledKind;
    r.message = QStringLiteral("*Cancel*");
    auto back = DecodeReply(payloadOf(EncodeReply(9, r)));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->sequence, 9u);
    EXPECT_TRUE(back->reply.failed);
    EXPECT_EQ(back->reply.errorKind, Error::CancelledKind);
    // A reply is not a request and the other way round.
    EXPECT_FALSE(DecodeRequest(payloadOf(EncodeReply(9, r))));
}

// A run of held calls: many frames of different sizes appended to one buffer (which grows as they
// come) and read in two uneven pieces, each frame read in place, whole and in order.
TEST(CadHostFrame, ARunOfFramesInOneBufferComesBackWholeAndInOrder) {
    QByteArray run;
    std::vector<Request> sent;
    for (int i = 0; i < 300; ++i) {
        Request rq;
        rq.sequence = quint64(100 + i);
        rq.flags = i % 2 ? DeferredRequest : 0;
        rq.call.object = quint64(i);
        rq.call.member = i % 3 ? QStringLiteral("Color") : QStringLiteral("Zażółć");
        rq.call.kind = CallKind::Put;
        rq.call.args = {Variant(QString(i, QLatin1Char('x'))),
                        Variant(VariantList(i % 7, Variant(double(i))))};
        AppendRequest(run, rq);
        sent.push_back(rq);
    }
    FrameReader reader;
    QByteArrayView payload;
    size_t got = 0;
    auto drain = [&] {
        while (reader.next(payload) == FrameReader::Ready) {
            auto rq = DecodeRequest(payload);
            ASSERT_TRUE(rq);
            ASSERT_LT(got, sent.size());
            EXPECT_EQ(rq->sequence, sent[got].sequence);
            EXPECT_EQ(rq->flags, sent[got].flags);
            EXPECT_EQ(rq->call.member, sent[got].call.member);
            EXPECT_EQ(rq->call.args, sent[got].call.args);
            ++got;
        }
    };
    const qsizetype cut = run.size() / 3 + 5;
    reader.append(run.constData(), cut);
    drain();
    reader.append(run.constData() + cut, run.size() - cut);
    drain();
    EXPECT_EQ(got, sent.size());
    EXPECT_EQ(reader.buffered(), 0);
}

// The frames are written by hand for speed; their bytes stay those of QDataStream's format, value
// kind by value kind, and every kind comes back as it went (null and empty texts apart).
TEST(CadHostFrame, BytesMatchTheStreamFormatForEveryValueKind) {
    Call c;
    c.object = 0x0102030405060708ull;
    c.member = QStringLiteral("Zażółć");
    c.kind = CallKind::Put;
    c.args = {Variant(),
              Variant(true),
              Variant(false),
              Variant(qint64(-5)),
              Variant(-0.125),
              Variant(QString()),
              Variant(QStringLiteral("")),
              Variant(QStringLiteral("gęś")),
              Variant(Point{1.5, -2, 3}),
              Variant(VariantList{Variant(VariantList{}), Variant(ObjectRef{99})}),
              Variant(ObjectRef{7})};
    QByteArray expected;
    {
        QDataStream s(&expected, QIODevice::WriteOnly);
        s.setVersion(QDataStream::Qt_6_0);
        s << quint32(0) << FrameMagic << ProtocolVersion << quint8(FrameType::Request) << quint64(3)
          << quint8(DeferredRequest | KeepsResultRequest) << c;
    }
    qToBigEndian<quint32>(quint32(expected.size() - 4), expected.data());
    EXPECT_EQ(EncodeRequest(3, c, DeferredRequest | KeepsResultRequest), expected);
    // The flags come back as sent; flags this version does not know make the frame corrupt.
    EXPECT_EQ(DecodeRequest(payloadOf(expected))->flags, DeferredRequest | KeepsResultRequest);
    QByteArray unknownFlags = payloadOf(expected);
    unknownFlags[15] = char(0x80);
    EXPECT_FALSE(DecodeRequest(unknownFlags));
    auto rq = DecodeRequest(payloadOf(expected));
    ASSERT_TRUE(rq);
    EXPECT_EQ(rq->call.object, c.object);
    EXPECT_EQ(rq->call.kind, CallKind::Put);
    EXPECT_EQ(rq->call.member, c.member);
    ASSERT_EQ(rq->call.args, c.args);
    EXPECT_TRUE(rq->call.args[5].toText().isNull());
    EXPECT_FALSE(rq->call.args[6].toText().isNull());

    Reply r;
    r.result = Variant(VariantList{Variant(2.5), Variant(QStringLiteral("x"))});
    QByteArray expectedReply;
    {
        QDataStream s(&expectedReply, QIODevice::WriteOnly);
        s.setVersion(QDataStream::Qt_6_0);
        s << quint32(0) << FrameMagic << ProtocolVersion << quint8(FrameType::Reply) << quint64(4) << r;
    }
    qToBigEndian<quint32>(quint32(expectedReply.size() - 4), expectedReply.data());
    EXPECT_EQ(EncodeReply(4, r), expectedReply);
    auto back = DecodeReply(payloadOf(expectedReply));
    ASSERT_TRUE(back);
    EXPECT_FALSE(back->reply.failed);
    EXPECT_EQ(back->reply.result, r.result);
}

TEST(CadHostFrame, RefusesOversizedWrongVersionTruncatedAndDeepFrames) {
    FrameReader reader;
    QByteArray head(4, 0);
    qToBigEndian<quint32>(MaxFrameBytes + 1, head.data());
    reader.append(head);
    QByteArray payload;
    EXPECT_EQ(reader.next(payload), FrameReader::Oversized);

    Call c;
    c.member = QStringLiteral("Count");
    QByteArray p = payloadOf(EncodeRequest(1, c));
    QByteArray wrongVersion = p;
    qToBigEndian<quint16>(ProtocolVersion + 1, wrongVersion.data() + 4);
    EXPECT_FALSE(DecodeRequest(wrongVersion));
    EXPECT_FALSE(DecodeRequest(p.left(p.size() - 1)));
    EXPECT_FALSE(DecodeRequest(p + QByteArray(1, 0)));  // trailing bytes
    EXPECT_FALSE(DecodeRequest(QByteArray("garbage garbage garbage")));

    // Arrays nested far deeper than any caller uses are refused before decoding.
    QByteArray deep;
    {
        QDataStream s(&deep, QIODevice::WriteOnly);
        s.setVersion(QDataStream::Qt_6_0);
        s << FrameMagic << ProtocolVersion << quint8(FrameType::Request) << quint64(1) << quint8(0)
          << quint64(1) << QStringLiteral("X") << quint8(CallKind::Method) << quint32(1);
        for (int i = 0; i < 100000; ++i) s << quint8(Variant::Array) << quint32(1);
        s << quint8(Variant::Empty);
    }
    EXPECT_FALSE(DecodeRequest(deep));
    // Modest nesting is fine.
    c.args = {Variant(VariantList{Variant(VariantList{Variant(1.5)})})};
    EXPECT_TRUE(DecodeRequest(payloadOf(EncodeRequest(2, c))));
}

TEST(CadHostFrame, DamagedFramesNeverCrashTheDecoder) {
    Call c;
    c.object = 5;
    c.member = QStringLiteral("AddLightWeightPolyline");
    c.args = {
        Variant(VariantList{Variant(1.0), Variant(2.0), Variant(QStringLiteral("ż")), Variant(ObjectRef{3})}),
        Variant(Point{1, 2, 3}), Variant(true)};
    const QByteArray good = EncodeRequest(1, c).mid(4);
    quint32 seed = 12345;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    int decoded = 0;
    for (int i = 0; i < 3000; ++i) {
        QByteArray bad = good;
        const int flips = 1 + int(next() % 4);
        for (int f = 0; f < flips; ++f) bad[int(next() % bad.size())] = char(next() >> 24);
        if (next() % 5 == 0) bad.truncate(int(next() % bad.size()));
        if (DecodeRequest(bad)) ++decoded;  // a harmless change may still decode; it must not crash
    }
    EXPECT_LT(decoded, 3000);
}

// An answer too long for one frame (an attribute of tens of megabytes) fails on its own, named,
// instead of making the receiver drop the connection; one that just fits travels whole.
TEST(CadHostFrame, AReplyPastTheFrameLimitFailsAloneAndOneThatFitsTravels) {
    const auto textReply = [](qsizetype chars) {
        Reply r;
        r.result = Variant(QString(chars, QLatin1Char('x')));
        return r;
    };
    const qsizetype overhead = EncodeReply(1, textReply(0)).size() - 4;
    const qsizetype fits = (qsizetype(MaxFrameBytes) - overhead) / 2;
    for (const qsizetype chars : {fits, fits + 1}) {
        const QByteArray frame = EncodeReply(3, textReply(chars));
        FrameReader reader;
        reader.append(frame);
        QByteArray payload;
        ASSERT_EQ(reader.next(payload), FrameReader::Ready) << chars;
        const auto back = DecodeReply(payload);
        ASSERT_TRUE(back) << chars;
        EXPECT_EQ(back->sequence, 3u);
        if (chars == fits) {
            EXPECT_FALSE(back->reply.failed);
            EXPECT_EQ(back->reply.result.toText().size(), fits);
        } else {
            EXPECT_TRUE(back->reply.failed);
            EXPECT_TRUE(back->reply.message.contains(QStringLiteral("za długa")))
                << back->reply.message.toStdString();
            EXPECT_TRUE(back->reply.message.contains(QStringLiteral("najwięcej 32 MB")));
        }
    }
}
