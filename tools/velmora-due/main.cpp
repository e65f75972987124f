// velmora-due: the fleet's due list, headless, for scripts and scheduled reports.
#include "DueCommand.h"
#include "cli/StandardOutput.h"

#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    if (const auto status =
            velmora::cli::handleStandardOptions(argc, argv, velmora::duetool::dueHelp()))
        return *status;
    // No display is needed: a PDF is painted offscreen unless a platform is named.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    velmora::cli::StandardOutput standardOutput;
    QTextStream out(&standardOutput);
    QTextStream err(stderr);
    const int status = velmora::duetool::runDueCommand(app.arguments().mid(1), out, err);
    out.flush();
    return velmora::cli::outputStatus(QStringLiteral("velmora-due"), standardOutput, status);
}
