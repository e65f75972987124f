#pragma once

#include <QDate>
#include <QString>
#include <QStringList>

namespace velmora::demo {

// velmora-demo [--empty] FOLDER: creates the folder when needed and the main data file and
// template file in it, holding the demo fleet as of today (or no rows with --empty).
// Refuses a folder that already holds either file, and then changes nothing. The
// arguments exclude the program name. Returns the process exit status: 0 with a one-line
// summary in *out; 1 with "velmora-demo: TEXT" in *err on failure; 2 with the usage on
// wrong arguments.
int runDemoCommand(const QStringList& args, const QDate& today, QString* out, QString* err);

}  // namespace velmora::demo
