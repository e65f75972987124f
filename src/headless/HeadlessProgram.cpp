#include "HeadlessProgram.h"

#include "cli/StandardOutput.h"

#include <QGuiApplication>

#include <cstdio>

namespace velmora::cli {

int runHeadlessProgram(int argc, char** argv, const ProgramHelp& help,
                       const HeadlessCommand& command) {
    if (const auto status = handleStandardOptions(argc, argv, help))
        return *status;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    StandardOutput standardOutput;
    QTextStream out(&standardOutput);
    QTextStream err(stderr);
    const int status = command(app.arguments().mid(1), out, err);
    out.flush();
    return outputStatus(help.name, standardOutput, status);
}

}  // namespace velmora::cli
