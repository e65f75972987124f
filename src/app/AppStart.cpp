#include "AppStart.h"

#include "ProgramFolder.h"
#include "ProgramIdentity.h"
#include "ScreenRegistry.h"
#include "SingleInstance.h"
#include "frmMenuVelmora.h"
#include "screens/common/Dialogs.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

namespace velmora::app {

namespace {

bool displayAvailable() {
    if (std::getenv("QT_QPA_PLATFORM"))
        return true;
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

}  // namespace

int runVelmora(int argc, char** argv) {
    if (!displayAvailable()) {
        std::fputs(
            "velmora: no display to show the program on (DISPLAY is not set); start it "
            "from a desktop session, or under Xvfb with xvfb-run.\n",
            stderr);
        return 1;
    }
    QApplication app(argc, argv);
    setProgramIdentity();

    const QString folder = programFolder();
    SingleInstance instance(SingleInstance::serverNameFor(folder));
    if (!instance.claim())
        return 0;  // the running copy has been brought forward

    QString error;
    if (!ensureFirstRun(folder, &error)) {
        screens::Dialogs::current().message(
            nullptr, {QStringLiteral("Velmora could not set up its files: ") + error,
                      QStringLiteral("Velmora"), screens::MsgButtons::Ok,
                      screens::MsgIcon::Critical, screens::MsgAnswer::Ok});
    }

    frmMenuVelmora menu(folder);
    registerScreens(menu);
    QObject::connect(&instance, &SingleInstance::activationRequested, &menu,
                     &frmMenuVelmora::bringForward);
    menu.Form_Load();
    menu.show();
    return app.exec();
}

}  // namespace velmora::app
