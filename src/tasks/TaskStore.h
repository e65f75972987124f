#pragma once

#include "TaskTypes.h"

#include <QHash>
#include <QString>

#include <optional>
#include <vector>

namespace velmora::data {
class Database;
}

namespace velmora::tasks {

// The register as the file keeps it: every task, and the compliance and accomplishments of
// the aircraft read. A file without the register's tables reads as empty; reading never
// changes the file.
struct Register {
    std::vector<Task> tasks;                      // by number and revision
    std::vector<Compliance> compliance;           // by registration and task
    std::vector<Accomplishment> accomplishments;  // by compliance and date

    const Task* findTask(std::int64_t id) const;
    const Compliance* findCompliance(std::int64_t id) const;
    // The accomplishments of one compliance, oldest first.
    std::vector<Accomplishment> accomplishmentsOf(std::int64_t complianceId) const;

    // Builds the lookups after the vectors were filled or changed.
    void index();

  private:
    QHash<std::int64_t, size_t> taskAt_, complianceAt_;
    QHash<std::int64_t, std::vector<size_t>> accomplishmentsAt_;
};

// Reads every task, and the compliance and accomplishments of every aircraft or of the one
// registration given (compared as the engine compares text). Throws data::DbError when the
// file cannot be read.
Register readRegister(data::Database& mainDb, const std::optional<QString>& regNum = std::nullopt);

}  // namespace velmora::tasks
