// The journal through the screens: meter entries and deletes on the aircraft set-up screen,
// the Journal screen with its filters, export and undo, and the "Use per Day" panel.
#include "aircraft/frmAircraft.h"
#include "data/Journal.h"
#include "export/Csv.h"
#include "journal/JournalCheck.h"
#include "journal/JournalLines.h"
#include "journal/screen/JournalTableModel.h"
#include "journal/screen/UtilisationPanel.h"
#include "journal/screen/frmJournal.h"
#include "screens/common/ScreenState.h"
#include "screens/common/ScriptedDialogs.h"
#include "support/TestFiles.h"

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
        QLineEdit* f = screen->txtFields[index];
        f->setFocus();
        f->selectAll();
        QTest::keyClicks(f, text);
        screen->txtFields[leaveTo]->setFocus();
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
    s.cmdJournal->click();
    journal::frmJournal* j = journalScreen();
    ASSERT_NE(j, nullptr);
    EXPECT_EQ(j->windowTitle(), QStringLiteral("Journal - N1"));
    const auto& shown = j->table().lines();
    ASSERT_EQ(shown.size(), lines().size());
    EXPECT_GT(shown.front().seq, shown.back().seq);  // newest first

    // One column's lines.
    j->cboColumn->setCurrentIndex(j->cboColumn->findText("TotalTime"));
    ASSERT_EQ(j->table().rowCount(), 1);
    EXPECT_EQ(j->table().lines()[0].newValue.toString(), QStringLiteral("802.0"));

    // A date range that holds no line.
    j->chkTo->setChecked(true);
    j->dtpTo->setDate(QDate::currentDate().addDays(-1));
    EXPECT_EQ(j->table().rowCount(), 0);
    j->chkTo->setChecked(false);
    ASSERT_EQ(j->table().rowCount(), 1);

    // CSV as shown.
    const QString csv = folder.file("journal.csv");
    dialogs->saveResult(csv);
    j->cmdExportCsv->click();
    std::vector<exporting::CsvRecord> records;
    QString error;
    ASSERT_TRUE(exporting::parseCsv(fileBytes(csv), &records, &error)) << error.toStdString();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1][journal::JournalTableModel::New], QStringLiteral("802.0"));

    // Print preview gets the rows shown.
    int printed = -1;
    j->setTablePreview(
        [&](QWidget*, const exporting::TablePrintJob& job) { printed = job.model->rowCount(); });
    j->cmdPrint->click();
    EXPECT_EQ(printed, 1);

    // Undo, asked first: No leaves it, Yes writes the old total back (and journals it).
    j->grdJournal->setCurrentIndex(j->grdJournal->model()->index(0, 0));
    ASSERT_TRUE(j->cmdUndo->isEnabled());
    dialogs->answer(MsgAnswer::No);
    j->cmdUndo->click();
    EXPECT_EQ(dialogs->messages.back().title, QStringLiteral("Undo this entry"));
    EXPECT_EQ(dialogs->messages.back().defaultButton, MsgAnswer::No);
    auto total = [&] {
        auto rs = data::Database::open(path)->openRecordset("SELECT TotalTime FROM Aircraft");
        return rs->value(0).toDouble();
    };
    EXPECT_DOUBLE_EQ(total(), 802.0);
    dialogs->answer(MsgAnswer::Yes);
    j->cmdUndo->click();
    EXPECT_DOUBLE_EQ(total(), 800.0);
    ASSERT_EQ(j->table().rowCount(), 2);
    EXPECT_EQ(j->table().lines()[0].newValue.toString(), QStringLiteral("800.0"));
    EXPECT_EQ(j->table().lines()[0].screen, QStringLiteral("frmJournal"));

    // A component's line cannot be undone.
    j->cboColumn->setCurrentIndex(0);
    for (int row = 0; row < j->table().rowCount(); ++row) {
        if (j->table().lines()[static_cast<size_t>(row)].tableName == u"Parts") {
            j->grdJournal->setCurrentIndex(j->grdJournal->model()->index(row, 0));
            EXPECT_FALSE(j->cmdUndo->isEnabled());
        }
    }
}

TEST_F(JournalScreens, TheUsePanelShowsPlannedFiguresWhileTheJournalIsYoung) {
    aircraft::frmAircraft& s = open();
    journal::UtilisationPanel* panel = s.fraUtilisation;
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

}  // namespace
