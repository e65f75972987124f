#include "StaleConversions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace velmora::legacy {

namespace {

// Whether another process holds a lock on the file, as SQLite does on a file it writes.
bool lockedByAnotherProcess(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat sb {};
    bool locked = false;
    if (::fstat(fd, &sb) == 0 && S_ISREG(sb.st_mode)) {
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        lock.l_start = 0;
        lock.l_len = 0;  // the whole file
        locked = ::fcntl(fd, F_GETLK, &lock) == 0 && lock.l_type != F_UNLCK;
    }
    ::close(fd);
    return locked;
}

}  // namespace

void removeStaleConversions(const QString& destination) {
    const QFileInfo info(destination);
    const QDir folder = info.absoluteDir();
    const QRegularExpression half(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(info.fileName()) + QStringLiteral(R"(\.converting(-\d+)?)")));
    const QStringList names = folder.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        if (!half.match(name).hasMatch())
            continue;
        const QString path = folder.filePath(name);
        if (lockedByAnotherProcess(path))
            continue;
        QFile::remove(path + QStringLiteral("-journal"));
        QFile::remove(path);
    }
}

}  // namespace velmora::legacy
