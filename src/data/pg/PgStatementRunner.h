#pragma once

// How statements go to the database server over one connection. Internal to the engine.

#include "PgPipeline.h"
#include "PgPreparedStatements.h"

#include <QByteArray>

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
    // Whether the server takes the text as a statement, under a savepoint of its own.
    Result checkUnderSavepoint(const QByteArray& text);
    // Nothing prepared holds any more: a new session, or tables changed.
    void forgetPrepared() { prepared_.forgetAll(); }

  private:
    Result runOnce(const QByteArray& text, const ServerParameters& params, bool ownSavepoint,
                   const std::optional<PreparedStatements::Use>& use);
    Result runAlone(const std::vector<PipelineCommand>& commands);
    Result underOwnSavepoint(const std::vector<PipelineCommand>& commands);

    PGconn* conn_;
    PreparedStatements prepared_;
};

}  // namespace velmora::data::pg
