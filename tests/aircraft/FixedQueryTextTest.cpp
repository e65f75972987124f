// The two texts of the aircraft screen that carry a value inside them, word for word: the
// component grid's record source and the template library's read of one model.
#include "aircraft/ComponentListQuery.h"
#include "aircraft/TemplateLibrary.h"

#include <gtest/gtest.h>

namespace aircraft = velmora::aircraft;

namespace {

const char* kComponentHead =
    "select [RegNum],[ItemNumber],[MeterNumber],[Assembly],[Active],[PartNumber],[Serial#],"
    "[Description],[DatePurchased],[Manufacturer],[Inspection],[ReplaceCost],"
    "[ReservePerHour],[LifeNumber],[LifeBasis],[InstallDate],[InstallTimeLeft],"
    "[InstallACHour],[Notes],[OilAnalysis] from [Parts] where [RegNum]=";

const char* kTemplateColumns =
    " [ItemNumber],[Model],[Year],[Manufacturer],[Description],[TBO],[PartNum],[Assembly],"
    "[Basis],[Cost] from ";

}  // namespace

TEST(FixedQueryTextTest, ComponentListTextPerChoiceWithQuotesDoubled) {
    using aircraft::OrderBy;
    using aircraft::ShowRecords;
    const QString head = QString::fromLatin1(kComponentHead);
    EXPECT_EQ(aircraft::componentListSql("N1", ShowRecords::Installed, OrderBy::ItemNumber),
              head + "'N1' and  [Active] = Yes Order by [ItemNumber]");
    EXPECT_EQ(aircraft::componentListSql("N'1", ShowRecords::NotInstalled, OrderBy::Assembly),
              head + "'N''1' and  [Active] = No Order by [Assembly]");
    EXPECT_EQ(aircraft::componentListSql("", ShowRecords::All, OrderBy::Inspection),
              head + "''  Order by [Inspection]");
}

TEST(FixedQueryTextTest, TemplateReadTextWithTheModelQuoted) {
    const QString columns = QString::fromLatin1(kTemplateColumns);
    EXPECT_EQ(aircraft::templateReadSql("Bell", "206B", false),
              "select" + columns + "[Bell] where [Model]='206B'");
    EXPECT_EQ(aircraft::templateReadSql("Piper", "PA-28 'Cherokee'", true),
              "Select" + columns + "[Piper] where [Model]='PA-28 ''Cherokee'''");
}
