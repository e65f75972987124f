// The compliance status of the fleet and its table, the AD status report, on both back
// ends: every task on every aircraft or installed component it applies to, recorded or
// not, with what the owner's records must hold, worked out by hand here.
#include "TaskTestData.h"
#include "support/BackEnds.h"
#include "support/TestFiles.h"

#include "tasks/ComplianceStatus.h"
#include "tasks/RegisterTable.h"
#include "tasks/StatusTable.h"
#include "tasks/TaskStore.h"
#include "tasks/TaskWrites.h"

#include <QBrush>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;
using namespace velmora::tasks;

namespace {

const QDate kToday(2025, 6, 15);

class Status_ : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        location = store.createMainFile();
        db = data::Database::open(location);
        addAircraft(*db, "N1", 1000, 0, 4000, 0, 0);
        addAircraft(*db, "N3", 3000);
        describeAircraft(*db, "N1", "Bell", "206B", "1001");
        describeAircraft(*db, "N3", "Robinson", "R44", "3000");
        addPart(*db,
                part("N1", 1).withBasis("LD").withLife(20000, 1500, 3000).asUnit("ABC-1", "S1"));
    }

    // The status table of the whole fleet as text, one line per row, cells joined by '|'.
    QStringList table(const ComplianceStatus& s, std::vector<int> columns) {
        StatusTable t;
        t.setLines(std::make_shared<ComplianceStatus>(s));
        QStringList out;
        for (int r = 0; r < t.rowCount(); ++r) {
            QStringList cells;
            for (int c : columns)
                cells << t.text(r, c);
            out << cells.join(u'|');
        }
        return out;
    }
    ComplianceStatus status() {
        return readComplianceStatus(*db, use, due::WarningSettings{}, kToday);
    }
    Compliance complianceOf(std::int64_t task, const QString& reg) {
        for (const Compliance& c : readRegister(*db).compliance) {
            if (c.taskId == task && c.regNum == reg)
                return c;
        }
        ADD_FAILURE() << "no compliance of task " << task << " on " << reg.toStdString();
        return {};
    }

    TestStore store{GetParam()};
    QString location;
    std::shared_ptr<data::Database> db;
    SteadyUse use;
};

TEST_P(Status_, EachTaskOnEachAircraftAndComponentWithItsNextDue) {
    // Every 100 hours on N1; done on 1 March at 990 hours, so next due at 1090: 90 hours
    // left of N1's 1000, 18 days at 5 hours a day.
    const std::int64_t hours = saveTask(*db, directive("2025-01-01", "Bell", "206B")).ids[0];
    Accomplishment a;
    a.date = QDate(2025, 3, 1);
    a.totals.time = 990;
    a.workOrder = QStringLiteral("WO-17");
    a.signedBy = QStringLiteral("J. Smith");
    a.certificate = QStringLiteral("A&P 1234567");
    Compliance c = complianceOf(hours, "N1");
    c.method = QStringLiteral("Inspected per SB 206-25-190");
    c.methodReference = QStringLiteral("WO-17");
    saveCompliance(*db, c);
    addAccomplishment(*db, complianceOf(hours, "N1"), a, kToday);
    // Every 500 landings of the part ABC-1, on N1's S1: counted from its start (N1's 4000
    // landings when it was applied), next due at 4500, 500 left, 50 days.
    saveTask(*db, partDirective("2025-02-02", "ABC-1"));
    // The R44 directive does not apply to N3 (its reason kept): nothing is due.
    const std::int64_t r44 = saveTask(*db, directive("2025-03-03", "Robinson", "R44")).ids[0];
    Compliance na = complianceOf(r44, "N3");
    na.status = Status::NotApplicable;
    na.reason = QStringLiteral("Blades of P/N X replaced");
    saveCompliance(*db, na);

    const ComplianceStatus s = status();
    ASSERT_EQ(s.lines.size(), 3u);
    EXPECT_EQ(table(s, {StatusTable::Registration, StatusTable::Number, StatusTable::AppliesTo,
                        StatusTable::Status, StatusTable::NextDueTime, StatusTable::Remaining}),
              QStringList({"N1|2025-01-01|Aircraft|Recurring|1090.0 hours|90.0 hours",
                           "N1|2025-02-02|P/N ABC-1 S/N S1|Open|4500 landings|500 landings",
                           "N3|2025-03-03|Aircraft|Not applicable: Blades of P/N X "
                           "replaced||"}));
    // What the owner's records must hold: number, revision date, status, method of
    // compliance, and for recurring action the time and the date when next required.
    EXPECT_EQ(table(s, {StatusTable::Kind, StatusTable::RevisionDate, StatusTable::Method,
                        StatusTable::Recurring})[0],
              "AD|2024-12-01|Inspected per SB 206-25-190 (WO-17)|Every 100.0 hours");
    EXPECT_TRUE(table(s, {StatusTable::LastDone})[0].startsWith("2025-03-01"));
    EXPECT_EQ(table(s, {StatusTable::Level})[2], "");
    EXPECT_EQ(StatusTable::caption(StatusTable::NextDueDate), "Next Due Date");
    EXPECT_EQ(StatusTable().columnCount(), StatusTable::ColumnCount);
}

