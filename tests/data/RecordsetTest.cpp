// Record sets: moving, end and beginning flags, finding, reading and writing columns, and
// adding, editing and deleting rows.
#include "support/BackEnds.h"
#include "support/TestFiles.h"

#include "data/JetSqlTranslator.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;
using data::Database;
using data::Recordset;
using data::Value;
namespace err = data::err;

namespace {

class Recordsets : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        path = store.createMainFile();
        db = Database::open(path);
    }

    // Three aircraft, stored out of order.
    void addThreeAircraft() {
        addAircraft(*db, "N3", 300);
        addAircraft(*db, "N1", 100);
        addAircraft(*db, "N2", 200);
    }

    std::unique_ptr<Recordset> byReg() {
        return db->openRecordset("select * from [Aircraft] Order by [RegNum]");
    }

    int countRows(const QString& source) { return db->openRecordset(source)->recordCount(); }

    TestStore store{GetParam()};
    TestFolder& folder = store.folder();
    QString path;
    std::shared_ptr<Database> db;
};

TEST_P(Recordsets, MoveThroughRowsInTheStatedOrder) {
    addThreeAircraft();
    auto rs = byReg();
    ASSERT_EQ(rs->recordCount(), 3);
    EXPECT_EQ(rs->value("RegNum").toString(), "N1");
    rs->moveNext();
    EXPECT_EQ(rs->value("RegNum").toString(), "N2");
    rs->moveLast();
    EXPECT_EQ(rs->value("RegNum").toString(), "N3");
    rs->movePrevious();
    EXPECT_EQ(rs->value("RegNum").toString(), "N2");
    rs->moveFirst();
    EXPECT_EQ(rs->value("RegNum").toString(), "N1");
    EXPECT_FALSE(rs->eof());
    EXPECT_FALSE(rs->bof());
}

TEST_P(Recordsets, WithoutAnOrderRowsComeAsAddedAlsoAfterAnUpdate) {
    addThreeAircraft();
    // A server keeps an updated row elsewhere; the rows still come in the order added, and
    // rows that sort alike in that order too.
    db->execute("UPDATE Aircraft SET TotalTime = 301, Make = 'Same' WHERE RegNum = 'N3'");
    db->execute("UPDATE Aircraft SET Make = 'Same'");
    for (const char* sql : {"select * from [Aircraft]", "select * from Aircraft order by Make"}) {
        auto rs = db->openRecordset(sql);
        QStringList regs;
        for (; !rs->eof(); rs->moveNext())
            regs << rs->value("RegNum").toString();
        EXPECT_EQ(regs, (QStringList{"N3", "N1", "N2"})) << sql;
    }
}

TEST_P(Recordsets, EmptySetIsAtEndAndBeginning) {
    auto rs = db->openRecordset("Aircraft");
    EXPECT_EQ(rs->recordCount(), 0);
    EXPECT_TRUE(rs->eof());
    EXPECT_TRUE(rs->bof());
    EXPECT_DB_ERROR(rs->value("RegNum"), err::NoCurrentRecord);
    EXPECT_DB_ERROR(rs->moveFirst(), err::NoCurrentRecord);
    EXPECT_DB_ERROR(rs->moveNext(), err::NoCurrentRecord);
    EXPECT_DB_ERROR(rs->edit(), err::NoCurrentRecord);
    rs->findFirst(R"(RegNum = "N1")");
    EXPECT_TRUE(rs->noMatch());
    EXPECT_TRUE(rs->eof());
}

TEST_P(Recordsets, MovingPastTheLastRowSetsEndOfFile) {
    addThreeAircraft();
    auto rs = byReg();
    rs->moveLast();
    rs->moveNext();
    EXPECT_TRUE(rs->eof());
    EXPECT_FALSE(rs->bof());
    EXPECT_DB_ERROR(rs->value("RegNum"), err::NoCurrentRecord);
    EXPECT_DB_ERROR(rs->moveNext(), err::NoCurrentRecord);
    rs->movePrevious();
    EXPECT_EQ(rs->value("RegNum").toString(), "N3");
}

