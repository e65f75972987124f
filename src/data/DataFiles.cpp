#include "DataFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

namespace velmora::data {

QString dataFileName(const QString& dataPath, const QString& fileName) {
    if (isServerLocation(dataPath))
        return dataPath.trimmed() + u'#' + QFileInfo(fileName).completeBaseName();
    return dataPath + fileName;
}

QString dataPathOf(const QString& given) {
    if (isServerLocation(given))
        return given.trimmed();
    QString folder = QDir::cleanPath(QFileInfo(given).absoluteFilePath());
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

bool isMissingFolder(const QString& dataPath) {
    return !isServerLocation(dataPath) && !QFileInfo(dataPath).isDir();
}

bool isServerLocation(const QString& location) {
    const QString s = location.trimmed();
    return s.startsWith(QLatin1String("postgresql://"), Qt::CaseInsensitive) ||
           s.startsWith(QLatin1String("postgres://"), Qt::CaseInsensitive);
}

QString companyFileName(const QString& programFolder) {
    return QDir(programFolder).filePath(files::kCompany);
}

QString resolvePathCaseInsensitive(const QString& path) {
    if (path.isEmpty() || QFileInfo::exists(path))
        return path;
    const QString clean = QDir::cleanPath(path);
    const bool absolute = QDir::isAbsolutePath(clean);
    const QStringList parts = clean.split(u'/', Qt::SkipEmptyParts);
    QString current = absolute ? QStringLiteral("/") : QStringLiteral(".");
    for (const QString& part : parts) {
        const QString direct = QDir(current).filePath(part);
        if (part == u"." || part == u".." || QFileInfo::exists(direct)) {
            current = direct;
            continue;
        }
        const QStringList entries = QDir(current).entryList(QDir::AllEntries | QDir::Hidden |
                                                            QDir::System | QDir::NoDotAndDotDot);
        QString match;
        for (const QString& e : entries) {
            if (e.compare(part, Qt::CaseInsensitive) == 0) {
                match = e;
                break;
            }
        }
        if (match.isEmpty())
            return path;
        current = QDir(current).filePath(match);
    }
    if (!absolute && current.startsWith(QLatin1String("./")))
        current = current.mid(2);
    return current;
}

}  // namespace velmora::data
