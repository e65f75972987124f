#include "SqliteErrors.h"

#include "JetFunctionCatalog.h"
#include "JetSqlParser.h"
#include "SqliteAuthorizer.h"
#include "SqliteFunctions.h"

#include <QStringList>

#include <optional>

#include <sqlite3.h>

namespace velmora::data {

namespace {

// Runs a small question about the schema; the rows' first column as text.
QStringList ask(sqlite3* db, const char* sql, const QString& arg) {
    QStringList out;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) != SQLITE_OK) {
        sqlite3_finalize(st);
        return out;
    }
    const QByteArray a = arg.toUtf8();
    sqlite3_bind_text(st, 1, a.constData(), static_cast<int>(a.size()), SQLITE_TRANSIENT);
    while (sqlite3_step(st) == SQLITE_ROW) {
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, 0));
        out << QString::fromUtf8(p ? p : "");
    }
    sqlite3_finalize(st);
    return out;
}

bool tableExists(sqlite3* db, const QString& name) {
    return !ask(db,
                "SELECT 1 FROM sqlite_master WHERE type IN ('table','view') AND "
                "name = ?1 COLLATE NOCASE",
                name)
                .isEmpty();
}

bool isView(sqlite3* db, const QString& name) {
    return !ask(db, "SELECT 1 FROM sqlite_master WHERE type = 'view' AND name = ?1 COLLATE NOCASE",
                name)
                .isEmpty();
}

QStringList columnsOf(sqlite3* db, const QString& table) {
    return ask(db, "SELECT name FROM pragma_table_info(?1)", table);
}

bool containsName(const QStringList& names, const QString& name) {
    return names.contains(name, Qt::CaseInsensitive);
}

bool isFunction(sqlite3* db, const QString& name) {
    if (findJetFunction(name))
        return true;
    return !ask(db, "SELECT 1 FROM pragma_function_list WHERE name = ?1 COLLATE NOCASE", name)
                .isEmpty();
}

// The name that SQLite's error points at: a possibly qualified identifier, unquoted.
struct NameAt {
    QStringList parts;
    bool call = false;  // followed by "(": a function
};

bool isNameStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}

bool isNamePart(char c) {
    return isNameStart(c) || (c >= '0' && c <= '9') || c == '$';
}

NameAt nameAt(const QByteArray& sql, int offset) {
    NameAt out;
    qsizetype i = offset;
    const qsizetype n = sql.size();
    auto skipBlanks = [&] {
        while (i < n && (sql[i] == ' ' || sql[i] == '\t' || sql[i] == '\n' || sql[i] == '\r'))
            ++i;
    };
    for (;;) {
        if (i >= n)
            break;
        const char c = sql[i];
        QByteArray part;
        if (c == '[') {
            const qsizetype close = sql.indexOf(']', i + 1);
            if (close < 0)
                break;
            part = sql.mid(i + 1, close - i - 1);
            i = close + 1;
        } else if (c == '"' || c == '`') {
            qsizetype k = i + 1;
            while (k < n) {
                if (sql[k] == c) {
                    if (k + 1 < n && sql[k + 1] == c) {
                        part += c;
                        k += 2;
                        continue;
                    }
                    break;
                }
                part += sql[k++];
            }
            i = k + 1;
        } else if (isNameStart(c)) {
            const qsizetype start = i;
            while (i < n && isNamePart(sql[i]))
                ++i;
            part = sql.mid(start, i - start);
        } else {
            break;
        }
        out.parts << QString::fromUtf8(part);
        skipBlanks();
        if (i < n && sql[i] == '.') {
            ++i;
            skipBlanks();
            continue;
        }
        break;
    }
    skipBlanks();
    out.call = !out.parts.isEmpty() && i < n && sql[i] == '(';
    return out;
}

QString tokenAt(const QByteArray& sql, int offset) {
    qsizetype end = offset;
    while (end < sql.size() && end - offset < 30 && sql[end] != ' ')
        ++end;
    return QString::fromUtf8(sql.mid(offset, std::max<qsizetype>(1, end - offset)));
}

// How deeply the text nests parentheses, outside literals and names.
int parenthesisDepth(const QByteArray& sql) {
    int depth = 0, deepest = 0;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const char c = sql[i];
        if (c == '\'' || c == '"' || c == '[') {
            const char end = c == '[' ? ']' : c;
            ++i;
            while (i < sql.size() && sql[i] != end)
                ++i;
        } else if (c == '(') {
            deepest = std::max(deepest, ++depth);
        } else if (c == ')') {
            --depth;
        }
    }
    return deepest;
}

