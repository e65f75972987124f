#include "oil/OilSamples.h"
#include "screens/common/AircraftChooser.h"

#include "data/Database.h"
#include "data/Recordset.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using velmora::data::Database;
using velmora::data::Value;
namespace oil = velmora::oil;
namespace tf = velmora::testing;

namespace {

const char* kColumns =
    "select [RegNum],[Component],[DatePerformed],[Iron],[Chromium],[Nickel],[Aluminum],[Lead],"
    "[Copper],[Tin],[Silver],[Titanium],[Silicon],[Boron],[Sodium],[Potassium],[Molybdenum],"
    "[Phosphorus],[Zinc],[Calcium],[Barium],[Magnesium],[Antimony],[Vanadium],[EngineHrs] "
    "from [Oil] where ";

void addSample(Database& db, const QString& reg, const QString& component, const QString& date,
               double iron) {
    auto rs = db.openRecordset(QStringLiteral("Oil"));
    rs->addNew();
    rs->setValue(QStringLiteral("RegNum"), reg);
    rs->setValue(QStringLiteral("Component"), component);
    rs->setValue(QStringLiteral("DatePerformed"), date);
    rs->setValue(QStringLiteral("Iron"), iron);
    rs->update();
}

}  // namespace

TEST(OilQueryTest, SampleListTextForOrdinaryNames) {
    EXPECT_EQ(oil::sampleListQuery("N101", "Main gearbox"),
              QString::fromLatin1(kColumns) +
                  "[RegNum]='N101' and [Component]='Main gearbox' order by [DatePerformed] ");
    EXPECT_EQ(oil::sampleListQuery("N101", "Main gearbox", false),
              QString::fromLatin1(kColumns) + "[RegNum]='N101' and [Component]='Main gearbox'");
}

TEST(OilQueryTest, QuotesInNamesAreDoubled) {
    EXPECT_EQ(oil::sampleListQuery("N'1", "Pilot's gearbox"),
              QString::fromLatin1(kColumns) +
                  "[RegNum]='N''1' and [Component]='Pilot''s gearbox' order by [DatePerformed] ");
    EXPECT_EQ(oil::oilComponentsQuery("N'1"),
              "select [Description] from [Parts] where [RegNum]='N''1' and [OilAnalysis]=-1");
    EXPECT_EQ(velmora::screens::registrationCriterion("N'1"), "RegNum = 'N''1'");
}

TEST(OilQueryTest, QueriesReadTheRightRowsFromAFile) {
    tf::TestFolder folder;
    auto db = Database::open(folder.createMainFile());
    addSample(*db, "N101", "Pilot's gearbox", "2005-03-01", 3);
    addSample(*db, "N101", "Pilot's gearbox", "2005-01-01", 1);
    addSample(*db, "N101", "Engine", "2005-02-01", 2);
    addSample(*db, "N202", "Pilot's gearbox", "2005-02-01", 9);
    auto rs = db->openRecordset(oil::sampleListQuery("N101", "Pilot's gearbox"));
    ASSERT_EQ(rs->recordCount(), 2);
    EXPECT_EQ(rs->fieldCount(), 25);
    EXPECT_EQ(rs->value("Iron"), Value(1.0));  // oldest first
    rs->moveNext();
    EXPECT_EQ(rs->value("Iron"), Value(3.0));

    // Text meant to break out of the literal is only a name that matches nothing.
    auto hostile = db->openRecordset(oil::sampleListQuery("N101", "x' or '1'='1"));
    EXPECT_EQ(hostile->recordCount(), 0);

    tf::addAircraft(*db, "N101");
    tf::addPart(*db, tf::part("N101", 1).describedAs("Pilot's gearbox").withOil());
    tf::addPart(*db, tf::part("N101", 2).describedAs("Starter"));
    auto names = db->openRecordset(oil::oilComponentsQuery("N101"));
    ASSERT_EQ(names->recordCount(), 1);
    EXPECT_EQ(names->value(0), Value("Pilot's gearbox"));
}

TEST(OilQueryTest, ColumnsAndOptionCaptions) {
    EXPECT_EQ(QString::fromLatin1(oil::kSampleColumns[2].caption), "Date Performed");
    EXPECT_EQ(QString::fromLatin1(oil::kSampleColumns[24].caption), "Engine Hrs");
    EXPECT_EQ(QString::fromLatin1(oil::kSampleColumns[24].field), "EngineHrs");
    EXPECT_EQ(QString::fromLatin1(oil::kSampleColumns[17].field), "Phosphorus");
    EXPECT_EQ(QString::fromLatin1(oil::kOptionCaptions[12]), "Potasium");
    EXPECT_EQ(QString::fromLatin1(oil::kOptionCaptions[19]), "Antmony");
    EXPECT_EQ(QString::fromLatin1(oil::kOptionCaptions[21]), "Hours");
    EXPECT_EQ(QString::fromLatin1(oil::kOptionCaptions[22]), "All (x Phos)");
    // Every single-element option names the column it charts, but for those two spellings
    // and the hours.
    for (int i = 0; i < 21; ++i) {
        if (i == 12 || i == 19)
            continue;
        EXPECT_EQ(QString::fromLatin1(oil::kOptionCaptions[static_cast<size_t>(i)]),
                  QString::fromLatin1(oil::kSampleColumns[static_cast<size_t>(i + 3)].caption));
    }
}
