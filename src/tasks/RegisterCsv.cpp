#include "RegisterCsv.h"

#include "TaskRules.h"
#include "TaskStore.h"
#include "TaskWrites.h"
#include "data/TextKey.h"
#include "data/Value.h"
#include "export/Csv.h"
#include "export/SpreadsheetText.h"

#include <QHash>

#include <cmath>

namespace velmora::tasks {

namespace {

enum Col {
    Kind,
    Number,
    Revision,
    RevisionDate,
    EffectiveDate,
    Title,
    Authority,
    AppliesToCol,
    Make,
    Model,
    PartNumber,
    Serials,
    Meter,
    IntervalFirst,
    ThresholdFirst = IntervalFirst + kParameterCount,
    ThresholdFromCol = ThresholdFirst + kParameterCount,
    ToleranceFirst,
    Notes = ToleranceFirst + kParameterCount,
    ColumnCount
};

QStringList figureNames(const QString& prefix) {
    return {prefix + QStringLiteral("Hours"), prefix + QStringLiteral("Months"),
            prefix + QStringLiteral("Landings"), prefix + QStringLiteral("Cycles"),
            prefix + QStringLiteral("RIN")};
}

// A field as read: the apostrophe the program's own files put in front of a text that
// would run as a formula is taken off again.
QString fieldText(const std::optional<QString>& f) {
    if (!f)
        return {};
    const QString t = *f;
    if (t.size() > 1 && t.front() == u'\'' && exporting::readsAsFormula(t.mid(1)))
        return t.mid(1).trimmed();
    return t.trimmed();
}

class LineReader {
  public:
    LineReader(const exporting::CsvRecord& record, const std::vector<int>& at)
        : record_(record), at_(at) {}
    QString text(int col) const {
        const int i = at_[static_cast<size_t>(col)];
        return i < 0 || static_cast<size_t>(i) >= record_.size()
                   ? QString()
                   : fieldText(record_[static_cast<size_t>(i)]);
    }
    QDate date(int col) {
        const QString t = text(col);
        if (t.isEmpty())
            return {};
        const QDate d = QDate::fromString(t, Qt::ISODate);
        if (!d.isValid())
            problems << QStringLiteral("%1 \"%2\" is not a date (YYYY-MM-DD).")
                            .arg(registerCsvColumns()[col], t);
        return d;
    }
    std::optional<double> number(int col) {
        const QString t = text(col);
        if (t.isEmpty())
            return std::nullopt;
        double d = 0;
        if (!data::Value::parseNumber(t, &d) || !std::isfinite(d)) {
            problems
                << QStringLiteral("%1 \"%2\" is not a number.").arg(registerCsvColumns()[col], t);
            return std::nullopt;
        }
        return d;
    }
    Figures figures(int first) {
        Figures f;
        for (int i = 0; i < kParameterCount; ++i)
            f[static_cast<size_t>(i)] = number(first + i);
        return f;
    }
    QStringList problems;

