// The Due List screen through its controls: the filters, the grid's order and marks, what
// print, PDF and CSV export write, the warning levels and planned use it keeps, and a
// double click on a line.
#include "../tasks/TaskTestData.h"
#include "DueTestData.h"
#include "support/BackEnds.h"
#include "support/Controls.h"

#include "data/DateDisplay.h"
#include "due/DueListTable.h"
#include "due/WarningSettingsFile.h"
#include "due/screen/OilAlertsPanel.h"
#include "due/screen/PlannedUseDialog.h"
#include "due/screen/WarningLevelsDialog.h"
#include "due/screen/frmDueList.h"
#include "export/Csv.h"
#include "oil/limits/OilLimitsStore.h"
#include "screens/common/DisplayFormat.h"
#include "screens/common/ScriptedDialogs.h"
#include "tasks/TaskDueLines.h"
#include "tasks/TaskWrites.h"
#include "utilisation/PlannedUtilisation.h"

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

using velmora::test::control;

using namespace velmora;
using namespace velmora::testing;
using due::DueListTable;
using due::frmDueList;

namespace {

const QDate kToday(2025, 6, 15);

utilisation::DailyUtilisation hoursADay(double meter1, double landings = 10) {
    utilisation::DailyUtilisation u;
    u.meter1Hours = meter1;
    u.meter2Hours = meter1;
    u.landings = landings;
    u.cycles = landings;
    u.rin = landings;
    return u;
}

// Two aircraft: N1 flies 4 hours a day, N2 has no planned use.
//   N1 1  RT 40 hours left: 10 days, due soon        N2 5  RT 30 hours left, no use
//   N1 2  MO retires in 20 days, due soon            N2 6  MO retires in 400 days
//   N1 3  LD 5000 landings left: 500 days            N2 7  OH 10 hours beyond its life
//   N1 4  RT 2000 hours left: 500 days, and MO 4b of the same unit retiring in 90 days
class DueListScreen : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        db = data::Database::open(store.createMainFile());
        company = store.folder().createCompanyFile(store.dataPath());
        addAircraft(*db, "N1", 1000, 1000, 5000);
        addAircraft(*db, "N2", 500, 0);
        add("N1", 1, "RT", 1040, "", "Starter", "ST-1", "A1");
        add("N1", 2, "MO", 12, kToday.addDays(20).addMonths(-12), "Battery", "BT-1", "A2");
        add("N1", 3, "LD", 10000, "", "Skid shoe", "SK-1", "A3");
        add("N1", 4, "RT", 3000, "", "Gearbox", "GB-1", "A4");
        add("N1", 40, "MO", 24, kToday.addDays(90).addMonths(-24), "Gearbox", "GB-1", "A4");
        add("N2", 5, "RT", 530, "", "Pump, fuel \"boost\"", "PF-2", "B5");
        add("N2", 6, "MO", 24, kToday.addDays(400).addMonths(-24), "Raft", "RF-2", "B6");
        add("N2", 7, "OH", 490, "", "Rotor head", "RH-2", "B7");
        utilisation::savePlannedUtilisation(*db, {{"N1", hoursADay(4)}});
    }
    void add(const QString& reg, int item, const QString& basis, double life, QDate date,
             const QString& name, const QString& pn, const QString& sn) {
        add(reg, item, basis, life, date.toString(Qt::ISODate), name, pn, sn);
    }
    void add(const QString& reg, int item, const QString& basis, double life, const QString& date,
             const QString& name, const QString& pn, const QString& sn) {
        PartSpec l;
        l.reg = reg;
        l.item = item;
        l.basis = basis;
        l.life = life;
        l.installDate = date;
        l.description = name;
        l.partNumber = pn;
        l.serial = sn;
        addPart(*db, l);
    }

    std::unique_ptr<frmDueList> open() {
        frmDueList::Options o;
        o.request.dataPath = store.dataPath();
        o.request.companyFile = company;
        o.request.today = kToday;
        o.companyName = "Skyline Rotor Services";
        auto screen = std::make_unique<frmDueList>(o);
        screen->show();
        return screen;
    }

    // Lets the screen apply its filters, as it does once the event loop runs.
    static void settle() { QCoreApplication::processEvents(); }

    static QStringList column(const frmDueList& s, int col) {
        QStringList out;
        for (int r = 0; r < s.table().rowCount(); ++r)
            out << s.table().text(r, col);
        return out;
    }
    static QStringList items(const frmDueList& s) { return column(s, DueListTable::Item); }

    screens::ScopedDialogs dialogs;
    TestStore store{GetParam()};
    QString company;
    std::shared_ptr<data::Database> db;
};

