#pragma once

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

// Reads the arguments after the program's name; false with the reason in *error.
bool readAdOptions(const QStringList& args, AdOptions* o, QString* error);

}  // namespace velmora::adtool
