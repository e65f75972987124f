// ACE calculated fields: the row holds the result Access worked out, after a header of its
// own. The import copies that result in the result's type, or leaves the column out and says
// so; never the stored bytes as text.
#include "data/Database.h"
#include "data/Recordset.h"
#include "legacy/FileConversion.h"
#include "legacy/TargetTables.h"
#include "support/JetFixtures.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace velmora;
using namespace velmora::legacy;
using namespace velmora::testing;

TEST(CalculatedField, StoredResultsAreCopiedInTheirResultsTypes) {
    JET_FIXTURE_OR_SKIP(calc, "more/jackcess_calcFieldTestV2010.accdb");
    TestFolder folder;
    const QString dest = folder.file("calc.mdb");
    const ConversionReport report = convertJetFile(calc, dest, {});
    ASSERT_EQ(report.tables.size(), 1u);
    EXPECT_EQ(report.tables[0].rowsWritten, 4);
    EXPECT_TRUE(report.skipped.empty());
    EXPECT_TRUE(report.tables[0].calculated.contains(
        QStringLiteral("LastFirst ([LastName] & \", \" & [FirstName])")));
    EXPECT_TRUE(report.text().contains(QStringLiteral("calculated fields, copied as")));

    auto db = data::Database::open(dest);
    auto rs = db->openRecordset("SELECT * FROM Table1 ORDER BY ID");
    struct Expected {
        const char* lastFirst;
        int length;
        double monthly, weekly, popularity;
        bool rich;
    };
    // What Access worked out from each row's Salary, names and Popularity.
    const Expected rows[] = {
        {"Wayne, Bruce", 12, 83333.3333, 1000000.0 / 52, 50.325, true},
        {"Simpson, Bart", 13, -0.0833, -1.0 / 52, -36.2222, false},
        {"Doe, John", 9, 0, 0, 0.0123, false},
        {"User, Test", 10, 8.3333, 100.0 / 52, 102030405060.654321, false},
    };
    for (const Expected& e : rows) {
        ASSERT_FALSE(rs->eof());
        SCOPED_TRACE(e.lastFirst);
        EXPECT_EQ(rs->value("LastFirst").toString(), QString::fromUtf8(e.lastFirst));
        EXPECT_EQ(rs->value("AllNames").toString(),
                  QString::fromUtf8(e.lastFirst) + u'=' + QString::fromUtf8(e.lastFirst));
        EXPECT_EQ(rs->value("LastFirstLen").toDouble(), e.length);
        EXPECT_NEAR(rs->value("MonthlySalary").toDouble(), e.monthly, 1e-9);
        EXPECT_NEAR(rs->value("WeeklySalary").toDouble(), e.weekly, 1e-9);
        EXPECT_EQ(rs->value("SalaryTest").toDouble(), rs->value("Salary").toDouble());
        EXPECT_EQ(rs->value("IsRich").toBool(), e.rich);
        EXPECT_TRUE(rs->value("BoolTest").toBool());
        EXPECT_NEAR(rs->value("Popularity").toDouble(), e.popularity, 1e-3);
        EXPECT_NEAR(rs->value("DecimalTest").toDouble(), e.popularity, 1e-3);
        const double salary = rs->value("Salary").toDouble();
        EXPECT_NEAR(rs->value("FloatTest").toDouble() * e.popularity, salary * 0.13,
                    1e-6 * std::abs(salary) + 1e-9);
        rs->moveNext();
    }
}

TEST(CalculatedField, OneWhoseResultTypeIsNotKnownIsLeftOutWithTheReason) {
    SourceColumn c;
    c.name = QStringLiteral("Total");
    c.calculated = true;
    c.expression = QStringLiteral("[A]+[B]");
    QString why;
    EXPECT_TRUE(keptColumnType(c, &why).isEmpty());
    EXPECT_TRUE(why.contains(QStringLiteral("calculated field ([A]+[B])"))) << why.toStdString();
}

TEST(CalculatedField, AResultOfNoBytesIsNullNotDamage) {
    // Row 5 has no date, so the date worked out from it is Null: the file stores a result of
    // no bytes for it.
    JET_FIXTURE_OR_SKIP(ext, "more/jackcess_extDateTestV2019.accdb");
    TestFolder folder;
    const QString dest = folder.file("ext.mdb");
    const ConversionReport report = convertJetFile(ext, dest, {});
    for (const ValueProblem& v : report.valueProblems())
        EXPECT_NE(v.column, QStringLiteral("DateNormalCalc")) << v.reason.toStdString();
    auto db = data::Database::open(dest);
    auto rs = db->openRecordset("SELECT DateNormal, DateNormalCalc FROM Table1 WHERE ID = 5");
    ASSERT_FALSE(rs->eof());
    EXPECT_TRUE(rs->value("DateNormalCalc").isNull());
    rs = db->openRecordset("SELECT DateNormalCalc FROM Table1 WHERE ID = 3");
    EXPECT_TRUE(rs->value("DateNormalCalc").toString().startsWith("2021-06-14 12:45:00"));
}
