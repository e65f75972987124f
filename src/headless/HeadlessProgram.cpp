#include "HeadlessProgram.h"

#include "cli/StandardOutput.h"
#include "data/DataFiles.h"

#include <QGuiApplication>

#include <cstdio>

namespace velmora::cli {

namespace {

// The value of --data on the command line (the form the commands take), if any.
QString dataOption(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--data" && i + 1 < argc)
            return QString::fromLocal8Bit(argv[i + 1]);
        if (arg.startsWith("--data="))
            return QString::fromLocal8Bit(arg.mid(7));
    }
    return {};
}

}  // namespace

int runHeadlessProgram(int argc, char** argv, const ProgramHelp& help,
                       const HeadlessCommand& command) {
    if (const auto status = handleStandardOptions(argc, argv, help))
        return *status;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The server starts the session while the application sets itself up.
    data::startConnectingEarly(dataOption(argc, argv));
    QGuiApplication app(argc, argv);
    StandardOutput standardOutput;
    QTextStream out(&standardOutput);
    QTextStream err(stderr);
    const int status = command(app.arguments().mid(1), out, err);
    out.flush();
    return outputStatus(help.name, standardOutput, status);
}

}  // namespace velmora::cli
