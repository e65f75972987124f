// Output files named by the user: a regular file is replaced whole or left as it was; a
// device or FIFO is written into and stays what it is; links are followed, never replaced.
#include "support/FileDamage.h"
#include "support/TestFiles.h"

#include "export/Csv.h"
#include "export/OutputFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace velmora;
using namespace velmora::testing;

namespace {

const QByteArray kCsv = "Registration,Remaining\r\nN1,-5\r\n";

QString write(const QString& path, const QByteArray& bytes = kCsv) {
    const auto failure = exporting::writeOutputFile(path, bytes);
    return failure ? failure->text : QString();
}

mode_t typeOf(const QString& path, bool followLinks = false) {
    struct stat st;
    const QByteArray name = QFile::encodeName(path);
    if ((followLinks ? ::stat(name.constData(), &st) : ::lstat(name.constData(), &st)) != 0)
        return 0;
    return st.st_mode & S_IFMT;
}

// A device node like the system's own (1,3 is /dev/null, 1,7 /dev/full); only root makes one.
bool makeDevice(const QString& path, unsigned minor) {
    return ::geteuid() == 0 &&
           ::mknod(QFile::encodeName(path).constData(), S_IFCHR | 0666, makedev(1, minor)) == 0;
}

TEST(OutputFile, ARegularFileIsReplacedWholeAndKeepsItsPermissions) {
    TestFolder folder;
    const QString out = folder.file("due.csv");
    EXPECT_EQ(write(out), "");  // a new name
    EXPECT_EQ(fileBytes(out), kCsv);
    setMode(out, 0640);
    EXPECT_EQ(write(out, "second\r\n"), "");
    EXPECT_EQ(fileBytes(out), "second\r\n");
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(out).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(typeOf(out), S_IFREG);
    EXPECT_EQ(folderEntries(folder.path()), QStringList{"due.csv"}) << "no temporary file left";

    // A failure leaves it as it was: a folder that is not there, a folder named as the file.
    EXPECT_TRUE(write(folder.file("none/due.csv")).contains("No such file"));
    EXPECT_TRUE(write(folder.path()).contains("folder")) << write(folder.path()).toStdString();
    EXPECT_EQ(fileBytes(out), "second\r\n");
}

TEST(OutputFile, AFullDiskLeavesTheFileAsItWasAndSaysWhy) {
    SmallFileSystem disk(4);
    if (!disk.available())
        GTEST_SKIP() << disk.whyNot().toStdString();
    const QString out = disk.path() + "/due.csv";
    ASSERT_EQ(write(out), "");
    const QString reason = write(out, QByteArray(16 * 1024 * 1024, 'x'));
    EXPECT_EQ(reason, "No space left on device");
    EXPECT_EQ(fileBytes(out), kCsv);
    EXPECT_EQ(folderEntries(disk.path()), (QStringList{"due.csv", "lost+found"}));
}

TEST(OutputFile, DevicesAreWrittenIntoAndStayDevices) {
    TestFolder folder;
    const QString null = folder.file("null"), full = folder.file("full");
    if (!makeDevice(null, 3) || !makeDevice(full, 7))
        GTEST_SKIP() << "making device nodes needs root";
    EXPECT_EQ(write(null), "");
    EXPECT_EQ(typeOf(null), S_IFCHR);
    // A device that is full says so, and is no file afterwards either.
    EXPECT_EQ(write(full), "No space left on device");
    EXPECT_EQ(typeOf(full), S_IFCHR);
    EXPECT_EQ(folderEntries(folder.path()), (QStringList{"full", "null"}));

    // A link to a device leads into the device; the link stays.
    ASSERT_TRUE(QFile::link(null, folder.file("link")));
    EXPECT_EQ(write(folder.file("link")), "");
    EXPECT_EQ(typeOf(folder.file("link")), S_IFLNK);
    EXPECT_EQ(typeOf(null), S_IFCHR);
}

TEST(OutputFile, AFifoIsWrittenIntoForItsReader) {
    TestFolder folder;
    const QString fifo = folder.file("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QProcess reader;
    reader.start("cat", {fifo});
    ASSERT_TRUE(reader.waitForStarted());
    EXPECT_EQ(write(fifo), "");
    ASSERT_TRUE(reader.waitForFinished(60000));
    EXPECT_EQ(reader.readAllStandardOutput(), kCsv);
    EXPECT_EQ(typeOf(fifo), S_IFIFO);
}

TEST(OutputFile, AFifoWhoseReaderWentAwayIsAFailureNotTheProgramsEnd) {
    TestFolder folder;
    const QString fifo = folder.file("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QProcess reader;
    reader.start("head", {"-c", "10", fifo});
    ASSERT_TRUE(reader.waitForStarted());
    // Far more than a pipe holds: the reader is gone long before the last byte.
    EXPECT_EQ(write(fifo, QByteArray(8 << 20, 'x')), QString::fromLocal8Bit(std::strerror(EPIPE)));
    ASSERT_TRUE(reader.waitForFinished(60000));
    EXPECT_EQ(reader.readAllStandardOutput().size(), 10);
}

TEST(OutputFile, LinksAreFollowedAndStayLinks) {
    TestFolder folder;
    const QString target = folder.file("real.csv");
    folder.writeFile("real.csv", "old");
    ASSERT_TRUE(QFile::link("real.csv", folder.file("link.csv")));  // relative, as ln -s makes
    EXPECT_EQ(write(folder.file("link.csv")), "");
    EXPECT_EQ(typeOf(folder.file("link.csv")), S_IFLNK);
    EXPECT_EQ(fileBytes(target), kCsv);

    // A link to a name not yet taken: the file it names is made, the link stays.
    ASSERT_TRUE(QFile::link("later/new.csv", folder.file("dangling.csv")));
    QDir(folder.path()).mkdir("later");
    ASSERT_TRUE(QFile::link("dangling.csv", folder.file("chain.csv")));
    EXPECT_EQ(write(folder.file("chain.csv")), "");
    EXPECT_EQ(typeOf(folder.file("dangling.csv")), S_IFLNK);
    EXPECT_EQ(typeOf(folder.file("chain.csv")), S_IFLNK);
    EXPECT_EQ(fileBytes(folder.file("later/new.csv")), kCsv);
    EXPECT_EQ(folderEntries(folder.file("later")), QStringList{"new.csv"});

    // A link into a folder that is not there, and links in a circle, are refused.
    ASSERT_TRUE(QFile::link("gone/new.csv", folder.file("nowhere.csv")));
    EXPECT_TRUE(write(folder.file("nowhere.csv")).contains("No such file"));
    EXPECT_EQ(typeOf(folder.file("nowhere.csv")), S_IFLNK);
    ASSERT_TRUE(QFile::link("b.csv", folder.file("a.csv")));
    ASSERT_TRUE(QFile::link("a.csv", folder.file("b.csv")));
    EXPECT_EQ(write(folder.file("a.csv")), "Too many levels of symbolic links");
    EXPECT_EQ(typeOf(folder.file("a.csv")), S_IFLNK);
}

TEST(OutputFile, CsvFilesGoThroughIt) {
    TestFolder folder;
    const QString null = folder.file("null");
    if (!makeDevice(null, 3))
        GTEST_SKIP() << "making device nodes needs root";
    const auto failure = exporting::writeCsvFile(null, kCsv);
    EXPECT_FALSE(failure) << failure->text.toStdString();
    EXPECT_EQ(typeOf(null), S_IFCHR);
}

}  // namespace
