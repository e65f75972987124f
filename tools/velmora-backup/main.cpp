// velmora-backup: lists the backups of Velmora's data files and restores one.
#include "BackupCommand.h"
#include "app/ProgramFolder.h"
#include "app/ProgramIdentity.h"
#include "app/SingleInstance.h"
#include "cli/StandardOptions.h"
#include "cli/StandardOutput.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

namespace {

using velmora::cli::Option;

const velmora::cli::ProgramHelp kHelp{
    QStringLiteral("velmora-backup"),
    {QStringLiteral("[--folder DIR] list"), QStringLiteral("[--folder DIR] restore NAME [--yes]")},
    QStringLiteral(
        "Lists the backups of Velmora's data files (SetupPP.mdb and the Timemgr.mdb and\n"
        "HeliPart.mdb of its data path), newest first, or restores one of them by its NAME\n"
        "after a confirmation, keeping the files as they are now as a backup first.\n"
        "The backups lie in the Backups folder beside each file.\n"),
    {
        {QStringLiteral("folder"),
         {},
         QStringLiteral("DIR"),
         QStringLiteral("the program folder that holds SetupPP.mdb (as velmora finds it)")},
        {QStringLiteral("yes"), QChar(u'y'), {}, QStringLiteral("restore without asking")},
    },
    QStringLiteral("Exit status: 0 when done, 1 when nothing was restored or a failure (the\n"
                   "reason on standard error), 2 on wrong arguments.\n")};

}  // namespace

int main(int argc, char** argv) {
    if (const auto status = velmora::cli::handleStandardOptions(argc, argv, kHelp))
        return *status;
    QCoreApplication app(argc, argv);
    velmora::app::setProgramIdentity();
    velmora::cli::StandardOutput standardOutput;
    QTextStream in(stdin), out(&standardOutput), err(stderr);
    velmora::backuptool::Environment env;
    env.defaultFolder = velmora::app::programFolder();
    env.programRunning = [](const QString& folder) {
        return velmora::app::SingleInstance::isRunning(
            velmora::app::SingleInstance::serverNameFor(folder));
    };
    const int status =
        velmora::backuptool::runBackupCommand(app.arguments().mid(1), env, in, out, err);
    out.flush();
    err.flush();
    return velmora::cli::outputStatus(kHelp.name, standardOutput, status);
}
