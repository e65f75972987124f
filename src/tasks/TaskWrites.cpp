#include "TaskWrites.h"

#include "Applicability.h"
#include "ChangeStamp.h"
#include "Fleet.h"
#include "NextDue.h"
#include "TaskRows.h"
#include "TaskRules.h"
#include "TaskSchema.h"
#include "TaskStore.h"
#include "data/Database.h"
#include "data/JetSqlTranslator.h"
#include "data/Recordset.h"
#include "data/TextKey.h"

#include <QHash>
#include <QSet>

namespace velmora::tasks {

namespace {

using data::Value;
namespace err = data::err;

[[noreturn]] void refuse(const QString& what, const QStringList& problems,
                         data::ErrorNumber number = err::ValidationRule) {
    throw data::DbError(number, what + QStringLiteral(": ") + problems.join(u' '));
}

// The next free key of a table: one above the highest, read once per change.
class Keys {
  public:
    Keys(data::Database& db, QString table, QString column)
        : db_(db), table_(std::move(table)), column_(std::move(column)) {}
    std::int64_t next() {
        if (next_ == 0) {
            auto rs = db_.openRecordset(
                QStringLiteral("select Max(%1) from %2")
                    .arg(data::quoteJetName(column_), data::quoteJetName(table_)));
            const Value v = rs->rows().empty() ? Value() : rs->rows().front().values[0];
            next_ = (v.isNull() ? 0 : v.toInt()) + 1;
        }
        return next_++;
    }

