// velmora-server: sets up a PostgreSQL database shared by several workstations.
#include "ServerCommand.h"
#include "cli/StandardOptions.h"

#include <QCoreApplication>
#include <QTextStream>

namespace {

const velmora::cli::ProgramHelp kHelp{
    QStringLiteral("velmora-server"),
    {QStringLiteral("setup URI")},
    QStringLiteral(
        "Sets up the PostgreSQL database named by a postgresql:// URI for several\n"
        "workstations: makes the group roles velmora_read (screens and reports, nothing\n"
        "written), velmora_entry (meter and total entries, components, oil samples, planned\n"
        "use; journal lines added only; no changes of tables) and velmora_admin (templates,\n"
        "company settings, migrations; owns the data sets), each with the least privileges\n"
        "it needs, in one transaction. Run it as the server's administrator after the data\n"
        "set is on the server, and again after another is added. Users are then made\n"
        "members of one role (GRANT velmora_entry TO planner). Passwords come from\n"
        "~/.pgpass or PGPASSWORD, never from the URI.\n"),
    {},
    QStringLiteral("Exit status: 0 when set up, 1 on a failure (nothing is changed on the\n"
                   "server, the reason on standard error), 2 on wrong arguments.\n")};

}  // namespace

int main(int argc, char** argv) {
    if (const auto status = velmora::cli::handleStandardOptions(argc, argv, kHelp))
        return *status;
    QCoreApplication app(argc, argv);
    QTextStream out(stdout), err(stderr);
    const int status = velmora::servertool::runServerCommand(app.arguments().mid(1), out, err);
    out.flush();
    err.flush();
    return status;
}