TEST_P(Recordsets, MovingBeforeTheFirstRowSetsBeginningOfFile) {
    addThreeAircraft();
    auto rs = byReg();
    rs->movePrevious();
    EXPECT_TRUE(rs->bof());
    EXPECT_FALSE(rs->eof());
    EXPECT_DB_ERROR(rs->value("RegNum"), err::NoCurrentRecord);
    EXPECT_DB_ERROR(rs->movePrevious(), err::NoCurrentRecord);
    rs->moveNext();
    EXPECT_EQ(rs->value("RegNum").toString(), "N1");
}

TEST_P(Recordsets, FindFirstMovesToTheFirstMatch) {
    addThreeAircraft();
    addAircraft(*db, "N2", 999);
    auto rs = byReg();
    rs->findFirst(R"(RegNum = "N2")");
    EXPECT_FALSE(rs->noMatch());
    EXPECT_EQ(rs->value("RegNum").toString(), "N2");
    EXPECT_EQ(rs->value("TotalTime").toDouble(), 200);
    rs->findNext(R"(RegNum = "N2")");
    EXPECT_FALSE(rs->noMatch());
    EXPECT_EQ(rs->value("TotalTime").toDouble(), 999);
}

TEST_P(Recordsets, FindFirstIgnoresLetterCase) {
    addThreeAircraft();
    auto rs = byReg();
    rs->findFirst(R"(RegNum = "n3")");
    EXPECT_FALSE(rs->noMatch());
    EXPECT_EQ(rs->value("RegNum").toString(), "N3");
}

TEST_P(Recordsets, FindFirstWithoutMatchSetsNoMatchAndKeepsTheRow) {
    addThreeAircraft();
    auto rs = byReg();
    rs->moveNext();
    rs->findFirst(R"(RegNum = "N9")");
    EXPECT_TRUE(rs->noMatch());
    EXPECT_EQ(rs->value("RegNum").toString(), "N2");
    rs->findFirst(R"(RegNum = "N1")");
    EXPECT_FALSE(rs->noMatch());
}

TEST_P(Recordsets, FindFirstWithTwoConditions) {
    const QString templates = store.createTemplateFile();
    auto tdb = Database::open(templates);
    tdb->execute("INSERT INTO Aircraft (Make, Model) VALUES ('Bell', '206')");
    tdb->execute("INSERT INTO Aircraft (Make, Model) VALUES ('Bell', '407')");
    tdb->execute("INSERT INTO Aircraft (Make, Model) VALUES ('Robinson', '407')");
    auto rs = tdb->openRecordset("select * from [Aircraft] Order by [Make]");
    rs->findFirst("Make = 'Robinson' AND Model = '407'");
    ASSERT_FALSE(rs->noMatch());
    EXPECT_EQ(rs->absolutePosition(), 2);
    rs->findFirst("Make = 'bell' AND Model = '407'");
    ASSERT_FALSE(rs->noMatch());
    EXPECT_EQ(rs->absolutePosition(), 1);
    rs->findFirst("Make = 'Robinson' AND Model = '206'");
    EXPECT_TRUE(rs->noMatch());
}

