#include "BackupContents.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <unistd.h>

namespace velmora::backup {

namespace {

const QByteArray kFirstLine = "Velmora backup contents";
// A list longer than this is no list a backup wrote.
constexpr qint64 kLongestList = 1 << 20;

}  // namespace

bool writeBackupContents(const QString& folder, const QStringList& dataFiles) {
    const QString path = QDir(folder).filePath(kContentsFile);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return false;
    QByteArray text = kFirstLine + '\n';
    for (const QString& file : dataFiles)
        text += file.toUtf8() + '\n';
    if (f.write(text) != text.size() || !f.flush()) {
        f.close();
        QFile::remove(path);
        return false;
    }
    const bool synced = ::fsync(f.handle()) == 0;
    f.close();
    return synced;
}

std::optional<QStringList> readBackupContents(const QString& folder) {
    const QString path = QDir(folder).filePath(kContentsFile);
    const QFileInfo info(path);
    if (!info.exists())
        return std::nullopt;
    QFile f(path);
    if (!info.isFile() || info.size() > kLongestList || !f.open(QIODevice::ReadOnly))
        return QStringList();
    const QList<QByteArray> lines = f.readAll().split('\n');
    if (lines.isEmpty() || lines.front() != kFirstLine)
        return QStringList();
    QStringList files;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (!lines[i].isEmpty())
            files << QString::fromUtf8(lines[i]);
    }
    return files;
}

}  // namespace velmora::backup
