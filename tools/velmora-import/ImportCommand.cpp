#include "ImportCommand.h"

#include "cli/OptionWord.h"
#include "cli/StandardOptions.h"
#include "legacy/FileConversion.h"
#include "reportfiles/ReportQueries.h"

namespace velmora::import {

namespace {

const QString kUsage =
    QStringLiteral("Usage: velmora-import SOURCE.mdb DEST.mdb [--dry-run] [--codepage NAME]\n");

const cli::ProgramHelp kProgramHelp{
    QStringLiteral("velmora-import"),
    {QStringLiteral("SOURCE.mdb DEST.mdb [--dry-run] [--codepage NAME]")},
    QStringLiteral(
        "Converts a database kept in the earlier Jet format (Access .mdb or .accdb: SetupPP.mdb,\n"
        "TimeMgr.mdb, HeliPart.mdb) into DEST, a new Velmora data file with the tables the\n"
        "program makes. Velmora's tables are filled column by column (names matched without\n"
        "regard to letter case); other tables and columns are copied as they are; stored\n"
        "queries are kept where Velmora can run them and listed otherwise. SOURCE is only read;\n"
        "DEST must not exist and is written completely or not at all.\n"
        "\n"
        "The report lists every table with its rows read and written, every value that could\n"
        "not be converted, and what was copied unchanged or skipped.\n"),
    {{QStringLiteral("dry-run"), {}, {}, QStringLiteral("print the report, write nothing")},
     {QStringLiteral("codepage"),
      {},
      QStringLiteral("NAME"),
      QStringLiteral("the code page of a Jet 3 (Access 97) file's text, as iconv names it\n"
                     "(GBK, CP1251, ...); Windows-1252 when not given")}},
    QStringLiteral(
        "Exit status: 0 everything converted; 1 failed, nothing written; 2 wrong arguments;\n"
        "3 written, but something was skipped or changed (see the report).\n")};

struct Arguments {
    bool dryRun = false;
    QString codePage;
    QStringList files;
};

// Options other than --dry-run have been dealt with by the standard options already.
data::MaybeFailure parse(const QStringList& args, Arguments* a) {
    bool optionsEnded = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (!optionsEnded && arg == u"--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg == u"--dry-run") {
            a->dryRun = true;
        } else if (!optionsEnded && arg == u"--codepage") {
            if (i + 1 >= args.size() || args[i + 1].isEmpty())
                return cli::wrongCommandLine(
                    QStringLiteral("--codepage needs the name of a code page"));
            a->codePage = args[++i];
        } else if (!optionsEnded && arg.startsWith(u"--codepage=")) {
            a->codePage = arg.mid(11);
            if (a->codePage.isEmpty())
                return cli::wrongCommandLine(
                    QStringLiteral("--codepage needs the name of a code page"));
        } else {
            a->files << arg;
        }
    }
    if (a->files.size() != 2)
        return cli::wrongCommandLine(a->files.size() < 2
                                         ? QStringLiteral("SOURCE and DEST must both be given")
                                         : QStringLiteral("only SOURCE and DEST can be given"));
    return std::nullopt;
}

}  // namespace

int runImportCommand(const QStringList& args, QString* out, QString* err) {
    if (const auto standard = cli::standardOptions(args, kProgramHelp, out, err))
        return *standard;
    Arguments a;
    if (const auto problem = parse(args, &a)) {
        *err = QStringLiteral("velmora-import: %1\n").arg(problem->text) + kUsage +
               QStringLiteral("Try 'velmora-import --help' for more information.\n");
        return status::Usage;
    }
    legacy::ConversionOptions options;
    options.dryRun = a.dryRun;
    options.codePage = a.codePage;
    options.completeMainFile = [](data::Database& db) { reports::ensureReportQueries(db); };
    try {
        const legacy::ConversionReport report =
            legacy::convertJetFile(a.files[0], a.files[1], options);
        *out = report.text();
        return report.anythingSkipped() ? status::Skipped : status::Converted;
    } catch (const data::DbError& e) {
        *err = QStringLiteral("velmora-import: %1\n").arg(legacy::numberedText(e));
        return status::Failed;
    }
}

}  // namespace velmora::import
