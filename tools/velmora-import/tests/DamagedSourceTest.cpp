// velmora-import on Jet files that made mdbtools crash or loop, on readers that crash, hang
// or answer garbage, and on sources that are no files: each ends in a message and an exit
// status, and nothing is left behind.
#include "support/DamagedJetFiles.h"
#include "support/TestFiles.h"

#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace velmora::testing;

namespace {

struct ImportRun {
    int status = -1;
    QString out, err;
};

// Runs the program to its end (two minutes at most), with these variables set.
ImportRun import(const QStringList& args, const QMap<QString, QString>& environment = {}) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (auto it = environment.begin(); it != environment.end(); ++it)
        env.insert(it.key(), it.value());
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(VELMORA_IMPORT_BIN), args);
    if (!p.waitForFinished(120000)) {
        p.kill();
        p.waitForFinished();
        return {};
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

// A reader program that is a shell script.
QString fakeReader(TestFolder& folder, const QString& name, const QByteArray& script) {
    const QString path = folder.writeFile(name, "#!/bin/sh\n" + script + "\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

}  // namespace

TEST(DamagedSource, FilesThatCrashedOrHungTheReaderEndInANumberedMessage) {
    const QByteArray columns = jetWithDamagedTableDefinition();
    const QByteArray cutShort = jetCutShortSoThatMdbtoolsLoops();
    if (columns.isEmpty() || cutShort.isEmpty())
        GTEST_SKIP() << "nwind.mdb or ASampleDatabase.accdb is not in " VELMORA_JET_FIXTURES;
    TestFolder folder;
    const QString crashing = folder.writeFile("cols.mdb", columns);
    const QString looping = folder.writeFile("t.accdb", cutShort);

    const ImportRun crashed = import({crashing, folder.file("out.mdb")});
    EXPECT_EQ(crashed.status, 1);
    EXPECT_EQ(crashed.err, QStringLiteral("velmora-import: error 3049: The Jet database %1 is "
                                          "damaged: the definition of table 'Orders' cannot be "
                                          "read.\n")
                               .arg(crashing));

    // mdbtools never returns from this file: its reader is stopped after the time allowed.
    const ImportRun hung =
        import({looping, folder.file("out.mdb")}, {{"VELMORA_JET_READER_TIMEOUT", "2"}});
    EXPECT_EQ(hung.status, 1);
    EXPECT_EQ(hung.err, QStringLiteral("velmora-import: error 3049: The Jet database %1 is "
                                       "damaged and cannot be converted: reading it did not "
                                       "finish within 2 seconds.\n")
                            .arg(looping));

    EXPECT_EQ(fileBytes(crashing), columns);
    EXPECT_EQ(fileBytes(looping), cutShort);
    EXPECT_EQ(folderEntries(folder.path()), QStringList({"cols.mdb", "t.accdb"}));
}

TEST(DamagedSource, AnEncryptedFileIsCalledEncryptedNotDamaged) {
    TestFolder folder;
    for (const char* name : {"ASampleDatabase.accdb", "DateTestDatabase.mdb", "nwind.mdb"}) {
        const QByteArray bytes = jetMarkedEncrypted(name);
        if (bytes.isEmpty())
            GTEST_SKIP() << name << " is not in " VELMORA_JET_FIXTURES;
        SCOPED_TRACE(name);
        const QString source = folder.writeFile(QStringLiteral("locked-") + name, bytes);
        const QString dest = folder.file(QStringLiteral("out-") + name);
        const ImportRun run = import({source, dest});
        EXPECT_EQ(run.status, 1) << run.out.toStdString();
        EXPECT_EQ(run.err, QStringLiteral("velmora-import: error 3031: The Jet database %1 is "
                                          "encrypted with a password; open it in Access, remove "
                                          "the password, and convert it again.\n")
                               .arg(source));
        EXPECT_FALSE(QFile::exists(dest));
    }
}

TEST(DamagedSource, AReaderThatCrashesHangsOrAnswersGarbageIsTold) {
    JET_FIXTURE_OR_SKIP(dates, "DateTestDatabase.mdb");
    TestFolder folder;
    QDir().mkpath(folder.file("out"));
    struct Case {
        const char* script;
        QString why;
    };
    const Case cases[] = {
        {"kill -SEGV $$", "reading it crashed"},
        {"exit 0", "reading it ended without an answer"},
        {"exec sleep 600", "reading it did not finish within 2 seconds"},
        {R"(printf '\001\000\000\000Z')", "reading it gave data that cannot be understood"},
        {R"(printf '\000\000\000\060'; exec sleep 600)",
         "reading it gave more data than a file of its size can hold"},
    };
    int n = 0;
    for (const Case& c : cases) {
        const QString reader = fakeReader(folder, QStringLiteral("reader%1").arg(++n), c.script);
        const ImportRun run =
            import({dates, folder.file("out/new.mdb")},
                   {{"VELMORA_JET_READER", reader}, {"VELMORA_JET_READER_TIMEOUT", "2"}});
        EXPECT_EQ(run.status, 1) << c.script;
        EXPECT_EQ(run.err, QStringLiteral("velmora-import: error 3049: The Jet database %1 is "
                                          "damaged and cannot be converted: %2.\n")
                               .arg(dates, c.why));
        EXPECT_TRUE(folderEntries(folder.file("out")).isEmpty()) << c.script;
    }

    const ImportRun missing = import({dates, folder.file("out/new.mdb")},
                                     {{"VELMORA_JET_READER", folder.file("no-such-reader")}});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.startsWith(
        QStringLiteral("velmora-import: The Jet database %1 cannot be read: the program that "
                       "reads Jet files, %2, cannot be started (")
            .arg(dates, folder.file("no-such-reader"))))
        << missing.err.toStdString();
}

TEST(DamagedSource, SourcesThatAreNoFilesAreRefusedWithoutWaiting) {
    TestFolder folder;
    const QString fifo = folder.file("pipe.mdb");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& source : {fifo, QStringLiteral("/dev/zero")}) {
        const ImportRun run = import({source, folder.file("out.mdb")});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, QStringLiteral("velmora-import: %1 is not a regular file (it is a "
                                          "device, a pipe or a socket): it cannot be read as a "
                                          "database file.\n")
                               .arg(source));
    }
    EXPECT_EQ(folderEntries(folder.path()), QStringList{"pipe.mdb"});
}

