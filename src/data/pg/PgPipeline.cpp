#include "PgPipeline.h"

#include "PgValues.h"

namespace velmora::data::pg {

bool succeeded(const PGresult* r) {
    const ExecStatusType s = r ? PQresultStatus(r) : PGRES_FATAL_ERROR;
    return s == PGRES_COMMAND_OK || s == PGRES_TUPLES_OK;
}

namespace {

bool send(PGconn* c, const PipelineCommand& command) {
    static const ServerParameters none{std::vector<Value>{}};
    const ServerParameters& p = command.params ? *command.params : none;
    switch (command.kind) {
        case PipelineCommand::Kind::Run:
            return PQsendQueryParams(c, command.text, p.count(), p.types(), p.values(), nullptr,
                                     nullptr, 0) == 1;
        case PipelineCommand::Kind::Prepare:
            return PQsendPrepare(c, command.name, command.text, p.count(), p.types()) == 1;
        case PipelineCommand::Kind::RunPrepared:
            return PQsendQueryPrepared(c, command.text, p.count(), p.values(), nullptr, nullptr,
                                       0) == 1;
        case PipelineCommand::Kind::Check:
            return PQsendPrepare(c, "", command.text, 0, nullptr) == 1;
    }
    return false;
}

}  // namespace

std::vector<Result> runPipeline(PGconn* c, const std::vector<PipelineCommand>& commands) {
    std::vector<Result> results(commands.size());
    if (PQenterPipelineMode(c) != 1)
        return results;
    bool sent = true;
    for (const PipelineCommand& command : commands)
        sent = sent && send(c, command);
    sent = sent && PQpipelineSync(c) == 1;
    // Each command's result, followed by the null that ends it; then the pipeline's end.
    // Whatever came back is read, even when sending failed halfway.
    for (Result& r : results) {
        if (!sent)
            break;
        r.reset(PQgetResult(c));
        if (!r)
            break;
        while (PGresult* extra = PQgetResult(c))
            PQclear(extra);
    }
    if (sent) {
        for (Result end(PQgetResult(c)); end && PQresultStatus(end.get()) != PGRES_PIPELINE_SYNC;
             end.reset(PQgetResult(c))) {
        }
    }
    if (PQexitPipelineMode(c) != 1) {
        while (PGresult* left = PQgetResult(c))
            PQclear(left);
        PQexitPipelineMode(c);
    }
    return results;
}

}  // namespace velmora::data::pg
