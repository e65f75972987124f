// velmora-journal: checks and lists the entry journal of a data folder.
#include "JournalCommand.h"
#include "app/ProgramFolder.h"
#include "cli/StandardOutput.h"
#include "data/DataFiles.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    if (const auto status =
            velmora::cli::handleStandardOptions(argc, argv, velmora::journaltool::journalHelp()))
        return *status;
    QCoreApplication app(argc, argv);
    velmora::cli::StandardOutput standardOutput;
    QTextStream out(&standardOutput);
    QTextStream err(stderr);
    const int status = velmora::journaltool::runJournalCommand(
        app.arguments().mid(1), out, err,
        velmora::data::resolvePathCaseInsensitive(
            velmora::data::companyFileName(velmora::app::programFolder())));
    out.flush();
    return velmora::cli::outputStatus(QStringLiteral("velmora-journal"), standardOutput, status);
}
