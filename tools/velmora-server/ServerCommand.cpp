#include "ServerCommand.h"

#include "data/DbError.h"
#include "data/pg/PgRoles.h"

#include <QTextStream>

namespace velmora::servertool {

int runServerCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.isEmpty()) {
        err << "velmora-server: a command is needed: setup URI (see --help)\n";
        return 2;
    }
    if (args.front() != u"setup") {
        err << "velmora-server: unknown command '" << args.front() << "' (see --help)\n";
        return 2;
    }
    if (args.size() != 2 || args[1].startsWith(u'-')) {
        err << "velmora-server: setup takes one postgresql:// URI (see --help)\n";
        return 2;
    }
    try {
        for (const QString& line : data::pg::setUpServerRoles(args[1]))
            out << line << '\n';
        out << "Make each user a member of one role, for example: GRANT velmora_entry TO "
               "planner;\n";
        return 0;
    } catch (const data::DbError& e) {
        err << "velmora-server: nothing was changed: " << e.text() << " (error " << e.code()
            << ")\n";
        return 1;
    }
}

}  // namespace velmora::servertool
