#include "PgPredicate.h"

#include "PgValues.h"
#include "data/JetSqlTranslator.h"

#include <QSet>

#include <algorithm>
#include <cmath>

namespace velmora::data::pg {

namespace {

// The name of the rows' position in a batch, beside the columns.
constexpr auto kPosition = "__velmora_position";

}  // namespace

PgPredicate::PgPredicate(std::shared_ptr<Database> owner, Rows rows, QString expr,
                         QStringList columns, QString criterion)
    : owner_(std::move(owner)),
      rows_(std::move(rows)),
      expr_(std::move(expr)),
      columns_(std::move(columns)),
      criterion_(std::move(criterion)),
      seen_(static_cast<size_t>(columns_.size()), Value::Type::Text),
      aliases_(static_cast<size_t>(columns_.size())),
      inBatch_(static_cast<size_t>(columns_.size())) {
    // A column is named by its name and, when that is qualified, by its bare name too; a
    // name already given to an earlier column is not given again.
    QSet<QString> named;
    for (int i = 0; i < columns_.size(); ++i) {
        auto add = [&](const QString& alias) {
            if (named.contains(alias.toLower()))
                return;
            named.insert(alias.toLower());
            aliases_[static_cast<size_t>(i)] << alias;
        };
        const QString& n = columns_[i];
        add(n);
        const qsizetype dot = n.lastIndexOf(u'.');
        if (dot > 0)
            add(n.mid(dot + 1));
    }
    // A batch sends only the columns the criterion names (the first one when it names none,
    // so that the statement still has the rows). A name found in the criterion's text only
    // inside a literal costs an array more; one the search missed fails the statement, and
    // the rows are then tested in turn.
    bool anyNamed = false;
    for (size_t i = 0; i < aliases_.size(); ++i) {
        for (const QString& alias : aliases_[i]) {
            if (alias.compare(QLatin1String(kPosition), Qt::CaseInsensitive) != 0 &&
                expr_.contains(postgresName(alias), Qt::CaseInsensitive)) {
                inBatch_[i] << alias;
                anyNamed = true;
            }
        }
    }
    if (!anyNamed && !aliases_.empty() && !aliases_.front().isEmpty() &&
        aliases_.front().front().compare(QLatin1String(kPosition), Qt::CaseInsensitive) != 0)
        inBatch_.front() << aliases_.front().front();
}

bool PgPredicate::matches(const std::vector<Value>& row) {
    QStringList cols;
    std::vector<Value> args;
    for (size_t i = 0; i < aliases_.size() && i < row.size(); ++i) {
        const Value& v = row[i];
        if (!v.isNull())
            seen_[i] = v.type();
        const QString type = serverTypeName(seen_[i]);
        for (const QString& alias : aliases_[i]) {
            args.push_back(v);
            cols << QStringLiteral("$%1::%2 AS %3").arg(args.size()).arg(type, postgresName(alias));
        }
    }
    if (cols.isEmpty())
        cols << QStringLiteral("NULL AS __none");
    const QString sql =
        QStringLiteral("SELECT CASE WHEN (%1) THEN 1 ELSE 0 END FROM (SELECT %2) AS row_")
            .arg(expr_, cols.join(u", "));
    try {
        const auto r = rows_(sql, args);
        return !r.empty() && r.front()[0].toInt() == 1;
    } catch (const DbError& e) {
        if (e.number() == err::TooFewParameters)
            throw DbError(err::CriteriaSyntax,
                          QStringLiteral("The criterion \"%1\" names a column the rows "
                                         "searched do not have: %2")
                              .arg(criterion_, e.text()));
        throw;
    }
}

namespace {

// The rows searched at first, and the most in one statement: a match near the start costs
// little, and a search of many rows a few round trips.
constexpr int kFirstBatch = 128;
constexpr int kLargestBatch = 8192;

// One element of a server array literal: numbers as they are sent alone, text quoted with
// its quotes and backslashes escaped.
void appendElement(QByteArray& out, const Value& v) {
    switch (v.type()) {
        case Value::Type::Null:
            out += "NULL";
            break;
        case Value::Type::Integer:
            out += QByteArray::number(static_cast<qlonglong>(v.toInt()));
            break;
        case Value::Type::Real:
            out += QByteArray::number(v.toDouble(), 'g', 17);
            break;
        case Value::Type::Text:
            out += '"';
            for (const char c : v.utf8()) {
                if (c == '"' || c == '\\')
                    out += '\\';
                out += c;
            }
            out += '"';
            break;
    }
}

}  // namespace

int PgPredicate::firstMatch(int from, int count, const RowAt& rowAt) {
    int batch = kFirstBatch;
    for (int start = from; start < count;
         start += batch, batch = std::min(batch * 8, kLargestBatch)) {
        const int end = std::min(count, start + batch);
        if (const std::optional<int> found = firstMatchInOne(start, end, rowAt)) {
            if (*found >= 0)
                return *found;
            continue;
        }
        for (int i = start; i < end; ++i) {
            if (matches(rowAt(i)))
                return i;
        }
    }
    return -1;
}

std::optional<int> PgPredicate::firstMatchInOne(int from, int to, const RowAt& rowAt) {
    if (to - from < 2)
        return std::nullopt;
    static const Value kNull;
    std::vector<Value::Type> types(seen_);
    QStringList arrays, names;
    std::vector<Value> args;
    for (size_t c = 0; c < inBatch_.size(); ++c) {
        if (inBatch_[c].isEmpty())
            continue;
        // The column's type in the batch: that of its values, numbers with fractions when
        // it holds both kinds of number, the type its values had before when all are Null.
        bool text = false, integer = false, real = false;
        QByteArray literal("{");
        for (int i = from; i < to; ++i) {
            const std::vector<Value>& row = rowAt(i);
            const Value& v = c < row.size() ? row[c] : kNull;
            if (v.type() == Value::Type::Real && !std::isfinite(v.toDouble()))
                return std::nullopt;  // refused as a single value is, with its own message
            text = text || v.type() == Value::Type::Text;
            integer = integer || v.type() == Value::Type::Integer;
            real = real || v.type() == Value::Type::Real;
            if (i > from)
                literal += ',';
            appendElement(literal, v);
        }
        if (text && (integer || real))
            return std::nullopt;
        if (text || integer || real)
            types[c] = text ? Value::Type::Text : (real ? Value::Type::Real : Value::Type::Integer);
        literal += '}';
        args.push_back(Value(literal.toStdString()));
        for (const QString& alias : inBatch_[c]) {
            arrays
                << QStringLiteral("$%1::%2 ARRAY").arg(args.size()).arg(serverTypeName(types[c]));
            names << postgresName(alias);
        }
    }
    if (arrays.isEmpty())
        return std::nullopt;
    const QString sql =
        QStringLiteral(
            "SELECT row_.%1 FROM unnest(%2) WITH ORDINALITY AS row_(%3, %1) WHERE CASE WHEN "
            "(%4) THEN 1 ELSE 0 END = 1 ORDER BY row_.%1 LIMIT 1")
            .arg(QLatin1String(kPosition), arrays.join(u", "), names.join(u", "), expr_);
    std::vector<std::vector<Value>> found;
    try {
        found = rows_(sql, args);
    } catch (const DbError&) {
        // Tested in turn, the rows before the first match are all that is evaluated: a
        // failure on a later row, or one of the batch's own, is not the search's.
        return std::nullopt;
    }
    seen_ = types;
    if (found.empty())
        return -1;
    return from + static_cast<int>(found.front()[0].toInt()) - 1;
}

}  // namespace velmora::data::pg
