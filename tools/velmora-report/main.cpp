// velmora-report: an aircraft's remaining-life report rendered headless into a PDF, for
// scripts and scheduled printing.
#include "ReportCommand.h"

#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv) {
    // No display is needed: the report is painted offscreen unless a platform is named.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return velmora::reporttool::runReportCommand(app.arguments().mid(1), out, err);
}
