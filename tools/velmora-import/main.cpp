// velmora-import SOURCE.mdb DEST.mdb [--dry-run]: converts a Jet database into a Velmora
// data file.
#include "ImportCommand.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QString out, err;
    const int rc = velmora::import::runImportCommand(app.arguments().mid(1), &out, &err);
    std::fputs(out.toUtf8().constData(), stdout);
    std::fputs(err.toUtf8().constData(), stderr);
    return rc;
}
