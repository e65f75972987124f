#include "BackEnds.h"

#include "data/DataFiles.h"
#include "data/Database.h"
#include "data/Recordset.h"
#include "data/Schema.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <QUrlQuery>

namespace velmora::testing {

TestStore::TestStore(BackEnd backEnd) : backEnd_(backEnd) {
    if (backEnd_ == BackEnd::Server)
        server_ = std::make_unique<PgTestDatabase>();
}

bool TestStore::isAvailable() const {
    return backEnd_ == BackEnd::File || server_->isAvailable();
}

QString TestStore::whyNot() const {
    return server_ ? server_->whyNot() : QString();
}

QString TestStore::location(const QString& fileName) const {
    return data::dataFileName(dataPath(), fileName);
}

QString TestStore::dataPath() const {
    return backEnd_ == BackEnd::File ? folder_.dataPath() : server_->uri();
}

QString TestStore::otherWorkstationDataPath() {
    if (backEnd_ == BackEnd::Server) {
        QUrl url(server_->uri());
        QUrlQuery query(url);
        query.addQueryItem(QStringLiteral("application_name"), QStringLiteral("workstation2"));
        url.setQuery(query);
        return url.toString();
    }
    if (!otherName_) {
        otherName_ = std::make_unique<QTemporaryDir>();
        QFile::link(folder_.path(), otherName_->filePath(QStringLiteral("share")));
    }
    return otherName_->filePath(QStringLiteral("share")) + u'/';
}

QString TestStore::createMainFile() {
    const QString where = location(data::files::kMain);
    data::schema::createMainFile(where);
    return where;
}

QString TestStore::createTemplateFile() {
    const QString where = location(data::files::kTemplates);
    data::schema::createTemplateFile(where);
    return where;
}

QString TestStore::serverUri() const {
    return server_ ? server_->uri() : QString();
}

QString TestStore::serverUriForUser(const QString& user) const {
    return server_ ? server_->uriForUser(user) : QString();
}

QByteArray storedContent(const QString& location) {
    if (!data::isServerLocation(location))
        return fileBytes(location);
    QByteArray out;
    auto db = data::Database::open(location);
    QStringList tables = db->tableNames();
    tables.sort(Qt::CaseInsensitive);
    for (const QString& table : tables) {
        QStringList rows;
        auto rs = db->openRecordset(QStringLiteral("select * from [%1]").arg(table));
        for (; !rs->eof(); rs->moveNext()) {
            QStringList cells;
            for (int i = 0; i < rs->fieldCount(); ++i) {
                const data::Value v = rs->value(i);
                cells << (v.isNull() ? QStringLiteral("<null>") : v.toString());
            }
            rows << cells.join(QLatin1Char('|'));
        }
        rows.sort();  // a server returns unordered rows in any order
        out += table.toUtf8() + '\n' + rows.join(QLatin1Char('\n')).toUtf8() + '\n';
    }
    return out;
}

std::string backEndName(const ::testing::TestParamInfo<BackEnd>& info) {
    return info.param == BackEnd::File ? "File" : "Server";
}

}  // namespace velmora::testing
