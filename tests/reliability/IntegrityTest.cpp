// A data file that fails the check for damage is never opened for changes, however often
// it is asked for, and nothing is written to it.
#include "data/DatabaseCopy.h"
#include "support/FileDamage.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

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

// A process that dies in the middle of a change leaves the file half written and a journal
// beside it that undoes the change. The header may then count pages that are not written
// yet: such a file is whole, and opening it puts it back as it was before the change.
TEST(IntegrityOnOpen, FileLeftMidChangeIsPutBackNotCalledDamaged) {
    TestFolder folder;
    const QString main = folder.createMainFile();
    addManyParts(main, 50);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // Enough rows that the change spills into the file before its commit, then gone.
        auto db = data::Database::open(main);
        db->beginTransaction();
        db->execute(QStringLiteral("CREATE TABLE Scratch (Note TEXT)"));
        for (int i = 0; i < 20000; ++i)
            db->executeBound(QStringLiteral("INSERT INTO Scratch (Note) VALUES (?1)"),
                             {data::Value(QString(200, u'y'))});
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_GT(QFileInfo(main + "-journal").size(), 0) << "the change left no journal behind";
    {
        // The header as a commit writes it before the file has grown to its new length.
        QFile f(main);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(24);
        const QByteArray counter = f.read(4);
        f.seek(28);
        f.write(QByteArray("\x00\xff\xff\xff", 4));
        f.seek(92);
        f.write(counter);
    }
    const data::FileCheck check = data::checkDatabaseFile(main);
    EXPECT_TRUE(check.intact) << check.problems.toStdString();
    auto db = data::Database::open(main);
    EXPECT_FALSE(db->hasTable(QStringLiteral("Scratch")));
    EXPECT_EQ(db->openRecordset(QStringLiteral("Parts"))->recordCount(), 50);
    EXPECT_FALSE(QFileInfo::exists(main + "-journal"));
}

}  // namespace
