#pragma once

#include "cli/StandardOptions.h"

#include <QStringList>

class QTextStream;

namespace velmora::componenttool {

const cli::ProgramHelp& componentHelp();

// Runs velmora-component with the arguments after its name; returns the exit status.
int runComponentCommand(const QStringList& arguments, QTextStream& out, QTextStream& err);

}  // namespace velmora::componenttool
