#include "SqliteStatement.h"

#include "JetArithmetic.h"

#include <QHash>

#include <algorithm>

#include <cctype>

namespace velmora::data {

namespace {

bool hasMoreStatements(const char* tail) {
    for (const char* p = tail; p && *p; ++p) {
        if (!isspace(static_cast<unsigned char>(*p)) && *p != ';')
            return true;
    }
    return false;
}

}  // namespace

Statement::Statement(StatementCache& cache, const QByteArray& sql) {
    entry_ = cache.find(sql);
    if (entry_ && !entry_->busy) {
        stmt_ = entry_->stmt;
    } else {
        const char* tail = nullptr;
        rc_ = sqlite3_prepare_v2(cache.db(), sql.constData(), static_cast<int>(sql.size()), &stmt_,
                                 &tail);
        const bool more = hasMoreStatements(tail);
        if (rc_ == SQLITE_OK && stmt_ && !entry_) {
            entry_ = cache.add(sql, stmt_, more);
        } else {
            entry_ = nullptr;
            hasTail_ = more;
        }
    }
    if (entry_) {
        entry_->busy = true;
        hasTail_ = entry_->hasTail;
    }
}
Statement::~Statement() {
    if (entry_) {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
        entry_->busy = false;
    } else {
        sqlite3_finalize(stmt_);
    }
}

void requireWholeStatement(const Statement& st, const QString& context) {
    if (st.get() == nullptr)
        throw DbError(err::SyntaxError,
                      QStringLiteral("The statement is empty: \"%1\".").arg(context));
    if (st.hasTail())
        throw DbError(
            err::SyntaxError,
            QStringLiteral("Only one statement can be run at a time: \"%1\".").arg(context));
}

void bindValue(sqlite3_stmt* st, int index, const Value& v) {
    switch (v.type()) {
        case Value::Type::Null:
            sqlite3_bind_null(st, index);
            break;
        case Value::Type::Integer:
            sqlite3_bind_int64(st, index, v.toInt());
            break;
        case Value::Type::Real:
            // An infinite or undefined number is never stored: it reads back as nothing a
            // planner could use.
            sqlite3_bind_double(st, index, finiteOrOverflow(v.toDouble(), "a number given"));
            break;
        case Value::Type::Text:
            sqlite3_bind_text(st, index, v.utf8().data(), static_cast<int>(v.utf8().size()),
                              SQLITE_TRANSIENT);
            break;
    }
}

void bindValues(sqlite3_stmt* st, const std::vector<Value>& values, const QString& context,
                bool checked) {
    if (checked && sqlite3_bind_parameter_count(st) != static_cast<int>(values.size()))
        throw DbError(err::TooFewParameters,
                      QStringLiteral("The statement has %1 parameter markers but %2 values were "
                                     "given: \"%3\".")
                          .arg(sqlite3_bind_parameter_count(st))
                          .arg(values.size())
                          .arg(context));
    for (size_t i = 0; i < values.size(); ++i)
        bindValue(st, static_cast<int>(i + 1), values[i]);
}

void readColumn(sqlite3_stmt* st, int i, Value& into) {
    // The column's value is looked up once and read through it: each sqlite3_column_*
    // call looks the column up again and checks the connection's state on the way out,
    // which a result of many rows and columns pays for several times per value. The
    // connection is used by one thread, so reading the value directly is safe.
    sqlite3_value* v = sqlite3_column_value(st, i);
    switch (sqlite3_value_type(v)) {
        case SQLITE_INTEGER:
            into.assignInteger(sqlite3_value_int64(v));
            break;
        case SQLITE_FLOAT:
            into.assignReal(sqlite3_value_double(v));
            break;
        case SQLITE_NULL:
            into.assignNull();
            break;
        default: {
            const auto* p = reinterpret_cast<const char*>(sqlite3_value_text(v));
            into.assignText(p ? p : "", static_cast<size_t>(sqlite3_value_bytes(v)));
        }
    }
}

Value columnValue(sqlite3_stmt* st, int i) {
    switch (sqlite3_column_type(st, i)) {
        case SQLITE_INTEGER:
            return Value(static_cast<std::int64_t>(sqlite3_column_int64(st, i)));
        case SQLITE_FLOAT:
            return Value(sqlite3_column_double(st, i));
        case SQLITE_NULL:
            return {};
        default: {
            const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
            return Value(std::string(p ? p : "", static_cast<size_t>(sqlite3_column_bytes(st, i))));
        }
    }
}

std::vector<Field> statementFields(sqlite3_stmt* st, int first, const QString& updatableTable) {
    const int cols = sqlite3_column_count(st);
    std::vector<Field> fields;
    fields.reserve(static_cast<size_t>(std::max(0, cols - first)));
    QHash<QString, int> nameCount;
    std::vector<QString> folded;  // each name as compared, worked out once
    folded.reserve(fields.capacity());
    for (int i = first; i < cols; ++i) {
        Field f;
        f.name = QString::fromUtf8(sqlite3_column_name(st, i));
        const char* table = sqlite3_column_table_name(st, i);
        const char* origin = sqlite3_column_origin_name(st, i);
        const char* decl = sqlite3_column_decltype(st, i);
        if (table)
            f.table = QString::fromUtf8(table);
        if (origin)
            f.column = QString::fromUtf8(origin);
        if (decl)
            f.type = FieldType::fromDeclared(QString::fromUtf8(decl));
        f.writable = !updatableTable.isEmpty() && origin &&
                     f.table.compare(updatableTable, Qt::CaseInsensitive) == 0;
        folded.push_back(f.name.toCaseFolded());
        nameCount[folded.back()]++;
        fields.push_back(std::move(f));
    }
    for (size_t i = 0; i < fields.size(); ++i) {
        Field& f = fields[i];
        if (nameCount.value(folded[i]) > 1 && !f.table.isEmpty())
            f.name = f.table + u'.' + (f.column.isEmpty() ? f.name : f.column);
    }
    return fields;
}

}  // namespace velmora::data
