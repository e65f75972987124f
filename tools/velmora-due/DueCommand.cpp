#include "DueCommand.h"

#include "cli/OptionWord.h"
#include "data/DataFiles.h"
#include "data/DbError.h"
#include "data/TextKey.h"
#include "due/DueFilter.h"
#include "due/DueListOutput.h"
#include "due/DueListSource.h"
#include "due/DueListTable.h"
#include "due/OilAlertTable.h"
#include "export/Csv.h"
#include "export/TablePrinter.h"
#include "tasks/TaskDueLines.h"

#include <QDateTime>
#include <QDir>
#include <QSet>
#include <QTextStream>

#include <cmath>
#include <numeric>

namespace velmora::duetool {

namespace {

using cli::Option;

struct Options {
    QString data, csv, pdf, settings;
    std::optional<int> withinDays;
    std::optional<double> withinHours;
    QStringList regs;
    bool oilAlerts = false;  // the oil-alert findings as CSV instead of the limits
};

// A usage error: the message, and a pointer to --help.
int usageError(QTextStream& err, const QString& message) {
    err << "velmora-due: " << message << "\nTry 'velmora-due --help' for more information.\n";
    err.flush();
    return 2;
}

data::MaybeFailure readOptions(const QStringList& args, Options* o) {
    for (int i = 0; i < args.size(); ++i) {
        cli::OptionWord word = cli::splitOptionWord(args[i]);
        const QString& name = word.name;
        static const QStringList known = {"--data", "--within-days", "--within-hours", "--reg",
                                          "--csv",  "--pdf",         "--settings"};
        if (name == u"--oil-alerts" && !word.inlineValue) {
            o->oilAlerts = true;
            continue;
        }
        if (!known.contains(name))
            return cli::wrongCommandLine(QStringLiteral("unknown argument '%1'").arg(args[i]));
        if (!cli::takeOptionValue(word, args, i))
            return cli::wrongCommandLine(QStringLiteral("the option %1 needs a value").arg(name));
        const QString& value = word.value;
        if (name == u"--data") {
            o->data = value;
        } else if (name == u"--csv") {
            o->csv = value;
        } else if (name == u"--pdf") {
            o->pdf = value;
        } else if (name == u"--settings") {
            o->settings = value;
        } else if (name == u"--reg") {
            o->regs << value;
        } else if (name == u"--within-days") {
            bool ok = false;
            const int days = value.trimmed().toInt(&ok);
            if (!ok || days < 0)
                return cli::wrongCommandLine(
                    QStringLiteral("--within-days takes a whole number of days, 0 or more, "
                                   "not '%1'")
                        .arg(value));
            o->withinDays = days;
        } else {
            bool ok = false;
            const double hours = value.trimmed().toDouble(&ok);
            if (!ok || !std::isfinite(hours) || hours < 0)
                return cli::wrongCommandLine(
                    QStringLiteral("--within-hours takes a number of flight hours, 0 or "
                                   "more, not '%1'")
                        .arg(value));
            o->withinHours = hours;
        }
    }
    if (o->data.isEmpty())
        return cli::wrongCommandLine(QStringLiteral("name the data folder with --data DIR"));
    if (!o->csv.isEmpty() && !o->pdf.isEmpty())
        return cli::wrongCommandLine(
            QStringLiteral("write either --csv OUT or --pdf OUT, not both"));
    if (o->oilAlerts && !o->pdf.isEmpty())
        return cli::wrongCommandLine(QStringLiteral(
            "--oil-alerts writes the oil-alert findings as CSV; the PDF holds them always"));
    return std::nullopt;
}

}  // namespace

const cli::ProgramHelp& dueHelp() {
    static const cli::ProgramHelp help{
        QStringLiteral("velmora-due"),
        {QStringLiteral("--data DIR [--within-days N] [--within-hours N] [--reg REG]...\n"
                        "[--settings FILE] [--csv OUT | --pdf OUT]"),
         QStringLiteral("--data DIR --oil-alerts [--reg REG]... [--csv OUT]")},
        QStringLiteral(
            "Writes what comes due across the fleet of DIR/Timemgr.mdb, by due date, as the\n"
            "Due List screen shows it: as CSV on standard output, or into OUT as CSV or PDF.\n"
            "Dates of flight time, landings, cycles and RIN are projected from each aircraft's\n"
            "daily use: from its entry journal over the company's averaging days (90 unless\n"
            "--settings names another), or its planned use while the journal is shorter than\n"
            "two weeks (or, for a total its journal has no line of, its planned figure).\n"
            "Beside the limits stand the open and recurring tasks of the register of\n"
            "directives and inspections (see velmora-ad), each with the figure that comes\n"
            "first: hours on its meter as type IN, months MO, landings LD, cycles CY, RIN RN;\n"
            "the filters apply to them as to the limits. The PDF ends with the components whose "
            "newest oil sample is over an alert level, as\n"
            "the screen lists them under the grid; --oil-alerts writes those as CSV instead\n"
            "of the limits. Needs no display.\n"),
        {
            {QStringLiteral("data"),
             {},
             QStringLiteral("DIR"),
             QStringLiteral("the data folder that holds Timemgr.mdb, or a server's URI")},
            {QStringLiteral("within-days"),
             {},
             QStringLiteral("N"),
             QStringLiteral("only limits due within N days")},
            {QStringLiteral("within-hours"),
             {},
             QStringLiteral("N"),
             QStringLiteral("only flight-time limits with N hours or less left")},
            {QStringLiteral("reg"),
             {},
             QStringLiteral("REG"),
             QStringLiteral("only this aircraft (repeat for several)")},
            {QStringLiteral("settings"),
             {},
             QStringLiteral("FILE"),
             QStringLiteral("the company settings (SetupPP.mdb) with the warning levels")},
            {QStringLiteral("csv"),
             {},
             QStringLiteral("OUT"),
             QStringLiteral("write CSV into OUT instead of standard output")},
            {QStringLiteral("pdf"),
             {},
             QStringLiteral("OUT"),
             QStringLiteral("write the printed list into OUT as PDF")},
            {QStringLiteral("oil-alerts"),
             {},
             {},
             QStringLiteral("write the oil-alert findings as CSV (registration, component,\n"
                            "sample date, findings) instead of the limits")},
        },
        QStringLiteral(
            "With both --within-days and --within-hours a limit within either is listed;\n"
            "overdue limits always are, and with --within-days so are limits without a date\n"
            "that are due soon by their amount. --reg chooses the aircraft of the oil-alert\n"
            "findings too. Dates in CSV are written yyyy-MM-dd, in the PDF as on the screens.\n"
            "Without --settings the warning levels are the defaults: due soon within 10% of\n"
            "the life or 30 days.\n"
            "\n"
            "Exit status: 0 when the list was written, an empty one too; 1 when the data\n"
            "folder, its files or the output cannot be read or written; 2 on a wrong option.\n")};
    return help;
}

int runDueCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    Options o;
    if (const auto failure = readOptions(arguments, &o))
        return usageError(err, failure->text);
    auto fail = [&err](const QString& message) {
        err << "velmora-due: " << message << "\n";
        err.flush();
        return 1;
    };
    due::DueListRequest request;
    request.dataPath = data::dataPathOf(o.data);
    if (data::isMissingFolder(request.dataPath))
        return fail(QStringLiteral("the data folder %1 does not exist")
                        .arg(QDir::toNativeSeparators(o.data)));
    request.companyFile = o.settings;
    request.utilisation = due::journalledUtilisation(utilisation::averageDaysOf(o.settings));
    request.moreLines = tasks::taskDueLines();
    std::shared_ptr<due::DueList> list;
    try {
        list = due::loadDueList(request);
    } catch (const data::DbError& e) {
        return fail(e.text());
    }
    due::DueFilter filter;
    filter.withinDays = o.withinDays;
    filter.withinHours = o.withinHours;
    if (!o.regs.isEmpty()) {
        filter.regNums = o.regs;
        // An aircraft that is not on file is said, but is no error: its list is empty.
        QSet<QString> known;
        for (const due::DueAircraft& a : list->aircraft)
            known.insert(data::textKey(a.regNum));
        for (const QString& reg : o.regs) {
            if (!known.contains(data::textKey(reg)))
                err << "velmora-due: no aircraft " << reg << " in "
                    << QDir::toNativeSeparators(o.data) << "\n";
        }
        err.flush();
    }
    due::DueListTable table;
    table.setRows(list, due::selectDue(*list, filter));
    std::vector<int> columns(due::DueListTable::ColumnCount);
    std::iota(columns.begin(), columns.end(), 0);
    // The oil-alert findings, of the aircraft chosen, for the PDF and for --oil-alerts.
    due::OilAlertTable alerts;
    if (o.oilAlerts || !o.pdf.isEmpty()) {
        try {
            alerts.setAlerts(
                due::alertsOfAircraft(due::readOilAlerts(request.dataPath), filter.regNums));
        } catch (const data::DbError& e) {
            return fail(e.text());
        }
    }

    if (!o.pdf.isEmpty()) {
        due::DuePrint print;
        print.filter = filter;
        print.printed = QDateTime::currentDateTime();
        print.oilAlerts = &alerts;
        if (const auto failure =
                exporting::writeTablePdf(due::dueListPrintJob(table, columns, print), o.pdf))
            return fail(failure->text);
        return 0;
    }
    const QByteArray csv =
        o.oilAlerts ? due::oilAlertsCsv(alerts) : due::dueListCsv(table, columns);
    if (!o.csv.isEmpty()) {
        if (const auto failure = exporting::writeCsvFile(o.csv, csv))
            return fail(failure->text);
        return 0;
    }
    out << QString::fromUtf8(csv);
    out.flush();
    return 0;
}

}  // namespace velmora::duetool
