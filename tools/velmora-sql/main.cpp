// velmora-sql FILE SQL: runs one statement against a Velmora data file.
#include "SqlCommand.h"
#include "backup/JournalMigrationBackup.h"
#include "cli/StandardOptions.h"
#include "cli/StandardOutput.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

namespace {

const velmora::cli::ProgramHelp kHelp{
    QStringLiteral("velmora-sql"),
    {QStringLiteral("FILE SQL")},
    QStringLiteral(
        "Runs one Jet SQL statement (or opens a table or stored query by name) against a\n"
        "Velmora data file. Rows are printed as CSV with a header line, every value as it is\n"
        "stored (no guard against spreadsheet formulas); other statements print the number\n"
        "of rows changed.\n"),
    {},
    QStringLiteral("Exit status: 0 on success, 1 when the statement fails (the engine's error\n"
                   "number and text on standard error), 2 on wrong arguments.\n")};

}  // namespace

int main(int argc, char** argv) {
    if (const auto status = velmora::cli::handleStandardOptions(argc, argv, kHelp))
        return *status;
    QCoreApplication app(argc, argv);
    velmora::backup::backUpBeforeJournalMigration();
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fputs(
            "usage: velmora-sql FILE SQL\n"
            "Runs one Jet SQL statement (or opens a table or stored query by name) "
            "against a Velmora data file.\nRows are printed as CSV with a header line; "
            "other statements print the number of rows changed.\n",
            stderr);
        return 2;
    }
    QString out, err;
    const int rc = velmora::tools::runSqlCommand(args[1], args[2], &out, &err);
    return velmora::cli::writeOutput(kHelp.name, out, err, rc);
}
