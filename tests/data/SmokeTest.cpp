#include "support/TestFiles.h"

#include "data/Recordset.h"
#include "remaining/RemainingLifeRebuild.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;

TEST(Smoke, RemainingLife) {
    TestFolder folder;
    const QString path = folder.createMainFile();
    auto db = data::Database::open(path);
    addAircraft(*db, "N1", 1234.5, 100, 500, 40, 7);
    addPart(*db, {"N1", 10, 1, true, "RT", 2000, 100, 1000});
    addPart(*db, {"n1", 5, 1, true, "MO", 1, 0, 0, "2005-01-31"});
    addPart(*db, {"N1", 7, 2, true, "CY", 100, 0, 10});
    auto r = remaining::rebuildRemainingLife(folder.dataPath(), " N1 ", remaining::MeterView::Both);
    ASSERT_TRUE(r.failures.isEmpty()) << r.failures.join("\n").toStdString();
    ASSERT_TRUE(r.rows);
    auto& rs = *r.rows;
    for (int i = 0; i < rs.fieldCount(); ++i)
        std::printf("%s ", rs.field(i).name.toUtf8().constData());
    std::printf("\n");
    EXPECT_EQ(rs.recordCount(), 3);
    EXPECT_EQ(rs.value("ItemNumber").toInt(), 5);
    EXPECT_EQ(rs.value("MTHStoRT").toString(), "02/28/05");
    rs.moveNext();
    EXPECT_EQ(rs.value("CYCtoRET").toDouble(), 100 - 0 - (40 - 10));
    rs.moveNext();
    EXPECT_DOUBLE_EQ(rs.value("TTtoRET").toDouble(), 2000 - 100 - (1234.5 - 1000));
    EXPECT_TRUE(rs.value("TTtoOH").isNull());
    EXPECT_EQ(rs.value("MTHStoRT").toString(), " ");
    EXPECT_FALSE(db->hasQueryDef("Query1"));
}