TEST_P(DueListScreen, OpensWithTheWholeFleetByDueDate) {
    auto s = open();
    EXPECT_EQ(s->windowTitle(), "Due List");
    EXPECT_TRUE(dialogs->messages.empty());
    // Overdue without a date first, then by date; item 5, due soon without use recorded,
    // as if due today.
    EXPECT_EQ(items(*s).join(' '), "7 5 1 2 40 6 3 4");
    EXPECT_EQ(column(*s, DueListTable::Status).join('|'), "Overdue|Due soon|Due soon|Due soon||||");
    EXPECT_EQ(column(*s, DueListTable::DueDate)[1], "no use recorded");
    EXPECT_EQ(column(*s, DueListTable::Controls).join('|'), "||||Yes|||No");
    EXPECT_TRUE(control<QLabel>(*s, "lblSummary")
                    ->text()
                    .startsWith("8 of 8 limits shown: 1 overdue, 3 due soon"))
        << control<QLabel>(*s, "lblSummary")->text().toStdString();
    EXPECT_EQ(control<QListWidget>(*s, "lstAircraft")->count(), 2);
}

TEST_P(DueListScreen, FiltersThroughTheirControls) {
    auto s = open();
    control<QCheckBox>(*s, "chkWithinDays")->setChecked(true);
    control<QSpinBox>(*s, "spnDays")->setValue(30);
    settle();
    EXPECT_EQ(items(*s).join(' '), "7 5 1 2");
    control<QSpinBox>(*s, "spnDays")->setValue(90);
    settle();
    EXPECT_EQ(items(*s).join(' '), "7 5 1 2 40");
    // Or within 35 flight hours: the limit of N2 without use comes in by its hours too.
    control<QSpinBox>(*s, "spnDays")->setValue(30);
    control<QCheckBox>(*s, "chkWithinHours")->setChecked(true);
    control<QDoubleSpinBox>(*s, "spnHours")->setValue(35);
    settle();
    EXPECT_EQ(items(*s).join(' '), "7 5 1 2");
    control<QCheckBox>(*s, "chkWithinDays")->setChecked(false);
    settle();
    EXPECT_EQ(items(*s).join(' '), "7 5");
    control<QCheckBox>(*s, "chkWithinHours")->setChecked(false);

    // One aircraft, then none, then all again.
    control<QListWidget>(*s, "lstAircraft")->item(1)->setCheckState(Qt::Unchecked);
    settle();
    EXPECT_EQ(items(*s).join(' '), "1 2 40 3 4");
    QTest::mouseClick(control<QPushButton>(*s, "cmdNoAircraft"), Qt::LeftButton);
    settle();
    EXPECT_EQ(s->table().rowCount(), 0);
    QTest::mouseClick(control<QPushButton>(*s, "cmdAllAircraft"), Qt::LeftButton);
    settle();
    EXPECT_EQ(s->table().rowCount(), 8);

    // Types: months only.
    for (int i = 0; i < due::kBasisCount; ++i)
        control<QCheckBox>(*s, "chkType", i)->setChecked(i == due::basisIndex(due::Basis::MO));
    settle();
    EXPECT_EQ(items(*s).join(' '), "2 40 6");
    for (int i = 0; i < due::kBasisCount; ++i)
        control<QCheckBox>(*s, "chkType", i)->setChecked(true);

    control<QCheckBox>(*s, "chkWarnings")->setChecked(true);
    settle();
    EXPECT_EQ(items(*s).join(' '), "7 5 1 2");
    control<QCheckBox>(*s, "chkWarnings")->setChecked(false);
    control<QCheckBox>(*s, "chkControlling")->setChecked(true);
    settle();
    EXPECT_EQ(items(*s).join(' '), "7 5 1 2 40 6 3");
    EXPECT_TRUE(control<QLabel>(*s, "lblSummary")->text().startsWith("7 of 8 limits shown"));
}

