// INSERT, UPDATE, DELETE and the data definition statements other than CREATE TABLE.
#include "JetSqlParser.h"

namespace velmora::data {

QString JetSqlParser::insertStatement() {
    expectWord(u"INSERT");
    expectWord(u"INTO");
    QString sql = QStringLiteral("INSERT INTO ") + tableName(&out_.changedTable);
    if (atSymbol(u"(")) {
        take();
        QStringList names;
        for (;;) {
            if (!atName())
                fail(QStringLiteral("a column name is expected"));
            const QString name = plainName(take());
            out_.changedColumns << name;
            names << bracketed(name);
            if (!atSymbol(u","))
                break;
            take();
        }
        expectSymbol(u")");
        sql += QStringLiteral(" (") + names.join(QStringLiteral(", ")) + u')';
    } else if (forPostgres()) {
        // On the server every table made by the engine carries its row id as a column: a
        // source for all of a table's columns gives it a value first, which the server
        // replaces by its own.
        out_.insertsEveryColumn = true;
    }
    return sql + u' ' + insertSource(out_.insertsEveryColumn);
}

QString JetSqlParser::insertSource(bool rowIdFirst) {
    if (atWord(u"VALUES")) {
        take();
        expectSymbol(u"(");
        QStringList values;
        if (rowIdFirst)
            values << QStringLiteral("DEFAULT");
        for (;;) {
            values << valueOf(expression()).sql;
            if (!atSymbol(u","))
                break;
            take();
        }
        expectSymbol(u")");
        return QStringLiteral("VALUES (") + values.join(QStringLiteral(", ")) + u')';
    }
    if (atWord(u"SELECT") && rowIdFirst)
        return QStringLiteral("SELECT 0, s.* FROM (") + select(nullptr) + QStringLiteral(") AS s");
    if (atWord(u"SELECT"))
        return select(nullptr);
    fail(QStringLiteral("VALUES or SELECT is expected"));
}

QString JetSqlParser::updateStatement() {
    expectWord(u"UPDATE");
    QString table;
    QString sql = QStringLiteral("UPDATE ") + tableName(&table) + QStringLiteral(" SET ");
    out_.changedTable = table;
    expectWord(u"SET");
    for (bool first = true;; first = false) {
        if (!atName())
            fail(QStringLiteral("a column name is expected"));
        QString column = plainName(take());
        if (atSymbol(u".")) {
            // "SET Aircraft.TotalTime = ...": the table named must be the one updated.
            if (column.compare(table, Qt::CaseInsensitive) != 0)
                fail(QStringLiteral("only columns of %1 can be set").arg(table));
            take();
            if (!atName())
                fail(QStringLiteral("a column name is expected"));
            column = plainName(take());
        }
        out_.changedColumns << column;
        expectSymbol(u"=");
        if (!first)
            sql += QStringLiteral(", ");
        sql += bracketed(column) + QStringLiteral(" = ") + valueOf(expression()).sql;
        if (!atSymbol(u","))
            break;
        take();
    }
    if (atWord(u"WHERE")) {
        take();
        sql += QStringLiteral(" WHERE ") + rowCondition().sql;
    }
    return sql;
}

QString JetSqlParser::deleteStatement() {
    expectWord(u"DELETE");
    // Jet writes "DELETE * FROM t" and "DELETE t.* FROM t".
    if (atSymbol(u"*")) {
        take();
    } else if (atName() && atSymbol(u".", 1) && atSymbol(u"*", 2)) {
        take();
        take();
        take();
    }
    expectWord(u"FROM");
    QString sql = QStringLiteral("DELETE FROM ") + tableName(&out_.changedTable);
    if (atWord(u"WHERE")) {
        take();
        sql += QStringLiteral(" WHERE ") + rowCondition().sql;
    }
    return sql;
}

QString JetSqlParser::otherDefinition() {
    if (atWord(u"CREATE")) {
        take();
        QString sql = QStringLiteral("CREATE ");
        if (atWord(u"UNIQUE")) {
            take();
            sql += QStringLiteral("UNIQUE ");
        }
        expectWord(u"INDEX");
        if (!atName())
            fail(QStringLiteral("an index name is expected"));
        sql += QStringLiteral("INDEX ") + bracketed(plainName(take()));
        expectWord(u"ON");
        sql += QStringLiteral(" ON ") + tableName() + QStringLiteral(" (");
        expectSymbol(u"(");
        for (bool first = true;; first = false) {
            if (!atName())
                fail(QStringLiteral("a column name is expected"));
            if (!first)
                sql += QStringLiteral(", ");
            // On PostgreSQL the index holds the values as the translated comparisons read
            // them, so that they can use it.
            sql += forPostgres()
                       ? QLatin1String(kPgJetText) + u'(' + bracketed(plainName(take())) + u')'
                       : bracketed(plainName(take()));
            if (atWord(u"ASC") || atWord(u"DESC"))
                sql += u' ' + take().text.toUpper();
            if (!atSymbol(u","))
                break;
            take();
        }
        expectSymbol(u")");
        return sql + u')';
    }
    if (atWord(u"DROP")) {
        take();
        if (atWord(u"TABLE")) {
            take();
            return QStringLiteral("DROP TABLE ") + tableName();
        }
        expectWord(u"INDEX");
        if (!atName())
            fail(QStringLiteral("an index name is expected"));
        const QString sql = QStringLiteral("DROP INDEX ") + bracketed(plainName(take()));
        if (atWord(u"ON")) {  // Jet names the table too
            take();
            tableName();
        }
        return sql;
    }
    expectWord(u"ALTER");
    expectWord(u"TABLE");
    QString table;
    QString sql = QStringLiteral("ALTER TABLE ") + tableName(&table);
    if (atWord(u"ADD")) {
        take();
        if (atWord(u"COLUMN"))
            take();
        return sql + QStringLiteral(" ADD COLUMN ") + columnDefinition(table);
    }
    expectWord(u"DROP");
    if (atWord(u"COLUMN"))
        take();
    if (!atName())
        fail(QStringLiteral("a column name is expected"));
    return sql + QStringLiteral(" DROP COLUMN ") + bracketed(plainName(take()));
}

}  // namespace velmora::data
