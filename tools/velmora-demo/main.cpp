// velmora-demo [--empty] FOLDER: creates the data files of a demo fleet.
#include "DemoCommand.h"

#include <QCoreApplication>
#include <QDate>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QString out, err;
    const int rc =
        velmora::demo::runDemoCommand(app.arguments().mid(1), QDate::currentDate(), &out, &err);
    std::fputs(out.toUtf8().constData(), stdout);
    std::fputs(err.toUtf8().constData(), stderr);
    return rc;
}