  private:
    data::Database& db_;
    QString table_, column_;
    std::int64_t next_ = 0;
};

QString numberKey(const Task& t) {
    return data::textKey(t.number.trimmed()) + QChar(0x1f) + data::textKey(t.revision.trimmed());
}

void stamp(Compliance* c) {
    c->changedBy = currentUser();
    c->changedAt = changeTime();
}

void insertCompliance(data::Database& db, Keys& keys, Compliance* c) {
    c->id = keys.next();
    stamp(c);
    db.execute(rows::insertInto(schema::kCompliance, rows::complianceColumns()),
               rows::complianceValues(*c));
}

void updateCompliance(data::Database& db, Compliance* c) {
    stamp(c);
    db.execute(rows::updateByKey(schema::kCompliance, rows::complianceColumns()),
               rows::complianceValues(*c));
}

void deleteCompliance(data::Database& db, std::int64_t id) {
    db.execute(QStringLiteral("DELETE FROM [TaskCompliance] WHERE [ComplianceId] = ?1"),
               {Value(id)});
}

QString describe(const Task& t) {
    return t.number.trimmed().isEmpty() ? QStringLiteral("The task") : t.label();
}

// Sets a compliance record's status from its accomplishments (a record marked not
// applicable or superseded keeps its status).
void settleStatus(data::Database& db, const Task& task, Compliance c,
                  const std::vector<Accomplishment>& accomplishments) {
    const Status status = scheduleOf(task, c, accomplishments).status;
    if (status == c.status)
        return;
    c.status = status;
    updateCompliance(db, &c);
}

// Brings the compliance records of stored tasks in line with the fleet: adds the missing
// ones, and for changed tasks removes or restarts the open ones without accomplishments.
struct Alignment {
    const Task* task;
    const Task* before;  // the task as it was, for a changed one
};

void align(data::Database& db, const Register& reg, const Fleet& fleet,
           const std::vector<Alignment>& tasks, TasksStored* out) {
    QHash<QString, size_t> stored;
    for (size_t i = 0; i < reg.compliance.size(); ++i)
        stored.insert(targetKey(reg.compliance[i]), i);
    Keys keys(db, schema::kCompliance, QStringLiteral("ComplianceId"));
    for (const Alignment& a : tasks) {
        const std::vector<Compliance> targets = applicableTargets(*a.task, fleet);
        QSet<QString> applicable;
        for (Compliance c : targets) {
            const QString key = targetKey(c);
            applicable.insert(key);
            const auto it = stored.constFind(key);
            if (it == stored.constEnd()) {
                insertCompliance(db, keys, &c);
                ++out->applied;
                continue;
            }
            Compliance was = reg.compliance[*it];
            const bool restart = a.before &&
                                 (a.before->effectiveDate != a.task->effectiveDate ||
                                  a.before->thresholdFrom != a.task->thresholdFrom) &&
                                 was.status == Status::Open &&
                                 reg.accomplishmentsOf(was.id).empty();
            if (restart) {
                was.startDate = c.startDate;
                was.start = c.start;
                updateCompliance(db, &was);
            }
        }
        if (!a.before)
            continue;
        for (const Compliance& c : reg.compliance) {
            if (c.taskId != a.task->id || applicable.contains(targetKey(c)))
                continue;
            if (c.status == Status::Open && reg.accomplishmentsOf(c.id).empty()) {
                deleteCompliance(db, c.id);
                ++out->withdrawn;
            }
        }
    }
}

}  // namespace

TasksStored saveTasks(data::Database& mainDb, std::vector<Task> tasks) {
    for (const Task& t : tasks) {
        const QStringList problems = taskProblems(t);
        if (!problems.isEmpty())
            refuse(describe(t) + QStringLiteral(" cannot be saved"), problems);
    }
    TasksStored out;
    data::Transaction tx(mainDb);
    schema::addMissingTables(mainDb);
    const Register reg = readRegister(mainDb);
    const Fleet fleet = readFleet(mainDb);
    QSet<std::int64_t> changed;
    for (const Task& t : tasks) {
        if (t.id != 0)
            changed.insert(t.id);
    }
    QHash<QString, QString> numbers;  // number and revision, to the task that has it
    for (const Task& t : reg.tasks) {
        if (!changed.contains(t.id))
            numbers.insert(numberKey(t), t.label());
    }
    Keys keys(mainDb, schema::kTasks, QStringLiteral("TaskId"));
    std::vector<Alignment> alignments;
    for (Task& t : tasks) {
        const QString key = numberKey(t);
        if (numbers.contains(key))
            refuse(describe(t) + QStringLiteral(" cannot be saved"),
                   {QStringLiteral("the register holds the number %1%2 already.")
                        .arg(t.number.trimmed(),
                             t.revision.trimmed().isEmpty()
                                 ? QStringLiteral(" without a revision")
                                 : QStringLiteral(" revision ") + t.revision.trimmed())},
                   err::DuplicateKey);
        numbers.insert(key, t.label());
        t.changedBy = currentUser();
        t.changedAt = changeTime();
        const Task* before = nullptr;
        if (t.id == 0) {
            t.id = keys.next();
            mainDb.execute(rows::insertInto(schema::kTasks, rows::taskColumns()),
                           rows::taskValues(t));
        } else {
            before = reg.findTask(t.id);
            if (!before)
                refuse(describe(t) + QStringLiteral(" cannot be saved"),
                       {QStringLiteral("it is no longer in the register.")}, err::ItemNotFound);
            mainDb.execute(rows::updateByKey(schema::kTasks, rows::taskColumns()),
                           rows::taskValues(t));
        }
        out.ids.push_back(t.id);
        const QString warning = unknownApplicability(t, fleet);
        if (!warning.isEmpty())
            out.warnings << t.label() + QStringLiteral(": ") + warning + u'.';
        alignments.push_back({&t, before});
    }
    align(mainDb, reg, fleet, alignments, &out);
    tx.commit();
    return out;
}

void deleteTask(data::Database& mainDb, std::int64_t taskId) {
    data::Transaction tx(mainDb);
    if (!schema::hasRegister(mainDb))
        refuse(QStringLiteral("The task cannot be removed"),
               {QStringLiteral("the register holds no tasks.")}, err::ItemNotFound);
    schema::addMissingTables(mainDb);
    const Register reg = readRegister(mainDb);
    const Task* task = reg.findTask(taskId);
    if (!task)
        refuse(QStringLiteral("The task cannot be removed"),
               {QStringLiteral("it is no longer in the register.")}, err::ItemNotFound);
    QStringList done;
    for (const Compliance& c : reg.compliance) {
        if (c.taskId == taskId && !reg.accomplishmentsOf(c.id).empty() &&
            !done.contains(c.regNum.trimmed()))
            done << c.regNum.trimmed();
    }
    if (!done.isEmpty())
        refuse(task->label() + QStringLiteral(" cannot be removed"),
               {QStringLiteral("accomplishments of it are recorded on %1. Mark it superseded "
                               "instead.")
                    .arg(done.join(QStringLiteral(", ")))});
    mainDb.execute(QStringLiteral("DELETE FROM [TaskCompliance] WHERE [TaskId] = ?1"),
                   {Value(taskId)});
    mainDb.execute(QStringLiteral("DELETE FROM [Tasks] WHERE [TaskId] = ?1"), {Value(taskId)});
    tx.commit();
}

std::int64_t saveCompliance(data::Database& mainDb, Compliance compliance) {
    const QStringList problems = complianceProblems(compliance);
    if (!problems.isEmpty())
        refuse(QStringLiteral("The compliance cannot be saved"), problems);
    data::Transaction tx(mainDb);
    schema::addMissingTables(mainDb);
    const Register reg = readRegister(mainDb, compliance.regNum);
    const Task* task = reg.findTask(compliance.taskId);
    if (!task)
        refuse(QStringLiteral("The compliance cannot be saved"),
               {QStringLiteral("its task is no longer in the register.")}, err::ItemNotFound);
    const Compliance* stored = nullptr;
    for (const Compliance& c : reg.compliance) {
        if ((compliance.id != 0 && c.id == compliance.id) ||
            (compliance.id == 0 && c.taskId == compliance.taskId && sameTarget(c, compliance)))
            stored = &c;
    }
    if (compliance.id != 0 && !stored)
        refuse(QStringLiteral("The compliance cannot be saved"),
               {QStringLiteral("it is no longer on file.")}, err::ItemNotFound);
    std::vector<Accomplishment> done;
    if (stored) {
        compliance.id = stored->id;
        done = reg.accomplishmentsOf(stored->id);
    }
    if (compliance.status != Status::NotApplicable && compliance.status != Status::Superseded) {
        compliance.status = Status::Open;
        compliance.status = scheduleOf(*task, compliance, done).status;
    }
    if (stored) {
        updateCompliance(mainDb, &compliance);
    } else {
        Keys keys(mainDb, schema::kCompliance, QStringLiteral("ComplianceId"));
        insertCompliance(mainDb, keys, &compliance);
    }
    tx.commit();
    return compliance.id;
}

std::int64_t addAccomplishment(data::Database& mainDb, const Compliance& compliance,
                               Accomplishment accomplishment, const QDate& today) {
    const QString what = QStringLiteral("The accomplishment cannot be recorded");
    data::Transaction tx(mainDb);
    schema::addMissingTables(mainDb);
    const Register reg = readRegister(mainDb, compliance.regNum);
    const Task* task = reg.findTask(compliance.taskId);
    if (!task)
        refuse(what, {QStringLiteral("its task is no longer in the register.")}, err::ItemNotFound);
    const std::vector<FleetAircraft> aircraft = readAircraft(mainDb, compliance.regNum);
    if (aircraft.empty())
        refuse(what,
               {QStringLiteral("the aircraft %1 is not on file.").arg(compliance.regNum.trimmed())},
               err::ItemNotFound);
    Compliance stored = compliance;
    bool found = false;
    for (const Compliance& c : reg.compliance) {
        if ((compliance.id != 0 && c.id == compliance.id) ||
            (c.taskId == compliance.taskId && sameTarget(c, compliance))) {
            stored = c;
            found = true;
            break;
        }
    }
    if (!found) {
        if (compliance.id != 0)
            refuse(what, {QStringLiteral("its compliance record is no longer on file.")},
                   err::ItemNotFound);
        const QStringList problems = complianceProblems(stored);
        if (!problems.isEmpty())
            refuse(what, problems);
        Keys keys(mainDb, schema::kCompliance, QStringLiteral("ComplianceId"));
        insertCompliance(mainDb, keys, &stored);
    }
    std::vector<Accomplishment> done = reg.accomplishmentsOf(stored.id);
    accomplishment.complianceId = stored.id;
    accomplishment.regNum = aircraft.front().regNum;
    const QStringList problems =
        accomplishmentProblems(*task, stored, done, accomplishment, aircraft.front().totals, today);
    if (!problems.isEmpty())
        refuse(what, problems);
    Keys keys(mainDb, schema::kAccomplishments, QStringLiteral("AccomplishmentId"));
    accomplishment.id = keys.next();
    accomplishment.enteredBy = currentUser();
    accomplishment.enteredAt = changeTime();
    mainDb.execute(rows::insertInto(schema::kAccomplishments, rows::accomplishmentColumns()),
                   rows::accomplishmentValues(accomplishment));
    done.push_back(accomplishment);
    settleStatus(mainDb, *task, stored, done);
    tx.commit();
    return accomplishment.id;
}

void deleteAccomplishment(data::Database& mainDb, std::int64_t accomplishmentId) {
    const QString what = QStringLiteral("The accomplishment cannot be removed");
    data::Transaction tx(mainDb);
    if (!mainDb.hasTable(schema::kAccomplishments))
        refuse(what, {QStringLiteral("it is no longer on file.")}, err::ItemNotFound);
    auto rs = mainDb.openRecordset(
        QStringLiteral("select [ComplianceId],[RegNum] from [TaskAccomplishments] where "
                       "[AccomplishmentId]=?1"),
        {Value(accomplishmentId)});
    if (rs->rows().empty())
        refuse(what, {QStringLiteral("it is no longer on file.")}, err::ItemNotFound);
    const std::int64_t complianceId = rs->rows().front().values[0].toInt();
    const QString regNum = rs->rows().front().values[1].toString();
    mainDb.execute(
        QStringLiteral("DELETE FROM [TaskAccomplishments] WHERE [AccomplishmentId] = ?1"),
        {Value(accomplishmentId)});
    const Register reg = readRegister(mainDb, regNum);
    const Compliance* c = reg.findCompliance(complianceId);
    if (c) {
        if (const Task* task = reg.findTask(c->taskId)) {
            Compliance reopened = *c;
            if (reopened.status != Status::NotApplicable && reopened.status != Status::Superseded)
                reopened.status = Status::Open;
            const std::vector<Accomplishment> left = reg.accomplishmentsOf(complianceId);
            const Status status = scheduleOf(*task, reopened, left).status;
            if (status != c->status) {
                reopened.status = status;
                updateCompliance(mainDb, &reopened);
            }
        }
    }
    tx.commit();
}

int applyRegister(data::Database& mainDb, const std::optional<QString>& regNum) {
    if (!schema::hasRegister(mainDb))
        return 0;  // no task to apply: the file is left as it is
    data::Transaction tx(mainDb);
    schema::addMissingTables(mainDb);
    const Register reg = readRegister(mainDb, regNum);
    const Fleet fleet = readFleet(mainDb, regNum);
    std::vector<Alignment> alignments;
    for (const Task& t : reg.tasks)
        alignments.push_back({&t, nullptr});
    TasksStored out;
    align(mainDb, reg, fleet, alignments, &out);
    tx.commit();
    return out.applied;
}

}  // namespace velmora::tasks
