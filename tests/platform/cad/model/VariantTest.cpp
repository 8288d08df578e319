// Values and call frames: coercions as the automation makes them, and a lossless byte form.
#include "platform/cad/LoopbackChannel.h"

#include <gtest/gtest.h>

#include <QIODevice>

using cad::Variant;
using cad::VariantList;

TEST(CadModelVariant, CoercesNumbersTextsAndBooleans) {
    EXPECT_EQ(Variant(QStringLiteral("42")).toInt(), 42);
    EXPECT_EQ(Variant(2.5).toInt(), 3);                                    // rounds
    EXPECT_DOUBLE_EQ(Variant(QStringLiteral("0,314")).toDouble(), 0.314);  // a comma is accepted
    EXPECT_DOUBLE_EQ(Variant(-1).toDouble(), -1.0);
    EXPECT_EQ(Variant(true).toInt(), -1);  // the automation's True
    EXPECT_TRUE(Variant(QStringLiteral("True")).toBool());
    EXPECT_FALSE(Variant(0).toBool());
    EXPECT_EQ(Variant(256).toText(), QStringLiteral("256"));
    EXPECT_EQ(Variant(50.0).toText(), QStringLiteral("50"));
    EXPECT_TRUE(Variant().toText().isEmpty());
}

TEST(CadModelVariant, RefusesWhatDoesNotConvert) {
    EXPECT_THROW(Variant(QStringLiteral("abc")).toInt(), cad::InvalidArgument);
    EXPECT_THROW(Variant(cad::Point{1, 2, 0}).toDouble(), cad::InvalidArgument);
    EXPECT_THROW(Variant(std::numeric_limits<double>::infinity()).toInt(), cad::InvalidArgument);
    EXPECT_THROW(Variant(VariantList{1}).toPoint(), cad::InvalidArgument);  // one coordinate is no point
    EXPECT_THROW(Variant(7).toObject(), cad::InvalidArgument);
}

TEST(CadModelVariant, PointsFromPointsAndCoordinateArrays) {
    EXPECT_EQ(Variant(VariantList{1.5, 2}).toPoint(), (cad::Point{1.5, 2, 0}));
    EXPECT_EQ(Variant(VariantList{1, 2, 3}).toPoint(), (cad::Point{1, 2, 3}));
    const QList<cad::Point> pts = cad::PointsFromFlat(Variant(cad::FlatXY({{0, 0, 0}, {8000, 4000, 0}})), 2);
    ASSERT_EQ(pts.size(), 2);
    EXPECT_EQ(pts[1], (cad::Point{8000, 4000, 0}));
    EXPECT_THROW(cad::PointsFromFlat(Variant(VariantList{1, 2, 3}), 2), cad::InvalidArgument);
}

TEST(CadModelVariant, SurvivesTheByteForm) {
    const Variant nested(VariantList{Variant(), true, qint64(1) << 40, 0.1, QStringLiteral("Żółć ^[K1]"),
                                     cad::Point{1, -2, 3}, VariantList{1, QStringLiteral("x")},
                                     cad::ObjectRef{77}});
    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out << nested;
    }
    QDataStream in(bytes);
    Variant back;
    in >> back;
    EXPECT_EQ(in.status(), QDataStream::Ok);
    EXPECT_EQ(back, nested) << back.describe().toStdString();
}

TEST(CadModelFrames, CallsAndFailuresRoundTrip) {
    cad::Call c;
    c.object = 12;
    c.member = QStringLiteral("InsertBlock");
    c.kind = cad::CallKind::Method;
    c.args = {cad::Point{0, 0, 0}, QStringLiteral("S-1"), 5.0, 5.0, 5.0, 0.0};
    const cad::Call back = cad::DecodeCall(cad::EncodeCall(c));
    EXPECT_EQ(back.object, 12u);
    EXPECT_EQ(back.member, c.member);
    EXPECT_EQ(back.kind, cad::CallKind::Method);
    EXPECT_EQ(back.args, c.args);

    cad::Reply failure;
    failure.failed = true;
    failure.errorKind = cad::Error::ErasedKind;
    failure.message = QStringLiteral("gone");
    EXPECT_THROW(cad::DecodeReply(cad::EncodeReply(failure)).take(), cad::Erased);
}

TEST(CadModelFrames, CorruptFramesAreRefused) {
    QByteArray bytes = cad::EncodeCall(cad::Call{5, QStringLiteral("Count"), cad::CallKind::Get, {}});
    EXPECT_THROW(cad::DecodeCall(bytes.left(bytes.size() - 3)), cad::Failed);
    EXPECT_THROW(cad::DecodeCall(bytes + "x"), cad::Failed);
    EXPECT_THROW(cad::DecodeReply(QByteArray("\x00\x09", 2)), cad::Failed);
}