TEST_P(DueListScreen, CsvExportIsExactlyWhatTheGridShows) {
    auto s = open();
    control<QCheckBox>(*s, "chkWithinDays")->setChecked(true);
    control<QSpinBox>(*s, "spnDays")->setValue(30);
    control<QCheckBox>(*s, "chkWithinHours")->setChecked(true);
    control<QDoubleSpinBox>(*s, "spnHours")->setValue(35);
    settle();
    control<QTableView>(*s, "grdDueList")->setColumnHidden(DueListTable::Meter, true);
    control<QTableView>(*s, "grdDueList")
        ->horizontalHeader()
        ->moveSection(DueListTable::DueDate, 0);
    const QString out = store.folder().file("due.csv");
    dialogs->saveResult(out);
    QTest::mouseClick(control<QPushButton>(*s, "cmdExportCsv"), Qt::LeftButton);
    ASSERT_EQ(dialogs->saveRequests.size(), 1u);
    EXPECT_EQ(dialogs->saveRequests[0].title, "Export CSV");
    EXPECT_TRUE(dialogs->saveRequests[0].initialFile.endsWith("Due List 2025-06-15.csv"));
    EXPECT_TRUE(dialogs->messages.empty());

    std::vector<exporting::CsvRecord> records;
    const auto failure = exporting::parseCsv(fileBytes(out), &records);
    ASSERT_FALSE(failure) << failure->text.toStdString();
    ASSERT_EQ(records.size(), 5u);  // the header and the four lines shown
    const auto header = records[0];
    ASSERT_EQ(header.size(), static_cast<size_t>(DueListTable::ColumnCount - 1));
    EXPECT_EQ(header[0], QString("Due Date"));
    EXPECT_EQ(header[1], QString("Registration"));
    for (const auto& h : header)
        EXPECT_NE(h, QString("Meter"));
    // Every field is the text of its cell, in the grid's order, but the due date as
    // yyyy-MM-dd; blank cells are Null.
    const std::vector<int> shown = {
        DueListTable::DueDate,   DueListTable::Registration, DueListTable::Item,
        DueListTable::Component, DueListTable::PartNumber,   DueListTable::SerialNumber,
        DueListTable::Type,      DueListTable::ServiceLife,  DueListTable::Remaining,
        DueListTable::Unit,      DueListTable::Days,         DueListTable::Status,
        DueListTable::Controls};
    for (int r = 0; r < 4; ++r) {
        for (size_t c = 0; c < shown.size(); ++c) {
            const QString text = s->table().fileText(r, shown[c]);
            EXPECT_EQ(records[static_cast<size_t>(r) + 1][c],
                      text.isEmpty() ? std::nullopt : std::optional<QString>(text));
        }
    }
    EXPECT_EQ(records[2][3], QString("Pump, fuel \"boost\""));
    EXPECT_EQ(records[2][0], QString("no use recorded"));
    EXPECT_EQ(records[4][0], QString("2025-07-05"));
    EXPECT_EQ(records[3][0], QString("2025-06-25"));
    EXPECT_TRUE(fileBytes(out).contains("\"Pump, fuel \"\"boost\"\"\""));
}

