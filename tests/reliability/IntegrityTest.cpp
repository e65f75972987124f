// A data file that fails the check for damage is never opened for changes, however often
// it is asked for, and nothing is written to it.
#include "data/DatabaseCopy.h"
#include "support/FileDamage.h"
#include "support/TestFiles.h"

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;

namespace {

TEST(IntegrityOnOpen, DamagedFileIsRefusedEveryTimeAndNeverWritten) {
    TestFolder folder;
    const QString main = folder.createMainFile();
    addManyParts(main, 300);
    damageLastPage(main);
    const QByteArray damaged = fileBytes(main);
    for (int attempt = 0; attempt < 3; ++attempt) {
        const auto e = dbErrorOf([&] { data::Database::open(main); });
        ASSERT_TRUE(e.has_value()) << "attempt " << attempt;
        EXPECT_EQ(e->number(), data::err::NotADatabase);
        EXPECT_TRUE(e->text().contains(main + " is damaged")) << e->text().toStdString();
    }
    EXPECT_FALSE(data::checkDatabaseFile(main).intact);
    EXPECT_DB_ERROR(data::Database::open(main), data::err::NotADatabase);
    EXPECT_EQ(fileBytes(main), damaged);
    EXPECT_EQ(folderEntries(folder.path()), QStringList{"Timemgr.mdb"});
}

}  // namespace
