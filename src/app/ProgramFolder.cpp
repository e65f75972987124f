#include "ProgramFolder.h"

#include "data/DataFiles.h"
#include "data/DbError.h"
#include "data/Schema.h"
#include "remaining/MainDataFile.h"
#include "remaining/ReportDefinition.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace velmora::app {

using namespace velmora::data;

QString programFolderFor(const QString& executableFolder, const QString& userDataFolder) {
    const QString own = resolvePathCaseInsensitive(companyFileName(executableFolder));
    if (QFileInfo::exists(own) || QFileInfo(executableFolder).isWritable())
        return executableFolder;
    return userDataFolder;
}

QString programFolder() {
    return programFolderFor(QCoreApplication::applicationDirPath(),
                            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

bool ensureFirstRun(const QString& folder, QString* error) {
    const QString settings = resolvePathCaseInsensitive(companyFileName(folder));
    if (QFileInfo::exists(settings))
        return true;
    try {
        if (!QDir().mkpath(folder))
            throw DbError(err::InvalidPath,
                          QStringLiteral("Cannot create the folder %1.").arg(folder));
        const QString dataFolder = QDir(folder).filePath(QStringLiteral("Data"));
        if (!QDir().mkpath(dataFolder))
            throw DbError(err::InvalidPath,
                          QStringLiteral("Cannot create the data folder %1.").arg(dataFolder));
        const QString dataPath = dataFolder + QDir::separator();
        // Data files already in the folder are kept as they are.
        const QString main = dataFileName(dataPath, files::kMain);
        if (!QFileInfo::exists(resolvePathCaseInsensitive(main)))
            remaining::createMainDataFile(main);
        const QString templates = dataFileName(dataPath, files::kTemplates);
        if (!QFileInfo::exists(resolvePathCaseInsensitive(templates)))
            schema::createTemplateFile(templates);
        // The reports' definitions go beside the data files; ones already there are kept.
        QString reportError;
        if (!remaining::writeDefaultReportDefinitions(dataFolder, &reportError))
            throw DbError(err::InvalidPath, reportError);
        schema::createCompanyFile(companyFileName(folder), dataPath);
        return true;
    } catch (const DbError& e) {
        *error = e.text();
        return false;
    }
}

}  // namespace velmora::app