TEST_P(Recordsets, FindCriterionWithAQuoteInTheValue) {
    addAircraft(*db, "N'1");
    addAircraft(*db, "N1");
    auto rs = byReg();
    rs->findFirst(R"(RegNum = "N'1")");
    ASSERT_FALSE(rs->noMatch());
    EXPECT_EQ(rs->value("RegNum").toString(), "N'1");
    rs->moveFirst();
    rs->findFirst("RegNum = 'N''1'");
    ASSERT_FALSE(rs->noMatch());
    EXPECT_EQ(rs->value("RegNum").toString(), "N'1");
}

// A search through hundreds of rows: on the server the rows are tested many at a time, so
// the texts must reach it unchanged and the first match must be the one found in turn.
TEST_P(Recordsets, FindingAmongHundredsOfRowsLandsOnTheFirstMatch) {
    const QStringList awkward{R"(Q"1)", R"(Q\2)", "Q{3}",      "Q,4",
                              "Q 5 ",   "QNULL",  "Q\u00e9 7", "Q'8"};
    {
        data::Transaction tx(*db);
        for (int i = 0; i < 400; ++i)
            addAircraft(*db, QStringLiteral("N%1").arg(i, 3, 10, QLatin1Char('0')), i);
        for (int i = 0; i < awkward.size(); ++i)
            addAircraft(*db, awkward[i], 1000 + i);
        db->execute("UPDATE Aircraft SET TotalTime = Null WHERE RegNum Between 'N100' And 'N149'");
        tx.commit();
    }
    auto rs = byReg();
    for (const QString& reg : awkward) {
        rs->findFirst(QStringLiteral("RegNum = ") + data::quoteJetLiteral(reg));
        ASSERT_FALSE(rs->noMatch()) << qPrintable(reg);
        EXPECT_EQ(rs->value("RegNum").toString(), reg);
    }
    rs->findFirst("RegNum = 'n350'");
    EXPECT_EQ(rs->value("TotalTime").toDouble(), 350);
    rs->findFirst("TotalTime >= 398.5");
    EXPECT_EQ(rs->value("RegNum").toString(), "N399");
    rs->findNext("TotalTime >= 398.5");
    EXPECT_TRUE(rs->value("RegNum").toString().startsWith(u'Q'));
    rs->findFirst("IsNull(TotalTime) AND RegNum > 'N120'");
    EXPECT_EQ(rs->value("RegNum").toString(), "N121");
    rs->findFirst("TotalTime > 100000");
    EXPECT_TRUE(rs->noMatch());
    EXPECT_EQ(rs->value("RegNum").toString(), "N121");

    // A row that cannot be tested after the first match is never reached; one before it
    // stops the search with its error.
    rs->moveLast();
    rs->findFirst("100 / (TotalTime - 5) < 0");
    ASSERT_FALSE(rs->noMatch());
    EXPECT_EQ(rs->value("RegNum").toString(), "N000");
    rs->findNext("100 / (TotalTime - 5) < 0");
    EXPECT_EQ(rs->value("RegNum").toString(), "N001");
    EXPECT_DB_ERROR(rs->findFirst("100 / (TotalTime - 5) > 0"), err::DivisionByZero);
}

TEST_P(Recordsets, BadFindCriteriaAreNumberedErrors) {
    addThreeAircraft();
    auto rs = byReg();
    EXPECT_DB_ERROR(rs->findFirst("Registration = 'N1'"), err::CriteriaSyntax);
    EXPECT_DB_ERROR(rs->findFirst("RegNum = 'N1"), err::SyntaxError);
    EXPECT_DB_ERROR(rs->findFirst("RegNum = = 'N1'"), err::SyntaxError);
    EXPECT_DB_ERROR(rs->findFirst(""), err::SyntaxError);
    EXPECT_EQ(rs->value("RegNum").toString(), "N1");
}

TEST_P(Recordsets, ColumnNamesIgnoreLetterCase) {
    addAircraft(*db, "N1", 12.5);
    auto rs = db->openRecordset("aircraft");
    EXPECT_EQ(rs->value("regnum").toString(), "N1");
    EXPECT_EQ(rs->value("TOTALTIME").toDouble(), 12.5);
    rs->edit();
    rs->setValue("totaltime", 13.5);
    rs->update();
    EXPECT_EQ(db->openRecordset("Aircraft")->value("TotalTime").toDouble(), 13.5);
    EXPECT_DB_ERROR(rs->value("TotalHours"), err::ItemNotFound);
    EXPECT_DB_ERROR(rs->value(rs->fieldCount()), err::ItemNotFound);
}

TEST_P(Recordsets, NullIsDistinctFromEmptyText) {
    auto rs = db->openRecordset("Aircraft");
    rs->addNew();
    rs->setValue("RegNum", "N1");
    rs->setValue("Make", "");
    rs->update();
    auto again = db->openRecordset("Aircraft");
    EXPECT_FALSE(again->value("Make").isNull());
    EXPECT_EQ(again->value("Make").toString(), "");
    EXPECT_TRUE(again->value("Model").isNull());
    EXPECT_TRUE(again->value("TotalTime").isNull());
    again->edit();
    again->setValue("Make", Value::null());
    again->update();
    EXPECT_TRUE(db->openRecordset("Aircraft")->value("Make").isNull());
}

TEST_P(Recordsets, AddNewWritesTheRowAtOnce) {
    addThreeAircraft();
    auto rs = byReg();
    rs->addNew();
    EXPECT_EQ(rs->editMode(), Recordset::EditMode::AddNew);
    EXPECT_TRUE(rs->value("RegNum").isNull());
    rs->setValue("RegNum", "N4");
    rs->setValue("TotalTime", 400.5);
    rs->update();
    EXPECT_EQ(rs->editMode(), Recordset::EditMode::None);
    EXPECT_EQ(rs->recordCount(), 4);
    // Read back as the file stores it, before and after reopening.
    rs->setBookmark(rs->lastModified());
    EXPECT_EQ(rs->value("RegNum").toString(), "N4");
    auto other = db->openRecordset("select * from [Aircraft] where [RegNum]='N4'");
    ASSERT_EQ(other->recordCount(), 1);
    EXPECT_EQ(other->value("TotalTime").toDouble(), 400.5);
    EXPECT_TRUE(other->value("TotalLandings").isNull());
}

