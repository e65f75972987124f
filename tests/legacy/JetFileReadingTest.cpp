// Reading the public Jet test files. The expected values were taken once with mdb-export
// (mdbtools) and written here; where mdb-export's own date text is wrong (before 1900 and in
// year 9999 it prints "01/00/00"), the dates are those of the OLE date numbers found in the
// file's bytes (-728 is 1898-01-01, 2958101 is 9999-01-01).
#include "legacy/MdbTableSource.h"
#include "support/JetFixtures.h"
#include "support/TestFiles.h"

#include <QCryptographicHash>

#include <gtest/gtest.h>

#include <map>

using namespace velmora::legacy;
using Kind = SourceValue::Kind;

namespace {

std::vector<std::vector<SourceValue>> readAll(TableSource& source, const QString& table) {
    std::vector<std::vector<SourceValue>> rows;
    auto cursor = source.rows(table);
    std::vector<SourceValue> row;
    while (cursor->next(&row))
        rows.push_back(row);
    EXPECT_EQ(cursor->unreadableRows(), 0);
    return rows;
}

const SourceTable& tableNamed(const std::vector<SourceTable>& tables, const QString& name) {
    for (const SourceTable& t : tables) {
        if (t.name == name)
            return t;
    }
    throw std::runtime_error("no table " + name.toStdString());
}

int columnIndex(const SourceTable& t, const QString& name) {
    for (size_t i = 0; i < t.columns.size(); ++i) {
        if (t.columns[i].name == name)
            return static_cast<int>(i);
    }
    return -1;
}

QString md5(const QByteArray& bytes) {
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex());
}

}  // namespace

TEST(JetFileReading, Jet3TablesRowsAndValuesAreThoseMdbExportPrints) {
    JET_FIXTURE_OR_SKIP(file, "nwind.mdb");
    auto source = MdbTableSource::open(file);
    EXPECT_EQ(source->formatName(), "Jet 3");

    // mdb-count for each table.
    const std::map<QString, qint64> counts = {
        {"Order Details", 2155}, {"Orders", 830},   {"Products", 77},
        {"Shippers", 3},         {"Categories", 8}, {"Customers", 91},
        {"Employees", 9},        {"Suppliers", 29}, {QString::fromUtf8("Umsätze"), 830}};
    const std::vector<SourceTable> tables = source->tables();
    ASSERT_EQ(tables.size(), counts.size());
    for (const SourceTable& t : tables) {
        ASSERT_TRUE(counts.count(t.name)) << t.name.toStdString();
        EXPECT_EQ(t.rowCount, counts.at(t.name)) << t.name.toStdString();
        EXPECT_EQ(static_cast<qint64>(readAll(*source, t.name).size()), counts.at(t.name))
            << t.name.toStdString();
    }

    // 10330,"LILAS",3,"11/16/94 00:00:00","12/14/94 00:00:00","11/28/94 00:00:00",1,12.7500,
    // "LILA-Supermercado","Carrera 52 con Ave. Bolívar #65-98 Llano Largo","Barquisimeto",...
    const SourceTable& orders = tableNamed(tables, "Orders");
    EXPECT_EQ(orders.columns[0].type, JetType::Long);
    EXPECT_TRUE(orders.columns[0].autoNumber);
    EXPECT_EQ(orders.columns[1].type, JetType::Text);
    EXPECT_EQ(orders.columns[1].length, 5);
    EXPECT_EQ(orders.columns[3].type, JetType::DateTime);
    EXPECT_EQ(orders.columns[7].type, JetType::Currency);
    const auto orderRows = readAll(*source, "Orders");
    const auto& first = orderRows[0];
    EXPECT_EQ(first[0], SourceValue::integer(10330));
    EXPECT_EQ(first[1], SourceValue::text("LILAS"));
    EXPECT_EQ(first[3].exactText(), "1994-11-16 00:00:00");
    EXPECT_EQ(first[5].exactText(), "1994-11-28 00:00:00");
    EXPECT_EQ(first[7], SourceValue::currency(127500));
    EXPECT_EQ(first[9].text(), QString::fromUtf8("Carrera 52 con Ave. Bolívar #65-98 Llano Largo"));
    // 10331,"BONAP",...,"Bon app'","12, rue des Bouchers","Marseille",,"13008","France"
    EXPECT_EQ(orderRows[1][8].text(), "Bon app'");
    EXPECT_TRUE(orderRows[1][11].isNull());
    EXPECT_EQ(orderRows[2][10].text(), QString::fromUtf8("Montréal"));
    // Over all rows: Freight adds up to 64942.6900; 507 Null regions, 21 orders not shipped.
    qint64 freight = 0, nullRegions = 0, notShipped = 0;
    for (const auto& r : orderRows) {
        freight += r[7].currencyUnits();
        nullRegions += r[11].isNull();
        notShipped += r[5].isNull();
    }
    EXPECT_EQ(currencyText(freight), "64942.6900");
    EXPECT_EQ(nullRegions, 507);
    EXPECT_EQ(notShipped, 21);

    // Order Details: UnitPrice adds up to 56500.9100, Quantity to 51317; 838 rows have a
    // discount; 10250,51,42.4000,35,0.15000001 (mdb-export prints the single's nine digits).
    const auto details = readAll(*source, "Order Details");
    qint64 prices = 0, quantities = 0, discounted = 0;
    for (const auto& r : details) {
        prices += r[2].currencyUnits();
        quantities += r[3].integerValue();
        discounted += r[4].singleValue() != 0.0f;
    }
    EXPECT_EQ(currencyText(prices), "56500.9100");
    EXPECT_EQ(quantities, 51317);
    EXPECT_EQ(discounted, 838);
    bool found = false;
    for (const auto& r : details) {
        if (r[0].integerValue() == 10250 && r[1].integerValue() == 51) {
            found = true;
            EXPECT_EQ(r[2], SourceValue::currency(424000));
            EXPECT_EQ(r[4].singleValue(), 0.15f);
            EXPECT_EQ(r[4].exactText(), "0.15");
        }
    }
    EXPECT_TRUE(found);

    // Products: 8 discontinued; 5,"Chef Anton's Gumbo Mix",2,2,"36 boxes",21.3500,0,0,0,1
    const auto products = readAll(*source, "Products");
    int discontinued = 0;
    for (const auto& r : products)
        discontinued += r[9].isYes();
    EXPECT_EQ(discontinued, 8);
    EXPECT_EQ(products[4][1].text(), "Chef Anton's Gumbo Mix");
    EXPECT_EQ(products[4][9], SourceValue::yesNo(true));
    EXPECT_EQ(products[0][9], SourceValue::yesNo(false));

    // OLE pictures: the bytes mdb-export -b hex gives for category 1.
    const auto categories = readAll(*source, "Categories");
    EXPECT_EQ(categories[0][3].kind(), Kind::Binary);
    EXPECT_EQ(categories[0][3].bytes().size(), 10746);
    EXPECT_EQ(md5(categories[0][3].bytes()), "a98253ec45703183b598e5beaf5ac7c6");
    EXPECT_EQ(md5(categories[1][3].bytes()), "0fbb4728f60aeaf01293943a035dfab9");

    // Text with a line break, a memo with quotes, a date before 1970.
    const auto employees = readAll(*source, "Employees");
    const SourceTable& emp = tableNamed(tables, "Employees");
    EXPECT_EQ(employees[0][columnIndex(emp, "Address")].text(), "507 - 20th Ave. E.\r\nApt. 2A");
    EXPECT_EQ(employees[0][columnIndex(emp, "Notes")].text(),
              "Education includes a BA in psychology from Colorado State University in 1970.  "
              "She also completed \"The Art of the Cold Call.\"  Nancy is a member of "
              "Toastmasters International.");
    EXPECT_EQ(employees[0][columnIndex(emp, "BirthDate")].exactText(), "1948-12-08 00:00:00");
    EXPECT_EQ(md5(employees[0][columnIndex(emp, "Photo")].bytes()),
              "bfc7175746f175a1a18de18840986ba2");

    const auto customers = readAll(*source, "Customers");
    EXPECT_EQ(customers[2][1].text(), QString::fromUtf8("Antonio Moreno Taquería"));
    EXPECT_EQ(customers[4][5].text(), QString::fromUtf8("Luleå"));
}

