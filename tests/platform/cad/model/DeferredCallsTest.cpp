// Calls held back in a deferral scope: they run in their order, a failure stops the calls after it
// and reaches the caller as its typed exception at the next call that needs an answer (or when the
// scope ends), and objects made in the scope serve as handles through provisional ids. In-process
// the scope changes nothing: every call runs at once.
#include "ModelFixture.h"

#include "platform/cad/DeferredCalls.h"

#include <functional>
#include <vector>

namespace {

using cadtest::ChannelKind;
using cadtest::ModelTest;

class DeferredCallsTest : public ModelTest {
protected:
    bool pipelined() const { return GetParam() == ChannelKind::Loopback; }
    const cad::LoopbackChannel& loop() const { return static_cast<const cad::LoopbackChannel&>(*channel); }
    quint64 roundTrips() const { return pipelined() ? loop().roundTrips() : 0; }
};

TEST_P(DeferredCallsTest, HeldCallsRunInTheirOrderAheadOfTheNextAnswer) {
    const cad::Entity line = ms.addLine(cad::Point{0, 0, 0}, cad::Point{10, 0, 0});
    doc.layers().add(QStringLiteral("A"));
    const quint64 before = roundTrips();
    {
        cad::DeferredCalls held(doc);
        line.setColor(1);
        line.setLayer(QStringLiteral("A"));
        line.setColor(2);
        line.setEndPoint(cad::Point{20, 0, 0});
        line.setColor(3);
        line.update();
        // The answer needed here comes after every call above has run.
        EXPECT_EQ(line.color(), 3);
        if (pipelined()) {
            EXPECT_EQ(roundTrips() - before, 1u);
        }
        line.setColor(4);
    }
    // The scope's end sent the last one.
    if (pipelined()) {
        EXPECT_EQ(roundTrips() - before, 2u);
    }
    EXPECT_EQ(line.color(), 4);
    EXPECT_EQ(line.layer(), QStringLiteral("A"));
    EXPECT_EQ(line.endPoint(), (cad::Point{20, 0, 0}));
}

TEST_P(DeferredCallsTest, AFailedHeldCallThrowsItsTypeAtTheNextAnswerAndStopsTheRest) {
    const cad::Entity line = ms.addLine(cad::Point{0, 0, 0}, cad::Point{10, 0, 0});
    line.setColor(5);
    auto run = [&] {
        cad::DeferredCalls held(doc);
        line.setColor(1);
        line.setLayer(QStringLiteral("NO SUCH LAYER"));  // refused by the CAD
        line.setColor(2);
        line.setLinetype(QStringLiteral("BYBLOCK"));
        (void)line.handle();
    };
    EXPECT_THROW(run(), cad::NotFound);
    // What came before the failure ran, nothing after it did: as if it had been thrown at once.
    EXPECT_EQ(line.color(), 1);
    EXPECT_EQ(line.layer(), QStringLiteral("0"));
    EXPECT_NE(line.linetype().toUpper(), QStringLiteral("BYBLOCK"));
    // The failure is given once: the calls after it run again.
    line.setColor(6);
    EXPECT_EQ(line.color(), 6);
}

TEST_P(DeferredCallsTest, AFailureHeldToTheEndOfTheScopeIsThrownThere) {
    const cad::Entity line = ms.addLine(cad::Point{0, 0, 0}, cad::Point{10, 0, 0});
    auto run = [&] {
        cad::DeferredCalls held(doc);
        line.setColor(300);  // not a colour index
        line.setColor(2);
    };
    EXPECT_THROW(run(), cad::InvalidArgument);
    EXPECT_NE(line.color(), 2);
    // flush() is a point where it surfaces as well, before code that traps errors of its own
    // (in-process it surfaces at the call itself).
    cad::DeferredCalls held(doc);
    bool trapped = false;
    try {
        line.setLayer(QStringLiteral("NO SUCH LAYER"));
        held.flush();
    } catch (const cad::NotFound&) {
        trapped = true;
    }
    EXPECT_TRUE(trapped);
}

TEST_P(DeferredCallsTest, AScopeLeftByAnotherExceptionStillSendsWhatItHeld) {
    const cad::Entity line = ms.addLine(cad::Point{0, 0, 0}, cad::Point{10, 0, 0});
    auto run = [&] {
        cad::DeferredCalls held(doc);
        line.setColor(7);
        line.setLayer(QStringLiteral("NO SUCH LAYER"));
        throw std::runtime_error("the caller's own failure");
    };
    EXPECT_THROW(run(), std::runtime_error);
    EXPECT_EQ(line.color(), 7);
    EXPECT_EQ(line.color(), 7);  // and nothing failed is left over for later calls
}

TEST_P(DeferredCallsTest, NewObjectsMadeInTheScopeServeAsHandles) {
    QString handle;
    cad::Block block;
    const cad::Blocks blocks = doc.blocks();
    const quint64 before = roundTrips();
    {
        cad::DeferredCalls held(doc, cad::DeferredCalls::NewObjectsToo);
        block = blocks.add(cad::Point{0, 0, 0}, QStringLiteral("B1"));
        const cad::Entity e = block.addLine(cad::Point{0, 0, 0}, cad::Point{1, 1, 0});
        e.setColor(0);
        const cad::Entity ref = ms.insertBlock(cad::Point{5, 5, 0}, QStringLiteral("B1"), 1, 1, 1, 0);
        ref.setColor(3);
        ref.copy().move(cad::Point{0, 0, 0}, cad::Point{1, 0, 0});  // a copy is made held too
        handle = ref.handle();
        if (pipelined()) {
            EXPECT_EQ(roundTrips() - before, 1u);
        }
    }
    const cad::Entity ref = doc.handleToObject(handle);
    EXPECT_EQ(ref.name(), QStringLiteral("B1"));
    EXPECT_EQ(ref.color(), 3);
    const cad::Block made = doc.blocks().item(QStringLiteral("B1"));
    EXPECT_EQ(made.count(), 1);
    EXPECT_EQ(made.item(0).color(), 0);
    const cad::Entity twin = ms.item(ms.count() - 1);
    EXPECT_EQ(twin.name(), QStringLiteral("B1"));
    EXPECT_EQ(twin.insertionPoint(), (cad::Point{6, 5, 0}));
    // A provisional id is not to be used after its scope: it stands for nothing there.
    if (pipelined()) {
        EXPECT_TRUE(cad::IsProvisionalId(block.id()));
        (void)doc.blocks().count();  // the next request lets the host forget the scope's ids
        EXPECT_THROW((void)block.count(), cad::Erased);
    }
}

TEST_P(DeferredCallsTest, LayersAndTextStylesAddedInTheScopeAreHeldAndAnExistingOneIsGivenUnchanged) {
    doc.layers().add(QStringLiteral("L1")).setColor(5);
    (void)doc.textStyles();  // a drawing's collections are asked once
    const quint64 before = roundTrips();
    {
        cad::DeferredCalls held(doc, cad::DeferredCalls::NewObjectsToo);
        doc.setActiveLayer(doc.layers().add(QStringLiteral("L1")));
        const cad::TextStyle style = doc.textStyles().add(QStringLiteral("S1"));
        style.setHeight(2.5);
        doc.setActiveTextStyle(style);
        if (pipelined()) {
            EXPECT_EQ(roundTrips() - before, 0u);
        }
    }
    if (pipelined()) {
        EXPECT_EQ(roundTrips() - before, 1u);
    }
    EXPECT_EQ(doc.activeLayer().name(), QStringLiteral("L1"));
    EXPECT_EQ(doc.activeLayer().color(), 5);
    EXPECT_EQ(doc.layers().count(), 2);
    EXPECT_EQ(doc.activeTextStyle().name(), QStringLiteral("S1"));
    EXPECT_DOUBLE_EQ(doc.textStyles().item(QStringLiteral("S1")).height(), 2.5);
}

TEST_P(DeferredCallsTest, AFailedMakingCallStopsTheCallsOnItsObject) {
    auto run = [&] {
        cad::DeferredCalls held(doc, cad::DeferredCalls::NewObjectsToo);
        const cad::Entity ref =
            ms.insertBlock(cad::Point{0, 0, 0}, QStringLiteral("NO SUCH BLOCK"), 1, 1, 1, 0);
        ref.setColor(3);
        return ref.handle();
    };
    const int before = ms.count();
    EXPECT_THROW(run(), cad::NotFound);
    EXPECT_EQ(ms.count(), before);
}

TEST_P(DeferredCallsTest, WithFailuresIgnoredEachFailedCallIsLeftOutAndTheRestRuns) {
    // Code whose every step ignores its own failure: in-process each step traps it at once; held
    // back, the failure is dropped and the calls after it still run (those on an object never made
    // failing in turn). The drawing ends the same, and nothing reaches the caller.
    auto step = [](auto&& f) {
        try {
            f();
        } catch (const cad::Error&) {
        }
    };
    const cad::Entity line = ms.addLine(cad::Point{0, 0, 0}, cad::Point{10, 0, 0});
    const int before = ms.count();
    const quint64 trips = roundTrips();
    {
        cad::DeferredCalls held(doc, cad::DeferredCalls::NewObjectsToo, cad::DeferredCalls::FailuresIgnored);
        step([&] { line.setLayer(QStringLiteral("NO SUCH LAYER")); });  // refused
        step([&] { line.setColor(2); });
        step([&] {
            const cad::Entity ref =
                ms.insertBlock(cad::Point{0, 0, 0}, QStringLiteral("NO SUCH BLOCK"), 1, 1, 1, 0);  // refused
            ref.setColor(3);  // on nothing
        });
        step([&] { ms.addCircle(cad::Point{5, 5, 0}, 2).setColor(4); });
        step([&] { line.setLayer(QStringLiteral("NO SUCH LAYER")); });  // refused, and the last one held
    }
    if (pipelined()) {
        EXPECT_EQ(roundTrips() - trips, 1u);
    }
    EXPECT_EQ(line.color(), 2);
    EXPECT_EQ(line.layer(), QStringLiteral("0"));
    ASSERT_EQ(ms.count(), before + 1);
    EXPECT_EQ(ms.item(before).color(), 4);
    // The next scope reports failures again.
    auto reported = [&] {
        cad::DeferredCalls held(doc);
        line.setLayer(QStringLiteral("NO SUCH LAYER"));
    };
    EXPECT_THROW(reported(), cad::NotFound);
}

TEST_P(DeferredCallsTest, ANestedScopeHoldsItsCallsUnderItsOwnMode) {
    // Each case nests scopes of other modes; each call is to be held under the mode of the
    // innermost scope open when it was made, and the drawing and what reaches the caller end as
    // they do when every call runs at once.
    auto step = [](auto&& f) {
        try {
            f();
        } catch (const cad::Error&) {
        }
    };
    using DC = cad::DeferredCalls;
    const QString missing = QStringLiteral("NO SUCH LAYER");
    const cad::Entity line = ms.addLine(cad::Point{0, 0, 0}, cad::Point{10, 0, 0});
    const std::vector<std::pair<const char*, std::function<void()>>> cases = {
        {"reporting inside ignoring",
         [&] {
             auto run = [&] {
                 DC outer(doc, DC::CallsOnly, DC::FailuresIgnored);
                 step([&] { line.setLayer(missing); });
                 step([&] { line.setColor(1); });
                 {
                     DC inner(doc);
                     line.setColor(2);
                     line.setLayer(missing);  // reported, stops what follows
                     line.setColor(3);
                 }
                 step([&] { line.setColor(4); });
             };
             EXPECT_THROW(run(), cad::NotFound);
             EXPECT_EQ(line.color(), 2);
         }},
        {"ignoring inside reporting",
         [&] {
             auto run = [&] {
                 DC outer(doc);
                 line.setColor(1);
                 {
                     DC inner(doc, DC::CallsOnly, DC::FailuresIgnored);
                     step([&] { line.setLayer(missing); });  // dropped
                     step([&] { line.setColor(2); });
                 }
                 EXPECT_EQ(line.color(), 2);
                 line.setColor(3);
             };
             EXPECT_NO_THROW(run());
             EXPECT_EQ(line.color(), 3);
         }},
        {"a failure in the outer scope after an ignoring one ended",
         [&] {
             auto run = [&] {
                 DC outer(doc);
                 line.setColor(1);
                 {
                     DC inner(doc, DC::CallsOnly, DC::FailuresIgnored);
                     step([&] { line.setLayer(missing); });
                     step([&] { line.setColor(2); });
                 }
                 line.setColor(300);  // not a colour index: reported again
                 line.setColor(3);
             };
             EXPECT_THROW(run(), cad::InvalidArgument);
             EXPECT_EQ(line.color(), 2);
         }},
        {"a failure in the outer scope after a reporting one ended",
         [&] {
             auto run = [&] {
                 DC outer(doc, DC::CallsOnly, DC::FailuresIgnored);
                 {
                     DC inner(doc);
                     line.setColor(1);
                 }
                 step([&] { line.setLayer(missing); });  // ignored again
                 step([&] { line.setColor(2); });
             };
             EXPECT_NO_THROW(run());
             EXPECT_EQ(line.color(), 2);
         }},
        {"the closing request tolerated after a reported failure",
         [&] {
             auto run = [&] {
                 DC outer(doc);
                 line.setColor(1);
                 line.setLayer(missing);
                 DC inner(doc, DC::CallsOnly, DC::FailuresIgnored);
                 step([&] { line.setColor(2); });  // the last call held
             };
             EXPECT_THROW(run(), cad::NotFound);
             EXPECT_EQ(line.color(), 1);
         }},
        {"an ignoring scope's traps do not catch the enclosing scope's failure",
         [&] {
             auto run = [&] {
                 DC outer(doc);
                 line.setColor(1);
                 line.setLayer(missing);
                 DC inner(doc, DC::CallsOnly, DC::FailuresIgnored);
                 step([&] { (void)line.layer(); });
                 step([&] { line.setColor(2); });
             };
             EXPECT_THROW(run(), cad::NotFound);
             EXPECT_EQ(line.color(), 1);
         }},
        {"new objects inside calls only, and back",
         [&] {
             const int before = ms.count();
             cad::Entity kept;
             auto run = [&] {
                 DC outer(doc);
                 {
                     DC inner(doc, DC::NewObjectsToo);
                     const cad::Entity held = ms.addCircle(cad::Point{1, 1, 0}, 1);
                     held.setColor(4);
                     if (pipelined()) {
                         EXPECT_TRUE(cad::IsProvisionalId(held.id()));
                     }
                 }
                 kept = ms.addCircle(cad::Point{2, 2, 0}, 1);  // made at once: it outlives the scopes
                 kept.setColor(5);
             };
             EXPECT_NO_THROW(run());
             ASSERT_EQ(ms.count(), before + 2);
             EXPECT_EQ(ms.item(before).color(), 4);
             int color = -1;
             EXPECT_NO_THROW(color = kept.color());
             EXPECT_EQ(color, 5);
         }},
        {"calls only inside new objects",
         [&] {
             const int before = ms.count();
             cad::Entity kept;
             auto run = [&] {
                 DC outer(doc, DC::NewObjectsToo);
                 const cad::Entity held = ms.addCircle(cad::Point{1, 1, 0}, 1);
                 {
                     DC inner(doc);
                     kept = ms.addCircle(cad::Point{2, 2, 0}, 1);
                 }
                 kept.setColor(6);
                 held.setColor(2);  // the outer scope's handles still serve
             };
             EXPECT_NO_THROW(run());
             ASSERT_EQ(ms.count(), before + 2);
             EXPECT_EQ(ms.item(before).color(), 2);
             int color = -1;
             EXPECT_NO_THROW(color = kept.color());
             EXPECT_EQ(color, 6);
         }},
    };
    for (const auto& [name, check] : cases) {
        SCOPED_TRACE(name);
        line.setLayer(QStringLiteral("0"));
        line.setColor(0);
        check();
    }
}

CADMODEL_CHANNELS(DeferredCallsTest);

}  // namespace
