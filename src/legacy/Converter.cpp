#include "Converter.h"

#include "ExtendedDate.h"
#include "QueryOrder.h"
#include "TargetTables.h"
#include "ValueConversion.h"
#include "data/DbError.h"
#include "data/JetSqlTranslator.h"
#include "data/Schema.h"

#include <QHash>
#include <QSet>

namespace velmora::legacy {

namespace {

using data::Database;
using data::DbError;

// How often, in rows, progress is told.
constexpr qint64 kProgressEvery = 500;

// A source table and where its rows go.
struct TablePlan {
    const SourceTable* source = nullptr;
    QString target;      // empty: not copied
    QString treatment;   // for the report
    bool known = false;  // Velmora's table (or a make's template table): already made
    bool templateTable = false;
};

// A source column and the column of the new file it goes to.
struct ColumnPlan {
    int source = 0;  // index in the source row
    QString target;
    data::FieldType type;
    bool bytes = false;
};

// Names the new file cannot give a table or column of the source: the engine's own (its
// stored queries' table, the row id it reads with a table's rows, SQLite's tables) and
// names it cannot quote.
bool reservedName(const QString& name) {
    return name.startsWith(QLatin1String("sqlite_"), Qt::CaseInsensitive) ||
           name.compare(QLatin1String("_StoredQueries"), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String(data::kRowIdColumn), Qt::CaseInsensitive) == 0 ||
           name.trimmed().isEmpty() || name.contains(u']');
}

QString reservedReason(const QString& name) {
    if (name.contains(u']'))
        return QStringLiteral("its name contains ']', which a Velmora name cannot hold");
    if (name.trimmed().isEmpty())
        return QStringLiteral("it has no name");
    return QStringLiteral("its name is kept for Velmora's own use");
}

QSet<QString> indexedMakes(TableSource& source, const std::vector<SourceTable>& tables) {
    QSet<QString> makes;
    for (const SourceTable& t : tables) {
        if (t.name.compare(QLatin1String("Aircraft"), Qt::CaseInsensitive) != 0)
            continue;
        int makeAt = -1;
        for (size_t c = 0; c < t.columns.size(); ++c) {
            if (t.columns[c].name.compare(QLatin1String("Make"), Qt::CaseInsensitive) == 0)
                makeAt = static_cast<int>(c);
        }
        if (makeAt < 0)
            break;
        auto rows = source.rows(t.name);
        std::vector<SourceValue> row;
        while (rows->next(&row)) {
            const SourceValue& v = row[static_cast<size_t>(makeAt)];
            if (v.kind() == SourceValue::Kind::Text)
                makes.insert(v.text().toCaseFolded());
        }
        break;
    }
    return makes;
}

bool hasTemplateColumns(const SourceTable& t) {
    for (const QString& name : templateColumns()) {
        bool found = false;
        for (const SourceColumn& c : t.columns)
            found = found || c.name.compare(name, Qt::CaseInsensitive) == 0;
        if (!found)
            return false;
    }
    return true;
}

std::vector<TablePlan> planTables(TableSource& source, TargetKind kind,
                                  const std::vector<SourceTable>& tables) {
    const QStringList known = knownTables(kind);
    const QSet<QString> makes =
        kind == TargetKind::Templates ? indexedMakes(source, tables) : QSet<QString>();
    std::vector<TablePlan> plans;
    for (const SourceTable& t : tables) {
        TablePlan p;
        p.source = &t;
        for (const QString& k : known) {
            if (t.name.compare(k, Qt::CaseInsensitive) == 0) {
                p.target = k;
                p.known = true;
                p.treatment = QStringLiteral("Velmora's table %1").arg(k);
            }
        }
        if (!p.known && reservedName(t.name)) {
            p.treatment = QStringLiteral("not copied: ") + reservedReason(t.name);
        } else if (!p.known && kind == TargetKind::Templates &&
                   (makes.contains(t.name.toCaseFolded()) || hasTemplateColumns(t))) {
            p.target = t.name;
            p.known = true;
            p.templateTable = true;
            p.treatment = QStringLiteral("template table of make %1").arg(t.name);
        } else if (!p.known) {
            p.target = t.name;
            p.treatment = QStringLiteral("copied unchanged");
        }
        plans.push_back(p);
    }
    return plans;
}

// The columns of a table copied as it is that can be kept in the new file.
std::vector<SourceColumn> keptColumns(const SourceTable& t) {
    std::vector<SourceColumn> out;
    QSet<QString> names;
    for (const SourceColumn& c : t.columns) {
        QString why;
        if (keptColumnType(c, &why).isEmpty() || reservedName(c.name) ||
            names.contains(c.name.toCaseFolded()))
            continue;
        names.insert(c.name.toCaseFolded());
        out.push_back(c);
    }
    return out;
}

// The columns of the new table the source's columns go to; columns the new table lacks
// are added as they are, columns that cannot be kept are reported.
std::vector<ColumnPlan> planColumns(Database& db, const TablePlan& plan, TableReport* table,
                                    ConversionReport* report) {
    const SourceTable& source = *plan.source;
    const std::vector<data::Field> fields = columnsOf(db, plan.target);
    auto find = [&](const QString& name) -> const data::Field* {
        for (const data::Field& f : fields) {
            if (f.name.compare(name, Qt::CaseInsensitive) == 0)
                return &f;
        }
        return nullptr;
    };
    std::vector<ColumnPlan> out;
    QSet<QString> used;
    for (size_t i = 0; i < source.columns.size(); ++i) {
        const SourceColumn& c = source.columns[i];
        const QString what = QStringLiteral("column %1 of table %2").arg(c.name, source.name);
        QString why;
        if (keptColumnType(c, &why).isEmpty()) {
            report->skipped.push_back({what, why});
            continue;
        }
        if (reservedName(c.name)) {
            report->skipped.push_back({what, reservedReason(c.name)});
            continue;
        }
        if (used.contains(c.name.toCaseFolded())) {
            report->skipped.push_back(
                {what, QStringLiteral("another column has the same name but for letter case")});
            continue;
        }
        used.insert(c.name.toCaseFolded());
        if (c.calculated)
            table->calculated << QStringLiteral("%1 (%2)").arg(c.name, c.expression);
        if (const data::Field* f = find(c.name)) {
            out.push_back({static_cast<int>(i), f->name, f->type, holdsBytes(c) && !plan.known});
            continue;
        }
        const data::Field added = addKeptColumn(db, plan.target, c);
        if (plan.known)
            table->columnsKept << c.name;
        out.push_back({static_cast<int>(i), added.name, added.type, holdsBytes(c)});
    }
    if (plan.known) {
        for (const data::Field& f : fields) {
            if (!used.contains(f.name.toCaseFolded()))
                table->columnsAbsent << f.name;
        }
    }
    return out;
}

// Why a text written to a text column is no valid text: a NUL, or a control character other
// than tab, line feed and carriage return (what text read with the wrong rules, or bytes
// read as text, look like). Empty when it is valid.
QString invalidTextReason(const QString& text) {
    for (const QChar c : text) {
        if (c == u'\0')
            return QStringLiteral("it holds a NUL character");
    }
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if ((u < 0x20 && u != u'\t' && u != u'\n' && u != u'\r') || (u >= 0x7F && u < 0xA0))
            return QStringLiteral("it holds the control character U+%1")
                .arg(QString::number(u, 16).toUpper().rightJustified(4, u'0'));
    }
    return {};
}

// The text with its control characters shown as \xNN, for the report.
QString shownText(const QString& text) {
    QString out;
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u < 0x20 || (u >= 0x7F && u < 0xA0))
            out += QStringLiteral("\\x%1").arg(static_cast<int>(u), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

// Rows are written many to a statement: running a statement costs more than writing a row.
constexpr int kRowsPerStatement = 50;

// INSERT of the given number of rows, their values bound in order.
QString insertStatement(const QString& table, const std::vector<ColumnPlan>& columns, int rows) {
    if (columns.empty())
        return QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(data::quoteSqliteName(table));
    QStringList names, tuples;
    for (const ColumnPlan& c : columns)
        names << data::quoteSqliteName(c.target);
    for (int r = 0; r < rows; ++r) {
        QStringList markers;
        for (size_t i = 0; i < columns.size(); ++i) {
            const auto n = static_cast<qsizetype>(r) * static_cast<qsizetype>(columns.size()) +
                           static_cast<qsizetype>(i) + 1;
            // Bytes travel as text and are stored as they are, as a blob.
            markers << (columns[i].bytes ? QStringLiteral("CAST(?%1 AS BLOB)").arg(n)
                                         : QStringLiteral("?%1").arg(n));
        }
        tuples << u'(' + markers.join(u',') + u')';
    }
    return QStringLiteral("INSERT INTO %1 (%2) VALUES %3")
        .arg(data::quoteSqliteName(table), names.join(u','), tuples.join(u','));
}

// A row the new table refuses for its values; any other failure (a full disk, a file that
// cannot be written) ends the conversion.
bool isRowProblem(const DbError& e) {
    switch (e.number()) {
        case data::err::TypeMismatch:
        case data::err::FieldTooSmall:
        case data::err::NumericOverflow:
        case data::err::NotNull:
        case data::err::DuplicateKey:
            return true;
        default:
            break;
    }
    return false;
}

class RowCopier {
  public:
    RowCopier(TableSource& source, Database& db, const ProgressFn& progress, qint64 total,
              ConversionReport* report)
        : source_(source), db_(db), progress_(progress), total_(total), report_(report) {}

    void copy(const TablePlan& plan, const std::vector<ColumnPlan>& columns, TableReport* t) {
        const size_t width = columns.size();
        const int batch = width == 0 ? 1 : kRowsPerStatement;
        Batch b{plan,
                insertStatement(plan.target, columns, 1),
                insertStatement(plan.target, columns, batch),
                width,
                batch,
                {},
                {}};
        b.values.reserve(width * static_cast<size_t>(batch));
        auto rows = source_.rows(plan.source->name);
        std::vector<SourceValue> row;
        while (rows->next(&row)) {
            ++t->rowsRead;
            for (size_t i = 0; i < width; ++i) {
                const ColumnPlan& c = columns[i];
                const SourceValue& v = row[static_cast<size_t>(c.source)];
                StoredValue s = toStoredValue(v, c.type, c.target);
                const QString& column = plan.source->columns[static_cast<size_t>(c.source)].name;
                if (!s.problem.isEmpty())
                    report_->addValueProblem(
                        {plan.source->name, t->rowsRead, column, v.exactText(), s.problem});
                if (c.type.kind == data::FieldType::Kind::Text && !c.bytes &&
                    s.value.type() == data::Value::Type::Text) {
                    const QString text = s.value.toString();
                    if (const QString why = invalidTextReason(text); !why.isEmpty())
                        report_->addTextFinding(
                            {plan.source->name, t->rowsRead, column, shownText(text), why});
                }
                b.values.push_back(std::move(s.value));
            }
            b.rows.push_back(t->rowsRead);
            if (static_cast<int>(b.rows.size()) == batch)
                write(b, t);
            step();
        }
        write(b, t);
        if (const qint64 unreadable = rows->unreadableRows(); unreadable > 0)
            report_->skipped.push_back(
                {QStringLiteral("%1 rows of table %2").arg(unreadable).arg(plan.source->name),
                 QStringLiteral("the file's bytes for them are damaged")});
        else if (t->rowsRead < plan.source->rowCount)
            report_->skipped.push_back(
                {QStringLiteral("%1 rows of table %2")
                     .arg(plan.source->rowCount - t->rowsRead)
                     .arg(plan.source->name),
                 QStringLiteral("the table's definition counts %1 rows, but only %2 could be "
                                "read: the file is damaged or cut short")
                     .arg(plan.source->rowCount)
                     .arg(t->rowsRead)});
    }

    void step() {
        ++done_;
        if (done_ % kProgressEvery == 0)
            tell();
    }
    void tell() {
        if (progress_ && !progress_(done_, total_))
            throw ConversionCancelled();
    }

  private:
    // Rows converted and waiting to be written.
    struct Batch {
        const TablePlan& plan;
        QString oneRow, fullBatch;
        size_t width;
        int size;
        std::vector<data::Value> values;
        std::vector<qint64> rows;  // their numbers in the source
    };

    // Writes the rows waiting: all in one statement when the batch is full; a batch the
    // table refuses, or one not full, row by row, so that only refused rows are left out.
    void write(Batch& b, TableReport* t) {
        const auto count = static_cast<qint64>(b.rows.size());
        if (count == 0)
            return;
        bool written = false;
        if (count == b.size && b.size > 1) {
            try {
                db_.executeBound(b.fullBatch, b.values);
                written = true;
            } catch (const DbError& e) {
                if (!isRowProblem(e))
                    throw;
            }
        }
        if (written) {
            t->rowsWritten += count;
        } else {
            std::vector<data::Value> one(b.width);
            for (qint64 r = 0; r < count; ++r) {
                const auto first = static_cast<size_t>(r) * b.width;
                std::move(b.values.begin() + static_cast<std::ptrdiff_t>(first),
                          b.values.begin() + static_cast<std::ptrdiff_t>(first + b.width),
                          one.begin());
                try {
                    db_.executeBound(b.oneRow, one);
                    ++t->rowsWritten;
                } catch (const DbError& e) {
                    if (!isRowProblem(e))
                        throw;
                    report_->skipped.push_back({QStringLiteral("row %1 of table %2")
                                                    .arg(b.rows[static_cast<size_t>(r)])
                                                    .arg(b.plan.source->name),
                                                e.text()});
                }
            }
        }
        b.values.clear();
        b.rows.clear();
    }

    TableSource& source_;
    Database& db_;
    const ProgressFn& progress_;
    qint64 total_;
    ConversionReport* report_;
    qint64 done_ = 0;
};

// A name for a kept query that no table or query of the new file has yet.
QString freeQueryName(Database& db, const QString& name) {
    for (int n = 1;; ++n) {
        const QString candidate = n == 1 ? QStringLiteral("%1 (Jet)").arg(name)
                                         : QStringLiteral("%1 (Jet %2)").arg(name).arg(n);
        if (!db.hasTable(candidate) && !db.hasQueryDef(candidate))
            return candidate;
    }
}

// Why a stored query is not kept although its text could be rebuilt; empty when it may be.
QString queryLeftOut(const QString& sql) {
    if (sql.contains(QLatin1String("[Forms]!"), Qt::CaseInsensitive) ||
        sql.contains(QLatin1String("Forms!"), Qt::CaseInsensitive))
        return QStringLiteral(
            "it reads a value from a form of the Access file ([Forms]!...), "
            "which Velmora does not have");
    return {};
}

void copyQueries(TableSource& source, Database& db, ConversionReport* report) {
    // Each query is kept after those it reads; the report lists them as the file does.
    const std::vector<SourceQuery> queries = source.queries();
    const QueryOrder order = orderQueries(queries);
    std::vector<QueryReport> reports(queries.size());
    std::vector<bool> kept(queries.size(), false);
    QHash<QString, size_t> byName;
    for (size_t i = 0; i < queries.size(); ++i)
        byName.insert(queries[i].name.toLower(), i);
    for (const size_t i : order.order) {
        const SourceQuery& q = queries[i];
        QueryReport& r = reports[i];
        r.name = q.name;
        r.sql = q.sql;
        if (q.sql.isEmpty() || !queryLeftOut(q.sql).isEmpty()) {
            r.reason = q.sql.isEmpty() ? q.problem : queryLeftOut(q.sql);
            continue;
        }
        if (!order.circle[i].isEmpty()) {
            r.reason = order.circle[i];
            continue;
        }
        QStringList missing;
        for (const QString& other : order.reads[i]) {
            if (!kept[byName.value(other.toLower())])
                missing << other;
        }
        if (!missing.isEmpty()) {
            r.reason = QStringLiteral("it reads the query %1, which is not kept")
                           .arg(missing.join(QStringLiteral(", ")));
            continue;
        }
        QString name = q.name;
        if (db.hasTable(name) || db.hasQueryDef(name)) {
            name = freeQueryName(db, q.name);
            r.reason =
                QStringLiteral("the new file has a table or query of its own named %1").arg(q.name);
        }
        try {
            db.createQueryDef(name, q.sql);
            r.keptAs = name;
            // Under another name, the queries that read it would read the new file's own.
            kept[i] = name == q.name;
        } catch (const DbError& e) {
            // The query's text follows in the report: the message need not repeat it.
            r.reason = QStringLiteral("Velmora cannot run it: ") +
                       QString(e.text()).replace(u'"' + q.sql + u'"', QStringLiteral("the query"));
        }
    }
    for (QueryReport& r : reports)
        report->queries.push_back(std::move(r));
}

// Date/Time Extended columns go into date columns where every value of theirs fits one
// (whole seconds, from the year 100 on). A column with a value that does not is kept as the
// values' exact text, which sorts as the dates do; why is returned by table and column.
QHash<QString, QStringList> settleExtendedDates(TableSource& source,
                                                std::vector<SourceTable>* tables) {
    QHash<QString, QStringList> asText;
    for (SourceTable& t : *tables) {
        std::vector<size_t> extended;
        for (size_t c = 0; c < t.columns.size(); ++c) {
            if (t.columns[c].type == JetType::DateTimeExtended && !t.columns[c].calculated)
                extended.push_back(c);
        }
        if (extended.empty())
            continue;
        std::vector<QString> misfit(t.columns.size());
        auto rows = source.rows(t.name);
        std::vector<SourceValue> row;
        for (qint64 n = 1; rows->next(&row); ++n) {
            for (const size_t c : extended) {
                const SourceValue& v = row[c];
                if (!misfit[c].isEmpty() || v.kind() != SourceValue::Kind::DateTimeExtended)
                    continue;
                if (const QString why = extendedDateMisfit(v.ticks()); !why.isEmpty())
                    misfit[c] = QStringLiteral("%1 in row %2").arg(why).arg(n);
            }
        }
        for (const size_t c : extended) {
            if (misfit[c].isEmpty())
                continue;
            t.columns[c].type = JetType::Text;
            t.columns[c].length = static_cast<int>(extendedDateText(0).size());
            asText[t.name] << QStringLiteral("%1 (%2)").arg(t.columns[c].name, misfit[c]);
        }
    }
    return asText;
}

}  // namespace

qint64 totalRows(TableSource& source) {
    qint64 n = 0;
    for (const SourceTable& t : source.tables())
        n += t.rowCount;
    return n;
}

void copyTables(TableSource& source, TargetKind kind, Database& db, const ProgressFn& progress,
                ConversionReport* report) {
    std::vector<SourceTable> tables = source.tables();
    const QHash<QString, QStringList> datesAsText = settleExtendedDates(source, &tables);
    for (const SourceObject& o : source.otherObjects())
        report->skipped.push_back({QStringLiteral("table %1").arg(o.name), o.reason});
    const std::vector<TablePlan> plans = planTables(source, kind, tables);
    qint64 total = 0;
    for (const TablePlan& p : plans)
        total += p.target.isEmpty() ? 0 : p.source->rowCount;

    RowCopier copier(source, db, progress, total, report);
    copier.tell();
    for (const TablePlan& plan : plans) {
        TableReport t;
        t.source = plan.source->name;
        t.target = plan.target;
        t.treatment = plan.treatment;
        t.datesAsText = datesAsText.value(plan.source->name);
        const std::vector<SourceColumn> kept = keptColumns(*plan.source);
        if (!plan.known && !plan.target.isEmpty() && kept.empty()) {
            t.target.clear();
            t.treatment = QStringLiteral("not copied: none of its columns can be kept");
        } else if (!plan.target.isEmpty()) {
            try {
                if (plan.templateTable)
                    db.execute(data::schema::templateTableStatement(plan.target));
                else if (!plan.known)
                    createKeptTable(db, plan.target, kept);
                const std::vector<ColumnPlan> columns = planColumns(db, plan, &t, report);
                copier.copy(plan, columns, &t);
            } catch (const DbError& e) {
                if (isJetFileFailure(e))
                    throw;  // the source's failure (or a cancel), told as it is
                // A file that cannot take a table's rows cannot be completed at all.
                throw DbError(e.number(), QStringLiteral("Table '%1' cannot be written: %2")
                                              .arg(plan.source->name, e.text()));
            }
        }
        report->tables.push_back(t);
    }
    copier.tell();
    copyQueries(source, db, report);
}

}  // namespace velmora::legacy