QString statementText(const FailedStatement& what) {
    return shownStatement(what.text.isEmpty() ? QString::fromUtf8(what.sql) : what.text);
}

// A statement SQLite could not read (or, prepared earlier, could no longer read after the
// schema changed): what in it is wrong, in its own names.
std::optional<DbError> unreadable(sqlite3* db, int rc, const QString& file,
                                  const FailedStatement& what, int offset) {
    const QString stmt = statementText(what);
    if (rc == SQLITE_ERROR_MISSING_COLLSEQ)
        return DbError(err::Internal,
                       QStringLiteral("The database engine lacks a collation needed by \"%1\" "
                                      "in %2.")
                           .arg(stmt, file));
    if (what.jet && !what.jet->createdTable.isEmpty() && tableExists(db, what.jet->createdTable))
        return DbError(
            err::TableExists,
            QStringLiteral("Table %1 already exists in %2.").arg(what.jet->createdTable, file));
    if (offset >= 0 && offset < what.sql.size()) {
        const NameAt name = nameAt(what.sql, offset);
        if (!name.parts.isEmpty()) {
            const QString shown = name.parts.join(u'.');
            if (name.call) {
                QString f = name.parts.last();
                if (f.startsWith(QLatin1String("jet_"), Qt::CaseInsensitive))
                    f = f.mid(4);
                if (isFunction(db, f))
                    return DbError(err::SyntaxError,
                                   QStringLiteral("Wrong number of arguments to the function "
                                                  "'%1' in \"%2\".")
                                       .arg(f, stmt));
                return DbError(err::UndefinedFunction,
                               QStringLiteral("Undefined function '%1' in \"%2\".").arg(f, stmt));
            }
            if (name.parts.size() == 1 && what.jet) {
                int holders = 0;
                for (const QString& t : what.jet->tables) {
                    if (containsName(columnsOf(db, t), name.parts.first()))
                        ++holders;
                }
                if (holders > 1)
                    return DbError(err::AmbiguousColumn,
                                   QStringLiteral("The column name '%1' could belong to more than "
                                                  "one table in \"%2\": name it with its table "
                                                  "(Table.%1).")
                                       .arg(shown, stmt));
            }
            return DbError(err::TooFewParameters,
                           QStringLiteral("Unknown column '%1' in \"%2\".").arg(shown, stmt));
        }
        return DbError(err::SyntaxError, QStringLiteral("Syntax error near \"%1\" in \"%2\".")
                                             .arg(tokenAt(what.sql, offset), stmt));
    }
    if (what.jet) {
        const JetTranslation& t = *what.jet;
        for (const QString& table : t.tables) {
            if (!tableExists(db, table))
                return DbError(
                    err::ObjectNotFound,
                    QStringLiteral("Cannot find the table or query '%1' in %2.").arg(table, file));
        }
        if (!t.changedTable.isEmpty()) {
            const QStringList columns = columnsOf(db, t.changedTable);
            for (const QString& c : t.changedColumns) {
                if (!containsName(columns, c))
                    return DbError(err::TooFewParameters,
                                   QStringLiteral("Unknown column '%1' in \"%2\".").arg(c, stmt));
            }
        }
    }
    if (!what.preparing)
        return std::nullopt;
    // A view of the file that cannot be read: one written elsewhere, which may call what the
    // engine does not run.
    if (what.jet) {
        QStringList read = what.jet->tables;
        if (!what.jet->updatableTable.isEmpty())
            read << what.jet->updatableTable;  // a record set opened on the name
        for (const QString& table : read) {
            if (isView(db, table))
                return DbError(err::SyntaxError,
                               QStringLiteral("The view '%1' of the database file %2 cannot be "
                                              "read: it calls a function the engine does not run, "
                                              "or is written wrongly (\"%3\").")
                                   .arg(table, file, stmt));
        }
    }
    // What is left unexplained is the statement's size: SQLite's parser takes about a hundred
    // levels of parentheses and calls, its expressions a thousand operators deep.
    if (parenthesisDepth(what.sql) >= 16 || what.sql.size() > 20000)
        return DbError(err::QueryTooComplex,
                       QStringLiteral("The statement is too complex for the database engine: its "
                                      "expressions nest too deeply or run too long (\"%1\").")
                           .arg(stmt));
    return DbError(err::SyntaxError, QStringLiteral("Syntax error in \"%1\".").arg(stmt));
}

}  // namespace

QString readOnlyReasonText(const QString& file, ReadOnlyReason reason) {
    if (reason == ReadOnlyReason::Folder)
        return QStringLiteral(
                   "the folder holding the database file %1 is read-only (a change "
                   "needs room there for its journal file)")
            .arg(file);
    return QStringLiteral("the database file %1 is read-only").arg(file);
}

