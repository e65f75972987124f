#include "screens/common/BoundRecordSource.h"
#include "screens/common/ScriptedDialogs.h"

#include "support/TestFiles.h"

#include "data/DbError.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <gtest/gtest.h>

using velmora::screens::BoundRecordSource;
using velmora::screens::MessageRequest;
using velmora::screens::MsgAnswer;
using velmora::screens::MsgButtons;
using velmora::screens::MsgIcon;
using velmora::screens::ScopedDialogs;
namespace data = velmora::data;
namespace err = velmora::data::err;
using namespace velmora::testing;

namespace {

// A screen with the data control and four fields bound to the Aircraft table.
class BoundRecordSourceTest : public ::testing::Test {
  protected:
    void SetUp() override {
        QApplication::setApplicationDisplayName("Velmora");
        path = folder.createMainFile();
        {
            auto db = data::Database::open(path);
            addAircraft(*db, "N1", 1240.5);
            addAircraft(*db, "N2", 802.3);
            addAircraft(*db, "N3", 15);
            db->execute(
                "UPDATE Aircraft SET TrackLandings = Yes, Owner = 'Air Tours' "
                "WHERE RegNum = 'N1'");
            db->execute("UPDATE Aircraft SET TrackLandings = No WHERE RegNum = 'N2'");
            db->execute("UPDATE Aircraft SET TotalTime = Null WHERE RegNum = 'N3'");
        }
        auto* layout = new QVBoxLayout(&screen);
        source = new BoundRecordSource(&screen);
        regNum = new QLineEdit(&screen);
        totalTime = new QLineEdit(&screen);
        trackLandings = new QCheckBox(&screen);
        owner = new QPlainTextEdit(&screen);
        for (QWidget* w :
             std::initializer_list<QWidget*>{source, regNum, totalTime, trackLandings, owner})
            layout->addWidget(w);
        source->bind(regNum, "RegNum");
        source->bind(totalTime, "totaltime");  // letter case of the column ignored
        source->bind(trackLandings, "TrackLandings");
        source->bind(owner, "Owner");
        source->setDatabaseName(path);
        source->setRecordSource("SELECT * FROM Aircraft ORDER BY RegNum");

        source->setValidateHandler([this](BoundRecordSource::Action action, bool save) {
            log << QStringLiteral("validate %1 %2").arg(action).arg(save ? 1 : 0);
            BoundRecordSource::Validation answer{action, save};
            if (cancelMoves)
                answer.action = BoundRecordSource::ActionCancel;
            if (dropChanges)
                answer.save = false;
            return answer;
        });
        QObject::connect(source, &BoundRecordSource::reposition,
                         [this] { log << "reposition " + regNum->text(); });
        QObject::connect(source, &BoundRecordSource::refreshed, [this] { log << "refreshed"; });
        source->setErrorHandler([this](data::ErrorNumber number) {
            log << QStringLiteral("error %1").arg(static_cast<int>(number));
            return handleErrors ? BoundRecordSource::ErrorResponse::Handled
                                : BoundRecordSource::ErrorResponse::ShowMessage;
        });
        screen.show();
        QApplication::setActiveWindow(&screen);
    }

    void TearDown() override { setMode(path, 0644); }

    // A value as a fresh read of the file gives it; "<no row>" when no row matches.
    QString stored(const QString& sql) {
        auto rs = data::Database::open(path)->openRecordset(sql);
        return rs->hasCurrent() ? rs->value(0).toString() : QStringLiteral("<no row>");
    }
    int aircraftCount() { return stored("SELECT Count(*) FROM Aircraft").toInt(); }

    // Types into a field as the user does: the field takes focus, its text is replaced.
    void typeInto(QLineEdit* e, const QString& text) {
        e->setFocus();
        e->selectAll();
        QTest::keyClick(e, Qt::Key_Delete);
        QTest::keyClicks(e, text);
    }

