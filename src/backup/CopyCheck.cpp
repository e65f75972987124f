#include "CopyCheck.h"

#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/DatabaseCopy.h"
#include "data/DbError.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace velmora::backup {

namespace {

// The tables a data file of that name has whatever else it holds.
QStringList tablesOfKind(const QString& dataFile) {
    const QString name = QFileInfo(dataFile).fileName();
    if (name.compare(data::files::kCompany, Qt::CaseInsensitive) == 0)
        return {QStringLiteral("CompanyInfo")};
    if (name.compare(data::files::kMain, Qt::CaseInsensitive) == 0)
        return {QStringLiteral("Aircraft"), QStringLiteral("Parts")};
    if (name.compare(data::files::kTemplates, Qt::CaseInsensitive) == 0)
        return {QStringLiteral("Aircraft")};
    return {};
}

}  // namespace

QString copyProblem(const QString& copy, const QString& dataFile) {
    struct stat sb {};
    if (::stat(QFile::encodeName(copy).constData(), &sb) != 0)
        return QStringLiteral("its copy %1 is missing").arg(copy);
    if (!S_ISREG(sb.st_mode))
        return QStringLiteral("its copy %1 is not a file").arg(copy);
    try {
        const data::FileCheck check = data::checkDatabaseFile(copy);
        if (!check.intact)
            return QStringLiteral("its copy %1 is damaged (%2)").arg(copy, check.problems);
        const QStringList wanted = tablesOfKind(dataFile);
        if (wanted.isEmpty())
            return {};
        auto db = data::Database::openForReading(copy);
        for (const QString& table : wanted) {
            if (!db->hasTable(table))
                return QStringLiteral("its copy %1 is not a Velmora %2: it has no table %3")
                    .arg(copy, QFileInfo(dataFile).fileName(), table);
        }
    } catch (const data::DbError& e) {
        return QStringLiteral("its copy %1 cannot be read: %2").arg(copy, e.text());
    }
    return {};
}

}  // namespace velmora::backup
