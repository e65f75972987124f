#include "ProgramFiles.h"

#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/Recordset.h"

#include <QFileInfo>

namespace velmora::backup {

QStringList ProgramFiles::existing() const {
    QStringList out;
    for (const QString& f : {settings, main, templates}) {
        if (!f.isEmpty() && QFileInfo(f).isFile())
            out << f;
    }
    return out;
}

ProgramFiles programFiles(const QString& programFolder) {
    ProgramFiles files;
    files.settings = data::resolvePathCaseInsensitive(data::companyFileName(programFolder));
    try {
        auto rs =
            data::Database::open(files.settings)->openRecordset(QStringLiteral("CompanyInfo"));
        if (!rs->eof())
            files.dataPath = rs->value(QStringLiteral("PathData")).toString();
    } catch (const data::DbError& e) {
        files.settingsError = e.text();
        return files;
    }
    files.main =
        data::resolvePathCaseInsensitive(data::dataFileName(files.dataPath, data::files::kMain));
    files.templates = data::resolvePathCaseInsensitive(
        data::dataFileName(files.dataPath, data::files::kTemplates));
    return files;
}

}  // namespace velmora::backup
