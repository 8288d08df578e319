// A drawing open in the in-process CAD with scripted picks and prompts, a headless main window, and
// every module-level value of the stream model reset around each test; helpers that build component
// blocks and intersection attribute blocks by hand, independently of the routines under test.
#pragma once

#include "automation/Automation.h"
#include "common/ProgramSettings.h"
#include "common/SettingBindings.h"
#include "conflictor/streams/FormatUpgrade.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamRecords.h"
#include "conflictor/streams/StreamWindow.h"
#include "platform/cad/model/Interaction.h"
#include "platform/ui/core/Prompt.h"

#include <gtest/gtest.h>
#include <QCoreApplication>

#include <memory>
#include <ostream>

// Readable texts in failure messages.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace conflictor::test {

inline const QString StreamLayer = QStringLiteral("113-STRUMIENIE_RUCHU");

inline void EnsureCoreApplication() {
    static int argc = 1;
    static char name[] = "conflictor_streams_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
}

// The stream model's module state as at start-up, with intersection 12 current.
inline void ResetStreamState() {
    StreamTable.clear();
    CurrentStreamIndex = -1;
    SharedStreamNames.clear();
    IntersectionNumber = QStringLiteral("12");
    DrawingScaleFactor = 0.001;
    StreamAttributeBlockHandle.clear();
    ForgetComponentNumbers();
    DrawingFormatVersion = 0;
    common::Settings = common::ProgramSettings{};
    for (int i = 4; i <= 7; ++i) common::SettingBindings[size_t(i)].Value = QStringLiteral("1");
    automation::ClearStreamAttributeTable();
    InitStreamAttributeTags();
}

inline StreamRecord Stream(const QString& name, const QString& phases = QString()) {
    StreamRecord r;
    SetStreamName(r, name);
    r.Phases = phases;
    return r;
}

// Stream components by their geometry (an arc's ends from its centre, radius and angles).
inline SegmentRecord Line(double x1, double y1, double x2, double y2) {
    return LineSegment(x1, y1, x2, y2);
}

inline SegmentRecord Arc(double cx, double cy, double r, double a1, double a2) {
    return ArcSegment(cx, cy, r, a1, a2);
}

class StreamsFixture : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureCoreApplication();
        automation::ResetCadConnectionState();
        automation::SavedCadVariables = {};
        automation::DrawingSummaryInfo = {};
        automation::CustomPropertyCache = {automation::CustomPropertyEntry{}};
        automation::DrawingScale = 1;
        ResetStreamState();
        previousWindow_ = SetStreamWindow(&window);
        cad_ = std::make_unique<automation::InProcessCad>();
        cad_->setInteraction(&picks);
        previous_ = automation::SetCadConnector({[this] { return cad_->application(); }, {}});
        automation::CadApplication = automation::ConnectToAutoCad(true);
        ASSERT_FALSE(automation::CadApplication.isNull());
        automation::CadApplication.documents().add();
        ASSERT_TRUE(automation::CheckDocumentOpen(false));
        automation::EnsureLayer(StreamLayer, false, 5, 30);
    }
    void TearDown() override {
        automation::SetCadConnector(previous_);
        automation::ResetCadConnectionState();
        SetStreamWindow(previousWindow_);
        ResetStreamState();
    }

    cad::Document doc() const { return automation::CadDocument; }
    // A new empty drawing with the stream layer in place of the current one.
    void freshDrawing() {
        doc().close();
        automation::CadApplication.documents().add();
        ASSERT_TRUE(automation::CheckDocumentOpen(false));
        automation::EnsureLayer(StreamLayer, false, 5, 30);
    }
    cad::Block modelSpace() const { return automation::CadDocument.modelSpace(); }

    // A component block "<nr>^STRUMIEN_<n><suffix>" holding one line, referenced on the stream layer.
    QString addLine(int n, const QString& suffix, double x1, double y1, double x2, double y2,
                    const QString& nr = QStringLiteral("12")) {
        const QString name = nr + QStringLiteral("^STRUMIEN_") + QString::number(n) + suffix;
        cad::Block b = doc().blocks().add(cad::Point{0, 0, 0}, name);
        b.addLine(cad::Point{x1, y1, 0}, cad::Point{x2, y2, 0});
        return insert(name, StreamLayer).handle();
    }
    QString addArc(int n, const QString& suffix, double cx, double cy, double r, double a1, double a2) {
        const QString name = QStringLiteral("12^STRUMIEN_") + QString::number(n) + suffix;
        cad::Block b = doc().blocks().add(cad::Point{0, 0, 0}, name);
        b.addArc(cad::Point{cx, cy, 0}, r, a1, a2);
        return insert(name, StreamLayer).handle();
    }
    cad::Entity insert(const QString& name, const QString& layer = QString(), double x = 0, double y = 0,
                       double scale = 1) {
        cad::Entity r = modelSpace().insertBlock(cad::Point{x, y, 0}, name, scale, scale, scale, 0);
        if (!layer.isEmpty()) r.setLayer(layer);
        return r;
    }
    // An intersection attribute block with the given attribute definitions (default: all nine) and
    // one reference whose attributes hold `values` (tag -> text).
    cad::Entity addAttributeBlock(const QString& nr, const QList<std::pair<QString, QString>>& values = {},
                                  double x = 0, double y = 0, QStringList tags = {}) {
        if (tags.isEmpty()) tags = StreamAttributeTagNames();
        const QString name = IntersectionBlockPrefix() + nr;
        if (automation::GetBlockDefinition(name).isNull()) {
            cad::Block b = doc().blocks().add(cad::Point{0, 0, 0}, name);
            b.addLine(cad::Point{0, 0, 0}, cad::Point{8000, 0, 0});
            for (const QString& t : tags) automation::AddAttributeDefinition(b, t, QString(), 0, 0);
        }
        cad::Entity ref = insert(name, StreamLayer, x, y);
        for (const cad::Entity& att : ref.attributes())
            for (const auto& [tag, value] : values)
                if (att.tagString() == tag) att.setTextString(value);
        return ref;
    }
    // The text of the reference's attribute with that tag.
    static QString attribute(const cad::Entity& ref, const QString& tag) {
        for (const cad::Entity& att : ref.attributes())
            if (att.tagString() == tag) return att.textString();
        return QStringLiteral("<none>");
    }
    // Every block reference of model space whose name matches the pattern.
    QList<cad::Entity> references(const QString& pattern) {
        cad::SelectionSet s = automation::GetHelperSelectionSet(QStringLiteral("TestSet"));
        cad::SelectionFilter f;
        f.add(0, QStringLiteral("INSERT")).add(2, pattern);
        s.select(cad::SelectionSet::All, f);
        QList<cad::Entity> out = s.entities();
        s.remove();
        return out;
    }
    QStringList referenceNames(const QString& pattern) {
        QStringList names;
        for (const cad::Entity& e : references(pattern)) names.append(e.name());
        return names;
    }

    StreamWindow window;
    cad::ScriptedInteraction picks;
    ui::ScriptedPrompts prompts;
    std::unique_ptr<automation::InProcessCad> cad_;

private:
    automation::CadConnector previous_;
    StreamWindow* previousWindow_ = nullptr;
};

}  // namespace conflictor::test
