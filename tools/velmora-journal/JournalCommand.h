#pragma once

#include "cli/StandardOptions.h"

#include <QStringList>

class QTextStream;

namespace velmora::journaltool {

// The options, help and description of velmora-journal.
const cli::ProgramHelp& journalHelp();

// velmora-journal verify --data DIR [--settings FILE] [--anchor LINE:HASH]...
// velmora-journal list --data DIR [--reg REG] [--since DATE] [--csv]
// verify checks the entry journal of DIR/Timemgr.mdb and its anchors outside the file (in
// the settings file, defaultSettings unless --settings names one, in the backups, and typed)
// and says where it breaks; list prints its lines. Returns the exit status: 0 when the
// journal is intact (verify) or was listed, 1 with a message on err when it is not intact
// or the file cannot be read, 2 when the command line is wrong.
int runJournalCommand(const QStringList& arguments, QTextStream& out, QTextStream& err,
                      const QString& defaultSettings = {});

}  // namespace velmora::journaltool
