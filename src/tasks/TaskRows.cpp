#include "TaskRows.h"

#include "data/JetDates.h"
#include "data/JetSqlTranslator.h"
#include "data/ValueNumber.h"

namespace velmora::tasks::rows {

namespace {

using data::Value;

Value text(const QString& s) {
    return s.trimmed().isEmpty() ? Value() : Value(s.trimmed());
}
Value number(const std::optional<double>& d) {
    return d ? Value(*d) : Value();
}
Value date(const QDate& d) {
    return d.isValid() ? Value(d) : Value();
}
Value stamp(const QDateTime& t) {
    return t.isValid() ? Value(t.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))) : Value();
}

QString textIn(const Value& v) {
    return v.isNull() ? QString() : v.toString();
}
QDate dateIn(const Value& v) {
    if (v.isNull())
        return {};
    const auto dt = data::parseJetDateTime(v.toString());
    return dt ? dt->date() : QDate();
}
// The stamps are written "yyyy-MM-dd HH:mm:ss": read that form directly, any other (or a
// day or time that does not exist) as the engine reads a date.
QDateTime stampIn(const Value& v) {
    if (v.isNull())
        return {};
    const QString s = v.toString();
    if (s.size() == 19 && s[4] == u'-' && s[7] == u'-' && s[10] == u' ' && s[13] == u':' &&
        s[16] == u':') {
        auto digits = [&](int from, int count) {
            int n = 0;
            for (int i = from; i < from + count; ++i) {
                if (s[i] < u'0' || s[i] > u'9')
                    return -1;
                n = n * 10 + (s[i].unicode() - u'0');
            }
            return n;
        };
        const int y = digits(0, 4), mo = digits(5, 2), d = digits(8, 2), h = digits(11, 2),
                  mi = digits(14, 2), sec = digits(17, 2);
        if (y >= 0 && mo >= 0 && d >= 0 && h >= 0 && mi >= 0 && sec >= 0) {
            const QDate date(y, mo, d);
            const QTime time(h, mi, sec);
            if (date.isValid() && time.isValid())
                return QDateTime(date, time, Qt::UTC);
        }
    }
    const auto dt = data::parseJetDateTime(s);
    return dt ? *dt : QDateTime();
}
std::int64_t idIn(const Value& v) {
    return v.isNull() ? 0 : v.toInt();
}

// Column names given in one text, separated by blanks.
QStringList names(const char* list) {
    return QString::fromLatin1(list).split(u' ', Qt::SkipEmptyParts);
}

// The five figure columns of one kind ("Interval"): Hours, Months, Landings, Cycles, RIN.
QStringList figureColumns(const QString& prefix) {
    return {prefix + QStringLiteral("Hours"), prefix + QStringLiteral("Months"),
            prefix + QStringLiteral("Landings"), prefix + QStringLiteral("Cycles"),
            prefix + QStringLiteral("RIN")};
}
void putFigures(const Figures& f, std::vector<Value>* out) {
    for (const auto& v : f)
        out->push_back(number(v));
}
Figures figuresIn(const std::vector<Value>& v, size_t at) {
    Figures f;
    for (size_t i = 0; i < f.size(); ++i)
        f[i] = data::numberIn(v[at + i]);
    return f;
}

}  // namespace

const QStringList& taskColumns() {
    static const QStringList c =
        QStringList{QStringLiteral("TaskId"),       QStringLiteral("Kind"),
                    QStringLiteral("TaskNumber"),   QStringLiteral("Revision"),
                    QStringLiteral("RevisionDate"), QStringLiteral("EffectiveDate"),
                    QStringLiteral("Title"),        QStringLiteral("Authority"),
                    QStringLiteral("AppliesTo"),    QStringLiteral("Make"),
                    QStringLiteral("Model"),        QStringLiteral("PartNumber"),
                    QStringLiteral("Serials"),      QStringLiteral("Meter")} +
        figureColumns(QStringLiteral("Interval")) + figureColumns(QStringLiteral("Threshold")) +
        QStringList{QStringLiteral("ThresholdFrom")} + figureColumns(QStringLiteral("Tolerance")) +
        QStringList{QStringLiteral("Notes"), QStringLiteral("ChangedBy"),
                    QStringLiteral("ChangedAt")};
    return c;
}

const QStringList& complianceColumns() {
    static const QStringList c = names(
        "ComplianceId TaskId RegNum PartNumber SerialNumber Status Reason SupersededBy Method "
        "MethodReference StartDate StartHours StartLandings StartCycles StartRIN ChangedBy "
        "ChangedAt");
    return c;
}

const QStringList& accomplishmentColumns() {
    static const QStringList c = names(
        "AccomplishmentId ComplianceId RegNum DoneDate TotalTime TotalTime2 TotalLandings "
        "TotalCycles TotalRIN WorkOrder SignedBy Certificate Terminating Notes EnteredBy "
        "EnteredAt");
    return c;
}

std::vector<Value> taskValues(const Task& t) {
    std::vector<Value> v = {
        Value(t.id),
        Value(kindCode(t.kind)),
        text(t.number),
        text(t.revision),
        date(t.revisionDate),
        date(t.effectiveDate),
        text(t.title),
        text(t.authority),
        Value(t.appliesTo == AppliesTo::Part ? QStringLiteral("PART") : QStringLiteral("MODEL")),
        text(t.make),
        text(t.model),
        text(t.partNumber),
        text(t.serials),
        Value(t.meter)};
    putFigures(t.interval, &v);
    putFigures(t.threshold, &v);
    v.push_back(Value(t.thresholdFrom == ThresholdFrom::New ? QStringLiteral("NEW")
                                                            : QStringLiteral("EFFECTIVE")));
    putFigures(t.tolerance, &v);
    v.push_back(text(t.notes));
    v.push_back(text(t.changedBy));
    v.push_back(stamp(t.changedAt));
    return v;
}

