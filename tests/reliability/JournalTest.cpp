// The files keep a rollback journal beside them for each change, never a write-ahead log
// (which needs shared memory that a network share cannot give): a file that comes with one
// is turned back on its first opening for changes.
#include "support/TestFiles.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

using namespace velmora;
using namespace velmora::testing;

namespace {

TEST(Journal, ChangesUseARollbackJournalThatIsGoneAfterTheCommit) {
    TestFolder folder;
    const QString main = folder.createMainFile();
    addAircraft(*data::Database::open(main), "N1");
    const QByteArray bytes = fileBytes(main);
    // Bytes 18 and 19 of the header: 1 for a rollback journal, 2 for a write-ahead log.
    EXPECT_EQ(bytes[18], 1);
    EXPECT_EQ(bytes[19], 1);
    EXPECT_EQ(folderEntries(folder.path()), QStringList{"Timemgr.mdb"});
}

TEST(Journal, FileWithWriteAheadLogIsTurnedBack) {
    TestFolder folder;
    const QString main = folder.createMainFile();
    {
        QFile f(main);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(18);
        f.write(QByteArray("\x02\x02", 2));
    }
    auto db = data::Database::open(main);
    addAircraft(*db, "N1");
    db.reset();
    const QByteArray bytes = fileBytes(main);
    EXPECT_EQ(bytes[18], 1);
    EXPECT_EQ(bytes[19], 1);
    EXPECT_FALSE(QFileInfo::exists(main + "-wal"));
    EXPECT_EQ(data::Database::open(main)->openRecordset("Aircraft")->recordCount(), 1);
}

}  // namespace