TEST_P(DueListScreen, ExportCancelledOrRefusedLeavesNoFile) {
    auto s = open();
    QTest::mouseClick(control<QPushButton>(*s, "cmdExportCsv"),
                      Qt::LeftButton);  // cancelled: nothing queued
    EXPECT_TRUE(dialogs->messages.empty());
    dialogs->saveResult(store.folder().file("no/such/folder/due.csv"));
    QTest::mouseClick(control<QPushButton>(*s, "cmdExportCsv"), Qt::LeftButton);
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].title, "Export CSV");
    EXPECT_TRUE(dialogs->messages[0].text.contains("cannot be written"));
    EXPECT_FALSE(QFileInfo::exists(store.folder().file("no/such/folder/due.csv")));
}

TEST_P(DueListScreen, PdfAndPrintShowTheGridAsFiltered) {
    auto s = open();
    control<QCheckBox>(*s, "chkWarnings")->setChecked(true);
    settle();
    const QString pdf = store.folder().file("due.pdf");
    dialogs->saveResult(pdf);
    QTest::mouseClick(control<QPushButton>(*s, "cmdExportPdf"), Qt::LeftButton);
    EXPECT_TRUE(fileBytes(pdf).startsWith("%PDF"));
    EXPECT_TRUE(dialogs->messages.empty());

    exporting::TablePrintJob printed;
    s->setTablePreview([&](QWidget*, const exporting::TablePrintJob& job) { printed = job; });
    QTest::mouseClick(control<QPushButton>(*s, "cmdPrint"), Qt::LeftButton);
    ASSERT_TRUE(printed.model);
    EXPECT_EQ(printed.model->rowCount(), 4);
    EXPECT_EQ(printed.columns.size(), static_cast<size_t>(DueListTable::ColumnCount));
    EXPECT_EQ(printed.title, "Due List - Skyline Rotor Services");
    EXPECT_TRUE(printed.subtitle.contains("only overdue and due soon"))
        << printed.subtitle.toStdString();
    EXPECT_TRUE(printed.subtitle.contains("4 limits, 1 overdue, 3 due soon"));
}