TEST_P(Status_, AnAircraftAddedLaterShowsItsTasksUntilTheyAreRecorded) {
    saveTask(*db, directive("2025-01-01", "Bell", "206B"));
    addAircraft(*db, "N4", 500);
    describeAircraft(*db, "N4", "Bell", "206B", "1002");
    ComplianceStatus s = status();
    ASSERT_EQ(s.lines.size(), 2u);
    EXPECT_EQ(table(s, {StatusTable::Registration, StatusTable::Status})[1],
              "N4|Open (not recorded)");
    EXPECT_EQ(applyRegister(*db), 1);
    s = status();
    EXPECT_EQ(table(s, {StatusTable::Registration, StatusTable::Status})[1], "N4|Open");
    // One aircraft's status holds its lines only.
    s = readComplianceStatus(*db, use, due::WarningSettings{}, kToday, QStringLiteral("n4"));
    ASSERT_EQ(s.lines.size(), 1u);
    EXPECT_EQ(s.aircraftOf(s.lines[0]).regNum, "N4");
}

TEST_P(Status_, OverdueLinesAreRedAndTheRegisterTableSaysWhatEachTaskIs) {
    // Every 100 hours from the start (N1's 1000 hours), with a 50-hour threshold counted
    // from new: due at 50 hours, 950 hours overdue.
    Task t = directive("2025-01-01", "Bell", "206B");
    t.threshold[slot(Parameter::Hours)] = 50;
    t.thresholdFrom = ThresholdFrom::New;
    t.tolerance[slot(Parameter::Hours)] = 10;
    saveTask(*db, t);
    const ComplianceStatus s = status();
    ASSERT_EQ(s.lines.size(), 1u);
    EXPECT_EQ(table(s, {StatusTable::NextDueTime, StatusTable::Remaining, StatusTable::Level}),
              QStringList({"50.0 hours|-950.0 hours|Overdue"}));
    StatusTable st;
    st.setLines(std::make_shared<ComplianceStatus>(s));
    const QVariant colour = st.data(st.index(0, 0), Qt::ForegroundRole);
    ASSERT_TRUE(colour.canConvert<QBrush>());
    EXPECT_EQ(colour.value<QBrush>().color(), due::warningColour(due::WarningLevel::Overdue));

    RegisterTable rt;
    rt.setTasks(readRegister(*db).tasks);
    ASSERT_EQ(rt.rowCount(), 1);
    EXPECT_EQ(rt.text(0, RegisterTable::AppliesTo), "Bell 206B");
    EXPECT_EQ(rt.text(0, RegisterTable::Interval), "100.0 hours");
    EXPECT_EQ(rt.text(0, RegisterTable::Threshold), "50.0 hours from new");
    EXPECT_EQ(rt.text(0, RegisterTable::Tolerance), "10.0 hours");
}

VELMORA_ON_BOTH_BACK_ENDS(Status_);

}  // namespace
