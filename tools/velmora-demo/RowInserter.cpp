#include "RowInserter.h"

#include "data/JetSqlTranslator.h"

#include <charconv>
#include <cmath>
#include <iterator>

namespace velmora::demo {

namespace {

// Rows per statement: large enough that preparing is a small share of the work, small
// enough to keep the bound text around a megabyte at most.
constexpr int kRowsPerStatement = 1000;

void appendString(std::string* out, const std::string& s) {
    static const char kHex[] = "0123456789abcdef";
    out->push_back('"');
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out->push_back('\\');
            out->push_back(ch);
        } else if (c < 0x20) {
            out->append("\\u00");
            out->push_back(kHex[c >> 4]);
            out->push_back(kHex[c & 0xF]);
        } else {
            out->push_back(ch);
        }
    }
    out->push_back('"');
}

template <typename Number>
void appendNumber(std::string* out, Number n) {
    char buf[32];
    const auto r = std::to_chars(std::begin(buf), std::end(buf), n);
    out->append(buf, r.ptr);
}

}  // namespace

void appendJson(std::string* out, const data::Value& v) {
    switch (v.type()) {
        case data::Value::Type::Null:
            out->append("null");
            break;
        case data::Value::Type::Integer:
            appendNumber(out, v.toInt());
            break;
        case data::Value::Type::Real: {
            const double d = v.toDouble();
            if (std::isfinite(d))
                appendNumber(out, d);  // the shortest text that reads back as d
            else
                out->append("null");  // JSON has no infinities; SQLite stores them as Null
            break;
        }
        case data::Value::Type::Text:
            appendString(out, v.utf8());
            break;
    }
}

RowInserter::RowInserter(data::Database& db, const QString& table, const QStringList& columns)
    : db_(db), columns_(static_cast<int>(columns.size())) {
    if (columns.isEmpty())
        throw data::DbError(data::err::Internal,
                            QStringLiteral("No columns were given for table '%1'.").arg(table));
    QStringList names, values;
    for (int i = 0; i < columns_; ++i) {
        names << data::quoteJetName(columns[i]);
        values << QStringLiteral("value ->> %1").arg(i);
    }
    statement_ = QStringLiteral("INSERT INTO %1 (%2) SELECT %3 FROM json_each(?1)")
                     .arg(data::quoteJetName(table), names.join(QStringLiteral(", ")),
                          values.join(QStringLiteral(", ")));
}

void RowInserter::add(const std::vector<data::Value>& row) {
    if (static_cast<int>(row.size()) != columns_)
        throw data::DbError(data::err::Internal,
                            QStringLiteral("A row of %1 values was given for %2 columns (%3).")
                                .arg(row.size())
                                .arg(columns_)
                                .arg(statement_));
    batch_.push_back(pendingRows_ == 0 ? '[' : ',');
    batch_.push_back('[');
    for (size_t i = 0; i < row.size(); ++i) {
        if (i > 0)
            batch_.push_back(',');
        appendJson(&batch_, row[i]);
    }
    batch_.push_back(']');
    ++pendingRows_;
    ++added_;
    if (pendingRows_ == kRowsPerStatement)
        write();
}

void RowInserter::finish() {
    if (pendingRows_ > 0)
        write();
}

void RowInserter::write() {
    batch_.push_back(']');
    db_.executeBound(statement_, {data::Value(std::move(batch_))});
    batch_.clear();
    pendingRows_ = 0;
}

}  // namespace velmora::demo
