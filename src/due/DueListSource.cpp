#include "DueListSource.h"

#include "WarningSettingsFile.h"
#include "data/DataFiles.h"
#include "data/Database.h"
#include "journal/JournalUtilisation.h"
#include "utilisation/PlannedUtilisation.h"

#include <QDir>

namespace velmora::due {

namespace {

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

}  // namespace

UtilisationFactory plannedUtilisation() {
    return [](data::Database& mainDb) -> std::unique_ptr<utilisation::UtilisationSource> {
        return std::make_unique<utilisation::PlannedUtilisation>(
            utilisation::PlannedUtilisation::read(mainDb));
    };
}

UtilisationFactory journalledUtilisation(int days) {
    return [days](data::Database& mainDb) -> std::unique_ptr<utilisation::UtilisationSource> {
        return std::make_unique<journal::JournalUtilisation>(
            journal::JournalUtilisation::read(mainDb, QDate::currentDate(), days));
    };
}

WarningSettings readWarningSettingsFile(const QString& companyFile) {
    if (companyFile.isEmpty())
        return {};
    const QString path = data::resolvePathCaseInsensitive(companyFile);
    try {
        return readWarningSettings(*data::Database::open(path));
    } catch (const data::DbError& e) {
        throw data::DbError(e.number(),
                            QStringLiteral("The warning levels of %1 cannot be read: %2")
                                .arg(shown(path), e.text()));
    }
}

std::shared_ptr<DueList> loadDueList(const DueListRequest& request) {
    const WarningSettings warnings = readWarningSettingsFile(request.companyFile);
    const QString main =
        data::resolvePathCaseInsensitive(data::dataFileName(request.dataPath, data::files::kMain));
    try {
        auto db = data::Database::open(main);
        const auto use = request.utilisation ? request.utilisation(*db) : nullptr;
        const utilisation::NoUtilisation none;
        const utilisation::UtilisationSource& daily =
            use ? *use : static_cast<const utilisation::UtilisationSource&>(none);
        auto list = std::make_shared<DueList>(computeDueList(*db, daily, warnings, request.today));
        if (request.moreLines)
            request.moreLines(*db, daily, warnings, list.get());
        return list;
    } catch (const data::DbError& e) {
        throw data::DbError(
            e.number(),
            QStringLiteral("The due list cannot be read from %1: %2").arg(shown(main), e.text()));
    }
}

}  // namespace velmora::due
