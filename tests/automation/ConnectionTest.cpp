// Attaching to the CAD, its version, and the open-drawing check.
#include "CadFixture.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

namespace automation::test {
namespace {

// A channel whose every call fails: an attached CAD that cannot answer.
class DeadChannel : public cad::Channel {
public:
    cad::Variant call(cad::ObjectId, const QString&, cad::CallKind, std::span<const cad::Variant>) override {
        throw cad::Failed(QStringLiteral("the CAD does not answer"));
    }
};

TEST(AutomationConnection, MajorVersionNeedsTheDotAsThirdCharacter) {
    EXPECT_EQ(MajorVersionFromText(QStringLiteral("17.2s (LMS Tech)"), QString()), QStringLiteral("17"));
    EXPECT_EQ(MajorVersionFromText(QStringLiteral("18.1"), QStringLiteral("17")), QStringLiteral("18"));
    EXPECT_EQ(MajorVersionFromText(QStringLiteral("9.0"), QString()), QString());
    EXPECT_EQ(MajorVersionFromText(QStringLiteral("9.0"), QStringLiteral("18")), QStringLiteral("18"));
    EXPECT_EQ(MajorVersionFromText(QStringLiteral("2018.1"), QStringLiteral("18")), QStringLiteral("18"));
    EXPECT_EQ(MajorVersionFromText(QString(), QStringLiteral("18")), QStringLiteral("18"));
}

class AutomationConnect : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureCoreApplication();
        ResetAutomationState();
    }
    void TearDown() override {
        SetCadConnector(previous);
        ResetAutomationState();
    }
    InProcessCad running;
    InProcessCad started;
    DeadChannel dead;
    ui::ScriptedPrompts prompts;
    CadConnector previous = SetCadConnector({});

    // One attach through the host connector, without starting anything.
    cad::Application tryAttach(const QString& name) {
        SetCadConnector({CadHostConnector(0, name).attach, {}});
        cad::Application app = ConnectToAutoCad(true);
        prompts.clear();  // a miss while the host is still starting shows the failure message
        SetCadConnector(CadHostConnector(20000, name));
        return app;
    }
};

TEST_F(AutomationConnect, AttachesToTheRunningCadAndKeepsItsState) {
    int starts = 0;
    SetCadConnector({[&] { return running.application(); },
                     [&] {
                         ++starts;
                         return started.application();
                     }});
    cad::Application app = ConnectToAutoCad(true);
    ASSERT_FALSE(app.isNull());
    EXPECT_EQ(app.channel(), running.application().channel());
    EXPECT_EQ(starts, 0);
    EXPECT_EQ(CadMajorVersion, QStringLiteral("18"));
    EXPECT_FALSE(CadState.isNull());
    EXPECT_TRUE(CadState.isQuiescent());
    EXPECT_TRUE(prompts.asked().empty());
}

TEST_F(AutomationConnect, WithoutTheStateFlagNoStateObjectIsKept) {
    SetCadConnector({[&] { return running.application(); }, {}});
    ASSERT_FALSE(ConnectToAutoCad(false).isNull());
    EXPECT_TRUE(CadState.isNull());
}

TEST_F(AutomationConnect, StartsACadWhenNoneRunsOrTheRunningOneCannotAnswer) {
    SetCadConnector({[] { return cad::Application(); }, [&] { return started.application(); }});
    EXPECT_EQ(ConnectToAutoCad(true).channel(), started.application().channel());

    SetCadConnector({[]() -> cad::Application { throw cad::Failed(QStringLiteral("none")); },
                     [&] { return started.application(); }});
    EXPECT_EQ(ConnectToAutoCad(true).channel(), started.application().channel());

    // Attached, but reading its version fails: a new one is started.
    SetCadConnector({[&] { return cad::Application(&dead); }, [&] { return started.application(); }});
    EXPECT_EQ(ConnectToAutoCad(true).channel(), started.application().channel());
    EXPECT_TRUE(prompts.asked().empty());
}

