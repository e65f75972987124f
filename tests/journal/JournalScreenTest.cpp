// The journal through the screens: meter entries and deletes on the aircraft set-up screen,
// the Journal screen with its filters, export and undo, and the "Use per Day" panel.
#include "aircraft/frmAircraft.h"
#include "data/Journal.h"
#include "entry/EntryFields.h"
#include "export/Csv.h"
#include "journal/JournalCheck.h"
#include "journal/JournalLines.h"
#include "journal/screen/JournalTableModel.h"
#include "journal/screen/UtilisationPanel.h"
#include "journal/screen/frmJournal.h"
#include "remaining/frmRemain.h"
#include "screens/common/ScreenState.h"
#include "screens/common/ScriptedDialogs.h"
#include "support/Controls.h"
#include "support/TestFiles.h"
#include "utilisation/PlannedUtilisation.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

using velmora::test::control;

using namespace velmora;
using namespace velmora::testing;
using screens::MsgAnswer;

namespace {

class JournalScreens : public ::testing::Test {
  protected:
    void SetUp() override {
        path = folder.createMainFile();
        auto db = data::Database::open(path);
        addAircraft(*db, "N1", 800, 50, 1200, 500, 40);
        db->execute("UPDATE Aircraft SET CurrentMeter1 = 1234.5, LastMeter1 = 1230");
        addPart(*db, part("N1", 10));
        addPart(*db, part("N1", 20));
        db->execute("INSERT INTO Oil (RegNum, Component) VALUES ('N1', 'Component')");
        folder.createTemplateFile();
        data::journal::setScreenProvider([] {
            const QWidget* w = QApplication::activeWindow();
            return w ? QString::fromLatin1(w->metaObject()->className()).section("::", -1)
                     : QString();
        });
    }
    void TearDown() override {
        data::journal::setScreenProvider(nullptr);
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->objectName() == u"frmJournal")
                delete w;
        }
        screen.reset();
        screens::SuppressReposition = false;
    }
    aircraft::frmAircraft& open() {
        screen = std::make_unique<aircraft::frmAircraft>(folder.dataPath());
        screen->show();
        QApplication::setActiveWindow(screen.get());
        screen->Form_Activate();
        return *screen;
    }
    void enter(int index, const QString& text, int leaveTo) {
        QLineEdit* f = control<QLineEdit>(*screen, "txtFields", index);
        f->setFocus();
        f->selectAll();
        QTest::keyClicks(f, text);
        control<QLineEdit>(*screen, "txtFields", leaveTo)->setFocus();
    }
    journal::frmJournal* journalScreen() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* j = qobject_cast<journal::frmJournal*>(w))
                return j;
        }
        return nullptr;
    }
    std::vector<journal::JournalLine> lines() {
        return journal::readLines(*data::Database::open(path), {});
    }

    screens::ScopedDialogs dialogs;
    TestFolder folder;
    QString path;
    std::unique_ptr<aircraft::frmAircraft> screen;
};

TEST_F(JournalScreens, AMeterEntryWritesItsLinesNamingTheScreen) {
    open();
    const size_t before = lines().size();
    dialogs->answer(MsgAnswer::Yes);
    enter(11, "+2", 12);
    const auto after = lines();
    ASSERT_EQ(after.size(), before + 3);  // the reading, the last reading, the total
    QStringList columns;
    for (size_t i = before; i < after.size(); ++i) {
        columns << after[i].columnName;
        EXPECT_EQ(after[i].screen, QStringLiteral("frmAircraft"));
        EXPECT_EQ(after[i].regNum, QStringLiteral("N1"));
    }
    columns.sort();
    EXPECT_EQ(columns, QStringList({"CurrentMeter1", "LastMeter1", "TotalTime"}));
    EXPECT_TRUE(journal::checkJournal(*data::Database::open(path)).intact);
}

