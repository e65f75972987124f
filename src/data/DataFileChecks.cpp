#include "DataFileChecks.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <set>

namespace velmora::data {

namespace {

[[noreturn]] void refuse(ErrorNumber number, const QString& text) {
    throw DbError(number, text);
}

QString systemError(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

// The first bytes of a regular file, opened so that a pipe put in its place cannot block.
QByteArray fileHead(const QString& path, qsizetype bytes) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        refuse(
            err::CannotOpen,
            QStringLiteral("Cannot read the database file %1: %2.").arg(path, systemError(errno)));
    struct stat sb {};
    if (::fstat(fd, &sb) != 0 || !S_ISREG(sb.st_mode)) {
        ::close(fd);
        refuse(err::InvalidPath, QStringLiteral("%1 is not a regular file (it may be a pipe or a "
                                                "device), so it cannot be a database file.")
                                     .arg(path));
    }
    QByteArray head(bytes, '\0');
    qsizetype got = 0;
    while (got < bytes) {
        const ssize_t n = ::read(fd, head.data() + got, static_cast<size_t>(bytes - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += n;
    }
    ::close(fd);
    head.truncate(got);
    return head;
}

}  // namespace

void checkDataFile(const QString& path) {
    struct stat sb {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &sb) != 0)
        refuse(err::FileNotFound, QStringLiteral("Could not find the database file %1.").arg(path));
    if (S_ISDIR(sb.st_mode))
        refuse(err::InvalidPath, QStringLiteral("%1 is a folder, not a database file.").arg(path));
    if (!S_ISREG(sb.st_mode))
        refuse(err::InvalidPath, QStringLiteral("%1 is not a regular file (it may be a pipe or a "
                                                "device), so it cannot be a database file.")
                                     .arg(path));
    // As with writing, the file's own permission bits count even for a user (root) whom
    // the system would let read it anyway.
    if ((sb.st_mode & 0444) == 0)
        refuse(err::CannotOpen,
               QStringLiteral("Cannot read the database file %1: nobody may read it.").arg(path));
    const QByteArray head = fileHead(path, 100);
    if (head.isEmpty())
        refuse(err::NotADatabase,
               QStringLiteral("The file %1 is empty: it is not a database.").arg(path));
    if (head.size() >= 19 &&
        (head.mid(4, 15) == "Standard Jet DB" || head.mid(4, 15) == "Standard ACE DB"))
        refuse(err::JetFile,
               QStringLiteral("%1 is a Microsoft Access (Jet) database. Velmora keeps its data "
                              "in its own database format and does not open Access files; "
                              "the file was left unchanged.")
                   .arg(path));
    if (!head.startsWith(QByteArray("SQLite format 3", 16)))
        refuse(err::NotADatabase,
               QStringLiteral("The file %1 is not a database file Velmora can read.").arg(path));
    if (head.size() < 100)
        refuse(err::NotADatabase,
               QStringLiteral("The database file %1 is cut short (damaged).").arg(path));
    auto be32 = [&](int at) {
        return (static_cast<quint32>(static_cast<quint8>(head[at])) << 24) |
               (static_cast<quint32>(static_cast<quint8>(head[at + 1])) << 16) |
               (static_cast<quint32>(static_cast<quint8>(head[at + 2])) << 8) |
               static_cast<quint32>(static_cast<quint8>(head[at + 3]));
    };
    quint32 pageSize =
        (static_cast<quint32>(static_cast<quint8>(head[16])) << 8) | static_cast<quint8>(head[17]);
    if (pageSize == 1)
        pageSize = 65536;
    const quint32 pages = be32(28);
    const bool countValid = be32(24) == be32(92) && pages > 0;
    // A change that was cut off (a killed process, a power cut) leaves its journal beside
    // the file, and the header may already count pages the change had not written yet.
    // Opening the file undoes the change from that journal, so only SQLite's own check can
    // judge such a file.
    struct stat jb {};
    const bool changeUnfinished =
        ::stat(QFile::encodeName(path + QStringLiteral("-journal")).constData(), &jb) == 0 &&
        S_ISREG(jb.st_mode) && jb.st_size > 0;
    if (countValid && !changeUnfinished &&
        static_cast<qint64>(pages) * pageSize > static_cast<qint64>(sb.st_size))
        refuse(err::NotADatabase,
               QStringLiteral("The database file %1 is cut short (damaged).").arg(path));
}

Writability dataFileWritability(const QString& path) {
    Writability w;
    struct stat sb {};
    if (::stat(QFile::encodeName(path).constData(), &sb) != 0) {
        w.readOnly = ReadOnlyReason::File;
        return w;
    }
    w.exists = true;
    w.identity.dev = sb.st_dev;
    w.identity.ino = sb.st_ino;
    w.version.identity = w.identity;
    w.version.modifiedNs = static_cast<qint64>(sb.st_mtim.tv_sec) * 1000000000 + sb.st_mtim.tv_nsec;
    w.version.size = static_cast<qint64>(sb.st_size);
    // Honour the file's own write permission even for a user (root) whom the system would
    // let write anyway: a file marked read-only stays unchanged.
    if ((sb.st_mode & 0222) == 0 || !QFileInfo(path).isWritable()) {
        w.readOnly = ReadOnlyReason::File;
        return w;
    }
    // Every change writes a journal beside the file: a folder that cannot take one makes
    // the file read-only in practice, whatever the file's own permissions say.
    const QString folder = QFileInfo(path).absolutePath();
    struct stat fb {};
    if (::stat(QFile::encodeName(folder).constData(), &fb) != 0 || (fb.st_mode & 0222) == 0 ||
        ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) != 0)
        w.readOnly = ReadOnlyReason::Folder;
    return w;
}

namespace {

std::mutex& checkedLock() {
    static std::mutex m;
    return m;
}

std::set<FileVersion>& checkedVersions() {
    static std::set<FileVersion> versions;
    return versions;
}

}  // namespace

bool wasCheckedIntact(const FileVersion& version) {
    const std::lock_guard<std::mutex> guard(checkedLock());
    return checkedVersions().count(version) > 0;
}

void markCheckedIntact(const FileVersion& version) {
    const std::lock_guard<std::mutex> guard(checkedLock());
    checkedVersions().insert(version);
}

}  // namespace velmora::data
