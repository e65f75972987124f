#pragma once

// How statements go to the database server over one connection. Internal to the engine.

#include "PgPipeline.h"
#include "PgPreparedStatements.h"

#include <QByteArray>

#include <utility>

namespace velmora::data::pg {

// A query run again is kept prepared (neither parsed nor planned again), and a statement
// inside a transaction runs under a savepoint of its own, sent with the savepoint and its
// release in one round trip. Results are given as they came, failed or not: the caller
// turns a failure into the engine's error.
class StatementRunner {
  public:
    explicit StatementRunner(PGconn* conn) : conn_(conn) {}

    // Runs a statement with its values. `ownSavepoint` (only inside a transaction): a failure
    // undoes only this statement and leaves the transaction usable. `inTransaction`: whether
    // a transaction is open (a failed statement outside a savepoint ends it, and is not run
    // again).
    Result run(const QByteArray& text, const ServerParameters& params, bool ownSavepoint,
               bool inTransaction);
    // Under one savepoint: whether the server takes `check` as a statement, then, when it
    // does, `text` run with its values. Gives the first failure or the run's result.
    Result checkThenRun(const QByteArray& check, const QByteArray& text,
                        const ServerParameters& params);
    // A transaction begins with the next statement: BEGIN goes to the server with it, in the
    // same round trip.
    void deferBegin() { beginDeferred_ = true; }
    // Whether a BEGIN was still to be sent; it no longer is.
    bool dropDeferredBegin() { return std::exchange(beginDeferred_, false); }
    // Whether a BEGIN is still to be sent: nothing of the transaction has reached the server.
    bool beginIsDeferred() const { return beginDeferred_; }
    // Nothing prepared holds any more: a new session, or tables changed.
    void forgetPrepared() { prepared_.forgetAll(); }

  private:
    Result runOnce(const QByteArray& text, const ServerParameters& params, bool ownSavepoint,
                   const std::optional<PreparedStatements::Use>& use);
    Result runAlone(const std::vector<PipelineCommand>& commands);
    Result underOwnSavepoint(const std::vector<PipelineCommand>& commands);

    // The commands after a deferred BEGIN, if one is due.
    std::vector<PipelineCommand> afterBegin(std::vector<PipelineCommand> commands);

    PGconn* conn_;
    PreparedStatements prepared_;
    bool beginDeferred_ = false;
};

}  // namespace velmora::data::pg
