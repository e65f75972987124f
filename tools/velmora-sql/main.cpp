// velmora-sql FILE SQL: runs one statement against a Velmora data file.
#include "SqlCommand.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fputs("usage: velmora-sql FILE SQL\n"
                   "Runs one Jet SQL statement (or opens a table or stored query by name) "
                   "against a Velmora data file.\nRows are printed as CSV with a header line; "
                   "other statements print the number of rows changed.\n",
                   stderr);
        return 2;
    }
    QString out, err;
    const int rc = velmora::tools::runSqlCommand(args[1], args[2], &out, &err);
    return velmora::tools::writeCommandOutput(out, err, rc);
}
