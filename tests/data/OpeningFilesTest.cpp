// Opening database files: names found without regard to letter case, and every file that
// cannot be used refused with a numbered error, without creating or changing anything.
#include "support/TestFiles.h"

#include "data/DataFiles.h"
#include "data/Schema.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <atomic>
#include <chrono>
#include <thread>

using namespace velmora;
using namespace velmora::testing;
using data::Database;
namespace err = data::err;

namespace {

class OpeningFiles : public ::testing::Test {
  protected:
    // A main data file with one aircraft and one component, closed again.
    QString mainFileWithRows() {
        const QString path = folder.createMainFile();
        auto db = Database::open(path);
        addAircraft(*db, "N1", 100);
        addPart(*db, part("N1", 1));
        return path;
    }

    // Writes the bytes as the main data file, opens it and expects the error; the file
    // must be left exactly as it was and nothing created beside it.
    void expectRefused(const QByteArray& bytes, data::ErrorNumber number,
                       const QString& textPart = {}) {
        const QString path = folder.writeFile(data::files::kMain, bytes);
        const QStringList before = folderEntries(folder.path());
        const auto e = dbErrorOf([&] { Database::open(path); });
        ASSERT_TRUE(e.has_value());
        EXPECT_EQ(e->number(), number) << e->text().toStdString();
        EXPECT_TRUE(e->text().contains(path)) << e->text().toStdString();
        if (!textPart.isEmpty()) {
            EXPECT_TRUE(e->text().contains(textPart, Qt::CaseInsensitive))
                << e->text().toStdString();
        }
        EXPECT_EQ(fileBytes(path), bytes);
        EXPECT_EQ(folderEntries(folder.path()), before);
    }

    TestFolder folder;
};

TEST_F(OpeningFiles, MissingFileIsReportedAndNotCreated) {
    const QString path = folder.file(data::files::kMain);
    const auto e = dbErrorOf([&] { Database::open(path); });
    ASSERT_TRUE(e.has_value());
    EXPECT_EQ(e->number(), err::FileNotFound);
    EXPECT_TRUE(e->text().contains(path)) << e->text().toStdString();
    EXPECT_TRUE(folderEntries(folder.path()).isEmpty());
    EXPECT_DB_ERROR(Database::open(QString()), err::FileNotFound);
}

TEST_F(OpeningFiles, FileInMissingFolderIsReportedAndFolderNotCreated) {
    const QString path = folder.file(QStringLiteral("Data/Timemgr.mdb"));
    EXPECT_DB_ERROR(Database::open(path), err::FileNotFound);
    EXPECT_TRUE(folderEntries(folder.path()).isEmpty());
}

TEST_F(OpeningFiles, FileNameMatchesWithoutRegardToCase) {
    const QString real = mainFileWithRows();
    auto db = Database::open(folder.file(QStringLiteral("TIMEMGR.MDB")));
    EXPECT_EQ(db->path(), real);
    EXPECT_EQ(db->openRecordset("Aircraft")->recordCount(), 1);
    EXPECT_EQ(folderEntries(folder.path()), QStringList{data::files::kMain});
}

TEST_F(OpeningFiles, FolderNamesMatchWithoutRegardToCase) {
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("FleetData")));
    const QString real = folder.file(QStringLiteral("FleetData/HeliPart.mdb"));
    data::schema::createTemplateFile(real);
    // The data path as the company record stores it: ending with a separator.
    const QString dataPath = folder.file(QStringLiteral("fleetdata/"));
    auto db = Database::open(data::dataFileName(dataPath, QStringLiteral("helipart.MDB")));
    EXPECT_EQ(db->path(), real);
    EXPECT_TRUE(db->hasTable(QStringLiteral("Aircraft")));
}

TEST_F(OpeningFiles, EmptyFileIsRefused) {
    expectRefused({}, err::NotADatabase, "empty");
}

TEST_F(OpeningFiles, FileCutShortIsRefusedUnchanged) {
    const QByteArray whole = fileBytes(mainFileWithRows());
    ASSERT_GT(whole.size(), 3 * 4096);
    QFile::remove(folder.file(data::files::kMain));
    expectRefused(whole.left(2 * 4096), err::NotADatabase);
}

TEST_F(OpeningFiles, HeaderFragmentIsRefusedUnchanged) {
    const QByteArray whole = fileBytes(mainFileWithRows());
    QFile::remove(folder.file(data::files::kMain));
    expectRefused(whole.left(60), err::NotADatabase);
}

