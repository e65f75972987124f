// The register's tasks in the due list, on both back ends: each open or recurring task on an
// aircraft or component as a line beside the component limits, with the figure that comes
// first worked out by hand here, and the due list's filters choosing them as limits.
#include "TaskTestData.h"
#include "support/BackEnds.h"
#include "support/TestFiles.h"

#include "data/DateDisplay.h"
#include "due/DueFilter.h"
#include "due/DueListSource.h"
#include "due/DueListTable.h"
#include "tasks/ComplianceStatus.h"
#include "tasks/TaskDueLines.h"
#include "tasks/TaskStore.h"
#include "tasks/TaskWrites.h"

#include <gtest/gtest.h>

#include <set>

using namespace velmora;
using namespace velmora::testing;
using namespace velmora::tasks;
using due::DueListTable;

namespace {

const QDate kToday(2025, 6, 15);

// N1, a Bell 206B at 1000 hours and 4000 landings, carries the part ABC-1 S1 (a landings
// limit of 20000, 1500 used when fitted at 3000: 17500 left, 1750 days); N3 is a Robinson R44 at
// 3000 hours.
class TaskLines_ : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        db = data::Database::open(store.createMainFile());
        addAircraft(*db, "N1", 1000, 0, 4000, 0, 0);
        addAircraft(*db, "N3", 3000);
        describeAircraft(*db, "N1", "Bell", "206B", "1001");
        describeAircraft(*db, "N3", "Robinson", "R44", "3000");
        addPart(*db, part("N1", 1)
                         .withBasis("LD")
                         .withLife(20000, 1500, 3000)
                         .asUnit("ABC-1", "S1")
                         .describedAs("Skid"));
    }

    std::shared_ptr<due::DueList> dueList(bool withTasks = true) {
        due::DueListRequest r;
        r.dataPath = store.dataPath();
        r.utilisation = [](data::Database&) { return std::make_unique<SteadyUse>(); };
        r.today = kToday;
        if (withTasks)
            r.moreLines = taskDueLines();
        return due::loadDueList(r);
    }
    // The selected lines as text, cells joined by '|'.
    static QStringList shown(const std::shared_ptr<due::DueList>& list, const due::DueFilter& f,
                             std::vector<int> columns) {
        DueListTable t;
        t.setRows(list, due::selectDue(*list, f));
        QStringList out;
        for (int r = 0; r < t.rowCount(); ++r) {
            QStringList cells;
            for (int c : columns)
                cells << t.text(r, c);
            out << cells.join(u'|');
        }
        return out;
    }
    Compliance complianceOf(std::int64_t task, const QString& reg) {
        for (const Compliance& c : readRegister(*db).compliance) {
            if (c.taskId == task && c.regNum == reg)
                return c;
        }
        ADD_FAILURE() << "no compliance of task " << task << " on " << reg.toStdString();
        return {};
    }
    void accomplish(std::int64_t task, const QString& reg, QDate date, double hours) {
        Accomplishment a;
        a.date = date;
        a.totals.time = hours;
        a.workOrder = QStringLiteral("WO-1");
        a.signedBy = QStringLiteral("J. Smith");
        a.certificate = QStringLiteral("A&P 1");
        addAccomplishment(*db, complianceOf(task, reg), a, kToday);
    }

    const std::vector<int> kColumns = {
        DueListTable::Registration, DueListTable::Component, DueListTable::PartNumber,
        DueListTable::SerialNumber, DueListTable::Type,      DueListTable::Meter,
        DueListTable::ServiceLife,  DueListTable::Remaining, DueListTable::DueDate,
        DueListTable::Days,         DueListTable::Status};

    TestStore store{GetParam()};
    std::shared_ptr<data::Database> db;
};

