// Reading a record set ahead: what a screen opens afterwards is what it would have read at
// that moment, whatever ran on the session in between or elsewhere since it last read it,
// and a server that goes away or a table another workstation changed meanwhile costs
// nothing but the time.
#include "support/BackEnds.h"
#include "support/PgTestServer.h"

#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/Recordset.h"

#include <QElapsedTimer>
#include <QThread>

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
        for (rs.recordCount() > 0 ? rs.moveFirst() : void(); !rs.eof(); rs.moveNext()) {
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

TEST_P(ReadAhead, ASourceReadAgainHasEveryChangeMadeSince) {
    const auto owners = [&] {
        QStringList out;
        for (const QString& row : openedAhead(kFleet).mid(1))
            out << row.section(u',', 0, 0) + u'=' + row.section(u',', 7, 7);  // RegNum and Owner
        return out.join(u' ');
    };
    ASSERT_EQ(shown(*db->openRecordset(kFleet)).first().section(u',', 7, 7), "Owner*");
    for (int run = 0; run < 3; ++run)
        EXPECT_EQ(owners(), "N1=Ops N2=Ops N3=Ops") << "run " << run;

    // Another workstation's change.
    auto other =
        Database::open(data::dataFileName(store.otherWorkstationDataPath(), data::files::kMain));
    other->execute("UPDATE Aircraft SET Owner = 'Lease' WHERE RegNum = 'N2'");
    EXPECT_EQ(owners(), "N1=Ops N2=Lease N3=Ops");
    EXPECT_EQ(owners(), "N1=Ops N2=Lease N3=Ops");

    // This session's own, through the set handed out, and by statement.
    db->readAhead(kFleet);
    auto rs = db->openRecordset(kFleet);
    rs->moveFirst();
    rs->edit();
    rs->setValue("Owner", Value(QStringLiteral("Charter")));
    rs->update();
    EXPECT_EQ(owners(), "N1=Charter N2=Lease N3=Ops");
    db->execute("DELETE FROM Aircraft WHERE RegNum = 'N3'");
    EXPECT_EQ(owners(), "N1=Charter N2=Lease");

    // A change not yet committed is seen by its own transaction only, and gone with it.
    {
        data::Transaction tx(*db);
        db->execute("INSERT INTO Aircraft (RegNum, Owner) VALUES ('N0', 'Trial')");
        EXPECT_EQ(owners(), "N0=Trial N1=Charter N2=Lease");
    }
    EXPECT_EQ(owners(), "N1=Charter N2=Lease");
}

TEST_P(ReadAhead, ASourceThatDependsOnTheTimeIsReadAfresh) {
    // These rows depend on the time as well as on the table's rows: read again and again,
    // each changes within a second or two (Now() counts whole seconds).
    db->createQueryDef("FleetNow", "SELECT *, Now() AS Seen FROM Aircraft");
    db->createQueryDef("EvenSeconds",
                       "SELECT * FROM Aircraft WHERE DateDiff('s', #1/1/2000#, Now()) Mod 2 = 0");
    const QStringList sources = {
        QStringLiteral("select * from [FleetNow] order by [RegNum]"),
        QStringLiteral("select * from [EvenSeconds] order by [RegNum]"),
        QStringLiteral("select * from [Aircraft] where DateDiff('s', #1/1/2000#, Now()) Mod 2 "
                       "= 0 order by [RegNum]"),
    };
    const auto read = [&] {
        QList<QStringList> sets;
        for (const QString& source : sources)
            sets << openedAhead(source);
        return sets;
    };
    const QList<QStringList> first = read();
    QList<bool> changed(sources.size(), false);
    QElapsedTimer waited;
    waited.start();
    while (changed.contains(false) && waited.elapsed() < 3000) {
        QThread::msleep(20);
        const QList<QStringList> now = read();
        for (qsizetype i = 0; i < sources.size(); ++i)
            changed[i] = changed[i] || now[i] != first[i];
    }
    for (qsizetype i = 0; i < sources.size(); ++i)
        EXPECT_TRUE(changed[i]) << sources[i].toStdString();
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

TEST_F(ReadAheadOnServer, AChangeOfAnotherWorkstationIsSeenOnceItIsCommitted) {
    const auto owner = [&] {
        db->readAhead(kFleet);
        return db->openRecordset(kFleet)->value("Owner").toString();
    };
    for (int run = 0; run < 3; ++run)
        EXPECT_EQ(owner(), "");
    auto other =
        Database::open(data::dataFileName(store.otherWorkstationDataPath(), data::files::kMain));
    data::Transaction tx(*other);
    other->execute("UPDATE Aircraft SET Owner = 'Lease' WHERE RegNum = 'N1'");
    EXPECT_EQ(owner(), "");
    EXPECT_EQ(owner(), "");
    tx.commit();
    EXPECT_EQ(owner(), "Lease");
}

TEST_F(ReadAheadOnServer, AViewIsReadAfresh) {
    // A view's rows are made by its query at each read: here they carry the time of day.
    ASSERT_TRUE(runOnTestServer(store.serverUri(),
                                "CREATE VIEW timemgr.fleetnow AS SELECT *, "
                                "clock_timestamp()::text AS seen FROM timemgr.aircraft"));
    const QString source = QStringLiteral("select * from [FleetNow] order by [RegNum]");
    QStringList seen;
    for (int run = 0; run < 4; ++run) {
        db->readAhead(source);
        auto rs = db->openRecordset(source);
        ASSERT_EQ(rs->recordCount(), 1);
        seen << rs->value("seen").toString();
        QThread::msleep(2);
    }
    seen.removeDuplicates();
    EXPECT_EQ(seen.size(), 4);
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
