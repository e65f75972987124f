#include "DemoCommand.h"

#include "DemoFiles.h"
#include "DemoFolder.h"
#include "StagingFolder.h"
#include "cli/OptionWord.h"
#include "data/DataFiles.h"
#include "data/DbError.h"
#include "reportfiles/ReportDefinition.h"

#include <QDir>
#include <QFileInfo>

#include <exception>

namespace velmora::demo {

namespace {

const QString kUsage = QStringLiteral(
    "usage: velmora-demo [--empty] FOLDER\n"
    "Creates Timemgr.mdb and HeliPart.mdb in FOLDER (made when missing), filled with a demo\n"
    "fleet of four aircraft, or with no rows at all with --empty. A folder that already\n"
    "holds either file is left unchanged.\n");

struct Arguments {
    bool empty = false;
    bool help = false;
    QString folder;
};

data::MaybeFailure parse(const QStringList& args, Arguments* a) {
    for (const QString& arg : args) {
        if (arg == u"--empty") {
            a->empty = true;
        } else if (arg == u"--help" || arg == u"-h") {
            a->help = true;
        } else if (arg.startsWith(u'-') && arg.size() > 1) {
            return cli::wrongCommandLine(QStringLiteral("unknown option '%1'").arg(arg));
        } else if (a->folder.isNull()) {
            a->folder = arg;
        } else {
            return cli::wrongCommandLine(QStringLiteral("only one folder can be given"));
        }
    }
    if (!a->help && a->folder.isEmpty())
        return cli::wrongCommandLine(QStringLiteral("no folder was given"));
    return std::nullopt;
}

QString summaryLine(const QString& folder, bool empty, const DemoSummary& s) {
    if (empty)
        return QStringLiteral("velmora-demo: created empty Timemgr.mdb and HeliPart.mdb in %1\n")
            .arg(folder);
    return QStringLiteral(
               "velmora-demo: created Timemgr.mdb and HeliPart.mdb in %1: %2 aircraft, %3 "
               "components (%4 overdue, %5 not installed), %6 oil samples, templates for %7 "
               "models of %8 makes (%9 rows)\n")
        .arg(folder)
        .arg(s.aircraft)
        .arg(s.components)
        .arg(s.overdue)
        .arg(s.notInstalled)
        .arg(s.oilSamples)
        .arg(s.templateModels)
        .arg(s.templateMakes)
        .arg(s.templateRows);
}

}  // namespace

int runDemoCommand(const QStringList& args, const QDate& today, QString* out, QString* err) {
    Arguments a;
    if (const auto problem = parse(args, &a)) {
        *err = QStringLiteral("velmora-demo: %1\n").arg(problem->text) + kUsage;
        return 2;
    }
    if (a.help) {
        *out = kUsage;
        return 0;
    }
    const QFileInfo info(a.folder);
    if (info.exists() && !info.isDir()) {
        *err = QStringLiteral("velmora-demo: %1 is a file, not a folder; nothing was changed.\n")
                   .arg(a.folder);
        return 1;
    }
    const QStringList existing = existingDataFiles(a.folder);
    if (!existing.isEmpty()) {
        *err = QStringLiteral("velmora-demo: %1 already holds %2; nothing was changed.\n")
                   .arg(a.folder, existing.join(QStringLiteral(" and ")));
        return 1;
    }
    // The files are made in a working folder and moved into place only when complete: a
    // run that is interrupted leaves no half-made data file behind.
    StagingFolder staging(a.folder);
    if (!staging.problem().isEmpty()) {
        *err = QStringLiteral("velmora-demo: %1.\n").arg(staging.problem());
        return 1;
    }
    QString failure;
    try {
        const DemoSummary s = createDemoFiles(staging.path(), a.empty, today);
        const auto moved =
            staging.moveInto({reports::kActualReportFile, reports::kForecastReportFile},
                             {data::files::kTemplates, data::files::kMain});
        if (!moved) {
            *out = summaryLine(a.folder, a.empty, s);
            return 0;
        }
        failure = moved->text;
    } catch (const data::DbError& e) {
        failure = QStringLiteral("error %1: %2").arg(e.code()).arg(e.text());
    } catch (const std::exception& e) {
        failure = QString::fromLocal8Bit(e.what());
    }
    *err =
        QStringLiteral("velmora-demo: %1\nNo demo files were left in %2.\n").arg(failure, a.folder);
    return 1;
}

}  // namespace velmora::demo
