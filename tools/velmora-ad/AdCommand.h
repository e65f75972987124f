#pragma once

#include "cli/StandardOptions.h"

#include <QStringList>

class QTextStream;

namespace velmora::adtool {

const cli::ProgramHelp& adHelp();

// Runs velmora-ad with the arguments after its name; returns the exit status.
int runAdCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);

}  // namespace velmora::adtool