TEST_P(Recordsets, EditChangesOnlyTheCurrentRow) {
    addThreeAircraft();
    auto rs = byReg();
    rs->moveNext();
    rs->edit();
    EXPECT_EQ(rs->value("RegNum").toString(), "N2");
    rs->setValue("TotalTime", 250);
    EXPECT_EQ(rs->value("TotalTime").toDouble(), 250);
    rs->update();
    EXPECT_EQ(rs->value("TotalTime").toDouble(), 250);
    auto check = byReg();
    EXPECT_EQ(check->value("TotalTime").toDouble(), 100);
    check->moveNext();
    EXPECT_EQ(check->value("TotalTime").toDouble(), 250);
    check->moveNext();
    EXPECT_EQ(check->value("TotalTime").toDouble(), 300);
}

TEST_P(Recordsets, CancelUpdateDiscardsTheChanges) {
    addThreeAircraft();
    auto rs = byReg();
    rs->edit();
    rs->setValue("TotalTime", 5);
    rs->cancelUpdate();
    EXPECT_EQ(rs->value("TotalTime").toDouble(), 100);
    rs->addNew();
    rs->setValue("RegNum", "N9");
    rs->cancelUpdate();
    EXPECT_EQ(rs->recordCount(), 3);
    EXPECT_EQ(countRows("Aircraft"), 3);
    EXPECT_EQ(byReg()->value("TotalTime").toDouble(), 100);
}

TEST_P(Recordsets, MovingDiscardsAnUnsavedEdit) {
    addThreeAircraft();
    auto rs = byReg();
    rs->edit();
    rs->setValue("TotalTime", 5);
    rs->moveNext();
    rs->movePrevious();
    EXPECT_EQ(rs->value("TotalTime").toDouble(), 100);
    EXPECT_DB_ERROR(rs->update(), err::UpdateWithoutEdit);
    EXPECT_EQ(byReg()->value("TotalTime").toDouble(), 100);
}

TEST_P(Recordsets, WritingWithoutEditIsAnError) {
    addThreeAircraft();
    auto rs = byReg();
    EXPECT_DB_ERROR(rs->setValue("TotalTime", 1), err::UpdateWithoutEdit);
    EXPECT_DB_ERROR(rs->update(), err::UpdateWithoutEdit);
}

TEST_P(Recordsets, AfterDeleteThereIsNoCurrentRowUntilAMove) {
    addThreeAircraft();
    auto rs = byReg();
    rs->moveNext();
    rs->deleteCurrent();
    EXPECT_DB_ERROR(rs->value("RegNum"), err::NoCurrentRecord);
    EXPECT_DB_ERROR(rs->edit(), err::NoCurrentRecord);
    EXPECT_DB_ERROR(rs->deleteCurrent(), err::NoCurrentRecord);
    EXPECT_EQ(countRows("Aircraft"), 2);
    rs->moveNext();
    EXPECT_EQ(rs->value("RegNum").toString(), "N3");
    rs->movePrevious();
    EXPECT_EQ(rs->value("RegNum").toString(), "N1");
}

TEST_P(Recordsets, MovePreviousAfterDeleteGoesToTheRowBefore) {
    addThreeAircraft();
    auto rs = byReg();
    rs->moveLast();
    rs->deleteCurrent();
    rs->movePrevious();
    EXPECT_EQ(rs->value("RegNum").toString(), "N2");
}

TEST_P(Recordsets, DeletingTheOnlyRowLeavesAnEmptySet) {
    addAircraft(*db, "N1");
    auto rs = db->openRecordset("Aircraft");
    rs->deleteCurrent();
    rs->moveNext();
    EXPECT_TRUE(rs->eof());
    EXPECT_TRUE(rs->bof());
    EXPECT_DB_ERROR(rs->moveFirst(), err::NoCurrentRecord);
    // Then a blank row is started, as the aircraft screen does.
    rs->addNew();
    rs->setValue("RegNum", "N2");
    rs->update();
    EXPECT_EQ(countRows("Aircraft"), 1);
}

