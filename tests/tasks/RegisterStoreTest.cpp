// The register kept in the main data file, on both back ends: a file without it reads as
// empty and gets its tables with the first task; tasks apply to the aircraft and components
// they name; every change is one transaction recorded with who made it; a change refused
// leaves the data as it was.
#include "TaskTestData.h"
#include "support/BackEnds.h"
#include "support/TestFiles.h"

#include "data/JetDates.h"
#include "tasks/ChangeStamp.h"
#include "tasks/NextDue.h"
#include "tasks/TaskSchema.h"
#include "tasks/TaskStore.h"
#include "tasks/TaskWrites.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;
using namespace velmora::tasks;

namespace {

const QDate kToday(2025, 6, 15);

class Register_ : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        location = store.createMainFile();
        db = data::Database::open(location);
        addAircraft(*db, "N1", 1000, 0, 4000, 0, 0);
        addAircraft(*db, "N2", 2000, 50, 100, 0, 0);
        addAircraft(*db, "N3", 3000);
        describeAircraft(*db, "N1", "Bell", "206B", "1001", "2010");
        describeAircraft(*db, "N2", "bell ", "206L", "2000");
        describeAircraft(*db, "N3", "Robinson", "R44", "3000");
        addPart(*db,
                part("N1", 1).withBasis("LD").withLife(20000, 1500, 3000).asUnit("ABC-1", "S1"));
        addPart(*db, part("N1", 2).withBasis("RT").withLife(5000, 300, 900).asUnit("ABC-1", "S1"));
        addPart(*db, part("N2", 1).withBasis("LD").withLife(20000, 0, 0).asUnit("abc-1", "S2"));
        addPart(
            *db,
            part("N3", 1).withBasis("LD").withLife(20000, 0, 0).asUnit("ABC-1", "S3").inactive());
    }
    QByteArray content() { return storedContent(location); }
    // The compliance of a task on an aircraft (and component).
    Compliance complianceOf(std::int64_t task, const QString& reg, const QString& pn = {}) {
        const Register r = readRegister(*db);
        for (const Compliance& c : r.compliance) {
            if (c.taskId == task && c.regNum == reg && c.partNumber == pn)
                return c;
        }
        ADD_FAILURE() << "no compliance of task " << task << " on " << reg.toStdString();
        return {};
    }
    std::int64_t store100Hours() {
        Task t = directive("2025-01-01", "BELL", "206B");
        return saveTask(*db, t).ids.at(0);
    }

    TestStore store{GetParam()};
    QString location;
    std::shared_ptr<data::Database> db;
};

TEST_P(Register_, AFileWithoutTheRegisterReadsEmptyAndGetsItWithTheFirstTask) {
    const QByteArray before = content();
    const Register empty = readRegister(*db);
    EXPECT_TRUE(empty.tasks.empty());
    EXPECT_FALSE(schema::hasRegister(*db));
    EXPECT_EQ(applyRegister(*db), 0);
    EXPECT_EQ(content(), before);  // reading and applying nothing wrote nothing

    const TasksStored stored = saveTask(*db, directive("2025-01-01", "Bell", "206B"));
    EXPECT_TRUE(db->hasTable(schema::kTasks));
    EXPECT_TRUE(db->hasTable(schema::kCompliance));
    EXPECT_TRUE(db->hasTable(schema::kAccomplishments));
    EXPECT_EQ(stored.applied, 1);
    const Register r = readRegister(*data::Database::open(location));
    ASSERT_EQ(r.tasks.size(), 1u);
    EXPECT_EQ(r.tasks[0].label(), "AD 2025-01-01");
    EXPECT_EQ(r.tasks[0].changedBy, currentUser());
    ASSERT_EQ(r.compliance.size(), 1u);
    const Compliance& c = r.compliance[0];
    EXPECT_EQ(c.regNum, "N1");
    EXPECT_EQ(c.status, Status::Open);
    // Counting from the effective date, with the aircraft's totals of the day it was applied.
    EXPECT_EQ(c.startDate, QDate(2025, 1, 1));
    EXPECT_EQ(c.start[slot(Parameter::Hours)], 1000.0);
    EXPECT_EQ(c.changedBy, currentUser());
}