TEST_P(DueListScreen, DoubleClickOpensTheAircraftOfTheLine) {
    auto s = open();
    QStringList opened;
    s->setAircraftOpener([&](const QString& reg) { opened << reg; });
    // What the window system sends for a double click on the first line.
    const QPoint at = control<QTableView>(*s, "grdDueList")
                          ->visualRect(s->table().index(0, DueListTable::Component))
                          .center();
    QTest::mousePress(control<QTableView>(*s, "grdDueList")->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(control<QTableView>(*s, "grdDueList")->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(control<QTableView>(*s, "grdDueList")->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(control<QTableView>(*s, "grdDueList")->viewport(), Qt::LeftButton, {}, at);
    s->grdDueList_DblClick(2);
    s->grdDueList_DblClick(99);  // no such line: nothing
    EXPECT_EQ(opened, (QStringList{"N2", "N1"}));
}

TEST_P(DueListScreen, ATaskOfTheRegisterIsListedFilteredAndOpenedFromItsLine) {
    // Every 100 hours on N1 from its 1000 hours: 100 left, 25 days at 4 hours a day, after
    // item 2 (20 days) and before the gearbox's 90.
    describeAircraft(*db, "N1", "Bell", "206B", "1001");
    const std::int64_t task = tasks::saveTask(*db, directive("2025-01-01", "Bell", "206B")).ids[0];
    frmDueList::Options o;
    o.request.dataPath = store.dataPath();
    o.request.today = kToday;
    o.request.moreLines = tasks::taskDueLines();
    frmDueList s(o);
    s.show();
    settle();
    EXPECT_EQ(items(s).join(' '), "7 5 1 2  40 6 3 4");
    EXPECT_EQ(s.table().text(4, DueListTable::Component), "AD 2025-01-01: Tail rotor inspection");
    EXPECT_EQ(s.table().text(4, DueListTable::Type), "IN");
    EXPECT_EQ(s.table().text(4, DueListTable::Remaining), "100.0");
    EXPECT_EQ(s.table().text(4, DueListTable::Days), "25");
    EXPECT_EQ(s.table().text(4, DueListTable::Status), "Due soon");
    // The summary counts the task apart from the component limits.
    EXPECT_TRUE(control<QLabel>(s, "lblSummary")
                    ->text()
                    .startsWith("8 of 8 limits and 1 of 1 tasks shown: 1 overdue, 4 due soon"))
        << control<QLabel>(s, "lblSummary")->text().toStdString();

    std::vector<std::pair<std::int64_t, QString>> tasksOpened;
    QStringList aircraftOpened;
    s.setAircraftOpener([&](const QString& reg) { aircraftOpened << reg; });
    s.setTaskOpener([&](std::int64_t id, std::int64_t record, const QString& reg) {
        EXPECT_NE(record, 0);
        tasksOpened.emplace_back(id, reg);
    });
    const QPoint at = control<QTableView>(s, "grdDueList")
                          ->visualRect(s.table().index(4, DueListTable::Component))
                          .center();
    QTest::mousePress(control<QTableView>(s, "grdDueList")->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(control<QTableView>(s, "grdDueList")->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(control<QTableView>(s, "grdDueList")->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(control<QTableView>(s, "grdDueList")->viewport(), Qt::LeftButton, {}, at);
    s.grdDueList_DblClick(0);
    ASSERT_EQ(tasksOpened.size(), 1u);
    EXPECT_EQ(tasksOpened[0], std::make_pair(task, QStringLiteral("N1")));
    EXPECT_EQ(aircraftOpened, QStringList{"N2"});

    // Without the type IN the task's line goes with the other limits of that type.
    control<QCheckBox>(s, "chkType", static_cast<size_t>(due::basisIndex(due::Basis::IN)))
        ->setChecked(false);
    settle();
    EXPECT_EQ(items(s).join(' '), "7 5 1 2 40 6 3 4");
    EXPECT_TRUE(
        control<QLabel>(s, "lblSummary")->text().startsWith("8 of 8 limits and 0 of 1 tasks shown"))
        << control<QLabel>(s, "lblSummary")->text().toStdString();
}

TEST_P(DueListScreen, AMissingDataFileIsSaidAndTheScreenStaysEmpty) {
    frmDueList::Options o;
    o.request.dataPath = store.folder().file("nowhere") + "/";
    o.request.today = kToday;
    frmDueList s(o);
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].title, "Due List");
    EXPECT_TRUE(dialogs->messages[0].text.contains("Timemgr.mdb"))
        << dialogs->messages[0].text.toStdString();
    EXPECT_EQ(s.table().rowCount(), 0);
    EXPECT_EQ(control<QLabel>(s, "lblSummary")->text(), dialogs->messages[0].text);
    QTest::mouseClick(control<QPushButton>(s, "cmdExportCsv"), Qt::LeftButton);  // still usable
}

TEST_P(DueListScreen, WarningLevelsAreKeptWithTheCompanyAndColourTheList) {
    auto s = open();
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<due::WarningLevelsDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        const int rt = due::basisIndex(due::Basis::RT);
        dialog->grdLevels->item(rt, due::WarningLevelsDialog::Amount)->setText("abc");
        QTest::mouseClick(dialog->cmdSave, Qt::LeftButton);  // refused, stays open
        ASSERT_EQ(dialogs->messages.size(), 1u);
        EXPECT_EQ(dialogs->messages[0].text,
                  "The amount of RT must be a number of zero or more, or blank.");
        // Due soon from 35 hours left, and dates of RT limits no longer count.
        dialog->grdLevels->item(rt, due::WarningLevelsDialog::Amount)->setText("35");
        dialog->grdLevels->item(rt, due::WarningLevelsDialog::Days)->setText("");
        QTest::mouseClick(dialog->cmdSave, Qt::LeftButton);
    });
    QTest::mouseClick(control<QPushButton>(*s, "cmdWarningLevels"), Qt::LeftButton);
    const due::WarningSettings kept = due::readWarningSettings(*data::Database::open(company));
    EXPECT_EQ(kept.of(due::Basis::RT).soonAmount, 35);
    EXPECT_FALSE(kept.of(due::Basis::RT).soonDays);
    EXPECT_EQ(kept.of(due::Basis::MO), due::BasisWarning{});
    // Item 1 (40 hours left, 10 days) is fine now; item 5 (30 hours left) is due soon.
    const QStringList status = column(*s, DueListTable::Status);
    const QStringList item = items(*s);
    EXPECT_EQ(status[item.indexOf("1")], "");
    EXPECT_EQ(status[item.indexOf("5")], "Due soon");
}

TEST_P(DueListScreen, PlannedUseGivesDatesToAnAircraftWithoutThem) {
    auto s = open();
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<due::PlannedUseDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        ASSERT_EQ(dialog->grdPlannedUse->rowCount(), 2);
        EXPECT_EQ(dialog->grdPlannedUse->item(0, 1)->text(), "4");
        EXPECT_EQ(dialog->grdPlannedUse->item(1, 1)->text(), "");
        dialog->grdPlannedUse->item(1, 1)->setText("-2");
        QTest::mouseClick(dialog->cmdSave, Qt::LeftButton);  // refused
        ASSERT_EQ(dialogs->messages.size(), 1u);
        dialog->grdPlannedUse->item(1, 1)->setText("3");  // 30 hours left: 10 days
        QTest::mouseClick(dialog->cmdSave, Qt::LeftButton);
    });
    QTest::mouseClick(control<QPushButton>(*s, "cmdPlannedUse"), Qt::LeftButton);
    const auto planned = utilisation::PlannedUtilisation::read(*db);
    EXPECT_EQ(planned.dailyUse("N2").meter1Hours, 3);
    EXPECT_EQ(planned.dailyUse("N1"), hoursADay(4));
    const QStringList item = items(*s);
    EXPECT_EQ(column(*s, DueListTable::DueDate)[item.indexOf("5")],
              data::displayDate(QDate(2025, 6, 25)));
}

