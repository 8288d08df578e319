// The state a conflictor window test starts from: a temporary program folder (its own runtime
// folder too), scripted prompts and an in-process CAD whose picks the test scripts, with the
// program's tables emptied. Window tests derive from it beside QObject and call attachCad() in
// init() once their folders are in place, detachCad() in cleanup().
#pragma once

#include "automation/Automation.h"
#include "common/Ini.h"
#include "common/ProgramSettings.h"
#include "conflictor/streams/Intersections.h"
#include "conflictor/streams/StreamBlocks.h"
#include "conflictor/streams/StreamRecords.h"
#include "platform/cad/model/Interaction.h"
#include "platform/ui/core/Prompt.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QTemporaryDir>
#include <memory>

namespace conflictor::test {

class ConflictorWindowFixture {
protected:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<automation::InProcessCad> cad;
    std::unique_ptr<ui::ScriptedPrompts> prompts;
    cad::ScriptedInteraction picks;
    automation::CadConnector previous;

    // A fresh temporary folder holding "Tesmar/bin", also the process's runtime folder.
    void makeProgramFolder() {
        QLocale::setDefault(QLocale::c());
        dir = std::make_unique<QTemporaryDir>();
        qputenv("XDG_RUNTIME_DIR", dir->path().toUtf8());
        QDir().mkpath(dir->filePath(QStringLiteral("Tesmar/bin")));
    }

    // The intergreen template in "Tesmar/Zasoby" and the sample drawing under each of `copies` in the
    // folder, with no desktop application to open a saved workbook in (the XDG folders point into it);
    // false when a file could not be copied.
    bool copyTemplateAndSample(const QStringList& copies = {QStringLiteral("Przyklad.dxf")}) {
        for (const char* v : {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME", "XDG_DATA_DIRS"})
            qputenv(v, dir->path().toUtf8());
        QDir().mkpath(dir->filePath(QStringLiteral("Tesmar/Zasoby")));
        bool copied = QFile::copy(QStringLiteral(SUITE_SOURCE_DIR "/resources/Tesmar/Zasoby/Czasy Miedzyziel szablon.xlt"),
                                  dir->filePath(QStringLiteral("Tesmar/Zasoby/Czasy Miedzyziel szablon.xlt")));
        for (const QString& copy : copies)
            copied = QFile::copy(QStringLiteral(SUITE_SOURCE_DIR "/resources/Tesmar/Zasoby/Przyklad.dxf"),
                                 dir->filePath(copy)) && copied;
        return copied;
    }

    void attachCad() {
        prompts = std::make_unique<ui::ScriptedPrompts>();
        automation::ResetCadConnectionState();
        automation::DrawingScale = 1;
        automation::CustomPropertyCache = {automation::CustomPropertyEntry{}};
        StreamTable.clear();
        IntersectionNumber.clear();
        StreamAttributeBlockHandle.clear();
        common::Settings = common::ProgramSettings{};
        common::AlwaysOnTop = false;
        cad = std::make_unique<automation::InProcessCad>();
        cad->setInteraction(&picks);
        previous = automation::SetCadConnector({[this] { return cad->application(); }, {}});
        automation::CadApplication = automation::ConnectToAutoCad(true);
    }

    void detachCad() {
        automation::SetCadConnector(previous);
        automation::ResetCadConnectionState();
        cad.reset();
        prompts.reset();
        dir.reset();
    }
};

}  // namespace conflictor::test
