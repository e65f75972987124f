// Meter and total entries made on two screens of one aircraft, each showing the row as it read
// it: on one file (one connection) and from two workstations (a connection each). Every
// confirmed entry counts on top of the other's, and no answer drops one without a word.
#include "aircraft/frmAircraft.h"
#include "data/DataFiles.h"
#include "remaining/frmRemain.h"
#include "screens/common/ScreenState.h"
#include "screens/common/ScriptedDialogs.h"
#include "support/BackEnds.h"
#include "support/Controls.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using velmora::test::control;

using namespace velmora;
using namespace velmora::testing;
using screens::MsgAnswer;

namespace {

// The fields' indexes on each screen.
namespace setup {
constexpr int kSerial = 1, kMeter2 = 7, kMeter1 = 11, kTotalTime = 12, kLandings = 13;
}  // namespace setup
namespace remain {
constexpr int kSerial = 6, kMeter1 = 9, kMeter2 = 10, kLandings = 13;
}  // namespace remain

class EntriesOnTwoScreens : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        QApplication::setApplicationDisplayName("Velmora");
        path = store.createMainFile();
        store.createTemplateFile();
        auto db = data::Database::open(path);
        addAircraft(*db, "N1", 800, 50, 1200, 500, 40);
        db->execute(
            "UPDATE Aircraft SET CurrentMeter1 = 1234.5, LastMeter1 = 1230, "
            "CurrentMeter2 = 60, LastMeter2 = 60 WHERE RegNum = 'N1'");
    }
    void TearDown() override {
        remaining.reset();
        aircraft.reset();
        screens::SuppressReposition = false;
    }

    // Aircraft Set-up on this workstation, Time Remaining on `remainingPath` (this one's or
    // another workstation's data path); both show N1 as it is now.
    void open(const QString& remainingPath) {
        aircraft = std::make_unique<aircraft::frmAircraft>(store.dataPath());
        aircraft->show();
        remaining = std::make_unique<remaining::frmRemain>(
            remainingPath, [](const QString&) { return data::Value(); });
        remaining->setReportRunner(
            [](QWidget*, const reports::PrintRequest&) { return data::MaybeFailure(); });
        remaining->show();
    }
    // Types an entry into a field of a screen and leaves it for another field.
    static void enter(QWidget* screen, QLineEdit* field, const QString& text, QLineEdit* next) {
        QApplication::setActiveWindow(screen);
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
        next->setFocus();
    }
    void enterOnSetup(int index, const QString& text, int next = setup::kSerial) {
        enter(aircraft.get(), control<QLineEdit>(*aircraft, "txtFields", index), text,
              control<QLineEdit>(*aircraft, "txtFields", next));
    }
    void enterOnRemaining(int index, const QString& text, int next = remain::kMeter2) {
        enter(remaining.get(), control<QLineEdit>(*remaining, "txtFields", index), text,
              control<QLineEdit>(*remaining, "txtFields", next));
    }
    QString stored(const QString& column) {
        auto rs = data::Database::open(path)->openRecordset(
            QStringLiteral("select [%1] from Aircraft where RegNum = 'N1'").arg(column));
        return rs->value(0).toString();
    }
    QStringList questions() {
        QStringList out;
        for (const auto& m : dialogs->messages)
            out << m.text;
        return out;
    }

    screens::ScopedDialogs dialogs;
    TestStore store{GetParam()};
    QString path;
    std::unique_ptr<aircraft::frmAircraft> aircraft;
    std::unique_ptr<remaining::frmRemain> remaining;
};

TEST_P(EntriesOnTwoScreens, IncrementsOnOneFileAddUp) {
    open(store.dataPath());
    dialogs->answer(MsgAnswer::Yes);
    enterOnRemaining(remain::kMeter1, "+1.5");
    EXPECT_EQ(stored("TotalTime"), "801.5");
    // Aircraft Set-up still shows the row as it read it.
    EXPECT_EQ(control<QLineEdit>(*aircraft, "txtFields", setup::kMeter1)->text(), "1234.5");
    dialogs->answer(MsgAnswer::Yes);
    enterOnSetup(setup::kMeter1, "+2");
    EXPECT_EQ(questions(), QStringList({"Flight time was changed by 1.5. Is this correct?",
                                        "Flight time was changed by 2.0. Is this correct?"}));
    EXPECT_EQ(stored("TotalTime"), "803.5");
    EXPECT_EQ(stored("CurrentMeter1"), "1238");
    EXPECT_EQ(stored("LastMeter1"), "1238");
    // The screen shows the row as stored, and is clean.
    EXPECT_EQ(control<QLineEdit>(*aircraft, "txtFields", setup::kMeter1)->text(), "1238");
    EXPECT_EQ(control<QLineEdit>(*aircraft, "txtFields", setup::kTotalTime)->text(), "803.5");
    EXPECT_FALSE(control<QPushButton>(*aircraft, "cmdSave")->isEnabled());

    // Landings the same way, added without a question on both.
    enterOnRemaining(remain::kLandings, "+5");
    enterOnSetup(setup::kLandings, "+3");
    EXPECT_EQ(stored("TotalLandings"), "1208");
    EXPECT_EQ(control<QLineEdit>(*aircraft, "txtFields", setup::kLandings)->text(), "1208");
    EXPECT_EQ(dialogs->messages.size(), 2u);
}

