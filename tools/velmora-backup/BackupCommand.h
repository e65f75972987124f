#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QTextStream;

namespace velmora::backuptool {

// What the command needs of its surroundings.
struct Environment {
    QString defaultFolder;  // the program folder when --folder is not given
    // Whether Velmora is running on the files of a program folder.
    std::function<bool(const QString& programFolder)> programRunning;
};

// velmora-backup [--folder DIR] list | restore NAME [--yes]. Reads the confirmation from
// in, writes the lists and reports to out and the messages to err. Returns the exit
// status: 0 done, 1 failed or not confirmed, 2 wrong arguments.
int runBackupCommand(const QStringList& args, const Environment& env, QTextStream& in,
                     QTextStream& out, QTextStream& err);

}  // namespace velmora::backuptool
