// The due list: remaining life and due date of every limit, worked out by hand for each
// basis and both meters, the limit that controls a component, and what happens without
// daily use.
#include "DueTestData.h"
#include "support/TestFiles.h"

#include "data/DateDisplay.h"
#include "data/JetText.h"
#include "data/Journal.h"
#include "due/DueFilter.h"
#include "due/DueList.h"
#include "due/DueListTable.h"
#include "journal/JournalUtilisation.h"
#include "utilisation/PlannedUtilisation.h"
#include "utilisation/UtilisationSource.h"

#include <QBrush>

#include <cstring>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;
using due::Basis;
using due::DueEntry;
using due::Projection;
using due::WarningLevel;
using utilisation::DailyUtilisation;

namespace {

const QDate kToday(2025, 6, 15);

// The same daily use for every aircraft.
class SameUse : public utilisation::UtilisationSource {
  public:
    explicit SameUse(DailyUtilisation use) : use_(use) {}
    DailyUtilisation dailyUse(const QString&) const override { return use_; }
    DailyUtilisation use_;
};

DailyUtilisation normalUse() {
    DailyUtilisation u;
    u.meter1Hours = 4;
    u.meter2Hours = 2.5;
    u.landings = 10;
    u.cycles = 6;
    u.rin = 25;
    return u;
}

// Aircraft N1 with 1000 hours on meter 1, 800 on meter 2, 5000 landings, 3000 cycles and
// 12000 RIN, and a limit of every basis and meter.
class DueListNumbers : public ::testing::Test {
  protected:
    void SetUp() override {
        db = data::Database::open(folder.createMainFile());
        addAircraft(*db, "N1", 1000, 800, 5000, 3000, 12000);
        auto limit = [&](int item, const char* basis, int meter, double life, double left,
                         double ac, const char* date = "") {
            PartSpec l;
            l.reg = "N1";
            l.item = item;
            l.basis = QString::fromLatin1(basis);
            l.meter = meter;
            l.life = life;
            l.installLeft = left;
            l.installAc = ac;
            l.installDate = QString::fromLatin1(date);
            l.partNumber = QStringLiteral("P%1").arg(item);
            l.serial = QStringLiteral("S%1").arg(item);
            addPart(*db, l);
        };
        limit(1, "RT", 1, 2000, 100, 500);
        limit(2, "OH", 2, 1200, 0, 300);
        limit(3, "IN", 1, 100, 0, 950);
        limit(4, "LD", 1, 6000, 200, 1000);
        limit(5, "CY", 2, 4000, 0, 1000);
        limit(6, "RN", 1, 15000, 500, 2000);
        limit(7, "MO", 1, 24, 0, 0, "2024-01-31");
        limit(8, "OH", 1, 3000, 0, 0);
        limit(9, "IN", 2, 200, 0, 790);
        limit(10, "RT", 2, 1000, 0, 0);
        limit(11, "RT", 1, 900, 0, 0);              // 100 hours beyond its life
        limit(12, "MO", 2, 1, 0, 0, "2025-01-31");  // retired on 28 February
    }

    due::DueList compute(const DailyUtilisation& use = normalUse()) {
        return due::computeDueList(*db, SameUse(use), due::WarningSettings{}, kToday);
    }