    ScopedDialogs dialogs;
    TestFolder folder;
    QString path;
    QWidget screen;
    BoundRecordSource* source = nullptr;
    QLineEdit* regNum = nullptr;
    QLineEdit* totalTime = nullptr;
    QCheckBox* trackLandings = nullptr;
    QPlainTextEdit* owner = nullptr;
    QStringList log;
    bool cancelMoves = false;
    bool dropChanges = false;
    bool handleErrors = false;
};

}  // namespace

TEST_F(BoundRecordSourceTest, OpensAndShowsTheFirstRow) {
    ASSERT_TRUE(source->refresh());
    EXPECT_EQ(log, QStringList({"refreshed", "reposition N1"}));
    ASSERT_NE(source->recordset(), nullptr);
    ASSERT_NE(source->database(), nullptr);
    EXPECT_EQ(source->recordCount(), 3);
    EXPECT_EQ(source->absolutePosition(), 0);
    EXPECT_EQ(regNum->text(), "N1");
    EXPECT_EQ(totalTime->text(), "1240.5");
    EXPECT_TRUE(trackLandings->isChecked());
    EXPECT_EQ(owner->toPlainText(), "Air Tours");
    EXPECT_FALSE(source->isChanged());
    EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(BoundRecordSourceTest, NullShowsAsEmpty) {
    ASSERT_TRUE(source->refresh());
    ASSERT_TRUE(source->moveLast());
    EXPECT_EQ(regNum->text(), "N3");
    EXPECT_EQ(totalTime->text(), "");
    EXPECT_FALSE(trackLandings->isChecked());
    EXPECT_EQ(owner->toPlainText(), "");
}

TEST_F(BoundRecordSourceTest, CaptionAndButtons) {
    source->setCaption("Aircraft");
    EXPECT_EQ(source->caption(), "Aircraft");
    for (QToolButton* b : {source->firstButton(), source->previousButton(), source->nextButton(),
                           source->lastButton()})
        EXPECT_FALSE(b->toolTip().isEmpty());
    EXPECT_EQ(source->firstButton()->text(), "|<");
    EXPECT_EQ(source->lastButton()->text(), ">|");
}

TEST_F(BoundRecordSourceTest, ButtonsMoveWithValidateBeforeAndRepositionAfter) {
    ASSERT_TRUE(source->refresh());
    const QByteArray before = fileBytes(path);
    log.clear();
    QTest::mouseClick(source->nextButton(), Qt::LeftButton);
    EXPECT_EQ(regNum->text(), "N2");
    EXPECT_EQ(totalTime->text(), "802.3");
    EXPECT_FALSE(trackLandings->isChecked());
    QTest::mouseClick(source->lastButton(), Qt::LeftButton);
    QTest::mouseClick(source->nextButton(), Qt::LeftButton);  // past the end: stays on N3
    QTest::mouseClick(source->previousButton(), Qt::LeftButton);
    QTest::mouseClick(source->firstButton(), Qt::LeftButton);
    QTest::mouseClick(source->previousButton(), Qt::LeftButton);  // before the start: N1
    EXPECT_EQ(log, QStringList({"validate 3 0", "reposition N2", "validate 4 0", "reposition N3",
                                "validate 3 0", "reposition N3", "validate 2 0", "reposition N2",
                                "validate 1 0", "reposition N1", "validate 2 0", "reposition N1"}));
    EXPECT_FALSE(source->recordset()->eof());
    EXPECT_FALSE(source->recordset()->bof());
    // Showing rows changed nothing in the file.
    EXPECT_FALSE(source->isChanged());
    EXPECT_EQ(fileBytes(path), before);
}

TEST_F(BoundRecordSourceTest, MoveToBringsThePositionWithinTheSet) {
    ASSERT_TRUE(source->refresh());
    log.clear();
    EXPECT_TRUE(source->moveTo(1));
    EXPECT_EQ(regNum->text(), "N2");
    EXPECT_TRUE(source->moveTo(99));
    EXPECT_EQ(regNum->text(), "N3");
    EXPECT_TRUE(source->moveTo(-5));
    EXPECT_EQ(regNum->text(), "N1");
    EXPECT_EQ(log, QStringList({"validate 9 0", "reposition N2", "validate 9 0", "reposition N3",
                                "validate 9 0", "reposition N1"}));
}

TEST_F(BoundRecordSourceTest, TypedChangeIsWrittenWhenMovingToTheNextRow) {
    ASSERT_TRUE(source->refresh());
    typeInto(totalTime, "1300.25");
    EXPECT_TRUE(source->isChanged());
    log.clear();
    QTest::mouseClick(source->nextButton(), Qt::LeftButton);
    EXPECT_EQ(log, QStringList({"validate 3 1", "reposition N2"}));
    EXPECT_EQ(stored("SELECT TotalTime FROM Aircraft WHERE RegNum = 'N1'"), "1300.25");
    EXPECT_EQ(stored("SELECT TotalTime FROM Aircraft WHERE RegNum = 'N2'"), "802.3");
    // Back on the row, the stored value shows.
    source->movePrevious();
    EXPECT_EQ(totalTime->text(), "1300.25");
    EXPECT_FALSE(source->isChanged());
}

TEST_F(BoundRecordSourceTest, CheckBoxAndMemoChangesAreWritten) {
    ASSERT_TRUE(source->refresh());
    trackLandings->setFocus();
    QTest::keyClick(trackLandings, Qt::Key_Space);
    EXPECT_FALSE(trackLandings->isChecked());
    owner->setFocus();
    QTest::keyClick(owner, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(owner, " Ltd");
    ASSERT_TRUE(source->moveNext());
    EXPECT_EQ(stored("SELECT TrackLandings FROM Aircraft WHERE RegNum = 'N1'"), "0");
    EXPECT_EQ(stored("SELECT Owner FROM Aircraft WHERE RegNum = 'N1'"), "Air Tours Ltd");
    trackLandings->setFocus();
    QTest::keyClick(trackLandings, Qt::Key_Space);  // N2: No -> Yes
    ASSERT_TRUE(source->moveNext());
    EXPECT_EQ(stored("SELECT TrackLandings FROM Aircraft WHERE RegNum = 'N2'"), "-1");
}

TEST_F(BoundRecordSourceTest, EmptiedFieldIsWrittenAsNull) {
    ASSERT_TRUE(source->refresh());
    typeInto(totalTime, "");
    ASSERT_TRUE(source->moveNext());
    EXPECT_EQ(stored("SELECT IIf(IsNull(TotalTime), 'null', 'value') FROM Aircraft "
                     "WHERE RegNum = 'N1'"),
              "null");
}

TEST_F(BoundRecordSourceTest, TypedChangeIsWrittenOnClose) {
    ASSERT_TRUE(source->refresh());
    regNum->setFocus();
    QTest::keyClick(regNum, Qt::Key_End);
    QTest::keyClicks(regNum, "X");
    log.clear();
    EXPECT_TRUE(source->closeSource());
    EXPECT_EQ(log, QStringList({"validate 10 1"}));
    EXPECT_EQ(source->recordset(), nullptr);
    EXPECT_FALSE(source->isOpen());
    EXPECT_EQ(stored("SELECT Count(*) FROM Aircraft WHERE RegNum = 'N1X'"), "1");
    EXPECT_EQ(stored("SELECT Count(*) FROM Aircraft WHERE RegNum = 'N1'"), "0");
    EXPECT_TRUE(source->closeSource());  // closed already: nothing to do
    EXPECT_FALSE(source->moveNext());
}

TEST_F(BoundRecordSourceTest, ChangesMadeByCodeOutsideShowingARowAreWrittenToo) {
    ASSERT_TRUE(source->refresh());
    totalTime->setText("99");  // a screen filling in a value counts like typing
    EXPECT_TRUE(source->isChanged());
    ASSERT_TRUE(source->moveNext());
    EXPECT_EQ(stored("SELECT TotalTime FROM Aircraft WHERE RegNum = 'N1'"), "99");
}

TEST_F(BoundRecordSourceTest, ValidateCancelKeepsTheRowAndWritesNothing) {
    ASSERT_TRUE(source->refresh());
    typeInto(totalTime, "5000");
    const QByteArray before = fileBytes(path);
    cancelMoves = true;
    log.clear();
    QTest::mouseClick(source->nextButton(), Qt::LeftButton);
    EXPECT_FALSE(source->moveLast());
    EXPECT_FALSE(source->closeSource());
    EXPECT_FALSE(source->updateRecord());
    EXPECT_EQ(log, QStringList({"validate 3 1", "validate 4 1", "validate 10 1", "validate 6 1"}));
    EXPECT_EQ(source->absolutePosition(), 0);
    EXPECT_EQ(regNum->text(), "N1");
    EXPECT_EQ(totalTime->text(), "5000");
    EXPECT_TRUE(source->isChanged());
    EXPECT_TRUE(source->isOpen());
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_EQ(stored("SELECT TotalTime FROM Aircraft WHERE RegNum = 'N1'"), "1240.5");

    cancelMoves = false;  // now the move goes ahead and writes
    ASSERT_TRUE(source->moveNext());
    EXPECT_EQ(stored("SELECT TotalTime FROM Aircraft WHERE RegNum = 'N1'"), "5000");
}

TEST_F(BoundRecordSourceTest, ValidateMayLetTheChangesGo) {
    ASSERT_TRUE(source->refresh());
    typeInto(totalTime, "5000");
    dropChanges = true;
    ASSERT_TRUE(source->moveNext());
    EXPECT_EQ(regNum->text(), "N2");
    EXPECT_EQ(stored("SELECT TotalTime FROM Aircraft WHERE RegNum = 'N1'"), "1240.5");
}

TEST_F(BoundRecordSourceTest, TooLongTextIsReportedAndTheRowKeepsTheTypedText) {
    ASSERT_TRUE(source->refresh());
    typeInto(regNum, "N1-TOO-LONG-FOR-TEN");
    const QByteArray before = fileBytes(path);
    log.clear();
    QTest::mouseClick(source->nextButton(), Qt::LeftButton);
    EXPECT_EQ(log,
              QStringList({"validate 3 1",
                           QStringLiteral("error %1").arg(static_cast<int>(err::FieldTooSmall))}));
    EXPECT_EQ(source->absolutePosition(), 0);
    EXPECT_EQ(regNum->text(), "N1-TOO-LONG-FOR-TEN");
    EXPECT_TRUE(source->isChanged());
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_EQ(stored("SELECT Count(*) FROM Aircraft WHERE RegNum = 'N1'"), "1");
    // Left to the control, the error is shown with its standard message.
    ASSERT_EQ(dialogs->messages.size(), 1u);
    const MessageRequest& m = dialogs->messages[0];
    EXPECT_TRUE(m.text.startsWith("Data error event hit err:The text \"N1-TOO-LONG-FOR-TEN\""))
        << m.text.toStdString();
    EXPECT_EQ(m.title, "Velmora");
    EXPECT_EQ(m.buttons, MsgButtons::Ok);
    EXPECT_EQ(m.defaultButton, MsgAnswer::Ok);
    EXPECT_EQ(m.icon, MsgIcon::None);

    // Corrected, the row is written and the move goes ahead.
    typeInto(regNum, "N1A");
    ASSERT_TRUE(source->moveNext());
    EXPECT_EQ(stored("SELECT Count(*) FROM Aircraft WHERE RegNum = 'N1A'"), "1");
}

TEST_F(BoundRecordSourceTest, TextThatIsNoNumberIsReportedOnClose) {
    ASSERT_TRUE(source->refresh());
    typeInto(totalTime, "twelve");
    handleErrors = true;
    log.clear();
    EXPECT_FALSE(source->closeSource());
    EXPECT_EQ(log,
              QStringList({"validate 10 1",
                           QStringLiteral("error %1").arg(static_cast<int>(err::TypeMismatch))}));
    EXPECT_TRUE(source->isOpen());
    EXPECT_EQ(totalTime->text(), "twelve");
    EXPECT_TRUE(dialogs->messages.empty());  // the screen shows it, with this text:
    EXPECT_EQ(source->lastErrorNumber(), static_cast<int>(err::TypeMismatch));
    EXPECT_TRUE(source->lastErrorText().contains("twelve"))
        << source->lastErrorText().toStdString();
    EXPECT_EQ(stored("SELECT TotalTime FROM Aircraft WHERE RegNum = 'N1'"), "1240.5");
}

TEST_F(BoundRecordSourceTest, ReadOnlyFileIsReportedAndNothingIsLost) {
    setMode(path, 0444);
    ASSERT_TRUE(source->refresh());
    typeInto(totalTime, "1500");
    const QByteArray before = fileBytes(path);
    handleErrors = true;
    log.clear();
    EXPECT_FALSE(source->moveNext());
    EXPECT_EQ(log, QStringList({"validate 3 1",
                                QStringLiteral("error %1").arg(static_cast<int>(err::ReadOnly))}));
    EXPECT_EQ(source->absolutePosition(), 0);
    EXPECT_EQ(totalTime->text(), "1500");
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_TRUE(dialogs->messages.empty());
}

TEST_F(BoundRecordSourceTest, MissingFileGivesError3024) {
    const QString missing = folder.file("Nothere.mdb");
    const auto expected = dbErrorOf([&] { data::Database::open(missing); });
    ASSERT_TRUE(expected);
    source->setDatabaseName(missing);
    EXPECT_FALSE(source->refresh());
    EXPECT_EQ(log, QStringList({"refreshed", "error 3024"}));
    EXPECT_EQ(source->recordset(), nullptr);
    EXPECT_EQ(source->recordCount(), 0);
    EXPECT_EQ(regNum->text(), "");
    EXPECT_FALSE(QFileInfo::exists(missing));
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(source->lastErrorText(), expected->text());
    EXPECT_EQ(dialogs->messages[0],
              (MessageRequest{"Data error event hit err:" + expected->text(), "Velmora",
                              MsgButtons::Ok, MsgIcon::None, MsgAnswer::Ok}));
    // The control stays usable.
    EXPECT_FALSE(source->moveNext());
    EXPECT_FALSE(source->addNew());
    QTest::mouseClick(source->lastButton(), Qt::LeftButton);
    EXPECT_TRUE(source->updateRecord());  // nothing typed, nothing to write
    typeInto(regNum, "N4");
    handleErrors = true;
    EXPECT_FALSE(source->updateRecord());  // typed text with nowhere to go is reported
    EXPECT_EQ(log.last(), QStringLiteral("error %1").arg(static_cast<int>(err::NoCurrentRecord)));
    EXPECT_EQ(regNum->text(), "N4");
    EXPECT_TRUE(source->closeSource());
    source->setDatabaseName(path);
    EXPECT_TRUE(source->refresh());
    EXPECT_EQ(regNum->text(), "N1");
}

TEST_F(BoundRecordSourceTest, UnknownTableGivesError3078) {
    source->setRecordSource("NoSuchTable");
    handleErrors = true;
    EXPECT_FALSE(source->refresh());
    EXPECT_EQ(log, QStringList({"refreshed", "error 3078"}));
    EXPECT_FALSE(source->isOpen());
}

TEST_F(BoundRecordSourceTest, AddNewRowIsWrittenWhenLeft) {
    ASSERT_TRUE(source->refresh());
    log.clear();
    ASSERT_TRUE(source->addNew());
    EXPECT_TRUE(source->isAddingNew());
    EXPECT_EQ(regNum->text(), "");
    EXPECT_EQ(totalTime->text(), "");
    EXPECT_FALSE(trackLandings->isChecked());
    typeInto(regNum, "N9");
    typeInto(totalTime, "12.5");
    QTest::mouseClick(source->firstButton(), Qt::LeftButton);
    EXPECT_EQ(log, QStringList({"validate 5 0", "reposition ", "validate 1 1", "reposition N1"}));
    EXPECT_FALSE(source->isAddingNew());
    EXPECT_EQ(aircraftCount(), 4);
    EXPECT_EQ(stored("SELECT TotalTime FROM Aircraft WHERE RegNum = 'N9'"), "12.5");
    EXPECT_EQ(source->recordCount(), 4);
}

TEST_F(BoundRecordSourceTest, AKeyFieldIsWrittenIntoNewRowsOnly) {
    source->setWrittenOnNewRowOnly(regNum);
    ASSERT_TRUE(source->refresh());
    // Typed over on a row that exists, the key is no change of the row: moving on writes
    // nothing, and the row keeps its own key.
    typeInto(regNum, "N2");
    EXPECT_FALSE(source->isChanged());
    QTest::mouseClick(source->nextButton(), Qt::LeftButton);
    EXPECT_EQ(stored("SELECT Count(*) FROM Aircraft WHERE RegNum = 'N2'"), "1");
    EXPECT_EQ(stored("SELECT Count(*) FROM Aircraft WHERE RegNum = 'N1'"), "1");
    // With another change the row is written, its key left as it was.
    typeInto(regNum, "N7");
    typeInto(totalTime, "900");
    ASSERT_TRUE(source->updateRecord());
    EXPECT_EQ(regNum->text(), "N2");
    EXPECT_EQ(stored("SELECT TotalTime FROM Aircraft WHERE RegNum = 'N2'"), "900");
    EXPECT_EQ(stored("SELECT Count(*) FROM Aircraft WHERE RegNum = 'N7'"), "0");
    // A new row takes the key typed.
    ASSERT_TRUE(source->addNew());
    typeInto(regNum, "N9");
    EXPECT_TRUE(source->isChanged());
    ASSERT_TRUE(source->updateRecord());
    EXPECT_EQ(aircraftCount(), 4);
    EXPECT_EQ(stored("SELECT Count(*) FROM Aircraft WHERE RegNum = 'N9'"), "1");
}

TEST_F(BoundRecordSourceTest, UnchangedNewRowIsDropped) {
    ASSERT_TRUE(source->refresh());
    ASSERT_TRUE(source->moveNext());
    ASSERT_TRUE(source->addNew());
    ASSERT_TRUE(source->moveNext());
    EXPECT_EQ(regNum->text(), "N3");
    ASSERT_TRUE(source->addNew());
    EXPECT_TRUE(source->closeSource());
    EXPECT_EQ(aircraftCount(), 3);
}

TEST_F(BoundRecordSourceTest, UpdateRecordWritesAtOnceAndTheNewRowBecomesCurrent) {
    ASSERT_TRUE(source->refresh());
    typeInto(totalTime, "1");
    log.clear();
    ASSERT_TRUE(source->updateRecord());
    EXPECT_EQ(log, QStringList({"validate 6 1"}));
    EXPECT_EQ(stored("SELECT TotalTime FROM Aircraft WHERE RegNum = 'N1'"), "1");

    ASSERT_TRUE(source->addNew());
    typeInto(regNum, "N7");
    log.clear();
    ASSERT_TRUE(source->updateRecord());
    EXPECT_EQ(log, QStringList({"validate 6 1", "reposition N7"}));
    EXPECT_FALSE(source->isAddingNew());
    EXPECT_EQ(source->absolutePosition(), 3);
    // Typing on goes to the same row, not to another new one.
    typeInto(totalTime, "7");
    ASSERT_TRUE(source->closeSource());
    EXPECT_EQ(aircraftCount(), 4);
    EXPECT_EQ(stored("SELECT TotalTime FROM Aircraft WHERE RegNum = 'N7'"), "7");
}

TEST_F(BoundRecordSourceTest, NewRowThatCannotBeWrittenStaysOnScreen) {
    ASSERT_TRUE(source->refresh());
    ASSERT_TRUE(source->addNew());
    typeInto(regNum, "N12345678901");
    handleErrors = true;
    EXPECT_FALSE(source->moveFirst());
    EXPECT_TRUE(source->isAddingNew());
    EXPECT_EQ(regNum->text(), "N12345678901");
    EXPECT_EQ(aircraftCount(), 3);
    typeInto(regNum, "N12");
    ASSERT_TRUE(source->moveFirst());
    EXPECT_EQ(aircraftCount(), 4);
}

TEST_F(BoundRecordSourceTest, RefreshWritesChangesFirstAndReopens) {
    ASSERT_TRUE(source->refresh());
    typeInto(totalTime, "77");
    log.clear();
    source->setRecordSource("SELECT * FROM Aircraft WHERE RegNum = 'N2'");
    ASSERT_TRUE(source->refresh());
    EXPECT_EQ(log, QStringList({"validate 10 1", "refreshed", "reposition N2"}));
    EXPECT_EQ(stored("SELECT TotalTime FROM Aircraft WHERE RegNum = 'N1'"), "77");
    EXPECT_EQ(source->recordCount(), 1);
}

TEST_F(BoundRecordSourceTest, SourceValuesAreBoundAndKeptAcrossRefreshes) {
    source->setRecordSource("SELECT * FROM Aircraft WHERE RegNum = ?1", {data::Value("N2")});
    ASSERT_TRUE(source->refresh());
    EXPECT_EQ(source->recordCount(), 1);
    EXPECT_EQ(regNum->text(), "N2");
    typeInto(totalTime, "55");
    ASSERT_TRUE(source->refresh());
    EXPECT_EQ(stored("SELECT TotalTime FROM Aircraft WHERE RegNum = 'N2'"), "55");
    EXPECT_EQ(regNum->text(), "N2");
    // A value with quotes in it is a value, not text of the statement.
    source->setRecordSource("SELECT * FROM Aircraft WHERE RegNum = ?1",
                            {data::Value("N2' OR '1'='1")});
    ASSERT_TRUE(source->refresh());
    EXPECT_EQ(source->recordCount(), 0);
    // A source set without values reads no earlier ones.
    source->setRecordSource("SELECT * FROM Aircraft");
    ASSERT_TRUE(source->refresh());
    EXPECT_EQ(source->recordCount(), 3);
}

TEST_F(BoundRecordSourceTest, FindFirstAndDelete) {
    ASSERT_TRUE(source->refresh());
    log.clear();
    EXPECT_TRUE(source->findFirst("RegNum = 'n2'"));
    EXPECT_EQ(regNum->text(), "N2");
    EXPECT_FALSE(source->findFirst("RegNum = 'N8'"));
    EXPECT_EQ(regNum->text(), "N2");
    EXPECT_EQ(log, QStringList({"validate 8 0", "reposition N2", "validate 8 0"}));
    log.clear();
    ASSERT_TRUE(source->deleteCurrent());
    EXPECT_EQ(log, QStringList({"validate 7 0", "reposition N3"}));
    EXPECT_EQ(aircraftCount(), 2);
    ASSERT_TRUE(source->deleteCurrent());
    EXPECT_EQ(regNum->text(), "N1");
    ASSERT_TRUE(source->deleteCurrent());
    EXPECT_EQ(regNum->text(), "");
    EXPECT_EQ(aircraftCount(), 0);
}

TEST_F(BoundRecordSourceTest, TypingIntoAnEmptySetIsReportedNotLost) {
    source->setRecordSource("SELECT * FROM Aircraft WHERE RegNum = 'none'");
    ASSERT_TRUE(source->refresh());
    EXPECT_EQ(source->recordCount(), 0);
    typeInto(regNum, "N5");
    handleErrors = true;
    EXPECT_FALSE(source->moveNext());
    EXPECT_TRUE(
        log.contains(QStringLiteral("error %1").arg(static_cast<int>(err::NoCurrentRecord))));
    EXPECT_EQ(regNum->text(), "N5");
}

TEST_F(BoundRecordSourceTest, MissingColumnIsReported) {
    QLineEdit other(&screen);
    source->bind(&other, "NoSuchColumn");
    handleErrors = true;
    ASSERT_TRUE(source->refresh());
    EXPECT_TRUE(log.contains(QStringLiteral("error %1").arg(static_cast<int>(err::ItemNotFound))));
    EXPECT_EQ(regNum->text(), "N1");
    other.setText("typed");
    EXPECT_FALSE(source->moveNext());  // the text has nowhere to go: said so, kept
    EXPECT_EQ(other.text(), "typed");
    source->unbind(&other);
    EXPECT_TRUE(source->moveNext());
}

TEST_F(BoundRecordSourceTest, StagedValuesAreWrittenWithTheRowAndDroppedOnMoving) {
    ASSERT_TRUE(source->refresh());
    source->stageValue("LastMeter1", 1236.5);
    EXPECT_TRUE(source->isChanged());
    EXPECT_EQ(source->currentValue("lastmeter1").toDouble(), 1236.5);
    EXPECT_EQ(source->currentValue("TotalTime").toDouble(), 1240.5);
    ASSERT_TRUE(source->updateRecord());
    EXPECT_EQ(stored("SELECT LastMeter1 FROM Aircraft WHERE RegNum = 'N1'"), "1236.5");
    EXPECT_FALSE(source->isChanged());

    // A staged value whose write fails stays staged; letting it go drops it.
    source->stageValue("TotalLandings", "many");
    handleErrors = true;
    EXPECT_FALSE(source->updateRecord());
    EXPECT_TRUE(source->isChanged());
    dropChanges = true;
    source->moveNext();
    EXPECT_FALSE(source->isChanged());
    EXPECT_EQ(stored("SELECT TotalLandings FROM Aircraft WHERE RegNum = 'N1'"), "0");
}

TEST_F(BoundRecordSourceTest, RowChangedByAnotherUserIsReloadedOnYes) {
    ASSERT_TRUE(source->refresh());
    typeInto(totalTime, "1300");
    data::Database::open(path)->execute("UPDATE Aircraft SET TotalTime = 1250 WHERE RegNum = 'N1'");
    dialogs->answer(MsgAnswer::Yes);
    EXPECT_FALSE(source->updateRecord());
    ASSERT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(dialogs->messages[0].text, "The data has been changed by another user. Reload it?");
    EXPECT_EQ(dialogs->messages[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(dialogs->messages[0].icon, MsgIcon::Question);
    EXPECT_EQ(regNum->text(), "N1");
    EXPECT_EQ(totalTime->text(), "1250");
    EXPECT_FALSE(source->isChanged());
    EXPECT_EQ(stored("SELECT TotalTime FROM Aircraft WHERE RegNum = 'N1'"), "1250");
}

TEST_F(BoundRecordSourceTest, RowChangedByAnotherUserKeepsTheScreensValuesOnNo) {
    ASSERT_TRUE(source->refresh());
    typeInto(totalTime, "1300");
    data::Database::open(path)->execute("UPDATE Aircraft SET TotalTime = 1250 WHERE RegNum = 'N1'");
    dialogs->answer(MsgAnswer::No);
    EXPECT_FALSE(source->updateRecord());
    EXPECT_EQ(totalTime->text(), "1300");
    EXPECT_EQ(stored("SELECT TotalTime FROM Aircraft WHERE RegNum = 'N1'"), "1250");
    // Saved again, the screen's values go over the row as the other user left it.
    EXPECT_TRUE(source->updateRecord());
    EXPECT_EQ(dialogs->messages.size(), 1u);
    EXPECT_EQ(stored("SELECT TotalTime FROM Aircraft WHERE RegNum = 'N1'"), "1300");
}
