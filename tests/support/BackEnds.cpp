#include "BackEnds.h"

#include "data/DataFiles.h"
#include "data/Schema.h"

#include <QFileInfo>

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

std::string backEndName(const ::testing::TestParamInfo<BackEnd>& info) {
    return info.param == BackEnd::File ? "File" : "Server";
}

}  // namespace velmora::testing