TEST_P(Register_, TasksApplyToTheirMakeModelAndPartNumberWithinSerialRanges) {
    Task everyBell = directive("A-1", "Bell");  // every model of the make
    Task n1Only = directive("A-2", "Bell", "206B");
    Task ranged = directive("A-3", "BELL");
    ranged.serials = QStringLiteral("1500-2500");
    Task parts = partDirective("A-4", "ABC-1");
    Task partRange = partDirective("A-5", "abc-1 ");
    partRange.serials = QStringLiteral("S2..");
    Task nothing = directive("A-6", "Cessna", "172");
    const TasksStored stored =
        saveTasks(*db, {everyBell, n1Only, ranged, parts, partRange, nothing});
    ASSERT_EQ(stored.ids.size(), 6u);
    EXPECT_EQ(stored.applied, 2 + 1 + 1 + 2 + 1);
    ASSERT_EQ(stored.warnings.size(), 1);
    EXPECT_EQ(stored.warnings[0],
              "AD A-6: no aircraft of the make Cessna and model 172 is on file.");
    const Register r = readRegister(*db);
    auto targets = [&](std::int64_t id) {
        QStringList out;
        for (const Compliance& c : r.compliance) {
            if (c.taskId == id)
                out << (c.regNum + u' ' + c.partNumber + u' ' + c.serialNumber).trimmed();
        }
        out.sort();
        return out;
    };
    EXPECT_EQ(targets(stored.ids[0]), QStringList({"N1", "N2"}));
    EXPECT_EQ(targets(stored.ids[1]), QStringList({"N1"}));
    EXPECT_EQ(targets(stored.ids[2]), QStringList({"N2"}));
    // One record per component, whatever number of limit rows it has; not on N3, where the
    // component is not installed.
    EXPECT_EQ(targets(stored.ids[3]), QStringList({"N1 ABC-1 S1", "N2 abc-1 S2"}));
    EXPECT_EQ(targets(stored.ids[4]), QStringList({"N2 abc-1 S2"}));
    EXPECT_TRUE(targets(stored.ids[5]).isEmpty());
    // A second apply adds nothing; an aircraft added later gets its records from it.
    EXPECT_EQ(applyRegister(*db), 0);
    addAircraft(*db, "N4", 10);
    describeAircraft(*db, "N4", "Bell", "206B", "4000");
    EXPECT_EQ(applyRegister(*db, QStringLiteral("n4")), 2);
}