TEST_F(JournalScreens, DeletingAnAircraftJournalsEveryRemovedRow) {
    aircraft::frmAircraft& s = open();
    const size_t before = lines().size();
    dialogs->answer(MsgAnswer::Yes);
    s.cmdDelete_Click();
    const auto after = lines();
    ASSERT_EQ(after.size(), before + 4);  // two components, one oil sample, the aircraft
    QStringList tables;
    for (size_t i = before; i < after.size(); ++i) {
        EXPECT_EQ(after[i].columnName, data::journal::kRowRemoved);
        tables << after[i].tableName;
    }
    tables.sort();
    EXPECT_EQ(tables, QStringList({"Aircraft", "Oil", "Parts", "Parts"}));
    EXPECT_TRUE(journal::checkJournal(*data::Database::open(path)).intact);
}

TEST_F(JournalScreens, TheJournalScreenListsFiltersExportsAndUndoes) {
    aircraft::frmAircraft& s = open();
    dialogs->answer(MsgAnswer::Yes);
    enter(11, "+2", 12);
    control<QPushButton>(s, "cmdJournal")->click();
    journal::frmJournal* j = journalScreen();
    ASSERT_NE(j, nullptr);
    EXPECT_EQ(j->windowTitle(), QStringLiteral("Journal - N1"));
    const auto& shown = j->table().lines();
    ASSERT_EQ(shown.size(), lines().size());
    EXPECT_GT(shown.front().seq, shown.back().seq);  // newest first

    // One column's lines.
    control<QComboBox>(*j, "cboColumn")
        ->setCurrentIndex(control<QComboBox>(*j, "cboColumn")->findData("TotalTime"));
    EXPECT_EQ(control<QComboBox>(*j, "cboColumn")->currentText(), QStringLiteral("Airframe Time"));
    ASSERT_EQ(j->table().rowCount(), 1);
    EXPECT_EQ(j->table().lines()[0].newValue.toString(), QStringLiteral("802.0"));

    // A date range that holds no line.
    control<QCheckBox>(*j, "chkTo")->setChecked(true);
    control<QDateEdit>(*j, "dtpTo")->setDate(QDate::currentDate().addDays(-1));
    EXPECT_EQ(j->table().rowCount(), 0);
    control<QCheckBox>(*j, "chkTo")->setChecked(false);
    ASSERT_EQ(j->table().rowCount(), 1);

    // CSV as shown.
    const QString csv = folder.file("journal.csv");
    dialogs->saveResult(csv);
    control<QPushButton>(*j, "cmdExportCsv")->click();
    std::vector<exporting::CsvRecord> records;
    const auto failure = exporting::parseCsv(fileBytes(csv), &records);
    ASSERT_FALSE(failure) << failure->text.toStdString();
    ASSERT_EQ(records.size(), 2u);
    const auto at = [&](const char* header) {
        const auto it = std::find(records[0].begin(), records[0].end(), QString(header));
        return static_cast<size_t>(it - records[0].begin());
    };
    ASSERT_LT(at("NewValue"), records[0].size());
    EXPECT_EQ(records[1][at("NewValue")], QStringLiteral("802.0"));

    // Print preview gets the rows shown.
    int printed = -1;
    j->setTablePreview(
        [&](QWidget*, const exporting::TablePrintJob& job) { printed = job.model->rowCount(); });
    control<QPushButton>(*j, "cmdPrint")->click();
    EXPECT_EQ(printed, 1);

    // Undo, asked first: No leaves it, Yes writes the old total back (and journals it).
    control<QTableView>(*j, "grdJournal")
        ->setCurrentIndex(control<QTableView>(*j, "grdJournal")->model()->index(0, 0));
    ASSERT_TRUE(control<QPushButton>(*j, "cmdUndo")->isEnabled());
    dialogs->answer(MsgAnswer::No);
    control<QPushButton>(*j, "cmdUndo")->click();
    EXPECT_EQ(dialogs->messages.back().title, QStringLiteral("Undo this entry"));
    EXPECT_EQ(dialogs->messages.back().defaultButton, MsgAnswer::No);
    auto total = [&] {
        auto rs = data::Database::open(path)->openRecordset("SELECT TotalTime FROM Aircraft");
        return rs->value(0).toDouble();
    };
    EXPECT_DOUBLE_EQ(total(), 802.0);
    dialogs->answer(MsgAnswer::Yes);
    control<QPushButton>(*j, "cmdUndo")->click();
    EXPECT_DOUBLE_EQ(total(), 800.0);
    ASSERT_EQ(j->table().rowCount(), 2);
    EXPECT_EQ(j->table().lines()[0].newValue.toString(), QStringLiteral("800.0"));
    EXPECT_EQ(j->table().lines()[0].screen, QStringLiteral("frmJournal"));

    // A component's line cannot be undone.
    control<QComboBox>(*j, "cboColumn")->setCurrentIndex(0);
    for (int row = 0; row < j->table().rowCount(); ++row) {
        if (j->table().lines()[static_cast<size_t>(row)].tableName == u"Parts") {
            control<QTableView>(*j, "grdJournal")
                ->setCurrentIndex(control<QTableView>(*j, "grdJournal")->model()->index(row, 0));
            EXPECT_FALSE(control<QPushButton>(*j, "cmdUndo")->isEnabled());
        }
    }
}