TEST(DamagedSource, HalfMadeFilesOfAKilledImportAreRemovedByTheNextOne) {
    JET_FIXTURE_OR_SKIP(dates, "DateTestDatabase.mdb");
    TestFolder folder;
    const QString dest = folder.file("dates.mdb");
    folder.writeFile("dates.mdb.converting", "half a database");
    folder.writeFile("dates.mdb.converting-journal", "its journal");
    folder.writeFile("dates.mdb.converting-2", "another half");
    folder.writeFile("other.mdb.converting", "not this import's");

    const ImportRun run = import({dates, dest});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(folderEntries(folder.path()), QStringList({"dates.mdb", "other.mdb.converting"}));

    // One that a running conversion still writes (it holds a lock on it) is left alone.
    const QString busy = folder.writeFile("busy.mdb.converting", "being written");
    const int fd = ::open(QFile::encodeName(busy).constData(), O_RDWR);
    ASSERT_GE(fd, 0);
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    ASSERT_EQ(::fcntl(fd, F_SETLK, &lock), 0);
    const ImportRun beside = import({dates, folder.file("busy.mdb")});
    ::close(fd);
    EXPECT_EQ(beside.status, 0) << beside.err.toStdString();
    EXPECT_EQ(fileBytes(busy), QByteArray("being written"));
    EXPECT_EQ(folderEntries(folder.path()), QStringList({"busy.mdb", "busy.mdb.converting",
                                                         "dates.mdb", "other.mdb.converting"}));
}
