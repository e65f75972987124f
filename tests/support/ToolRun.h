#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace velmora::testing {

// What a run of one of the command-line tools gave.
struct ToolRun {
    int status = -1;
    QString out, err;
};

// Runs a program to its end (a minute at most) and takes its output; with standardOutput,
// its standard output goes into that file instead (/dev/full, say).
inline ToolRun runTool(const QString& program, const QStringList& args,
                       const QString& standardOutput = {}) {
    QProcess p;
    if (!standardOutput.isEmpty())
        p.setStandardOutputFile(standardOutput);
    p.start(program, args);
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

}  // namespace velmora::testing