// The screen is read by people: the screen's caption, what a line is about and the change in
// words; the CSV keeps the line as the journal has it.
TEST_F(JournalScreens, TheJournalScreenShowsCaptionsAndChangesInWords) {
    aircraft::frmAircraft& s = open();
    dialogs->answer(MsgAnswer::Yes);
    enter(11, "+2", 12);
    control<QPushButton>(s, "cmdJournal")->click();
    journal::frmJournal* j = journalScreen();
    ASSERT_NE(j, nullptr);
    const QAbstractItemModel* m = control<QTableView>(*j, "grdJournal")->model();
    auto shown = [&](int row, int column) { return m->index(row, column).data().toString(); };
    using Col = journal::JournalTableModel;
    int totalRow = -1;
    int partRow = -1;
    for (int row = 0; row < m->rowCount(); ++row) {
        if (j->table().lines()[static_cast<size_t>(row)].columnName == u"TotalTime")
            totalRow = row;
        if (j->table().lines()[static_cast<size_t>(row)].tableName == u"Parts" && partRow < 0)
            partRow = row;
    }
    ASSERT_GE(totalRow, 0);
    ASSERT_GE(partRow, 0);
    EXPECT_EQ(shown(totalRow, Col::Screen), QStringLiteral("Aircraft Set-up"));
    EXPECT_EQ(shown(totalRow, Col::What), QStringLiteral("Aircraft N1"));
    EXPECT_EQ(shown(totalRow, Col::Change), QStringLiteral("Airframe Time: 800.0 → 802.0"));
    EXPECT_EQ(shown(partRow, Col::What), QStringLiteral("Component 20 of N1"));
    EXPECT_TRUE(shown(partRow, Col::Change).startsWith(QStringLiteral("Added: ")))
        << shown(partRow, Col::Change).toStdString();
    EXPECT_TRUE(shown(partRow, Col::Change).contains(QStringLiteral("Item # 20")));
    EXPECT_FALSE(shown(partRow, Col::Change).contains(u'{'));
    // A line the test wrote without a screen names the program.
    EXPECT_EQ(shown(partRow, Col::Screen),
              j->table().lines()[static_cast<size_t>(partRow)].program);
    // The raw columns are not on the screen, and the print takes what is.
    for (int c = Col::kShownCount; c < Col::Count; ++c)
        EXPECT_TRUE(control<QTableView>(*j, "grdJournal")->isColumnHidden(c));
    EXPECT_EQ(j->printJob().columns.size(), static_cast<size_t>(Col::kShownCount));
    // The print carries the journal's newest line, an anchor of the chain on paper.
    EXPECT_TRUE(j->printJob().subtitle.contains(QStringLiteral("journal line ")))
        << j->printJob().subtitle.toStdString();

    const QString csv = folder.file("raw.csv");
    dialogs->saveResult(csv);
    control<QPushButton>(*j, "cmdExportCsv")->click();
    std::vector<exporting::CsvRecord> records;
    const auto failure = exporting::parseCsv(fileBytes(csv), &records);
    ASSERT_FALSE(failure) << failure->text.toStdString();
    const exporting::CsvRecord& header = records[0];
    auto at = [&](const char* name) {
        return static_cast<size_t>(std::find(header.begin(), header.end(), QString(name)) -
                                   header.begin());
    };
    ASSERT_LT(at("ScreenName"), header.size());
    ASSERT_LT(at("ColumnName"), header.size());
    const exporting::CsvRecord& total = records[static_cast<size_t>(totalRow) + 1];
    EXPECT_EQ(total[at("ScreenName")], QStringLiteral("frmAircraft"));
    EXPECT_EQ(total[at("ColumnName")], QStringLiteral("TotalTime"));
    EXPECT_EQ(total[at("OldValue")], QStringLiteral("800.0"));
    EXPECT_TRUE(records[static_cast<size_t>(partRow) + 1][at("NewValue")]->startsWith(u'{'));
}