TEST_P(Register_, BadTasksAreRefusedWithTheirReasonAndNothingWritten) {
    store100Hours();
    const QByteArray before = content();
    auto refused = [&](Task t, data::ErrorNumber number, const char* words) {
        const auto e = dbErrorOf([&] { saveTask(*db, t); });
        ASSERT_TRUE(e) << words;
        EXPECT_EQ(e->number(), number) << e->text().toStdString();
        EXPECT_NE(e->text().indexOf(QString::fromUtf8(words)), -1) << e->text().toStdString();
        EXPECT_EQ(content(), before) << words;
    };
    Task zero = directive("B-1", "Bell");
    zero.interval[slot(Parameter::Hours)] = 0;
    refused(zero, data::err::ValidationRule,
            "AD B-1 cannot be saved: The interval in hours must be more than 0 (it is 0).");
    Task negative = directive("B-2", "Bell");
    negative.threshold[slot(Parameter::Landings)] = -5;
    refused(negative, data::err::ValidationRule, "threshold in landings must be more than 0");
    Task fraction = directive("B-3", "Bell");
    fraction.interval[slot(Parameter::Months)] = 1.5;
    refused(fraction, data::err::ValidationRule, "whole number of months");
    Task noNumber = directive(" ", "Bell");
    refused(noNumber, data::err::ValidationRule, "The task has no number.");
    Task noMake = directive("B-4", "");
    refused(noMake, data::err::ValidationRule, "names no make");
    Task badSerials = directive("B-5", "Bell");
    badSerials.serials = QStringLiteral("9-1");
    refused(badSerials, data::err::ValidationRule, "begins after it ends");
    Task stray = directive("B-6", "Bell");
    stray.tolerance[slot(Parameter::Cycles)] = 5;
    refused(stray, data::err::ValidationRule, "tolerance in cycles but no interval");
    // The same number and revision, in other letters and with blanks: a duplicate.
    Task twin = directive(" 2025-01-01 ", "Robinson");
    refused(twin, data::err::DuplicateKey, "holds the number 2025-01-01 without a revision");
    Task revised = directive("2025-01-01", "Robinson");
    revised.revision = QStringLiteral("R1");
    EXPECT_EQ(saveTask(*db, revised).ids.size(), 1u);  // a new revision is a task of its own
    revised.revision = QStringLiteral("r1");
    revised.id = 0;
    EXPECT_DB_ERROR(saveTask(*db, revised), data::err::DuplicateKey);
    // A batch with one bad task stores none of them.
    const QByteArray beforeBatch = content();
    EXPECT_DB_ERROR(saveTasks(*db, {directive("C-1", "Bell"), directive("c-1", "Bell")}),
                    data::err::DuplicateKey);
    EXPECT_EQ(content(), beforeBatch);
}

TEST_P(Register_, AccomplishmentsSetTheStatusAndTheNextDue) {
    const std::int64_t id = store100Hours();
    const Compliance open = complianceOf(id, "N1");
    Accomplishment a;
    a.date = QDate(2025, 3, 1);
    a.totals.time = 990;
    a.workOrder = QStringLiteral("WO-17");
    a.signedBy = QStringLiteral("J. Smith");
    a.certificate = QStringLiteral("A&P 1234567");
    const std::int64_t done = addAccomplishment(*db, open, a, kToday);
    const Register r = readRegister(*db, QStringLiteral("N1"));
    const Compliance* c = r.findCompliance(open.id);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->status, Status::Recurring);
    const auto recorded = r.accomplishmentsOf(open.id);
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0].id, done);
    EXPECT_EQ(recorded[0].regNum, "N1");
    EXPECT_EQ(recorded[0].certificate, "A&P 1234567");
    EXPECT_EQ(recorded[0].enteredBy, currentUser());
    const Schedule s = scheduleOf(*r.findTask(id), *c, recorded);
    ASSERT_EQ(s.figures.size(), 1u);
    EXPECT_EQ(s.figures[0].dueAt, 1090.0);

    // Removing it opens the task again.
    deleteAccomplishment(*db, done);
    EXPECT_EQ(complianceOf(id, "N1").status, Status::Open);
}