    TestFolder folder;
    std::shared_ptr<data::Database> db;
};

struct Expected {
    int item;
    double remaining;
    const char* dueDate;
    WarningLevel level;
};

TEST_F(DueListNumbers, EveryBasisAndBothMetersWorkedOutByHand) {
    const due::DueList list = compute();
    const Expected expected[] = {
        {1, 1400, "2026-05-31", WarningLevel::Fine},      // 1400 h at 4 h a day: 350 days
        {2, 700, "2026-03-22", WarningLevel::Fine},       // 700 h on meter 2 at 2.5: 280
        {3, 50, "2025-06-27", WarningLevel::DueSoon},     // 50 h at 4: 12 days
        {4, 1800, "2025-12-12", WarningLevel::Fine},      // 1800 landings at 10: 180
        {5, 2000, "2026-05-14", WarningLevel::Fine},      // 2000 cycles at 6: 333 days
        {6, 4500, "2025-12-12", WarningLevel::Fine},      // 4500 RIN at 25: 180
        {8, 2000, "2026-10-28", WarningLevel::Fine},      // 2000 h at 4: 500
        {9, 190, "2025-08-30", WarningLevel::Fine},       // 190 h at 2.5: 76
        {10, 200, "2025-09-03", WarningLevel::Fine},      // 200 h at 2.5: 80
        {11, -100, "2025-05-21", WarningLevel::Overdue},  // ran out 25 days ago
    };
    ASSERT_EQ(list.entries.size(), 12u);
    for (const Expected& x : expected) {
        SCOPED_TRACE(x.item);
        const DueEntry* e = findEntry(list, "N1", x.item);
        ASSERT_TRUE(e);
        ASSERT_TRUE(e->remaining);
        EXPECT_DOUBLE_EQ(*e->remaining, x.remaining);
        EXPECT_EQ(e->projection, Projection::Dated);
        EXPECT_EQ(e->dueDate(), QDate::fromString(QString::fromLatin1(x.dueDate), Qt::ISODate));
        EXPECT_EQ(e->level, x.level);
    }
    // Months: the retirement date itself, and the months left to it.
    const DueEntry* mo = findEntry(list, "N1", 7);
    EXPECT_EQ(mo->dueDate(), QDate(2026, 1, 31));
    EXPECT_NEAR(*mo->remaining, 7 + 16.0 / 31.0, 1e-9);
    EXPECT_EQ(mo->level, WarningLevel::Fine);
    const DueEntry* ended = findEntry(list, "N1", 12);
    EXPECT_EQ(ended->dueDate(), QDate(2025, 2, 28));
    EXPECT_EQ(ended->daysToDue(kToday), -107);
    EXPECT_EQ(ended->level, WarningLevel::Overdue);
}

TEST_F(DueListNumbers, ListedByDueDateWithTheTextsOfTheGrid) {
    const due::DueList list = compute();
    auto shared = std::make_shared<due::DueList>(list);
    due::DueListTable table;
    table.setRows(shared, due::selectDue(*shared, {}));
    QStringList items;
    for (int r = 0; r < table.rowCount(); ++r)
        items << table.text(r, due::DueListTable::Item);
    EXPECT_EQ(items.join(' '), "12 11 3 9 10 4 6 7 2 5 1 8");
    using T = due::DueListTable;
    EXPECT_EQ(table.text(1, T::Remaining), "-100.0");
    EXPECT_EQ(table.text(1, T::Unit), "hours");
    EXPECT_EQ(table.text(1, T::DueDate), data::displayDate(QDate(2025, 5, 21)));
    EXPECT_EQ(table.fileText(1, T::DueDate), "2025-05-21");
    EXPECT_EQ(table.text(1, T::Days), "-25");
    EXPECT_EQ(table.text(1, T::Status), "Overdue");
    EXPECT_EQ(table.text(2, T::Status), "Due soon");
    EXPECT_EQ(table.text(3, T::Status), "");
    EXPECT_EQ(table.text(5, T::Remaining), "1800");
    EXPECT_EQ(table.text(5, T::Unit), "landings");
    EXPECT_EQ(table.text(7, T::Remaining), "7.5");
    EXPECT_EQ(table.text(7, T::Unit), "months");
    EXPECT_EQ(table.data(table.index(1, T::Component), Qt::ForegroundRole).value<QBrush>().color(),
              QColor(Qt::red));
    EXPECT_EQ(table.data(table.index(2, T::Component), Qt::ForegroundRole).value<QBrush>().color(),
              due::warningColour(WarningLevel::DueSoon));
    EXPECT_FALSE(table.data(table.index(3, T::Component), Qt::ForegroundRole).isValid());
}

TEST_F(DueListNumbers, WithoutDailyUseOnlyTheMonthsLimitsHaveADate) {
    DailyUtilisation none;
    none.meter1Hours = 0;  // recorded as not flying: still no projection
    const due::DueList list = compute(none);
    for (const DueEntry& e : list.entries) {
        SCOPED_TRACE(e.itemNumber);
        if (e.basisKind() == Basis::MO) {
            EXPECT_EQ(e.projection, Projection::Dated);
            continue;
        }
        EXPECT_EQ(e.projection, Projection::NoUseRecorded);
        EXPECT_FALSE(e.dueDate().isValid());
        EXPECT_FALSE(e.daysToDue(kToday));
        EXPECT_EQ(due::dueDateText(e), "no use recorded");
        ASSERT_TRUE(e.remaining);  // the remaining life is still known
    }
    // The overdue limit stays overdue and heads the list; the others follow the dated ones.
    const due::DueEntry* overdue = findEntry(list, "N1", 11);
    EXPECT_EQ(overdue->level, WarningLevel::Overdue);
    const std::vector<int> order = due::selectDue(list, {});
    EXPECT_EQ(list.entries[static_cast<size_t>(order.front())].itemNumber, 11);
    EXPECT_EQ(list.entries[static_cast<size_t>(order[1])].itemNumber, 12);
    EXPECT_EQ(list.entries[static_cast<size_t>(order[2])].itemNumber, 7);
    // Due soon by its amount alone: 50 of 100 hours is more than 10%, so not without a date.
    EXPECT_EQ(findEntry(list, "N1", 3)->level, WarningLevel::Fine);
}

TEST_F(DueListNumbers, ProjectionNeverDividesByZeroOrRunsPastACentury) {
    DueEntry e;
    e.remaining = 1e12;
    due::projectByUse(&e, 0.001, kToday);
    EXPECT_EQ(e.projection, Projection::BeyondReach);
    EXPECT_EQ(due::dueDateText(e), "over 100 years");
    due::projectByUse(&e, 0.0, kToday);
    EXPECT_EQ(e.projection, Projection::NoUseRecorded);
    due::projectByUse(&e, -3.0, kToday);
    EXPECT_EQ(e.projection, Projection::NoUseRecorded);
    due::projectByUse(&e, std::nullopt, kToday);
    EXPECT_EQ(e.projection, Projection::NoUseRecorded);
    e.remaining = 10;  // ten hours at three a day last three whole days
    due::projectByUse(&e, 3.0, kToday);
    EXPECT_EQ(e.dueDate(), kToday.addDays(3));
    e.remaining = 0;  // run out today
    due::projectByUse(&e, 3.0, kToday);
    EXPECT_EQ(e.dueDate(), kToday);
    e.remaining = -1;
    due::projectByUse(&e, 3.0, kToday);
    EXPECT_EQ(e.dueDate(), kToday.addDays(-1));
    e.remaining.reset();
    due::projectByUse(&e, 3.0, kToday);
    EXPECT_EQ(e.projection, Projection::NoFigure);
    EXPECT_EQ(due::dueDateText(e), "no remaining figure");
}

// Two limits of one gearbox of N1 (items item and item + 1): 1,500 hours, 900 of them left
// (225 days at 4 a day), and 12 months from 15 January 2025 (retiring in 214 days).
std::pair<PartSpec, PartSpec> hourAndMonthLimits(int item, const char* partNumber,
                                                 const char* serial) {
    PartSpec hours;
    hours.reg = "N1";
    hours.item = item;
    hours.life = 1500;
    hours.installAc = 400;
    hours.partNumber = partNumber;
    hours.serial = serial;
    PartSpec months = hours;
    months.item = item + 1;
    months.basis = "MO";
    months.life = 12;
    months.installDate = "2025-01-15";
    return {hours, months};
}

// A gearbox with an hour limit and a calendar limit: whichever comes first controls.
TEST_F(DueListNumbers, HourAndMonthLimitsOfOneComponentEachControlInTurn) {
    const auto [hours, firstMonths] = hourAndMonthLimits(20, "GB-1", "S-77");
    addPart(*db, hours);
    PartSpec months = firstMonths;
    months.partNumber = "gb-1 ";  // the same unit, as the engine compares text
    addPart(*db, months);

    // 900 hours at 4 a day last 225 days: the calendar comes first.
    due::DueList list = compute();
    const DueEntry* h = findEntry(list, "N1", 20);
    const DueEntry* m = findEntry(list, "N1", 21);
    EXPECT_EQ(h->limitsOfComponent, 2);
    EXPECT_FALSE(h->controls);
    EXPECT_TRUE(m->controls);
    EXPECT_EQ(h->dueDate(), QDate(2026, 1, 26));
    EXPECT_EQ(m->dueDate(), QDate(2026, 1, 15));

    // At 5 hours a day they last 180 days: now the hours come first.
    DailyUtilisation busier = normalUse();
    busier.meter1Hours = 5;
    list = compute(busier);
    h = findEntry(list, "N1", 20);
    m = findEntry(list, "N1", 21);
    EXPECT_TRUE(h->controls);
    EXPECT_FALSE(m->controls);
    EXPECT_EQ(h->dueDate(), QDate(2025, 12, 12));

    // Without daily use only the calendar gives a date, so it controls.
    list = compute(DailyUtilisation{});
    EXPECT_TRUE(findEntry(list, "N1", 21)->controls);

    auto shared = std::make_shared<due::DueList>(compute(busier));
    due::DueListTable table;
    due::DueFilter onlyControlling;
    onlyControlling.onlyControlling = true;
    table.setRows(shared, due::selectDue(*shared, onlyControlling));
    int gearbox = 0;
    for (int r = 0; r < table.rowCount(); ++r) {
        if (table.text(r, due::DueListTable::PartNumber).startsWith("GB", Qt::CaseInsensitive)) {
            ++gearbox;
            EXPECT_EQ(table.text(r, due::DueListTable::Item), "20");
            EXPECT_EQ(table.text(r, due::DueListTable::Controls), "Yes");
        }
    }
    EXPECT_EQ(gearbox, 1);
    // Single limits carry no mark.
    table.setRows(shared, due::selectDue(*shared, {}));
    EXPECT_EQ(table.text(0, due::DueListTable::Controls), "");
}

// Part and serial numbers name one unit as the engine compares text, beyond ASCII too:
// letter case (Unicode folding) and trailing blanks do not count, accents and other blanks do.
TEST_F(DueListNumbers, LimitsOfOneUnitAreFoundWhateverTheCaseOfTheirLetters) {
    const auto [hours, firstMonths] = hourAndMonthLimits(40, "ÆSIR-Ø1", "Straße 7");
    addPart(*db, hours);
    PartSpec months = firstMonths;
    months.partNumber = "æsir-ø1  ";
    months.serial = "STRASSE 7";  // not the same serial: ß is no "ss" here
    addPart(*db, months);
    // More months limits, of the numbers given.
    auto addMonths = [&](int item, const char* partNumber, const char* serial) {
        PartSpec p = months;
        p.item = item;
        p.partNumber = partNumber;
        p.serial = serial;
        addPart(*db, p);
    };
    addMonths(42, "æsir-ø1  ", "strAße 7 ");
    addMonths(43, "ÆSÍR-Ø1", "Straße 7");  // an accent makes another part
    addMonths(44, " ÆSIR-Ø1", "Straße 7");

    const due::DueList list = compute();
    EXPECT_EQ(findEntry(list, "N1", 40)->limitsOfComponent, 2);
    EXPECT_FALSE(findEntry(list, "N1", 40)->controls);
    EXPECT_EQ(findEntry(list, "N1", 42)->limitsOfComponent, 2);
    EXPECT_TRUE(findEntry(list, "N1", 42)->controls);
    for (int item : {41, 43, 44}) {
        EXPECT_EQ(findEntry(list, "N1", item)->limitsOfComponent, 1) << item;
        EXPECT_TRUE(findEntry(list, "N1", item)->controls) << item;
    }

    // Texts that compare equal hash alike, whichever way their letters are written.
    auto hash = [](const char* text) { return data::jetTextHash(text, int(std::strlen(text))); };
    auto compare = [](const char* a, const char* b) {
        return data::jetTextCompare(a, int(std::strlen(a)), b, int(std::strlen(b)));
    };
    const std::pair<const char*, const char*> equal[] = {
        {"ÆSIR-Ø1", "æsir-ø1  "}, {"K-9", "\u212A-9"}, {"ΣΟΦΙΑ", "σοφια"}, {"", "   "}};
    for (const auto& [a, b] : equal) {
        EXPECT_EQ(compare(a, b), 0) << a << " / " << b;
        EXPECT_EQ(hash(a), hash(b)) << a << " / " << b;
    }
    EXPECT_NE(hash("Straße"), hash("STRASSE"));
    EXPECT_NE(hash("AB"), hash("BA"));
    EXPECT_NE(hash("A B"), hash("AB"));
}

TEST_F(DueListNumbers, LimitsWithoutFigureAreListedWithTheReason) {
    PartSpec onMeter3;
    onMeter3.reg = "N1";
    onMeter3.item = 30;
    onMeter3.meter = 3;
    onMeter3.life = 100;
    addPart(*db, onMeter3);
    PartSpec oddCode = onMeter3;
    oddCode.item = 31;
    oddCode.meter = 1;
    oddCode.basis = "XX";
    addPart(*db, oddCode);
    PartSpec noDate = oddCode;
    noDate.item = 32;
    noDate.basis = "MO";
    addPart(*db, noDate);
    PartSpec removed = oddCode;
    removed.item = 33;
    removed.basis = "RT";
    removed.active = false;
    addPart(*db, removed);
    const due::DueList list = compute();
    for (int item : {30, 31, 32}) {
        SCOPED_TRACE(item);
        const DueEntry* e = findEntry(list, "N1", item);
        ASSERT_TRUE(e);
        EXPECT_EQ(e->projection, Projection::NoFigure);
        EXPECT_EQ(e->level, WarningLevel::None);
    }
    EXPECT_EQ(findEntry(list, "N1", 31)->basis, -1);
    EXPECT_EQ(findEntry(list, "N1", 31)->lifeBasis, "XX");
    EXPECT_FALSE(findEntry(list, "N1", 33)) << "a component not installed is not due";
}

TEST(DueListAircraft, RegistrationsInOtherLetterCaseJoinTheirAircraft) {
    TestFolder folder;
    auto db = data::Database::open(folder.createMainFile());
    addAircraft(*db, "N7", 100);
    addAircraft(*db, "N8", 100);
    PartSpec l;
    l.reg = "n7";
    l.item = 1;
    l.life = 150;
    addPart(*db, l);
    const due::DueList list =
        due::computeDueList(*db, SameUse(normalUse()), due::WarningSettings{}, kToday);
    ASSERT_EQ(list.entries.size(), 1u);
    EXPECT_EQ(list.regNum(list.entries[0]), "N7");  // as the aircraft record spells it
    EXPECT_EQ(*list.entries[0].remaining, 50);
    EXPECT_EQ(list.aircraft.size(), 2u);
}

// An aircraft with three weeks of journal in which only its flight time was ever entered:
// its landings and cycles limits are dated from the planned landings and cycles a day.
TEST(DueListAircraft, TotalsTheJournalLacksAreProjectedFromThePlannedUse) {
    TestFolder folder;
    auto db = data::Database::open(folder.createMainFile());
    const QDate start = kToday.addDays(-21);
    data::journal::setClock([&start] { return QDateTime(start, QTime(12, 0), Qt::UTC); });
    addAircraft(*db, "N905CV", 1000, 0, 5000, 3000);
    addPart(*db, part("N905CV", 1).withLife(300, 0, 1000));                  // 300 hours
    addPart(*db, part("N905CV", 2).withBasis("LD").withLife(400, 0, 5000));  // 400 landings
    addPart(*db, part("N905CV", 3).withBasis("CY").withLife(100, 0, 3000));  // 100 cycles
    DailyUtilisation planned;
    planned.meter1Hours = 5;
    planned.landings = 4;
    planned.cycles = 2;
    utilisation::savePlannedUtilisation(*db, {{"N905CV", planned}});
    for (int d = 1; d <= 21; ++d) {
        const QDate day = start.addDays(d);
        data::journal::setClock([day] { return QDateTime(day, QTime(12, 0), Qt::UTC); });
        db->execute("UPDATE Aircraft SET TotalTime = TotalTime + 3 WHERE RegNum = 'N905CV'");
    }
    data::journal::setClock(nullptr);
    const auto use = journal::JournalUtilisation::read(*db, kToday);
    const due::DueList list = due::computeDueList(*db, use, due::WarningSettings{}, kToday);
    // 300 - 63 = 237 hours at 3 a day (the journal): 79 days.
    EXPECT_EQ(findEntry(list, "N905CV", 1)->dueDate(), kToday.addDays(79));
    // 400 landings at the planned 4 a day, 100 cycles at the planned 2 a day.
    EXPECT_EQ(findEntry(list, "N905CV", 2)->projection, Projection::Dated);
    EXPECT_EQ(findEntry(list, "N905CV", 2)->dueDate(), kToday.addDays(100));
    EXPECT_EQ(findEntry(list, "N905CV", 3)->dueDate(), kToday.addDays(50));
}

TEST(DueListAircraft, EmptyFileGivesAnEmptyList) {
    TestFolder folder;
    auto db = data::Database::open(folder.createMainFile());
    const due::DueList list =
        due::computeDueList(*db, utilisation::NoUtilisation(), due::WarningSettings{}, kToday);
    EXPECT_TRUE(list.entries.empty());
    EXPECT_TRUE(due::selectDue(list, {}).empty());
}

// A fleet-sized list is sorted in parts at once; its lines come out in the order of a short
// list's: by due order, and among lines due alike in file order.
TEST(DueListAircraft, AFleetSizedListIsInTheSameOrderAsAShortOne) {
    due::DueList list;
    list.today = kToday;
    for (const char* reg : {"N3", "n1", "N2"})
        list.aircraft.push_back({QString::fromLatin1(reg), {}});
    due::rankAircraft(&list);
    const int lines = 150'000;
    for (int i = 0; i < lines; ++i) {
        DueEntry e;
        e.aircraft = i % 3;
        // Few distinct dates and item numbers: many lines are due alike.
        e.hasItemNumber = i % 5 != 0;
        e.itemNumber = (i * 7) % 11;
        e.basis = static_cast<std::int8_t>(i % 4);
        if (i % 6 == 0) {
            e.projection = Projection::NoFigure;
        } else {
            e.projection = Projection::Dated;
            e.dueDay = kToday.toJulianDay() + (i * 13) % 40 - 5;
        }
        list.entries.push_back(e);
    }
    const std::vector<int> rows = due::selectDue(list, {});
    ASSERT_EQ(rows.size(), static_cast<size_t>(lines));
    std::vector<char> seen(static_cast<size_t>(lines), 0);
    for (size_t k = 0; k < rows.size(); ++k) {
        ASSERT_FALSE(seen[static_cast<size_t>(rows[k])]) << "line listed twice: " << rows[k];
        seen[static_cast<size_t>(rows[k])] = 1;
        if (k == 0)
            continue;
        const auto& before = list.entries[static_cast<size_t>(rows[k - 1])];
        const auto& now = list.entries[static_cast<size_t>(rows[k])];
        const auto a = due::dueOrder(list, before), b = due::dueOrder(list, now);
        ASSERT_TRUE(a < b || (a == b && rows[k - 1] < rows[k])) << "out of order at " << k;
    }
    // The aircraft rank by registration, letter case aside: n1, N2, N3.
    const auto& first = list.entries[static_cast<size_t>(rows.front())];
    EXPECT_EQ(list.regNum(first), QStringLiteral("n1"));
}

}  // namespace
