#pragma once

#include "app/ScreenRegistry.h"
#include "app/frmMenuVelmora.h"
#include "screens/common/ScriptedDialogs.h"
#include "support/TestFiles.h"

#include <QCoreApplication>
#include <QImage>

#include <gtest/gtest.h>

#include <memory>

namespace velmora::testing {

// Screens close with deferred deletion; this carries it out outside an event loop.
inline void processDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A program folder with its settings file and data folder, and the main menu on it.
class AppFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        dataPath = folder.dataPath();
        folder.createMainFile();
        folder.createTemplateFile();
        settings = folder.createCompanyFile(dataPath);
        menu = std::make_unique<app::frmMenuVelmora>(folder.path());
        app::registerScreens(*menu);
        menu->Form_Load();
    }
    void TearDown() override {
        for (int i = 0; i < 4; ++i) {
            if (QWidget* s = menu->openScreen(i))
                delete s;
        }
        delete menu->openDueList();
        menu.reset();
    }
    QString writePicture(const QString& name, const char* format) {
        QImage img(40, 30, QImage::Format_RGB32);
        img.fill(Qt::red);
        const QString p = folder.file(name);
        img.save(p, format);
        return p;
    }

    screens::ScopedDialogs dialogs;
    TestFolder folder;
    QString dataPath;
    QString settings;
    std::unique_ptr<app::frmMenuVelmora> menu;
};

}  // namespace velmora::testing
