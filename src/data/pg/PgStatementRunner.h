#pragma once

// How statements go to the database server over one connection. Internal to the engine.

#include "PgPipeline.h"
#include "PgPreparedStatements.h"

#include "PgValues.h"

#include <QByteArray>

#include <memory>
#include <optional>
#include <thread>
#include <utility>

namespace velmora::data::pg {

// A query run again is kept prepared (neither parsed nor planned again), and a statement
// inside a transaction runs under a savepoint of its own, sent with the savepoint and its
// release in one round trip. Results are given as they came, failed or not: the caller
// turns a failure into the engine's error.
//
// A query may be sent ahead: a thread of its own waits for the server's answer while the
// program goes on. The connection is the thread's until then: each use of it here first
// waits for the answer, and takes it when the query sent ahead is the one to run, or drops it.
class StatementRunner {
  public:
    explicit StatementRunner(PGconn* conn) : conn_(conn) {}
    ~StatementRunner() { settle(); }
    StatementRunner(const StatementRunner&) = delete;
    StatementRunner& operator=(const StatementRunner&) = delete;

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
    void forgetPrepared() {
        settle();
        prepared_.forgetAll();
    }

    // Sends a query without values ahead, outside any transaction, and gives the connection
    // to a thread that reads its answer. Where no thread can be started, nothing is sent.
    // With `before`, the thread first runs that query (a value the query's answer is to be
    // known by), then the query.
    void sendAhead(const QByteArray& text, const QByteArray& before = {});
    // The one value `before` gave, when a query sent ahead with one is still held; waits for
    // it. Leaves the query's answer to takeAhead().
    std::optional<QByteArray> valueBeforeAhead();
    // The answer to the query sent ahead, when that is `text` without values, handled as run()
    // handles an answer; nothing otherwise (what was sent ahead is then dropped).
    std::optional<Result> takeAhead(const QByteArray& text, const ServerParameters& params);
    // Whether a query sent ahead waits to be taken: nothing else has used the connection since.
    bool holdsAhead() const { return ahead_ != nullptr; }
    // Waits for the answer to a query sent ahead and drops it: the connection is free again.
    // Called before any use of the connection that does not go through this runner.
    void settle();

  private:
    // A query sent ahead and the thread that reads its answer.
    struct Ahead {
        QByteArray text;
        QByteArray key;
        std::optional<PreparedStatements::Use> use;
        ServerParameters none{std::vector<Value>{}};
        std::vector<PipelineCommand> commands;
        QByteArray before;
        Result beforeResult;
        Result result;  // null until the answer came, or when none came
        std::jthread reader;
    };

    // A failed query forgets its prepared statement; a query whose plan the server refuses
    // (a table changed meanwhile) runs afresh, once, where the failure left nothing to undo.
    Result retriedIfStale(Result result, const QByteArray& key,
                          const std::optional<PreparedStatements::Use>& use, const QByteArray& text,
                          const ServerParameters& params, bool ownSavepoint, bool inTransaction);
    Result runOnce(const QByteArray& text, const ServerParameters& params, bool ownSavepoint,
                   const std::optional<PreparedStatements::Use>& use);
    Result runAlone(const std::vector<PipelineCommand>& commands);
    Result underOwnSavepoint(const std::vector<PipelineCommand>& commands);

    // The commands after a deferred BEGIN, if one is due.
    std::vector<PipelineCommand> afterBegin(std::vector<PipelineCommand> commands);

    PGconn* conn_;
    PreparedStatements prepared_;
    bool beginDeferred_ = false;
    std::unique_ptr<Ahead> ahead_;
};

}  // namespace velmora::data::pg
