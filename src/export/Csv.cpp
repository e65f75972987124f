#include "Csv.h"

#include "OutputFile.h"
#include "SpreadsheetText.h"

#include <algorithm>

#include <QAbstractItemModel>
#include <QDir>
#include <QStringList>

namespace velmora::exporting {

namespace {

data::Failure syntaxError(const QString& text) {
    return {data::err::SyntaxError, text};
}

}  // namespace

QString csvField(const std::optional<QString>& field, CsvFor reader) {
    if (!field)
        return {};
    const QString t = reader == CsvFor::People ? spreadsheetText(*field) : *field;
    if (!t.isEmpty() && !t.contains(u',') && !t.contains(u'"') && !t.contains(u'\n') &&
        !t.contains(u'\r'))
        return t;
    QString q = t;
    q.replace(u'"', QStringLiteral("\"\""));
    return u'"' + q + u'"';
}

QByteArray csvLine(const CsvRecord& record, CsvFor reader) {
    QString line;
    for (size_t i = 0; i < record.size(); ++i) {
        if (i > 0)
            line += u',';
        line += csvField(record[i], reader);
    }
    line += QStringLiteral("\r\n");
    return line.toUtf8();
}

data::MaybeFailure parseCsv(const QByteArray& utf8, std::vector<CsvRecord>* records,
                            std::vector<int>* lines) {
    const QString text = QString::fromUtf8(utf8);
    records->clear();
    if (lines)
        lines->clear();
    int recordLine = 1;
    CsvRecord record;
    QString field;
    bool quoted = false;    // the field began with a quote
    bool inQuotes = false;  // inside the quotes of a quoted field
    bool anything = false;  // the field has a character or quote so far
    int line = 1;
    auto endField = [&] {
        if (quoted || anything)
            record.push_back(field);
        else
            record.push_back(std::nullopt);
        field.clear();
        quoted = inQuotes = anything = false;
    };
    auto endRecord = [&] {
        endField();
        records->push_back(std::move(record));
        record.clear();
        if (lines)
            lines->push_back(recordLine);
    };
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (inQuotes) {
            if (c == u'"') {
                if (i + 1 < n && text[i + 1] == u'"') {
                    field += u'"';
                    ++i;
                } else {
                    inQuotes = false;
                }
            } else {
                if (c == u'\n')
                    ++line;
                field += c;
            }
            continue;
        }
        if (c == u',') {
            endField();
        } else if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            endRecord();
            ++line;
            recordLine = line;
        } else if (c == u'"') {
            if (anything || quoted)
                return syntaxError(
                    QStringLiteral("Line %1: a quote inside a field that is not quoted, or "
                                   "text after a closing quote.")
                        .arg(line));
            quoted = inQuotes = true;
        } else {
            if (quoted)
                return syntaxError(
                    QStringLiteral("Line %1: text after a closing quote.").arg(line));
            field += c;
            anything = true;
        }
    }
    if (inQuotes)
        return syntaxError(QStringLiteral("Line %1: a quoted field is not closed.").arg(line));
    // A last line without its line end.
    if (quoted || anything || !record.empty())
        endRecord();
    return std::nullopt;
}

QByteArray tableToCsv(const QAbstractItemModel& model, const std::vector<int>& columns) {
    std::vector<int> rows(static_cast<size_t>(std::max(0, model.rowCount())));
    for (size_t r = 0; r < rows.size(); ++r)
        rows[r] = static_cast<int>(r);
    return tableToCsv(model, columns, rows, [&model](int r, int c) -> std::optional<QString> {
        const QString t = model.data(model.index(r, c), Qt::DisplayRole).toString();
        return t.isEmpty() ? std::nullopt : std::optional<QString>(t);
    });
}

QByteArray tableToCsv(const QAbstractItemModel& model, const std::vector<int>& columns,
                      const std::vector<int>& rows, const CsvCell& cell) {
    QByteArray out;
    CsvRecord header;
    for (int c : columns)
        header.push_back(model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString());
    out += csvLine(header, CsvFor::People);
    CsvRecord record(columns.size());
    for (int r : rows) {
        for (size_t i = 0; i < columns.size(); ++i)
            record[i] = cell(r, columns[i]);
        out += csvLine(record, CsvFor::People);
    }
    return out;
}

data::MaybeFailure writeCsvFile(const QString& path, const QByteArray& csv) {
    if (auto failure = writeOutputFile(path, csv)) {
        failure->text = QStringLiteral("The file %1 cannot be written: %2")
                            .arg(QDir::toNativeSeparators(path), failure->text);
        return failure;
    }
    return std::nullopt;
}

}  // namespace velmora::exporting
