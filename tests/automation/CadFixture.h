// A drawing open in an in-process CAD, connected through the automation layer's connector, with
// scripted picks and prompts; every module-level value of the layer is reset around each test.
#pragma once

#include "automation/Automation.h"
#include "platform/cad/model/Interaction.h"
#include "platform/ui/core/Prompt.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QHash>

#include <memory>
#include <ostream>

// Readable texts in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace automation::test {

inline void EnsureCoreApplication() {
    static int argc = 1;
    static char name[] = "automation_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
}

inline void ResetAutomationState() {
    ResetCadConnectionState();
    CadColourObject = {};
    SavedCadVariables = {};
    DrawingSummaryInfo = {};
    CustomPropertyCache = {CustomPropertyEntry{}};
    DrawingScale = 1;
    ClearStreamAttributeTable();
    CrossingLinkTable.clear();
    WorkbookNewLayout = false;
    WorkbookHeaderRow = 6;
    GroupHeadTexts.clear();
}

// Passes every call on to the CAD, counting the members called; a member named in `failOn` fails.
class RelayChannel : public cad::Channel {
public:
    explicit RelayChannel(cad::Channel* inner) : inner_(inner) {}
    cad::Variant call(cad::ObjectId object, const QString& member, cad::CallKind kind,
                      std::span<const cad::Variant> args) override {
        ++calls[member];
        if (member == failOn) throw cad::Failed(QStringLiteral("%1 refused").arg(member));
        return inner_->call(object, member, kind, args);
    }
    QHash<QString, int> calls;
    QString failOn;

private:
    cad::Channel* inner_;
};

class CadFixture : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureCoreApplication();
        ResetAutomationState();
        cad_ = std::make_unique<InProcessCad>();
        cad_->setInteraction(&picks);
        previous_ = SetCadConnector({[this] { return cad_->application(); }, {}});
        CadApplication = ConnectToAutoCad(true);
        ASSERT_FALSE(CadApplication.isNull());
        CadApplication.documents().add();
        ASSERT_TRUE(CheckDocumentOpen(false));
    }
    void TearDown() override {
        SetCadConnector(previous_);
        ResetAutomationState();
    }

    // A block definition "name" holding a line, with hidden attribute definitions tag=value.
    cad::Block defineBlock(const QString& name, const QList<std::pair<QString, QString>>& attributes = {}) {
        cad::Block b = CadDocument.blocks().add(cad::Point{0, 0, 0}, name);
        b.addLine(cad::Point{0, 0, 0}, cad::Point{1, 0, 0});
        for (const auto& [tag, value] : attributes) AddAttributeDefinition(b, tag, value, 0, 0);
        return b;
    }
    cad::Entity insert(const QString& name, const QString& layer = QString(), double x = 0, double y = 0) {
        cad::Entity r = CadModelSpace.insertBlock(cad::Point{x, y, 0}, name, 1, 1, 1, 0);
        if (!layer.isEmpty()) r.setLayer(layer);
        return r;
    }
    int countSets() const { return CadDocument.selectionSets().count(); }

    cad::ScriptedInteraction picks;
    ui::ScriptedPrompts prompts;
    std::unique_ptr<InProcessCad> cad_;

private:
    CadConnector previous_;
};

}  // namespace automation::test