// "Undo this entry" on the reading's line takes back what the confirmation wrote: the
// reading, the last counted reading and the total; the open screens show it at once, and the
// next entry goes on from there without a word about another user.
TEST_F(JournalScreens, UndoTakesBackTheWholeMeterEntryAndTheOpenScreensShowIt) {
    aircraft::frmAircraft& s = open();
    dialogs->answer(MsgAnswer::Yes);
    enter(11, "+2", 12);
    remaining::frmRemain remain(folder.dataPath(), [](const QString&) { return data::Value(); });
    remain.show();
    auto row = [&] {
        auto rs = data::Database::open(path)->openRecordset(
            "SELECT CurrentMeter1, LastMeter1, TotalTime FROM Aircraft");
        return std::vector<double>{rs->value(0).toDouble(), rs->value(1).toDouble(),
                                   rs->value(2).toDouble()};
    };
    ASSERT_EQ(row(), (std::vector<double>{1236.5, 1236.5, 802}));
    const int meter1 = entry::fieldIndex(entry::TimeRemainingField::CurrentMeter1);
    const int total1 = entry::fieldIndex(entry::TimeRemainingField::TotalTime);
    ASSERT_EQ(control<QLineEdit>(remain, "txtFields", meter1)->text(), QStringLiteral("1236.5"));

    control<QPushButton>(s, "cmdJournal")->click();
    journal::frmJournal* j = journalScreen();
    ASSERT_NE(j, nullptr);
    QApplication::setActiveWindow(j);
    control<QComboBox>(*j, "cboColumn")
        ->setCurrentIndex(control<QComboBox>(*j, "cboColumn")->findData("CurrentMeter1"));
    ASSERT_EQ(j->table().rowCount(), 2);  // the entry, and the reading first set in SetUp
    control<QTableView>(*j, "grdJournal")
        ->setCurrentIndex(control<QTableView>(*j, "grdJournal")->model()->index(0, 0));
    ASSERT_TRUE(control<QPushButton>(*j, "cmdUndo")->isEnabled());
    dialogs->messages.clear();
    dialogs->answer(MsgAnswer::Yes);
    control<QPushButton>(*j, "cmdUndo")->click();
    ASSERT_EQ(dialogs->messages.size(), 2u);
    EXPECT_TRUE(dialogs->messages[0].text.contains(QStringLiteral("Airframe Time: 802.0 → 800.0")))
        << dialogs->messages[0].text.toStdString();
    EXPECT_EQ(dialogs->messages[1].title, QStringLiteral("Undo this entry"));
    EXPECT_TRUE(dialogs->messages[1].text.contains(
        QStringLiteral("Current Meter #1: 1236.5 → 1234.5\nLast Counted Meter #1: 1236.5 → "
                       "1230.0\nAirframe Time: 802.0 → 800.0")))
        << dialogs->messages[1].text.toStdString();
    EXPECT_EQ(row(), (std::vector<double>{1234.5, 1230, 800}));

    // Both screens show the aircraft as it is now.
    EXPECT_EQ(
        control<QLineEdit>(s, "txtFields", aircraft::frmAircraft::Field::CurrentMeter1)->text(),
        QStringLiteral("1234.5"));
    EXPECT_EQ(control<QLineEdit>(s, "txtFields", aircraft::frmAircraft::Field::TotalTime)
                  ->text()
                  .toDouble(),
              800.0);
    EXPECT_EQ(control<QLineEdit>(remain, "txtFields", meter1)->text(), QStringLiteral("1234.5"));
    EXPECT_EQ(control<QLineEdit>(remain, "txtFields", total1)->text().toDouble(), 800.0);
    EXPECT_FALSE(control<QPushButton>(s, "cmdSave")->isEnabled());

    // The next entry counts from the reading as it is now, without a word of another user.
    QApplication::setActiveWindow(screen.get());
    dialogs->messages.clear();
    dialogs->answer(MsgAnswer::Yes);
    enter(11, "+1", 12);
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].text,
              QStringLiteral("Flight time was changed by 1.0. Is this correct?"));
    EXPECT_EQ(row(), (std::vector<double>{1235.5, 1235.5, 801}));
}

