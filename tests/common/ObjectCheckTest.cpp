// The alive test of automation objects.
#include "common/ObjectCheck.h"

#include <gtest/gtest.h>
#include <QString>
#include <memory>
#include <stdexcept>

namespace {

struct FakeObject {
    bool erased = false;
    QString Name() const {
        if (erased) throw std::runtime_error("erased");
        return QStringLiteral("SYGN_TXT");
    }
};

struct FakeHandle {
    bool empty = false;
    bool isNull() const { return empty; }
    QString name() const { return QStringLiteral("Arkusz1"); }
};

// A late-bound object whose members are called by name.
struct FakeLateBound {
    bool released = false;
    QString get(const QString& member) const {
        if (released) throw std::runtime_error("released");
        return member;
    }
};

}  // namespace

TEST(CommonIsObjectInvalid, FailingNameOrEmptyReference) {
    FakeObject alive;
    FakeObject erased{true};
    EXPECT_FALSE(common::IsObjectInvalid(alive));
    EXPECT_TRUE(common::IsObjectInvalid(erased));
    EXPECT_TRUE(common::IsObjectInvalid(static_cast<const FakeObject*>(nullptr)));
    EXPECT_TRUE(common::IsObjectInvalid(std::shared_ptr<FakeObject>()));
    EXPECT_FALSE(common::IsObjectInvalid(std::make_shared<FakeObject>()));
    EXPECT_TRUE(common::IsObjectInvalid(FakeHandle{true}));
    EXPECT_FALSE(common::IsObjectInvalid(FakeHandle{false}));
    EXPECT_FALSE(common::IsObjectInvalid(FakeLateBound{false}));
    EXPECT_TRUE(common::IsObjectInvalid(FakeLateBound{true}));
}