TEST_P(Recordsets, DeletingTheLastRowThenMovingNextReachesTheEnd) {
    addThreeAircraft();
    auto rs = byReg();
    rs->moveLast();
    rs->deleteCurrent();
    rs->moveNext();
    EXPECT_TRUE(rs->eof());
    EXPECT_DB_ERROR(rs->value("RegNum"), err::NoCurrentRecord);
}

TEST_P(Recordsets, SavingARowThatWasDeletedMeanwhileIsAnError) {
    addThreeAircraft();
    auto first = byReg();
    auto second = byReg();
    second->deleteCurrent();
    first->edit();
    first->setValue("TotalTime", 1);
    EXPECT_DB_ERROR(first->update(), err::NoCurrentRecord);
    EXPECT_EQ(countRows("Aircraft"), 2);
}

TEST_P(Recordsets, JoinNamesSharedColumnsByTable) {
    addAircraft(*db, "N1", 100);
    addPart(*db, part("n1", 1));
    auto rs = db->openRecordset(
        "SELECT Aircraft.*, Parts.* FROM Aircraft INNER JOIN Parts ON Aircraft.RegNum = "
        "Parts.RegNum");
    ASSERT_EQ(rs->recordCount(), 1);
    const int a = rs->fieldIndex("Aircraft.RegNum");
    const int p = rs->fieldIndex("Parts.RegNum");
    ASSERT_GE(a, 0);
    ASSERT_GE(p, 0);
    EXPECT_NE(a, p);
    EXPECT_EQ(rs->field(a).name, "Aircraft.RegNum");
    EXPECT_EQ(rs->field(p).name, "Parts.RegNum");
    EXPECT_EQ(rs->value("Aircraft.RegNum").toString(), "N1");
    EXPECT_EQ(rs->value("parts.regnum").toString(), "n1");
    EXPECT_EQ(rs->value("ItemNumber").toInt(), 1);
}

TEST_P(Recordsets, JoinCannotBeChanged) {
    addAircraft(*db, "N1", 100);
    addPart(*db, part("N1", 1));
    auto rs = db->openRecordset(
        "SELECT Aircraft.*, Parts.* FROM Aircraft INNER JOIN Parts ON Aircraft.RegNum = "
        "Parts.RegNum");
    EXPECT_FALSE(rs->isUpdatable());
    EXPECT_DB_ERROR(rs->edit(), err::ReadOnly);
    EXPECT_DB_ERROR(rs->addNew(), err::ReadOnly);
    EXPECT_DB_ERROR(rs->deleteCurrent(), err::ReadOnly);
    EXPECT_EQ(countRows("Parts"), 1);
}

TEST_P(Recordsets, SqlOnOneTableIsUpdatable) {
    addThreeAircraft();
    auto rs = db->openRecordset(
        "select [RegNum], [TotalTime] AS Hours from [Aircraft] where "
        "[RegNum] = 'N2'");
    ASSERT_TRUE(rs->isUpdatable());
    rs->edit();
    rs->setValue("Hours", 222);
    rs->update();
    rs->addNew();
    rs->setValue("RegNum", "N5");
    rs->update();
    auto check = db->openRecordset("select [TotalTime] from [Aircraft] where [RegNum] = 'N2'");
    EXPECT_EQ(check->value("TotalTime").toDouble(), 222);
    EXPECT_EQ(countRows("Aircraft"), 4);
}

TEST_P(Recordsets, ComputedColumnsCannotBeWritten) {
    addThreeAircraft();
    auto rs = db->openRecordset("select [RegNum], [TotalTime] * 2 AS Twice from [Aircraft]");
    rs->edit();
    EXPECT_DB_ERROR(rs->setValue("Twice", 5), err::ReadOnly);
}

TEST_P(Recordsets, RequeryReadsOtherWrites) {
    addThreeAircraft();
    auto rs = byReg();
    addAircraft(*db, "N0");
    EXPECT_EQ(rs->recordCount(), 3);
    rs->requery();
    EXPECT_EQ(rs->recordCount(), 4);
    EXPECT_EQ(rs->value("RegNum").toString(), "N0");
}

VELMORA_ON_BOTH_BACK_ENDS(Recordsets);

}  // namespace