TEST(JetFileReading, Jet4DatesAreReadOverTheWholeRange) {
    JET_FIXTURE_OR_SKIP(file, "DateTestDatabase.mdb");
    auto source = MdbTableSource::open(file);
    EXPECT_EQ(source->formatName(), "Jet 4");
    const auto rows = readAll(*source, "DateTest");
    ASSERT_EQ(rows.size(), 6u);
    auto dates = [&](size_t r) {
        return QStringList{rows[r][1].exactText(), rows[r][2].exactText(), rows[r][3].exactText()};
    };
    EXPECT_EQ(dates(0),
              QStringList({"2021-12-02 00:00:00", "2021-12-02 00:00:00", "2021-12-02 00:00:00"}));
    EXPECT_EQ(dates(1),
              QStringList({"9999-01-01 00:00:00", "9999-01-01 00:00:00", "9999-01-01 00:00:00"}));
    EXPECT_EQ(dates(2),
              QStringList({"1898-01-01 00:00:00", "1899-01-01 00:00:00", "1900-01-01 00:00:00"}));
    EXPECT_EQ(dates(3),
              QStringList({"0632-01-01 00:00:00", "0633-01-01 00:00:00", "0634-01-01 00:00:00"}));
    EXPECT_EQ(rows[2][1].oleDate(), -728.0);
    EXPECT_EQ(rows[1][1].oleDate(), 2958101.0);
    // Unicode text, compressed, in a memo and a text column.
    EXPECT_EQ(rows[1][4].text(), "Year 9999");
    EXPECT_EQ(rows[1][5].text(), "Year 1999");
    EXPECT_EQ(rows[4][4].text(), "Escaped new line \\r\\n in field");
    EXPECT_EQ(rows[5][4].text(), "New line\r\nin field");
    EXPECT_EQ(rows[5][5].text(), "No new line");
}

