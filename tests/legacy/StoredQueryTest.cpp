// Stored queries of a converted file: one that reads a form's control is left out with the
// reason, its text in the report; the others are kept.
#include "data/Database.h"
#include "data/Recordset.h"
#include "legacy/FileConversion.h"
#include "legacy/MemoryTableSource.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::legacy;
using namespace velmora::testing;

TEST(StoredQuery, AQueryThatReadsAFormIsLeftOutWithItsTextAndTheReason) {
    MemoryTableSource source;
    source.addTable("Parts",
                    {column("ItemNumber", JetType::Long), column("Name", JetType::Text, 20)},
                    {{SourceValue::integer(1), SourceValue::text("Rotor")},
                     {SourceValue::integer(2), SourceValue::text("Blade")}});
    source.addQuery("Blade parts", "SELECT * FROM Parts WHERE Name = 'Blade'");
    source.addQuery("Named parts", "SELECT * FROM Parts WHERE Name IS NOT NULL");
    source.addQuery("Part list", "SELECT ItemNumber, Name FROM Parts");
    const QString formQuery =
        "SELECT * FROM Parts WHERE ItemNumber = [Forms]![frmParts]![ItemNumber]";
    source.addQuery("Chosen part", formQuery);

    TestFolder folder;
    const QString dest = folder.file("parts.mdb");
    const ConversionReport report = convertSource(source, "Parts.mdb", dest, {});
    ASSERT_EQ(report.queries.size(), 4u);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(report.queries[i].keptAs, report.queries[i].name)
            << report.queries[i].reason.toStdString();
    EXPECT_TRUE(report.queries[3].keptAs.isEmpty());
    EXPECT_TRUE(report.queries[3].reason.contains("reads a value from a form"));
    const QString text = report.text();
    EXPECT_TRUE(text.contains("  not kept: Chosen part (it reads a value from a form"));
    EXPECT_TRUE(text.contains("    " + formQuery));

    auto db = data::Database::open(dest);
    auto rs = db->openRecordset("[Blade parts]");
    EXPECT_EQ(rs->recordCount(), 1);
    EXPECT_EQ(rs->value("ItemNumber").toDouble(), 2);
}

TEST(StoredQuery, QueriesAreKeptAfterThoseTheyRead) {
    MemoryTableSource source;
    source.addTable("Parts",
                    {column("ItemNumber", JetType::Long), column("Name", JetType::Text, 20)},
                    {{SourceValue::integer(1), SourceValue::text("Rotor")},
                     {SourceValue::integer(2), SourceValue::text("Blade")}});
    // As the file lists them: each reader before what it reads.
    source.addQuery("q 1 Query", "SELECT Count(*) AS N FROM [q 1]");
    source.addQuery("q 1", "SELECT * FROM [Blade parts] WHERE ItemNumber > 0");
    source.addQuery("Blade parts", "SELECT * FROM Parts WHERE Name = 'Blade'");
    source.addQuery("Loop A", "SELECT * FROM [Loop B]");
    source.addQuery("Loop B", "SELECT * FROM [loop a] INNER JOIN Parts ON 1 = 1");
    source.addQuery("Reads chosen", "SELECT * FROM [Chosen part]");
    source.addQuery("Chosen part",
                    "SELECT * FROM Parts WHERE ItemNumber = [Forms]![frmParts]![ItemNumber]");

    TestFolder folder;
    const QString dest = folder.file("parts.mdb");
    const ConversionReport report = convertSource(source, "Parts.mdb", dest, {});
    ASSERT_EQ(report.queries.size(), 7u);
    // The report lists them as the file does.
    QStringList names, kept;
    for (const QueryReport& q : report.queries) {
        names << q.name;
        if (!q.keptAs.isEmpty())
            kept << q.keptAs;
    }
    EXPECT_EQ(names, QStringList({"q 1 Query", "q 1", "Blade parts", "Loop A", "Loop B",
                                  "Reads chosen", "Chosen part"}));
    EXPECT_EQ(kept, QStringList({"q 1 Query", "q 1", "Blade parts"}));
    for (int i : {3, 4}) {
        EXPECT_TRUE(report.queries[i].reason.startsWith("it reads itself through other queries"))
            << report.queries[i].reason.toStdString();
        EXPECT_TRUE(report.queries[i].reason.contains("Loop A"));
        EXPECT_TRUE(report.queries[i].reason.contains("Loop B"));
    }
    EXPECT_EQ(report.queries[5].reason, "it reads the query Chosen part, which is not kept");

    auto db = data::Database::open(dest);
    auto rs = db->openRecordset("[q 1 Query]");
    EXPECT_EQ(rs->value("N").toDouble(), 1);
}
