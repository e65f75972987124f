// Stored queries of Access files written by other people that the engine now keeps: queries
// read by other queries (kept in the order they need), parameter queries, and names that
// hold signs, brackets or blanks.
#include "data/Database.h"
#include "data/Recordset.h"
#include "legacy/FileConversion.h"
#include "support/JetFixtures.h"
#include "support/TestFiles.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::legacy;
using namespace velmora::testing;

namespace {

struct Converted {
    ConversionReport report;
    std::shared_ptr<data::Database> db;
};

Converted convert(TestFolder& folder, const char* name) {
    Converted c;
    const QString source = jetFixture((QByteArray("more/") + name).constData());
    if (!QFile::exists(source))
        return c;
    const QString dest = folder.file(QString::fromUtf8(name) + ".converted.mdb");
    c.report = convertJetFile(source, dest, {});
    c.db = data::Database::open(dest);
    return c;
}

QString keptAs(const ConversionReport& report, const QString& name) {
    for (const QueryReport& q : report.queries) {
        if (q.name == name)
            return q.keptAs.isEmpty() ? QStringLiteral("not kept: ") + q.reason : q.keptAs;
    }
    return QStringLiteral("missing");
}

TEST(RealFileQueries, QueriesReadingQueriesAreKept) {
    TestFolder folder;
    Converted c = convert(folder, "ucanaccess_badDb.accdb");
    if (!c.db)
        GTEST_SKIP() << "the fixture is not there";
    EXPECT_EQ(keptAs(c.report, "q 1"), "q 1");
    EXPECT_EQ(keptAs(c.report, "q 1 Query"), "q 1 Query");  // it reads "q 1"
    EXPECT_NO_THROW(c.db->openRecordset("[q 1 Query]"));
    c = convert(folder, "vn_accounting_QD48.MDB");
    EXPECT_EQ(keptAs(c.report, "DanhSachVatTu"), "DanhSachVatTu");
    EXPECT_EQ(keptAs(c.report, "VatTuNhap"), "VatTuNhap");
    EXPECT_NO_THROW(c.db->openRecordset("DanhSachVatTu"));
}

TEST(RealFileQueries, ParameterQueriesAndSignsInNamesAreKept) {
    TestFolder folder;
    Converted c = convert(folder, "comptoir_fr.mdb");
    if (!c.db)
        GTEST_SKIP() << "the fixture is not there";
    const QString name = QStringLiteral("Ventes par représentant par pays");
    ASSERT_EQ(keptAs(c.report, name), name);
    const QString text = c.db->queryDefSql(name);
    EXPECT_TRUE(text.startsWith("PARAMETERS [Date début] DateTime, [Date fin] DateTime;"))
        << text.toStdString();
    auto rs = c.db->openRecordset(name, {data::Value("1990-01-01"), data::Value("2030-12-31")});
    EXPECT_GT(rs->recordCount(), 0);

    c = convert(folder, "test 2° còpì.mdb");
    EXPECT_EQ(keptAs(c.report, "query 2° ù"), "query 2° ù");
    EXPECT_TRUE(c.db->queryDefSql("query 2° ù").startsWith("SELECT [Colors 1°à].*"));
    EXPECT_NO_THROW(c.db->openRecordset("[query 2° ù]"));
}

}  // namespace
