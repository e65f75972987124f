#include "AdCommand.h"

#include "AdOptions.h"
#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/DbError.h"
#include "data/TextKey.h"
#include "due/DueListSource.h"
#include "export/Csv.h"
#include "export/TableOutput.h"
#include "tasks/ComplianceStatus.h"
#include "tasks/Fleet.h"
#include "tasks/RegisterCsv.h"
#include "tasks/RegisterTable.h"
#include "tasks/StatusTable.h"
#include "tasks/TaskStore.h"
#include "tasks/TaskWrites.h"
#include "utilisation/UtilisationSettings.h"
#include "utilisation/UtilisationSource.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QSet>
#include <QTextStream>

namespace velmora::adtool {

namespace {

const QString kProgram = QStringLiteral("velmora-ad");

int usageError(QTextStream& err, const QString& message) {
    err << kProgram << ": " << message << "\nTry 'velmora-ad --help' for more information.\n";
    err.flush();
    return 2;
}

int fail(QTextStream& err, const QString& message) {
    err << kProgram << ": " << message << "\n";
    err.flush();
    return 1;
}

int writeTable(const AdOptions& o, const QAbstractItemModel& model, const QString& title,
               const QString& subtitle, QTextStream& out, QTextStream& err,
               const std::vector<int>& printed = {}) {
    if (const auto failure =
            exporting::writeTableOutput({o.pdf, o.csv}, model, title, subtitle, out, printed))
        return fail(err, failure->text);
    return 0;
}

int runImport(const AdOptions& o, data::Database& db, QTextStream& out, QTextStream& err) {
    QFile file(o.file);
    if (!file.open(QIODevice::ReadOnly))
        return fail(err, QStringLiteral("the register file %1 cannot be read: %2")
                             .arg(QDir::toNativeSeparators(o.file), file.errorString()));
    const tasks::ImportReport r = tasks::importRegister(db, file.readAll(), o.skipBad);
    for (const tasks::BadLine& b : r.bad)
        err << QDir::toNativeSeparators(o.file) << ":" << b.line << ": " << b.problem << "\n";
    for (const QString& w : r.warnings)
        err << kProgram << ": warning: " << w << "\n";
    err.flush();
    if (!r.written) {
        if (!r.bad.empty())
            return fail(err, QStringLiteral("%1 of %2 lines are bad: nothing was imported%3")
                                 .arg(r.bad.size())
                                 .arg(r.read)
                                 .arg(r.read > static_cast<int>(r.bad.size())
                                          ? QStringLiteral(" (--skip-bad imports the good ones)")
                                          : QString()));
        out << "The file holds no task: nothing was imported.\n";
        out.flush();
        return 0;
    }
    out << "Imported " << r.imported << " of " << r.read << " tasks; " << r.applied
        << " compliance records added.\n";
    if (!r.bad.empty())
        out << r.bad.size() << " bad lines skipped.\n";
    out.flush();
    return r.bad.empty() ? 0 : 3;
}

int runList(const AdOptions& o, data::Database& db, QTextStream& out, QTextStream& err) {
    const tasks::Register reg = tasks::readRegister(db);
    if (o.pdf.isEmpty()) {
        const QByteArray csv = tasks::registerCsv(reg.tasks);
        if (!o.csv.isEmpty()) {
            if (const auto failure = exporting::writeCsvFile(o.csv, csv))
                return fail(err, failure->text);
            return 0;
        }
        out << QString::fromUtf8(csv);
        out.flush();
        return 0;
    }
    tasks::RegisterTable table;
    table.setTasks(reg.tasks);
    return writeTable(o, table, QStringLiteral("Register of Directives and Inspections"),
                      QStringLiteral("%1 tasks, printed %2")
                          .arg(reg.tasks.size())
                          .arg(QDateTime::currentDateTime().toString(Qt::ISODate)),
                      out, err);
}

int runStatus(const AdOptions& o, data::Database& db, QTextStream& out, QTextStream& err) {
    const due::WarningSettings warnings = due::readWarningSettingsFile(o.settings);
    const auto use = due::journalledUtilisation(utilisation::averageDaysOf(o.settings))(db);
    const QDate today = QDate::currentDate();
    std::optional<QString> only;
    if (o.regs.size() == 1)
        only = o.regs.front();
    auto status = std::make_shared<tasks::ComplianceStatus>(
        tasks::readComplianceStatus(db, *use, warnings, today, only));
    std::vector<int> rows;
    QSet<QString> wanted, known;
    for (const QString& r : o.regs)
        wanted.insert(data::textKey(r.trimmed()));
    for (const tasks::FleetAircraft& a : status->aircraft)
        known.insert(data::textKey(a.regNum));
    for (const QString& r : o.regs) {
        if (!known.contains(data::textKey(r.trimmed())))
            err << kProgram << ": no aircraft " << r << " in " << QDir::toNativeSeparators(o.data)
                << "\n";
    }
    err.flush();
    for (size_t i = 0; i < status->lines.size(); ++i) {
        const QString reg = data::textKey(status->aircraftOf(status->lines[i]).regNum);
        if (wanted.isEmpty() || wanted.contains(reg))
            rows.push_back(static_cast<int>(i));
    }
    tasks::StatusTable table;
    table.setLines(status, rows);
    QString title = QStringLiteral("AD Status");
    // A page holds what the owner's records must, with the date the next action is
    // expected; the remaining figure is in the CSV. The registration is in the title of
    // one aircraft's report.
    std::vector<int> printed;
    if (o.regs.size() == 1)
        title += QStringLiteral(" - ") + o.regs.front().trimmed().toUpper();
    else
        printed.push_back(tasks::StatusTable::Registration);
    for (int c :
         {tasks::StatusTable::Kind, tasks::StatusTable::Number, tasks::StatusTable::Revision,
          tasks::StatusTable::RevisionDate, tasks::StatusTable::Title,
          tasks::StatusTable::AppliesTo, tasks::StatusTable::Status, tasks::StatusTable::Method,
          tasks::StatusTable::LastDone, tasks::StatusTable::Recurring,
          tasks::StatusTable::NextDueTime, tasks::StatusTable::NextDueDate,
          tasks::StatusTable::Expected, tasks::StatusTable::Level})
        printed.push_back(c);
    return writeTable(o, table, title,
                      QStringLiteral("As of %1, printed %2: %3 tasks.")
                          .arg(today.toString(Qt::ISODate), QDateTime::currentDateTime().toString(
                                                                QStringLiteral("yyyy-MM-dd HH:mm")))
                          .arg(rows.size()),
                      out, err, printed);
}

int runApply(const AdOptions& o, data::Database& db, QTextStream& out, QTextStream& err) {
    int added = 0;
    if (o.regs.isEmpty())
        added = tasks::applyRegister(db);
    for (const QString& r : o.regs) {
        if (tasks::readAircraft(db, r.trimmed()).empty()) {
            err << kProgram << ": no aircraft " << r << " in " << QDir::toNativeSeparators(o.data)
                << "\n";
            err.flush();
            continue;
        }
        added += tasks::applyRegister(db, r.trimmed());
    }
    out << added << " compliance records added.\n";
    out.flush();
    return 0;
}

}  // namespace

const cli::ProgramHelp& adHelp() {
    static const cli::ProgramHelp help{
        kProgram,
        {QStringLiteral("import --data DIR_OR_URI FILE.csv [--skip-bad]"),
         QStringLiteral("list --data DIR_OR_URI [--csv OUT | --pdf OUT]"),
         QStringLiteral("status --data DIR_OR_URI [--reg REG]... [--settings FILE]\n"
                        "[--csv OUT | --pdf OUT]"),
         QStringLiteral("apply --data DIR_OR_URI [--reg REG]...")},
        QStringLiteral(
            "Keeps the register of airworthiness directives, service bulletins and inspection\n"
            "tasks of the data folder's Timemgr.mdb (or a server's data set).\n"
            "import reads a register file (docs/task-register.md names its columns) and\n"
            "stores its tasks, applied to the fleet, in one transaction; a bad line imports\n"
            "nothing unless --skip-bad is given. list writes the register in the same\n"
            "columns. status writes the AD status report: every task on every aircraft (or\n"
            "those named) with its status, method of compliance, last accomplishment and\n"
            "next due time and date, projected from the daily use as the due list does.\n"
            "apply adds the compliance records an aircraft or component added since lacks.\n"),
        {
            {QStringLiteral("data"),
             {},
             QStringLiteral("DIR_OR_URI"),
             QStringLiteral("the data folder that holds Timemgr.mdb, or a server's URI")},
            {QStringLiteral("skip-bad"),
             {},
             QString(),
             QStringLiteral("import: import the good lines, list the bad")},
            {QStringLiteral("reg"),
             {},
             QStringLiteral("REG"),
             QStringLiteral("status, apply: only this aircraft (repeat for several)")},
            {QStringLiteral("settings"),
             {},
             QStringLiteral("FILE"),
             QStringLiteral("status: the company settings (SetupPP.mdb) with the warning "
                            "levels")},
            {QStringLiteral("csv"),
             {},
             QStringLiteral("OUT"),
             QStringLiteral("write CSV into OUT instead of standard output")},
            {QStringLiteral("pdf"),
             {},
             QStringLiteral("OUT"),
             QStringLiteral("write the printed list into OUT as PDF")},
        },
        QStringLiteral(
            "Bad lines are written to standard error as FILE:LINE: REASON.\n"
            "\n"
            "Exit status: 0 done; 3 imported, but bad lines were skipped; 1 nothing imported,\n"
            "or the data, a file or the output cannot be read or written; 2 a wrong command\n"
            "line.\n")};
    return help;
}

int runAdCommand(const QStringList& arguments, QTextStream& out, QTextStream& err) {
    AdOptions o;
    if (const auto failure = readAdOptions(arguments, &o))
        return usageError(err, failure->text);
    const QString dataPath = data::dataPathOf(o.data);
    if (data::isMissingFolder(dataPath))
        return fail(err, QStringLiteral("the data folder %1 does not exist")
                             .arg(QDir::toNativeSeparators(o.data)));
    const QString main =
        data::resolvePathCaseInsensitive(data::dataFileName(dataPath, data::files::kMain));
    try {
        auto db = data::Database::open(main);
        if (o.command == u"import")
            return runImport(o, *db, out, err);
        if (o.command == u"list")
            return runList(o, *db, out, err);
        if (o.command == u"status")
            return runStatus(o, *db, out, err);
        return runApply(o, *db, out, err);
    } catch (const data::DbError& e) {
        return fail(err, QStringLiteral("%1 (error %2)").arg(e.text()).arg(e.code()));
    }
}

}  // namespace velmora::adtool