TEST_P(Register_, BadAccomplishmentsAreRefusedWithTheirReasonAndNothingWritten) {
    const std::int64_t id = store100Hours();
    Compliance c = complianceOf(id, "N1");
    Accomplishment first;
    first.date = QDate(2025, 3, 1);
    first.totals.time = 950;  // N1 has 1000 now; the aircraft's start was 1000 too
    addAccomplishment(*db, c, first, kToday);
    const QByteArray before = content();
    auto refused = [&](const Accomplishment& a, const char* words) {
        const auto e = dbErrorOf([&] { addAccomplishment(*db, c, a, kToday); });
        ASSERT_TRUE(e) << words;
        EXPECT_EQ(e->number(), data::err::ValidationRule);
        EXPECT_NE(e->text().indexOf(QString::fromUtf8(words)), -1) << e->text().toStdString();
        EXPECT_TRUE(e->text().startsWith("The accomplishment cannot be recorded: "));
        EXPECT_EQ(content(), before) << words;
    };
    Accomplishment a;
    a.totals.time = 990;
    refused(a, "The accomplishment has no date.");
    a.date = QDate(2025, 6, 16);
    refused(a, "The date 2025-06-16 lies in the future.");
    a.date = QDate(2024, 12, 31);
    refused(a, "The date 2024-12-31 lies before the effective date 2025-01-01 of AD 2025-01-01.");
    a.date = QDate(2025, 5, 1);
    a.totals.time = 940;
    refused(a,
            "The meter 1 hours total 940 is lower than at the accomplishment of 2025-03-01 (950).");
    a.totals.time = 1000.5;
    refused(a, "The meter 1 hours total 1000.5 is more than the aircraft has now (1000).");
    a.totals.time = std::nullopt;
    refused(a, "The aircraft's meter 1 hours at the accomplishment are needed");
    a.date = QDate(2025, 2, 1);
    a.totals.time = 960;
    refused(a, "higher than at the later accomplishment of 2025-03-01 (950)");
    a.totals.time = 980;
    a.totals.landings = -1;
    a.date = QDate(2025, 5, 1);
    refused(a, "The landings total must be a number not below 0.");

    // Not applicable: nothing to record.
    c = complianceOf(id, "N1");
    c.status = Status::NotApplicable;
    EXPECT_DB_ERROR(saveCompliance(*db, c), data::err::ValidationRule);  // no reason
    EXPECT_EQ(content(), before);
    c.reason = QStringLiteral("Kit 206-704 fitted");
    saveCompliance(*db, c);
    const QByteArray na = content();
    a.totals.landings = std::nullopt;
    const auto e = dbErrorOf([&] { addAccomplishment(*db, c, a, kToday); });
    ASSERT_TRUE(e);
    EXPECT_NE(e->text().indexOf("is marked not applicable"), -1);
    EXPECT_EQ(content(), na);
    EXPECT_EQ(complianceOf(id, "N1").reason, "Kit 206-704 fitted");
}

TEST_P(Register_, ChangingATaskWithdrawsTheOpenRecordsWhereItNoLongerApplies) {
    Task t = directive("2025-01-01", "Bell");
    t.id = saveTask(*db, t).ids.at(0);
    Accomplishment a;
    a.date = QDate(2025, 3, 1);
    a.totals.time = 1900;
    addAccomplishment(*db, complianceOf(t.id, "N2"), a, kToday);
    // Narrowed to the 206B: N2's record stays (it holds an accomplishment), N1's too (it
    // still applies); narrowed to the R44, N1's open record goes.
    t.model = QStringLiteral("206B");
    EXPECT_EQ(saveTask(*db, t).withdrawn, 0);
    t.make = QStringLiteral("Robinson");
    t.model = QStringLiteral("R44");
    const TasksStored changed = saveTask(*db, t);
    EXPECT_EQ(changed.withdrawn, 1);
    EXPECT_EQ(changed.applied, 1);
    QStringList regs;
    for (const Compliance& c : readRegister(*db).compliance)
        regs << c.regNum;
    regs.sort();
    EXPECT_EQ(regs, QStringList({"N2", "N3"}));
    // A task with an accomplishment stays in the register.
    const QByteArray before = content();
    const auto e = dbErrorOf([&] { deleteTask(*db, t.id); });
    ASSERT_TRUE(e);
    EXPECT_NE(e->text().indexOf("accomplishments of it are recorded on N2"), -1);
    EXPECT_EQ(content(), before);
    // One without is removed with its records.
    const std::int64_t other = saveTask(*db, directive("X-1", "Bell")).ids.at(0);
    deleteTask(*db, other);
    EXPECT_EQ(readRegister(*db).findTask(other), nullptr);
    for (const Compliance& c : readRegister(*db).compliance)
        EXPECT_NE(c.taskId, other);
}

