// Converting the public Jet test files into Velmora data files, and reading them back
// through the engine. Expected values as mdb-export prints them for the source.
#include "data/JetSqlTranslator.h"
#include "data/Recordset.h"
#include "legacy/FileConversion.h"
#include "support/JetFixtures.h"
#include "support/TestFiles.h"

#include <QCryptographicHash>

#include <gtest/gtest.h>

#include <map>

using namespace velmora;
using namespace velmora::legacy;
using namespace velmora::testing;

TEST(FixtureConversion, Jet3FileBecomesAVelmoraFileWithEveryRow) {
    JET_FIXTURE_OR_SKIP(nwind, "nwind.mdb");
    TestFolder folder;
    const QByteArray before = fileBytes(nwind);
    const QString dest = folder.file("northwind.mdb");
    const ConversionReport report = convertJetFile(nwind, dest, {});
    EXPECT_EQ(fileBytes(nwind), before);

    EXPECT_EQ(report.sourceFormat, "Jet 3");
    EXPECT_EQ(report.fileKind, describeTargetKind(TargetKind::Other));
    const std::map<QString, qint64> counts = {
        {"Order Details", 2155}, {"Orders", 830},   {"Products", 77},
        {"Shippers", 3},         {"Categories", 8}, {"Customers", 91},
        {"Employees", 9},        {"Suppliers", 29}, {QString::fromUtf8("Umsätze"), 830}};
    ASSERT_EQ(report.tables.size(), counts.size());
    auto db = data::Database::open(dest);
    for (const TableReport& t : report.tables) {
        EXPECT_EQ(t.rowsRead, counts.at(t.source)) << t.source.toStdString();
        EXPECT_EQ(t.rowsWritten, counts.at(t.source)) << t.source.toStdString();
        EXPECT_EQ(db->openRecordset(data::quoteJetName(t.source))->recordCount(),
                  counts.at(t.source));
    }
    EXPECT_EQ(report.valueProblemCount(), 0);
    EXPECT_TRUE(report.skipped.empty());

    auto order = db->openRecordset("SELECT * FROM Orders WHERE OrderID = 10331");
    EXPECT_EQ(order->value("OrderDate"), data::Value("1994-11-16"));
    EXPECT_EQ(order->value("Freight"), data::Value(10.19));
    EXPECT_EQ(order->value("ShipName"), data::Value("Bon app'"));
    EXPECT_TRUE(order->value("ShipRegion").isNull());
    auto totals = db->openRecordset(
        "SELECT Sum(Freight) AS freight, Count(ShippedDate) AS shipped FROM Orders");
    EXPECT_NEAR(totals->value("freight").toDouble(), 64942.69, 1e-6);
    EXPECT_EQ(totals->value("shipped"), data::Value(830 - 21));
    auto detail =
        db->openRecordset("SELECT * FROM [Order Details] WHERE OrderID = 10250 AND ProductID = 51");
    EXPECT_EQ(detail->value("Discount"), data::Value(0.15));
    EXPECT_EQ(detail->value("UnitPrice"), data::Value(42.4));
    EXPECT_EQ(db->openRecordset("SELECT * FROM Products WHERE Discontinued = Yes")->recordCount(),
              8);
    auto picture = db->openRecordset("SELECT Picture FROM Categories WHERE CategoryID = 1");
    const data::Value pictureValue = picture->value("Picture");
    const std::string& bytes = pictureValue.utf8();
    EXPECT_EQ(QCryptographicHash::hash(QByteArray(bytes.data(), static_cast<int>(bytes.size())),
                                       QCryptographicHash::Md5)
                  .toHex(),
              "a98253ec45703183b598e5beaf5ac7c6");
    auto customer = db->openRecordset("SELECT * FROM Customers WHERE CustomerID = 'ANTON'");
    EXPECT_EQ(customer->value("CompanyName").toString(),
              QString::fromUtf8("Antonio Moreno Taquería"));
    EXPECT_EQ(db->openRecordset(QString::fromUtf8("[Umsätze]"))->recordCount(), 830);

    // The stored queries the engine can run are kept and give rows.
    QStringList kept;
    for (const QueryReport& q : report.queries) {
        if (!q.keptAs.isEmpty())
            kept << q.keptAs;
    }
    EXPECT_EQ(
        kept,
        QStringList({"Alphabetical List of Products", "Catalog", "Category Sales for 1995",
                     "Current Product List", "Customers and Suppliers by City",
                     "Employee Sales by Country", "Invoices", "Order Details Extended",
                     "Order Subtotals", "Orders Qry", "Product Sales for 1995",
                     "Products Above Average Price", "Products by Category", "Quarterly Orders",
                     "Sales by Category", "Sales Totals by Amount", "Summary of Sales by Quarter",
                     "Summary of Sales by Year", "Ten Most Expensive Products"}));
    // CCur, and queries that read other queries (kept after the ones they read).
    EXPECT_EQ(db->openRecordset("Order Details Extended")->recordCount(), 2155);
    EXPECT_EQ(db->openRecordset("Invoices")->recordCount(), 2155);
    EXPECT_EQ(db->openRecordset("Category Sales for 1995")->recordCount(), 8);
    EXPECT_EQ(db->openRecordset("Current Product List")->recordCount(), 77 - 8);
    EXPECT_EQ(db->openRecordset("Ten Most Expensive Products")->recordCount(), 10);
    EXPECT_EQ(db->openRecordset("Customers and Suppliers by City")->recordCount(), 91 + 29);
    EXPECT_TRUE(report.anythingSkipped());  // the queries it could not keep
}

TEST(FixtureConversion, DatesAtBothEndsOfTheRangeAreStored) {
    JET_FIXTURE_OR_SKIP(file, "DateTestDatabase.mdb");
    TestFolder folder;
    const QString dest = folder.file("dates.mdb");
    const ConversionReport report = convertJetFile(file, dest, {});
    EXPECT_FALSE(report.anythingSkipped()) << report.text().toStdString();
    auto rs = data::Database::open(dest)->openRecordset("SELECT * FROM DateTest ORDER BY IDCol");
    QStringList dates;
    for (rs->moveFirst(); !rs->eof(); rs->moveNext())
        dates << rs->value("DateTimeCol").toString();
    EXPECT_EQ(dates, QStringList({"2021-12-02", "9999-01-01", "1898-01-01", "0632-01-01",
                                  "2021-12-02", "2021-12-02"}));
    rs->moveLast();
    EXPECT_EQ(rs->value("LongTextCol"), data::Value("New line\r\nin field"));
    // The engine compares and counts the dates it stored.
    EXPECT_EQ(data::Database::open(dest)
                  ->openRecordset("SELECT * FROM DateTest WHERE DateCol < #1/1/1000#")
                  ->recordCount(),
              1);
}
