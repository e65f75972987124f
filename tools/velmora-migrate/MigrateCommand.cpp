#include "MigrateCommand.h"

#include "data/DataFiles.h"
#include "data/DataSetMigration.h"
#include "data/DbError.h"

#include <QTextStream>

namespace velmora::migratetool {

int runMigrateCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    QString from, to;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        QString* target = nullptr;
        QString value;
        for (const auto& [name, slot] :
             {std::pair{QStringLiteral("--from"), &from}, std::pair{QStringLiteral("--to"), &to}}) {
            if (a == name) {
                if (i + 1 >= args.size()) {
                    err << "velmora-migrate: " << name << " needs a folder or a URI\n";
                    return 2;
                }
                target = slot;
                value = args[++i];
            } else if (a.startsWith(name + u'=')) {
                target = slot;
                value = a.mid(name.size() + 1);
            }
        }
        if (!target) {
            err << "velmora-migrate: unexpected argument '" << a << "' (see --help)\n";
            return 2;
        }
        *target = value;
    }
    if (from.isEmpty() || to.isEmpty()) {
        err << "velmora-migrate: both --from and --to are needed (see --help)\n";
        return 2;
    }
    try {
        const auto copied = data::migrateDataSet(data::dataPathOf(from), data::dataPathOf(to));
        out << data::migrationReport(copied);
        return 0;
    } catch (const data::DbError& e) {
        err << "velmora-migrate: nothing was copied: " << e.text() << " (error " << e.code()
            << ")\n";
        return 1;
    }
}

}  // namespace velmora::migratetool