// Item 5 of N2 has 30 of its 530 hours left and no daily use to date it by: due soon by
// its amount, it may come due any day.
TEST_P(DueListScreen, ALimitDueSoonWithoutADateStaysInEveryDayFilterByItsUrgency) {
    add("N2", 8, "RT", 830, "", "Generator", "GN-2", "B8");  // 330 hours left: fine, no date
    for (bool zeroUse : {false, true}) {
        SCOPED_TRACE(zeroUse ? "planned use 0" : "no planned use");
        if (zeroUse) {
            utilisation::DailyUtilisation none;
            none.meter1Hours = 0;
            utilisation::savePlannedUtilisation(*db, {{"N2", none}});
        }
        auto s = open();
        control<QCheckBox>(*s, "chkWithinDays")->setChecked(true);
        for (int days : {0, 1, 30, 365}) {
            control<QSpinBox>(*s, "spnDays")->setValue(days);
            settle();
            const QStringList shown = items(*s);
            EXPECT_TRUE(shown.contains("5")) << days << ": " << shown.join(' ').toStdString();
            EXPECT_FALSE(shown.contains("8")) << days;
            // After what is overdue, before what is dated later.
            EXPECT_EQ(shown.indexOf("5"), 1) << days;
        }
        const QStringList item = items(*s);
        ASSERT_TRUE(item.contains("5"));
        EXPECT_EQ(column(*s, DueListTable::DueDate)[item.indexOf("5")], "no use recorded");
        EXPECT_EQ(column(*s, DueListTable::Status)[item.indexOf("5")], "Due soon");
    }
}

