#include "MigrateCommand.h"

#include "data/DataFiles.h"
#include "data/DataSetMigration.h"
#include "data/Database.h"
#include "data/DbError.h"
#include "journal/JournalChain.h"
#include "journal/JournalLines.h"

#include <QTextStream>

namespace velmora::migratetool {

namespace {

// The journal carried: its chain walked in the target, whole or with its first fault (which
// the source had already: the lines go as they are).
void reportCarriedChain(const QString& toDataPath, QTextStream& out, QTextStream& err) {
    try {
        auto db = data::Database::open(data::dataFileName(toDataPath, data::files::kMain));
        if (!journal::hasJournal(*db))
            return;
        const journal::ChainCheck c = journal::checkChainSince(*db, std::nullopt);
        if (c.intact)
            out << data::files::kMain << " Journal: the chain holds (" << c.linesRead
                << " lines)\n";
        else
            err << "velmora-migrate: the journal was carried as it is, but its chain was "
                   "already broken: "
                << c.problem << "\n";
    } catch (const data::DbError& e) {
        err << "velmora-migrate: the journal carried could not be checked: " << e.text() << "\n";
    }
}

}  // namespace

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
        reportCarriedChain(data::dataPathOf(to), out, err);
        return 0;
    } catch (const data::DbError& e) {
        err << "velmora-migrate: nothing was copied: " << e.text() << " (error " << e.code()
            << ")\n";
        return 1;
    }
}

}  // namespace velmora::migratetool
