#include "ProgramFolder.h"

#include "data/DataFiles.h"
#include "data/DbError.h"
#include "data/Schema.h"
#include "reportfiles/MainDataFile.h"
#include "reportfiles/ReportDefinition.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace velmora::app {

using namespace velmora::data;

namespace {

// The folders that hold the programs all users of the machine share, which the package
// manager owns. Root may write to them, but no settings file belongs there.
bool isSharedProgramFolder(const QString& folder) {
    static const char* const kShared[] = {"/usr/bin", "/usr/local/bin", "/bin", "/usr/games",
                                          "/usr/local/games"};
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty())
        return false;
    for (const char* shared : kShared) {
        if (canonical == QFileInfo(QString::fromLatin1(shared)).canonicalFilePath())
            return true;
    }
    return false;
}

}  // namespace

QString programFolderFor(const QString& executableFolder, const QString& userDataFolder) {
    if (isSharedProgramFolder(executableFolder))
        return userDataFolder;
    const QString own = resolvePathCaseInsensitive(companyFileName(executableFolder));
    if (QFileInfo::exists(own) || QFileInfo(executableFolder).isWritable())
        return executableFolder;
    return userDataFolder;
}

QString programFolder() {
    return programFolderFor(QCoreApplication::applicationDirPath(),
                            QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
}

data::MaybeFailure ensureFirstRun(const QString& folder) {
    const QString settings = resolvePathCaseInsensitive(companyFileName(folder));
    if (QFileInfo::exists(settings))
        return std::nullopt;
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
            reports::createMainDataFile(main);
        const QString templates = dataFileName(dataPath, files::kTemplates);
        if (!QFileInfo::exists(resolvePathCaseInsensitive(templates)))
            schema::createTemplateFile(templates);
        // The reports' definitions go beside the data files; ones already there are kept.
        reports::writeDefaultReportDefinitions(dataFolder);
        schema::createCompanyFile(companyFileName(folder), dataPath);
        return std::nullopt;
    } catch (const DbError& e) {
        return data::Failure::of(e);
    }
}

}  // namespace velmora::app
