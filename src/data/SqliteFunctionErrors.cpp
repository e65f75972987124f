#include "SqliteFunctions.h"

// How a runtime error of one of the engine's functions travels through SQLite: as the
// message the function fails with, read back into the engine's numbered error.

namespace velmora::data {

namespace {
const char kFunctionErrorTag[] = "jet-error ";
}  // namespace

QByteArray functionErrorMessage(const DbError& e) {
    return kFunctionErrorTag + QByteArray::number(e.code()) + ": " + e.text().toUtf8();
}

std::optional<DbError> functionError(const QString& sqliteMessage, const QString& statement) {
    if (!sqliteMessage.startsWith(QLatin1String(kFunctionErrorTag)))
        return std::nullopt;
    const qsizetype colon = sqliteMessage.indexOf(u':');
    bool ok = false;
    const int number =
        sqliteMessage.mid(qstrlen(kFunctionErrorTag), colon - qstrlen(kFunctionErrorTag))
            .toInt(&ok);
    if (colon < 0 || !ok)
        return std::nullopt;
    return DbError(static_cast<ErrorNumber>(number),
                   QStringLiteral("%1 in \"%2\".").arg(sqliteMessage.mid(colon + 2), statement));
}

}  // namespace velmora::data
