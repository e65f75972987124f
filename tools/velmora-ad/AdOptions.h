#pragma once

#include "data/Failure.h"

#include <QString>
#include <QStringList>

namespace velmora::adtool {

// A command line of velmora-ad, read.
struct AdOptions {
    QString command;  // import, list, status or apply
    QString data;
    QString file;  // import: the register file
    QStringList regs;
    QString settings;
    QString csv, pdf;
    bool skipBad = false;
};

// Reads the arguments after the program's name; a failure (see cli::wrongCommandLine())
// whose text is the reason otherwise.
[[nodiscard]] data::MaybeFailure readAdOptions(const QStringList& args, AdOptions* o);

}  // namespace velmora::adtool