TEST(JetFileReading, AceFileIsRead) {
    JET_FIXTURE_OR_SKIP(file, "ASampleDatabase.accdb");
    auto source = MdbTableSource::open(file);
    EXPECT_EQ(source->formatName(), "ACE 12");
    const auto tables = source->tables();
    ASSERT_EQ(tables.size(), 1u);
    EXPECT_EQ(tables[0].name, "Asset Items");
    EXPECT_EQ(tables[0].columns[12].type, JetType::Memo);
    const auto rows = readAll(*source, "Asset Items");
    ASSERT_EQ(rows.size(), 65u);
    // "30050","Computer Hardware","GEO Rocket","220ZX","Computer","Sales","344-667",
    // "09/02/97 00:00:00",1995.5000,12,"A","44577",
    EXPECT_EQ(rows[0][0].text(), "30050");
    EXPECT_EQ(rows[0][7].exactText(), "1997-09-02 00:00:00");
    EXPECT_EQ(rows[0][8].exactText(), "1995.5000");
    EXPECT_EQ(rows[0][9], SourceValue::integer(12));
    EXPECT_TRUE(rows[0][12].isNull());
    // "30118","Office Furniture",...,"10/27/99 00:00:00",3425.5000,0,,,
    EXPECT_EQ(rows[64][0].text(), "30118");
    EXPECT_EQ(rows[64][7].exactText(), "1999-10-27 00:00:00");
    EXPECT_EQ(rows[64][8].exactText(), "3425.5000");
    EXPECT_TRUE(rows[64][10].isNull());
    qint64 cost = 0;
    for (const auto& r : rows)
        cost += r[8].currencyUnits();
    EXPECT_EQ(currencyText(cost), "98164.5000");
}

TEST(JetFileReading, StoredQueriesAreRebuiltAsJetSql) {
    JET_FIXTURE_OR_SKIP(file, "nwind.mdb");
    auto source = MdbTableSource::open(file);
    std::map<QString, SourceQuery> byName;
    for (const SourceQuery& q : source->queries())
        byName[q.name] = q;
    EXPECT_EQ(byName.size(), 22u);  // mdb-queries -1 lists 22
    EXPECT_EQ(byName["Current Product List"].sql,
              "SELECT [Product List].ProductID, [Product List].ProductName\n"
              "FROM [Products] AS [Product List]\n"
              "WHERE ((([Product List].Discontinued)=No))\n"
              "ORDER BY [Product List].ProductName");
    EXPECT_EQ(byName["Ten Most Expensive Products"].sql,
              "SELECT DISTINCTROW TOP 10 Products.ProductName AS [TenMostExpensiveProducts], "
              "Products.UnitPrice\nFROM [Products]\nORDER BY Products.UnitPrice DESC");
    // Joins nest as Jet writes them; parameters come first.
    EXPECT_EQ(byName["Employee Sales by Country"].sql,
              "PARAMETERS [Beginning Date] DateTime, [Ending Date] DateTime;\n"
              "SELECT DISTINCTROW Employees.Country, Employees.LastName, Employees.FirstName, "
              "Orders.ShippedDate, Orders.OrderID, [Order Subtotals].Subtotal AS [SaleAmount]\n"
              "FROM [Employees] INNER JOIN ([Orders] INNER JOIN [Order Subtotals] ON "
              "Orders.OrderID = [Order Subtotals].OrderID) ON Employees.EmployeeID = "
              "Orders.EmployeeID\n"
              "WHERE (((Orders.ShippedDate) Between [Beginning Date] And [Ending Date]))");
    EXPECT_EQ(byName["Quarterly Orders"].sql.section('\n', 1, 1),
              "FROM [Customers] RIGHT JOIN [Orders] ON Customers.CustomerID = Orders.CustomerID");
    EXPECT_TRUE(byName["Customers and Suppliers by City"].sql.contains("\nUNION\nSELECT"));
    EXPECT_TRUE(byName["Quarterly Orders by Product"].sql.isEmpty());
    EXPECT_EQ(byName["Quarterly Orders by Product"].problem,
              "a crosstab query, which is not carried over");

    JET_FIXTURE_OR_SKIP(ace, "ASampleDatabase.accdb");
    auto aceSource = MdbTableSource::open(ace);
    std::map<QString, SourceQuery> aceQueries;
    for (const SourceQuery& q : aceSource->queries())
        aceQueries[q.name] = q;
    EXPECT_EQ(aceQueries["qryCostsSummedByOwner"].sql,
              "SELECT [Asset Items].[Owner], [Asset Items].[Asset Category], "
              "Sum([Asset Items].[Cost]) AS [SumOfCost]\nFROM [Asset Items]\n"
              "GROUP BY [Asset Items].[Owner], [Asset Items].[Asset Category]");
    EXPECT_EQ(aceQueries["~sq_ffrmAssetInventory"].problem,
              "it belongs to a form or report of the file");
}
