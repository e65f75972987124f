#include "AppStart.h"

#include "JetConversionOffer.h"
#include "JournalOnOpen.h"
#include "ProgramFolder.h"
#include "ProgramIdentity.h"
#include "ScreenRegistry.h"
#include "SingleInstance.h"
#include "StartUpBackup.h"
#include "backup/JournalMigrationBackup.h"
#include "backup/ProgramFiles.h"
#include "cli/StandardOptions.h"
#include "data/Journal.h"
#include "frmMenuVelmora.h"
#include "screens/common/Dialogs.h"

#include <QApplication>
#include <QIcon>

#include <cstdio>
#include <cstdlib>

namespace velmora::app {

namespace {

// The id of the desktop entry and icon that an installed copy comes with.
const QString kDesktopId = QStringLiteral("org.velmora.Velmora");

const cli::ProgramHelp kHelp{
    QStringLiteral("velmora"),
    {QStringLiteral("[OPTION]...")},
    QStringLiteral("Keeps the service life of the components installed on an operator's aircraft:\n"
                   "starts the main menu, or brings forward the copy that is already running.\n"),
    {},
    QStringLiteral(
        "Qt's own options for a windowed program (-platform NAME, -style NAME and the like)\n"
        "are accepted as well.\n"
        "\n"
        "The company settings SetupPP.mdb are kept beside the program; where that folder is\n"
        "shared by all users (as /usr/bin is) or cannot be written, in the user's own data\n"
        "folder (~/.local/share/Velmora). The first start creates them there together with\n"
        "a data folder Data/.\n"),
    true};

bool displayAvailable() {
    if (std::getenv("QT_QPA_PLATFORM"))
        return true;
    return std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY");
}

// The entry journal names the screen a change was made on: the window the user works in.
// A file that gets the journal is backed up first.
void journalScreensAndMigrations() {
    data::journal::setScreenProvider([] {
        const QWidget* w = QApplication::activeWindow();
        if (!w)
            return QString();
        const QString name = QString::fromLatin1(w->metaObject()->className());
        return name.section(QStringLiteral("::"), -1);
    });
    backup::backUpBeforeJournalMigration();
}

}  // namespace

int runVelmora(int argc, char** argv) {
    // Help and version need no display, so they come before the application object.
    if (const auto status = cli::handleStandardOptions(argc, argv, kHelp))
        return *status;
    if (!displayAvailable()) {
        std::fputs(
            "velmora: no display to show the program on (DISPLAY is not set); start it "
            "from a desktop session, or under Xvfb with xvfb-run.\n",
            stderr);
        return 1;
    }
    QApplication app(argc, argv);
    // Qt has taken its own options out; whatever option is left is not known.
    if (const auto status = cli::rejectUnknownOptions(app.arguments().mid(1), kHelp))
        return *status;
    setProgramIdentity();
    journalScreensAndMigrations();
    QGuiApplication::setDesktopFileName(kDesktopId);
    QApplication::setWindowIcon(QIcon::fromTheme(kDesktopId));

    const QString folder = programFolder();
    SingleInstance instance(SingleInstance::serverNameFor(folder));
    if (!instance.claim())
        return 0;  // the running copy has been brought forward
    anchorJournalsIn(backup::programFiles(folder).settings);

    if (const auto failure = ensureFirstRun(folder)) {
        screens::Dialogs::current().message(
            nullptr, {QStringLiteral("Velmora could not set up its files: ") + failure->text,
                      QStringLiteral("Velmora"), screens::MsgButtons::Ok,
                      screens::MsgIcon::Critical, screens::MsgAnswer::Ok});
    }

    // Files of the earlier program are converted here, before anything opens them.
    offerJetConversion(nullptr, folder);
    // Damaged files are found before a screen writes to them; the day's backup is made.
    careForDataFilesOnStart(nullptr, folder);

    frmMenuVelmora menu(folder);
    registerScreens(menu);
    QObject::connect(&instance, &SingleInstance::activationRequested, &menu,
                     &frmMenuVelmora::bringForward);
    menu.Form_Load();
    menu.show();
    return app.exec();
}

}  // namespace velmora::app