DbError sqliteFailure(sqlite3* db, int rc, const QString& file, ReadOnlyReason readOnly,
                      const FailedStatement& what) {
    const int primary = rc & 0xff;
    const QString msg = QString::fromUtf8(sqlite3_errmsg(db));
    const int offset = sqlite3_error_offset(db);
    const QString stmt = statementText(what);
    switch (primary) {
        case SQLITE_ERROR:
            if (auto e = functionError(msg, stmt))
                return *e;
            if (const auto call = what.preparing ? takeRefusedCall(db) : std::nullopt)
                return DbError(err::UndefinedFunction,
                               QStringLiteral("The database file %1 holds a trigger or view ('%2') "
                                              "that calls the function '%3', which the engine "
                                              "does not run; \"%4\" was not run.")
                                   .arg(file, call->schemaObject, call->function, stmt));
            if (auto e = unreadable(db, rc, file, what, offset))
                return *e;
            return DbError(
                err::TypeMismatch,
                QStringLiteral("The statement \"%1\" could not be evaluated: %2.").arg(stmt, msg));
        case SQLITE_CONSTRAINT: {
            // The checks the engine declares are named "kind:column".
            for (const char* kind : {"len", "type", "range", "yesno", "date"}) {
                const QString tag = QLatin1String(kind) + u':';
                const qsizetype at = msg.lastIndexOf(tag);
                if (rc != SQLITE_CONSTRAINT_CHECK || at < 0)
                    continue;
                const QString col = msg.mid(at + tag.size());
                if (tag == u"len:")
                    return DbError(
                        err::FieldTooSmall,
                        QStringLiteral("A text is too long for column '%1' (%2).").arg(col, stmt));
                if (tag == u"range:")
                    return DbError(err::NumericOverflow,
                                   QStringLiteral("A number is out of range for column '%1' (%2).")
                                       .arg(col, stmt));
                return DbError(err::TypeMismatch,
                               QStringLiteral("A value of the wrong kind for column '%1' (%2).")
                                   .arg(col, stmt));
            }
            if (rc == SQLITE_CONSTRAINT_NOTNULL)
                return DbError(err::NotNull,
                               QStringLiteral("A required value is missing (%1).").arg(stmt));
            if (rc == SQLITE_CONSTRAINT_UNIQUE || rc == SQLITE_CONSTRAINT_PRIMARYKEY)
                return DbError(
                    err::DuplicateKey,
                    QStringLiteral("The change would store a duplicate value (%1).").arg(stmt));
            return DbError(err::TypeMismatch,
                           QStringLiteral("The change breaks a rule of the table (%1).").arg(stmt));
        }
        case SQLITE_READONLY: {
            ReadOnlyReason reason =
                readOnly == ReadOnlyReason::None ? ReadOnlyReason::File : readOnly;
            if (rc == SQLITE_READONLY_DIRECTORY)
                reason = ReadOnlyReason::Folder;
            return DbError(
                err::ReadOnly,
                QStringLiteral("Cannot save: %1.").arg(readOnlyReasonText(file, reason)));
        }
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return DbError(err::Locked, QStringLiteral("The database file %1 is in use by another "
                                                       "program; try again.")
                                            .arg(file));
        case SQLITE_FULL:
            return DbError(err::DiskFull, QStringLiteral("The disk holding %1 is full.").arg(file));
        case SQLITE_IOERR:
            return DbError(
                err::DiskError,
                QStringLiteral("A disk error occurred reading or writing %1.").arg(file));
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return DbError(
                err::NotADatabase,
                QStringLiteral("The database file %1 is damaged or is not a database.").arg(file));
        case SQLITE_CANTOPEN:
            return DbError(err::CannotOpen,
                           QStringLiteral("Cannot open the database file %1 (or its journal) for "
                                          "writing.")
                               .arg(file));
        case SQLITE_MISMATCH:
            return DbError(err::TypeMismatch,
                           QStringLiteral("Data type mismatch in \"%1\".").arg(stmt));
        case SQLITE_TOOBIG:
            return DbError(err::FieldTooSmall,
                           QStringLiteral("A value is too large for the database engine in \"%1\".")
                               .arg(stmt));
        case SQLITE_NOMEM:
            return DbError(
                err::Internal,
                QStringLiteral("The database engine ran out of memory on \"%1\".").arg(stmt));
        default:
            break;
    }
    return DbError(
        err::Internal,
        QStringLiteral("The database engine failed on %1: %2 (%3).").arg(file, msg, stmt));
}

}  // namespace velmora::data
