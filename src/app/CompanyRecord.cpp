#include "CompanyRecord.h"

#include "data/Recordset.h"

namespace velmora::app {

bool CompanyRecord::open(const QString& settingsFile, data::DbError* error) {
    file_ = settingsFile;
    try {
        auto db = data::Database::open(settingsFile);
        db->openRecordset(QStringLiteral("CompanyInfo"));  // the table must be there
        db_ = std::move(db);
        return true;
    } catch (const data::DbError& e) {
        db_.reset();
        *error = e;
        return false;
    }
}

data::Value CompanyRecord::value(const QString& column) const {
    if (!db_)
        return {};
    try {
        auto rs = db_->openRecordset(QStringLiteral("CompanyInfo"));
        if (rs->eof())
            return {};
        return rs->value(column);
    } catch (const data::DbError&) {
        return {};
    }
}

}  // namespace velmora::app
