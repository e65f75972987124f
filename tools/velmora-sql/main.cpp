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
    {QStringLiteral("[--param NAME=VALUE]... FILE SQL")},
    QStringLiteral(
        "Runs one Jet SQL statement (or opens a table or stored query by name) against a\n"
        "Velmora data file. Rows are printed as CSV with a header line, every value as it is\n"
        "stored (no guard against spreadsheet formulas); other statements print the number\n"
        "of rows changed. A statement or stored query that declares PARAMETERS takes\n"
        "their values from --param, each converted to its declared type.\n"),
    {{QStringLiteral("param"), QChar(), QStringLiteral("NAME=VALUE"),
      QStringLiteral("the value of the parameter NAME (repeatable)")}},
    QStringLiteral("Exit status: 0 on success, 1 when the statement fails (the engine's error\n"
                   "number and text on standard error), 2 on wrong arguments or a declared\n"
                   "parameter without a value.\n")};

}  // namespace

int main(int argc, char** argv) {
    if (const auto status = velmora::cli::handleStandardOptions(argc, argv, kHelp))
        return *status;
    QCoreApplication app(argc, argv);
    velmora::backup::backUpBeforeJournalMigration();
    QStringList args;
    QList<velmora::tools::ParameterText> parameters;
    const QStringList all = app.arguments().mid(1);
    for (qsizetype i = 0; i < all.size(); ++i) {
        QString param;
        if (all[i] == QLatin1String("--param") && i + 1 < all.size())
            param = all[++i];
        else if (all[i].startsWith(QLatin1String("--param=")))
            param = all[i].mid(8);
        else if (all[i] == QLatin1String("--param"))
            param = QStringLiteral("?");  // no value follows
        else {
            args << all[i];
            continue;
        }
        const qsizetype eq = param.indexOf(u'=');
        if (eq <= 0) {
            std::fputs("velmora-sql: --param takes NAME=VALUE\n", stderr);
            return 2;
        }
        parameters.append({param.left(eq), param.mid(eq + 1)});
    }
    if (args.size() != 2) {
        std::fputs(
            "usage: velmora-sql [--param NAME=VALUE]... FILE SQL\n"
            "Runs one Jet SQL statement (or opens a table or stored query by name) "
            "against a Velmora data file.\nRows are printed as CSV with a header line; "
            "other statements print the number of rows changed.\n",
            stderr);
        return 2;
    }
    QString out, err;
    const int rc = velmora::tools::runSqlCommand(args[0], args[1], parameters, &out, &err);
    return velmora::cli::writeOutput(kHelp.name, out, err, rc);
}