Task taskFrom(const std::vector<Value>& v) {
    Task t;
    t.id = idIn(v[0]);
    t.kind = kindFromCode(textIn(v[1])).value_or(TaskKind::Directive);
    t.number = textIn(v[2]);
    t.revision = textIn(v[3]);
    t.revisionDate = dateIn(v[4]);
    t.effectiveDate = dateIn(v[5]);
    t.title = textIn(v[6]);
    t.authority = textIn(v[7]);
    t.appliesTo = textIn(v[8]).trimmed().compare(QLatin1String("PART"), Qt::CaseInsensitive) == 0
                      ? AppliesTo::Part
                      : AppliesTo::Model;
    t.make = textIn(v[9]);
    t.model = textIn(v[10]);
    t.partNumber = textIn(v[11]);
    t.serials = textIn(v[12]);
    t.meter = v[13].isNull() ? 1 : static_cast<int>(v[13].toInt());
    t.interval = figuresIn(v, 14);
    t.threshold = figuresIn(v, 19);
    t.thresholdFrom =
        textIn(v[24]).trimmed().compare(QLatin1String("NEW"), Qt::CaseInsensitive) == 0
            ? ThresholdFrom::New
            : ThresholdFrom::EffectiveDate;
    t.tolerance = figuresIn(v, 25);
    t.notes = textIn(v[30]);
    t.changedBy = textIn(v[31]);
    t.changedAt = stampIn(v[32]);
    return t;
}

std::vector<Value> complianceValues(const Compliance& c) {
    return {Value(c.id),
            Value(c.taskId),
            text(c.regNum),
            text(c.partNumber),
            text(c.serialNumber),
            Value(statusCode(c.status)),
            text(c.reason),
            text(c.supersededBy),
            text(c.method),
            text(c.methodReference),
            date(c.startDate),
            number(c.start[slot(Parameter::Hours)]),
            number(c.start[slot(Parameter::Landings)]),
            number(c.start[slot(Parameter::Cycles)]),
            number(c.start[slot(Parameter::Rin)]),
            text(c.changedBy),
            stamp(c.changedAt)};
}

Compliance complianceFrom(const std::vector<Value>& v) {
    Compliance c;
    c.id = idIn(v[0]);
    c.taskId = idIn(v[1]);
    c.regNum = textIn(v[2]);
    c.partNumber = textIn(v[3]);
    c.serialNumber = textIn(v[4]);
    c.status = statusFromCode(textIn(v[5])).value_or(Status::Open);
    c.reason = textIn(v[6]);
    c.supersededBy = textIn(v[7]);
    c.method = textIn(v[8]);
    c.methodReference = textIn(v[9]);
    c.startDate = dateIn(v[10]);
    c.start[slot(Parameter::Hours)] = data::numberIn(v[11]);
    c.start[slot(Parameter::Landings)] = data::numberIn(v[12]);
    c.start[slot(Parameter::Cycles)] = data::numberIn(v[13]);
    c.start[slot(Parameter::Rin)] = data::numberIn(v[14]);
    c.changedBy = textIn(v[15]);
    c.changedAt = stampIn(v[16]);
    return c;
}

std::vector<Value> accomplishmentValues(const Accomplishment& a) {
    return {Value(a.id),
            Value(a.complianceId),
            text(a.regNum),
            date(a.date),
            number(a.totals.time),
            number(a.totals.time2),
            number(a.totals.landings),
            number(a.totals.cycles),
            number(a.totals.rin),
            text(a.workOrder),
            text(a.signedBy),
            text(a.certificate),
            Value(a.terminating),
            text(a.notes),
            text(a.enteredBy),
            stamp(a.enteredAt)};
}

Accomplishment accomplishmentFrom(const std::vector<Value>& v) {
    Accomplishment a;
    a.id = idIn(v[0]);
    a.complianceId = idIn(v[1]);
    a.regNum = textIn(v[2]);
    a.date = dateIn(v[3]);
    a.totals = {data::numberIn(v[4]), data::numberIn(v[5]), data::numberIn(v[6]),
                data::numberIn(v[7]), data::numberIn(v[8])};
    a.workOrder = textIn(v[9]);
    a.signedBy = textIn(v[10]);
    a.certificate = textIn(v[11]);
    a.terminating = !v[12].isNull() && v[12].toBool();
    a.notes = textIn(v[13]);
    a.enteredBy = textIn(v[14]);
    a.enteredAt = stampIn(v[15]);
    return a;
}

QString selectFrom(const QString& table, const QStringList& columns) {
    QStringList bracketed;
    for (const QString& c : columns)
        bracketed << data::quoteJetName(c);
    return QStringLiteral("select %1 from %2").arg(bracketed.join(u','), data::quoteJetName(table));
}

QString insertInto(const QString& table, const QStringList& columns) {
    QStringList names;
    QStringList markers;
    for (int i = 1; i <= columns.size(); ++i) {
        names << data::quoteJetName(columns[i - 1]);
        markers << QStringLiteral("?%1").arg(i);
    }
    return QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
        .arg(data::quoteJetName(table), names.join(QStringLiteral(", ")),
             markers.join(QStringLiteral(", ")));
}

QString updateByKey(const QString& table, const QStringList& columns) {
    QStringList sets;
    for (int i = 1; i < columns.size(); ++i)
        sets << QStringLiteral("%1 = ?%2").arg(data::quoteJetName(columns[i])).arg(i + 1);
    return QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?1")
        .arg(data::quoteJetName(table), sets.join(QStringLiteral(", ")),
             data::quoteJetName(columns[0]));
}

}  // namespace velmora::tasks::rows