  private:
    const exporting::CsvRecord& record_;
    const std::vector<int>& at_;
};

bool isEmptyRecord(const exporting::CsvRecord& r) {
    for (const auto& f : r) {
        if (f && !f->trimmed().isEmpty())
            return false;
    }
    return true;
}

Task taskFrom(LineReader& r) {
    Task t;
    const QString kind = r.text(Kind);
    if (const auto k = kindFromCode(kind))
        t.kind = *k;
    else
        r.problems << (kind.isEmpty()
                           ? QStringLiteral("Kind is empty: AD, SB or INSP.")
                           : QStringLiteral("Kind \"%1\" is none of AD, SB, INSP.").arg(kind));
    t.number = r.text(Number);
    t.revision = r.text(Revision);
    t.revisionDate = r.date(RevisionDate);
    t.effectiveDate = r.date(EffectiveDate);
    t.title = r.text(Title);
    t.authority = r.text(Authority);
    t.make = r.text(Make);
    t.model = r.text(Model);
    t.partNumber = r.text(PartNumber);
    t.serials = r.text(Serials);
    const QString applies = r.text(AppliesToCol).toUpper();
    if (applies.isEmpty())
        t.appliesTo = t.partNumber.isEmpty() ? AppliesTo::Model : AppliesTo::Part;
    else if (applies == u"MODEL")
        t.appliesTo = AppliesTo::Model;
    else if (applies == u"PART")
        t.appliesTo = AppliesTo::Part;
    else
        r.problems << QStringLiteral("AppliesTo \"%1\" is neither MODEL nor PART.")
                          .arg(r.text(AppliesToCol));
    const QString meter = r.text(Meter);
    if (meter.isEmpty())
        t.meter = 1;
    else if (meter == u"1" || meter == u"2")
        t.meter = meter.toInt();
    else
        r.problems << QStringLiteral("Meter \"%1\" is neither 1 nor 2.").arg(meter);
    t.interval = r.figures(IntervalFirst);
    t.threshold = r.figures(ThresholdFirst);
    t.tolerance = r.figures(ToleranceFirst);
    const QString from = r.text(ThresholdFromCol).toUpper();
    if (from.isEmpty() || from == u"EFFECTIVE")
        t.thresholdFrom = ThresholdFrom::EffectiveDate;
    else if (from == u"NEW")
        t.thresholdFrom = ThresholdFrom::New;
    else
        r.problems << QStringLiteral("ThresholdFrom \"%1\" is neither EFFECTIVE nor NEW.")
                          .arg(r.text(ThresholdFromCol));
    t.notes = r.text(Notes);
    return t;
}

QString numberKey(const Task& t) {
    return data::textKey(t.number.trimmed()) + QChar(0x1f) + data::textKey(t.revision.trimmed());
}

QString revisionText(const Task& t) {
    return t.revision.trimmed().isEmpty() ? QStringLiteral("without a revision")
                                          : QStringLiteral("revision ") + t.revision.trimmed();
}

}  // namespace

const QStringList& registerCsvColumns() {
    static const QStringList c =
        QStringList{QStringLiteral("Kind"),          QStringLiteral("Number"),
                    QStringLiteral("Revision"),      QStringLiteral("RevisionDate"),
                    QStringLiteral("EffectiveDate"), QStringLiteral("Title"),
                    QStringLiteral("Authority"),     QStringLiteral("AppliesTo"),
                    QStringLiteral("Make"),          QStringLiteral("Model"),
                    QStringLiteral("PartNumber"),    QStringLiteral("Serials"),
                    QStringLiteral("Meter")} +
        figureNames(QStringLiteral("Interval")) + figureNames(QStringLiteral("Threshold")) +
        QStringList{QStringLiteral("ThresholdFrom")} + figureNames(QStringLiteral("Tolerance")) +
        QStringList{QStringLiteral("Notes")};
    return c;
}

RegisterFile readRegisterCsv(const QByteArray& utf8) {
    RegisterFile out;
    QByteArray bytes = utf8;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.mid(3);  // the mark spreadsheet programs put in front of UTF-8
    std::vector<exporting::CsvRecord> records;
    std::vector<int> lines;
    if (const auto failure = exporting::parseCsv(bytes, &records, &lines)) {
        const QString& error = failure->text;
        bool ok = false;
        const int line = error.section(u' ', 1, 1).chopped(1).toInt(&ok);
        out.bad.push_back({ok ? line : 1, error.section(u' ', 2)});
        out.unreadable = true;
        return out;
    }
    size_t first = 0;
    while (first < records.size() && isEmptyRecord(records[first]))
        ++first;
    if (first == records.size()) {
        out.bad.push_back({1, QStringLiteral("The file holds no header line.")});
        out.unreadable = true;
        return out;
    }
    // The header: columns by name, in any order, letter case ignored.
    const QStringList& known = registerCsvColumns();
    std::vector<int> at(static_cast<size_t>(ColumnCount), -1);
    const exporting::CsvRecord& header = records[first];
    const int headerLine = lines[first];
    for (size_t i = 0; i < header.size(); ++i) {
        const QString name = fieldText(header[i]);
        if (name.isEmpty() && i + 1 == header.size())
            continue;  // a trailing comma
        int col = -1;
        for (int k = 0; k < known.size(); ++k) {
            if (known[k].compare(name, Qt::CaseInsensitive) == 0)
                col = k;
        }
        if (col < 0) {
            out.bad.push_back(
                {headerLine,
                 QStringLiteral("The column \"%1\" is not one of the register's.").arg(name)});
            out.unreadable = true;
            return out;
        }
        if (at[static_cast<size_t>(col)] >= 0) {
            out.bad.push_back(
                {headerLine, QStringLiteral("The column %1 is named twice.").arg(known[col])});
            out.unreadable = true;
            return out;
        }
        at[static_cast<size_t>(col)] = static_cast<int>(i);
    }
    for (int required : {Kind, Number}) {
        if (at[static_cast<size_t>(required)] < 0) {
            out.bad.push_back(
                {headerLine, QStringLiteral("The column %1 is missing.").arg(known[required])});
            out.unreadable = true;
            return out;
        }
    }
    QHash<QString, int> numbers;  // number and revision, to the line that has it
    for (size_t i = first + 1; i < records.size(); ++i) {
        const exporting::CsvRecord& record = records[i];
        if (isEmptyRecord(record))
            continue;
        const int line = lines[i];
        if (record.size() > header.size()) {
            out.bad.push_back({line, QStringLiteral("The line has %1 fields, the header %2.")
                                         .arg(record.size())
                                         .arg(header.size())});
            continue;
        }
        LineReader reader(record, at);
        Task task = taskFrom(reader);
        QStringList problems = reader.problems;
        if (problems.isEmpty())
            problems = taskProblems(task);
        const QString key = numberKey(task);
        if (problems.isEmpty() && numbers.contains(key))
            problems << QStringLiteral("The number %1 %2 is on line %3 already.")
                            .arg(task.number.trimmed(), revisionText(task))
                            .arg(numbers.value(key));
        if (!problems.isEmpty()) {
            out.bad.push_back({line, problems.join(u' ')});
            continue;
        }
        numbers.insert(key, line);
        out.tasks.push_back(std::move(task));
        out.lines.push_back(line);
    }
    return out;
}

ImportReport importRegister(data::Database& mainDb, const QByteArray& utf8, bool skipBad) {
    ImportReport report;
    RegisterFile file = readRegisterCsv(utf8);
    report.read = static_cast<int>(file.tasks.size()) +
                  (file.unreadable ? 0 : static_cast<int>(file.bad.size()));
    // Numbers the register holds already.
    QHash<QString, QString> held;
    for (const Task& t : readRegister(mainDb).tasks)
        held.insert(numberKey(t), t.label());
    std::vector<Task> good;
    for (size_t i = 0; i < file.tasks.size(); ++i) {
        const Task& t = file.tasks[i];
        if (held.contains(numberKey(t))) {
            file.bad.push_back(
                {file.lines[i], QStringLiteral("The register holds the number %1 %2 already.")
                                    .arg(t.number.trimmed(), revisionText(t))});
            continue;
        }
        good.push_back(t);
    }
    std::sort(file.bad.begin(), file.bad.end(),
              [](const BadLine& a, const BadLine& b) { return a.line < b.line; });
    report.bad = file.bad;
    if ((!report.bad.empty() && !skipBad) || file.unreadable || good.empty())
        return report;
    const TasksStored stored = saveTasks(mainDb, good);
    report.imported = static_cast<int>(stored.ids.size());
    report.applied = stored.applied;
    report.warnings = stored.warnings;
    report.written = true;
    return report;
}

QByteArray registerCsv(const std::vector<Task>& tasks) {
    using exporting::CsvFor;
    QByteArray out;
    exporting::CsvRecord header;
    for (const QString& c : registerCsvColumns())
        header.push_back(c);
    out += exporting::csvLine(header, CsvFor::People);
    auto text = [](const QString& s) -> std::optional<QString> {
        return s.trimmed().isEmpty() ? std::nullopt : std::optional<QString>(s.trimmed());
    };
    auto date = [](const QDate& d) -> std::optional<QString> {
        return d.isValid() ? std::optional<QString>(d.toString(Qt::ISODate)) : std::nullopt;
    };
    auto figures = [](const Figures& f, exporting::CsvRecord* r) {
        for (const auto& v : f)
            r->push_back(v ? std::optional<QString>(data::formatNumber(*v)) : std::nullopt);
    };
    for (const Task& t : tasks) {
        exporting::CsvRecord r = {
            kindCode(t.kind),
            text(t.number),
            text(t.revision),
            date(t.revisionDate),
            date(t.effectiveDate),
            text(t.title),
            text(t.authority),
            t.appliesTo == AppliesTo::Part ? QStringLiteral("PART") : QStringLiteral("MODEL"),
            text(t.make),
            text(t.model),
            text(t.partNumber),
            text(t.serials),
            QString::number(t.meter)};
        figures(t.interval, &r);
        figures(t.threshold, &r);
        r.push_back(t.thresholdFrom == ThresholdFrom::New ? QStringLiteral("NEW")
                                                          : QStringLiteral("EFFECTIVE"));
        figures(t.tolerance, &r);
        r.push_back(text(t.notes));
        out += exporting::csvLine(r, CsvFor::People);
    }
    return out;
}

}  // namespace velmora::tasks
