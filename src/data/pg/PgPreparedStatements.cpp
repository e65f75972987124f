#include "PgPreparedStatements.h"

namespace velmora::data::pg {

std::optional<PreparedStatements::Use> PreparedStatements::use(const QByteArray& key) {
    if (auto it = prepared_.constFind(key); it != prepared_.constEnd())
        return Use{*it, false};
    if (!seen_.contains(key)) {
        // Remembering every query ever run would grow without end.
        if (seen_.size() >= kMostRemembered)
            seen_.clear();
        seen_.insert(key);
        return std::nullopt;
    }
    // Statements stay on the server for the session; beyond a bound, new ones run unprepared.
    if (prepared_.size() >= kMostPrepared)
        return std::nullopt;
    const QByteArray name = "velmora_q" + QByteArray::number(++next_);
    prepared_.insert(key, name);
    return Use{name, true};
}

}  // namespace velmora::data::pg