TEST_F(AutomationConnect, NeitherAttachNorStartShowsTheMessageOnceAndGivesNothing) {
    SetCadConnector({[] { return cad::Application(); },
                     []() -> cad::Application { throw cad::Failed(QStringLiteral("cannot start")); }});
    EXPECT_TRUE(ConnectToAutoCad(true).isNull());
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.asked()[0].text,
              QStringLiteral("Nie można nawiązać połączenia z programem:\r\n[AutoCAD]"));
    EXPECT_EQ(ui::IconOf(prompts.asked()[0].flags), int(ui::Exclamation));
    EXPECT_EQ(ui::ButtonsOf(prompts.asked()[0].flags), int(ui::OkOnly));
}

TEST_F(AutomationConnect, DefaultConnectorStartsOneInProcessCadAndAttachesToItAfterwards) {
    SetCadConnector(InProcessCadConnector());
    cad::Application first = ConnectToAutoCad(true);
    ASSERT_FALSE(first.isNull());
    cad::Application second = ConnectToAutoCad(true);
    EXPECT_EQ(first.channel(), second.channel());
}

TEST_F(AutomationConnect, WithoutACadHostTheSocketConnectorEndsInTheFailureMessage) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    // A socket nobody listens on, and no host program beside the tests to start.
    SetCadConnector(CadHostConnector(300, dir.filePath(QStringLiteral("brak.sock"))));
    EXPECT_TRUE(ConnectToAutoCad(true).isNull());
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_TRUE(prompts.asked()[0].text.endsWith(QStringLiteral("[AutoCAD]")));
}

TEST_F(AutomationConnect, TheHostConnectorAttachesToARunningCadHostOnce) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString name = dir.filePath(QStringLiteral("host.sock"));
    QProcess host;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("TESMAR_CADHOST_INI"), dir.filePath(QStringLiteral("cadhost.ini")));
    host.setProcessEnvironment(env);
    host.start(QStringLiteral(CADHOST_EXE), {QStringLiteral("--socket"), name});
    ASSERT_TRUE(host.waitForStarted(10000));

    SetCadConnector(CadHostConnector(20000, name));
    cad::Application app;
    for (int i = 0; i < 200 && app.isNull(); ++i) {
        app = tryAttach(name);
        if (app.isNull()) QThread::msleep(50);
    }
    ASSERT_FALSE(app.isNull());
    EXPECT_EQ(CadMajorVersion, QStringLiteral("18"));
    EXPECT_EQ(app.documents().count(), 1);
    // Connecting again reuses the open connection: handles taken before stay valid.
    cad::Application again = ConnectToAutoCad(true);
    EXPECT_EQ(again.channel(), app.channel());
    app.activeDocument().modelSpace().addLine(cad::Point{0, 0, 0}, cad::Point{5, 5, 0});
    EXPECT_EQ(again.activeDocument().modelSpace().count(), 1);
    EXPECT_TRUE(prompts.asked().empty());

    host.kill();
    host.waitForFinished(5000);
}

using AutomationDocument = CadFixture;

TEST_F(AutomationDocument, TheActiveOfTwoDrawingsBecomesTheCurrentOne) {
    const QString firstName = CadDocument.name();
    cad::Document second = CadApplication.documents().add();
    ASSERT_TRUE(CheckDocumentOpen(false));
    EXPECT_EQ(CadDocument, second);
    EXPECT_NE(CadDocument.name(), firstName);
    EXPECT_EQ(CadModelSpace, second.modelSpace());
    CadApplication.setActiveDocument(CadApplication.documents().item(0));
    ASSERT_TRUE(CheckDocumentOpen(true));
    EXPECT_EQ(CadDocument.name(), firstName);
    EXPECT_TRUE(prompts.asked().empty());
}

TEST_F(AutomationDocument, NoDrawingOpenGivesFalseAndTheMessageOnlyWhenAsked) {
    const cad::Document before = CadDocument;
    CadDocument.close();
    EXPECT_FALSE(CheckDocumentOpen(false));
    EXPECT_TRUE(prompts.asked().empty());
    EXPECT_FALSE(CheckDocumentOpen(true));
    ASSERT_EQ(prompts.asked().size(), 1u);
    EXPECT_EQ(prompts.asked()[0].text, QStringLiteral("Najpierw proszę otworzyć jakiś dokument..."));
    EXPECT_EQ(prompts.asked()[0].flags, int(ui::OkOnly));
    // The handles keep the drawing of the last successful check.
    EXPECT_EQ(CadDocument, before);
}

}  // namespace
}  // namespace automation::test
