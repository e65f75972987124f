// The fleet due list read from the server is the list read from the files.
#include "support/BackEnds.h"
#include "support/TestFiles.h"

#include "data/DataSetMigration.h"
#include "due/DueListSource.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;

namespace {

TEST(DueListOnServer, GivesTheSameListAsTheFiles) {
    TestStore files{BackEnd::File};
    TestStore server{BackEnd::Server};
    VELMORA_SKIP_UNLESS_AVAILABLE(server);
    {
        auto db = data::Database::open(files.createMainFile());
        addAircraft(*db, "N1", 1234.5, 500, 800, 40, 7);
        addAircraft(*db, "n2 ", 90);
        addPart(*db, part("N1", 1).withLife(2000, 100, 1000));
        addPart(*db, part("N1", 2).withMeter(2).withLife(1000, 0, 100));
        addPart(*db, part("N1", 3).withBasis("LD").withLife(1000, 50, 300));
        addPart(*db, part("N1", 4).withBasis("MO").withLife(12, 0, 0).installedOn("2025-01-31"));
        addPart(*db, part("N2", 5).withLife(100, 0, 0));  // listed under "n2 "
        addPart(*db, part("N1", 6).withLife(1000, 0, 0).inactive());
    }
    files.createTemplateFile();
    data::migrateDataSet(files.dataPath(), server.dataPath());

    auto request = [](const QString& dataPath) {
        due::DueListRequest r;
        r.dataPath = dataPath;
        r.today = QDate(2026, 6, 1);
        return r;
    };
    const auto fromFiles = due::loadDueList(request(files.dataPath()));
    const auto fromServer = due::loadDueList(request(server.dataPath()));
    ASSERT_EQ(fromFiles->entries.size(), 5u);
    ASSERT_EQ(fromServer->entries.size(), fromFiles->entries.size());
    for (size_t i = 0; i < fromFiles->entries.size(); ++i) {
        const due::DueEntry& a = fromFiles->entries[i];
        const due::DueEntry& b = fromServer->entries[i];
        EXPECT_EQ(a.itemNumber, b.itemNumber) << i;
        EXPECT_EQ(a.remaining, b.remaining) << i;
        EXPECT_EQ(a.dueDay, b.dueDay) << i;
        EXPECT_EQ(a.level, b.level) << i;
        EXPECT_EQ(a.description, b.description) << i;
    }
}

}  // namespace
