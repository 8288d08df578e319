// The test fixture of the object model: a model with a scripted interaction provider, reached
// through the facade over either channel (the tests run once per channel, so the facade is
// shown to behave the same whichever carries it).
#pragma once

#include "platform/cad/Application.h"
#include "platform/cad/InProcessChannel.h"
#include "platform/cad/LoopbackChannel.h"

#include <gtest/gtest.h>

#include <memory>

namespace cad {
// Readable failures: objects print as their ids, values as their description.
inline void PrintTo(const Object& o, std::ostream* os) {
    *os << "<object " << o.id() << ">";
}
inline void PrintTo(const Point& p, std::ostream* os) {
    *os << "(" << p.x << ", " << p.y << ", " << p.z << ")";
}
}  // namespace cad

namespace cadtest {

enum class ChannelKind { InProcess, Loopback };

inline std::string ChannelName(const testing::TestParamInfo<ChannelKind>& info) {
    return info.param == ChannelKind::InProcess ? "InProcess" : "Loopback";
}

class ModelTest : public testing::TestWithParam<ChannelKind> {
protected:
    void SetUp() override {
        model.setAutoPump(false);  // tests step commands themselves
        model.setInteraction(&script);
        if (GetParam() == ChannelKind::InProcess)
            channel = std::make_unique<cad::InProcessChannel>(model);
        else
            channel = std::make_unique<cad::LoopbackChannel>(model);
        app = cad::Application(channel.get());
        doc = app.documents().add();
        ms = doc.modelSpace();
    }

    // Steps the running command until it waits or ends.
    void pump() { model.pumpCommands(); }

    cad::ObjectModel model;
    cad::ScriptedInteraction script;
    std::unique_ptr<cad::Channel> channel;
    cad::Application app;
    cad::Document doc;
    cad::Block ms;
};

#define CADMODEL_CHANNELS(Suite)                                                                           \
    INSTANTIATE_TEST_SUITE_P(                                                                              \
        Channels, Suite, testing::Values(cadtest::ChannelKind::InProcess, cadtest::ChannelKind::Loopback), \
        cadtest::ChannelName)

}  // namespace cadtest