TEST_P(TaskLines_, OpenAndRecurringTasksStandBesideTheLimitsWithTheirFirstFigure) {
    // Every 100 hours or every month, whichever first; done on 1 June at 990 hours: hours
    // due at 1090 (90 left, 18 days: 3 July), months on 1 July (16 of June's 30 days from
    // 15 June: 0.5 months). The month comes first, within the default 30 days: due soon.
    Task both = directive("2025-01-01", "Bell", "206B");
    both.interval[slot(Parameter::Months)] = 1;
    const std::int64_t bothId = saveTask(*db, both).ids[0];
    accomplish(bothId, "N1", QDate(2025, 6, 1), 990);
    // Every 500 landings of the part ABC-1, counted from when it was applied (N1's 4000
    // landings): due at 4500, 500 left, 50 days.
    const std::int64_t partId = saveTask(*db, partDirective("2025-02-02", "ABC-1")).ids[0];
    // Every 100 hours or 12 months on N1, done on 1 May at 950 hours: hours due at 1050, 50
    // left, 10 days (25 June), before 1 May 2026: the hours come first.
    Task hours = directive("2025-04-04", "Bell", "206B");
    hours.interval[slot(Parameter::Months)] = 12;
    hours.title = QStringLiteral("Hinge");
    const std::int64_t hoursId = saveTask(*db, hours).ids[0];
    accomplish(hoursId, "N1", QDate(2025, 5, 1), 950);
    // Closed, so not listed: not applicable on N3; a one-time task complied with on N1.
    const std::int64_t r44 = saveTask(*db, directive("2025-03-03", "Robinson", "R44")).ids[0];
    Compliance na = complianceOf(r44, "N3");
    na.status = Status::NotApplicable;
    na.reason = QStringLiteral("Modified");
    saveCompliance(*db, na);
    Task once = directive("2025-05-05", "Bell", "206B");
    once.interval = {};
    const std::int64_t onceId = saveTask(*db, once).ids[0];
    accomplish(onceId, "N1", QDate(2025, 5, 10), 960);

    const auto list = dueList();
    auto date = [](int y, int m, int d) { return data::displayDate(QDate(y, m, d)); };
    EXPECT_EQ(shown(list, {}, kColumns),
              QStringList(
                  {"N1|AD 2025-04-04: Hinge|||IN|1|100|50.0|" + date(2025, 6, 25) + "|10|Due soon",
                   "N1|AD 2025-01-01: Tail rotor inspection|||MO||1|0.5|" + date(2025, 7, 1) +
                       "|16|Due soon",
                   "N1|AD 2025-02-02: Tail rotor inspection|ABC-1|S1|LD||500|500|" +
                       date(2025, 8, 4) + "|50|",
                   "N1|Skid|ABC-1|S1|LD|1|20000|17500|" + date(2030, 3, 31) + "|1750|"}));
    // The entries stay by aircraft, and the task lines name their task and its record.
    for (size_t i = 1; i < list->entries.size(); ++i)
        EXPECT_LE(list->entries[i - 1].aircraft, list->entries[i].aircraft);
    std::set<std::int64_t> listed;
    for (const due::DueEntry& e : list->entries) {
        if (!e.isTask())
            continue;
        listed.insert(e.taskId);
        EXPECT_NE(e.complianceId, 0);
    }
    EXPECT_EQ(listed, std::set<std::int64_t>({bothId, partId, hoursId}));
    // Without the register's lines the list holds the limits only.
    EXPECT_EQ(shown(dueList(false), {}, {DueListTable::Component}), QStringList({"Skid"}));
}

