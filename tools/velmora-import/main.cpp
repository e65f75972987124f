// velmora-import SOURCE.mdb DEST.mdb [--dry-run] [--codepage NAME]: converts a Jet database into a
// Velmora data file.
#include "ImportCommand.h"
#include "cli/StandardOutput.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QString out, err;
    const int rc = velmora::import::runImportCommand(app.arguments().mid(1), &out, &err);
    return velmora::cli::writeOutput(QStringLiteral("velmora-import"), out, err, rc);
}
