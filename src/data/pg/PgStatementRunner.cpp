#include "PgStatementRunner.h"

#include "PgValues.h"

namespace velmora::data::pg {

namespace {

using Kind = PipelineCommand::Kind;

// The commands that run a statement: run as it is, or prepared (first, if it is not yet)
// and run as prepared.
std::vector<PipelineCommand> commandsFor(const QByteArray& text, const ServerParameters& params,
                                         const std::optional<PreparedStatements::Use>& use) {
    if (!use)
        return {{Kind::Run, text.constData(), &params}};
    if (!use->prepareNow)
        return {{Kind::RunPrepared, use->name.constData(), &params}};
    return {{Kind::Prepare, text.constData(), &params, use->name.constData()},
            {Kind::RunPrepared, use->name.constData(), &params}};
}

// Of the results from..to of a pipeline: the first that failed, or the last.
Result outcome(std::vector<Result>& results, size_t from, size_t to) {
    for (size_t i = from; i + 1 < to; ++i) {
        if (!succeeded(results[i].get()))
            return std::move(results[i]);
    }
    return std::move(results[to - 1]);
}

}  // namespace

Result StatementRunner::run(const QByteArray& text, const ServerParameters& params,
                            bool ownSavepoint, bool inTransaction) {
    settle();
    // Queries go through the prepared statements; other statements run as they come.
    QByteArray key;
    std::optional<PreparedStatements::Use> use;
    if (text.startsWith("SELECT ")) {
        key = text + '\0' + params.typeKey();
        use = prepared_.use(key);
    }
    Result result = runOnce(text, params, ownSavepoint, use);
    return retriedIfStale(std::move(result), key, use, text, params, ownSavepoint, inTransaction);
}

Result StatementRunner::retriedIfStale(Result result, const QByteArray& key,
                                       const std::optional<PreparedStatements::Use>& use,
                                       const QByteArray& text, const ServerParameters& params,
                                       bool ownSavepoint, bool inTransaction) {
    if (use && !succeeded(result.get())) {
        prepared_.forget(key);
        // A table changed by another workstation since the query was prepared: the server
        // refuses the old plan. The query runs afresh, once, where the failure left nothing
        // to undo.
        const char* state = PQresultErrorField(result.get(), PG_DIAG_SQLSTATE);
        if ((!inTransaction || ownSavepoint) && state && qstrcmp(state, "0A000") == 0)
            result = runOnce(text, params, ownSavepoint, std::nullopt);
    }
    return result;
}

void StatementRunner::sendAhead(const QByteArray& text, const QByteArray& before) {
    settle();
    if (beginDeferred_)
        return;  // only outside a transaction
    auto ahead = std::make_unique<Ahead>();
    ahead->text = text;
    ahead->before = before;
    ahead->key = text + '\0' + ahead->none.typeKey();
    ahead->use = prepared_.use(ahead->key);
    ahead->commands = commandsFor(ahead->text, ahead->none, ahead->use);
    Ahead* a = ahead.get();
    try {
        // The thread touches the connection and what it is given, nothing else of the runner.
        a->reader = std::jthread([this, a] {
            try {
                if (!a->before.isEmpty())
                    a->beforeResult = runAlone({{Kind::Run, a->before.constData(), &a->none}});
                a->result = runAlone(a->commands);
            } catch (...) {
                a->result.reset();  // no answer: the query runs again when it is asked for
            }
        });
    } catch (const std::system_error&) {
        if (ahead->use)
            prepared_.forget(ahead->key);
        return;
    }
    ahead_ = std::move(ahead);
}

std::optional<QByteArray> StatementRunner::valueBeforeAhead() {
    if (!ahead_ || ahead_->before.isEmpty())
        return std::nullopt;
    if (ahead_->reader.joinable())  // asked for its value before, the thread is done
        ahead_->reader.join();
    PGresult* r = ahead_->beforeResult.get();
    if (!r || PQresultStatus(r) != PGRES_TUPLES_OK || PQntuples(r) != 1 || PQnfields(r) != 1 ||
        PQgetisnull(r, 0, 0))
        return std::nullopt;
    return QByteArray(PQgetvalue(r, 0, 0));
}

std::optional<Result> StatementRunner::takeAhead(const QByteArray& text,
                                                 const ServerParameters& params) {
    if (!ahead_ || params.count() != 0 || text != ahead_->text) {
        settle();
        return std::nullopt;
    }
    if (ahead_->reader.joinable())  // asked for its value before, the thread is done
        ahead_->reader.join();
    const std::unique_ptr<Ahead> ahead = std::move(ahead_);
    if (!ahead->result) {
        if (ahead->use)
            prepared_.forget(ahead->key);
        return std::nullopt;
    }
    return retriedIfStale(std::move(ahead->result), ahead->key, ahead->use, text, params, false,
                          false);
}

void StatementRunner::settle() {
    if (!ahead_)
        return;
    if (ahead_->reader.joinable())  // asked for its value before, the thread is done
        ahead_->reader.join();
    if (ahead_->use && !succeeded(ahead_->result.get()))
        prepared_.forget(ahead_->key);
    ahead_.reset();
}

Result StatementRunner::checkThenRun(const QByteArray& check, const QByteArray& text,
                                     const ServerParameters& params) {
    settle();
    return underOwnSavepoint(
        {{Kind::Check, check.constData(), nullptr}, {Kind::Run, text.constData(), &params}});
}

Result StatementRunner::runOnce(const QByteArray& text, const ServerParameters& params,
                                bool ownSavepoint,
                                const std::optional<PreparedStatements::Use>& use) {
    const std::vector<PipelineCommand> commands = commandsFor(text, params, use);
    return ownSavepoint ? underOwnSavepoint(commands) : runAlone(afterBegin(commands));
}

std::vector<PipelineCommand> StatementRunner::afterBegin(std::vector<PipelineCommand> commands) {
    if (dropDeferredBegin())
        commands.insert(commands.begin(), {Kind::Run, "BEGIN", nullptr});
    return commands;
}

Result StatementRunner::runAlone(const std::vector<PipelineCommand>& commands) {
    if (commands.size() == 1 && commands.front().kind == Kind::Run) {
        const ServerParameters& p = *commands.front().params;
        return Result(PQexecParams(conn_, commands.front().text, p.count(), p.types(), p.values(),
                                   nullptr, nullptr, 0));
    }
    std::vector<Result> results = runPipeline(conn_, commands);
    return outcome(results, 0, results.size());
}

// The savepoint, the commands and the savepoint's release go to the server together in one
// pipeline. Gives the first failed result or the last command's; a failed command is rolled
// back to the savepoint.
Result StatementRunner::underOwnSavepoint(const std::vector<PipelineCommand>& commands) {
    std::vector<PipelineCommand> all =
        afterBegin({{Kind::Run, "SAVEPOINT velmora_statement", nullptr}});
    const size_t first = all.size();  // the first of the commands
    all.insert(all.end(), commands.begin(), commands.end());
    all.push_back({Kind::Run, "RELEASE SAVEPOINT velmora_statement", nullptr});
    std::vector<Result> results = runPipeline(conn_, all);
    for (size_t i = 0; i < first; ++i) {
        if (!succeeded(results[i].get()))
            return std::move(results[i]);
    }
    Result result = outcome(results, first, all.size() - 1);
    if (!succeeded(result.get())) {
        if (PQstatus(conn_) == CONNECTION_OK) {
            Result undo(PQexec(
                conn_,
                "ROLLBACK TO SAVEPOINT velmora_statement; RELEASE SAVEPOINT velmora_statement"));
        }
        return result;
    }
    if (!succeeded(results.back().get()))
        return std::move(results.back());
    return result;
}

}  // namespace velmora::data::pg
