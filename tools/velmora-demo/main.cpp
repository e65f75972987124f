// velmora-demo [--empty] FOLDER: creates the data files of a demo fleet.
#include "DemoCommand.h"
#include "cli/StandardOptions.h"
#include "cli/StandardOutput.h"

#include <QCoreApplication>
#include <QDate>

namespace {

const velmora::cli::ProgramHelp kHelp{
    QStringLiteral("velmora-demo"),
    {QStringLiteral("[--empty] FOLDER")},
    QStringLiteral(
        "Creates Timemgr.mdb and HeliPart.mdb in FOLDER (made when missing), filled with a\n"
        "demo fleet of four aircraft and its component templates, and the report\n"
        "definitions 1.rpt and 2.rpt where FOLDER lacks them. A folder that already holds\n"
        "either data file is left unchanged.\n"),
    {{QStringLiteral("empty"), {}, {}, QStringLiteral("create the data files without any rows")}},
    QStringLiteral("Exit status: 0 when the files were made, 1 when they could not be (nothing\n"
                   "is left behind), 2 on wrong arguments.\n")};

}  // namespace

int main(int argc, char** argv) {
    if (const auto status = velmora::cli::handleStandardOptions(argc, argv, kHelp))
        return *status;
    QCoreApplication app(argc, argv);
    QString out, err;
    const int rc =
        velmora::demo::runDemoCommand(app.arguments().mid(1), QDate::currentDate(), &out, &err);
    return velmora::cli::writeOutput(kHelp.name, out, err, rc);
}
