#pragma once

#include "data/Failure.h"

#include <QString>
#include <QStringList>

namespace velmora::componenttool {

// A command line of velmora-component, read.
struct ComponentOptions {
    QString command;  // remove, install, overhaul, stores or history
    QString data;
    QString reg, pn, sn, date, reason, to, ref, kind;
    QStringList reset;
    int item = 0, meter = 1;
    bool hasItem = false, acceptReached = false;
    QString csv, pdf;
};

// Reads the arguments after the program's name; a failure (see cli::wrongCommandLine())
// whose text is the reason otherwise.
[[nodiscard]] data::MaybeFailure readComponentOptions(const QStringList& args, ComponentOptions* o);

}  // namespace velmora::componenttool