TEST_F(OpeningFiles, ForeignFilesAreRefusedUnchanged) {
    QByteArray noise(5000, '\0');
    for (int i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<char>((i * 131 + 7) % 251);
    expectRefused(noise, err::NotADatabase);
    expectRefused("RegNum,TotalTime\nN1,100\n", err::NotADatabase);
}

TEST_F(OpeningFiles, AccessFilesAreRecognisedAndLeftUnchanged) {
    expectRefused(jetFileHeader(), err::JetFile, "Access");
    expectRefused(jetFileHeader("Standard ACE DB"), err::JetFile, "Access");
}

TEST_F(OpeningFiles, FolderInPlaceOfFileIsRefused) {
    ASSERT_TRUE(QDir(folder.path()).mkdir(data::files::kMain));
    const auto e = dbErrorOf([&] { Database::open(folder.file(data::files::kMain)); });
    ASSERT_TRUE(e.has_value());
    EXPECT_NE(e->code(), 0);
    EXPECT_TRUE(e->text().contains(folder.file(data::files::kMain))) << e->text().toStdString();
}

// A pipe at a data file's path is refused at once. Were it opened for reading, the open
// would wait for a writer: the helper here plays one for a few seconds, so that the test
// ends either way.
TEST_F(OpeningFiles, PipeInPlaceOfFileIsRefusedWithoutWaiting) {
    const QString path = folder.file(data::files::kMain);
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
    std::atomic<bool> done{false};
    std::thread writer([&] {
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(3);
        while (!done && std::chrono::steady_clock::now() < until) {
            const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0) {
                const QByteArray noise(200, 'x');
                [[maybe_unused]] const auto written = ::write(fd, noise.constData(), 200);
                ::close(fd);
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    });
    const auto e = dbErrorOf([&] { Database::open(path); });
    done = true;
    writer.join();
    ASSERT_TRUE(e.has_value());
    EXPECT_EQ(e->number(), err::InvalidPath) << e->text().toStdString();
    EXPECT_TRUE(e->text().contains(path)) << e->text().toStdString();
    EXPECT_TRUE(e->text().contains("not a regular file")) << e->text().toStdString();
}

// Damage in the pages of a table is found when the file is first opened for changes, with a
// clear message, before anything is written to it; reading the list of tables still works.
TEST_F(OpeningFiles, DamagedPagesAreFoundBeforeTheFirstChange) {
    const QString path = folder.createMainFile();
    {
        auto db = Database::open(path);
        data::Transaction tx(*db);
        for (int i = 0; i < 300; ++i)
            db->execute(QStringLiteral("INSERT INTO Parts (RegNum, ItemNumber, Description) VALUES "
                                       "('N%1', %2, '%3')")
                            .arg(i % 7)
                            .arg(i)
                            .arg(QString(200, u'x')));
        tx.commit();
    }
    QByteArray bytes = fileBytes(path);
    ASSERT_GT(bytes.size(), 8 * 4096);
    // The last page belongs to the components: its header becomes noise.
    for (qsizetype i = bytes.size() - 4096; i < bytes.size() - 4096 + 12; ++i)
        bytes[i] = static_cast<char>(0xA5);
    QFile::remove(path);
    folder.writeFile(data::files::kMain, bytes);
    const auto e = dbErrorOf([&] { Database::open(path); });
    ASSERT_TRUE(e.has_value());
    EXPECT_EQ(e->number(), err::NotADatabase) << e->text().toStdString();
    EXPECT_TRUE(e->text().contains("damaged")) << e->text().toStdString();
    EXPECT_TRUE(e->text().contains(path)) << e->text().toStdString();
    EXPECT_EQ(fileBytes(path), bytes);
    // Opened read-only, the file is not checked and its undamaged tables stay readable.
    setMode(path, 0444);
    EXPECT_EQ(Database::open(path)->openRecordset("Aircraft")->recordCount(), 0);
    setMode(path, 0644);
}

TEST_F(OpeningFiles, UnreadableFileIsRefusedUnchanged) {
    const QString path = mainFileWithRows();
    const QByteArray before = fileBytes(path);
    setMode(path, 0000);
    const auto e = dbErrorOf([&] { Database::open(path); });
    setMode(path, 0644);
    ASSERT_TRUE(e.has_value());
    EXPECT_EQ(e->number(), err::CannotOpen) << e->text().toStdString();
    EXPECT_TRUE(e->text().contains(path)) << e->text().toStdString();
    EXPECT_EQ(fileBytes(path), before);
}

TEST_F(OpeningFiles, DamagedPagesGiveNumberedErrorOnReading) {
    const QString path = mainFileWithRows();
    QByteArray bytes = fileBytes(path);
    // Keep the first page (the list of tables) and scribble over the pages of the tables.
    for (qsizetype i = 4096; i < bytes.size(); ++i)
        bytes[i] = static_cast<char>(0xA5);
    QFile::remove(path);
    folder.writeFile(data::files::kMain, bytes);
    const auto e = dbErrorOf([&] {
        auto db = Database::open(path);
        db->openRecordset("Parts");
    });
    ASSERT_TRUE(e.has_value());
    EXPECT_EQ(e->number(), err::NotADatabase) << e->text().toStdString();
    EXPECT_TRUE(e->text().contains(path)) << e->text().toStdString();
    EXPECT_EQ(fileBytes(path), bytes);
}

TEST_F(OpeningFiles, OpeningAndReadingLeavesTheFileUnchanged) {
    const QString path = mainFileWithRows();
    const QByteArray before = fileBytes(path);
    {
        auto db = Database::open(path);
        auto rs = db->openRecordset("select * from [Aircraft] Order by [RegNum]");
        EXPECT_EQ(rs->recordCount(), 1);
        EXPECT_FALSE(db->hasQueryDef("Query1"));
    }
    EXPECT_EQ(fileBytes(path), before);
    EXPECT_EQ(folderEntries(folder.path()), QStringList{data::files::kMain});
}

TEST_F(OpeningFiles, SecondOpenSeesTheFirstOnesWrites) {
    const QString path = folder.createMainFile();
    auto first = Database::open(path);
    auto second = Database::open(folder.file(QStringLiteral("timemgr.mdb")));
    addAircraft(*first, "N7");
    EXPECT_EQ(second->openRecordset("Aircraft")->recordCount(), 1);
}

TEST_F(OpeningFiles, CreateRefusesAnExistingFile) {
    const QString path = mainFileWithRows();
    const QByteArray before = fileBytes(path);
    EXPECT_DB_ERROR(Database::create(folder.file(QStringLiteral("TIMEMGR.mdb"))),
                    err::ObjectExists);
    EXPECT_EQ(fileBytes(path), before);
}

// A file marked read-only (chmod 0444) is opened for reading only, even for a user whom
// the system would let write it: every change is refused and the file stays as it was.
class ReadOnlyFile : public OpeningFiles {
  protected:
    void SetUp() override {
        path = mainFileWithRows();
        setMode(path, 0444);
        before = fileBytes(path);
        db = Database::open(path);
    }
    void TearDown() override {
        db.reset();
        EXPECT_EQ(fileBytes(path), before);
        EXPECT_EQ(folderEntries(folder.path()), QStringList{data::files::kMain});
        setMode(path, 0644);
    }

    QString path;
    QByteArray before;
    std::shared_ptr<Database> db;
};

TEST_F(ReadOnlyFile, ReadsRows) {
    EXPECT_TRUE(db->isReadOnly());
    auto rs = db->openRecordset("Parts");
    EXPECT_EQ(rs->value("RegNum").toString(), "N1");
}

TEST_F(ReadOnlyFile, RefusesRecordsetChanges) {
    auto rs = db->openRecordset("Aircraft");
    EXPECT_DB_ERROR(rs->edit(), err::ReadOnly);
    EXPECT_DB_ERROR(rs->addNew(), err::ReadOnly);
    EXPECT_DB_ERROR(rs->deleteCurrent(), err::ReadOnly);
    EXPECT_EQ(rs->value("RegNum").toString(), "N1");
}

TEST_F(ReadOnlyFile, RefusesStatementsThatChangeIt) {
    EXPECT_DB_ERROR(db->execute("UPDATE Aircraft SET TotalTime = 5"), err::ReadOnly);
    EXPECT_DB_ERROR(db->execute("DELETE * FROM Parts"), err::ReadOnly);
    EXPECT_DB_ERROR(db->execute(data::schema::templateTableStatement("Bell")), err::ReadOnly);
}

// A file that may be written in a folder that may not: every change needs a journal beside
// the file, so the file opens read-only, and a refused change names the folder.
TEST_F(OpeningFiles, WritableFileInReadOnlyFolderSaysItIsTheFolder) {
    const QString path = mainFileWithRows();
    const QByteArray before = fileBytes(path);
    setMode(folder.path(), 0555);
    const auto update = dbErrorOf([&] {
        auto db = Database::open(path);
        EXPECT_TRUE(db->isReadOnly());
        EXPECT_EQ(db->openRecordset("Aircraft")->recordCount(), 1);
        db->execute("UPDATE Aircraft SET TotalTime = 5");
    });
    const auto edit = dbErrorOf([&] { Database::open(path)->openRecordset("Aircraft")->edit(); });
    setMode(folder.path(), 0755);
    for (const auto& e : {update, edit}) {
        ASSERT_TRUE(e.has_value());
        EXPECT_EQ(e->number(), err::ReadOnly);
        EXPECT_TRUE(e->text().contains("folder")) << e->text().toStdString();
        EXPECT_TRUE(e->text().contains(path)) << e->text().toStdString();
    }
    EXPECT_EQ(fileBytes(path), before);
}

TEST_F(ReadOnlyFile, RefusesStoredQueries) {
    EXPECT_DB_ERROR(db->createQueryDef("Query1", "select * from Aircraft"), err::ReadOnly);
    EXPECT_FALSE(db->hasQueryDef("Query1"));
}

}  // namespace
