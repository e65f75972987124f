#include "ReportCommand.h"

#include "cli/OptionWord.h"
#include "data/DataFiles.h"
#include "data/DbError.h"
#include "due/DueListSource.h"
#include "reportfiles/ReportDefinition.h"
#include "reports/ReportPreview.h"
#include "reports/ReportSelection.h"

#include <QDir>
#include <QTextStream>

namespace velmora::reporttool {

namespace {

struct Options {
    bool forecast = false;
    bool help = false;
    QString data, pdf, company, phone, settings;
    QString reg;
    bool hasReg = false;
};

bool readOptions(const QStringList& args, Options* o, QString* error) {
    for (int i = 0; i < args.size(); ++i) {
        cli::OptionWord word = cli::splitOptionWord(args[i]);
        const QString& a = word.name;
        const bool inlineValue = word.inlineValue;
        if (a == u"--forecast" && !inlineValue) {
            o->forecast = true;
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
        else if (a == u"--company")
            target = &o->company;
        else if (a == u"--phone")
            target = &o->phone;
        else if (a == u"--settings")
            target = &o->settings;
        if (!target) {
            *error = QStringLiteral("Unknown option \"%1\".").arg(args[i]);
            return false;
        }
        if (!cli::takeOptionValue(word, args, i)) {
            *error = QStringLiteral("The option %1 needs a value.").arg(a);
            return false;
        }
        *target = word.value;
        if (target == &o->reg)
            o->hasReg = true;
    }
    if (o->help)
        return true;
    if (o->data.isEmpty()) {
        *error = QStringLiteral("Name the data folder with --data FOLDER.");
        return false;
    }
    if (!o->hasReg) {
        *error = QStringLiteral("Name the aircraft with --reg REG.");
        return false;
    }
    if (o->pdf.isEmpty()) {
        *error = QStringLiteral("Name the PDF file to write with --pdf OUT.pdf.");
        return false;
    }
    return true;
}

}  // namespace

QString usageText() {
    return QStringLiteral(
        "Usage: velmora-report [--forecast] --data FOLDER --reg REG --pdf OUT.pdf\n"
        "                      [--company NAME] [--phone PHONE] [--settings FILE]\n"
        "Prints the actual remaining-life report of an aircraft (FOLDER/1.rpt), or with\n"
        "--forecast the forecast report (FOLDER/2.rpt), from FOLDER/Timemgr.mdb into a PDF.\n");
}

int runReportCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    Options o;
    QString error;
    if (!readOptions(arguments, &o, &error)) {
        err << "velmora-report: " << error << "\n" << usageText();
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
    bool ok = reports::loadReportModel(job, &model, &error);
    if (ok && !model.aircraftFound) {
        error = QStringLiteral(
                    "there is no aircraft with the registration number \"%1\" in %2; "
                    "no PDF was written.")
                    .arg(o.reg, QDir::toNativeSeparators(model.dataFile));
        ok = false;
    }
    if (!ok || !reports::writeReportPdf(model, o.pdf, &error)) {
        err << "velmora-report: " << error << "\n";
        err.flush();
        return 1;
    }
    out << "Wrote " << QDir::toNativeSeparators(o.pdf) << "\n";
    out.flush();
    return 0;
}

}  // namespace velmora::reporttool