TEST_P(TaskLines_, TheFiltersChooseTaskLinesAsLimits) {
    saveTask(*db, directive("2025-01-01", "Bell", "206B"));  // 100 hours from 1000: 20 days
    saveTask(*db, partDirective("2025-02-02", "ABC-1"));     // 500 landings: 50 days
    // Every 50 hours on the R44 from its 3000 hours: 50 left, 10 days.
    Task r44 = directive("2025-03-03", "Robinson", "R44");
    r44.interval[slot(Parameter::Hours)] = 50;
    saveTask(*db, r44);
    const auto list = dueList();
    const std::vector<int> what = {DueListTable::Registration, DueListTable::Component,
                                   DueListTable::Days};
    EXPECT_EQ(shown(list, {}, what).size(), 4);

    due::DueFilter days;
    days.withinDays = 20;
    EXPECT_EQ(shown(list, days, what), QStringList({"N3|AD 2025-03-03: Tail rotor inspection|10",
                                                    "N1|AD 2025-01-01: Tail rotor inspection|20"}));
    due::DueFilter hours;
    hours.withinHours = 60;
    EXPECT_EQ(shown(list, hours, what),
              QStringList({"N3|AD 2025-03-03: Tail rotor inspection|10"}));
    due::DueFilter landings;
    landings.bases = std::vector<due::Basis>{due::Basis::LD};
    EXPECT_EQ(shown(list, landings, what),
              QStringList({"N1|AD 2025-02-02: Tail rotor inspection|50", "N1|Skid|1750"}));
    due::DueFilter aircraft;
    aircraft.regNums = QStringList{"n3"};
    EXPECT_EQ(shown(list, aircraft, what).size(), 1);
    due::DueFilter warnings;
    warnings.onlyWarnings = true;  // 10 days is within the default 30: due soon
    EXPECT_EQ(shown(list, warnings, what).size(), 2);
}

TEST_P(TaskLines_, TheListTakesTheLinesTheComplianceStatusShowsInItsOrder) {
    // A second ABC-1 on N1 and one on N3; tasks stored out of the order of their numbers; a
    // part task on three components; a record left on N3 by a task that no longer applies
    // there; a closed record.
    addPart(*db, part("N1", 2)
                     .withBasis("LD")
                     .withLife(20000, 100, 3500)
                     .asUnit("ABC-1", "S0")
                     .describedAs("Skid"));
    addPart(*db, part("N3", 3)
                     .withBasis("LD")
                     .withLife(20000, 0, 0)
                     .asUnit("abc-1", "S9")
                     .describedAs("Skid"));
    saveTask(*db, directive("2025-09-09", "Bell", "206B"));
    saveTask(*db, partDirective("2025-02-02", "ABC-1"));
    Task monthly = directive("2025-01-01", "Bell");
    monthly.interval = {};
    monthly.interval[slot(Parameter::Months)] = 2;
    saveTask(*db, monthly);
    const std::int64_t r44 = saveTask(*db, directive("2025-03-03", "Robinson", "R44")).ids[0];
    Compliance na = complianceOf(saveTask(*db, directive("2025-04-04", "Bell", "206B")).ids[0],
                                 QStringLiteral("N1"));
    na.status = Status::NotApplicable;
    na.reason = QStringLiteral("Modified");
    saveCompliance(*db, na);
    describeAircraft(*db, "N3", "Robinson", "R66", "3000");
    ASSERT_NE(complianceOf(r44, QStringLiteral("N3")).id, 0);

    const auto list = dueList();
    due::DueList expected = *dueList(false);
    const SteadyUse use;
    addTaskLines(&expected, readComplianceStatus(*db, use, due::WarningSettings{}, expected.today));
    auto lines = [](const due::DueList& l) {
        QStringList out;
        for (const due::DueEntry& e : l.entries) {
            out << QStringLiteral("%1|%2|%3|%4|%5|%6|%7|%8|%9")
                       .arg(e.aircraft)
                       .arg(e.taskId)
                       .arg(e.complianceId)
                       .arg(QString::fromStdString(e.description),
                            QString::fromStdString(e.partNumber),
                            QString::fromStdString(e.serialNumber))
                       .arg(e.remaining.value_or(-1))
                       .arg(e.dueDay)
                       .arg(static_cast<int>(e.level));
        }
        return out;
    };
    const QStringList got = lines(*list);
    EXPECT_EQ(got, lines(expected));
    // Three limits; on N1 the part task twice, the model's and the make's; on N3 the part
    // task and the record left.
    EXPECT_EQ(got.size(), 3 + 4 + 2) << got.join(u'\n').toStdString();
}

VELMORA_ON_BOTH_BACK_ENDS(TaskLines_);

}  // namespace