TEST_F(JournalScreens, TheUsePanelShowsPlannedFiguresWhileTheJournalIsYoung) {
    aircraft::frmAircraft& s = open();
    journal::UtilisationPanel* panel =
        control<velmora::journal::UtilisationPanel>(s, "fraUtilisation");
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->isEnabled());
    EXPECT_TRUE(panel->lblJournal[0]->text().isEmpty());
    EXPECT_TRUE(panel->lblSource->text().startsWith(QStringLiteral("Planned: 0 of 14 days")))
        << panel->lblSource->text().toStdString();

    panel->txtPlanned[0]->setText(QLocale().toString(3.5));
    panel->txtPlanned[2]->setText(QStringLiteral("4"));
    panel->cmdSavePlanned->click();
    EXPECT_TRUE(dialogs->messages.empty());
    auto rs = data::Database::open(path)->openRecordset(
        "SELECT Meter1PerDay, LandingsPerDay, CyclesPerDay FROM PlannedUtilisation "
        "WHERE RegNum = 'N1'");
    ASSERT_TRUE(rs->hasCurrent());
    EXPECT_DOUBLE_EQ(rs->value(0).toDouble(), 3.5);
    EXPECT_DOUBLE_EQ(rs->value(1).toDouble(), 4.0);
    EXPECT_TRUE(rs->value(2).isNull());
    EXPECT_EQ(panel->txtPlanned[0]->text(), QLocale().toString(3.5, 'f', 2));
}

// Figures changed while the screen was in the background show when it is active again.
TEST_F(JournalScreens, TheUsePanelReadsItsFiguresAgainWhenTheScreenIsActiveAgain) {
    aircraft::frmAircraft& s = open();
    journal::UtilisationPanel* panel =
        control<velmora::journal::UtilisationPanel>(s, "fraUtilisation");
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->txtPlanned[1]->text().isEmpty());

    utilisation::PlannedEntry entry{QStringLiteral("N1"), {}};
    entry.use.meter2Hours = 2.25;
    utilisation::savePlannedUtilisation(*data::Database::open(path), {entry});
    s.Form_Activate();
    EXPECT_EQ(panel->txtPlanned[1]->text(), QLocale().toString(2.25, 'f', 2));
    s.Form_Activate();
    EXPECT_EQ(panel->txtPlanned[1]->text(), QLocale().toString(2.25, 'f', 2));
}

}  // namespace
