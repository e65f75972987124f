#include "ReportCommand.h"

#include "cli/OptionWord.h"
#include "components/LifeLimitedStatus.h"
#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/DbError.h"
#include "due/DueListSource.h"
#include "export/Csv.h"
#include "export/TablePrinter.h"
#include "reportfiles/ReportDefinition.h"
#include "reports/ReportPreview.h"
#include "reports/ReportSelection.h"
#include "utilisation/UtilisationSource.h"

#include <QDateTime>
#include <QDir>
#include <QTextStream>

namespace velmora::reporttool {

namespace {

struct Options {
    bool forecast = false;
    bool llp = false;
    bool help = false;
    QString data, pdf, csv, company, phone, settings;
    QString reg;
    bool hasReg = false;
};

data::MaybeFailure readOptions(const QStringList& args, Options* o) {
    for (int i = 0; i < args.size(); ++i) {
        cli::OptionWord word = cli::splitOptionWord(args[i]);
        const QString& a = word.name;
        const bool inlineValue = word.inlineValue;
        if (a == u"--forecast" && !inlineValue) {
            o->forecast = true;
            continue;
        }
        if (a == u"--llp" && !inlineValue) {
            o->llp = true;
            continue;
        }
        if ((a == u"--help" || a == u"-h") && !inlineValue) {
            o->help = true;
            continue;
        }
        QString* target = nullptr;
        if (a == u"--data")
            target = &o->data;
        else if (a == u"--reg")
            target = &o->reg;
        else if (a == u"--pdf")
            target = &o->pdf;
        else if (a == u"--csv")
            target = &o->csv;
        else if (a == u"--company")
            target = &o->company;
        else if (a == u"--phone")
            target = &o->phone;
        else if (a == u"--settings")
            target = &o->settings;
        if (!target)
            return cli::wrongCommandLine(QStringLiteral("Unknown option \"%1\".").arg(args[i]));
        if (!cli::takeOptionValue(word, args, i))
            return cli::wrongCommandLine(QStringLiteral("The option %1 needs a value.").arg(a));
        *target = word.value;
        if (target == &o->reg)
            o->hasReg = true;
    }
    if (o->help)
        return std::nullopt;
    if (o->data.isEmpty())
        return cli::wrongCommandLine(QStringLiteral("Name the data folder with --data FOLDER."));
    if (!o->hasReg)
        return cli::wrongCommandLine(QStringLiteral("Name the aircraft with --reg REG."));
    if (o->llp && o->forecast)
        return cli::wrongCommandLine(
            QStringLiteral("--llp and --forecast are different reports: name one."));
    if (o->llp) {
        if (!o->pdf.isEmpty() && !o->csv.isEmpty())
            return cli::wrongCommandLine(
                QStringLiteral("Name one output: --pdf OUT.pdf or --csv OUT.csv."));
        return std::nullopt;
    }
    if (!o->csv.isEmpty())
        return cli::wrongCommandLine(
            QStringLiteral("--csv is for the life-limited parts report (--llp)."));
    if (o->pdf.isEmpty())
        return cli::wrongCommandLine(
            QStringLiteral("Name the PDF file to write with --pdf OUT.pdf."));
    return std::nullopt;
}

int fail(QTextStream& err, const QString& message) {
    err << "velmora-report: " << message << "\n";
    err.flush();
    return 1;
}

// The status of the aircraft's life-limited parts, with the due list's daily use and the
// company's warning levels, as PDF, as a CSV file or on standard output.
int runLifeLimitedReport(const Options& o, const QString& dataPath, QTextStream& out,
                         QTextStream& err) {
    try {
        const due::WarningSettings warnings = due::readWarningSettingsFile(o.settings);
        auto db = data::Database::open(
            data::resolvePathCaseInsensitive(data::dataFileName(dataPath, data::files::kMain)));
        const auto use = due::journalledUtilisation(utilisation::kDefaultAverageDays)(*db);
        const components::LifeLimitedStatus status =
            components::readLifeLimitedStatus(*db, o.reg, *use, warnings, QDate::currentDate());
        const auto table = components::lifeLimitedTable(status);
        if (!o.pdf.isEmpty()) {
            const exporting::TablePrintJob job =
                components::lifeLimitedPrintJob(status, *table, QDateTime::currentDateTime());
            if (const auto failure = exporting::writeTablePdf(job, o.pdf))
                return fail(err, failure->text);
            out << "Wrote " << QDir::toNativeSeparators(o.pdf) << "\n";
            out.flush();
            return 0;
        }
        std::vector<int> columns;
        for (int c = 0; c < components::LlpColumnCount; ++c)
            columns.push_back(c);
        const QByteArray csv = exporting::tableToCsv(*table, columns);
        if (o.csv.isEmpty()) {
            out << QString::fromUtf8(csv);
            out.flush();
            return 0;
        }
        if (const auto failure = exporting::writeCsvFile(o.csv, csv))
            return fail(err, failure->text);
        out << "Wrote " << QDir::toNativeSeparators(o.csv) << "\n";
        out.flush();
        return 0;
    } catch (const data::DbError& e) {
        return fail(err, QStringLiteral("%1 (error %2)").arg(e.text()).arg(e.code()));
    }
}

}  // namespace

QString usageText() {
    return QStringLiteral(
        "Usage: velmora-report [--forecast] --data FOLDER --reg REG --pdf OUT.pdf\n"
        "                      [--company NAME] [--phone PHONE] [--settings FILE]\n"
        "       velmora-report --llp --data FOLDER --reg REG [--pdf OUT.pdf | --csv OUT.csv]\n"
        "                      [--settings FILE]\n"
        "Prints the actual remaining-life report of an aircraft (FOLDER/1.rpt), or with\n"
        "--forecast the forecast report (FOLDER/2.rpt), from FOLDER/Timemgr.mdb into a PDF.\n"
        "With --llp, the status of the aircraft's life-limited parts as PDF or CSV (on\n"
        "standard output when neither file is named).\n");
}

int runReportCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    Options o;
    if (const auto failure = readOptions(arguments, &o)) {
        err << "velmora-report: " << failure->text << "\n" << usageText();
        err.flush();
        return 1;
    }
    if (o.help) {
        out << usageText();
        out.flush();
        return 0;
    }
    // A data path on a database server prints the program's own report definitions.
    const QString dataPath = data::dataPathOf(o.data);
    if (data::isMissingFolder(dataPath)) {
        err << "velmora-report: the data folder " << QDir::toNativeSeparators(o.data)
            << " does not exist.\n";
        err.flush();
        return 1;
    }
    if (o.llp)
        return runLifeLimitedReport(o, dataPath, out, err);
    const QString reportName =
        o.forecast ? reports::kForecastReportFile : reports::kActualReportFile;
    reports::ReportJob job;
    job.reportFile = data::resolvePathCaseInsensitive(data::dataFileName(dataPath, reportName));
    job.dataFile = data::files::kMain;
    job.selectionFormula = reports::selectionFormulaFor(
        o.forecast ? reports::kForecastSource : reports::kRemainingSource, o.reg);
    job.companyName = o.company;
    job.companyPhone = o.phone;
    try {
        job.warnings = due::readWarningSettingsFile(o.settings);
    } catch (const data::DbError& e) {
        err << "velmora-report: " << e.text() << "\n";
        err.flush();
        return 1;
    }
    // A registration that selects no aircraft is an error, not a report saying so: a
    // script must not take an empty report for the aircraft's.
    reports::ReportModel model;
    data::MaybeFailure failure = reports::loadReportModel(job, &model);
    if (!failure && !model.aircraftFound)
        failure = data::Failure{
            data::err::NoCurrentRecord,
            QStringLiteral("there is no aircraft with the registration number \"%1\" in %2; "
                           "no PDF was written.")
                .arg(o.reg, QDir::toNativeSeparators(model.dataFile))};
    if (!failure)
        failure = reports::writeReportPdf(model, o.pdf);
    if (failure) {
        err << "velmora-report: " << failure->text << "\n";
        err.flush();
        return 1;
    }
    out << "Wrote " << QDir::toNativeSeparators(o.pdf) << "\n";
    out.flush();
    return 0;
}

}  // namespace velmora::reporttool
