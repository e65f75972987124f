// Transactions of the PostgreSQL back end: the outermost one a transaction of the server's,
// the ones inside it savepoints.
#include "PgDatabaseImpl.h"

namespace velmora::data::pg {

void PgDatabase::openLevel(bool) {
    if (depth_ == 0) {
        reconnectIfLost();
        tellScreen();
        catalogChanged_ = false;
        // BEGIN goes to the server with the transaction's first statement, in the same
        // round trip; it changes no name, so what was just looked up still holds.
        runner_.deferBegin();
    } else {
        run(QStringLiteral("SAVEPOINT velmora_%1").arg(depth_), {}, QString(), false);
    }
    ++depth_;
}

void PgDatabase::releaseLevel() {
    const int level = --depth_;  // a failed COMMIT ends the transaction too
    if (level == 0 && runner_.dropDeferredBegin())
        return;  // nothing was sent: there is nothing to commit
    if (level == 0)
        kept_.forgetAll();  // the next read ahead reads the rows rather than ask after them
    run(level == 0 ? QStringLiteral("COMMIT")
                   : QStringLiteral("RELEASE SAVEPOINT velmora_%1").arg(level),
        {}, QString(), false);
}

void PgDatabase::undoLevel(int level) {
    // What is known of tables and names may have been undone with the transaction; when
    // it changed none of them, it all still holds (a rebuild's working query, say).
    if (catalogChanged_) {
        runner_.forgetPrepared();
        catalog_.forget(true);
        catalogChanged_ = level > 0;
    }
    if (level == 0) {
        if (!runner_.dropDeferredBegin()) {
            kept_.forgetAll();
            run(QStringLiteral("ROLLBACK"), {}, QString(), false);
        }
    } else {
        run(QStringLiteral("ROLLBACK TO SAVEPOINT velmora_%1").arg(level), {}, QString(), false);
        run(QStringLiteral("RELEASE SAVEPOINT velmora_%1").arg(level), {}, QString(), false);
    }
}

}  // namespace velmora::data::pg
