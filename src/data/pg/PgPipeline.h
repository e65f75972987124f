#pragma once

// Several statements sent to the database server together, answered in one round trip
// (libpq's pipeline mode). Internal to the engine.

#include <libpq-fe.h>

#include <memory>
#include <vector>

namespace velmora::data::pg {

class ServerParameters;

struct ResultDeleter {
    void operator()(PGresult* r) const { PQclear(r); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

// Whether a result is a statement's success.
bool succeeded(const PGresult* r);

// One command of a pipeline.
struct PipelineCommand {
    enum class Kind {
        Run,          // run the SQL text with the values
        Prepare,      // prepare the SQL text under a name, for values of the given types
        RunPrepared,  // run the statement prepared under the name with the values
        Check,        // prepare the SQL text without a name: only whether the server takes it
    };
    Kind kind;
    const char* text;  // SQL text; for RunPrepared the statement's name
    const ServerParameters* params;
    const char* name = "";  // for Prepare: the name to keep the statement under
};

// Sends the commands as one pipeline and gives each one's result, in order. After a failed
// command the server skips the rest (PGRES_PIPELINE_ABORTED); a result that never came (the
// connection broke) is null. The connection is out of pipeline mode again on return.
std::vector<Result> runPipeline(PGconn* conn, const std::vector<PipelineCommand>& commands);

}  // namespace velmora::data::pg