TEST_P(Register_, FromNewCountsFromTheYearOfManufactureAndTheComponentsLife) {
    Task t = directive("N-1", "Bell", "206B");
    t.thresholdFrom = ThresholdFrom::New;
    t.interval = {};
    t.threshold[slot(Parameter::Months)] = 240;
    Task p = partDirective("N-2", "ABC-1");
    p.thresholdFrom = ThresholdFrom::New;
    p.interval = {};
    p.threshold[slot(Parameter::Hours)] = 2000;
    p.threshold[slot(Parameter::Landings)] = 5000;
    const TasksStored s = saveTasks(*db, {t, p});
    const Compliance aircraft = complianceOf(s.ids[0], "N1");
    EXPECT_EQ(aircraft.startDate, QDate(2010, 1, 1));
    EXPECT_EQ(aircraft.start[slot(Parameter::Hours)], 0.0);
    // S1 on N1: its RT row had 300 hours at installation at 900 aircraft hours, so it was
    // new at 600; its LD row 1500 landings at 3000, so new at 1500.
    const Compliance part = complianceOf(s.ids[1], "N1", "ABC-1");
    EXPECT_FALSE(part.startDate.isValid());
    EXPECT_EQ(part.start[slot(Parameter::Hours)], 600.0);
    EXPECT_EQ(part.start[slot(Parameter::Landings)], 1500.0);
    // S2 on N2 has no RT row: its hours from new are not known.
    const Compliance unknown = complianceOf(s.ids[1], "N2", "abc-1");
    EXPECT_FALSE(unknown.start[slot(Parameter::Hours)]);
    EXPECT_EQ(unknown.start[slot(Parameter::Landings)], 0.0);
}

TEST_P(Register_, EveryChangeIsInTheEntryJournalWithWhoMadeIt) {
    VELMORA_FILES_ONLY(store);  // the server keeps who in the rows themselves
    const std::int64_t id = store100Hours();
    Accomplishment a;
    a.date = QDate(2025, 3, 1);
    a.totals.time = 1000;
    addAccomplishment(*db, complianceOf(id, "N1"), a, kToday);
    auto rs = db->openRecordset(QStringLiteral(
        "select TableName, RegNum, UserName from Journal where TableName like 'Task*' "
        "order by Seq"));
    QStringList tables;
    for (const auto& row : rs->rows()) {
        tables << row.values[0].toString();
        EXPECT_EQ(row.values[2].toString(), currentUser());
    }
    ASSERT_GE(tables.size(), 4);
    EXPECT_EQ(tables.mid(0, 4),
              QStringList({"Tasks", "TaskCompliance", "TaskAccomplishments", "TaskCompliance"}));
}

TEST_P(Register_, ChangeStampsReadBackAsTheEngineReadsThem) {
    const std::int64_t id = store100Hours();
    auto stampOfTask = [&] {
        for (const Task& t : readRegister(*db).tasks) {
            if (t.id == id)
                return t.changedAt;
        }
        ADD_FAILURE() << "task " << id << " not read";
        return QDateTime();
    };
    auto stored = [&] {
        auto rs = db->openRecordset(QStringLiteral("SELECT ChangedAt FROM Tasks"));
        return rs->rows().at(0).values.at(0).toString();
    };
    const auto written = data::parseJetDateTime(stored());
    ASSERT_TRUE(written.has_value());
    EXPECT_EQ(stampOfTask(), *written);
    const auto set = [&](const QString& stamp) {
        db->execute(QStringLiteral("UPDATE Tasks SET ChangedAt = ?1"), {data::Value(stamp)});
    };
    set(QStringLiteral("2024-02-29 23:59:58"));
    EXPECT_EQ(stampOfTask(), QDateTime(QDate(2024, 2, 29), QTime(23, 59, 58), Qt::UTC));
}

VELMORA_ON_BOTH_BACK_ENDS(Register_);

}  // namespace
