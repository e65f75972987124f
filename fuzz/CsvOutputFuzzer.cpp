// velmora-sql's CSV output read back by a strict RFC 4180 reader: every header name and
// every value comes back exactly as the tool means to print it, whatever the texts hold
// (commas, quotes, line breaks, NUL characters), and numbers read back to themselves within
// the fifteen digits they are printed with.
#include "CsvOutput.h"
#include "FuzzChecks.h"
#include "data/Recordset.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>

using namespace velmora;
using velmora::fuzz::check;

namespace {

QString takeText(FuzzedDataProvider& in, std::size_t maxBytes) {
    const std::string s = in.ConsumeRandomLengthString(maxBytes);
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// RFC 4180: records end in CRLF; a field is either plain (no comma, quote, CR or LF) or in
// double quotes with quotes doubled. Anything else is a broken file.
std::vector<QStringList> readCsv(const QString& text) {
    std::vector<QStringList> records;
    QStringList record;
    QString field;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        if (text[i] == u'"') {
            ++i;
            for (;;) {
                check(i < n, "a quoted field is closed", text);
                if (text[i] == u'"') {
                    if (i + 1 < n && text[i + 1] == u'"') {
                        field += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i++];
            }
        } else {
            while (i < n && text[i] != u',' && text[i] != u'\r' && text[i] != u'\n') {
                check(text[i] != u'"', "a plain field holds no quote", text);
                field += text[i++];
            }
        }
        check(i < n, "the last record ends in CRLF", text);
        if (text[i] == u',') {
            record << field;
            field.clear();
            ++i;
            continue;
        }
        check(text.mid(i, 2) == QLatin1String("\r\n"), "records end in CRLF", text);
        record << field;
        field.clear();
        records.push_back(record);
        record.clear();
        i += 2;
    }
    return records;
}

data::FieldType typeOfKind(int kind) {
    data::FieldType t;
    t.kind = kind == 0   ? data::FieldType::Kind::Text
             : kind == 1 ? data::FieldType::Kind::Real
             : kind == 2 ? data::FieldType::Kind::Integer
                         : data::FieldType::Kind::Date;
    return t;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
    FuzzedDataProvider in(bytes, size);
    const int columns = in.ConsumeIntegralInRange<int>(1, 6);
    std::vector<data::Field> fields;
    std::vector<int> kinds;
    for (int c = 0; c < columns; ++c) {
        data::Field f;
        f.name = takeText(in, 12);
        kinds.push_back(in.ConsumeIntegralInRange<int>(0, 3));
        f.type = typeOfKind(kinds.back());
        fields.push_back(f);
    }
    std::vector<data::Recordset::Row> rows;
    const int rowCount = in.ConsumeIntegralInRange<int>(0, 5);
    for (int r = 0; r < rowCount; ++r) {
        data::Recordset::Row row;
        for (int c = 0; c < columns; ++c) {
            if (in.ConsumeIntegralInRange<int>(0, 5) == 0) {
                row.values.emplace_back();
                continue;
            }
            switch (kinds[static_cast<size_t>(c)]) {
                case 0:
                    row.values.emplace_back(takeText(in, 30));
                    break;
                case 1: {
                    const double d = in.ConsumeFloatingPoint<double>();
                    row.values.emplace_back(std::isfinite(d) ? d : 0.5);
                    break;
                }
                case 2:
                    row.values.emplace_back(in.ConsumeIntegral<std::int64_t>());
                    break;
                default: {
                    const int day = in.ConsumeIntegralInRange<int>(0, 3000000);
                    const int second = in.ConsumeIntegralInRange<int>(0, 86399);
                    const QDateTime dt(QDate::fromJulianDay(day + 1721426),
                                       QTime(0, 0).addSecs(in.ConsumeBool() ? 0 : second), Qt::UTC);
                    row.values.emplace_back(dt.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
                    break;
                }
            }
        }
        rows.push_back(std::move(row));
    }
    const data::Recordset rs(nullptr, QStringLiteral("fuzz"), QString(), fields, rows);
    // The tool writes the text as UTF-8 bytes.
    const QByteArray written = tools::recordsetToCsv(rs).toUtf8();
    const std::vector<QStringList> records = readCsv(QString::fromUtf8(written));
    check(records.size() == rows.size() + 1, "one record per row after the header");
    for (int c = 0; c < columns; ++c)
        check(records[0].value(c) == fields[static_cast<size_t>(c)].name,
              "the header holds the column names", fields[static_cast<size_t>(c)].name);
    for (size_t r = 0; r < rows.size(); ++r) {
        const QStringList& got = records[r + 1];
        check(got.size() == columns, "every record has every column");
        for (int c = 0; c < columns; ++c) {
            const data::Value& v = rows[r].values[static_cast<size_t>(c)];
            const QString& cell = got[c];
            if (v.isNull()) {
                check(cell.isEmpty(), "Null is an empty field", cell);
            } else if (v.type() == data::Value::Type::Real) {
                bool ok = false;
                const double back = cell.toDouble(&ok);
                check(ok, "a number reads back as a number", cell);
                check(back == v.toDouble() || std::fabs(back - v.toDouble()) <=
                                                  1e-14 * std::fabs(v.toDouble()) + 1e-300,
                      "a number reads back within fifteen digits", cell);
            } else {
                check(cell == tools::plainValue(v, fields[static_cast<size_t>(c)].type),
                      "a value reads back as printed", cell);
                if (v.type() == data::Value::Type::Text && kinds[static_cast<size_t>(c)] == 0)
                    check(cell == v.toString(), "a text reads back exactly", cell);
            }
        }
    }
    return 0;
}
