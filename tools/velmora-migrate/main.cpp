// velmora-migrate: copies Velmora's data set between a data folder and a database server.
#include "MigrateCommand.h"
#include "cli/StandardOptions.h"
#include "cli/StandardOutput.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

const velmora::cli::ProgramHelp kHelp{
    QStringLiteral("velmora-migrate"),
    {QStringLiteral("--from DIR_OR_URI --to DIR_OR_URI")},
    QStringLiteral(
        "Copies the data set of a data path (Timemgr.mdb and HeliPart.mdb of a data folder,\n"
        "or their two schemas in a PostgreSQL database named by a postgresql:// URI) to\n"
        "another, every table, row and stored query, each file in one transaction on the\n"
        "target, and reports the rows copied. The target must be empty. SetupPP.mdb stays\n"
        "where it is. Passwords come from ~/.pgpass or PGPASSWORD, never from the URI.\n"),
    {
        {QStringLiteral("from"),
         {},
         QStringLiteral("DIR_OR_URI"),
         QStringLiteral("the data folder or database to copy")},
        {QStringLiteral("to"),
         {},
         QStringLiteral("DIR_OR_URI"),
         QStringLiteral("the empty data folder or database to copy into")},
    },
    QStringLiteral("Exit status: 0 when copied, 1 on a failure (nothing is left at the\n"
                   "target, the reason on standard error), 2 on wrong arguments.\n")};

}  // namespace

int main(int argc, char** argv) {
    if (const auto status = velmora::cli::handleStandardOptions(argc, argv, kHelp))
        return *status;
    QCoreApplication app(argc, argv);
    velmora::cli::StandardOutput standardOutput;
    QTextStream out(&standardOutput), err(stderr);
    const int status = velmora::migratetool::runMigrateCommand(app.arguments().mid(1), out, err);
    out.flush();
    err.flush();
    return velmora::cli::outputStatus(kHelp.name, standardOutput, status);
}
