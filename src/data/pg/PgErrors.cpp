#include "PgErrors.h"

#include "PgDatabase.h"
#include "PgJetArithmetic.h"

#include "data/JetSqlParser.h"

#include <QRegularExpression>
#include <QUrl>
#include <QUrlQuery>

#include <libpq-fe.h>

namespace velmora::data::pg {

namespace {

struct StateNumber {
    const char* state;
    ErrorNumber number;
};

constexpr StateNumber kStates[] = {
    {"42P01", err::ObjectNotFound},
    {"42703", err::TooFewParameters},
    {"42601", err::SyntaxError},
    {"42883", err::UndefinedFunction},
    {"42725", err::UndefinedFunction},
    {"23505", err::DuplicateKey},
    {"23502", err::NotNull},
    {"22001", err::FieldTooSmall},
    {"22003", err::NumericOverflow},
    {"22P02", err::TypeMismatch},
    {"42804", err::TypeMismatch},
    {"22007", err::TypeMismatch},
    {"22008", err::TypeMismatch},
    {"42P07", err::TableExists},
    {"42P06", err::ObjectExists},
    {"42710", err::ObjectExists},
    {"40001", err::Locked},
    {"40P01", err::Locked},
    {"55P03", err::Locked},
    {"25006", err::ReadOnly},
    {"23514", err::TypeMismatch},
    {"23P01", err::DuplicateKey},
    {"42702", err::AmbiguousColumn},
    {"54001", err::QueryTooComplex},
    {"53100", err::DiskFull},
    // Jet's runtime errors: those the engine's functions raise, a division by zero and an
    // argument a function of the server cannot take.
    {kPgInvalidProcedureCall, err::InvalidProcedureCall},
    {kPgOverflow, err::Overflow},
    {kPgDivisionByZero, err::DivisionByZero},
    {"22012", err::DivisionByZero},
    {"2201F", err::InvalidProcedureCall},
};

QString field(const pg_result* r, int code) {
    const char* v = r ? PQresultErrorField(r, code) : nullptr;
    return v ? QString::fromUtf8(v) : QString();
}

}  // namespace

QString shownLocation(const QString& uri) {
    QUrl url(uri);
    if (!url.isValid())
        return uri;
    url.setPassword(QString());
    // A password given as a query parameter is not shown either.
    QUrlQuery query(url);
    bool removed = false;
    for (const auto& item : query.queryItems()) {
        if (item.first.trimmed().compare(QLatin1String("password"), Qt::CaseInsensitive) == 0) {
            query.removeAllQueryItems(item.first);
            removed = true;
        }
    }
    if (removed)
        url.setQuery(query);
    return url.toString();
}

bool connectionLost(pg_conn* conn, const pg_result* result) {
    if (result &&
        (PQresultStatus(result) == PGRES_COMMAND_OK || PQresultStatus(result) == PGRES_TUPLES_OK))
        return false;
    const QString state = field(result, PG_DIAG_SQLSTATE);
    return PQstatus(conn) == CONNECTION_BAD || state.isEmpty() ||
           state.startsWith(QLatin1String("08")) || state == u"57P01" || state == u"57P02" ||
           state == u"57P03";
}

DbError noPermission(const QString& role, const QString& where, const QString& why) {
    return DbError(err::NoPermission,
                   QStringLiteral("The database role '%1' has no permission for this (error "
                                  "%2): %3 (%4). The server's administrator gives a user the "
                                  "rights of one of the roles velmora_read, velmora_entry or "
                                  "velmora_admin.")
                       .arg(role)
                       .arg(static_cast<int>(err::NoPermission))
                       .arg(why, where));
}

DbError serverUnreachable(const QString& where, bool changing) {
    // libpq's own words (and the statement) mean nothing to the user: what happened to the
    // work is what matters.
    return DbError(err::ServerConnection,
                   changing ? QStringLiteral("The database server cannot be reached (error %1), "
                                             "so the change was not saved (%2). What was saved "
                                             "before is kept on the server: save again once "
                                             "the server is back.")
                                  .arg(static_cast<int>(err::ServerConnection))
                                  .arg(where)
                            : QStringLiteral("The database server cannot be reached (error %1): "
                                             "%2 could not be read. Nothing was changed: try "
                                             "again once the server is back.")
                                  .arg(static_cast<int>(err::ServerConnection))
                                  .arg(where));
}

DbError serverFailure(pg_conn* conn, const pg_result* result, const QString& what,
                      const QString& where, bool changing) {
    if (connectionLost(conn, result))
        return serverUnreachable(where, changing);
    const QString state = field(result, PG_DIAG_SQLSTATE);
    QString message = field(result, PG_DIAG_MESSAGE_PRIMARY);
    if (message.isEmpty())
        message = QString::fromUtf8(PQerrorMessage(conn)).trimmed();
    if (state == u"42501")
        return noPermission(QString::fromUtf8(PQuser(conn)), where, message);
    ErrorNumber number = err::Internal;
    for (const StateNumber& s : kStates) {
        if (state == QLatin1String(s.state)) {
            number = s.number;
            break;
        }
    }
    // A computation beyond the range of doubles is Jet's Overflow; a value too large for the
    // column it goes into stays a numeric field overflow.
    if (state == u"22003" &&
        field(result, PG_DIAG_SOURCE_FUNCTION) == QLatin1String("float_overflow_error")) {
        number = err::Overflow;
        message = QStringLiteral("Overflow (a result is beyond the range of numbers)");
    }
    // An aggregate called with the wrong arguments is a statement written wrongly.
    if (number == err::UndefinedFunction &&
        QRegularExpression(QStringLiteral("^function (count|sum|avg|min|max)\\("))
            .match(message)
            .hasMatch())
        number = err::SyntaxError;
    // ORDER BY 7 with fewer columns is a statement written wrongly, as on the files.
    if (message.startsWith(QLatin1String("ORDER BY position ")))
        number = err::SyntaxError;
    const QString detail = field(result, PG_DIAG_MESSAGE_DETAIL);
    QString text = message;
    if (!detail.isEmpty())
        text += QStringLiteral(" (") + detail + u')';
    if (!what.isEmpty())
        text += QStringLiteral(" in \"%1\"").arg(shownStatement(what));
    return DbError(number, QStringLiteral("%1 (%2).").arg(text, where));
}

}  // namespace velmora::data::pg
