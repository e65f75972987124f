// velmora-ad: the register of directives and inspection tasks, headless.
#include "AdCommand.h"
#include "cli/StandardOutput.h"

#include <QGuiApplication>
#include <QTextStream>

int main(int argc, char** argv) {
    if (const auto status =
            velmora::cli::handleStandardOptions(argc, argv, velmora::adtool::adHelp()))
        return *status;
    // No display is needed: a PDF is painted offscreen unless a platform is named.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    velmora::cli::StandardOutput standardOutput;
    QTextStream out(&standardOutput);
    QTextStream err(stderr);
    const int status = velmora::adtool::runAdCommand(app.arguments().mid(1), out, err);
    out.flush();
    return velmora::cli::outputStatus(QStringLiteral("velmora-ad"), standardOutput, status);
}
