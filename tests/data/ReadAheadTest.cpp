// Reading a record set ahead: what a screen opens afterwards is what it would have read at
// that moment, whatever ran on the session in between, and a server that goes away or a
// table another workstation changed meanwhile costs nothing but the time.
#include "support/BackEnds.h"
#include "support/PgTestServer.h"

#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/Recordset.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;
using data::Database;
using data::Value;

namespace {

const QString kFleet = QStringLiteral("select * from [Aircraft] Order by [RegNum]");

class ReadAhead : public ::testing::TestWithParam<BackEnd> {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        main = store.createMainFile();
        db = Database::open(main);
        for (const char* reg : {"N3", "N1", "N2"})
            db->execute(
                "INSERT INTO Aircraft (RegNum, Owner, TotalTime) VALUES (?1, ?2, ?3)",
                {Value(QString::fromLatin1(reg)), Value(QStringLiteral("Ops")), Value(1200.5)});
    }

    // Each row as text, column by column, with the fields' names first.
    static QStringList shown(data::Recordset& rs) {
        QStringList out;
        QStringList names;
        for (int i = 0; i < rs.fieldCount(); ++i)
            names << rs.field(i).name + (rs.field(i).writable ? "*" : "");
        out << names.join(u',');
        for (rs.moveFirst(); !rs.eof(); rs.moveNext()) {
            QStringList row;
            for (int i = 0; i < rs.fieldCount(); ++i)
                row << rs.value(i).toString();
            out << row.join(u',');
        }
        return out;
    }

    QStringList openedAhead(const QString& source) {
        db->readAhead(source);
        return shown(*db->openRecordset(source));
    }

    TestStore store{GetParam()};
    QString main;
    std::shared_ptr<Database> db;
};

TEST_P(ReadAhead, TheSetOpenedIsTheOneAnOpenReadsAndCanBeChanged) {
    const QStringList plain = shown(*db->openRecordset(kFleet));
    ASSERT_EQ(plain.size(), 4);
    EXPECT_TRUE(plain[1].startsWith("N1,"));
    // The first, second and third run of a query go to the server in different ways.
    for (int run = 0; run < 3; ++run)
        EXPECT_EQ(openedAhead(kFleet), plain) << "run " << run;

    db->readAhead(kFleet);
    auto rs = db->openRecordset(kFleet);
    rs->moveLast();
    rs->edit();
    rs->setValue("Owner", Value(QStringLiteral("Charter")));
    rs->update();
    EXPECT_EQ(shown(*db->openRecordset("SELECT Owner FROM Aircraft WHERE RegNum = 'N3'"))[1],
              "Charter");
}

TEST_P(ReadAhead, WhatRunsOnTheSessionInBetweenIsSeen) {
    db->readAhead(kFleet);
    db->execute("UPDATE Aircraft SET Owner = 'Lease' WHERE RegNum = 'N2'");
    EXPECT_TRUE(shown(*db->openRecordset(kFleet)).join(u'\n').contains("Lease"));

    // Another source asked first: the one read ahead is dropped, and both are right.
    db->readAhead(kFleet);
    EXPECT_EQ(shown(*db->openRecordset("SELECT Count(*) AS N FROM Aircraft"))[1], "3");
    EXPECT_EQ(shown(*db->openRecordset(kFleet)).size(), 4);

    // A transaction begun after the read: its own rows are in the set, and gone with it.
    db->readAhead(kFleet);
    {
        data::Transaction tx(*db);
        db->execute("INSERT INTO Aircraft (RegNum) VALUES ('N0')");
        const QStringList inside = shown(*db->openRecordset(kFleet));
        ASSERT_EQ(inside.size(), 5);
        EXPECT_TRUE(inside[1].startsWith("N0,"));
    }
    EXPECT_EQ(openedAhead(kFleet).size(), 4);
}

TEST_P(ReadAhead, ASourceThatFailsFailsAsItWouldHaveAndTheSessionGoesOn) {
    const QString missing = QStringLiteral("select * from [NoSuchTable]");
    std::optional<data::ErrorNumber> plain;
    try {
        db->openRecordset(missing);
    } catch (const data::DbError& e) {
        plain = e.number();
    }
    ASSERT_TRUE(plain);
    db->readAhead(missing);
    try {
        db->openRecordset(missing);
        ADD_FAILURE() << "the missing table was read";
    } catch (const data::DbError& e) {
        EXPECT_EQ(e.number(), *plain);
    }
    // A read ahead that no one takes before the session goes.
    db->readAhead(kFleet);
    db.reset();
    EXPECT_EQ(shown(*Database::open(main)->openRecordset(kFleet)).size(), 4);
}

TEST_P(ReadAhead, OnlyADataSetAtHandOnAServerIsReadAhead) {
    db.reset();  // no session held: the next open would have to start one
    if (GetParam() == BackEnd::File) {
        EXPECT_EQ(data::readAheadWhereAtHand(main, kFleet), nullptr);
        return;
    }
    // The session just let go waits, idle, for the next open.
    auto held = data::readAheadWhereAtHand(main, kFleet);
    ASSERT_NE(held, nullptr);
    EXPECT_EQ(shown(*Database::open(main)->openRecordset(kFleet)).size(), 4);
    EXPECT_EQ(data::readAheadWhereAtHand(store.location("NoSuchSet"), kFleet), nullptr);
}

VELMORA_ON_BOTH_BACK_ENDS(ReadAhead);

// On the server: a table changed by another workstation since its query was prepared, and a
// server that restarted while the answer was on its way.
class ReadAheadOnServer : public ::testing::Test {
  protected:
    void SetUp() override {
        VELMORA_SKIP_UNLESS_AVAILABLE(store);
        main = store.createMainFile();
        db = Database::open(main);
        db->execute("INSERT INTO Aircraft (RegNum) VALUES ('N1')");
    }

    TestStore store{BackEnd::Server};
    QString main;
    std::shared_ptr<Database> db;
};

TEST_F(ReadAheadOnServer, ATableChangedElsewhereIsReadAsItIsNow) {
    for (int run = 0; run < 3; ++run)  // prepared by now
        db->openRecordset(kFleet);
    auto other =
        Database::open(data::dataFileName(store.otherWorkstationDataPath(), data::files::kMain));
    other->execute("ALTER TABLE Aircraft ADD COLUMN Remark TEXT(20)");
    db->readAhead(kFleet);
    auto rs = db->openRecordset(kFleet);
    EXPECT_GE(rs->fieldIndex("Remark"), 0);
    EXPECT_EQ(rs->value("RegNum").toString(), "N1");
}

TEST_F(ReadAheadOnServer, AServerRestartWhileReadingAheadLosesNothing) {
    db->readAhead(kFleet);
    ASSERT_TRUE(runOnTestServer(store.serverUri(),
                                "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE "
                                "datname = current_database() AND pid <> pg_backend_pid()"));
    auto rs = db->openRecordset(kFleet);
    ASSERT_EQ(rs->recordCount(), 1);
    EXPECT_EQ(rs->value("RegNum").toString(), "N1");
}

}  // namespace
