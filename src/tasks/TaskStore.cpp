#include "TaskStore.h"

#include "TaskRows.h"
#include "TaskSchema.h"
#include "data/Database.h"
#include "data/Recordset.h"

namespace velmora::tasks {

const Task* Register::findTask(std::int64_t id) const {
    const auto it = taskAt_.constFind(id);
    return it == taskAt_.constEnd() ? nullptr : &tasks[*it];
}

const Compliance* Register::findCompliance(std::int64_t id) const {
    const auto it = complianceAt_.constFind(id);
    return it == complianceAt_.constEnd() ? nullptr : &compliance[*it];
}

std::vector<Accomplishment> Register::accomplishmentsOf(std::int64_t complianceId) const {
    std::vector<Accomplishment> out;
    const auto it = accomplishmentsAt_.constFind(complianceId);
    if (it == accomplishmentsAt_.constEnd())
        return out;
    for (size_t i : *it)
        out.push_back(accomplishments[i]);
    return out;
}

void Register::index() {
    taskAt_.clear();
    complianceAt_.clear();
    accomplishmentsAt_.clear();
    for (size_t i = 0; i < tasks.size(); ++i)
        taskAt_.insert(tasks[i].id, i);
    for (size_t i = 0; i < compliance.size(); ++i)
        complianceAt_.insert(compliance[i].id, i);
    for (size_t i = 0; i < accomplishments.size(); ++i)
        accomplishmentsAt_[accomplishments[i].complianceId].push_back(i);
}

Register readRegister(data::Database& mainDb, const std::optional<QString>& regNum) {
    Register r;
    if (!schema::hasRegister(mainDb))
        return r;
    const std::vector<data::Value> reg =
        regNum ? std::vector<data::Value>{data::Value(*regNum)} : std::vector<data::Value>{};
    const QString whereReg = regNum ? QStringLiteral(" where [RegNum]=?1") : QString();
    {
        auto rs =
            mainDb.openRecordset(rows::selectFrom(schema::kTasks, rows::taskColumns()) +
                                 QStringLiteral(" order by [TaskNumber],[Revision],[TaskId]"));
        r.tasks.reserve(rs->rows().size());
        for (const auto& row : rs->rows())
            r.tasks.push_back(rows::taskFrom(row.values));
    }
    if (mainDb.hasTable(schema::kCompliance)) {
        auto rs = mainDb.openRecordset(
            rows::selectFrom(schema::kCompliance, rows::complianceColumns()) + whereReg +
                QStringLiteral(" order by [RegNum],[TaskId],[ComplianceId]"),
            reg);
        r.compliance.reserve(rs->rows().size());
        for (const auto& row : rs->rows())
            r.compliance.push_back(rows::complianceFrom(row.values));
    }
    if (mainDb.hasTable(schema::kAccomplishments)) {
        auto rs = mainDb.openRecordset(
            rows::selectFrom(schema::kAccomplishments, rows::accomplishmentColumns()) + whereReg +
                QStringLiteral(" order by [ComplianceId],[DoneDate],[AccomplishmentId]"),
            reg);
        r.accomplishments.reserve(rs->rows().size());
        for (const auto& row : rs->rows())
            r.accomplishments.push_back(rows::accomplishmentFrom(row.values));
    }
    r.index();
    return r;
}

}  // namespace velmora::tasks