TEST_P(EntriesOnTwoScreens, ReadingFromAnotherWorkstationCountsFromTheStoredReading) {
    open(store.otherWorkstationDataPath());
    dialogs->answer(MsgAnswer::Yes);
    enterOnRemaining(remain::kMeter1, "1236");  // 6.0 h since the last counted 1230
    EXPECT_EQ(stored("TotalTime"), "806");
    // Typed on the screen that still shows 1234.5: the flight time is the 4.0 h since 1236,
    // not 10.0 h since the 1230 it read.
    dialogs->answer(MsgAnswer::Yes);
    enterOnSetup(setup::kMeter1, "1240");
    ASSERT_EQ(dialogs->messages.size(), 2u);
    EXPECT_EQ(dialogs->messages[1].text, "Flight time was changed by 4.0. Is this correct?");
    EXPECT_EQ(stored("TotalTime"), "810");
    EXPECT_EQ(stored("LastMeter1"), "1240");
    EXPECT_EQ(control<QLineEdit>(*aircraft, "txtFields", setup::kTotalTime)->text(), "810");
    EXPECT_FALSE(control<QPushButton>(*aircraft, "cmdSave")->isEnabled());
}

// A field typed over another user's change still asks; the entry saved with it is kept
// whatever the answer, and after Yes the screen shows the row and is clean.
TEST_P(EntriesOnTwoScreens, ReloadAfterAnotherUsersChangeKeepsTheEntry) {
    open(store.otherWorkstationDataPath());
    enterOnSetup(setup::kSerial, "SN-A", 4);       // not saved yet
    enterOnRemaining(remain::kSerial, "SN-R", 1);  // saved at once
    EXPECT_EQ(stored("Serial Number"), "SN-R");
    dialogs->answer(MsgAnswer::Yes);  // flight time 2.0
    dialogs->answer(MsgAnswer::Yes);  // reload
    enterOnSetup(setup::kMeter1, "+2", setup::kMeter2);
    EXPECT_EQ(questions(), QStringList({"Flight time was changed by 2.0. Is this correct?",
                                        "The data has been changed by another user. Reload it?"}));
    EXPECT_EQ(stored("TotalTime"), "802");
    EXPECT_EQ(stored("CurrentMeter1"), "1236.5");
    EXPECT_EQ(stored("Serial Number"), "SN-R");
    EXPECT_EQ(control<QLineEdit>(*aircraft, "txtFields", setup::kSerial)->text(), "SN-R");
    EXPECT_EQ(control<QLineEdit>(*aircraft, "txtFields", setup::kMeter1)->text(), "1236.5");
    EXPECT_EQ(control<QLineEdit>(*aircraft, "txtFields", setup::kTotalTime)->text(), "802");
    EXPECT_FALSE(control<QPushButton>(*aircraft, "cmdSave")->isEnabled());
    // Leaving the meter boxes asks nothing more.
    enterOnSetup(setup::kMeter1, "", setup::kMeter2);
    enter(aircraft.get(), control<QLineEdit>(*aircraft, "txtFields", setup::kMeter2), "",
          control<QLineEdit>(*aircraft, "txtFields", setup::kTotalTime));
    EXPECT_EQ(dialogs->messages.size(), 2u);
}

TEST_P(EntriesOnTwoScreens, KeepingTheScreensValuesKeepsTheEntryToo) {
    open(store.otherWorkstationDataPath());
    enterOnSetup(setup::kSerial, "SN-A", 4);
    enterOnRemaining(remain::kSerial, "SN-R", 1);
    dialogs->answer(MsgAnswer::Yes);  // flight time 2.0
    dialogs->answer(MsgAnswer::No);   // keep the screen's values
    enterOnSetup(setup::kMeter1, "+2", setup::kMeter2);
    EXPECT_EQ(dialogs->messages.size(), 2u);
    EXPECT_EQ(stored("TotalTime"), "802");
    EXPECT_EQ(stored("Serial Number"), "SN-R");
    EXPECT_EQ(control<QLineEdit>(*aircraft, "txtFields", setup::kSerial)->text(), "SN-A");
    EXPECT_EQ(control<QLineEdit>(*aircraft, "txtFields", setup::kMeter1)->text(), "1236.5");
    EXPECT_TRUE(control<QPushButton>(*aircraft, "cmdSave")->isEnabled());
    // Saved again, the serial number goes over the other user's; the entry counts once.
    QTest::mouseClick(control<QPushButton>(*aircraft, "cmdSave"), Qt::LeftButton);
    EXPECT_EQ(stored("Serial Number"), "SN-A");
    EXPECT_EQ(stored("TotalTime"), "802");
    EXPECT_EQ(stored("CurrentMeter1"), "1236.5");
    EXPECT_FALSE(control<QPushButton>(*aircraft, "cmdSave")->isEnabled());
}

VELMORA_ON_BOTH_BACK_ENDS(EntriesOnTwoScreens);

}  // namespace