// The due dates, the day of the list and the printed heading read as on every other screen
// ("5 Jul 2025" where the locale writes its short dates so); the CSV keeps 2025-07-05.
TEST_P(DueListScreen, DatesReadAsOnTheOtherScreensWhileTheCsvKeepsIsoDates) {
    const QLocale saved;
    QLocale::setDefault(QLocale::c());
    auto s = open();
    const QStringList item = items(*s);
    const QString shown = column(*s, DueListTable::DueDate)[item.indexOf("2")];
    EXPECT_EQ(shown, "5 Jul 2025");
    EXPECT_EQ(shown, screens::formatForDisplay(data::Value("2025-07-05"), "Short Date",
                                               data::FieldType{}));
    EXPECT_TRUE(control<QLabel>(*s, "lblSummary")->text().contains("as of 15 Jun 2025"))
        << control<QLabel>(*s, "lblSummary")->text().toStdString();
    EXPECT_TRUE(s->printJob().subtitle.startsWith("As of 15 Jun 2025, printed "))
        << s->printJob().subtitle.toStdString();
    EXPECT_EQ(s->table().fileText(item.indexOf("2"), DueListTable::DueDate), "2025-07-05");
    QLocale::setDefault(saved);
}

}  // namespace

namespace {

TEST_P(DueListScreen, ComponentsWhoseNewestOilSampleIsOverAlertAreListedUnderIt) {
    // Without limits nothing is judged: the panel stays hidden.
    db->execute(
        "INSERT INTO Oil (RegNum, Component, DatePerformed, Iron, EngineHrs) VALUES "
        "('N2', 'Engine', '2026-05-01', 10, 100)");
    db->execute(
        "INSERT INTO Oil (RegNum, Component, DatePerformed, Iron, EngineHrs) VALUES "
        "('N2', 'Engine', '2026-06-01', 48, 200)");
    db->execute(
        "INSERT INTO Oil (RegNum, Component, DatePerformed, Iron, EngineHrs) VALUES "
        "('N1', 'Engine', '2026-06-01', 12, 200)");
    {
        auto s = open();
        settle();
        EXPECT_TRUE(control<velmora::due::OilAlertsPanel>(*s, "oilAlerts")->isHidden());
        EXPECT_TRUE(control<velmora::due::OilAlertsPanel>(*s, "oilAlerts")->alerts().empty());
    }
    oil::limits::LimitSet limits{};
    limits[0] = {20, 40, std::nullopt};
    oil::limits::saveLimitSet(*db, oil::limits::LimitKey::company(), limits);
    auto s = open();
    settle();
    EXPECT_FALSE(control<velmora::due::OilAlertsPanel>(*s, "oilAlerts")->isHidden());
    ASSERT_EQ(control<velmora::due::OilAlertsPanel>(*s, "oilAlerts")->lstOilAlerts->count(), 1);
    EXPECT_EQ(control<velmora::due::OilAlertsPanel>(*s, "oilAlerts")->lstOilAlerts->item(0)->text(),
              QStringLiteral("N2  Engine  (sample of %1): Iron 48 ppm over alert 40")
                  .arg(data::displayDate(QDate(2026, 6, 1))));
    EXPECT_EQ(control<velmora::due::OilAlertsPanel>(*s, "oilAlerts")->lblOilAlerts->text(),
              "Oil analysis: the newest sample of 1 component is over an alert level:");
    QStringList opened;
    s->setAircraftOpener([&](const QString& reg) { opened << reg; });
    emit control<velmora::due::OilAlertsPanel>(*s, "oilAlerts")
        ->lstOilAlerts->itemDoubleClicked(
            control<velmora::due::OilAlertsPanel>(*s, "oilAlerts")->lstOilAlerts->item(0));
    EXPECT_EQ(opened, QStringList{"N2"});

    // The printed list ends with them, for the aircraft it shows.
    exporting::TablePrintJob job = s->printJob();
    ASSERT_EQ(job.sections.size(), 1u);
    EXPECT_EQ(job.sections[0].heading,
              "Oil analysis: the newest sample of 1 component is over an alert level");
    ASSERT_EQ(job.sections[0].model->rowCount(), 1);
    EXPECT_EQ(job.sections[0].model->index(0, 3).data().toString(), "Iron 48 ppm over alert 40");
    control<QListWidget>(*s, "lstAircraft")
        ->item(1)
        ->setCheckState(Qt::Unchecked);  // N2 off the list
    settle();
    job = s->printJob();
    EXPECT_TRUE(job.sections.empty());
}

}  // namespace

VELMORA_ON_BOTH_BACK_ENDS(DueListScreen);
