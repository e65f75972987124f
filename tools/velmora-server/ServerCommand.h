#pragma once

#include <QStringList>

class QTextStream;

namespace velmora::servertool {

// velmora-server setup URI: sets up the group roles of the shared database the URI names and
// writes what it did to out, a failure to err. Returns the exit status: 0 done, 1 failed
// (nothing changed on the server), 2 wrong arguments.
int runServerCommand(const QStringList& args, QTextStream& out, QTextStream& err);

}  // namespace velmora::servertool
