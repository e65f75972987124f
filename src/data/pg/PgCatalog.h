#pragma once

// What the PostgreSQL back end knows of a data set's catalog, kept between statements: the
// tables and their columns, the spellings of names the server keeps in lower case, which
// names are tables and which stored queries. Another workstation may change a table: what
// could be stale is asked again (a table's columns each time, the rest after a rollback or
// a new session).

#include "data/FieldType.h"
#include "data/JetSqlTranslator.h"
#include "data/Value.h"
#include "start/ServerStart.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <libpq-fe.h>

#include <functional>
#include <optional>
#include <vector>

namespace velmora::data::pg {

// The engine's tables of stored queries and of spellings; the launcher's start of a session
// names them too.
inline const QString kQueryTable = QString::fromLatin1(start::kStoredQueriesTable);
inline const QString kNamesTable = QString::fromLatin1(start::kNamesTable);

// What a column of a table is: its name as spelled, and its type.
struct ColumnInfo {
    QString name;
    FieldType type;
};
struct TableInfo {
    QString name;                    // as the server keeps it (lower case)
    QHash<int, ColumnInfo> columns;  // by column number
    bool ofRows = false;             // a table of rows: no view, whose rows a query makes
};

// What the catalog asks of the session it belongs to.
struct CatalogSession {
    // The rows of one of the engine's own statements, run without a savepoint of its own.
    std::function<std::vector<std::vector<Value>>(const QString& sql,
                                                  const std::vector<Value>& args)>
        rows;
    // Runs one of the engine's own statements under a savepoint of its own.
    std::function<void(const QString& sql)> exec;
    // Tables or spellings are about to change: what is prepared against the tables is
    // prepared afresh, and a rollback forgets what is known of them.
    std::function<void()> changed;
};

class PgCatalog {
  public:
    PgCatalog(QString schema, CatalogSession session)
        : schema_(std::move(schema)), session_(std::move(session)) {}

    // A new session found these tables of the engine's own at its start, and these tables
    // and views (as the server names them) in the data set's schema.
    void sessionStarted(bool hasQueryTable, bool hasNamesTable, const QStringList& tables);

    // The data set's tables, as spelled, in order; without the engine's own.
    QStringList tableNames();

    // The spelling of a name kept in lower case by the server.
    QString spelled(const QString& name) {
        loadNames();
        return names_.value(name.toLower(), name);
    }

    // The columns of the tables of these numbers read, in one round trip, where they are
    // not known yet; tableInfo then needs none.
    void readTables(const std::vector<Oid>& oids);
    const TableInfo* tableInfo(Oid oid);

    // A table's columns in their order, without the row id; none for a name the server does
    // not know as a table. Asked each time: another workstation may change a table.
    QStringList columnsOf(const QString& table);

    // A translation made whole with what only the server's catalog knows: each * marker
    // replaced by the columns of its table, qualified as written, and an INSERT without a
    // column list given the table's columns. A table the server does not know is left to the
    // statement's own error.
    JetTranslation completed(JetTranslation t);

    // Tables or spellings change: what is prepared against the tables is prepared afresh,
    // and a rollback forgets what is known of them.
    void markChanged();

    void ensureNamesTable();
    void keepSpellings(const QStringList& spellings);

    // The table that keeps the stored queries.
    bool hasQueryTable();
    void ensureQueryTable();

    // What a name (without brackets) stands for: a table, a stored query (its text; null
    // when there is none), or neither. Both are asked in one round trip, and the answer is
    // kept until the next statement: opening a source or storing a query asks both in turn.
    struct NameLookup {
        QString key;  // the name in lower case
        bool isTable = false;
        QString querySql;
    };
    const NameLookup& lookUp(const QString& name);

    // Whether a name (without brackets) is a table of the data set. A name once found to be a
    // table is not asked again until the tables change: a table goes before a stored query of
    // its name, and a table another workstation drops fails the statement that reads it.
    bool isTable(const QString& name);

    // The stored queries among names a statement reads (a table of that name goes first).
    // A name once found to be a table is not asked again until the tables change.
    StoredQueryTexts storedQueries();

    // Each statement may change what a name stands for.
    void forgetLookup() { lastLookup_.reset(); }
    // A table was made or altered: its columns are read again.
    void forgetTables() { tables_.clear(); }
    // A name found to be a table earlier may be one no more (its making rolled back).
    void forgetTable(const QString& name) { knownTables_.remove(name.toLower()); }
    // A rollback undid tables or spellings, or a new session took over (which keeps the
    // names found to be tables).
    void forget(bool namesFoundToBeTables);

  private:
    void loadNames();

    QString schema_;
    CatalogSession session_;
    bool queryTableKnown_ = false;
    bool namesTableSeen_ = false;  // the session's start found the table of names
    bool namesLoaded_ = false;
    QHash<QString, QString> names_;  // lower case -> as spelled
    QHash<Oid, TableInfo> tables_;
    std::optional<NameLookup> lastLookup_;
    QSet<QString> knownTables_;  // names (in lower case) found to be tables
};

}  // namespace velmora::data::pg
