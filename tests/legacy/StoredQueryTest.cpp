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
